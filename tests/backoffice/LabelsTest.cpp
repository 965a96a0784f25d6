// Shelf labels: a block of up to 20 products with a whole number of labels each, written to
// ETIQUETAS in one go, laid out three across on the roll, priced with IVA only where the price
// leaves it out, and bars that a scanner reads back as the stored digits.
#include "backoffice/UntImprimeEtiquetas.h"
#include "backoffice/UntImprimeEtiquetasRpt.h"
#include "report/Painter.h"
#include "support/QtPrinters.h"
#include "support/TestDb.h"

#include <QDir>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace kv;

namespace {

// The EAN digit sets; G is R read backwards.
const char* const kL[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                            "0110001", "0101111", "0111011", "0110111", "0001011"};
const char* const kParity[10] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                 "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};

QString flip(const QString& s)
{
    QString r;
    for (QChar c : s)
        r += c == QLatin1Char('1') ? QLatin1Char('0') : QLatin1Char('1');
    return r;
}
QString reversed(QString s)
{
    std::reverse(s.begin(), s.end());
    return s;
}

// Reads a label's bars off the rendered page, one sample in the middle of each module, and
// decodes them as a scanner would: the digit sets, and for EAN-13 the first digit from the parity.
QString scan(const QImage& page, const QRectF& mm, int modules, double dpi)
{
    const double px = dpi / 25.4, unit = mm.width() / 118;
    const double y = (mm.top() + 15 * mm.height() / 41) * px;
    QString bits;
    for (int i = 0; i < modules; ++i) {
        const double x = (mm.left() + (11 + i + 0.5) * unit) * px;
        bits += qGray(page.pixel(int(x), int(y))) < 128 ? QLatin1Char('1') : QLatin1Char('0');
    }
    auto digit = [&](const QString& code, QChar& set) -> int {
        for (int d = 0; d < 10; ++d) {
            const QString l = QLatin1String(kL[d]);
            if (code == l) { set = QLatin1Char('L'); return d; }
            if (code == reversed(flip(l))) { set = QLatin1Char('G'); return d; }
            if (code == flip(l)) { set = QLatin1Char('R'); return d; }
        }
        return -1;
    };
    if (!bits.startsWith(QLatin1String("101")) || !bits.endsWith(QLatin1String("101")))
        return QStringLiteral("no guards: ") + bits;
    const int half = modules == 95 ? 6 : 4;
    QString digits, parity;
    for (int k = 0; k < 2 * half; ++k) {
        const int start = 3 + 7 * k + (k >= half ? 5 : 0);
        QChar set;
        const int d = digit(bits.mid(start, 7), set);
        if (d < 0)
            return QStringLiteral("unreadable: ") + bits;
        if (k < half)
            parity += set;
        digits += QString::number(d);
    }
    if (modules == 95)
        for (int f = 0; f < 10; ++f)
            if (parity == QLatin1String(kParity[f]))
                return QString::number(f) + digits;
    return modules == 95 ? QStringLiteral("bad parity") : digits;
}

class LabelsTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        product(1, "ARROZ DIANA", 10000, 19, "N", "7501031311309");
        product(2, "ACEITE GIRASOL", 1250, 16, "N", "96385074");
        product(3, "JABON REY", 11900, 19, "S", "");
        product(4, "PANELA", 3000, 0, "N", "750103131130");   // 12 characters: no bars
        product(5, "CAFE SELLO", 8000, 5, "N", "7501031311308");  // wrong check digit
        prints = dir.filePath(QStringLiteral("impresos"));
        qputenv("KORVELA_PRINT_TO", prints.toUtf8());
    }
    void TearDown() override
    {
        qunsetenv("KORVELA_PRINT_TO");
        DbTest::TearDown();
    }
    void product(int n, const char* nombre, double precio, double iva, const char* incluido, const char* barras)
    {
        db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD, VALORUNIDAD, VALORIVA, "
                 "PRECIOMASIVA, CODIGOBARRAS) VALUES (:C, '01', 1, :P, :N, 'UN', :V, :I, :S, :B)",
                 {{"C", QString::number(n)}, {"P", n}, {"N", nombre}, {"V", precio}, {"I", iva}, {"S", incluido},
                  {"B", barras}});
    }
    // Double click on product n, answering the count box with `answer` (nullopt: Cancel).
    void pick(TFrmImprimeEtiquetas& f, int n, std::optional<QString> answer)
    {
        ASSERT_TRUE(f.TbProductos().Locate(QStringLiteral("PRODUCTO"), n));
        dialogs.inputs.push_back(answer);
        f.DBGrid1DblClick();
    }
    QStringList block(const TFrmImprimeEtiquetas& f)
    {
        QStringList out;
        for (int i = 0; i < f.entries(); ++i)
            out << f.StringGrid1->item(i, 0)->text() + QLatin1Char('x') + f.StringGrid1->item(i, 1)->text();
        return out;
    }
    int labels() { return db->scalar("SELECT COUNT(*) FROM ETIQUETAS").toInt(); }
    int pdfs() { return QDir(prints).entryList({QStringLiteral("*.pdf")}).size(); }
    QString prints;
};

