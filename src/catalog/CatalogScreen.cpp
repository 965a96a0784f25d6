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

void tabLast(QWidget* screen, const QList<QWidget*>& last)
{
    auto inLast = [&last](QWidget* w) {
        for (QWidget* l : last)
            if (w == l || l->isAncestorOf(w))
                return true;
        return false;
    };
    QList<QWidget*> chain;
    for (QWidget* w = screen->nextInFocusChain(); w && w != screen; w = w->nextInFocusChain())
        if (screen->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && !inLast(w) && !w->focusProxy())
            chain << w;
    chain += last;
    for (int i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
}

QLineEdit* recordSearchBox(QGroupBox*& group, const QString& title, const QString& boxName, QWidget* screen)
{
    group = new QGroupBox(title, screen);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setAccessibleName(title);
    auto* lay = new QHBoxLayout(group);
    auto* box = new QLineEdit(group);
    box->setObjectName(QStringLiteral("Edit1"));
    const QString hint = QStringLiteral("Teclee Codigo O Flechas Para Buscar el registro");
    box->setToolTip(hint);
    box->setPlaceholderText(boxName);
    box->setAccessibleName(boxName);
    box->setAccessibleDescription(hint);
    box->installEventFilter(screen);
    lay->addWidget(box);
    return box;
}

bool postPendingRow(Dataset& ds)
{
    if (!ds.active() || !ds.isEditing())
        return true;
    return guarded([&ds] {
        updateRecord(ds);
        if (ds.modified())
            ds.Post();
        else
            ds.Cancel();
    });
}

// ---------------------------------------------------------------- grid keys

namespace {

class GridKeys : public QObject {
public:
    explicit GridKeys(DbGrid* grid) : QObject(grid), grid_(grid) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || watched != grid_)
            return false;
        auto* k = static_cast<QKeyEvent*>(event);
        Dataset& ds = grid_->dataset();
        if (!ds.active())
            return false;
        const auto mods = k->modifiers() & ~Qt::KeypadModifier;
        if (k->key() == Qt::Key_Insert && mods == Qt::NoModifier) {
            guarded([&ds] { ds.Insert(); });
            return true;
        }
        if (k->key() == Qt::Key_Down && mods == Qt::NoModifier) {
            const bool last = ds.currentIndex() >= ds.bufferCount() - 1 && ds.allFetchedForward();
            if (!last)
                return false;
            // A new row that nothing was typed into stays the only new one.
            if (ds.state() == DsState::Insert && !ds.modified())
                return true;
            guarded([&ds] { ds.Append(); });
            return true;
        }
        if (k->key() == Qt::Key_Delete && mods == Qt::ControlModifier) {
            guarded([&ds] {
                if (ds.IsEmpty())
                    return;
                if (!AskYesNo(confirmDeleteText()))
                    throw Abort();
                ds.Delete();
            });
            return true;
        }
        if (k->key() == Qt::Key_Escape && ds.isEditing()) {
            guarded([&ds] { ds.Cancel(); });
            return true;
        }
        return false;
    }

private:
    DbGrid* grid_;
};

}  // namespace

void addGridEditingKeys(DbGrid* grid)
{
    grid->installEventFilter(new GridKeys(grid));
    // Tab leaves the grid for the next control, as everywhere else on the screen; the arrows
    // move between cells.
    grid->setTabKeyNavigation(false);
}

// ---------------------------------------------------------------- CatalogScreen

