// Not part of the test run: the register's day windows on the demo shop, signed on as cashier 1,
// with real message boxes and print previews (or PDFs with KORVELA_PRINT_TO), for trying them by
// hand or with a keyboard driver under Xvfb:
//
//     test_pos --gtest_also_run_disabled_tests --gtest_filter='*TryRegisterDay*'
//
// F2 opening amount, F3 cash expenses, F4 reprint, F5 change a document, F6 void, F7 cash count,
// F8 supervisor permission. Closing the window ends it.
#include "platform/QtDialogs.h"
#include "pos/DocumentCorrections.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaArqueo.h"
#include "pos/UntVentaCajaCambio.h"
#include "pos/UntVentaCajaEgresos.h"
#include "pos/UntVentaCajaIncio.h"
#include "pos/UntVentaPermiso.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>

using namespace kv;

namespace {

class TryRegisterDay : public kvtest::DemoDbTest {};

TEST_F(TryRegisterDay, DISABLED_OpenEachWindowAsTheSaleScreenDoes)
{
    QtDialogs real;
    DialogsScope scope(&real);
    TDmVentas dm(*db);
    ASSERT_TRUE(dm.signOn(1));
    QWidget caller;
    caller.setWindowTitle("Prueba del dia de caja");
    caller.resize(520, 200);
    auto* layout = new QVBoxLayout(&caller);
    auto* who = new QLabel(&caller);
    who->setObjectName("who");
    layout->addWidget(new QLabel("F2 base  F3 egresos  F4 reimprimir  F5 cambiar  F6 anular  F7 informes  F8 permiso", &caller));
    layout->addWidget(who);
    auto show = [&] { who->setText("Cajero: " + dm.TCajero.FieldByName("NOMBRE").asString()); };
    auto key = [&](Qt::Key k, std::function<void()> open) {
        auto* s = new QShortcut(QKeySequence(k), &caller);
        QObject::connect(s, &QShortcut::activated, &caller, [open, show] {
            open();
            show();
        });
    };
    key(Qt::Key_F2, [&] { TFrmVentaCajaIncio::AbrirSiFalta(dm, &caller); });
    key(Qt::Key_F3, [&] { TFrmVentaCajaEgresos::Abrir(dm, &caller); });
    key(Qt::Key_F4, [&] { ReimprimeFactura(dm, InvoicePaper::Roll, &caller); });
    key(Qt::Key_F5, [&] { CambiaFactura(dm, &caller); });
    key(Qt::Key_F6, [&] { AnulaFacturas(dm, &caller); });
    key(Qt::Key_F7, [&] { TFrmVentaCajaArqueo::Abrir(dm, &caller); });
    key(Qt::Key_F8, [&] { TFrmVentaPermiso::Pedir(dm, &caller); });
    show();
    caller.show();
    QEventLoop loop;
    QObject::connect(qApp, &QApplication::lastWindowClosed, &loop, &QEventLoop::quit);
    caller.setAttribute(Qt::WA_QuitOnClose);
    loop.exec();
}

}  // namespace
