#pragma once
// A rendered report: pages of items placed in millimetres from the page's top-left corner. This is
// what the band engine produces and what every output (printer, preview, PDF, PNG, HTML, plain text)
// consumes, so tests can check a printout by its texts and positions without looking at pixels.
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace kv {

struct ReportFont {
    QString family = QStringLiteral("DejaVu Sans");
    double size = 8;  // points
    bool bold = false;
    bool italic = false;

    bool operator==(const ReportFont& o) const
    {
        return family == o.family && size == o.size && bold == o.bold && italic == o.italic;
    }
};

enum class DocItemKind { Text, Line, Rectangle, Image, Barcode };

struct DocItem {
    DocItemKind kind = DocItemKind::Text;
    QString name;     // the report item's name, so a test or a caller can find "its" value
    QRectF rect;      // mm on the page; a line runs from rect.topLeft() to rect.bottomRight()
    QString text;     // Text: the lines as printed, joined by '\n'. Barcode: the digits
    ReportFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
    double lineHeight = 0;   // mm between the text's lines
    double penWidth = 0.2;   // mm, lines and rectangles
    bool filled = false;     // rectangles painted solid
    QImage image;            // Image
    bool keepAspect = true;  // Image: fit inside rect without distortion

    QStringList lines() const { return text.split(QLatin1Char('\n')); }
};

struct DocPage {
    QList<DocItem> items;
};

class Document {
public:
    QString title;
    QSizeF pageSize;         // mm, width x height as the sheet is printed (landscape already applied)
    bool landscape = false;
    bool roll = false;       // receipt roll: further pages continue the same strip of paper
    QList<DocPage> pages;

    int pageCount() const { return pages.size(); }

    // Every text (and barcode digit string) in reading order: page by page, top to bottom, left
    // to right. page = -1 means the whole document.
    QStringList texts(int page = -1) const;
    // Items whose text is exactly `text`, or whose report item is called `name`.
    QList<const DocItem*> findText(const QString& text, int page = -1) const;
    QList<const DocItem*> findNamed(const QString& name, int page = -1) const;
    // The first item of that name, or null.
    const DocItem* named(const QString& name, int page = -1) const;

    // An HTML page holding one table per page: every printed line is a table row and items that
    // share a left edge share a column, so the file reads well in a browser and opens as cells
    // in a spreadsheet.
    QString toHtml() const;
    // The pages as plain text, items on a character grid; pages are separated by a form feed.
    QString toText() const;
};

}  // namespace kv
