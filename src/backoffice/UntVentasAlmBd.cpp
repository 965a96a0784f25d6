#include "backoffice/UntVentasAlmBd.h"

#include "catalog/UntCalendario.h"
#include "common/Dialogs.h"
#include "platform/DialogParts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace kv {

TFrmVentasAlmBd::TFrmVentasAlmBd(Connection& pos, Connection& removable, QWidget* parent)
    : DataScreen(pos, QStringLiteral("FrmVentasAlmBd"), QStringLiteral("Pasar Movimiento de Korvela"), parent),
      removable_(removable),
      empresas_(addTable(QStringLiteral("TEmpresas"), QStringLiteral("EMPRESAS"), Rows::ReadOnly)),
      movimiento_(removable),
      detalle_(removable)
{
    movimiento_.setObjectName(QStringLiteral("TMovimiento"));
    movimiento_.setTableName(QStringLiteral("MOVIMIENTO"));
    detalle_.setObjectName(QStringLiteral("TMovimientoDetalle"));
    detalle_.setTableName(QStringLiteral("MOVIMIENTODETALLE"));
    detalle_.setIndexFieldNames(QStringLiteral("EMPRESA;DOCUMENTO;CONSECUTIVO;LINEA"));
    detalle_.setMasterSource(&movimiento_, QStringLiteral("EMPRESA;DOCUMENTO;CONSECUTIVO"));
    addDataset(movimiento_, Rows::ReadOnly);
    addDataset(detalle_, Rows::ReadOnly);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeTitleLabel(windowTitle(), this, 1.3));

    auto* empresa = new QGroupBox(QStringLiteral("Empresa"), this);
    empresa->setObjectName(QStringLiteral("Panel2"));
    auto* empresaRow = new QHBoxLayout(empresa);
    DBText1 = named(new DbText(empresas_, QStringLiteral("NOMBRE"), empresa), QStringLiteral("DBText1"),
                    QStringLiteral("Empresa"));
    DBNavigator1 = navigator(empresas_, empresa);
    // Only choosing a company: the companies are kept elsewhere.
    for (DbNavigator::Button b : {DbNavigator::Insert, DbNavigator::Delete, DbNavigator::Edit, DbNavigator::Post,
                                  DbNavigator::Cancel})
        DBNavigator1->button(b)->hide();
    empresaRow->addWidget(DBText1, 1);
    empresaRow->addWidget(DBNavigator1);
    layout->addWidget(empresa);

    EditFechaInicial = makeDateBox(QStringLiteral("EditFechaInicial"), this, false);
    EditFechaFinal = makeDateBox(QStringLiteral("EditFechaFinal"), this, false);
    // A double click opens the program's calendar.
    for (QDateEdit* box : {EditFechaInicial, EditFechaFinal})
        if (auto* line = box->findChild<QLineEdit*>())
            line->installEventFilter(this);
    DBLookupComboBox1 = new QComboBox(this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox2 = new QComboBox(this);
    DBLookupComboBox2->setObjectName(QStringLiteral("DBLookupComboBox2"));
    auto fill = [&pos](QComboBox* box, const QString& sql) {
        QSqlQuery q = pos.exec(sql);
        while (pos.next(q))
            box->addItem(q.value(1).toString().trimmed(), q.value(0));
    };
    fill(DBLookupComboBox1, QStringLiteral("SELECT DOCUMENTO, NOMBRE FROM DOCUMENTOS ORDER BY NOMBRE"));
    fill(DBLookupComboBox2, QStringLiteral("SELECT BODEGA, NOMBRE FROM BODEGAS ORDER BY NOMBRE"));
    auto* choices = new QGridLayout;
    choices->addWidget(captionFor(QStringLiteral("Fecha &Inicial"), EditFechaInicial, this), 0, 0);
    choices->addWidget(EditFechaInicial, 0, 1);
    choices->addWidget(captionFor(QStringLiteral("Fecha &Final"), EditFechaFinal, this), 0, 2);
    choices->addWidget(EditFechaFinal, 0, 3);
    choices->addWidget(captionFor(QStringLiteral("&Documento"), DBLookupComboBox1, this), 1, 0);
    choices->addWidget(DBLookupComboBox1, 1, 1);
    choices->addWidget(captionFor(QStringLiteral("B&odega"), DBLookupComboBox2, this), 1, 2);
    choices->addWidget(DBLookupComboBox2, 1, 3);
    layout->addLayout(choices);

    auto* buttons = new QHBoxLayout;
    BtnSubir = button(QStringLiteral("BtnSubir"), QStringLiteral("&Subir"));
    BtnBajar = button(QStringLiteral("BtnBajar"), QStringLiteral("&Bajar"));
    buttons->addWidget(BtnSubir);
    buttons->addWidget(BtnBajar);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(BtnSubir, &QPushButton::clicked, this, &TFrmVentasAlmBd::BtnSubirClick);
    connect(BtnBajar, &QPushButton::clicked, this, &TFrmVentasAlmBd::BtnBajarClick);

    PageControl1 = named(new QTabWidget(this), QStringLiteral("PageControl1"), QStringLiteral("Movimiento Translado"));
    auto* page = new QWidget(PageControl1);
    auto* pageLayout = new QVBoxLayout(page);
    DBGrid1 = grid(movimiento_, QStringLiteral("DBGrid1"), QStringLiteral("Documentos en Bd Removible"),
                   {gridColumn(QStringLiteral("EMPRESA"), QStringLiteral("Empresa")),
                    gridColumn(QStringLiteral("DOCUMENTO"), QStringLiteral("Documento")),
                    gridColumn(QStringLiteral("CONSECUTIVO"), QStringLiteral("Numero")),
                    gridColumn(QStringLiteral("BODEGA"), QStringLiteral("Bodega")),
                    gridColumn(QStringLiteral("FECHA"), QStringLiteral("Fecha")),
                    gridColumn(QStringLiteral("NETO"), QStringLiteral("Neto"), QStringLiteral("###,###.00"))},
                   page);
    DBGrid2 = grid(detalle_, QStringLiteral("DBGrid2"), QStringLiteral("Lineas del documento"),
                   {gridColumn(QStringLiteral("LINEA"), QStringLiteral("Linea")),
                    gridColumn(QStringLiteral("PRODUCTO"), QStringLiteral("Producto")),
                    gridColumn(QStringLiteral("CANTIDAD"), QStringLiteral("Cantidad"), QStringLiteral("###,###.00")),
                    gridColumn(QStringLiteral("PRECIOUNIDAD"), QStringLiteral("Precio"), QStringLiteral("###,###.00")),
                    gridColumn(QStringLiteral("SUBTOTAL"), QStringLiteral("Subtotal"), QStringLiteral("###,###.00")),
                    gridColumn(QStringLiteral("BODEGA"), QStringLiteral("Bodega"))},
                   page);
    for (DbGrid* g : {DBGrid1, DBGrid2}) {
        g->setEditTriggers(QAbstractItemView::NoEditTriggers);
        pageLayout->addWidget(g);
    }
    PageControl1->addTab(page, QStringLiteral("Movimiento Translado"));
    layout->addWidget(PageControl1, 1);

    QStatusBar* bar = statusBar();
    Panel1 = addStatusText(bar);
    layout->addWidget(bar);
    resize(760, 600);
}

