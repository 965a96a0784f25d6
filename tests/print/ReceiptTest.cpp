// The two roll receipts, read back from their Documents: what each prints from a stored document,
// the tax summary, the header and footer texts, the payment line and the reprint mark, a receipt
// longer than one roll page, and documents with missing pieces.
#include "InvoiceFixture.h"
#include "support/TestDb.h"
#include "support/TimeZone.h"

#include "print/InvoicePrinting.h"
#include "print/UntVentaCajaFacturaRpt1.h"

#include <gtest/gtest.h>

using namespace kv;
using kvtest::line;

namespace {

class ReceiptTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedInvoiceShop(*db);
    }

    Document render(const SaleDocumentKey& key, InvoicePrint how)
    {
        std::optional<Document> doc = renderInvoice(*db, key, how);
        EXPECT_TRUE(doc.has_value());
        return doc.value_or(Document());
    }
    Document receiptA(const SaleDocumentKey& key, bool taxSummary = false)
    {
        return render(key, {InvoiceLayout::ReceiptA, taxSummary, PrintOutput::Preview, false});
    }
    Document receiptB(const SaleDocumentKey& key, bool reprint = false)
    {
        return render(key, {InvoiceLayout::ReceiptB, false, PrintOutput::Preview, reprint});
    }
    // The documents are dated 15:07 by a machine whose clock is on UTC: 10:07 in Colombia.
    kvtest::TimeZoneScope utc{"UTC"};
};

// Three lines worth 50,000: a soda with 19 % IVA inside its price, two bags of rice without IVA,
// oil with 5 % IVA inside.
QList<kvtest::InvoiceLine> threeLines() { return {line(2, 1, 11900, 19, 1900), line(1, 2, 5000), line(3, 1, 28100, 5, 1338)}; }

QStringList startingWith(const QStringList& texts, const QString& start)
{
    QStringList out;
    for (const QString& t : texts)
        if (t.startsWith(start))
            out.append(t);
    return out;
}

const double kRollRight = 71.76;  // right edge of the receipt's printing

}  // namespace

TEST_F(ReceiptTest, ReceiptAPrintsHeaderLinesTotalsFooterAndSeller)
{
    kvtest::InvoiceHeader h;
    h.valorPropina = 2000;
    h.descuento = 1000;
    h.abono = 10000.0;  // paid before: the amount to pay is 50,000 + 2,000 - 1,000 - 10,000
    const Document doc = receiptA(kvtest::saveDocument(*db, h, threeLines()));

    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(doc.pageSize, QSizeF(72.76, 279.4));
    EXPECT_EQ(doc.texts(),
              QStringList({"ENCABEZADO 1", "ENCABEZADO 2", "ENCABEZADO 3", "Factura No.", "42", "ENCABEZADO 4",
                           "ENCABEZADO 5", "ENCABEZADO 6", "ENCABEZADO 7", "ENCABEZADO 8",
                           " 05, mar, 2024,  -  10:07 AM", "79,456,123-0  JOSE PEREZ", "Can.", "Valor",
                           "1", "[2]GASEOSA  * UNIDAD", "11,900",
                           "2", "[1]ARROZ  * UNIDAD", "10,000",
                           "1", "[3]ACEITE  * UNIDAD", "28,100",
                           "TOTAL FACTURA", "50,000.00", "Servicio", "2,000.00", "Descuento -", "1,000.00",
                           "Abono -", "10,000.00", "Valor A Pagar", "41,000.00", "EFECTIVO", "41,000.00",
                           "PIE 1", "PIE 2", "PIE 3", "PIE 4", "PIE 5", "PIE 6", "PIE 7", "Vendedor LAURA GOMEZ", "."}));
    // Amounts and the date sit against the right edge, header and footer texts in the middle.
    for (const char* right : {"11,900", "41,000.00", " 05, mar, 2024,  -  10:07 AM"}) {
        const DocItem* d = doc.findText(QString::fromUtf8(right)).value(0);
        ASSERT_TRUE(d) << right;
        EXPECT_NEAR(d->rect.right(), kRollRight, 0.01) << right;
        EXPECT_TRUE(d->alignment & Qt::AlignRight) << right;
    }
    EXPECT_TRUE(doc.findText("ENCABEZADO 4")[0]->alignment & Qt::AlignHCenter);
    EXPECT_TRUE(doc.findText("Vendedor LAURA GOMEZ")[0]->alignment & Qt::AlignHCenter);
    // The number prints in a larger type than the rest.
    EXPECT_GT(doc.findText("42")[0]->font.size, doc.findText("ENCABEZADO 1")[0]->font.size);
}

