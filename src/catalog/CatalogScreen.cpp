#include "catalog/CatalogScreen.h"

#include "common/Dialogs.h"
#include "common/Errors.h"
#include "common/Numbers.h"
#include "platform/DialogParts.h"
#include "platform/Printing.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kv {

// ---------------------------------------------------------------- CatalogScreen

CatalogScreen::CatalogScreen(Connection& db, CatalogScreenDescription description, QWidget* parent)
    : DataScreen(db, description.objectName, description.caption, parent), description_(std::move(description)), table_(std::make_unique<Dataset>(db))
{
    table_->setObjectName(description_.datasetName);
    table_->setTableName(description_.table);
    if (description_.prepareTable)
        description_.prepareTable(*table_);

    // The restaurant tables and waiters may be missing from an old database: create them first.
    // When creating fails, the database's text is shown and the screen opens without its table.
    bool tableReady = true;
    if (description_.ensureTable)
        tableReady = guarded([this] { description_.ensureTable(this->db()); });
    if (tableReady)
        addDataset(*table_);

    auto* main = new QVBoxLayout(this);

    // ---- top bar: navigator, search, print group
    auto* top = new QHBoxLayout;
    DBNavigator1 = navigator(*table_);
    top->addWidget(DBNavigator1, 0, Qt::AlignTop);

    Edit1 = recordSearchBox(GroupBox1, QStringLiteral("Registro"), QStringLiteral("Registro"),
                            description_.searchable ? table_.get() : nullptr, this);
    Edit1->setPlaceholderText(Edit1->toolTip());  // the hint itself: the box is wide enough
    Edit1->setMinimumWidth(200);
    top->addWidget(GroupBox1, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("Imprimir"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setAccessibleName(QStringLiteral("Imprimir"));
    auto* g2 = new QHBoxLayout(GroupBox2);
    BitBtn1 = button(QStringLiteral("BitBtn1"), QStringLiteral("&Imprimir"), GroupBox2);  // Enter never prints
    Edit2 = named(new QLineEdit(description_.rangeFrom, GroupBox2), QStringLiteral("Edit2"), QStringLiteral("Registro Inicial del Informe"));
    Edit3 = named(new QLineEdit(description_.rangeTo, GroupBox2), QStringLiteral("Edit3"), QStringLiteral("Registro Final del Informe"));
    for (QLineEdit* box : {Edit2, Edit3}) {
        box->setToolTip(box->accessibleName());
        box->setPlaceholderText(box->accessibleName());
        box->setMinimumWidth(90);
        box->setMaximumWidth(120);
    }
    RadioGroup1 = new RadioGroup(QStringLiteral("Orden"), {QStringLiteral("A"), QStringLiteral("#")}, 2, GroupBox2);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setItemIndex(0);
    g2->addWidget(BitBtn1);
    g2->addWidget(Edit2);
    g2->addWidget(Edit3);
    g2->addWidget(RadioGroup1);
    top->addWidget(GroupBox2);
    main->addLayout(top);

    // ---- title and boxes
    Label1 = makeTitleLabel(description_.titleLabel, this);
    main->addWidget(Label1);

    form_ = new QFormLayout;
    DBEdit1 = edit(*table_, QStringLiteral("DBEdit1"), description_.keyField);
    if (!description_.keyPicture.isEmpty())
        DBEdit1->setDisplayFormat(description_.keyPicture);
    addRow(description_.keyCaption, DBEdit1);
    DBEdit2 = edit(*table_, QStringLiteral("DBEdit2"), description_.secondField);
    addRow(description_.secondCaption, DBEdit2);
    main->addLayout(form_);

    extras_ = new QVBoxLayout;
    main->addLayout(extras_);

    DBGrid1 = grid(*table_, QStringLiteral("DBGrid1"), description_.caption, description_.gridColumns);
    // The name column takes the room that is left.
    for (int i = 0; i < description_.gridColumns.size(); ++i)
        if (description_.gridColumns[i].field == description_.secondField)
            DBGrid1->horizontalHeader()->setSectionResizeMode(i, QHeaderView::Stretch);
    addGridEditingKeys(DBGrid1);
    main->addWidget(DBGrid1, 1);

    StatusBar1 = statusBar();
    main->addWidget(StatusBar1);

    connect(Edit1, &QLineEdit::textChanged, this, &CatalogScreen::Edit1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &CatalogScreen::BitBtn1Click);
    connect(DBNavigator1, &DbNavigator::acted, this, &CatalogScreen::DBNavigator1Click);

    resize(760, 600);

    openTables();
}

CatalogScreen::~CatalogScreen()
{
    // The boxes and the grid go before the table they show.
    deleteChildWidgets(this);
}

void CatalogScreen::addRow(const QString& caption, QWidget* control)
{
    form_->addRow(captionFor(caption, control, this), control);
}

void CatalogScreen::Edit1Change(const QString& text)
{
    // An empty box has nothing to look for; a text that matches no key leaves the row where it
    // is; letters while the key is a number give the conversion message.
    if (!description_.searchable || text.trimmed().isEmpty() || !table_->active())
        return;
    guarded([this, &text] {
        Field& key = table_->FieldByName(description_.keyField);
        // A numeric key is looked up as a number; letters give the conversion message.
        if (key.isNumeric())
            table_->Locate(description_.keyField, StrToFloat(text));
        else
            table_->Locate(description_.keyField, text);
    });
}

void CatalogScreen::DBNavigator1Click() { DBEdit1->setFocus(); }

Document CatalogScreen::ListDocument()
{
    const ListOrder order = RadioGroup1->itemIndex() == 1 ? ListOrder::ByKey : ListOrder::ByName;
    return renderCatalogList(db(), description_.list, Edit2->text(), Edit3->text(), order);
}

void CatalogScreen::BitBtn1Click()
{
    Document doc;
    if (guarded([this, &doc] { doc = ListDocument(); }))
        preview(doc, this);
}

void CatalogScreen::showEvent(QShowEvent* e)
{
    DataScreen::showEvent(e);
    // The grid is the last stop of Tab, after the boxes the screen added below the template's.
    if (!tabOrdered_) {
        tabOrdered_ = true;
        tabLast(this, {DBGrid1});
        // The screen opens ready for a search, or for the key box where there is no search.
        (description_.searchable ? static_cast<QWidget*>(Edit1) : static_cast<QWidget*>(DBEdit1))->setFocus();
    }
}

}  // namespace kv
