#include "backoffice/SalesExportScreen.h"

#include "catalog/UntCalendario.h"
#include "common/Dates.h"
#include "common/Dialogs.h"
#include "platform/DialogParts.h"
#include "platform/RowProgress.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace kv {

SalesExportScreen::SalesExportScreen(Connection& db, const QString& objectName, const QString& caption, QWidget* parent)
    : DataScreen(db, objectName, caption, parent),
      empresas_(addTable(QStringLiteral("TEmpresas"), QStringLiteral("EMPRESAS"), Rows::ReadOnly))
{
    setWindowTitle(caption);
    auto* main = new QVBoxLayout(this);

    auto* empresa = new QGroupBox(QStringLiteral("Empresa"), this);
    empresa->setObjectName(QStringLiteral("GroupBox1"));
    auto* e = new QHBoxLayout(empresa);
    DBNavigator1 = navigator(empresas_, empresa);
    // Only moving through the companies: this screen never changes one.
    for (auto b : {DbNavigator::Insert, DbNavigator::Delete, DbNavigator::Edit, DbNavigator::Post, DbNavigator::Cancel})
        DBNavigator1->button(b)->hide();
    DBEdit1 = named(edit(empresas_, QStringLiteral("DBEdit1"), QStringLiteral("NOMBRE"), empresa), QStringLiteral("DBEdit1"),
                    QStringLiteral("Nombre Empresa"));
    DBEdit2 = named(edit(empresas_, QStringLiteral("DBEdit2"), QStringLiteral("EMPRESA"), empresa), QStringLiteral("DBEdit2"),
                    QStringLiteral("Empresa"));
    for (DbEdit* d : {DBEdit1, DBEdit2})
        d->setReadOnly(true);
    e->addWidget(DBNavigator1);
    e->addWidget(DBEdit1, 3);
    e->addWidget(DBEdit2, 1);
    main->addWidget(empresa);

    auto* range = new QHBoxLayout;
    const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    Edit1 = named(new QLineEdit(today, this), QStringLiteral("Edit1"), QStringLiteral("Fecha Inicial"));
    Edit2 = named(new QLineEdit(today, this), QStringLiteral("Edit2"), QStringLiteral("Fecha Final"));
    for (QLineEdit* box : {Edit1, Edit2}) {
        box->setToolTip(QStringLiteral("dd/mm/aaaa; doble clic abre el calendario"));
        box->installEventFilter(this);
    }
    range->addWidget(captionFor(QStringLiteral("Fecha &Inicial"), Edit1, this));
    range->addWidget(Edit1);
    range->addWidget(captionFor(QStringLiteral("Fecha &Final"), Edit2, this));
    range->addWidget(Edit2);
    main->addLayout(range);

    buttons_ = new QHBoxLayout;
    BtnValidar = button(QStringLiteral("BtnValidar"), QStringLiteral("&Validar"));
    buttons_->addWidget(BtnValidar);
    main->addLayout(buttons_);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    new QVBoxLayout(TabSheet1);
    PageControl1->addTab(TabSheet1, QStringLiteral("Movimiento Pos"));
    main->addWidget(PageControl1, 1);

    StatusBar1 = processStatusBar(main, Panel1, Panel2);
    resize(900, 600);
}

SalesExportScreen::~SalesExportScreen() { deleteChildWidgets(this); }

DbGrid* SalesExportScreen::addGrid(Dataset& query, const QString& objectName)
{
    // Opened when the screen shows, for today up to today at 00:00: an empty grid to begin with.
    query.setParam(QStringLiteral("FECHAINICIAL"), QDateTime(QDate::currentDate(), QTime(0, 0)));
    query.setParam(QStringLiteral("FECHAFINAL"), QDateTime(QDate::currentDate(), QTime(0, 0)));
    addDataset(query, Rows::ReadOnly);
    // Every column of the query, as the query names it.
    DbGrid* g = named(new DbGrid(query, TabSheet1), objectName, QStringLiteral("Movimiento Pos"));
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TabSheet1->layout()->addWidget(g);
    g->setVisible(grids_.isEmpty());
    grids_ << g;
    return g;
}

void SalesExportScreen::showGrid(DbGrid* grid)
{
    for (DbGrid* g : grids_)
        g->setVisible(g == grid);
}

bool SalesExportScreen::readRange(QDate& first, QDate& last) const
{
    first = StrToDate(Edit1->text());
    last = StrToDate(Edit2->text());
    if (last < first) {
        ShowMessage(QStringLiteral("La fecha final es anterior a la inicial."));
        return false;
    }
    return true;
}

void SalesExportScreen::runQuery(Dataset& query, const QDate& first, const QDate& last)
{
    for (auto [name, value] : SalesExport::range(first, last).asKeyValueRange())
        query.setParam(name, value);
    query.Close();
    query.Open();
}

void SalesExportScreen::runExport(const QString& title, const std::function<int(Workbook&, const ExportProgress&)>& fill,
                                  bool announce)
{
    const QString saved = exportWorkbook(this, Panel2, title, fill, announce);
    if (!saved.isEmpty())
        lastFile_ = saved;
}

bool SalesExportScreen::eventFilter(QObject* o, QEvent* e)
{
    if ((o == Edit1 || o == Edit2) && e->type() == QEvent::MouseButtonDblClick) {
        pickDateInto(static_cast<QLineEdit*>(o));
        return true;
    }
    return DataScreen::eventFilter(o, e);
}

}  // namespace kv
