// Printing a stored document through the one entry point: who prints what, a document of the demo
// printed in the four layouts (each layout's Document kept beside this test as text, so a change to
// any band shows as a readable diff), and a document that does not exist.
#include "InvoiceFixture.h"
#include "common/SaleAmounts.h"
#include "platform/EnvScope.h"
#include "platform/Spooler.h"
#include "support/CupsScheduler.h"
#include "support/QtPrinters.h"
#include "support/TestDb.h"
#include "support/TimeZone.h"

#include "print/InvoiceParts.h"
#include "print/InvoicePrinting.h"

#include <QDir>
#include <algorithm>
#include <QFile>
#include <gtest/gtest.h>

using namespace kv;

namespace {

bool operator==(const InvoicePrint& a, const InvoicePrint& b)
{
    return a.layout == b.layout && a.taxSummary == b.taxSummary && a.output == b.output && a.reprint == b.reprint;
}

class DemoInvoiceTest : public kvtest::DemoDbTest {
protected:
    // The kept receipts print the sale's 15:07 of a machine on UTC as 10:07, Colombian time.
    kvtest::TimeZoneScope utc{"UTC"};

    void SetUp() override
    {
        DemoDbTest::SetUp();
        // The demo dates its resolution text from the day the demo is made; the kept texts need a
        // fixed one.
        db->exec("UPDATE DOCUMENTOS SET RESOLUCIONFACTURACION = :R WHERE DOCUMENTO = 'POS'",
                 {{"R", QStringLiteral("Resolucion DIAN No. 18764000001234 del 2024-01-15, vigencia 24 meses. Autoriza "
                                       "la numeracion TDA del 1 al 100000 para facturas de venta POS.")}});
    }

    int product(const char* name)
    {
        return db->scalar("SELECT PRODUCTO FROM PRODUCTOS WHERE NOMBRE = :N", {{"N", QString::fromUtf8(name)}}).toInt();
    }
    double price(int producto, const char* unidad)
    {
        return db->scalar("SELECT VALORVENTAMOSTRADOR FROM PRODUCTOSVALORVENTA WHERE PRODUCTO = :P AND UNIDAD = :U",
                          {{"P", producto}, {"U", unidad}})
            .toDouble();
    }

