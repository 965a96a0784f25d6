// A paid sale of a company that issues electronic POS documents gets its signed document in the
// closing's own transaction; a closing whose document cannot be made stores nothing; the register
// learns at sign-on what would stop the documents; a void issues the adjustment note.
#include "ShopFixture.h"
#include "einvoice/Certificate.h"
#include "einvoice/ElectronicDocument.h"
#include "einvoice/PosDocument.h"
#include "einvoice/Settings.h"
#include "platform/EnvScope.h"
#include "pos/DocumentCorrections.h"
#include "support/TestDb.h"

#include <QFile>

using namespace kv;

namespace {

class ElectronicClosingTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedShop(*db);
        db->exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE, NIT, CIUDAD) VALUES ('01', 'TIENDA UNO SAS', '900123456-8', 'CALI')");
        key = std::make_unique<EnvScope>("KORVELA_KEY_FILE", dir.filePath("korvela.key").toUtf8());
        cert = dir.filePath("firma.p12");
        makeTestCertificate(cert, "clave", "TIENDA UNO SAS", "900123456", QDateTime::currentDateTimeUtc().addDays(-1), 365);
        settings.empresa = "01";
        settings.activo = true;
        settings.ambiente = 2;
        settings.softwareId = "soft-1";
        settings.softwarePin = "12345";
        settings.certificado = cert;
        settings.claveCertificado = "clave";
        settings.resolucion = "18760000001";
        settings.prefijo = "SETP";
        settings.rangoDesde = 1;
        settings.rangoHasta = 1000;
        settings.fechaDesde = QDate::currentDate().addDays(-10);
        settings.fechaHasta = QDate::currentDate().addYears(1);
        settings.proveedorNit = "900123456";
        saveElectronicSettings(*db, settings);
        dm = std::make_unique<TDmVentas>(*db);
        ASSERT_TRUE(dm->signOn(11));
    }
    void TearDown() override
    {
        dm.reset();
        DbTest::TearDown();
    }
    // A sale of an IVA-included product and an untaxed one, paid in cash.
    int paidSale()
    {
        const int n = kvtest::startDocument(*dm);
        EXPECT_TRUE(kvtest::ringUp(*dm, {.producto = 1, .precio = 11600, .iva = 16}));
        EXPECT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 2500}));
        EXPECT_EQ(dm->closeWithPayment(11).kind, DocumentModule::ClosingOutcome::Closed);
        return n;
    }
    int documents(const char* tipo = "20")
    {
        return db->scalar("SELECT COUNT(*) FROM POSDOCUMENTOELECTRONICO WHERE TIPO = :T", {{"T", tipo}}).toInt();
    }
    QVariant status(int n)
    {
        return db->scalar("SELECT STATUS FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", n}});
    }

    std::unique_ptr<EnvScope> key;
    QString cert;
    ElectronicSettings settings;
    std::unique_ptr<TDmVentas> dm;
};

TEST_F(ElectronicClosingTest, APaidSaleIsStoredWithItsSignedDocumentToBeSent)
{
    const int n = paidSale();
    const auto doc = storedDocument(*db, "01", "POS", n);
    ASSERT_TRUE(doc.has_value());
    EXPECT_EQ(doc->numero, QStringLiteral("SETP%1").arg(n));
    EXPECT_EQ(doc->estado, "P");
    EXPECT_EQ(doc->cude.size(), 96);
    EXPECT_TRUE(doc->xml.contains(doc->cude.toUtf8()));
    EXPECT_EQ(doc->qr, lookupAddress(2, doc->cude));
    // What the document asks the customer to pay is what the sale charged.
    const double neto = db->scalar("SELECT NETO FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", n}}).toDouble();
    EXPECT_TRUE(doc->xml.contains(QStringLiteral("<cbc:PayableAmount currencyID=\"COP\">%1</cbc:PayableAmount>")
                                      .arg(neto, 0, 'f', 2)
                                      .toUtf8()));
    EXPECT_TRUE(doc->xml.contains("<cbc:ID schemeName=\"13\">222222222222</cbc:ID>"));  // the counter customer
}

