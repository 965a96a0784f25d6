#include "backoffice/UntVentasPosExcel.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace kv {

TFrmVentasPosExcel::TFrmVentasPosExcel(Connection& db, QWidget* parent)
    : SalesExportScreen(db, QStringLiteral("FrmVentasPosExcel"), QStringLiteral("Excel Movimiento"), parent),
      QConcepto(db, this),
      QConceptoR(db, this)
{
    QConcepto.setObjectName(QStringLiteral("QConcepto"));
    QConcepto.setSql(SalesExport::conceptoSql());
    QConceptoR.setObjectName(QStringLiteral("QConceptoR"));
    QConceptoR.setSql(SalesExport::conceptoRSql());
    DBGrid1 = addGrid(QConcepto, QStringLiteral("DBGrid1"));
    DBGrid2 = addGrid(QConceptoR, QStringLiteral("DBGrid2"));

    BtnDetallado = button(QStringLiteral("BtnDetallado"), QStringLiteral("Copiar &Detallado"));
    BtnResumido = button(QStringLiteral("BtnResumido"), QStringLiteral("Copiar &Resumido"));
    BtnRips = button(QStringLiteral("BtnRips"), QStringLiteral("Copiar Detallado  R&ips"));
    for (QPushButton* b : {BtnDetallado, BtnResumido, BtnRips})
        buttons()->addWidget(b);
    connect(BtnValidar, &QPushButton::clicked, this, &TFrmVentasPosExcel::BtnValidarClick);
    connect(BtnDetallado, &QPushButton::clicked, this, &TFrmVentasPosExcel::BtnDetalladoClick);
    connect(BtnResumido, &QPushButton::clicked, this, &TFrmVentasPosExcel::BtnResumidoClick);
    connect(BtnRips, &QPushButton::clicked, this, &TFrmVentasPosExcel::BtnRipsClick);
}

TFrmVentasPosExcel::~TFrmVentasPosExcel() { deleteChildWidgets(this); }

void TFrmVentasPosExcel::BtnValidarClick()
{
    QDate first, last;
    if (!readRange(first, last))
        return;
    showGrid(DBGrid1);
    runQuery(QConcepto, first, last);
}

void TFrmVentasPosExcel::BtnDetalladoClick()
{
    QDate first, last;
    if (!readRange(first, last))
        return;
    showGrid(DBGrid1);
    runQuery(QConcepto, first, last);
    runExport(QStringLiteral("Excel Movimiento Detallado"), [&](Workbook& wb, const ExportProgress& p) {
        return SalesExport::detallado(QConcepto, wb, p);
    });
}

void TFrmVentasPosExcel::BtnResumidoClick()
{
    QDate first, last;
    if (!readRange(first, last))
        return;
    showGrid(DBGrid2);
    runQuery(QConceptoR, first, last);
    runExport(
        QStringLiteral("Excel Movimiento Resumido"),
        [&](Workbook& wb, const ExportProgress& p) { return SalesExport::resumido(QConceptoR, wb, p); },
        false);
}

void TFrmVentasPosExcel::BtnRipsClick()
{
    QDate first, last;
    if (!readRange(first, last))
        return;
    showGrid(DBGrid1);
    runQuery(QConcepto, first, last);
    runExport(QStringLiteral("Excel Movimiento Rips"), [&](Workbook& wb, const ExportProgress& p) {
        return SalesExport::rips(QConcepto, wb, p);
    });
}

}  // namespace kv
