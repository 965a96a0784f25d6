#include "report/Document.h"

#include "report/Barcode.h"

#include <QBuffer>
#include <QMap>

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

constexpr double kPointMm = 25.4 / 72.0;

bool hasText(const DocItem& d) { return d.kind == DocItemKind::Text || d.kind == DocItemKind::Barcode; }

// Items of a page in reading order: top to bottom (half-millimetre steps), then left to right.
QList<const DocItem*> readingOrder(const DocPage& page)
{
    QList<const DocItem*> out;
    out.reserve(page.items.size());
    for (const DocItem& d : page.items)
        out.append(&d);
    std::stable_sort(out.begin(), out.end(), [](const DocItem* a, const DocItem* b) {
        const long ta = std::lround(a->rect.top() * 2), tb = std::lround(b->rect.top() * 2);
        if (ta != tb)
            return ta < tb;
        return a->rect.left() < b->rect.left();
    });
    return out;
}

// The font size most texts of the document use; the text and HTML exports size their grid by it.
double commonFontSize(const Document& doc)
{
    QMap<double, int> counts;
    for (const DocPage& p : doc.pages)
        for (const DocItem& d : p.items)
            if (d.kind == DocItemKind::Text && !d.text.isEmpty())
                ++counts[d.font.size];
    double best = 8;
    int bestCount = 0;
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    return best;
}

// Printed lines of a page: items whose tops lie within `tolerance` of the first item of the line.
struct Line {
    double top = 0;
    QList<const DocItem*> items;
};

QList<Line> linesOf(const DocPage& page, double tolerance, bool (*take)(const DocItem&))
{
    QList<const DocItem*> items;
    for (const DocItem* d : readingOrder(page))
        if (take(*d))
            items.append(d);
    std::stable_sort(items.begin(), items.end(),
                     [](const DocItem* a, const DocItem* b) { return a->rect.top() < b->rect.top(); });
    QList<Line> lines;
    for (const DocItem* d : items) {
        if (lines.isEmpty() || d->rect.top() - lines.back().top > tolerance)
            lines.append(Line{d->rect.top(), {}});
        lines.back().items.append(d);
    }
    for (Line& l : lines)
        std::stable_sort(l.items.begin(), l.items.end(),
                         [](const DocItem* a, const DocItem* b) { return a->rect.left() < b->rect.left(); });
    return lines;
}

bool isHorizontalRule(const DocItem& d)
{
    return d.kind == DocItemKind::Line && std::abs(d.rect.height()) < 0.01 && std::abs(d.rect.width()) >= 5;
}

QString pngDataUri(const QImage& image)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    image.save(&buf, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes.toBase64());
}

QString mm(double v) { return QString::number(v, 'f', 1) + QStringLiteral("mm"); }

}  // namespace

QStringList Document::texts(int page) const
{
    QStringList out;
    for (int p = 0; p < pages.size(); ++p) {
        if (page >= 0 && p != page)
            continue;
        for (const DocItem* d : readingOrder(pages[p]))
            if (hasText(*d))
                out.append(d->text);
    }
    return out;
}

QList<const DocItem*> Document::findText(const QString& text, int page) const
{
    QList<const DocItem*> out;
    for (int p = 0; p < pages.size(); ++p)
        if (page < 0 || p == page)
            for (const DocItem* d : readingOrder(pages[p]))
                if (hasText(*d) && d->text == text)
                    out.append(d);
    return out;
}

QList<const DocItem*> Document::findNamed(const QString& name, int page) const
{
    QList<const DocItem*> out;
    for (int p = 0; p < pages.size(); ++p)
        if (page < 0 || p == page)
            for (const DocItem* d : readingOrder(pages[p]))
                if (d->name == name)
                    out.append(d);
    return out;
}

const DocItem* Document::named(const QString& name, int page) const
{
    const auto all = findNamed(name, page);
    return all.isEmpty() ? nullptr : all.first();
}

QString Document::toText() const
{
    const double size = commonFontSize(*this);
    const double charWidth = size * kPointMm * 0.6;
    const double lineHeight = size * kPointMm * 1.2;
    double minLeft = 1e9;
    for (const DocPage& p : pages)
        for (const DocItem& d : p.items)
            if (hasText(d) || isHorizontalRule(d))
                minLeft = std::min(minLeft, std::min(d.rect.left(), d.rect.right()));
    if (minLeft > 1e8)
        minLeft = 0;

    QString out;
    for (int pi = 0; pi < pages.size(); ++pi) {
        if (pi > 0)
            out += QLatin1Char('\f');
        const QList<Line> lines = linesOf(pages[pi], lineHeight * 0.4, [](const DocItem& d) {
            return (hasText(d) && !d.text.isEmpty()) || isHorizontalRule(d);
        });
        double previousBottom = -1;
        for (const Line& line : lines) {
            bool onlyRules = true;
            for (const DocItem* d : line.items)
                onlyRules = onlyRules && d->kind == DocItemKind::Line;
            if (previousBottom >= 0) {
                const int blank = std::clamp(int(std::lround((line.top - previousBottom) / lineHeight)), 0, 2);
                out += QString(blank, QLatin1Char('\n'));
            }
            int rows = 1;
            for (const DocItem* d : line.items)
                if (d->kind != DocItemKind::Line)
                    rows = std::max(rows, int(d->lines().size()));
            for (int k = 0; k < rows; ++k) {
                QString row;
                for (const DocItem* d : line.items) {
                    QString t;
                    if (d->kind == DocItemKind::Line) {
                        if (!onlyRules || k > 0)
                            continue;  // a rule shares its line with text: the text wins
                        t = QString(std::max(1, int(std::lround(std::abs(d->rect.width()) / charWidth))), QLatin1Char('-'));
                    } else {
                        const QStringList ls = d->lines();
                        if (k >= ls.size())
                            continue;
                        t = ls[k];
                    }
                    const double left = std::min(d->rect.left(), d->rect.right()) - minLeft;
                    const double right = left + std::abs(d->rect.width());
                    int col = int(std::lround(left / charWidth));
                    if (d->alignment & Qt::AlignRight)
                        col = int(std::lround(right / charWidth)) - int(t.size());
                    else if (d->alignment & Qt::AlignHCenter)
                        col = int(std::lround((left + right) / 2 / charWidth)) - int(t.size()) / 2;
                    // Never write over what is already on the line: keep one blank between items.
                    col = std::max(col, row.isEmpty() ? 0 : int(row.size()) + 1);
                    row += QString(col - row.size(), QLatin1Char(' '));
                    row += t;
                }
                while (row.endsWith(QLatin1Char(' ')))
                    row.chop(1);
                out += row + QLatin1Char('\n');
            }
            previousBottom = line.top + rows * lineHeight;
        }
    }
    return out;
}

