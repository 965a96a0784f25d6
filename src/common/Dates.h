#pragma once
// Date texts as the program prints and reads them, always with Spanish month and day names.
#include <QDate>
#include <QDateTime>
#include <QString>

namespace kv {

// Formats with the program's date pictures: d dd ddd dddd, m mm mmm mmmm, yy yyy yyyy,
// h hh, n nn (minutes), s ss, am/pm; "m" right after an "h" means minutes. Anything else,
// and text between double quotes, is printed as it stands ("DD MMMM YYY", "dd  mmm  yyyy").
QString FormatDateTime(const QString& picture, const QDateTime& value);
QString FormatDateTime(const QString& picture, const QDate& value);

QString ShortMonthName(int month);  // "ene" .. "dic"
QString LongMonthName(int month);   // "enero" .. "diciembre"
QString ShortDayName(int dayOfWeek);  // 1 = lunes (Qt's numbering): "lun" .. "dom"
QString LongDayName(int dayOfWeek);

// Reads a day/month/year text ("25/12/2026", "1/2/26"). Raises ConversionError when it is not a date.
QDate StrToDate(const QString& text);

}  // namespace kv