    // A sale of the demo shop at register 1: a box of sodas and oil with IVA inside their price,
    // wine with IVA added, rice without IVA, a lunch with Ipoconsumo; paid by card with a tip.
    SaleDocumentKey demoSale()
    {
        // Priced by the registers' own rule: the wine's IVA is charged on top of its price, the
        // lunch's Ipoconsumo is inside its price.
        auto taxed = [&](const char* name, const char* unidad, double cantidad, double rate, bool inside, double ipo = 0) {
            const int p = product(name);
            kvtest::InvoiceLine l = kvtest::line(p, cantidad, price(p, unidad), rate);
            const LineTaxes t = lineTaxes(l.precio * cantidad, 0, rate, inside, ipo);
            l.valorIva = t.valorIva;
            l.ipoconsumo = ipo;
            l.valorIpo = t.valorIpoconsumo;
            l.subtotal = t.subtotal;
            l.unidad = QString::fromLatin1(unidad);
            return l;
        };
        kvtest::InvoiceLine lunch = taxed("ALMUERZO CORRIENTE", "UN", 1, 0, false, 8);
        kvtest::InvoiceHeader h;
        h.consecutivo = 4321;
        h.fecha = QDateTime(QDate(2024, 3, 5), QTime(15, 7));
        h.cliente = 79456123;
        h.vendedor = 1;
        h.plazo = 30;
        h.tipoDePago = QStringLiteral("T");
        h.tipoDePagoDes = QStringLiteral("VISA 4321");
        h.valorPropina = 1800;
        h.abono = 30000.0;
        return kvtest::saveDocument(
            *db, h,
            {taxed("GASEOSA COLA 400ML", "CJ", 1, 19, true), taxed("ARROZ BLANCO LA ESPIGA 1KG", "UN", 2, 0, false),
             taxed("ACEITE DE GIRASOL DON PACHO 1000ML", "UN", 1, 5, true), taxed("VINO TINTO 750ML", "UN", 1, 19, false),
             lunch});
    }
};

// Compares the Document's text with the file kept beside the tests. KORVELA_UPDATE_GOLDEN=1 writes
// the file instead; a missing file is written and the test fails, so that a new one is looked at.
void expectGolden(const Document& doc, const QString& name)
{
    const QString path = QDir(QStringLiteral(KV_PRINT_GOLDEN_DIR)).filePath(name + QStringLiteral(".txt"));
    const QString actual = doc.toText();
    QFile f(path);
    const bool exists = f.exists();
    if (!exists || qEnvironmentVariableIsSet("KORVELA_UPDATE_GOLDEN")) {
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        f.write(actual.toUtf8());
        EXPECT_TRUE(exists) << "written " << path.toStdString() << ": look at it and keep it";
        return;
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_EQ(actual.toStdString(), QString::fromUtf8(f.readAll()).toStdString()) << "differs from " << path.toStdString();
}

int pdfCount(const QString& dir) { return int(QDir(dir).entryList({QStringLiteral("*.pdf")}, QDir::Files).size()); }

}  // namespace

TEST(WhoPrintsWhat, EachCallerGetsItsLayoutTaxSummaryOutputAndMark)
{
    using C = InvoiceCaller;
    using P = InvoicePaper;
    // Every roll receipt of a sale prints its taxes.
    const InvoicePrint aTaxes{InvoiceLayout::ReceiptA, true, PrintOutput::Preview, false};
    const InvoicePrint aTaxesPrinter{InvoiceLayout::ReceiptA, true, PrintOutput::Printer, false};
    const InvoicePrint b{InvoiceLayout::ReceiptB, false, PrintOutput::Preview, false};
    const InvoicePrint bReprint{InvoiceLayout::ReceiptB, false, PrintOutput::Preview, true};
    const InvoicePrint half{InvoiceLayout::HalfLetter, false, PrintOutput::Preview, false};
    const InvoicePrint letter{InvoiceLayout::Letter, false, PrintOutput::Preview, false};
    // A number typed to be printed again is a copy, in every layout.
    const InvoicePrint aTaxesCopy{InvoiceLayout::ReceiptA, true, PrintOutput::Preview, true};
    const InvoicePrint halfCopy{InvoiceLayout::HalfLetter, false, PrintOutput::Preview, true};
    const InvoicePrint letterCopy{InvoiceLayout::Letter, false, PrintOutput::Preview, true};
    const struct {
        C caller;
        P paper;
        InvoicePrint expected;
    } cases[] = {
        {C::MainPayment, P::Roll, aTaxes},         {C::MainPayment, P::HalfLetter, half},
        {C::MainPayment, P::Letter, letter},       {C::MainScreen, P::Roll, aTaxes},
        {C::MainScreen, P::Letter, letter},        {C::MainReprint, P::Roll, aTaxesCopy},
        {C::MainReprint, P::HalfLetter, halfCopy}, {C::CollectionPayment, P::Roll, aTaxesPrinter},
        {C::CollectionPayment, P::HalfLetter, half}, {C::CollectionPayment, P::Letter, letter},
        {C::CollectionMenu, P::Roll, aTaxesCopy},  {C::CollectionMenu, P::Letter, letterCopy},
        {C::RestaurantReprint, P::Roll, aTaxesCopy}, {C::RestaurantReprint, P::Letter, aTaxesCopy},
        {C::CajaDosPayment, P::Roll, b},           {C::CajaDosReprint, P::Roll, bReprint},
        {C::CajaDosReprint, P::Letter, bReprint},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(invoicePrintFor(c.caller, c.paper) == c.expected) << int(c.caller) << " paper " << int(c.paper);
}

TEST_F(DemoInvoiceTest, DemoSalePrintsInTheFourLayouts)
{
    // Printing writes PDFs into KORVELA_PRINT_TO: a folder of the caller's when it is set (to look
    // at them), else a temporary one.
    QTemporaryDir pdfs;
    const bool given = qEnvironmentVariableIsSet("KORVELA_PRINT_TO");
    EnvScope printTo("KORVELA_PRINT_TO", given ? qgetenv("KORVELA_PRINT_TO") : pdfs.path().toUtf8());
    const QString dir = QString::fromUtf8(qgetenv("KORVELA_PRINT_TO"));

    const SaleDocumentKey key = demoSale();
    const std::pair<InvoicePrint, const char*> layouts[] = {
        {invoicePrintFor(InvoiceCaller::MainPayment, InvoicePaper::Roll), "receipt-a"},
        {invoicePrintFor(InvoiceCaller::CajaDosReprint), "receipt-b"},
        {invoicePrintFor(InvoiceCaller::MainPayment, InvoicePaper::HalfLetter), "half-letter"},
        {invoicePrintFor(InvoiceCaller::MainPayment, InvoicePaper::Letter), "letter"},
    };
    for (const auto& [how, name] : layouts) {
        SCOPED_TRACE(name);
        const std::optional<Document> doc = renderInvoice(*db, key, how);
        ASSERT_TRUE(doc);
        expectGolden(*doc, QString::fromLatin1(name));
        const int before = pdfCount(dir);
        EXPECT_EQ(printInvoice(*db, key, how), PrintResult::Printed);
        EXPECT_EQ(pdfCount(dir), before + 1);
    }
    // Straight to the printer, as the collection register's payment window prints.
    const int before = pdfCount(dir);
    EXPECT_EQ(printInvoice(*db, key, invoicePrintFor(InvoiceCaller::CollectionPayment)), PrintResult::Printed);
    EXPECT_EQ(pdfCount(dir), before + 1);
}

TEST_F(DemoInvoiceTest, EveryRollReceiptOfASalePrintsWhatThePaidReceiptPrinted)
{
    const SaleDocumentKey key = demoSale();
    const std::optional<Document> paid = renderInvoice(*db, key, invoicePrintFor(InvoiceCaller::MainPayment));
    ASSERT_TRUE(paid);
    const QStringList original = paid->texts();
    ASSERT_TRUE(std::any_of(original.begin(), original.end(), [](const QString& t) { return t.startsWith("Base Iva"); }))
        << original.join('|').toStdString();
    for (InvoiceCaller caller : {InvoiceCaller::MainScreen, InvoiceCaller::MainReprint, InvoiceCaller::CollectionPayment,
                                 InvoiceCaller::CollectionMenu, InvoiceCaller::RestaurantReprint}) {
        SCOPED_TRACE(int(caller));
        const std::optional<Document> again = renderInvoice(*db, key, invoicePrintFor(caller));
        ASSERT_TRUE(again);
        QStringList texts = again->texts();
        texts.removeAll(kReprintMark);  // a copy says it is one, and nothing else changes
        EXPECT_EQ(texts, original);
    }
}

TEST_F(DemoInvoiceTest, DocumentThatDoesNotExistPrintsNothingAndSaysSo)
{
    QTemporaryDir pdfs;
    EnvScope printTo("KORVELA_PRINT_TO", pdfs.path().toUtf8());
    const SaleDocumentKey missing{QStringLiteral("01"), QStringLiteral("POS"), 987654};
    for (InvoiceLayout layout : {InvoiceLayout::ReceiptA, InvoiceLayout::ReceiptB, InvoiceLayout::HalfLetter,
                                 InvoiceLayout::Letter}) {
        const InvoicePrint how{layout, true, PrintOutput::Printer, true};
        EXPECT_FALSE(renderInvoice(*db, missing, how)) << int(layout);
        EXPECT_EQ(printInvoice(*db, missing, how), PrintResult::NoDocument) << int(layout);
    }
    EXPECT_EQ(pdfCount(pdfs.path()), 0);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.last().toStdString();
}

TEST_F(DemoInvoiceTest, PrinterThatFailsIsReportedToTheCallerAndTheUser)
{
    // The output folder cannot be made: it is the name of a file.
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(QStringLiteral("ocupado"));
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EnvScope printTo("KORVELA_PRINT_TO", notAFolder.toUtf8());

    const SaleDocumentKey key = demoSale();
    EXPECT_EQ(printInvoice(*db, key, invoicePrintFor(InvoiceCaller::CollectionPayment)), PrintResult::Failed);
    EXPECT_EQ(dialogs.texts(QStringLiteral("error")).size(), 1) << dialogs.last().toStdString();
    // A preview that cannot be made fails the same way.
    EXPECT_EQ(printInvoice(*db, key, invoicePrintFor(InvoiceCaller::MainPayment)), PrintResult::Failed);
    EXPECT_EQ(dialogs.texts(QStringLiteral("error")).size(), 2) << dialogs.last().toStdString();
}

TEST_F(DemoInvoiceTest, DrawerPulseAndInvoiceReachTheReceiptPrinterThroughCups)
{
    EnvScope raw("KORVELA_RAW_TO", std::nullopt);
    EnvScope printTo("KORVELA_PRINT_TO", std::nullopt);
    kvtest::CupsScheduler cups({{.name = QStringLiteral("Caja")}});
    ASSERT_TRUE(cups.running()) << cups.error().toStdString();
    const QString caja = QStringLiteral("Caja");

    ASSERT_EQ(Spooler::openCashDrawer(), QString());
    ASSERT_TRUE(cups.waitForJobs(caja, 1));
    EXPECT_EQ(printInvoice(*db, demoSale(), invoicePrintFor(InvoiceCaller::CollectionPayment)), PrintResult::Printed);
    ASSERT_TRUE(cups.waitForJobs(caja, 2));

    EXPECT_EQ(cups.jobTitles(caja), QStringList({"Control", "FACTURA"}));
    const QByteArray bytes = cups.captured(caja);
    EXPECT_TRUE(bytes.startsWith(QByteArray::fromHex("1b70306464"))) << bytes.left(16).toHex().toStdString();
    // The invoice's own pages follow the pulse.
    EXPECT_GT(bytes.size(), 1000);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.last().toStdString();
}
