// One register selling into a shared database, as fast as it can: signs on as the cashier given
// and makes documents of a few lines each through the sales data module, or rings lines into one
// document that another station has open too (a restaurant table). Started by the server test;
// waits for a start file so that all registers begin together.
//
//   kv_register_worker LOCATION CASHIER DOCUMENTS LINES STARTFILE [DOCUMENT] [--close]
//
// With --close each document is paid in cash (closed) once its lines are rung up. Prints
// "document=<number> neto=<NETO>" as soon as each document is finished (so a test that kills the
// register knows which ones were), then "retries=<operations run again>" and "givenup=<lines rung
// up again after the module gave up>"; exits 1 with the database's text when anything else is
// refused. Around every commit it prints "committing op=<start|line|close> doc=<number>
// id=<operation>" and then "committed ..." the same, so that a test can tell a document that landed
// without its report (the register killed between the two) from a phantom. A server that restarts
// under it is waited for, as a register does: the module connects again and runs the operation
// again, and when the connection dropped while a commit was on its way, the operation's identity
// tells it whether that commit landed.
#include "ShopFixture.h"

#include "common/Errors.h"
#include "pos/UntDmVentas.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdio>
#include <functional>

namespace {

// Products 1 (IVA included), 2 (IVA added) and 3 (consumption tax) in turn, at prices with cents
// so that rounding takes part.
kvtest::SaleLine lineFor(double cajero, int d, int l)
{
    kvtest::SaleLine line;
    line.producto = 1 + l % 3;
    line.precio = 1000 + (d * 37 + l * 101 + int(cajero)) % 9000 + 0.25 * l;
    line.cantidad = 1 + (d + l) % 3;
    line.iva = line.producto == 3 ? 0 : 16;
    line.ipoconsumo = line.producto == 3 ? 8 : 0;
    return line;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool close = args.removeAll(QStringLiteral("--close")) > 0;
    if (args.size() != 6 && args.size() != 7) {
        std::fprintf(stderr, "usage: kv_register_worker LOCATION CASHIER DOCUMENTS LINES STARTFILE [DOCUMENT] [--close]\n");
        return 2;
    }
    const double cajero = args[2].toDouble();
    const int documents = args[3].toInt();
    const int lines = args[4].toInt();
    const int into = args.size() == 7 ? args[6].toInt() : 0;
    try {
        kv::Connection db(QStringLiteral("Korvela"));
        db.setLocation(args[1]);
        // However long the server takes to stop and come back, the register waits for it rather
        // than give up on an operation whose commit may have landed.
        db.setReconnectLimitMs(600000);
        // A register started again while the server is down waits for it, as at a shop.
        QElapsedTimer waiting;
        waiting.start();
        while (!db.tryOpen()) {
            if (waiting.elapsed() > 60000)
                throw kv::DbError(db.lastError());
            QThread::msleep(250);
        }
        kv::TDmVentas dm(db);
        if (!dm.signOn(cajero)) {
            std::fprintf(stderr, "cashier %g does not exist\n", cajero);
            return 1;
        }
        while (!QFile::exists(args[5]))
            QThread::msleep(5);
        const char* doing = "start";
        auto report = [&](const char* phase, const QString& id) {
            std::printf("%s op=%s doc=%d id=%s\n", phase, doing, dm.TIniFac[QStringLiteral("CONSECUTIVO")].asInteger(),
                        qPrintable(id));
            std::fflush(stdout);
        };
        QObject::connect(&dm, &kv::DocumentModule::operationCommitting, [&](const QString& id) { report("committing", id); });
        QObject::connect(&dm, &kv::DocumentModule::operationCommitted, [&](const QString& id) { report("committed", id); });

        // An action the module gave up on (other stations kept the document busy past the wait
        // limit, or the connection dropped while its commit was on its way) is done again, as the
        // cashier would press Enter again; `done` says whether the first try was stored after all.
        int givenUp = 0;
        auto persist = [&](const std::function<void()>& action, const std::function<bool()>& done) {
            for (int tries = 1;; ++tries) {
                try {
                    action();
                    return;
                } catch (const kv::DbError& e) {
                    const bool again = isConflict(e) || isDuplicateKey(e) || e.code() == kv::DbError::kWaitExpired ||
                                       kv::isConnectionLost(e);
                    if (!again || tries >= 20)
                        throw;
                    ++givenUp;
                    if (kv::isConnectionLost(e) && done())
                        return;
                }
            }
        };
        auto never = [] { return false; };
        for (int d = 0; d < (into ? 1 : documents); ++d) {
            if (into) {
                if (!dm.openDocument(dm.Parametros[QStringLiteral("EMPRESA")].value(),
                                     dm.Parametros[QStringLiteral("DOCUMENTO")].value(), into))
                    throw kv::DbError(QStringLiteral("document %1 does not exist").arg(into));
            } else {
                // A document whose start may or may not have been stored stays behind empty, and
                // the register starts another one.
                doing = "start";
                persist([&] { kvtest::startDocument(dm); }, never);
            }
            doing = "line";
            for (int l = 0; l < lines; ++l)
                // The module showed the document as stored: the line is there or not.
                persist([&] { kvtest::ringUp(dm, lineFor(cajero, d, l)); },
                        [&] { return !into && dm.TFac.recordCount() > l; });
            doing = "close";
            if (close)
                // Closed here now, or already closed by this register's own commit that the
                // dropped connection did not confirm (then nothing is changed).
                persist([&] { dm.closeWithPayment(cajero); }, never);
            std::printf("document=%d neto=%.2f\n", dm.TIniFac[QStringLiteral("CONSECUTIVO")].asInteger(),
                        dm.TIniFac[QStringLiteral("NETO")].asFloat());
            std::fflush(stdout);
        }
        std::printf("retries=%d\ngivenup=%d\n", dm.retries(), givenUp);
        return 0;
    } catch (const kv::Failure& e) {
        std::fprintf(stderr, "register %g: %s\n", cajero, e.what());
    } catch (const kv::Abort&) {
        std::fprintf(stderr, "register %g: stopped\n", cajero);
    }
    return 1;
}
