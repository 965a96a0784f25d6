#include "backoffice/UntVentasPosExcelP.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace kv {

TFrmVentasPosExcelP::TFrmVentasPosExcelP(Connection& db, QWidget* parent)
    : SalesExportScreen(db, QStringLiteral("FrmVentasPosExcelP"), QStringLiteral("Excel Movimiento Por Producto"), parent),
      QConcepto(db, this)
{
    QConcepto.setObjectName(QStringLiteral("QConcepto"));
    QConcepto.setSql(SalesExport::productoSql());
    DBGrid1 = addGrid(QConcepto, QStringLiteral("DBGrid1"));
    BtnCopiar = button(QStringLiteral("BtnCopiar"), QStringLiteral("&Copiar "));
    buttons()->addWidget(BtnCopiar);
    connect(BtnValidar, &QPushButton::clicked, this, &TFrmVentasPosExcelP::BtnValidarClick);
    connect(BtnCopiar, &QPushButton::clicked, this, &TFrmVentasPosExcelP::BtnCopiarClick);
}

TFrmVentasPosExcelP::~TFrmVentasPosExcelP() { deleteChildWidgets(this); }

QString TFrmVentasPosExcelP::empresa()
{
    return TEmpresas().active() && !TEmpresas().IsEmpty() ? TEmpresas().FieldByName(QStringLiteral("EMPRESA")).asString()
                                                          : QString();
}

void TFrmVentasPosExcelP::BtnValidarClick()
{
    QDate first, last;
    if (!readRange(first, last))
        return;
    QConcepto.setParam(QStringLiteral("EMPRESA"), empresa());
    runQuery(QConcepto, first, last);
}

void TFrmVentasPosExcelP::BtnCopiarClick()
{
    QDate first, last;
    if (!readRange(first, last))
        return;
    const QString company = empresa();
    QConcepto.setParam(QStringLiteral("EMPRESA"), company);
    runQuery(QConcepto, first, last);
    const QString firstText = Edit1->text(), lastText = Edit2->text();
    runExport(QStringLiteral("Excel Movimiento Por Producto"), [&](Workbook& wb, const ExportProgress& p) {
        return SalesExport::porProducto(QConcepto, wb, firstText, lastText, p);
    });
}

}  // namespace kv
