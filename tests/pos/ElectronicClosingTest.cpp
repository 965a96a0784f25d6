// A paid sale of a company that issues electronic POS documents gets its signed document in the
// closing's own transaction; a closing whose document cannot be made stores nothing; the register
// learns at sign-on what would stop the documents; a void issues the adjustment note.
#include "ShopFixture.h"
#include "einvoice/Certificate.h"
#include "einvoice/ElectronicDocument.h"
#include "einvoice/IssuedDocument.h"
#include "einvoice/PosDocument.h"
#include "einvoice/Settings.h"
#include "platform/EnvScope.h"
#include "pos/DocumentCorrections.h"
#include "pos/SalePayment.h"
#include "pos/UntVentaCajaCambio.h"
#include "platform/DbGrid.h"
#include "support/Keyboard.h"
#include "support/TestDb.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>

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
        settings = kvtest::issueDocuments(*db, cert);
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

// What a stored document charges (its PayableAmount), in cents.
qint64 payable(const std::optional<StoredDocument>& d)
{
    if (!d)
        return -1;
    const std::optional<IssuedContent> c = issuedContent(d->xml);
    return c ? c->payable : -1;
}

TEST_F(ElectronicClosingTest, TheNoteRepeatsWhatWasIssuedEvenWhenTheLinesChangedSince)
{
    // An older version corrected issued sales in place: the lines now say less than the document.
    const int n = paidSale();
    ASSERT_EQ(payable(storedDocument(*db, "01", "POS", n)), 1410000);
    db->exec("DELETE FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N AND LINEA = 1", {{"N", n}});
    db->exec("UPDATE POSMOVIMIENTO SET SUBTOTAL = 2500, NETO = 2500, IVA = 0 WHERE CONSECUTIVO = :N", {{"N", n}});
    ASSERT_TRUE(voidDocument(*dm, {"01", "POS", n}));
    const auto note = storedDocument(*db, "01", "POS", n, kTipoNotaAjuste);
    EXPECT_EQ(payable(note), 1410000);
    EXPECT_EQ(note->xml.count("<cac:CreditNoteLine>"), 2);
}