TEST_F(ReceiptTest, HeadingTimeIsColombianTimeWhateverZoneTheMachineIsOn)
{
    const SaleDocumentKey key = kvtest::saveDocument(*db, {}, threeLines());  // dated 15:07 by the machine's clock
    const struct {
        const char* zone;
        const char* heading;
    } cases[] = {
        {"UTC", " 05, mar, 2024,  -  10:07 AM"},
        {"America/Bogota", " 05, mar, 2024,  -  03:07 PM"},
        {"Europe/Madrid", " 05, mar, 2024,  -  09:07 AM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        kvtest::TimeZoneScope zone(c.zone);
        EXPECT_EQ(receiptA(key).findText(QString::fromLatin1(c.heading)).size(), 1);
        EXPECT_EQ(receiptB(key).findText(QStringLiteral("Bog ") + QString::fromLatin1(c.heading)).size(), 1);
    }
}

TEST_F(ReceiptTest, TaxSummaryPrintsABandPerRateWithItsBaseNetOfTax)
{
    QList<kvtest::InvoiceLine> lines = threeLines();
    // The consumption tax is inside the lunch's price: base 16,667, tax 1,333 (16,667 x 8 % = 1,333.36).
    kvtest::InvoiceLine lunch = line(4, 1, 18000);
    lunch.ipoconsumo = 8;
    lunch.valorIpo = 1333;
    lines.append(lunch);
    const SaleDocumentKey key = kvtest::saveDocument(*db, {}, lines);

    const QStringList texts = receiptA(key, true).texts();
    // Consumption tax first, then IVA by rate, 5 before 19; all after the lines, before the totals.
    EXPECT_EQ(startingWith(texts, QStringLiteral("Base")),
              QStringList({"Base Ipoconsumo 8%  16,667.00", "Base Iva 5%  26,762.00", "Base Iva 19%  10,000.00"}));
    const qsizetype iva5 = texts.indexOf("Base Iva 5%  26,762.00");
    EXPECT_EQ(texts.value(iva5 + 1), QStringLiteral("1,338.00"));
    EXPECT_EQ(texts.value(texts.indexOf("Base Iva 19%  10,000.00") + 1), QStringLiteral("1,900.00"));
    EXPECT_EQ(texts.value(texts.indexOf("Base Ipoconsumo 8%  16,667.00") + 1), QStringLiteral("1,333.00"));
    EXPECT_GT(texts.indexOf("Base Ipoconsumo 8%  16,667.00"), texts.indexOf("[4]ALMUERZO  * UNIDAD"));
    EXPECT_LT(iva5, texts.indexOf("TOTAL FACTURA"));

    // A line's discount comes off before its tax was worked out, so it comes off the printed base:
    // 10,000 less 1,000 of discount, IVA added 19 % = 1,710 on 9,000; 10,800 less 800 of discount
    // with its Ipoconsumo inside: 741 on 9,259.
    kvtest::InvoiceHeader discounted;
    discounted.consecutivo = 44;
    kvtest::InvoiceLine wine = line(2, 1, 10000, 19, 1710);
    wine.subtotal = 11710;
    wine.valorDescuento = 1000;
    kvtest::InvoiceLine dish = line(4, 1, 10800);
    dish.ipoconsumo = 8;
    dish.valorIpo = 741;
    dish.valorDescuento = 800;
    EXPECT_EQ(startingWith(receiptA(kvtest::saveDocument(*db, discounted, {wine, dish}), true).texts(),
                           QStringLiteral("Base")),
              QStringList({"Base Ipoconsumo 8%  9,259.00", "Base Iva 19%  9,000.00"}));

    // Not asked for: no tax bands even for taxed lines. Asked for on a document without IVA: none.
    EXPECT_TRUE(startingWith(receiptA(key, false).texts(), QStringLiteral("Base")).isEmpty());
    kvtest::InvoiceHeader untaxed;
    untaxed.consecutivo = 43;
    EXPECT_TRUE(startingWith(receiptA(kvtest::saveDocument(*db, untaxed, {line(1, 1, 5000)}), true).texts(),
                             QStringLiteral("Base"))
                    .isEmpty());
}

TEST_F(ReceiptTest, HeaderAndFooterTextsGoToTheirNumberedPositions)
{
    db->exec("DELETE FROM POSLINEATOP");
    for (int linea : {1, 2, 9})
        db->exec("INSERT INTO POSLINEATOP (LINEA, DETALLE) VALUES (:L, :D)",
                 {{"L", linea}, {"D", QStringLiteral("ENCABEZADO %1").arg(linea)}});
    kvtest::InvoiceHeader h;
    h.vendedor = 31313131;  // no third party has this number
    const SaleDocumentKey key = kvtest::saveDocument(*db, h, {line(1, 1, 5000)});

    for (const Document& doc : {receiptA(key), receiptB(key)}) {
        QStringList texts = doc.texts();
        texts.removeAll(QString());  // the positions left empty
        EXPECT_EQ(texts.mid(0, 2), QStringList({"ENCABEZADO 1", "ENCABEZADO 2"}));
        EXPECT_TRUE(texts.value(2).startsWith(QStringLiteral("Factura No."))) << texts.value(2).toStdString();
        EXPECT_FALSE(texts.contains("ENCABEZADO 9"));
        // The positions stay where they are, empty: the number comes after positions 1 to 3.
        EXPECT_GT(doc.findNamed("Top3")[0]->rect.top(), doc.findText("ENCABEZADO 2")[0]->rect.top());
        EXPECT_TRUE(doc.findNamed("Top3")[0]->text.isEmpty());
        // The seller takes the last footer position, even when he cannot be found.
        EXPECT_TRUE(texts.contains("Vendedor "));
        EXPECT_EQ(texts.last(), QStringLiteral("."));
    }
    // Receipt A has eight footer positions (the eighth is the seller's), receipt B seven.
    EXPECT_TRUE(receiptA(key).texts().contains("PIE 7"));
    EXPECT_FALSE(receiptA(key).texts().contains("PIE 8"));
    EXPECT_FALSE(receiptB(key).texts().contains("PIE 7"));
    EXPECT_TRUE(receiptB(key).texts().contains("PIE 6"));
}

TEST_F(ReceiptTest, ReceiptBPrintsPrefixCustomerDataPaymentAndReprintMark)
{
    kvtest::InvoiceHeader h;
    h.tipoDePago = QStringLiteral("O");
    h.tipoDePagoDes = QStringLiteral("USD 20");
    h.abono = 10000.0;
    kvtest::InvoiceLine box = line(2, 2, 23800, 19, 7600);
    box.unidad = QStringLiteral("CJ");
    const SaleDocumentKey key = kvtest::saveDocument(*db, h, {box, line(1, 1.5, 5000)});

    const Document doc = receiptB(key, true);
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(doc.texts(),
              QStringList({"ENCABEZADO 1", "ENCABEZADO 2", "ENCABEZADO 3", "Factura No.TDA42", "ENCABEZADO 4",
                           "ENCABEZADO 5", "ENCABEZADO 6", "ENCABEZADO 7", "Bog  05, mar, 2024,  -  10:07 AM",
                           "79,456,123  JOSE PEREZ", "CALLE 10 # 3-21", "310 4567890", "Fecha Nac 15 mar 1968",
                           "HOTEL LOS CEDROS", "Can.", "Valor",
                           "2", "[2]GASEOSA CJ * 2", "47,600",
                           "1.5", "[1]ARROZ UN * 1.5", "7,500",
                           "TOTAL FACTURA", "55,100.00", "ABONO", "10000", "Reimpresion", "Iva", "7,600.00",
                           "Otra Moneda Numero USD 20",
                           "PIE 1", "PIE 2", "PIE 3", "PIE 4", "PIE 5", "PIE 6", "Vendedor LAURA GOMEZ", "."}));
    EXPECT_TRUE(doc.findText("79,456,123  JOSE PEREZ")[0]->alignment & Qt::AlignHCenter);
    EXPECT_TRUE(doc.findText("Reimpresion")[0]->alignment & Qt::AlignHCenter);

    // The original carries no mark; the row stays between the amount received and the IVA.
    const Document original = receiptB(key, false);
    EXPECT_FALSE(original.texts().contains("Reimpresion"));
    EXPECT_DOUBLE_EQ(original.findText("Iva")[0]->rect.top(), doc.findText("Iva")[0]->rect.top());
}

TEST_F(ReceiptTest, BothReceiptsPrintThePaymentAsStoredAndACopyIsMarked)
{
    struct Case {
        const char* tipo;
        const char* descripcion;
        QVariant recibido, cambio;
        QStringList rows;  // receipt A; receipt B prints them for cash only, its payment line names the rest
        const char* lineB;
    };
    const Case cases[] = {
        {"C", "", 60000.0, 10000.0, {"EFECTIVO", "60,000.00", "Cambio", "10,000.00"}, "Contado Numero "},
        // paid before the money received was kept
        {"C", "", QVariant(), QVariant(), {"EFECTIVO", "50,000.00"}, "Contado Numero "},
        {"T", "VISA 4321", QVariant(), QVariant(), {"TARJETA CREDITO VISA 4321", "50,000.00"}, "Tarjeta Numero VISA 4321"},
        {"t", "", QVariant(), QVariant(), {"TARJETA DEBITO", "50,000.00"}, "Tarjeta Debito Numero "},
        {"E", "A 30 DIAS", QVariant(), QVariant(), {"CREDITO A 30 DIAS", "50,000.00"}, "Credito Numero A 30 DIAS"},
    };
    int numero = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tipo);
        kvtest::InvoiceHeader h;
        h.consecutivo = ++numero;
        h.tipoDePago = QString::fromLatin1(c.tipo);
        h.tipoDePagoDes = QString::fromLatin1(c.descripcion);
        const SaleDocumentKey key = kvtest::saveDocument(*db, h, threeLines());
        db->exec("UPDATE POSMOVIMIENTO SET RECIBIDO = :R, CAMBIO = :C WHERE CONSECUTIVO = :N",
                 {{"R", c.recibido}, {"C", c.cambio}, {"N", numero}});
        const bool cash = c.tipo == std::string("C");
        for (const Document& doc : {receiptA(key), receiptB(key)}) {
            const QStringList texts = doc.texts();
            const bool b = texts.contains(QString::fromLatin1(c.lineB));
            const int at = int(texts.indexOf(c.rows.first()));
            if (b && !cash) {
                EXPECT_LT(at, 0) << texts.join(" | ").toStdString();
            } else {
                ASSERT_GE(at, 0) << texts.join(" | ").toStdString();
                EXPECT_EQ(texts.mid(at, c.rows.size()), c.rows);
            }
            EXPECT_FALSE(texts.contains("Reimpresion"));
        }
        EXPECT_TRUE(receiptB(key).texts().contains(QString::fromLatin1(c.lineB)));
        for (InvoiceLayout layout : {InvoiceLayout::ReceiptA, InvoiceLayout::ReceiptB, InvoiceLayout::HalfLetter,
                                     InvoiceLayout::Letter})
            EXPECT_EQ(render(key, {layout, false, PrintOutput::Preview, true}).findText("Reimpresion").size(), 1)
                << int(layout);
    }
}

