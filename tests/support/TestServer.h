#pragma once
// A private Firebird server on the loopback interface (scripts/firebird-test-server), for tests
// and benchmarks that need several registers on one database. Started in a folder of its own and
// stopped when the object goes, however the test ends. ISC_USER and ISC_PASSWORD are set for the
// process (and the workers it starts) to the server's own.
#include "common/Errors.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QString>

namespace kvtest {

class TestServer {
public:
    TestServer(const QString& script, const QString& dir) : script_(script), dir_(dir)
    {
        start();
        started_ = true;
        qputenv("ISC_USER", value(QStringLiteral("ISC_USER")).toLocal8Bit());
        qputenv("ISC_PASSWORD", value(QStringLiteral("ISC_PASSWORD")).toLocal8Bit());
    }
    ~TestServer()
    {
        if (started_)
            stop(Stop::Kill);  // its databases are throwaway test files
    }
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    QString value(const QString& name) const { return values_.value(name); }
    // The location of a database file on this server ("localhost/PORT:/path").
    QString location(const QString& file) const { return value(QStringLiteral("KV_TEST_SERVER")) + QLatin1Char(':') + file; }

    // How the server goes down: as its service manager stops it (it finishes what it is doing,
    // however long that takes), or with the plug pulled. Either returns once the process is gone.
    enum class Stop { Polite, Kill };
    void stop(Stop how = Stop::Polite)
    {
        QProcess::execute(QStringLiteral("bash"), {script_, QStringLiteral("stop"), dir_,
                                                   how == Stop::Kill ? QStringLiteral("kill") : QStringLiteral("polite")});
    }
    // The server stopped (every connection to it dropped) and started again on the same port
    // with the same databases.
    void restart(Stop how = Stop::Polite)
    {
        stop(how);
        start();
    }
    void start()
    {
        QProcess p;
        const QString server = value(QStringLiteral("KV_TEST_SERVER"));
        if (!server.isEmpty()) {  // again on the port the databases are reached on
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("KV_TEST_SERVER_PORT"), server.section(QLatin1Char('/'), 1));
            p.setProcessEnvironment(env);
        }
        p.start(QStringLiteral("bash"), {script_, QStringLiteral("start"), dir_});
        p.waitForFinished(120000);
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            throw kv::DbError(QStringLiteral("the test server did not start: ") +
                              QString::fromLocal8Bit(p.readAllStandardError()));
        QFile env(QDir(dir_).filePath(QStringLiteral("server.env")));
        if (!env.open(QIODevice::ReadOnly))
            throw kv::DbError(QStringLiteral("the test server wrote no server.env"));
        for (const QByteArray& line : env.readAll().split('\n')) {
            const int eq = line.indexOf('=');
            if (eq > 0)
                values_.insert(QString::fromLatin1(line.left(eq)), QString::fromLocal8Bit(line.mid(eq + 1)));
        }
    }

private:
    QString script_, dir_;
    QHash<QString, QString> values_;
    bool started_ = false;
};

}  // namespace kvtest