TEST_F(LabelsTest, ThePriceAddsIvaOnlyWhenThePriceLeavesItOut)
{
    const struct {
        double valor, iva;
        bool incluido;
        double precio;
    } cases[] = {{10000, 19, false, 11900}, {1250, 16, false, 1450}, {11900, 19, true, 11900}, {3000, 0, false, 3000},
                 {1050, 5, false, 1102}};  // 52.5 rounds to the even 52
    for (const auto& c : cases)
        EXPECT_EQ(TFrmImprimeEtiquetasRpt::precio(c.valor, c.iva, c.incluido), c.precio) << c.valor;
}

TEST_F(LabelsTest, FiveLabelsGoThreeAcrossWithPriceAndBarsThatScanAsTheStoredDigits)
{
    TFrmImprimeEtiquetas f(*db);
    f.show();
    pick(f, 1, "3");
    pick(f, 2, "1");
    pick(f, 3, "1");
    EXPECT_EQ(block(f), QStringList({"1x3", "2x1", "3x1"}));
    QTest::mouseClick(f.BtnImprimir, Qt::LeftButton);
    EXPECT_EQ(labels(), 5);
    EXPECT_EQ(pdfs(), 1);

    const Document doc = TFrmImprimeEtiquetasRpt(*db).render();
    ASSERT_EQ(doc.pageCount(), 2);  // two strips of the roll
    EXPECT_TRUE(doc.roll);
    EXPECT_NEAR(doc.pageSize.width(), 102.4, 1e-6);
    EXPECT_NEAR(doc.pageSize.height(), 24.1, 1e-6);
    const auto bars = doc.findNamed(QStringLiteral("Barras"), 0);
    ASSERT_EQ(bars.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(bars[i]->rect.left(), i * 102.4 / 3 + (34.1 - 31.2) / 2, 0.05) << i;
        EXPECT_NEAR(bars[i]->rect.top(), 1.0, 1e-6);
        EXPECT_NEAR(bars[i]->rect.width(), 31.2, 1e-6);
        EXPECT_NEAR(bars[i]->rect.height(), 10.8, 1e-6);
    }
    EXPECT_EQ(doc.findNamed(QStringLiteral("Barras"), 1).size(), 2);
    const QStringList prices = [&] {
        QStringList p;
        for (int page = 0; page < 2; ++page)
            for (const DocItem* d : doc.findNamed(QStringLiteral("Precio"), page))
                p << d->text;
        return p;
    }();
    EXPECT_EQ(prices, QStringList({"11,900.00", "11,900.00", "11,900.00", "1,450.00", "11,900.00"}));
    EXPECT_EQ(doc.named(QStringLiteral("Nombre"), 1)->text, QStringLiteral("ACEITE GIRASOL"));
    EXPECT_NEAR(doc.named(QStringLiteral("Precio"), 0)->rect.top(), 1.0 + 18.0, 1e-6);

    // The bars as printed decode to the stored digits; a label without a code has none.
    const double dpi = 600;
    const QImage first = renderPage(doc, 0, dpi), second = renderPage(doc, 1, dpi);
    EXPECT_EQ(scan(first, bars[0]->rect, 95, dpi), QStringLiteral("7501031311309"));
    const auto strip2 = doc.findNamed(QStringLiteral("Barras"), 1);
    EXPECT_EQ(scan(second, strip2[0]->rect, 67, dpi), QStringLiteral("96385074"));
    EXPECT_TRUE(strip2[1]->text.isEmpty());
}