TEST_F(ElectronicClosingTest, WithDocumentsOffTheClosingStoresNone)
{
    settings.activo = false;
    saveElectronicSettings(*db, settings);
    paidSale();
    EXPECT_EQ(documents(), 0);
}

TEST_F(ElectronicClosingTest, AClosingWhoseDocumentCannotBeMadeStoresNothing)
{
    // The number falls outside the authorized range: the closing is undone whole.
    settings.rangoHasta = 0;
    saveElectronicSettings(*db, settings);
    const int n = kvtest::startDocument(*dm);
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 2500}));
    try {
        dm->closeWithPayment(11);
        ADD_FAILURE() << "the closing went through";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.text().contains("fuera del rango autorizado")) << f.text().toStdString();
    }
    EXPECT_TRUE(status(n).isNull());
    EXPECT_EQ(documents(), 0);

    // Mended, the same sale closes with its document.
    settings.rangoHasta = 1000;
    saveElectronicSettings(*db, settings);
    EXPECT_EQ(dm->closeWithPayment(11).kind, DocumentModule::ClosingOutcome::Closed);
    EXPECT_EQ(status(n).toString().trimmed(), "I");
    EXPECT_EQ(documents(), 1);
}

TEST_F(ElectronicClosingTest, SignOnTellsWhatWouldStopTheDocuments)
{
    EXPECT_EQ(signOnProblem(*db, "01", "POS"), QString());
    const QString expired = dir.filePath("vencido.p12");
    makeTestCertificate(expired, "clave", "TIENDA UNO SAS", "900123456", QDateTime::currentDateTimeUtc().addDays(-400), 30);
    const struct {
        const char* what;
        std::function<void(ElectronicSettings&)> change;
        const char* told;
    } cases[] = {
        {"certificate missing", [&](ElectronicSettings& s) { s.certificado = dir.filePath("no-existe.p12"); },
         "No se puede leer el certificado"},
        {"wrong password", [](ElectronicSettings& s) { s.claveCertificado = "otra"; }, "la clave no es la correcta"},
        {"certificate expired", [&](ElectronicSettings& s) { s.certificado = expired; }, "El certificado de firma venció"},
        // The authorization's dates are Colombian days, behind the machine's clock near midnight.
        {"authorization past its date",
         [](ElectronicSettings& s) {
             s.fechaHasta = colombianTime(QDateTime::currentDateTimeUtc()).date().addDays(-1);
         },
         "venció el"},
        {"range used up", [](ElectronicSettings& s) { s.rangoHasta = 0; }, "Se agotó el rango de numeración"},
    };
    for (const auto& c : cases) {
        ElectronicSettings s = settings;
        c.change(s);
        saveElectronicSettings(*db, s);
        const QString told = signOnProblem(*db, "01", "POS");
        EXPECT_TRUE(told.contains(QString::fromUtf8(c.told))) << c.what << ": " << told.toStdString();
    }
    // A company that does not issue them is never stopped.
    settings.activo = false;
    settings.rangoHasta = 0;
    saveElectronicSettings(*db, settings);
    EXPECT_EQ(signOnProblem(*db, "01", "POS"), QString());
}

TEST_F(ElectronicClosingTest, VoidingAnIssuedSaleStoresItsAdjustmentNoteWithTheLines)
{
    const int n = paidSale();
    const auto original = storedDocument(*db, "01", "POS", n);
    ASSERT_TRUE(original.has_value());
    ASSERT_TRUE(voidDocument(*dm, {"01", "POS", n}));
    const auto note = storedDocument(*db, "01", "POS", n, kTipoNotaAjuste);
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->numero, "NA1");  // the company's first note
    EXPECT_TRUE(note->xml.contains("<cbc:ReferenceID>" + original->numero.toUtf8() + "</cbc:ReferenceID>"));
    EXPECT_TRUE(note->xml.contains(original->cude.toUtf8()));
    EXPECT_EQ(note->xml.count("<cac:CreditNoteLine>"), 2);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N", {{"N", n}}).toInt(), 0);
    // Voiding again issues no second note.
    voidDocument(*dm, {"01", "POS", n});
    EXPECT_EQ(documents("94"), 1);
}

}  // namespace
