// The cash drawer through a real CUPS scheduler: the pulse reaches the default printer as one raw
// job named "Control", and a machine without printers, a printer still busy with a job of ours or
// a printer that refuses jobs stops the drawer with a message and sends nothing.
#include "EnvScope.h"
#include "platform/Spooler.h"
#include "support/CupsScheduler.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace kv;
using kvtest::CupsScheduler;

TEST(CupsSpooler, TheDrawerPulseReachesTheDefaultPrinterAsOneRawJobNamedControl)
{
    EnvScope raw("KORVELA_RAW_TO", std::nullopt);
    CupsScheduler cups({{.name = QStringLiteral("Caja")}, {.name = QStringLiteral("Oficina")}});
    ASSERT_TRUE(cups.running()) << cups.error().toStdString();

    EXPECT_EQ(Spooler::defaultPrinter(), QStringLiteral("Caja"));
    EXPECT_EQ(Spooler::printers(), QStringList({"Caja", "Oficina"}));
    EXPECT_EQ(Spooler::defaultPrinterState(), PrinterState::Idle);

    EXPECT_EQ(Spooler::openCashDrawer(), QString());
    ASSERT_TRUE(cups.waitForJobs(QStringLiteral("Caja"), 1));
    EXPECT_EQ(cups.captured(QStringLiteral("Caja")), QByteArray::fromHex("1b70306464"));
    EXPECT_EQ(cups.jobTitles(QStringLiteral("Caja")), QStringList({"Control"}));
    EXPECT_TRUE(cups.captured(QStringLiteral("Oficina")).isEmpty());
}

TEST(CupsSpooler, NoPrinterABusyPrinterOrARefusedJobKeepTheDrawerShut)
{
    EnvScope raw("KORVELA_RAW_TO", std::nullopt);
    const QString busy = QStringLiteral("No puede estar imprimiendo mientras se abre el cajón/Can not send control codes while printing");
    struct Case {
        const char* what;
        QList<CupsScheduler::Printer> printers;
        QString message;  // empty: the spooler's own reason
    };
    const Case cases[] = {
        {"no printer", {}, QStringLiteral("No se instaló ninguna impresora/There are not installed printers")},
        // A stopped printer keeps the invoice sent before in its queue.
        {"busy", {{.name = QStringLiteral("Caja"), .stopped = true}}, busy},
        {"refusing", {{.name = QStringLiteral("Caja"), .accepting = false}}, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CupsScheduler cups(c.printers);
        ASSERT_TRUE(cups.running()) << cups.error().toStdString();
        if (c.message == busy) {
            ASSERT_TRUE(Spooler::sendRaw("factura", QStringLiteral("Factura")));
            EXPECT_EQ(Spooler::activeJobs(QStringLiteral("Caja")), 1);
        }
        const QString said = Spooler::openCashDrawer();
        if (c.message.isEmpty()) {
            EXPECT_FALSE(said.isEmpty());
            EXPECT_FALSE(said.startsWith(QStringLiteral("No "))) << said.toStdString();  // not one of ours
        } else {
            EXPECT_EQ(said, c.message);
        }
        if (!c.printers.isEmpty()) {
            EXPECT_EQ(cups.jobTitles(QStringLiteral("Caja")), QStringList());
        }
    }
}
