#pragma once
// Text measuring shared by the layout and the painter. Layout measures at a fixed high resolution
// with hinting off, so line breaks do not depend on the screen or printer the Document later
// goes to; the painter draws the lines exactly as the layout broke them.
#include "report/Document.h"

#include <QFont>
#include <QStringList>

namespace kv {

QFont toQFont(const ReportFont& font);

// Distance between two lines of the font, in mm.
double lineHeightMm(const ReportFont& font);
// Advance width of a single line of text, in mm.
double textWidthMm(const ReportFont& font, const QString& text);
// Breaks text into lines no wider than widthMm: at blanks where possible, inside a word only when
// the word alone is too wide. Line breaks already in the text are kept, and so are the blanks
// (runs of them included) everywhere but where a line breaks.
QStringList wrapText(const QString& text, double widthMm, const ReportFont& font);

}  // namespace kv
