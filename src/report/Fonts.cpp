#include "report/Fonts.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>

namespace kv {

namespace {

constexpr double kMeasureDpi = 1200;
constexpr double kDotsPerMm = kMeasureDpi / 25.4;

QString keyOf(const ReportFont& s)
{
    return s.family + QLatin1Char('|') + QString::number(s.size) + QLatin1Char('|') + QLatin1Char(s.bold ? 'b' : '-') +
           QLatin1Char(s.italic ? 'i' : '-');
}

// Metrics are asked for thousands of times per report; creating them costs a font look-up.
const QFontMetricsF& metrics(const ReportFont& font)
{
    // Both live until the process ends on purpose: font objects must not be destroyed after the
    // application object is gone.
    static QImage* device = [] {
        auto* img = new QImage(1, 1, QImage::Format_RGB32);
        const int dpm = int(kMeasureDpi / 0.0254 + 0.5);
        img->setDotsPerMeterX(dpm);
        img->setDotsPerMeterY(dpm);
        return img;
    }();
    static auto* cache = new QHash<QString, QFontMetricsF*>;
    const QString key = keyOf(font);
    auto it = cache->find(key);
    if (it == cache->end())
        it = cache->insert(key, new QFontMetricsF(toQFont(font), device));
    return *it.value();
}

}  // namespace

QFont toQFont(const ReportFont& font)
{
    QFont f(font.family);
    f.setPointSizeF(font.size > 0 ? font.size : 8);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

double lineHeightMm(const ReportFont& font) { return metrics(font).lineSpacing() / kDotsPerMm; }

double textWidthMm(const ReportFont& font, const QString& text)
{
    return metrics(font).horizontalAdvance(text) / kDotsPerMm;
}

QStringList wrapText(const QString& text, double widthMm, const ReportFont& font)
{
    const QFontMetricsF& fm = metrics(font);
    const double limit = widthMm * kDotsPerMm + 0.5;  // half a dot of tolerance for rounding
    auto fits = [&](const QString& s) { return fm.horizontalAdvance(s) <= limit; };
    QStringList out;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (const QString& para : paragraphs) {
        // Blanks are kept as they are written (an amount in words has runs of them); only the
        // blanks where a line breaks are dropped.
        QString line;
        bool firstLine = true;
        qsizetype i = 0;
        while (i < para.size()) {
            const qsizetype gapStart = i;
            while (i < para.size() && para[i] == QLatin1Char(' '))
                ++i;
            const QString gap = para.mid(gapStart, i - gapStart);
            const qsizetype wordStart = i;
            while (i < para.size() && para[i] != QLatin1Char(' '))
                ++i;
            const QString word = para.mid(wordStart, i - wordStart);
            if (word.isEmpty()) {  // blanks at the end of the paragraph
                if (fits(line + gap))
                    line += gap;
                break;
            }
            const QString candidate = line.isEmpty() ? (firstLine ? gap + word : word) : line + gap + word;
            if (fits(candidate)) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty()) {
                out.append(line);
                firstLine = false;
            }
            line = word;
            // A word wider than the whole line is cut where it stops fitting.
            while (line.size() > 1 && !fits(line)) {
                int n = line.size() - 1;
                while (n > 1 && !fits(line.left(n)))
                    --n;
                out.append(line.left(n));
                firstLine = false;
                line = line.mid(n);
            }
        }
        out.append(line);
    }
    return out;
}

}  // namespace kv
