// Raw printer jobs and the spooler's view of the printers.
#include "EnvScope.h"
#include "platform/Spooler.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;


TEST(Spooler, RawJobsAreAppendedToTheRawFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("cajon.bin"));
    EnvScope raw("KORVELA_RAW_TO", file.toUtf8());

    // The file stands in for an idle default printer.
    EXPECT_EQ(Spooler::defaultPrinter(), file);
    EXPECT_TRUE(Spooler::printers().contains(file));
    EXPECT_EQ(Spooler::defaultPrinterState(), PrinterState::Idle);
    EXPECT_EQ(Spooler::activeJobs(file), 0);

    const QByteArray pulse = QByteArray::fromHex("1b70306464");
    QString error;
    ASSERT_TRUE(Spooler::sendRaw(pulse, QStringLiteral("Control"), QString(), &error)) << error.toStdString();
    ASSERT_TRUE(Spooler::sendRaw(pulse, QStringLiteral("Control")));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), pulse + pulse);
}

TEST(Spooler, AnUnwritableRawFileIsReported)
{
    EnvScope raw("KORVELA_RAW_TO", "/no/such/folder/cajon.bin");
    QString error;
    EXPECT_FALSE(Spooler::sendRaw("x", QStringLiteral("Control"), QString(), &error));
    EXPECT_TRUE(error.contains(QLatin1String("/no/such/folder/cajon.bin"))) << error.toStdString();
}

TEST(Spooler, CupsFailuresComeBackAsTextNotCrashes)
{
    EnvScope raw("KORVELA_RAW_TO", std::nullopt);
    // Whatever this machine has installed, asking must answer (possibly with nothing).
    const QStringList printers = Spooler::printers();
    const QString def = Spooler::defaultPrinter();
    if (!def.isEmpty()) {
        EXPECT_TRUE(printers.contains(def));
    }
    QString error;
    EXPECT_FALSE(Spooler::sendRaw("x", QStringLiteral("Control"), QStringLiteral("korvela-no-existe"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Spooler::state(QStringLiteral("korvela-no-existe")), PrinterState::Unknown);
}
