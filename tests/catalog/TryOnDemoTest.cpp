// Not part of the test run: a window on the demo shop from which each search and creation dialog
// opens the way its caller opens it, with real message boxes, for trying them by hand or with a
// keyboard driver under Xvfb:
//
//     test_catalog --gtest_also_run_disabled_tests --gtest_filter='*TryOnDemo*'
//
// F2 third party search (sale screen), F3 customer search (order screen), F4 quick customer with
// names for the NIT in the sale box, F5 quick customer with one name for the NIT in the order box,
// F6 full third party screen, F7 alphabetical product search (as Enter on an empty product box),
// F8 general product search (invoice change window), F9 calendar. Closing the window ends it.
#include "CallerHarness.h"
#include "catalog/UntBuscarClientes.h"
#include "catalog/UntBuscarProducto.h"
#include "catalog/UntBuscarProductoAlf.h"
#include "catalog/UntBuscarTercero.h"
#include "catalog/UntCalendario.h"
#include "catalog/UntCrearClientes.h"
#include "catalog/UntCrearTercero.h"
#include "catalog/UntCrearTerceros.h"
#include "common/Numbers.h"
#include "platform/QtDialogs.h"
#include "support/TestDb.h"

#include <QFormLayout>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>

using namespace kv;

namespace {

class TryOnDemo : public kvtest::DemoDbTest {};

TEST_F(TryOnDemo, DISABLED_OpenEachDialogFromItsCaller)
{
    QtDialogs real;
    DialogsScope scope(&real);
    kvtest::CallerHarness caller(*db);
    caller.setWindowTitle("Prueba de dialogos");
    caller.resize(520, 260);
    auto* shown = new QLabel(&caller);
    shown->setObjectName("shown");
    caller.layout()->addWidget(shown);
    auto report = [&] {
        shown->setText(QString("Tercero %1 / padre %2   Cliente %3   Producto %4 (%5)   Alf %6   Fecha %7")
                           .arg(FloatToStr(NitTerceroElegido), FloatToStr(PadreTerceroElegido),
                                FloatToStr(NitClienteElegido), QString::number(ProductoBuscado), CodigoBuscado,
                                QString::number(ProductoBuscadoAlf), FechaCalendario.toString("dd/MM/yyyy")));
    };
    auto key = [&](Qt::Key k, std::function<void()> open) {
        auto* s = new QShortcut(QKeySequence(k), &caller);
        QObject::connect(s, &QShortcut::activated, &caller, [open, report] {
            open();
            report();
        });
    };
    key(Qt::Key_F2, [&] {
        TFrmBuscarTercero d(*db, &caller);
        d.exec();
        caller.customerBox->setText(FloatToStr(NitTerceroElegido));
    });
    key(Qt::Key_F3, [&] {
        TFrmBuscarClientes d(*db, &caller);
        d.exec();
        caller.orderCustomerBox->setText(FloatToStr(NitClienteElegido));
    });
    key(Qt::Key_F4, [&] { caller.saleCustomerMissing(); });
    key(Qt::Key_F5, [&] { caller.orderCustomerMissing(); });
    key(Qt::Key_F6, [&] {
        TFrmCrearTerceros d(*db, &caller);
        d.exec();
    });
    key(Qt::Key_F7, [&] {
        TFrmBuscarProductoAlf d(*db, &caller);
        d.exec();
        caller.productBox->setText(CodigoBuscado);
    });
    key(Qt::Key_F8, [&] { caller.lineProductDoubleClick(); });
    key(Qt::Key_F9, [&] {
        if (Form_Calendario().exec() == QDialog::Accepted)
            caller.dateBox->setText(FechaCalendario.date().toString("dd/MM/yyyy"));
    });
    caller.show();
    caller.customerBox->setFocus();
    QEventLoop loop;
    QObject::connect(qApp, &QApplication::lastWindowClosed, &loop, &QEventLoop::quit);
    caller.setAttribute(Qt::WA_QuitOnClose);
    loop.exec();
}

}  // namespace