QString Document::toHtml() const
{
    // Columns: the left edges that items use, merged when closer than 1.5 mm.
    QList<double> lefts;
    for (const DocPage& p : pages)
        for (const DocItem& d : p.items)
            if (hasText(d) || d.kind == DocItemKind::Image)
                lefts.append(std::round(d.rect.left() * 2) / 2);
    std::sort(lefts.begin(), lefts.end());
    QList<double> columns;
    for (double l : lefts)
        if (columns.isEmpty() || l - columns.back() >= 1.5)
            columns.append(l);
    if (columns.isEmpty())
        columns.append(0);
    auto columnOf = [&](double left) {
        int c = 0;
        for (int i = 0; i < columns.size(); ++i)
            if (columns[i] <= left + 0.75)
                c = i;
        return c;
    };
    const double lineHeight = commonFontSize(*this) * kPointMm * 1.2;

    QString h;
    h += QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>") + title.toHtmlEscaped() +
         QStringLiteral("</title>\n<style>\n"
                        "table { border-collapse: collapse; page-break-after: always; margin-bottom: 8mm; }\n"
                        "td { vertical-align: top; white-space: nowrap; padding: 0 1mm; }\n"
                        "</style>\n</head>\n<body>\n");
    for (int pi = 0; pi < pages.size(); ++pi) {
        h += QStringLiteral("<table class=\"page\" data-page=\"%1\">\n<colgroup>").arg(pi + 1);
        for (int c = 0; c < columns.size(); ++c) {
            const double next = c + 1 < columns.size() ? columns[c + 1] : pageSize.width();
            h += QStringLiteral("<col style=\"width:%1\">").arg(mm(std::max(1.0, next - columns[c])));
        }
        h += QStringLiteral("</colgroup>\n");
        const QList<Line> lines = linesOf(pages[pi], lineHeight * 0.4, [](const DocItem& d) {
            return (hasText(d) && !d.text.isEmpty()) || (d.kind == DocItemKind::Image && !d.image.isNull());
        });
        for (const Line& line : lines) {
            QMap<int, QList<const DocItem*>> cells;
            for (const DocItem* d : line.items)
                cells[columnOf(std::round(d->rect.left() * 2) / 2)].append(d);
            h += QStringLiteral("<tr>");
            for (int c = 0; c < columns.size(); ++c) {
                const auto it = cells.constFind(c);
                if (it == cells.constEnd()) {
                    h += QStringLiteral("<td></td>");
                    continue;
                }
                const DocItem* first = it.value().first();
                QString style = QStringLiteral("font-family:'%1';font-size:%2pt")
                                    .arg(first->font.family)
                                    .arg(first->font.size);
                if (first->font.bold)
                    style += QStringLiteral(";font-weight:bold");
                if (first->font.italic)
                    style += QStringLiteral(";font-style:italic");
                if (first->alignment & Qt::AlignRight)
                    style += QStringLiteral(";text-align:right");
                else if (first->alignment & Qt::AlignHCenter)
                    style += QStringLiteral(";text-align:center");
                QStringList parts;
                for (const DocItem* d : it.value()) {
                    if (d->kind == DocItemKind::Image) {
                        parts.append(QStringLiteral("<img src=\"%1\" style=\"width:%2;height:%3\">")
                                         .arg(pngDataUri(d->image), mm(d->rect.width()), mm(d->rect.height())));
                    } else if (d->kind == DocItemKind::Barcode) {
                        parts.append(QStringLiteral("<img src=\"%1\" alt=\"%2\" style=\"width:%3;height:%4\">")
                                         .arg(pngDataUri(eanImage(d->text, kBarcodeGridWidth * 4, kBarcodeGridHeight * 4)),
                                              d->text.toHtmlEscaped(), mm(d->rect.width()), mm(d->rect.height())));
                    } else {
                        parts.append(d->text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
                    }
                }
                h += QStringLiteral("<td style=\"%1\">%2</td>").arg(style, parts.join(QLatin1Char(' ')));
            }
            h += QStringLiteral("</tr>\n");
        }
        h += QStringLiteral("</table>\n");
    }
    h += QStringLiteral("</body>\n</html>\n");
    return h;
}

}  // namespace kv
