#include "support/CupsScheduler.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <cups/cups.h>
#include <csignal>
#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace kvtest {

namespace {

// The test backend. Called without arguments it describes itself; for a job it appends the
// document (a file argument, or its standard input) to the file its device URI names, then the
// job's title to that file + ".jobs", so a title seen means its bytes are all there.
const char* const kBackend = R"(#!/bin/sh
[ $# -eq 0 ] && { echo 'direct capture "Unknown" "KorvelaPos test capture"'; exit 0; }
out=${DEVICE_URI#capture:}
if [ $# -ge 6 ]; then cat "$6" >> "$out" || exit 1; else cat >> "$out" || exit 1; fi
printf '%s\n' "$3" >> "$out.jobs"
exit 0
)";

bool write(const QString& file, const QString& text)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) >= 0;
}

QByteArray readAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

CupsScheduler::CupsScheduler(const QList<Printer>& printers)
    : oldServer_(qgetenv("CUPS_SERVER")), hadServer_(qEnvironmentVariableIsSet("CUPS_SERVER"))
{
    const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin"),
                                                                                    QStringLiteral("/usr/local/sbin")});
    if (cupsd.isEmpty() || !dir_.isValid()) {
        error_ = QStringLiteral("cupsd is not installed (Debian package cups-daemon)");
        return;
    }
    QDir d(dir_.path());
    for (const char* sub : {"conf", "bin/backend", "spool/tmp", "cache", "state", "log", "capture"})
        d.mkpath(QLatin1String(sub));

    // The server's programs: the system's own, with the capture backend as the only backend. Mode
    // 0700 makes cupsd run it as the user that runs the tests, who owns the capture files.
    for (const char* sub : {"daemon", "notifier", "filter"})
        if (QFileInfo::exists(QStringLiteral("/usr/lib/cups/") + QLatin1String(sub)))
            QFile::link(QStringLiteral("/usr/lib/cups/") + QLatin1String(sub), path(QStringLiteral("bin/")) + QLatin1String(sub));
    const QString backend = path(QStringLiteral("bin/backend/capture"));
    write(backend, QString::fromLatin1(kBackend));
    QFile::setPermissions(backend, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const QString root = dir_.path();
    QString files = QStringLiteral(
                        "ServerRoot %1/conf\nServerBin %1/bin\nDataDir /usr/share/cups\nCacheDir %1/cache\n"
                        "StateDir %1/state\nRequestRoot %1/spool\nTempDir %1/spool/tmp\nAccessLog %1/log/access_log\n"
                        "ErrorLog %1/log/error_log\nPageLog %1/log/page_log\nPrintcap %1/printcap\nFileDevice No\n")
                        .arg(root);
    // Run by an ordinary user, the scheduler runs its jobs as that user; run by root, it takes
    // its usual user for filters (there are none on these queues) and root for a 0700 backend.
    if (geteuid() != 0)
        if (const passwd* pw = getpwuid(geteuid()))
            files += QStringLiteral("User %1\n").arg(QString::fromLocal8Bit(pw->pw_name));
    write(path(QStringLiteral("conf/cups-files.conf")), files);
    write(path(QStringLiteral("conf/cupsd.conf")),
          QStringLiteral("LogLevel info\nListen %1/cups.sock\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                         "PreserveJobHistory No\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                         "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
              .arg(root));
    QString queues;
    for (int i = 0; i < printers.size(); ++i) {
        const Printer& p = printers[i];
        const QString tag = i == 0 ? QStringLiteral("DefaultPrinter") : QStringLiteral("Printer");
        queues += QStringLiteral("<%1 %2>\nDeviceURI capture:%3\nState %4\nAccepting %5\nShared No\n"
                                 "ErrorPolicy abort-job\n</%1>\n")
                      .arg(tag, p.name, path(QStringLiteral("capture/") + p.name),
                           p.stopped ? QStringLiteral("Stopped") : QStringLiteral("Idle"),
                           p.accepting ? QStringLiteral("Yes") : QStringLiteral("No"));
    }
    write(path(QStringLiteral("conf/printers.conf")), queues);

    cupsd_.setProgram(cupsd);
    cupsd_.setArguments({QStringLiteral("-f"), QStringLiteral("-c"), path(QStringLiteral("conf/cupsd.conf")),
                         QStringLiteral("-s"), path(QStringLiteral("conf/cups-files.conf"))});
    cupsd_.setProcessChannelMode(QProcess::MergedChannels);
    // However the test program ends, the scheduler ends with it; and it takes the stop signal that
    // the test programs keep blocked for themselves.
    cupsd_.setChildProcessModifier([] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        sigset_t all;
        sigfillset(&all);
        sigprocmask(SIG_UNBLOCK, &all, nullptr);
    });
    cupsd_.start();
    if (!cupsd_.waitForStarted(5000)) {
        error_ = QStringLiteral("cupsd did not start: ") + cupsd_.errorString();
        return;
    }
    // It answers once its printers are loaded. The socket's file appears a moment before the
    // scheduler listens on it, so only a connection that goes through counts.
    const QString socket = path(QStringLiteral("cups.sock"));
    QElapsedTimer clock;
    clock.start();
    bool answering = false;
    while (!answering && cupsd_.state() == QProcess::Running && clock.elapsed() < 10000) {
        if (QFileInfo::exists(socket)) {
            http_t* http = httpConnect2(socket.toLocal8Bit().constData(), 0, nullptr, AF_LOCAL, HTTP_ENCRYPTION_NEVER,
                                        1, 1000, nullptr);
            answering = http != nullptr;
            httpClose(http);
        }
        if (!answering)
            QThread::msleep(10);
    }
    if (!answering) {
        error_ = QStringLiteral("cupsd did not answer: ") + QString::fromLocal8Bit(cupsd_.readAll()) + log();
        return;
    }
    qputenv("CUPS_SERVER", socket.toLocal8Bit());
    cupsSetServer(socket.toLocal8Bit().constData());  // the client library read the old one already
    running_ = true;
}

CupsScheduler::~CupsScheduler()
{
    // The client's connection goes first: the scheduler waits for open connections before it ends.
    if (hadServer_)
        qputenv("CUPS_SERVER", oldServer_);
    else
        qunsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
    if (cupsd_.state() != QProcess::NotRunning) {
        cupsd_.terminate();
        if (!cupsd_.waitForFinished(5000)) {
            cupsd_.kill();
            cupsd_.waitForFinished(2000);
        }
    }
}

QString CupsScheduler::log() const { return QString::fromLocal8Bit(readAll(path(QStringLiteral("log/error_log")))); }

QByteArray CupsScheduler::captured(const QString& printer) const
{
    return readAll(path(QStringLiteral("capture/") + printer));
}

QStringList CupsScheduler::jobTitles(const QString& printer) const
{
    const QString text = QString::fromUtf8(readAll(path(QStringLiteral("capture/") + printer + QStringLiteral(".jobs"))));
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool CupsScheduler::waitForJobs(const QString& printer, int jobs, int ms) const
{
    QElapsedTimer clock;
    clock.start();
    while (jobTitles(printer).size() < jobs) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(10);
    }
    return true;
}

}  // namespace kvtest