TEST_F(ElectronicClosingTest, AnIssuedSaleIsReplacedByANewSaleWithItsOwnDocumentAndNeverEditedInPlace)
{
    const int n = paidSale();  // 11,600 + 2,500, in cash
    const SaleDocumentKey original{"01", "POS", n};
    {
        // The change window's scope does not open an issued sale's lines.
        DocumentModule::Correction correction(*dm);
        ASSERT_TRUE(dm->openDocument("01", "POS", n));
        EXPECT_THROW(dm->changeLine({{"CANTIDAD", 3.0}}), DocumentClosed);
    }
    EXPECT_EQ(db->scalar("SELECT NETO FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", n}}).toDouble(), 14100);

    // The correction is a new sale, a copy of the original, changed by the cashier.
    const int nuevo = startCorrection(*dm, original);
    EXPECT_EQ(nuevo, n + 1);
    EXPECT_EQ(dm->TIniFac["CONSECUTIVO"].asInteger(), nuevo);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N", {{"N", nuevo}}).toInt(), 2);
    EXPECT_TRUE(correctionChangesNothing(*dm, original, {"01", "POS", nuevo}));
    ASSERT_TRUE(dm->TFac.Locate("LINEA", 2));
    ASSERT_TRUE(dm->changeLine({{"CANTIDAD", 3.0}}));  // the 2,500 line becomes 7,500
    EXPECT_FALSE(correctionChangesNothing(*dm, original, {"01", "POS", nuevo}));

    const CorrectionOutcome done = replaceSale(*dm, original, {"01", "POS", nuevo});
    EXPECT_EQ(done.nuevo, nuevo);
    EXPECT_EQ(done.before, 14100);
    EXPECT_EQ(done.after, 19100);
    EXPECT_TRUE(done.cash);
    EXPECT_EQ(correctionText(original, done),
              QStringLiteral("La factura %1 quedó anulada con su nota de ajuste y la reemplaza la factura %2.\n"
                             "Valor anterior: 14,100.00\nValor nuevo: 19,100.00\nCobre al cliente en efectivo: 5,000.00")
                  .arg(n)
                  .arg(nuevo));

    // The original: voided, its note stating what was issued; the new sale: paid as the original
    // was, with its own document for its own amount.
    EXPECT_EQ(status(n).toString().trimmed(), "I");
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N", {{"N", n}}).toInt(), 0);
    EXPECT_EQ(payable(storedDocument(*db, "01", "POS", n, kTipoNotaAjuste)), 1410000);
    EXPECT_EQ(status(nuevo).toString().trimmed(), "I");
    EXPECT_EQ(db->scalar("SELECT TIPODEPAGO FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", nuevo}}).toString().trimmed(), "C");
    EXPECT_EQ(payable(storedDocument(*db, "01", "POS", nuevo)), 1910000);
    EXPECT_EQ(kvtest::headersUnlikeTheirLines(*db), 0);
    // The trail: the correction with both amounts, and the original's cash going back (the new
    // sale is counted whole as a cash sale).
    QSqlQuery q = db->exec("SELECT EVENTO, CONSECUTIVO, CAJERO, VALORANTES, VALORDESPUES FROM POSBITACORA ORDER BY ID");
    QStringList trail;
    while (q.next())
        trail << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(q.value(0).toString())
                     .arg(q.value(1).toInt())
                     .arg(q.value(2).toInt())
                     .arg(q.value(3).toDouble())
                     .arg(q.value(4).toDouble());
    EXPECT_EQ(trail, QStringList({QStringLiteral("DEVOLUCION %1 11 14100 0").arg(n),
                                  QStringLiteral("CORRECCION %1 11 14100 19100").arg(n)}));
}

TEST_F(ElectronicClosingTest, AReplacementThatCannotBeIssuedStoresNothingAndAGivenUpCorrectionLeavesNothing)
{
    const int n = paidSale();
    const SaleDocumentKey original{"01", "POS", n};
    const int nuevo = startCorrection(*dm, original);
    ASSERT_TRUE(dm->TFac.Locate("LINEA", 2));
    ASSERT_TRUE(dm->changeLine({{"CANTIDAD", 2.0}}));
    // The range ends at the original's number: the new sale cannot get its document.
    settings.rangoHasta = n;
    saveElectronicSettings(*db, settings);
    EXPECT_THROW(replaceSale(*dm, original, {"01", "POS", nuevo}), Failure);
    EXPECT_EQ(documents("94"), 0);
    EXPECT_EQ(db->scalar("SELECT NETO FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", n}}).toDouble(), 14100);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N", {{"N", n}}).toInt(), 2);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSBITACORA").toInt(), 0);
    // Given up: the new sale goes with its lines, and its number is free again.
    dropCorrection(*dm, {"01", "POS", nuevo});
    EXPECT_TRUE(status(nuevo).isNull());
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", nuevo}}).toInt(), 0);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N", {{"N", nuevo}}).toInt(), 0);
    // A paid sale is never taken for a correction's new sale.
    dropCorrection(*dm, original);
    EXPECT_EQ(status(n).toString().trimmed(), "I");
}

TEST_F(ElectronicClosingTest, TheDrawerOpensOnlyForAPaymentThatIsStored)
{
    const QString drawer = dir.filePath("cajon.bin");
    EnvScope raw("KORVELA_RAW_TO", drawer.toUtf8());
    auto pulses = [&] {
        QFile f(drawer);
        return f.open(QIODevice::ReadOnly) ? f.readAll().count(QByteArray::fromHex("1b70306464")) : 0;
    };
    const auto printed = [](const SaleDocumentKey&) { return PrintResult::Printed; };
    settings.rangoHasta = 0;  // used up: the closing cannot be stored
    saveElectronicSettings(*db, settings);
    const int n = kvtest::startDocument(*dm);
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 2500}));
    for (int attempt = 0; attempt < 2; ++attempt)
        EXPECT_THROW(closeSale(*dm, printed, 5000), Failure);
    EXPECT_EQ(pulses(), 0);
    EXPECT_TRUE(status(n).isNull());

    settings.rangoHasta = 1000;
    saveElectronicSettings(*db, settings);
    EXPECT_EQ(closeSale(*dm, printed, 5000), SaleClosing::Closed);
    EXPECT_EQ(pulses(), 1);
    EXPECT_EQ(status(n).toString().trimmed(), "I");
}

