// A Document leaving the program: plain text, HTML, PDF (checked with poppler's own tools) and
// images, and the numbered PDF files that stand in for a printer.
#include "Samples.h"

#include "common/Errors.h"
#include "report/Painter.h"
#include "report/Report.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;

namespace {

Document smallList(int rows)
{
    Report r(QStringLiteral("LISTA <PRECIOS> & CIA"));
    const double W = r.page().printableWidth();
    r.titleBand().setHeight(6).addText(0, 0, W, 5, r.title).centre();
    Band& d = r.detail().setHeight(5);
    d.addField(0, 0, 60, 5, QStringLiteral("NOMBRE"));
    d.addField(100, 0, 30, 5, QStringLiteral("VALOR"), QStringLiteral("###,###.00")).right();
    QList<QVariantMap> data;
    const char* names[] = {"PAN", "LECHE ENTERA"};
    for (int i = 0; i < rows; ++i)
        data.append({{"NOMBRE", QString::fromLatin1(names[i % 2])}, {"VALOR", i % 2 ? 12000.0 : 1500.0}});
    r.setRows(data);
    return r.render();
}

// Runs a poppler tool and returns its standard output; fails the test when it cannot run.
QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
        return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

TEST(DocumentExport, PlainTextKeepsColumnsAndAlignment)
{
    const Document doc = smallList(2);
    const QStringList lines = doc.toText().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0].trimmed(), doc.title);
    EXPECT_GT(lines[0].indexOf(doc.title), 20);  // centred on the page
    const int pan = int(lines.indexOf(QRegularExpression(QStringLiteral("^PAN +1,500.00$"))));
    ASSERT_GE(pan, 0) << doc.toText().toStdString();
    const QString& leche = lines[pan + 1];
    EXPECT_TRUE(leche.startsWith(QLatin1String("LECHE ENTERA ")));
    EXPECT_EQ(leche.size(), lines[pan].size());  // right-aligned amounts end in the same column

    const Document two = smallList(120);
    ASSERT_EQ(two.pageCount(), 3);
    EXPECT_EQ(two.toText().count(QLatin1Char('\f')), 2);
}

TEST(DocumentExport, HtmlPutsItemsOfOneLeftEdgeInOneColumn)
{
    const QString html = smallList(2).toHtml();
    EXPECT_TRUE(html.startsWith(QLatin1String("<!DOCTYPE html>")));
    EXPECT_TRUE(html.contains(QLatin1String("<meta charset=\"utf-8\">")));
    EXPECT_TRUE(html.contains(QLatin1String("LISTA &lt;PRECIOS&gt; &amp; CIA")));
    EXPECT_EQ(html.count(QLatin1String("<table")), 1);

    // Cells before the amount: the same count on both rows.
    auto cellsBefore = [&](const QString& text) {
        for (const QString& row : html.split(QStringLiteral("<tr>")))
            if (row.contains(text))
                return int(row.left(row.indexOf(text)).count(QLatin1String("<td")));
        return -1;
    };
    EXPECT_GT(cellsBefore(QStringLiteral("1,500.00")), 0);
    EXPECT_EQ(cellsBefore(QStringLiteral("1,500.00")), cellsBefore(QStringLiteral("12,000.00")));
    EXPECT_EQ(cellsBefore(QStringLiteral(">PAN<")), cellsBefore(QStringLiteral(">LECHE ENTERA<")));
    EXPECT_TRUE(html.contains(QLatin1String("text-align:right\">1,500.00</td>")));
}

TEST(DocumentExport, PdfOfEachPageKindHasItsSheetSizeAndText)
{
    // KV_REPORT_SAMPLES keeps the PDFs and their PNG pictures in a folder for a person to look at.
    QTemporaryDir tmp;
    const QString dir = qEnvironmentVariableIsEmpty("KV_REPORT_SAMPLES") ? tmp.path()
                                                                         : qEnvironmentVariable("KV_REPORT_SAMPLES");
    QDir().mkpath(dir);
    const struct {
        const char* file;
        kvtest::Sample sample;
        int pages;
        QSizeF mm;
        const char* text;
    } kinds[] = {
        {"roll", kvtest::rollReceipt(80), 2, {72.76, 279.4}, "TOTAL FACTURA"},
        {"halfletter", kvtest::halfLetterInvoice(25), 2, {215.9, 139.7}, "VENTA No."},
        {"letter", kvtest::letterInvoice(25), 1, {215.9, 279.4}, "000042"},
        {"listing", kvtest::letterListing(40), 3, {215.9, 279.4}, "TOTAL DINERS"},
        {"labels", kvtest::labels(7), 3, {102.4, 24.1}, "1,450.00"},
    };
    for (const auto& k : kinds) {
        const Document doc = k.sample.report->render();
        ASSERT_EQ(doc.pageCount(), k.pages) << k.file;
        const QString pdf = dir + QLatin1Char('/') + QLatin1String(k.file) + QStringLiteral(".pdf");
        writePdf(doc, pdf);
        const QString info = run(QStringLiteral("pdfinfo"), {pdf});
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages: +%1\\n").arg(k.pages)))) << info.toStdString();
        // Qt writes the sheet in whole points, so a roll 72.76 mm wide comes out 206 pt, not 206.25.
        const auto size = QRegularExpression(QStringLiteral("Page size: +([0-9.]+) x ([0-9.]+) pts")).match(info);
        ASSERT_TRUE(size.hasMatch()) << info.toStdString();
        EXPECT_NEAR(size.captured(1).toDouble(), k.mm.width() / 25.4 * 72, 1.0) << k.file;
        EXPECT_NEAR(size.captured(2).toDouble(), k.mm.height() / 25.4 * 72, 1.0) << k.file;
        EXPECT_TRUE(run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).contains(QLatin1String(k.text))) << k.file;
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("110"), QStringLiteral("-png"), pdf,
                                         dir + QLatin1Char('/') + QLatin1String(k.file)});
        EXPECT_EQ(QDir(dir).entryList({QLatin1String(k.file) + QStringLiteral("-*.png")}).size(), k.pages) << k.file;
    }
}

TEST(DocumentExport, NumberedPdfsStandInForThePrinter)
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/impresora");  // created on first use
    Document doc = smallList(3);
    doc.title = QStringLiteral("VENTAS/DIA 5");
    EXPECT_EQ(writeNumberedPdf(doc, dir), dir + QStringLiteral("/0001-VENTAS_DIA_5.pdf"));
    doc.title = QString();
    EXPECT_EQ(writeNumberedPdf(doc, dir), dir + QStringLiteral("/0002-documento.pdf"));
    QFile f(dir + QStringLiteral("/0002-documento.pdf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
    EXPECT_THROW(writePdf(doc, tmp.path() + QStringLiteral("/no/existe/x.pdf")), Failure);
}

TEST(DocumentExport, PageImageHasItemsAtTheirMillimetres)
{
    Report r;
    r.page() = PageSetup::rollPaper(50, 40);
    r.detail().setHeight(20).addRect(10, 10, 20, 5).fill();
    r.setRows({{}});
    const QImage img = renderPage(r.render(), 0, 254);  // 10 dots per mm
    ASSERT_EQ(img.size(), QSize(500, 400));
    EXPECT_EQ(qGray(img.pixel(150, 120)), 0);
    EXPECT_EQ(qGray(img.pixel(95, 120)), 255);
    EXPECT_EQ(qGray(img.pixel(150, 155)), 255);
}
