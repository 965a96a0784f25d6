// A second register at the counter, as its own process: the main sale screen (offscreen) on a
// database of the server, ringing up one line, while another register is in the middle of its
// own line. To make that moment certain, it first takes the other register's document header
// (as a station working on that document would) and holds it until its own line is stored; it
// rings its line up only once the other register waits on that header.
//
//   kv_counter_worker LOCATION CASHIER PRODUCT QUANTITY HELD_DOCUMENT
//
// Prints "held" once the other document is taken, then "lines=<lines of its document>" and one
// "message=<text>" per message shown; exits 1 with the database's text on an error.
#include "common/Dialogs.h"
#include "common/Errors.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaVp.h"
#include "support/Keyboard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6) {
        std::fprintf(stderr, "usage: kv_counter_worker LOCATION CASHIER PRODUCT QUANTITY HELD_DOCUMENT\n");
        return 2;
    }
    kv::ScriptedDialogs dialogs;
    kv::DialogsScope scope{&dialogs};
    try {
        kv::Connection holder(QStringLiteral("Holder"));
        holder.setLocation(args[1]);
        holder.open();
        kv::Connection db(QStringLiteral("Korvela"));
        db.setLocation(args[1]);
        db.open();

        kv::Transaction hold(holder);
        holder.exec(QStringLiteral("UPDATE POSMOVIMIENTO SET NETO = NETO WHERE EMPRESA = '01' AND DOCUMENTO = 'POS' AND "
                                   "CONSECUTIVO = :N"),
                    {{QStringLiteral("N"), args[5].toInt()}});
        std::printf("held\n");
        std::fflush(stdout);
        // The other register's line waits on the header taken above.
        QElapsedTimer waited;
        waited.start();
        while (db.scalar(QStringLiteral("SELECT COUNT(*) FROM MON$STATEMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION "
                                        "AND MON$STATE = 1 AND MON$SQL_TEXT CONTAINING 'WITH LOCK'"))
                   .toInt() == 0) {
            if (waited.elapsed() > 60000)
                throw kv::DbError(QStringLiteral("the other register never waited on its document"));
            QThread::msleep(20);
        }

        kv::TDmVentas dm(db);
        if (!dm.signOn(args[2].toDouble()))
            throw kv::DbError(QStringLiteral("no cashier %1").arg(args[2]));
        kv::TFrmVentaCajaVp screen(dm);
        kvtest::showActive(&screen);
        kvtest::typeInto(screen.EditCliente, QStringLiteral("222222222"), true);
        kvtest::typeInto(screen.EditProducto, args[3], true);
        QTest::keyClick(screen.RadioEmpaque, Qt::Key_Return);
        kvtest::typeInto(screen.EditCantidad, args[4], true);
        std::printf("lines=%d\n", dm.TFac.recordCount());
        for (const QString& m : dialogs.texts())
            std::printf("message=%s\n", qPrintable(m));
        std::fflush(stdout);
        // Leaving without commit gives the header back untouched.
        return 0;
    } catch (const kv::Failure& e) {
        std::fprintf(stderr, "counter worker: %s\n", e.what());
    }
    return 1;
}