TEST_F(ElectronicClosingTest, TheCashierCorrectsAnIssuedSaleFromTheMenuAndIsToldBothNumbersAndTheMoney)
{
    const int n = paidSale();  // 11,600 + 2,500 in cash
    const int selling = kvtest::startDocument(*dm);  // the sale on the screen meanwhile
    db->exec("UPDATE POSCAJEROS SET CAMBIAPRECIO = 'S' WHERE CEDULA = 11");
    dm->TCajero.RefreshRecord();
    QDir printed(dir.filePath("facturas"));
    QDir().mkpath(printed.path());
    EnvScope printTo("KORVELA_PRINT_TO", printed.path().toUtf8());

    // The first time the cashier leaves the window without changing anything: nothing happens.
    dialogs.inputs = {QString::number(n)};
    kvtest::whenShown<TFrmVentaCajaCambio>([](TFrmVentaCajaCambio* w) { QTest::keyClick(w->DBGrid1, Qt::Key_Escape); });
    CambiaFactura(*dm, nullptr);
    EXPECT_EQ(dialogs.texts("message"), QStringList{QStringLiteral("No se cambió nada: la factura %1 queda como estaba.").arg(n)});
    EXPECT_EQ(db->scalar("SELECT MAX(CONSECUTIVO) FROM POSMOVIMIENTO").toInt(), selling);
    dialogs.clear();

    // Then the coffee goes from one to two, and the cashier confirms.
    dialogs.inputs = {QString::number(n)};
    dialogs.answers = {true};
    QString title;
    kvtest::whenShown<TFrmVentaCajaCambio>([&title](TFrmVentaCajaCambio* w) {
        title = w->windowTitle();
        DbGrid* g = w->DBGrid1;
        QAbstractItemModel* m = g->model();
        g->setCurrentIndex(m->index(1, w->column("CANTIDAD")));
        m->setData(m->index(1, w->column("CANTIDAD")), 2);
        QTest::keyClick(g, Qt::Key_Return);
        QTest::keyClick(g, Qt::Key_Escape);
    });
    CambiaFactura(*dm, nullptr);
    const int nuevo = selling + 1;
    EXPECT_EQ(title, QStringLiteral("Cambios a  la Factura %1 (nueva factura %2)").arg(n).arg(nuevo));
    EXPECT_EQ(QStringList(dialogs.texts("confirm") + dialogs.texts("message")),
              QStringList({QStringLiteral("¿Reemplazar la factura %1 por la factura %2 de 16,600.00? La factura %1 se anula "
                                          "con su nota de ajuste.")
                               .arg(n)
                               .arg(nuevo),
                           QStringLiteral("La factura %1 quedó anulada con su nota de ajuste y la reemplaza la factura %2.\n"
                                          "Valor anterior: 14,100.00\nValor nuevo: 16,600.00\nCobre al cliente en efectivo: "
                                          "2,500.00")
                               .arg(n)
                               .arg(nuevo)}));
    EXPECT_EQ(printed.entryList({"*.pdf"}, QDir::Files).size(), 1);  // the new sale's invoice
    EXPECT_EQ(payable(storedDocument(*db, "01", "POS", nuevo)), 1660000);
    EXPECT_EQ(dm->TIniFac["CONSECUTIVO"].asInteger(), selling);  // back on the sale being made
}

}  // namespace
