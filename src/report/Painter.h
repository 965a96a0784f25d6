#pragma once
// Drawing a Document: on any paged device (printer, PDF writer), on a plain QPainter, or into
// images. Also the KORVELA_PRINT_TO convention: when that variable names a folder, "printing" and
// "previewing" write numbered PDF files there instead, so tests, demos and machines without a
// printer or a screen still run the real rendering.
#include "report/Document.h"

#include <QPageLayout>
#include <QString>
#include <QStringList>

class QPainter;
class QPagedPaintDevice;

namespace kv {

// The page layout a Document asks for: its sheet size, orientation and no margins (the Document's
// items already sit where they belong on the sheet).
QPageLayout pageLayoutOf(const Document& doc);

// Draws one page. The painter's origin must be the sheet's top-left corner and its unit the
// device pixel; dotsPerMm converts the Document's millimetres.
void paintPage(QPainter& painter, const Document& doc, int pageIndex, double dotsPerMmX, double dotsPerMmY);

// Draws every page on a paged device, setting its page layout first. Returns false when the device
// refuses to start painting.
bool paintDocument(const Document& doc, QPagedPaintDevice& device);
// The same on a painter already begun on a paged device (a print preview hands one over).
void paintDocument(const Document& doc, QPainter& painter, QPagedPaintDevice& device);

// Writes a PDF file. Raises Failure with a Spanish message when the file cannot be written.
void writePdf(const Document& doc, const QString& path);

// One page as an image, white background.
QImage renderPage(const Document& doc, int pageIndex, double dpi = 150);
// Every page as PNG files: base + "-1.png", base + "-2.png", ...; returns the paths written.
QStringList writePngs(const Document& doc, const QString& base, double dpi = 150);

// The folder named by KORVELA_PRINT_TO, or an empty string when printing should really print.
QString printToDirectory();
// Writes the Document as the next numbered PDF in `dir` ("0001-TITLE.pdf", "0002-...") and
// returns its path. The folder is created when missing.
QString writeNumberedPdf(const Document& doc, const QString& dir);

}  // namespace kv
