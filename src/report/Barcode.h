#pragma once
// EAN-13 and EAN-8 shelf-label barcodes. The bars are drawn on a grid of 118 x 41 units, one unit
// per module, exactly as the labels have always looked: the grid is then scaled to the size the
// label gives it (31.2 x 10.8 mm), so one module stays one column of the grid at any resolution.
#include <QImage>
#include <QRectF>
#include <QString>

class QPainter;

namespace kv {

// The check digit of the first 12 (EAN-13) or 7 (EAN-8) digits. Raises ConversionError when the
// text holds something other than 7 or 12 digits.
int eanCheckDigit(const QString& digits);
// The digits followed by their check digit.
QString eanWithCheckDigit(const QString& digits);

// The module pattern of a code: "x" guard bar, "1" bar, "0" space; 95 modules for 13 digits,
// 67 for 8. Any other length gives an empty pattern (a label without bars). The last digit is
// drawn as stored: it is neither computed nor checked. A non-digit in a code of 8 or 13
// characters raises ConversionError.
QString eanPattern(const QString& code);

// The grid the bars are drawn on.
constexpr int kBarcodeGridWidth = 118;
constexpr int kBarcodeGridHeight = 41;

// Draws the code's bars and its digits into `target` (painter coordinates), white background.
// A code that is not EAN-13 or EAN-8 leaves the area white.
void drawEan(QPainter& painter, const QRectF& target, const QString& code);

// The barcode as an image of the grid's size (or larger, keeping the grid's proportions).
QImage eanImage(const QString& code, int width = kBarcodeGridWidth, int height = kBarcodeGridHeight);

}  // namespace kv
