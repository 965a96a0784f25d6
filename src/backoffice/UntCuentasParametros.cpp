#include "backoffice/UntCuentasParametros.h"

#include "data/Schema.h"
#include "platform/DialogParts.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

TFrmCuentasParametros::TFrmCuentasParametros(Connection& db, QWidget* parent)
    : DataScreen(db, QStringLiteral("FrmCuentasParametros"), QStringLiteral("Cuentas Parametros"), parent),
      TCuentas((ensureCuentasTavro(db), addTable(QStringLiteral("TCuentas"), QStringLiteral("CUENTASTAVRO"))))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeTitleLabel(windowTitle(), this, 1.3));
    auto* form = new QFormLayout;
    struct Box {
        DbEdit*& edit;
        const char* name;
        const char* field;
        const char* caption;
    };
    const Box boxes[] = {{DBEdit1, "DBEdit1", "VENTASCONTADO", "Ventas de &Contado Efectivo"},
                         {DBEdit2, "DBEdit2", "VENTASCHEQUE", "Ventas de C&heque"},
                         {DBEdit3, "DBEdit3", "VENTASCREDITO", "&tarjeta de Credito"},
                         {DBEdit4, "DBEdit4", "VENTASTDEBITO", "tarjeta &Debito"},
                         {DBEdit5, "DBEdit5", "IPOCONSUMO", "&Ipoconsumo"},
                         {DBEdit6, "DBEdit6", "PROPINA", "Se&rvicio"},
                         {DBEdit7, "DBEdit7", "DESCUENTO", "Desc&uento"},
                         {DBEdit8, "DBEdit8", "EMPRESA", "&Empresa Contabiliza"}};
    for (const Box& b : boxes) {
        b.edit = edit(TCuentas, QLatin1String(b.name), QLatin1String(b.field));
        form->addRow(captionFor(QString::fromUtf8(b.caption), b.edit, this), b.edit);
    }
    layout->addLayout(form);
    BitBtn1 = button(QStringLiteral("BitBtn1"), QStringLiteral("&Salir"));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(BitBtn1);
}

}  // namespace kv