TEST_F(LabelsTest, OnlyAConfirmedWholeCountAddsAnEntryAndABlockHoldsTwenty)
{
    TFrmImprimeEtiquetas f(*db);
    f.show();
    pick(f, 1, std::nullopt);  // cancelled: no entry, and printing is not blocked by it
    for (const char* bad : {"", "0", "-2", "dos", "1.5"})
        pick(f, 1, QString::fromLatin1(bad));
    EXPECT_EQ(f.entries(), 0);
    EXPECT_EQ(dialogs.texts("message").size(), 5);
    EXPECT_EQ(dialogs.last(), QStringLiteral("El número de etiquetas debe ser un número entero mayor que cero."));
    pick(f, 2, " 2 ");
    EXPECT_EQ(block(f), QStringList{"2x2"});
    QTest::mouseClick(f.BtnImprimir, Qt::LeftButton);
    EXPECT_EQ(labels(), 2);

    for (int i = 1; i < TFrmImprimeEtiquetas::kBlock; ++i)
        pick(f, 3, "1");
    EXPECT_EQ(f.entries(), 20);
    dialogs.clear();
    ASSERT_TRUE(f.TbProductos().Locate(QStringLiteral("PRODUCTO"), 4));
    f.DBGrid1DblClick();
    EXPECT_EQ(dialogs.texts(), QStringList{"Hacer Otro Bloque de 20 Productos"});  // asked nothing
    EXPECT_EQ(f.entries(), 20);
    // Printing again prints the whole block, replacing the last one.
    QTest::mouseClick(f.BtnImprimir, Qt::LeftButton);
    EXPECT_EQ(labels(), 21);
}

TEST_F(LabelsTest, TheSearchBoxesFindAProductAndEnterPicksIt)
{
    TFrmImprimeEtiquetas f(*db);
    f.show();
    QTest::mouseClick(f.Edit1, Qt::LeftButton);
    f.Edit1->selectAll();
    QTest::keyClicks(f.Edit1, QStringLiteral("jab"));
    EXPECT_EQ(f.TbProductos().FieldByName(QStringLiteral("NOMBRE")).asString(), QStringLiteral("JABON REY"));
    dialogs.inputs.push_back(QStringLiteral("4"));
    QTest::keyClick(f.Edit1, Qt::Key_Return);
    EXPECT_EQ(dialogs.texts("input"), QStringList{"Cuantas"});
    f.Edit2->setFocus();
    f.Edit2->selectAll();
    QTest::keyClicks(f.Edit2, QStringLiteral("2"));
    EXPECT_EQ(f.TbProductos().FieldByName(QStringLiteral("PRODUCTO")).asInteger(), 2);
    dialogs.inputs.push_back(QStringLiteral("1"));
    f.DBGrid1->setFocus();
    QTest::keyClick(f.DBGrid1, Qt::Key_Return);
    EXPECT_EQ(block(f), QStringList({"3x4", "2x1"}));
}

TEST_F(LabelsTest, ABarcodeNoScannerReadsIsListedAndTheUserDecides)
{
    db->exec("UPDATE PRODUCTOS SET CODIGOBARRAS = '75010313113X9' WHERE PRODUCTO = 4");
    TFrmImprimeEtiquetas f(*db);
    f.show();
    pick(f, 1, "1");
    pick(f, 5, "2");
    pick(f, 4, "1");
    dialogs.clear();
    dialogs.answers = {false};
    QTest::mouseClick(f.BtnImprimir, Qt::LeftButton);
    ASSERT_EQ(dialogs.texts("confirm").size(), 1);
    const QString asked = dialogs.texts("confirm").first();
    EXPECT_TRUE(asked.contains(QLatin1String("5 CAFE SELLO: 7501031311308"))) << asked.toStdString();
    EXPECT_TRUE(asked.contains(QLatin1String("4 PANELA: 75010313113X9")));
    EXPECT_FALSE(asked.contains(QLatin1String("ARROZ")));
    EXPECT_EQ(labels(), 0);  // No: nothing printed, nothing written
    EXPECT_EQ(pdfs(), 0);

    dialogs.answers = {true};
    QTest::mouseClick(f.BtnImprimir, Qt::LeftButton);
    EXPECT_EQ(labels(), 4);
    EXPECT_EQ(pdfs(), 1);
    // The code that is not digits prints without bars instead of stopping the run.
    const Document doc = TFrmImprimeEtiquetasRpt(*db).render();
    QStringList codes;
    for (int page = 0; page < doc.pageCount(); ++page)
        for (const DocItem* d : doc.findNamed(QStringLiteral("Barras"), page))
            codes << d->text;
    EXPECT_EQ(codes, QStringList({"7501031311309", "", "7501031311308", "7501031311308"}));
}

}  // namespace