TEST(ReceiptPayment, WordForEachPaymentCode)
{
    const std::pair<const char*, const char*> words[] = {
        {"C", "Contado "}, {"k", "Credito "}, {"E", "Credito "}, {"H", "Cheque "}, {"T", "Tarjeta "},
        {"t", "Tarjeta Debito "}, {"O", "Otra Moneda "}, {"K", "Contado "}, {"", "Contado "}};
    for (const auto& [code, word] : words)
        EXPECT_EQ(paymentWord(QString::fromLatin1(code)), QString::fromLatin1(word)) << code;
}

TEST_F(ReceiptTest, LongReceiptContinuesOnTheNextRollPageWithNothingLost)
{
    // More lines than the document query reads at a time, over two roll pages.
    QList<kvtest::InvoiceLine> lines;
    for (int i = 1; i <= 120; ++i) {
        kvtest::InvoiceLine l = line(1, 1, 1000 + i);
        l.observacion = QStringLiteral("L%1").arg(i);
        lines.append(l);
    }
    kvtest::InvoiceHeader h;
    h.abono = 1.0;
    const Document doc = receiptA(kvtest::saveDocument(*db, h, lines));

    ASSERT_GE(doc.pageCount(), 2);
    QStringList descriptions;
    for (const DocItem* d : doc.findNamed("Descripcion"))
        descriptions.append(d->text);
    ASSERT_EQ(descriptions.size(), 120);
    for (int i = 1; i <= 120; ++i)
        EXPECT_EQ(descriptions[i - 1], QStringLiteral("[1]ARROZ L%1 * UNIDAD").arg(i));
    for (int p = 0; p < doc.pageCount(); ++p)
        for (const DocItem& d : doc.pages[p].items) {
            EXPECT_GE(d.rect.top(), 5 - 1e-6) << d.text.toStdString() << " page " << p + 1;
            EXPECT_LE(d.rect.bottom(), 279.4 - 5 + 1e-6) << d.text.toStdString() << " page " << p + 1;
        }
    // The header once, on the first page; the totals and footer whole, after the last line.
    EXPECT_EQ(doc.findText("Factura No.").size(), 1);
    const int last = doc.pageCount() - 1;
    EXPECT_EQ(doc.findText("TOTAL FACTURA", last).size(), 1);
    EXPECT_EQ(doc.findText("Vendedor LAURA GOMEZ", last).size(), 1);
    EXPECT_EQ(doc.texts(last).last(), QStringLiteral("."));
    EXPECT_EQ(doc.findText("127,260.00", last).size(), 1);  // "TOTAL FACTURA"
    // "Valor A Pagar", less the 1 paid before, and the cash that paid it.
    EXPECT_EQ(doc.findText("127,259.00", last).size(), 2);
}