CatalogScreen::CatalogScreen(Connection& db, CatalogScreenSpec spec, QWidget* parent)
    : QDialog(parent), db_(db), spec_(std::move(spec)), table_(std::make_unique<Dataset>(db))
{
    setObjectName(spec_.objectName);
    setWindowTitle(spec_.caption);
    setAccessibleName(spec_.caption);
    table_->setObjectName(spec_.datasetName);
    table_->setTableName(spec_.table);

    // The restaurant tables and waiters may be missing from an old database: create them first.
    // When creating fails, the database's text is shown and the screen opens without its table.
    bool tableReady = true;
    if (spec_.ensureTable)
        tableReady = guarded([this] { spec_.ensureTable(db_); });

    auto* main = new QVBoxLayout(this);

    // ---- top bar: navigator, search, print group
    auto* top = new QHBoxLayout;
    DBNavigator1 = new DbNavigator(*table_, this);
    top->addWidget(DBNavigator1, 0, Qt::AlignTop);

    Edit1 = recordSearchBox(GroupBox1, QStringLiteral("Registro"), QStringLiteral("Registro"), this);
    Edit1->setPlaceholderText(Edit1->toolTip());  // the hint itself: the box is wide enough
    Edit1->setMinimumWidth(200);
    top->addWidget(GroupBox1, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("Imprimir"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setAccessibleName(QStringLiteral("Imprimir"));
    auto* g2 = new QHBoxLayout(GroupBox2);
    BitBtn1 = new QPushButton(QStringLiteral("&Imprimir"), GroupBox2);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAccessibleName(QStringLiteral("Imprimir"));
    BitBtn1->setAutoDefault(false);  // Enter in a box must never print
    Edit2 = new QLineEdit(spec_.rangeFrom, GroupBox2);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit3 = new QLineEdit(spec_.rangeTo, GroupBox2);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    for (auto [box, text] : {std::pair{Edit2, QStringLiteral("Registro Inicial del Informe")},
                             std::pair{Edit3, QStringLiteral("Registro Final del Informe")}}) {
        box->setToolTip(text);
        box->setPlaceholderText(text);
        box->setAccessibleName(text);
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
    Label1 = makeTitleLabel(spec_.titleLabel, this);
    main->addWidget(Label1);

    form_ = new QFormLayout;
    DBEdit1 = new DbEdit(*table_, spec_.keyField, this);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    if (!spec_.keyPicture.isEmpty())
        DBEdit1->setDisplayFormat(spec_.keyPicture);
    addRow(spec_.keyCaption, DBEdit1);
    DBEdit2 = new DbEdit(*table_, spec_.secondField, this);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    addRow(spec_.secondCaption, DBEdit2);
    main->addLayout(form_);

    extras_ = new QVBoxLayout;
    main->addLayout(extras_);

    DBGrid1 = new DbGrid(*table_, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(spec_.caption);
    DBGrid1->setColumns(spec_.gridColumns);
    // The name column takes the room that is left.
    for (int i = 0; i < spec_.gridColumns.size(); ++i)
        if (spec_.gridColumns[i].field == spec_.secondField)
            DBGrid1->horizontalHeader()->setSectionResizeMode(i, QHeaderView::Stretch);
    addGridEditingKeys(DBGrid1);
    main->addWidget(DBGrid1, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    main->addWidget(StatusBar1);

    connect(Edit1, &QLineEdit::textChanged, this, &CatalogScreen::Edit1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &CatalogScreen::BitBtn1Click);
    connect(DBNavigator1, &DbNavigator::acted, this, &CatalogScreen::DBNavigator1Click);

    resize(760, 600);

    if (tableReady)
        guarded([this] { table_->Open(); });
}

CatalogScreen::~CatalogScreen() { deleteChildWidgets(this); }

void CatalogScreen::addRow(const QString& caption, QWidget* control)
{
    form_->addRow(captionFor(caption, control, this), control);
}

void CatalogScreen::Edit1Change(const QString& text)
{
    // An empty box has nothing to look for; a text that matches no key leaves the row where it
    // is; letters while the key is a number give the conversion message.
    if (!spec_.searchable || text.trimmed().isEmpty() || !table_->active())
        return;
    guarded([this, &text] {
        Field& key = table_->FieldByName(spec_.keyField);
        // A numeric key is looked up as a number; letters give the conversion message.
        if (key.isNumeric())
            table_->Locate(spec_.keyField, StrToFloat(text));
        else
            table_->Locate(spec_.keyField, text);
    });
}

void CatalogScreen::DBNavigator1Click() { DBEdit1->setFocus(); }

Document CatalogScreen::ListDocument()
{
    const ListOrder order = RadioGroup1->itemIndex() == 1 ? ListOrder::ByKey : ListOrder::ByName;
    return renderCatalogList(db_, spec_.list, Edit2->text(), Edit3->text(), order);
}

void CatalogScreen::BitBtn1Click()
{
    Document doc;
    if (guarded([this, &doc] { doc = ListDocument(); }))
        preview(doc, this);
}

bool CatalogScreen::eventFilter(QObject* watched, QEvent* event)
{
    // The arrows in the search box move through the table, as its hint says.
    if (watched == Edit1 && event->type() == QEvent::KeyPress && spec_.searchable && table_->active()) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) {
            guarded([this, k] { k->key() == Qt::Key_Up ? table_->Prior() : table_->Next(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CatalogScreen::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // The grid is the last stop of Tab, after the boxes the screen added below the template's.
    if (!tabOrdered_) {
        tabOrdered_ = true;
        tabLast(this, {DBGrid1});
        // The screen opens ready for a search, or for the key box where there is no search.
        (spec_.searchable ? static_cast<QWidget*>(Edit1) : static_cast<QWidget*>(DBEdit1))->setFocus();
    }
}

void CatalogScreen::done(int r)
{
    // A row typed and not yet posted is kept rather than lost with the screen; if the database
    // refuses it, the screen stays open to correct or cancel it.
    if (!postPendingRow(*table_))
        return;
    closeTables();
    table_->Close();
    QDialog::done(r);
}

}  // namespace kv
