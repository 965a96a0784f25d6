// The program asked to stop (a logout, a shutdown: SIGTERM; a terminal: SIGINT) while it still
// shows one of its first messages, before any window: it ends at once, without waiting for
// someone to answer the message.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// The signals the process blocks, from /proc (SigBlk, in hexadecimal).
bool blocks(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigBlk:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

TEST(StopSignalsTest, TheProgramEndsWhileShowingAStartUpMessage)
{
    QTemporaryDir dir;
    // A location file naming a database that is not there: the data modules' error box.
    QFile location(dir.filePath("DireccionBd.txt"));
    ASSERT_TRUE(location.open(QIODevice::WriteOnly));
    location.write(QString("x\nx\nx\nx\n%1\nx\n%2\n").arg(dir.filePath("no-tavro.fdb"), dir.filePath("no-korvela.fdb")).toUtf8());
    location.close();

    const struct {
        const char* what;
        QStringList args;
        int signal;
    } cases[] = {
        {"Falta Instalacion", {"--location", dir.filePath("no-existe/DireccionBd.txt")}, SIGTERM},
        {"a database that cannot be opened", {"--location", location.fileName()}, SIGTERM},
        {"Falta Instalacion, from a terminal", {"--location", dir.filePath("no-existe/DireccionBd.txt")}, SIGINT},
    };
    for (const auto& c : cases) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", dir.path());
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(KV_PROGRAM), c.args);
        ASSERT_TRUE(program.waitForStarted(30000)) << c.what;
        // Once the signals are blocked the program has them in its hands (before, the default
        // action would end it anyway); the message follows, and waits for an answer.
        for (int i = 0; i < 600 && !blocks(program.processId(), c.signal); ++i)
            QThread::msleep(10);
        ASSERT_TRUE(blocks(program.processId(), c.signal)) << c.what;
        QThread::msleep(500);
        ::kill(pid_t(program.processId()), c.signal);
        const bool ended = program.waitForFinished(20000);
        if (!ended) {
            program.kill();
            program.waitForFinished();
        }
        EXPECT_TRUE(ended) << c.what << ": still showing its message\n" << program.readAll().toStdString();
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << c.what;
    }
}

}  // namespace
