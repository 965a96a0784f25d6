// The band engine's layout: where bands land, when pages break, what groups and totals print,
// and what hooks can change.
#include "Samples.h"

#include "common/Numbers.h"
#include "report/Fonts.h"
#include "report/Report.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

QStringList textsOf(const QList<const DocItem*>& items)
{
    QStringList out;
    for (const DocItem* d : items)
        out.append(d->text);
    return out;
}

// Rows 1..n with a number and an amount.
QList<QVariantMap> numbered(int n)
{
    QList<QVariantMap> rows;
    for (int i = 1; i <= n; ++i)
        rows.append({{QStringLiteral("N"), i}, {QStringLiteral("VALOR"), 10.0 * i}});
    return rows;
}

}  // namespace

TEST(ReportLayout, BandsStackFromTheMarginsInMillimetres)
{
    Report r(QStringLiteral("LISTA"));
    r.page().top = 12;
    r.page().left = 15;
    r.pageHeader().setHeight(10).addText(0, 2, 50, 4, QStringLiteral("ENCABEZADO"));
    r.titleBand().setHeight(8).addText(5, 0, 50, 4, QStringLiteral("TITULO"));
    r.columnHeader().setHeight(6).addText(0, 1, 30, 4, QStringLiteral("Numero"));
    r.detail().setHeight(5).addField(20, 1, 30, 4, QStringLiteral("N"));
    r.summary().setHeight(5).addText(0, 0, 30, 4, QStringLiteral("FIN"));
    r.setRows(numbered(3));
    const Document doc = r.render();

    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(doc.pageSize, QSizeF(215.9, 279.4));
    EXPECT_EQ(doc.texts(), QStringList({"ENCABEZADO", "TITULO", "Numero", "1", "2", "3", "FIN"}));
    // Page header first, then the title, then the column header, then the rows.
    EXPECT_EQ(doc.findText("ENCABEZADO")[0]->rect, QRectF(15, 14, 50, 4));
    EXPECT_EQ(doc.findText("TITULO")[0]->rect, QRectF(20, 22, 50, 4));
    EXPECT_EQ(doc.findText("Numero")[0]->rect.top(), 31);
    EXPECT_EQ(doc.findText("1")[0]->rect, QRectF(35, 37, 30, 4));
    EXPECT_EQ(doc.findText("3")[0]->rect.top(), 47);
    EXPECT_EQ(doc.findText("FIN")[0]->rect.top(), 51);
}

TEST(ReportLayout, ListingBreaksPagesAndKeepsHeadersFootersAndTotals)
{
    kvtest::Sample s = kvtest::letterListing(40);  // 3 payment types x 40 rows
    const Document doc = s.report->render();
    const int pages = doc.pageCount();
    ASSERT_GE(pages, 3);

    // Page header and footer on every page, with the page number and the page count.
    const double footerTop = 279.4 - 10 - 5;
    for (int p = 0; p < pages; ++p) {
        EXPECT_EQ(doc.findText("SISTEMA P.O.S.", p).size(), 1) << "page " << p + 1;
        EXPECT_EQ(doc.named("Pagina", p)->text, QString::number(p + 1));
        EXPECT_EQ(doc.named("Paginas", p)->text, QStringLiteral("de %1").arg(pages));
        EXPECT_DOUBLE_EQ(doc.named("Paginas", p)->rect.top(), footerTop);
        for (const DocItem& d : doc.pages[p].items) {
            if (d.name != QLatin1String("Paginas") && d.text != QLatin1String("KorvelaPos")) {
                EXPECT_LE(d.rect.bottom(), footerTop + 1e-6) << d.text.toStdString() << " on page " << p + 1;
            }
        }
    }
    // Every row once, in order, across the pages.
    const QList<const DocItem*> values = doc.findNamed("Valor");
    ASSERT_EQ(values.size(), 120);
    const QStringList numbers = textsOf(doc.findNamed("CONSECUTIVO"));
    for (int i = 0; i < 120; ++i)
        ASSERT_EQ(numbers[i], QString::number(1000 + i));

    // Each group's footer shows its own sum and the caption of its own rows; the total restarts.
    EXPECT_EQ(textsOf(doc.findNamed("TotalGrupo")), QStringList({"820,000", "820,000", "820,000"}));
    EXPECT_EQ(doc.named("TotalGeneral")->text, QStringLiteral("2,460,000"));
    QStringList footers;
    for (const QString& t : doc.texts())
        if (t.startsWith(QLatin1String("TOTAL ")) && t != QLatin1String("TOTAL GENERAL"))
            footers.append(t);
    EXPECT_EQ(footers, QStringList({"TOTAL EFECTIVO   CONTADO", "TOTAL DINERS", "TOTAL TARJETAS VISA MASTER"}));

    // A group header is never left alone at the bottom of a page: its first row follows it.
    for (const DocItem* h : doc.findNamed("Caption")) {
        if (!h->text.startsWith(QLatin1String("TOTAL"))) {
            int page = -1;
            for (int p = 0; p < pages && page < 0; ++p)
                for (const DocItem& d : doc.pages[p].items)
                    if (&d == h)
                        page = p;
            bool rowBelow = false;
            for (const DocItem* v : doc.findNamed("Valor", page))
                rowBelow = rowBelow || std::abs(v->rect.top() - (h->rect.top() - 1 + 6)) < 1e-6;
            EXPECT_TRUE(rowBelow) << h->text.toStdString();
        }
    }
}

