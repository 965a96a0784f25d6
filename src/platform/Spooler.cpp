#include "platform/Spooler.h"

#include <QFile>

#include <cups/cups.h>

namespace kv {

namespace {

QString destName(const cups_dest_t& d)
{
    QString n = QString::fromUtf8(d.name);
    if (d.instance)
        n += QLatin1Char('/') + QString::fromUtf8(d.instance);
    return n;
}

void fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

QString cupsError() { return QString::fromUtf8(cupsLastErrorString()); }

}  // namespace

QString Spooler::rawFile() { return qEnvironmentVariable("KORVELA_RAW_TO"); }

QStringList Spooler::printers()
{
    QStringList names;
    if (!rawFile().isEmpty())
        names.append(rawFile());
    cups_dest_t* dests = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < n; ++i)
        names.append(destName(dests[i]));
    cupsFreeDests(n, dests);
    return names;
}

QString Spooler::defaultPrinter()
{
    if (!rawFile().isEmpty())
        return rawFile();
    cups_dest_t* d = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!d)
        return QString();
    const QString name = destName(*d);
    cupsFreeDests(1, d);
    return name;
}

PrinterState Spooler::state(const QString& printer)
{
    if (printer.isEmpty())
        return PrinterState::Unknown;
    if (printer == rawFile())
        return PrinterState::Idle;
    const QByteArray name = printer.section(QLatin1Char('/'), 0, 0).toUtf8();
    cups_dest_t* d = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (!d)
        return PrinterState::Unknown;
    const char* s = cupsGetOption("printer-state", d->num_options, d->options);
    PrinterState st = PrinterState::Unknown;
    if (s) {
        // IPP printer-state: 3 idle, 4 processing, 5 stopped.
        switch (QByteArray(s).toInt()) {
        case 3: st = PrinterState::Idle; break;
        case 4: st = PrinterState::Printing; break;
        case 5: st = PrinterState::Stopped; break;
        default: break;
        }
    }
    cupsFreeDests(1, d);
    return st;
}

int Spooler::activeJobs(const QString& printer)
{
    if (printer.isEmpty() || printer == rawFile())
        return 0;
    const QByteArray name = printer.section(QLatin1Char('/'), 0, 0).toUtf8();
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.constData(), 1, CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(n > 0 ? n : 0, jobs);
    return n > 0 ? n : 0;
}

bool Spooler::sendRaw(const QByteArray& data, const QString& jobName, const QString& printer, QString* error)
{
    const QString file = rawFile();
    if (!file.isEmpty()) {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append) || f.write(data) != data.size()) {
            fail(error, QStringLiteral("No se pudo escribir en %1: %2").arg(file, f.errorString()));
            return false;
        }
        return true;
    }
    const QString target = printer.isEmpty() ? defaultPrinter() : printer;
    if (target.isEmpty()) {
        fail(error, QStringLiteral("No hay una impresora predeterminada instalada."));
        return false;
    }
    const QByteArray name = target.section(QLatin1Char('/'), 0, 0).toUtf8();
    const QByteArray title = jobName.toUtf8();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), title.constData(), 0, nullptr);
    if (job == 0) {
        fail(error, cupsError());
        return false;
    }
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, title.constData(), CUPS_FORMAT_RAW, 1) !=
        HTTP_STATUS_CONTINUE) {
        fail(error, cupsError());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return false;
    }
    const bool written =
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, data.constData(), size_t(data.size())) == HTTP_STATUS_CONTINUE;
    const bool finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) == IPP_STATUS_OK;
    if (!written || !finished) {
        fail(error, cupsError());
        return false;
    }
    return true;
}

const QByteArray& Spooler::drawerPulse()
{
    static const QByteArray pulse = QByteArray::fromHex("1b70306464");
    return pulse;
}

QString Spooler::openCashDrawer()
{
    if (printers().isEmpty())
        return QStringLiteral("No se instaló ninguna impresora/There are not installed printers");
    if (activeJobs(defaultPrinter()) > 0)
        return QStringLiteral("No puede estar imprimiendo mientras se abre el cajón/Can not send control codes while printing");
    QString error;
    if (!sendRaw(drawerPulse(), QStringLiteral("Control"), QString(), &error))
        return error;
    return QString();
}

}  // namespace kv
