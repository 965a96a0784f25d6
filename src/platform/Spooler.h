#pragma once
// The operating system's printer spooler (CUPS): the installed printers, the default printer and
// whether it is busy, and raw jobs that go to the printer byte for byte (the cash drawer pulse).
//
// With KORVELA_RAW_TO=FILE set, raw jobs are appended to FILE instead, and the spooler presents
// that file as an idle default printer, so a register without a receipt printer (a test, a demo)
// still goes through the whole drawer sequence.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kv {

enum class PrinterState { Unknown, Idle, Printing, Stopped };

class Spooler {
public:
    // Names of the installed printers (CUPS destinations, "name/instance" for instances).
    static QStringList printers();
    // The default printer, or an empty string when there is none.
    static QString defaultPrinter();
    static PrinterState state(const QString& printer);
    static PrinterState defaultPrinterState() { return state(defaultPrinter()); }
    // Jobs of this user still queued or printing on the printer.
    static int activeJobs(const QString& printer);

    // Sends the bytes as one raw job (document format application/vnd.cups-raw) named jobName,
    // to the given printer or to the default one. On failure returns false and, when error is
    // given, the spooler's own reason.
    static bool sendRaw(const QByteArray& data, const QString& jobName, const QString& printer = QString(),
                        QString* error = nullptr);

    // Opens the cash drawer wired to the default (receipt) printer: one raw job named "Control"
    // holding the ESC/POS pulse 1B 70 30 64 64 (pin 2, 100 x 2 ms on, 100 x 2 ms off). Refused
    // when no printer is installed or when the default printer still has a job of ours, since
    // the pulse would land in the middle of it. Returns an empty string when the pulse went out,
    // otherwise the text to show.
    static QString openCashDrawer();
    static const QByteArray& drawerPulse();

    // The file named by KORVELA_RAW_TO, or an empty string.
    static QString rawFile();
};

}  // namespace kv