TEST(ReportLayout, RollReceiptContinuesOnAPageOfTheSameSize)
{
    kvtest::Sample s = kvtest::rollReceipt(80);
    const Document doc = s.report->render();

    ASSERT_EQ(doc.pageCount(), 2);
    EXPECT_TRUE(doc.roll);
    EXPECT_EQ(doc.pageSize, QSizeF(72.76, 279.4));
    // The receipt's head is printed once; the second page starts at the top margin with lines.
    EXPECT_EQ(doc.findNamed("Numero").size(), 1);
    EXPECT_EQ(doc.named("Numero", 0)->text, QStringLiteral("42"));
    const QList<const DocItem*> second = doc.findNamed("Cantidad", 1);
    ASSERT_FALSE(second.isEmpty());
    EXPECT_DOUBLE_EQ(second.first()->rect.top(), 5);
    EXPECT_EQ(doc.findNamed("Cantidad").size(), 80);
    for (const DocPage& p : doc.pages)
        for (const DocItem& d : p.items)
            EXPECT_LE(d.rect.bottom(), 279.4 - 5 + 1e-6) << d.text.toStdString();
    // The totals close the receipt on the second page, right after the last line.
    ASSERT_EQ(doc.findText("TOTAL FACTURA", 1).size(), 1);
    const DocItem* lastLine = doc.findNamed("Descripcion", 1).last();
    EXPECT_GT(lastLine->lines().size(), 1);  // line 80 has a long name that wraps
    EXPECT_NEAR(doc.findText("TOTAL FACTURA", 1)[0]->rect.top(), lastLine->rect.bottom() + 2, 1e-6);
    double sum = 0;
    for (int i = 1; i <= 80; ++i)
        sum += 1000.0 * i * (i % 3 + 1);
    EXPECT_EQ(doc.findText(FormatFloat(QStringLiteral("###,###.00"), sum), 1).size(), 1);
}

TEST(ReportLayout, WrappedTextGrowsItsBandAndPushesWhatIsBelow)
{
    Report r;
    r.page() = PageSetup::rollPaper(72, 200);
    Band& d = r.detail().setHeight(8);
    d.addField(0, 0, 20, 4, QStringLiteral("TEXTO")).named(QStringLiteral("Texto")).wrap();
    d.addField(40, 0, 20, 4, QStringLiteral("N")).named(QStringLiteral("Beside"));
    d.addText(0, 4, 20, 4, QStringLiteral("debajo")).named(QStringLiteral("Below"));
    r.setRows({{{"TEXTO", "uno dos tres cuatro cinco seis siete ocho nueve diez"}, {"N", 1}},
               {{"TEXTO", "corto"}, {"N", 2}}});
    const Document doc = r.render();

    const DocItem* wrapped = doc.findNamed("Texto")[0];
    const int lines = int(wrapped->lines().size());
    ASSERT_GT(lines, 2);
    const double lh = lineHeightMm(ReportFont());
    EXPECT_NEAR(wrapped->rect.height(), lines * lh, 1e-6);
    for (const QString& l : wrapped->lines())
        EXPECT_LE(textWidthMm(ReportFont(), l), 20 + 0.01) << l.toStdString();
    const double growth = lines * lh - 4;
    EXPECT_EQ(doc.findNamed("Beside")[0]->rect.top(), 0);                  // beside: stays
    EXPECT_NEAR(doc.findNamed("Below")[0]->rect.top(), 4 + growth, 1e-6);  // below: moves down
    EXPECT_NEAR(doc.findNamed("Texto")[1]->rect.top(), 8 + growth, 1e-6);  // next row: after the taller band
    EXPECT_EQ(doc.findNamed("Texto")[1]->text, QStringLiteral("corto"));
}