TEST_F(ReceiptTest, MissingCustomerProductOrUnitStillPrintTheLines)
{
    kvtest::InvoiceHeader h;
    h.cliente = 555;  // not a third party
    kvtest::InvoiceLine lost = line(9, 1, 7000);  // product 9 is not in the catalogue
    kvtest::InvoiceLine odd = line(1, 1, 3000);
    odd.unidad = QStringLiteral("XX");  // nor is this unit
    const SaleDocumentKey key = kvtest::saveDocument(*db, h, {lost, odd});

    const QStringList a = receiptA(key).texts();
    EXPECT_TRUE(a.contains("555-  "));
    EXPECT_TRUE(a.contains("[9]  * UNIDAD"));
    EXPECT_TRUE(a.contains("7,000"));
    EXPECT_TRUE(a.contains("[1]ARROZ  * "));
    EXPECT_TRUE(a.contains("10,000.00"));
    const QStringList b = receiptB(key).texts();
    EXPECT_TRUE(b.contains("555  "));
    EXPECT_TRUE(b.contains("[9] UN * 1"));
    EXPECT_TRUE(b.contains("[1]ARROZ XX * 1"));
}

TEST_F(ReceiptTest, DocumentWithoutLinesPrintsHeaderAndZeroTotals)
{
    const SaleDocumentKey key = kvtest::saveDocument(*db, {}, {});  // a voided document keeps its header
    const Document a = receiptA(key, true);
    EXPECT_TRUE(a.findNamed("Descripcion").isEmpty());
    EXPECT_TRUE(a.texts().contains("79,456,123-0  JOSE PEREZ"));
    EXPECT_EQ(a.findText(".00").size(), 6);  // total, service, discount, paid before, to pay, the cash
    const Document b = receiptB(key);
    EXPECT_TRUE(b.findNamed("Descripcion").isEmpty());
    EXPECT_TRUE(b.texts().contains("Factura No.TDA42"));
    EXPECT_EQ(b.findText(".00").size(), 3);  // total, IVA, the cash
}
