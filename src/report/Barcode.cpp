#include "report/Barcode.h"

#include "common/Errors.h"
#include "common/Numbers.h"

#include <QFont>
#include <QPainter>

namespace kv {

namespace {

// The published EAN digit sets. R is the complement of L; G is R read backwards.
const char* const kL[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                            "0110001", "0101111", "0111011", "0110111", "0001011"};
const char* const kG[10] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                            "0111001", "0000101", "0010001", "0001001", "0010111"};
const char* const kR[10] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                            "1001110", "1010000", "1000100", "1001000", "1110100"};
// Which of digits 2..7 of an EAN-13 use the G set, chosen by the first digit.
const char* const kParity[10] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                 "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};

const QString kGuard = QStringLiteral("x0x");
const QString kCentre = QStringLiteral("0x0x0");

// Digit values of a code; a character that is not a digit fails the way any typed number does.
QList<int> digitsOf(const QString& code)
{
    QList<int> d;
    d.reserve(code.size());
    for (QChar c : code) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            d.append(c.unicode() - '0');
        else
            d.append(StrToInt(QString(c)));  // raises ConversionError with the usual message
    }
    return d;
}

}  // namespace

int eanCheckDigit(const QString& digits)
{
    if (digits.size() != 12 && digits.size() != 7)
        throw ConversionError(QStringLiteral("'%1' no tiene 7 ni 12 dígitos").arg(digits));
    const QList<int> d = digitsOf(digits);
    // Weights 3, 1, 3, ... counted from the rightmost digit.
    int sum = 0;
    for (int i = 0; i < d.size(); ++i)
        sum += d[d.size() - 1 - i] * (i % 2 == 0 ? 3 : 1);
    return (10 - sum % 10) % 10;
}

QString eanWithCheckDigit(const QString& digits) { return digits + QString::number(eanCheckDigit(digits)); }

QString eanPattern(const QString& code)
{
    if (code.size() != 13 && code.size() != 8)
        return QString();
    const QList<int> d = digitsOf(code);
    QString p = kGuard;
    if (d.size() == 13) {
        const char* parity = kParity[d[0]];
        for (int i = 1; i <= 6; ++i)
            p += QLatin1String(parity[i - 1] == 'G' ? kG[d[i]] : kL[d[i]]);
        p += kCentre;
        for (int i = 7; i <= 12; ++i)
            p += QLatin1String(kR[d[i]]);
    } else {
        for (int i = 0; i < 4; ++i)
            p += QLatin1String(kL[d[i]]);
        p += kCentre;
        for (int i = 4; i < 8; ++i)
            p += QLatin1String(kR[d[i]]);
    }
    p += kGuard;
    return p;
}

void drawEan(QPainter& painter, const QRectF& target, const QString& code)
{
    const QString pattern = eanPattern(code);
    painter.save();
    painter.fillRect(target, Qt::white);
    painter.translate(target.topLeft());
    painter.scale(target.width() / kBarcodeGridWidth, target.height() / kBarcodeGridHeight);
    if (!pattern.isEmpty()) {
        // Module i is the grid column 11 + i; bars run from row 5 to 30, guard bars to 35, so the
        // guards reach down between the digit groups.
        for (int i = 0; i < pattern.size(); ++i) {
            const QChar m = pattern[i];
            if (m == QLatin1Char('1'))
                painter.fillRect(QRectF(11 + i, 5, 1, 25), Qt::black);
            else if (m == QLatin1Char('x'))
                painter.fillRect(QRectF(11 + i, 5, 1, 30), Qt::black);
        }
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(9);
        f.setHintingPreference(QFont::PreferNoHinting);
        painter.setFont(f);
        painter.setPen(Qt::black);
        auto digits = [&](double x, const QString& t) {
            painter.drawText(QRectF(x, 30, 60, 11), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, t);
        };
        if (code.size() == 13) {
            digits(3, code.left(1));
            digits(17, code.mid(1, 6));
            digits(63, code.mid(7, 6));
        } else {
            digits(16, code.left(4));
            digits(48, code.mid(4, 4));
        }
    }
    painter.restore();
}

QImage eanImage(const QString& code, int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    drawEan(p, QRectF(0, 0, width, height), code);
    return img;
}

}  // namespace kv
