#include "orders/UntPedidoCajaArqueo.h"

#include "common/Dates.h"
#include "orders/UntPedidoCajaArqueoRpt1.h"
#include "orders/UntPedidoCajaArqueoRpt2.h"
#include "platform/DialogParts.h"
#include "pos/RegisterHeading.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

TFrmPedidoCajaArqueo::TFrmPedidoCajaArqueo(Connection& db, const OrderCashier& who, QWidget* parent)
    : QDialog(parent), db_(db), who_(who)
{
    setObjectName(QStringLiteral("FrmPedidoCajaArqueo"));
    setWindowTitle(QStringLiteral("Reporte Cotizaciones"));
    setAccessibleName(windowTitle());
    auto* main = new QVBoxLayout(this);
    addRegisterHeading(who_.nombreCaja, who_.nombreCajero, this, main, LabelCaja, LabelCajero);

    auto button = [this, main](const QString& name, const QString& caption, void (TFrmPedidoCajaArqueo::*click)()) {
        QPushButton* b = makeActionButton(name, caption, this, [this, click] { (this->*click)(); });
        main->addWidget(b);
        return b;
    };
    BtnCotizaciones = button(QStringLiteral("BtnCotizaciones"), QStringLiteral("Reporte Cotizaciones"),
                             &TFrmPedidoCajaArqueo::BtnCotizacionesClick);
    BtnCajero = button(QStringLiteral("BtnCajero"), QStringLiteral("Reporte Pox Cajero"), &TFrmPedidoCajaArqueo::BtnCajeroClick);
    BtnCotizaciones->setDefault(true);

    LabelFecha = new QLabel(QStringLiteral("Fecha del Reporte ") +
                                FormatDateTime(QStringLiteral("dd mmmm yyyy"), QDate::currentDate()),
                            this);
    LabelFecha->setObjectName(QStringLiteral("LabelFecha"));
    main->addWidget(LabelFecha);
}

void TFrmPedidoCajaArqueo::BtnCotizacionesClick()
{
    TFrmPedidoCajaArqueoRpt1::Imprimir(db_, QDate::currentDate(), who_.caja, this);
}

void TFrmPedidoCajaArqueo::BtnCajeroClick()
{
    TFrmPedidoCajaArqueoRpt2::Imprimir(db_, QDate::currentDate(), who_.cedula, this);
}

void TFrmPedidoCajaArqueo::Abrir(Connection& db, const OrderCashier& who, QWidget* parent)
{
    TFrmPedidoCajaArqueo dlg(db, who, parent);
    dlg.exec();
}

}  // namespace kv
