#include "report/Painter.h"

#include "common/Errors.h"
#include "report/Barcode.h"
#include "report/Fonts.h"

#include <QDir>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

namespace kv {

QPageLayout pageLayoutOf(const Document& doc)
{
    // The sheet is described in portrait and turned by the orientation, which is how printers
    // expect to be told about landscape paper.
    const QSizeF portrait = doc.landscape ? doc.pageSize.transposed() : doc.pageSize;
    const QPageSize size(portrait, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    return QPageLayout(size, doc.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

void paintPage(QPainter& painter, const Document& doc, int pageIndex, double dx, double dy)
{
    if (pageIndex < 0 || pageIndex >= doc.pages.size())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);  // bars and logos stay crisp
    const ReportFont* currentFont = nullptr;
    for (const DocItem& item : doc.pages[pageIndex].items) {
        const QRectF r(item.rect.left() * dx, item.rect.top() * dy, item.rect.width() * dx, item.rect.height() * dy);
        switch (item.kind) {
        case DocItemKind::Text: {
            if (item.text.isEmpty())
                break;
            if (!currentFont || !(*currentFont == item.font)) {
                painter.setFont(toQFont(item.font));
                currentFont = &item.font;
            }
            painter.setPen(Qt::black);
            const double lh = (item.lineHeight > 0 ? item.lineHeight : lineHeightMm(item.font)) * dy;
            const QStringList lines = item.lines();
            const int flags = int(item.alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextDontClip |
                              Qt::TextSingleLine;
            for (int k = 0; k < lines.size(); ++k)
                painter.drawText(QRectF(r.left(), r.top() + k * lh, r.width(), lh), flags, lines[k]);
            break;
        }
        case DocItemKind::Line: {
            QPen pen(Qt::black, std::max(1.0, item.penWidth * dx));
            pen.setCapStyle(Qt::FlatCap);
            painter.setPen(pen);
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        }
        case DocItemKind::Rectangle:
            if (item.filled) {
                painter.fillRect(r, Qt::black);
            } else {
                QPen pen(Qt::black, std::max(1.0, item.penWidth * dx));
                pen.setJoinStyle(Qt::MiterJoin);
                painter.setPen(pen);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(r);
            }
            break;
        case DocItemKind::Image: {
            if (item.image.isNull())
                break;
            QRectF target = r;
            if (item.keepAspect) {
                const QSizeF s = QSizeF(item.image.size()).scaled(r.size(), Qt::KeepAspectRatio);
                target = QRectF(r.left() + (r.width() - s.width()) / 2, r.top() + (r.height() - s.height()) / 2,
                                s.width(), s.height());
            }
            painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            painter.drawImage(target, item.image);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            break;
        }
        case DocItemKind::Barcode:
            painter.setRenderHint(QPainter::Antialiasing, false);
            drawEan(painter, r, item.text);
            painter.setRenderHint(QPainter::Antialiasing, true);
            currentFont = nullptr;  // the digits changed the painter's font
            break;
        }
    }
    painter.restore();
}

void paintDocument(const Document& doc, QPainter& painter, QPagedPaintDevice& device)
{
    const double dx = device.logicalDpiX() / 25.4;
    const double dy = device.logicalDpiY() / 25.4;
    for (int i = 0; i < doc.pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        paintPage(painter, doc, i, dx, dy);
    }
}

bool paintDocument(const Document& doc, QPagedPaintDevice& device)
{
    device.setPageLayout(pageLayoutOf(doc));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    paintDocument(doc, painter, device);
    return painter.end();
}

void writePdf(const Document& doc, const QString& path)
{
    const QFileInfo dir(QFileInfo(path).absolutePath());
    if (!dir.isDir())
        throw Failure(QStringLiteral("No existe la carpeta %1").arg(QDir::toNativeSeparators(dir.filePath())));
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setTitle(doc.title);
    writer.setCreator(QStringLiteral("KorvelaPos"));
    if (!paintDocument(doc, writer))
        throw Failure(QStringLiteral("No se pudo escribir el archivo %1").arg(QDir::toNativeSeparators(path)));
}

QImage renderPage(const Document& doc, int pageIndex, double dpi)
{
    const double dpmm = dpi / 25.4;
    QImage img(std::max(1, int(std::lround(doc.pageSize.width() * dpmm))),
               std::max(1, int(std::lround(doc.pageSize.height() * dpmm))), QImage::Format_RGB32);
    const int dpm = int(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    QPainter p(&img);
    paintPage(p, doc, pageIndex, dpmm, dpmm);
    return img;
}

QStringList writePngs(const Document& doc, const QString& base, double dpi)
{
    QStringList written;
    for (int i = 0; i < doc.pages.size(); ++i) {
        const QString path = base + QStringLiteral("-%1.png").arg(i + 1);
        if (!renderPage(doc, i, dpi).save(path, "PNG"))
            throw Failure(QStringLiteral("No se pudo escribir el archivo %1").arg(QDir::toNativeSeparators(path)));
        written.append(path);
    }
    return written;
}

QString printToDirectory() { return qEnvironmentVariable("KORVELA_PRINT_TO"); }

QString writeNumberedPdf(const Document& doc, const QString& dirPath)
{
    QDir dir(dirPath);
    if (!dir.exists() && !QDir().mkpath(dirPath))
        throw Failure(QStringLiteral("No se pudo crear la carpeta %1").arg(QDir::toNativeSeparators(dirPath)));
    static const QRegularExpression numbered(QStringLiteral("^(\\d{4,})-"));
    int next = 1;
    const QStringList existing = dir.entryList({QStringLiteral("*.pdf")}, QDir::Files);
    for (const QString& name : existing) {
        const auto m = numbered.match(name);
        if (m.hasMatch())
            next = std::max(next, m.captured(1).toInt() + 1);
    }
    QString safe;
    for (QChar c : doc.title.trimmed())
        safe += (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')) ? c : QLatin1Char('_');
    if (safe.isEmpty())
        safe = QStringLiteral("documento");
    const QString path = dir.filePath(QStringLiteral("%1-%2.pdf").arg(next, 4, 10, QLatin1Char('0')).arg(safe));
    writePdf(doc, path);
    return path;
}

}  // namespace kv
