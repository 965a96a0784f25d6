#include "backoffice/UntVentasProBd.h"

#include "common/Dialogs.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace kv {

TFrmVentasProBd::TFrmVentasProBd(Connection& pos, Connection& removable, QWidget* parent)
    : CatalogTransferScreen(pos, removable, QStringLiteral("FrmVentasProBd"), QStringLiteral("Copia de Productos"),
                            QStringLiteral("PRODUCTOS"), QStringLiteral("Productos"),
                            QStringLiteral("Productos en Bd Removible"),
                            {gridColumn(QStringLiteral("CODIGO"), QStringLiteral("Codigo")),
                             gridColumn(QStringLiteral("GRUPO"), QStringLiteral("Grupo")),
                             gridColumn(QStringLiteral("SUBGRUPO"), QStringLiteral("Sub Grupo")),
                             gridColumn(QStringLiteral("PRODUCTO"), QStringLiteral("Producto")),
                             gridColumn(QStringLiteral("NOMBRE"), QStringLiteral("Nombre"), QString(), 30),
                             gridColumn(QStringLiteral("UNIDAD"), QStringLiteral("Unidad")),
                             gridColumn(QStringLiteral("VALORUNIDAD"), QStringLiteral("Valor Unidad"),
                                        QStringLiteral("###,###.00"))},
                            parent)
{
    Memo1 = named(new QPlainTextEdit(this), QStringLiteral("Memo1"), QStringLiteral("Leer Despues de Validar"));
    Memo1->setReadOnly(true);
    PageControl1->addTab(Memo1, QStringLiteral("Leer Despues de Validar"));
    BtnValidar = button(QStringLiteral("BtnValidar"), QStringLiteral("&Validar"));
    buttons_->insertWidget(1, BtnValidar);  // between "Subir" and "Bajar", in the order they are used
    connect(BtnValidar, &QPushButton::clicked, this, &TFrmVentasProBd::BtnValidarClick);
}

void TFrmVentasProBd::BtnValidarClick()
{
    Memo1->clear();
    const QStringList findings = DatabaseTransfer(db(), removable_).validateProducts();
    Memo1->setPlainText(findings.join(QLatin1Char('\n')));
    ShowMessage(QStringLiteral("Termino La Validación"));
}

TransferResult TFrmVentasProBd::download(DatabaseTransfer& t, const TransferProgress& progress)
{
    return t.downloadProducts(progress);
}

}  // namespace kv