TEST(ReportLayout, WrappedTextKeepsItsBlanksExceptWhereALineBreaks)
{
    // An amount in words carries runs of blanks that must print as written.
    const ReportFont f;
    EXPECT_EQ(wrapText(QStringLiteral(" DOCE   PESOS  M/CTE"), 100, f), QStringList({" DOCE   PESOS  M/CTE"}));
    const QString text = QStringLiteral("Son: MIL  DOSCIENTOS   PESOS  M/CTE");
    const QStringList lines = wrapText(text, 40, f);
    ASSERT_GT(lines.size(), 1);
    // The lines are the text in order; only blanks are left out between them.
    qsizetype pos = 0;
    for (const QString& l : lines) {
        const qsizetype at = text.indexOf(l, pos);
        ASSERT_GE(at, pos) << l.toStdString();
        EXPECT_TRUE(text.mid(pos, at - pos).trimmed().isEmpty()) << l.toStdString();
        EXPECT_FALSE(l.startsWith(QLatin1Char(' ')) || l.endsWith(QLatin1Char(' '))) << l.toStdString();
        pos = at + l.size();
    }
    EXPECT_EQ(pos, text.size());
    EXPECT_TRUE(lines.join(QLatin1Char('|')).contains(QStringLiteral("  "))) << lines.join(QLatin1Char('|')).toStdString();
}

TEST(ReportLayout, ThreeLabelsAcrossEachStripOneRow)
{
    kvtest::Sample s = kvtest::labels(7);
    const Document doc = s.report->render();

    ASSERT_EQ(doc.pageCount(), 3);  // 3 + 3 + 1
    EXPECT_EQ(doc.pageSize, QSizeF(102.4, 24.1));
    const double w = 102.4 / 3;
    const QList<const DocItem*> bars = doc.findNamed("Barras", 0);
    ASSERT_EQ(bars.size(), 3);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(bars[c]->rect.left(), c * w + (w - 31.2) / 2, 1e-9);
        EXPECT_DOUBLE_EQ(bars[c]->rect.top(), 1.0);
        EXPECT_EQ(bars[c]->rect.size(), QSizeF(31.2, 10.8));
    }
    EXPECT_EQ(doc.findNamed("Barras", 2).size(), 1);
    EXPECT_DOUBLE_EQ(doc.findNamed("Barras", 1)[0]->rect.top(), 1.0);
    // Codes of 13 and 8 digits, and a product without one.
    EXPECT_EQ(bars[0]->text.size(), 13);
    EXPECT_EQ(bars[1]->text.size(), 8);
    EXPECT_EQ(bars[2]->text, QString());
    // The price includes IVA rounded to whole pesos: 1 250 at 16 % is 1,450.00.
    EXPECT_EQ(doc.named("Precio", 0)->text, QStringLiteral("1,450.00"));
    EXPECT_DOUBLE_EQ(doc.named("Precio", 0)->rect.top(), 1.0 + 18.0);
}

TEST(ReportLayout, ColumnsDownFillTheFirstColumnBeforeTheSecond)
{
    Report r;
    r.page() = PageSetup::rollPaper(100, 30);  // 30 mm: six 5 mm rows per column
    r.page().columns = 2;
    r.page().columnGap = 10;
    r.columnHeader().setHeight(0);
    r.detail().setHeight(5).addField(0, 0, 40, 5, QStringLiteral("N"));
    r.setRows(numbered(14));
    const Document doc = r.render();

    ASSERT_EQ(doc.pageCount(), 2);
    EXPECT_EQ(doc.findText("6")[0]->rect.topLeft(), QPointF(0, 25));
    EXPECT_EQ(doc.findText("7")[0]->rect.topLeft(), QPointF(55, 0));
    EXPECT_EQ(doc.findText("13")[0]->rect.topLeft(), QPointF(0, 0));
    EXPECT_EQ(doc.texts(1), QStringList({"13", "14"}));
}

