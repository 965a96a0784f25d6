// Invoices of a sale with its electronic POS document print what the DIAN asks of the printed
// document, read from the stored document (a reprint after the settings changed prints the
// same), and the QR code printed on the receipt decodes to the lookup address with the CUDE.
#include "InvoiceFixture.h"
#include "einvoice/Certificate.h"
#include "einvoice/ElectronicDocument.h"
#include "einvoice/Settings.h"
#include "platform/EnvScope.h"
#include "print/InvoiceParts.h"
#include "report/Painter.h"
#include "support/PdfReading.h"
#include "support/TestDb.h"

#include <QDir>
#include <QFile>

using namespace kv;

namespace {

class ElectronicInvoiceTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedInvoiceShop(*db);
        key = std::make_unique<EnvScope>("KORVELA_KEY_FILE", dir.filePath("korvela.key").toUtf8());
        s.empresa = "01";
        s.activo = true;
        s.ambiente = 2;
        s.softwareId = "soft-1";
        s.softwarePin = "12345";
        s.certificado = dir.filePath("firma.p12");
        s.claveCertificado = "clave";
        makeTestCertificate(s.certificado, "clave", "LA ESQUINA SAS", "900123456",
                            QDateTime::currentDateTimeUtc().addDays(-1), 365);
        s.resolucion = "18760000001";
        s.prefijo = "SETP";
        s.rangoDesde = 1;
        s.rangoHasta = 1000;
        s.fechaDesde = QDate(2024, 1, 1);
        s.fechaHasta = QDate(2030, 12, 31);
        s.proveedorNit = "900123456";
        saveElectronicSettings(*db, s);
        // The document type's own authorization, for its own prefix.
        saveAuthorization(*db, {"01", "POS", "18760000001", "TDA", 1, 1000, QDate(2024, 1, 1), QDate(2030, 12, 31), QString()});
        db->exec("UPDATE POSLINEATOP SET DETALLE = 'RESOLUCION DIAN 1234 RANGO TDA 1 AL 100000' WHERE LINEA = 6");
        db->exec("UPDATE POSLINEATOP SET DETALLE = 'FACTURA DE VENTA POS' WHERE LINEA = 8");
        sale = kvtest::saveDocument(*db, {}, {kvtest::line(2, 2, 11900, 19, 3800), kvtest::line(1, 1, 5000)});
        db->exec("UPDATE POSMOVIMIENTO SET STATUS = 'I'");
        issueSaleDocument(*db, sale.empresa, sale.documento, sale.consecutivo);
        doc = *storedDocument(*db, sale.empresa, sale.documento, sale.consecutivo);
    }
    Document render(InvoiceLayout layout)
    {
        InvoicePrint how;
        how.layout = layout;
        return *renderInvoice(*db, sale, how);
    }

    std::unique_ptr<EnvScope> key;
    ElectronicSettings s;
    SaleDocumentKey sale;
    StoredDocument doc;
};

TEST_F(ElectronicInvoiceTest, EveryLayoutPrintsTheTitleNumberAuthorizationCudeAndQr)
{
    const bool narrow[] = {true, true, false, false};
    const InvoiceLayout layouts[] = {InvoiceLayout::ReceiptA, InvoiceLayout::ReceiptB, InvoiceLayout::HalfLetter,
                                     InvoiceLayout::Letter};
    for (int i = 0; i < 4; ++i) {
        const Document d = render(layouts[i]);
        const QStringList texts = d.texts();
        const QString all = texts.join('\n');
        for (const QString& row : electronicTitleRows(narrow[i]))
            EXPECT_TRUE(texts.contains(row)) << i << row.toStdString();
        // The document type's own prefix numbers the document.
        EXPECT_TRUE(texts.contains("No. TDA42")) << i;
        EXPECT_TRUE(all.contains("Autorización DIAN No. 18760000001")) << i;
        EXPECT_TRUE(all.contains("2024-01-01")) << i;
        // The buyer once on a receipt, as the document names him.
        if (narrow[i]) {
            EXPECT_EQ(all.count("JOSE PEREZ"), 1) << i;
        }
        EXPECT_TRUE(all.contains("Adquiriente: JOSE PEREZ  79456123")) << i;
        // The taxes by rate, with their bases, as the document states them.
        EXPECT_TRUE(all.contains("IVA 19%  Base 20,000.00")) << i << all.toStdString();
        EXPECT_TRUE(texts.contains("3,800.00")) << i;
        EXPECT_TRUE(all.contains("Software: ")) << i;
        EXPECT_TRUE(all.contains("Fabricante: ")) << i;
        EXPECT_TRUE(QString(all).remove(QLatin1Char('\n')).contains(doc.cude)) << i << " the whole CUDE";
        ASSERT_NE(d.named("ElectronicoQR"), nullptr) << i;
        EXPECT_FALSE(d.named("ElectronicoQR")->image.isNull()) << i;
    }
}

TEST_F(ElectronicInvoiceTest, TheReceiptKeepsOnlyTheShopsLinesThatDoNotContradictTheDocument)
{
    for (InvoiceLayout layout : {InvoiceLayout::ReceiptA, InvoiceLayout::ReceiptB}) {
        const QString all = render(layout).texts().join('\n');
        EXPECT_TRUE(all.contains("ENCABEZADO 1"));
        EXPECT_TRUE(all.contains("ENCABEZADO 7"));
        // the paper numbering and title, and the paper number, give way to the electronic ones
        EXPECT_FALSE(all.contains("RANGO TDA 1 AL 100000"));
        EXPECT_FALSE(all.contains("FACTURA DE VENTA POS"));
        EXPECT_FALSE(all.contains("Factura No."));
        EXPECT_EQ(all.count("Autorización DIAN No."), 1);
    }
    // Without an electronic document the shop's lines print as they are.
    db->exec("DELETE FROM POSDOCUMENTOELECTRONICO");
    EXPECT_TRUE(render(InvoiceLayout::ReceiptA).texts().join('\n').contains("FACTURA DE VENTA POS"));
}

TEST_F(ElectronicInvoiceTest, AReprintPrintsTheStoredDocumentWhateverTheSettingsSayNow)
{
    const QStringList before = render(InvoiceLayout::ReceiptA).texts();
    s.resolucion = "99999999999";
    s.fechaHasta = QDate(2031, 1, 1);
    saveElectronicSettings(*db, s);
    EXPECT_EQ(render(InvoiceLayout::ReceiptA).texts(), before);
}

TEST_F(ElectronicInvoiceTest, TheReceiptsQrCodeDecodesToTheLookupAddressWithTheCude)
{
    const QString pdf = dir.filePath("recibo.pdf");
    writePdf(render(InvoiceLayout::ReceiptA), pdf);
    // With KORVELA_PRINT_TO set the receipt is left there to look at.
    if (const QString keep = qEnvironmentVariable("KORVELA_PRINT_TO"); !keep.isEmpty())
        QFile::copy(pdf, QDir(keep).filePath("recibo-electronico.pdf"));
    const QString decoded = kvtest::qrCodesInPdf(pdf).join(QLatin1Char('\n'));
    EXPECT_EQ(decoded.toStdString(), lookupAddress(2, doc.cude).toStdString());
    EXPECT_EQ(doc.qr, lookupAddress(2, doc.cude));
}

}  // namespace
