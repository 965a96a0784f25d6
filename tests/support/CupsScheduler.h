#pragma once
// A private CUPS scheduler for tests that print for real. cupsd runs with its own configuration,
// spool, cache, logs and local socket in a temporary folder (nothing of the machine's own CUPS is
// read or touched, and it listens on no network port), and its printers' device is a small capture
// backend that appends each job's bytes to a file of the test and notes the job's title beside it.
// While the scheduler lives, this process's CUPS client talks to it (CUPS_SERVER names its socket).
// It is stopped when the object goes, and dies with the test program if that ends any other way.
#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kvtest {

class CupsScheduler {
public:
    struct Printer {
        QString name;
        bool accepting = true;  // false: jobs sent to it are refused
        bool stopped = false;   // true: jobs wait in its queue
    };
    // The first printer is the default one; none at all is a machine without printers.
    explicit CupsScheduler(const QList<Printer>& printers);
    ~CupsScheduler();
    CupsScheduler(const CupsScheduler&) = delete;
    CupsScheduler& operator=(const CupsScheduler&) = delete;

    // False when cupsd could not be started; error() says why (with its log).
    bool running() const { return running_; }
    QString error() const { return error_; }

    // The bytes the printer's jobs delivered so far, and their titles in order.
    QByteArray captured(const QString& printer) const;
    QStringList jobTitles(const QString& printer) const;
    // Waits until the printer has delivered `jobs` jobs; false after the time limit.
    bool waitForJobs(const QString& printer, int jobs, int ms = 10000) const;

private:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString log() const;
    QTemporaryDir dir_;
    QProcess cupsd_;
    QByteArray oldServer_;
    bool hadServer_ = false;
    bool running_ = false;
    QString error_;
};

}  // namespace kvtest