TFrmVentasAlmBd::~TFrmVentasAlmBd() { deleteChildWidgets(this); }

bool TFrmVentasAlmBd::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonDblClick)
        for (QDateEdit* box : {EditFechaInicial, EditFechaFinal})
            if (o->parent() == box) {
                Form_Calendario().setDate(box->date());
                if (Form_Calendario().exec() == QDialog::Accepted)
                    box->setDate(FechaCalendario.date());
                return true;
            }
    return DataScreen::eventFilter(o, e);
}

bool TFrmVentasAlmBd::chosen(QString& empresa, QString& documento, int& bodega)
{
    empresa = empresas_.active() && !empresas_.IsEmpty() ? empresas_.FieldByName(QStringLiteral("EMPRESA")).asString()
                                                         : QString();
    documento = DBLookupComboBox1->currentData().toString().trimmed();
    bodega = DBLookupComboBox2->currentData().toInt();
    if (empresa.isEmpty()) {
        ShowMessage(QStringLiteral("Elija la empresa."));
        return false;
    }
    if (documento.isEmpty()) {
        ShowMessage(QStringLiteral("Elija el documento."));
        return false;
    }
    if (!DBLookupComboBox2->currentData().isValid()) {
        ShowMessage(QStringLiteral("Elija la bodega."));
        return false;
    }
    return true;
}

void TFrmVentasAlmBd::refreshGrids()
{
    if (movimiento_.active())
        movimiento_.Refresh();
}

void TFrmVentasAlmBd::BtnSubirClick()
{
    DocumentSelection s;
    if (!chosen(s.empresa, s.documento, s.bodega))
        return;
    s.desde = EditFechaInicial->date();
    s.hasta = EditFechaFinal->date();
    if (s.hasta < s.desde) {
        ShowMessage(QStringLiteral("La fecha final es anterior a la inicial."));
        return;
    }
    DatabaseTransfer t(db(), removable_);
    // What the removable database holds goes: the user decides before any of it is gone.
    const int there = t.removableRows(QStringLiteral("MOVIMIENTO")) + t.removableRows(QStringLiteral("MOVIMIENTODETALLE"));
    if (there > 0 && !AskYesNo(QStringLiteral("Se borrarán los documentos que tiene la base de datos removible (%1 filas). "
                                              "¿Desea continuar?")
                                   .arg(there)))
        return;
    TransferResult r;
    {
        TransferProgressWindow w(windowTitle(), this, Panel1);
        r = t.uploadDocuments(s, w.progress());
    }
    if (r.stored())
        Panel1->setText(QStringLiteral(" Subidos %1 documentos y %2 líneas").arg(r.documents).arg(r.lines));
    else
        showTransferOutcome(r, QString());
    refreshGrids();
}

void TFrmVentasAlmBd::BtnBajarClick()
{
    QString empresa, documento;
    int bodega = 0;
    if (!chosen(empresa, documento, bodega))
        return;
    DatabaseTransfer t(db(), removable_);
    const QList<int> taken = t.documentCollisions(empresa, documento);
    if (!taken.isEmpty()) {
        QStringList numbers;
        for (int n : taken.mid(0, 100))
            numbers << QString::number(n);
        if (taken.size() > 100)
            numbers << QStringLiteral("... (%1 en total)").arg(taken.size());
        ShowMessage(QStringLiteral("Estos números del documento %1 de la empresa %2 ya existen en esta base de datos (en el "
                                   "inventario o en las ventas del punto de venta) o están repetidos en la removible:"
                                   "\n%3\nNo se bajó nada.")
                        .arg(documento, empresa, numbers.join(QStringLiteral(", "))));
        return;
    }
    TransferResult r;
    {
        TransferProgressWindow w(windowTitle(), this, Panel1);
        r = t.downloadDocuments(empresa, documento, bodega, w.progress());
    }
    if (showTransferOutcome(r, QStringLiteral("Termino Corectamente")))
        Panel1->setText(QStringLiteral(" Bajados %1 documentos y %2 líneas").arg(r.documents).arg(r.lines));
}

}  // namespace kv
