#include "common/Dates.h"

#include "common/Errors.h"

#include <QRegularExpression>

namespace kv {

namespace {
const char* const kShortMonths[] = {"ene", "feb", "mar", "abr", "may", "jun", "jul", "ago", "sep", "oct", "nov", "dic"};
const char* const kLongMonths[] = {"enero", "febrero", "marzo", "abril", "mayo", "junio", "julio",
                                   "agosto", "septiembre", "octubre", "noviembre", "diciembre"};
const char* const kShortDays[] = {"lun", "mar", "mié", "jue", "vie", "sáb", "dom"};
const char* const kLongDays[] = {"lunes", "martes", "miércoles", "jueves", "viernes", "sábado", "domingo"};

QString two(int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); }
}  // namespace

QString ShortMonthName(int m) { return (m >= 1 && m <= 12) ? QString::fromUtf8(kShortMonths[m - 1]) : QString(); }
QString LongMonthName(int m) { return (m >= 1 && m <= 12) ? QString::fromUtf8(kLongMonths[m - 1]) : QString(); }
QString ShortDayName(int d) { return (d >= 1 && d <= 7) ? QString::fromUtf8(kShortDays[d - 1]) : QString(); }
QString LongDayName(int d) { return (d >= 1 && d <= 7) ? QString::fromUtf8(kLongDays[d - 1]) : QString(); }

QString FormatDateTime(const QString& picture, const QDate& value)
{
    return FormatDateTime(picture, QDateTime(value, QTime(0, 0)));
}

QString FormatDateTime(const QString& pic, const QDateTime& value)
{
    if (!value.isValid())
        return QString();
    const QDate d = value.date();
    const QTime t = value.time();
    QString out;
    bool afterHour = false;  // "m" that follows an hour token means minutes
    // With an am/pm marker the hour is written on the twelve-hour clock.
    const bool twelve = pic.contains(QLatin1String("am/pm"), Qt::CaseInsensitive);
    const int hour = twelve ? (t.hour() % 12 == 0 ? 12 : t.hour() % 12) : t.hour();
    int i = 0;
    auto run = [&](QChar c) {
        int n = 0;
        while (i + n < pic.size() && pic[i + n].toLower() == c)
            ++n;
        return n;
    };
    while (i < pic.size()) {
        QChar c = pic[i].toLower();
        if (pic[i] == QLatin1Char('"') || pic[i] == QLatin1Char('\'')) {
            QChar q = pic[i];
            int j = pic.indexOf(q, i + 1);
            if (j < 0)
                j = pic.size();
            out += pic.mid(i + 1, j - i - 1);
            i = j + 1;
            continue;
        }
        if (pic.mid(i, 5).toLower() == QLatin1String("am/pm")) {
            // The picture's own case decides the text's: "AM/PM" prints "PM", "am/pm" prints "pm".
            const bool upper = pic[i].isUpper();
            const QString s = t.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            out += upper ? s.toUpper() : s;
            i += 5;
            continue;
        }
        int n = 0;
        if (c == QLatin1Char('d')) {
            n = run(c);
            if (n == 1) out += QString::number(d.day());
            else if (n == 2) out += two(d.day());
            else if (n == 3) out += ShortDayName(d.dayOfWeek());
            else out += LongDayName(d.dayOfWeek());
            afterHour = false;
        } else if (c == QLatin1Char('m')) {
            n = run(c);
            if (afterHour && n <= 2) {
                out += n == 1 ? QString::number(t.minute()) : two(t.minute());
            } else if (n == 1) out += QString::number(d.month());
            else if (n == 2) out += two(d.month());
            else if (n == 3) out += ShortMonthName(d.month());
            else out += LongMonthName(d.month());
            afterHour = false;
        } else if (c == QLatin1Char('y')) {
            n = run(c);
            out += n <= 2 ? two(d.year() % 100) : QString::number(d.year()).rightJustified(4, QLatin1Char('0'));
            afterHour = false;
        } else if (c == QLatin1Char('h')) {
            n = run(c);
            out += n == 1 ? QString::number(hour) : two(hour);
            afterHour = true;
        } else if (c == QLatin1Char('n')) {
            n = run(c);
            out += n == 1 ? QString::number(t.minute()) : two(t.minute());
            afterHour = false;
        } else if (c == QLatin1Char('s')) {
            n = run(c);
            out += n == 1 ? QString::number(t.second()) : two(t.second());
            afterHour = false;
        } else {
            out += pic[i];
            n = 1;
            // separators keep the hour context ("hh:mm")
        }
        i += n;
    }
    return out;
}

QDate StrToDate(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{2,4})\\s*$"));
    auto m = re.match(text);
    QDate date;
    if (m.hasMatch()) {
        int y = m.captured(3).toInt();
        if (m.captured(3).size() <= 2)
            y += y < 50 ? 2000 : 1900;
        date = QDate(y, m.captured(2).toInt(), m.captured(1).toInt());
    }
    if (!date.isValid())
        throw ConversionError(QStringLiteral("'%1' no es una fecha válida").arg(text));
    return date;
}

}  // namespace kv