TEST(ReportLayout, NestedGroupsPrintFootersInnerFirstWithTheirOwnRows)
{
    Report r;
    QList<QVariantMap> rows;
    const char* data[][3] = {{"1", "A", "10"}, {"1", "A", "20"}, {"1", "B", "5"}, {"2", "B", "7"}};
    for (auto& d : data)
        rows.append({{"CAJA", d[0]}, {"CAJERO", d[1]}, {"NETO", QString::fromLatin1(d[2]).toDouble()}});
    r.setRows(rows);
    r.addTotal(QStringLiteral("Caja"), QStringLiteral("NETO"), 0);
    r.addTotal(QStringLiteral("Cajero"), QStringLiteral("NETO"), 1);
    r.addCount(QStringLiteral("Filas"));
    Group& caja = r.addGroup(QStringLiteral("CAJA"));
    Group& cajero = r.addGroup(QStringLiteral("CAJERO"));
    caja.header().setHeight(4).addField(0, 0, 20, 4, QStringLiteral("CAJA")).withPrefix(QStringLiteral("Caja "));
    cajero.header().setHeight(4).addField(0, 0, 20, 4, QStringLiteral("CAJERO")).withPrefix(QStringLiteral("Cajero "));
    r.detail().setHeight(4).addField(0, 0, 20, 4, QStringLiteral("NETO"));
    cajero.footer().setHeight(4).addField(0, 0, 20, 4, QStringLiteral("CAJERO")).withPrefix(QStringLiteral("Total Cajero "));
    cajero.footer().addSystem(30, 0, 20, 4, ValueSource::Total, QStringLiteral("Cajero"));
    caja.footer().setHeight(4).addField(0, 0, 20, 4, QStringLiteral("CAJA")).withPrefix(QStringLiteral("Total Caja "));
    caja.footer().addSystem(30, 0, 20, 4, ValueSource::Total, QStringLiteral("Caja"));
    r.summary().setHeight(4).addSystem(0, 0, 20, 4, ValueSource::Total, QStringLiteral("Filas"));

    EXPECT_EQ(r.render().texts(), QStringList({"Caja 1", "Cajero A", "10", "20", "Total Cajero A", "30",
                                               "Cajero B", "5", "Total Cajero B", "5", "Total Caja 1", "35",
                                               "Caja 2", "Cajero B", "7", "Total Cajero B", "7", "Total Caja 2", "7",
                                               "4"}));
    // Rendering again starts every total from zero.
    EXPECT_EQ(r.render().texts().last(), QStringLiteral("4"));
}

