#include "common/Numbers.h"

#include "common/Errors.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <QStringList>

namespace kv {

double R(double x)
{
    // nearbyint honours the current rounding mode, which is round-half-to-even unless someone
    // changed it; std::remainder-based code would do the same, this is just the cheapest form.
    double r = std::nearbyint(x);
    return r == 0.0 ? 0.0 : r;  // never print "-0"
}

QString FloatToStr(double value)
{
    if (std::isnan(value) || std::isinf(value))
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    QString s = QString::fromLatin1(buf);
    if (s.contains(QLatin1Char('e'))) {
        // Large or tiny values: write them out in full instead of in exponent form.
        std::snprintf(buf, sizeof buf, "%.6f", value);
        s = QString::fromLatin1(buf);
        while (s.contains(QLatin1Char('.')) && (s.endsWith(QLatin1Char('0')) || s.endsWith(QLatin1Char('.'))))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

namespace {

// Digits of |value| rounded half away from zero at `decimals` places, as integer and fraction
// texts. The value first goes through 15 significant digits so that 2.675 (stored as 2.67499..)
// rounds the way a person reads it.
void splitDigits(double value, int decimals, QString& intPart, QString& fracPart)
{
    // 15 significant digits in exponent form, then placed as plain digits around the point.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    const QString e = QString::fromLatin1(buf);
    const int ePos = e.indexOf(QLatin1Char('e'));
    QString mant = e.left(ePos);
    mant.remove(QLatin1Char('.'));
    const int exp = e.mid(ePos + 1).toInt();
    QString ip, fp;
    if (exp >= 0) {
        while (mant.size() < exp + 1)
            mant += QLatin1Char('0');
        ip = mant.left(exp + 1);
        fp = mant.mid(exp + 1);
    } else {
        ip = QStringLiteral("0");
        fp = QString(-exp - 1, QLatin1Char('0')) + mant;
    }
    while (fp.size() < decimals + 1)
        fp += QLatin1Char('0');
    const QString all = ip + fp;
    // Round at `decimals` places, half away from zero.
    int cut = ip.size() + decimals;  // digits kept
    QString kept = all.left(cut);
    bool up = cut < all.size() && all[cut] >= QLatin1Char('5');
    if (up) {
        int i = kept.size() - 1;
        while (i >= 0) {
            if (kept[i] == QLatin1Char('9')) {
                kept[i] = QLatin1Char('0');
                --i;
            } else {
                kept[i] = QChar(kept[i].unicode() + 1);
                break;
            }
        }
        if (i < 0)
            kept.prepend(QLatin1Char('1'));
    }
    intPart = kept.left(kept.size() - decimals);
    fracPart = kept.right(decimals);
    while (intPart.size() > 1 && intPart[0] == QLatin1Char('0'))
        intPart.remove(0, 1);
    if (intPart == QLatin1String("0"))
        intPart.clear();
}

QString formatSection(const QString& pic, double value, bool withSign)
{
    // Locate the decimal point and count digit placeholders on each side.
    int point = -1;
    bool grouping = false;
    int intZeros = 0, intDigits = 0;  // required digits, all digit placeholders before the point
    int fracZeros = 0, fracDigits = 0;
    int firstDigit = -1, lastDigit = -1;
    for (int i = 0; i < pic.size(); ++i) {
        QChar c = pic[i];
        if (c == QLatin1Char('.') && point < 0) {
            point = i;
        } else if (c == QLatin1Char(',')) {
            if (point < 0)
                grouping = true;
        } else if (c == QLatin1Char('#') || c == QLatin1Char('0')) {
            if (firstDigit < 0)
                firstDigit = i;
            lastDigit = i;
            if (point < 0) {
                ++intDigits;
                if (c == QLatin1Char('0') && intZeros == 0) {
                    // Every placeholder from the first "0" on is required.
                    int z = 0;
                    for (int j = i; j < pic.size() && pic[j] != QLatin1Char('.'); ++j)
                        if (pic[j] == QLatin1Char('#') || pic[j] == QLatin1Char('0'))
                            ++z;
                    intZeros = z;
                }
            } else {
                ++fracDigits;
                if (c == QLatin1Char('0'))
                    fracZeros = fracDigits;  // zeros up to the last "0" are required
            }
        }
    }
    if (firstDigit < 0)  // no placeholder at all: the picture is printed as it stands
        return pic;

    QString ip, fp;
    splitDigits(value, fracDigits, ip, fp);
    // Optional decimals drop their trailing zeros, down to the required ones.
    while (fp.size() > fracZeros && fp.endsWith(QLatin1Char('0')))
        fp.chop(1);
    while (ip.size() < intZeros)
        ip.prepend(QLatin1Char('0'));
    bool negative = withSign && value < 0 && (!ip.isEmpty() || fp.count(QLatin1Char('0')) != fp.size());
    if (grouping) {
        QString g;
        int n = ip.size();
        for (int i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                g += QLatin1Char(',');
            g += ip[i];
        }
        ip = g;
    }
    QString number = ip;
    if (!fp.isEmpty())
        number += QLatin1Char('.') + fp;
    if (negative)
        number.prepend(QLatin1Char('-'));

    // Literals before the first placeholder and after the last one stay where they were; literals
    // between placeholders (other than "," and ".") are kept in order after the number's start.
    QString out;
    for (int i = 0; i < firstDigit; ++i)
        if (pic[i] != QLatin1Char(',') && !(pic[i] == QLatin1Char('.') && i == point))
            out += pic[i];
    out += number;
    for (int i = firstDigit; i <= lastDigit; ++i) {
        QChar c = pic[i];
        if (c != QLatin1Char('#') && c != QLatin1Char('0') && c != QLatin1Char(',') && c != QLatin1Char('.'))
            out += c;
    }
    for (int i = lastDigit + 1; i < pic.size(); ++i)
        if (pic[i] != QLatin1Char('.') && pic[i] != QLatin1Char(','))
            out += pic[i];
    return out;
}

}  // namespace

QString FormatFloat(const QString& picture, double value)
{
    if (std::isnan(value) || std::isinf(value))
        value = 0;
    if (picture.isEmpty())
        return FloatToStr(value);
    // Sections: positive;negative;zero. Quoted text is not used by this program's pictures.
    QStringList sections = picture.split(QLatin1Char(';'));
    if (sections.size() >= 3 && value == 0.0 && !sections[2].isEmpty())
        return formatSection(sections[2], value, false);
    if (sections.size() >= 2 && value < 0 && !sections[1].isEmpty())
        return formatSection(sections[1], value, false);
    return formatSection(sections[0], value, true);
}

namespace {
bool parseNumber(const QString& text, double& out)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    QString clean;
    int digits = 0, dots = 0;
    // Grouping commas: each one closes a group of one to three digits (the first) or of exactly
    // three, and the whole part ends after a group of three. "2,5" is someone's decimal comma,
    // not twenty-five: it is refused rather than read as another number.
    int groupDigits = 0;  // digits of the whole part since the last comma, or since the start
    bool grouped = false;
    bool inWhole = true;  // before the decimal point and the exponent
    auto endWhole = [&] {
        const bool right = !inWhole || !grouped || groupDigits == 3;
        inWhole = false;
        return right;
    };
    for (int i = 0; i < t.size(); ++i) {
        QChar c = t[i];
        if (c.isDigit()) {
            clean += c;
            ++digits;
            if (inWhole)
                ++groupDigits;
        } else if (c == QLatin1Char('.')) {
            if (++dots > 1 || !endWhole())
                return false;
            clean += c;
        } else if (c == QLatin1Char(',')) {
            if (!inWhole)
                return false;  // grouping only before the decimal point
            if (groupDigits == 0 || groupDigits > 3 || (grouped && groupDigits != 3))
                return false;
            grouped = true;
            groupDigits = 0;
        } else if ((c == QLatin1Char('-') || c == QLatin1Char('+')) && i == 0) {
            clean += c;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E')) && digits > 0 && i + 1 < t.size()) {
            if (!endWhole())
                return false;
            clean += c;
            if (t[i + 1] == QLatin1Char('-') || t[i + 1] == QLatin1Char('+'))
                clean += t[++i];
        } else {
            return false;
        }
    }
    if (digits == 0 || !endWhole())
        return false;
    bool ok = false;
    out = clean.toDouble(&ok);
    return ok && std::isfinite(out);
}
}  // namespace

bool IsNumber(const QString& text)
{
    double d;
    return parseNumber(text, d);
}

double StrToFloat(const QString& text)
{
    double d = 0;
    if (!parseNumber(text, d))
        throw ConversionError(QStringLiteral("'%1' no es un valor numérico válido").arg(text));
    return d;
}

int StrToInt(const QString& text)
{
    bool ok = false;
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('+')))
        t.remove(0, 1);
    int v = t.toInt(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' no es un número entero válido").arg(text));
    return v;
}

}  // namespace kv
