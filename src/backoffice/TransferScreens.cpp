#include "backoffice/TransferScreens.h"

#include "common/Dialogs.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kv {

namespace {

QString count(int n) { return QLocale(QLocale::English).toString(n); }  // "12,000": the program's separators

}  // namespace

TransferProgressWindow::TransferProgressWindow(const QString& title, QWidget* parent, QLabel* status)
    : dialog_(title, QStringLiteral("&Cancelar"), 0, 0, parent), status_(status)
{
    dialog_.setObjectName(QStringLiteral("Progreso"));
    dialog_.setWindowTitle(title);
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(500);
    dialog_.setAutoReset(false);
    dialog_.setAutoClose(false);
}

TransferProgressWindow::~TransferProgressWindow() { dialog_.reset(); }

TransferProgress TransferProgressWindow::progress()
{
    return [this](const QString& what, int done, int total) {
        const QString text = QStringLiteral("%1: %2 de %3 ...").arg(what, count(done), count(total));
        dialog_.setMaximum(std::max(total, 1));
        dialog_.setValue(std::min(done, std::max(total, 1)));
        dialog_.setLabelText(text);
        if (status_)
            status_->setText(QLatin1Char(' ') + text);
        QCoreApplication::processEvents();
        return !dialog_.wasCanceled();
    };
}

bool showTransferOutcome(const TransferResult& r, const QString& done)
{
    if (r.cancelled) {
        ShowMessage(QStringLiteral("Cancelado; no se cambió nada."));
        return false;
    }
    if (!r.refused.isEmpty()) {
        QString text = QStringLiteral("La base de datos no aceptó estas filas; no se cambió nada:\n") +
                       r.refused.join(QLatin1Char('\n'));
        if (r.refused.size() >= RefusedRows::kLimit)
            text += QStringLiteral("\n... (se muestran las primeras %1)").arg(RefusedRows::kLimit);
        ShowMessage(text);
        return false;
    }
    ShowMessage(done);
    return true;
}

QLabel* addStatusText(QStatusBar* bar)
{
    auto* text = new QLabel(bar);
    text->setObjectName(QStringLiteral("Panel1"));
    bar->addWidget(text, 1);
    return text;
}

CatalogTransferScreen::CatalogTransferScreen(Connection& pos, Connection& removable, const QString& objectName,
                                             const QString& caption, const QString& table, const QString& page1,
                                             const QString& page2, const QVector<GridColumn>& columns, QWidget* parent)
    : DataScreen(pos, objectName, caption, parent), removable_(removable), table_(table), local_(pos), remote_(removable)
{
    local_.setObjectName(QStringLiteral("TbLocal"));
    local_.setTableName(table);
    remote_.setObjectName(QStringLiteral("TbRemovible"));
    remote_.setTableName(table);
    addDataset(local_, Rows::ReadOnly);
    addDataset(remote_, Rows::ReadOnly);

    layout_ = new QVBoxLayout(this);
    PageControl1 = named(new QTabWidget(this), QStringLiteral("PageControl1"), caption);
    DBGrid1 = grid(local_, QStringLiteral("DBGrid1"), page1, columns);
    DBGrid2 = grid(remote_, QStringLiteral("DBGrid2"), page2, columns);
    for (DbGrid* g : {DBGrid1, DBGrid2})
        g->setEditTriggers(QAbstractItemView::NoEditTriggers);  // the copies change these rows, never the user here
    PageControl1->addTab(DBGrid1, page1);
    PageControl1->addTab(DBGrid2, page2);
    layout_->addWidget(PageControl1, 1);

    buttons_ = new QHBoxLayout;
    BtnSubir = button(QStringLiteral("BtnSubir"), QStringLiteral("&Subir"));
    BtnBajar = button(QStringLiteral("BtnBajar"), QStringLiteral("&Bajar"));
    buttons_->addWidget(BtnSubir);
    buttons_->addWidget(BtnBajar);
    buttons_->addStretch(1);
    layout_->addLayout(buttons_);
    connect(BtnSubir, &QPushButton::clicked, this, &CatalogTransferScreen::BtnSubirClick);
    connect(BtnBajar, &QPushButton::clicked, this, &CatalogTransferScreen::BtnBajarClick);

    QStatusBar* bar = statusBar();
    Panel1 = addStatusText(bar);
    layout_->addWidget(bar);
    resize(760, 520);
}

CatalogTransferScreen::~CatalogTransferScreen() { deleteChildWidgets(this); }

void CatalogTransferScreen::refreshGrids()
{
    for (Dataset* ds : {&local_, &remote_})
        if (ds->active())
            ds->Refresh();
}

void CatalogTransferScreen::BtnSubirClick()
{
    DatabaseTransfer t(db(), removable_);
    // The removable database's rows are replaced: the user decides before any is gone.
    const int there = t.removableRows(table_);
    if (there > 0 && !AskYesNo(QStringLiteral("La base de datos removible tiene %1 filas que se reemplazarán por las de "
                                              "esta base de datos. ¿Desea continuar?")
                                   .arg(count(there))))
        return;
    TransferResult r;
    {
        TransferProgressWindow w(windowTitle(), this, Panel1);
        r = t.uploadTable(table_, w.progress());
    }
    if (showTransferOutcome(r, QStringLiteral("Termino la Preparación")))
        Panel1->setText(QStringLiteral(" Subidas %1 filas").arg(count(r.inserted)));
    refreshGrids();
}

void CatalogTransferScreen::BtnBajarClick()
{
    DatabaseTransfer t(db(), removable_);
    TransferResult r;
    {
        TransferProgressWindow w(windowTitle(), this, Panel1);
        r = download(t, w.progress());
    }
    if (showTransferOutcome(r, QStringLiteral("Termino la Actualización")))
        Panel1->setText(QStringLiteral(" Nuevas %1, actualizadas %2").arg(count(r.inserted), count(r.updated)));
    refreshGrids();
}

}  // namespace kv