TEST(ReportLayout, HooksChangeItemsSuppressBandsAndSeeTheirRow)
{
    Report r;
    r.setRows(numbered(6));
    r.addTotal(QStringLiteral("Suma"), QStringLiteral("VALOR"));
    Band& d = r.detail().setHeight(4);
    d.addSystem(0, 0, 10, 4, ValueSource::RecordNumber).named(QStringLiteral("Reg"));
    d.addText(20, 0, 30, 4, QString()).named(QStringLiteral("Par"));
    QList<int> pagesSeen;
    d.beforePrint = [&](BandEvent& e) {
        const int n = e.row.value(QStringLiteral("N")).toInt();
        e.print = n % 3 != 0;  // rows 3 and 6 are left out
        e.band.item(QStringLiteral("Par")).setText(n % 2 ? QStringLiteral("impar") : QStringLiteral("par"));
        pagesSeen.append(e.page);
    };
    r.summary().setHeight(4).addSystem(0, 0, 20, 4, ValueSource::Total, QStringLiteral("Suma")).named(QStringLiteral("Suma"));
    const Document doc = r.render();

    EXPECT_EQ(textsOf(doc.findNamed("Reg")), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(textsOf(doc.findNamed("Par")), QStringList({"impar", "par", "par", "impar"}));
    EXPECT_EQ(doc.named("Suma")->text, QStringLiteral("120"));  // 10+20+40+50: left-out rows do not add
    EXPECT_EQ(pagesSeen, QList<int>({1, 1, 1, 1, 1, 1}));
}

TEST(ReportLayout, SubDetailsPrintPerRowOrOnceAfterTheRows)
{
    Report r;
    r.setRows({{{"PEDIDO", 1}}, {{"PEDIDO", 2}}, {{"PEDIDO", 3}}});
    r.detail().setHeight(4).addField(0, 0, 20, 4, QStringLiteral("PEDIDO")).withPrefix(QStringLiteral("Pedido "));

    const QList<QVariantMap> allLines = {{{"PEDIDO", 1}, {"ITEM", "pan"}},
                                         {{"PEDIDO", 1}, {"ITEM", "leche"}},
                                         {{"PEDIDO", 3}, {"ITEM", "cafe"}}};
    VectorRowSource lines;
    SubDetail& sd = r.addSubDetail(lines);
    sd.prepare = [&](const RowSource& master) {
        QList<QVariantMap> mine;
        for (const QVariantMap& l : allLines)
            if (l.value("PEDIDO") == master.value(QStringLiteral("PEDIDO")))
                mine.append(l);
        lines.setRows(mine);
    };
    sd.header().setHeight(4).addText(0, 0, 20, 4, QStringLiteral("Lineas:"));
    sd.band().setHeight(4).addField(5, 0, 20, 4, QStringLiteral("ITEM"));
    sd.band().beforePrint = [](BandEvent& e) {
        ASSERT_NE(e.master, nullptr);
        EXPECT_EQ(e.master->value(QStringLiteral("PEDIDO")), e.row.value(QStringLiteral("PEDIDO")));
    };

    SubDetail& taxes = r.addSubDetail(QList<QVariantMap>{{{"IVA", 5}}, {{"IVA", 19}}}, true);
    taxes.band().setHeight(4).addField(0, 0, 20, 4, QStringLiteral("IVA")).withPrefix(QStringLiteral("Base Iva "));
    SubDetail& none = r.addSubDetail(QList<QVariantMap>{}, true);
    none.header().setHeight(4).addText(0, 0, 20, 4, QStringLiteral("nunca"));
    r.summary().setHeight(4).addText(0, 0, 20, 4, QStringLiteral("TOTAL"));

    EXPECT_EQ(r.render().texts(), QStringList({"Pedido 1", "Lineas:", "pan", "leche", "Pedido 2", "Pedido 3", "Lineas:",
                                               "cafe", "Base Iva 5", "Base Iva 19", "TOTAL"}));
}

TEST(ReportLayout, PageBandOptionsForcedPagesAndLandscape)
{
    Report r;
    r.page().landscape = true;
    r.pageHeader().setHeight(5).addText(0, 0, 30, 4, QStringLiteral("cabeza"));
    r.pageHeader().onFirstPage = false;
    r.pageFooter().setHeight(5).addText(0, 0, 30, 4, QStringLiteral("pie"));
    r.pageFooter().onLastPage = false;
    Group& g = r.addGroup(QStringLiteral("G"));
    g.header().setHeight(5).addField(0, 0, 30, 4, QStringLiteral("G"));
    g.header().forceNewPage = true;
    r.detail().setHeight(5);
    r.setRows({{{"G", "a"}}, {{"G", "a"}}, {{"G", "b"}}, {{"G", "c"}}});
    const Document doc = r.render();

    EXPECT_EQ(doc.pageSize, QSizeF(279.4, 215.9));
    ASSERT_EQ(doc.pageCount(), 3);  // each group on its own page
    EXPECT_EQ(doc.texts(0), QStringList({"a", "pie"}));
    EXPECT_EQ(doc.texts(1), QStringList({"cabeza", "b", "pie"}));
    EXPECT_EQ(doc.texts(2), QStringList({"cabeza", "c"}));
    EXPECT_DOUBLE_EQ(doc.findText("pie", 0)[0]->rect.top(), 215.9 - 10 - 5);
}

TEST(ReportLayout, PageFooterFollowsTheContentOnARollAndSitsAtTheBottomOfASheet)
{
    for (bool roll : {false, true}) {
        Report r;
        r.page() = PageSetup::rollPaper(72, 100);
        r.page().roll = roll;
        r.page().bottom = 5;
        r.detail().setHeight(10).addField(0, 0, 30, 4, QStringLiteral("N"));
        r.pageFooter().setHeight(6).addText(0, 0, 30, 4, QStringLiteral("pie"));
        r.setRows(numbered(12));  // 8 rows fit above the footer (89 mm) on the first page
        const Document doc = r.render();
        ASSERT_EQ(doc.pageCount(), 2) << roll;
        EXPECT_DOUBLE_EQ(doc.findText("pie", 0)[0]->rect.top(), roll ? 80 : 89) << roll;
        EXPECT_DOUBLE_EQ(doc.findText("pie", 1)[0]->rect.top(), roll ? 40 : 89) << roll;
    }
}

TEST(ReportLayout, EmptyReportStillPrintsItsFrame)
{
    Report r;
    r.titleBand().setHeight(5).addText(0, 0, 30, 4, QStringLiteral("TITULO"));
    r.detail().setHeight(5).addField(0, 0, 30, 4, QStringLiteral("N"));
    r.addTotal(QStringLiteral("T"), QStringLiteral("VALOR"));
    r.summary().setHeight(5).addSystem(0, 0, 30, 4, ValueSource::Total, QStringLiteral("T")).withPicture(
        QStringLiteral("###,###.00"));
    r.setRows({});
    const Document doc = r.render();
    EXPECT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(doc.texts(), QStringList({"TITULO", ".00"}));
}

// How a field's value prints, pictures and nulls included.
TEST(ReportValues, FormatValueByTypePictureAndNull)
{
    struct Case {
        QVariant value;
        const char* picture;
        const char* datePicture;
        bool nullAsZero;
        const char* expected;
    } cases[] = {
        {QVariant(), "###,###.00", "", false, ""},
        {QVariant(), "###,###.00", "", true, ".00"},
        {QVariant(), "0.00", "", true, "0.00"},
        {QVariant(), "", "", true, "0"},
        {QVariant(QMetaType(QMetaType::Double)), "###,###.", "", false, ""},
        {12500.0, "", "", false, "12500"},
        {2.5, "", "", false, "2.5"},
        {0.5, "###,###.00", "", false, ".50"},
        {1234567.891, "###,###.00", "", false, "1,234,567.89"},
        {42, "000000", "", false, "000042"},
        {5, "00%", "", false, "05%"},
        {QStringLiteral("11900"), "###,###.00", "", false, "11,900.00"},  // numbers that come as text
        {QStringLiteral("CJ"), "", "", false, "CJ"},
        {QDate(2024, 3, 1), "", "dd  mmm  yyyy", false, "01  mar  2024"},
        {QDate(2024, 3, 1), "", "", false, "01/03/2024"},
        {QDateTime(QDate(2024, 3, 5), QTime(15, 7)), "", "dd/mm/yyyy hh:nn", false, "05/03/2024 15:07"},
    };
    for (const Case& c : cases) {
        ReportItem it;
        it.picture = QString::fromLatin1(c.picture);
        it.datePicture = QString::fromLatin1(c.datePicture);
        it.nullAsZero = c.nullAsZero;
        EXPECT_EQ(formatValue(c.value, it), QString::fromUtf8(c.expected))
            << c.value.toString().toStdString() << " with " << c.picture;
    }
}

TEST(ReportValues, NullFieldsInADocumentPrintBlankOrZeroAsAsked)
{
    Report r;
    Band& d = r.detail().setHeight(4);
    d.addField(0, 0, 20, 4, QStringLiteral("NETO"), QStringLiteral("###,###.00")).named(QStringLiteral("Blank"));
    d.addField(30, 0, 20, 4, QStringLiteral("NETO"), QStringLiteral("###,###.00"))
        .named(QStringLiteral("Zero"))
        .zeroWhenNull();
    d.addField(60, 0, 20, 4, QStringLiteral("NOMBRE")).named(QStringLiteral("Missing")).withPrefix(QStringLiteral("Sr. "));
    r.setRows({{{"NETO", QVariant()}}});
    const Document doc = r.render();
    EXPECT_EQ(doc.named("Blank")->text, QString());
    EXPECT_EQ(doc.named("Zero")->text, QStringLiteral(".00"));
    EXPECT_EQ(doc.named("Missing")->text, QString());  // no prefix around nothing
}
