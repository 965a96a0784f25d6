// A sale on the demo installation, all the way through: closed at a register with its electronic
// document, its receipt printed with the CUDE and a QR code that leads to it, sent by the sender
// to the stand-in of the DIAN (which checks the envelope, the signature, the schemas and the CUDE
// with the demo's PIN), accepted, and shown so on the back office's documents screen.
#include "DianTestKit.h"
#include "ShopFixture.h"
#include "backoffice/UntDocumentosElectronicos.h"
#include "einvoice/DemoElectronic.h"
#include "einvoice/DianSender.h"
#include "einvoice/ElectronicDocument.h"
#include "platform/EnvScope.h"
#include "print/InvoicePrinting.h"
#include "support/PdfReading.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;

TEST(ElectronicDemoEndToEnd, ASaleAtTheRegisterIsPrintedSentAcceptedAndShownAccepted)
{
    // The demo installation as a new user makes it, with its certificate, sealed settings and the
    // signed documents of its past sales.
    QTemporaryDir dir;
    QProcess tool;
    tool.start(QStringLiteral(KV_DB_TOOL), {QStringLiteral("demo"), dir.path()});
    tool.waitForFinished(300000);
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const QString keyFile = dir.filePath(QStringLiteral("korvela.key"));
    const QString printed = dir.filePath(QStringLiteral("impresos"));
    QDir().mkpath(printed);
    EnvScope key("KORVELA_KEY_FILE", keyFile.toUtf8());
    EnvScope printTo("KORVELA_PRINT_TO", printed.toUtf8());
    Connection db(QStringLiteral("Korvela"));
    db.setLocation(dir.filePath(QStringLiteral("korvela.fdb")));
    db.open();

    // The demo's cashier 1 sells two of a product whose price includes IVA 19 %, at register 1 of
    // company 01, and is paid.
    int n = 0;
    {
        TDmVentas dm(db);
        ASSERT_TRUE(dm.signOn(1));
        const int producto = db.scalar(QStringLiteral("SELECT FIRST 1 PRODUCTO FROM PRODUCTOS WHERE VALORIVA = 19 AND PRECIOMASIVA = 'S' ORDER BY PRODUCTO")).toInt();
        n = kvtest::startDocument(dm);
        ASSERT_TRUE(kvtest::ringUp(dm, {.producto = producto, .precio = 11900, .cantidad = 2, .iva = 19}));
        ASSERT_EQ(dm.closeWithPayment(1).kind, DocumentModule::ClosingOutcome::Closed);
    }
    const std::optional<StoredDocument> doc = storedDocument(db, QStringLiteral("01"), QStringLiteral("POS"), n);
    ASSERT_TRUE(doc.has_value());
    EXPECT_EQ(doc->estado, kEstadoPorEnviar);

    // Its receipt, printed the way the payment window prints it, carries the whole CUDE and a QR
    // code that reads as the DIAN's lookup address of this document.
    ASSERT_EQ(printInvoice(db, {QStringLiteral("01"), QStringLiteral("POS"), n}, invoicePrintFor(InvoiceCaller::MainPayment)),
              PrintResult::Printed);
    const QStringList pdfs = QDir(printed).entryList({QStringLiteral("*.pdf")});
    ASSERT_EQ(pdfs.size(), 1);
    const QString pdf = QDir(printed).filePath(pdfs.first());
    EXPECT_TRUE(kvtest::pdfText(pdf).remove(QRegularExpression(QStringLiteral("\\s"))).contains(doc->cude));
    EXPECT_EQ(kvtest::qrCodesInPdf(pdf), QStringList{lookupAddress(2, doc->cude)});

    // Every company of the installation sends to the stand-in instead of the DIAN.
    kvtest::StandIn standIn(kDemoSoftwarePin, kvtest::dianSchema());
    QStringList empresas;
    QSqlQuery q = db.exec(QStringLiteral("SELECT EMPRESA FROM POSCONFIGELECTRONICA"));
    while (db.next(q))
        empresas << q.value(0).toString().trimmed();
    for (const QString& empresa : empresas) {
        ElectronicSettings s = *loadElectronicSettings(db, empresa, keyFile);
        s.servicio = standIn.serviceUrl();
        saveElectronicSettings(db, s, keyFile);
    }
    // The demo is in the DIAN's test set: a round hands each zip in, a later one asks for its
    // verdict. The test does not wait out the pause between the two.
    dian::DianSender sender(db, dian::settingsConfig(db, keyFile));
    for (int round = 0; round < 20; ++round) {
        const dian::SendRound r = sender.sendDue();
        ASSERT_EQ(r.failed + r.rejected, 0) << standIn.received().join(QLatin1Char('\n')).toStdString();
        if (r.accepted + r.waiting == 0)
            break;
        db.exec(QStringLiteral("UPDATE POSDOCUMENTOELECTRONICO SET PROXIMOINTENTO = :T WHERE ESTADO = 'P' AND ZIPKEY IS NOT NULL"),
                {{QStringLiteral("T"), QDateTime::currentDateTime().addSecs(-1)}});
    }
    EXPECT_EQ(storedDocument(db, QStringLiteral("01"), QStringLiteral("POS"), n)->estado, kEstadoAceptado);
    // Every document of the demo passed the stand-in's checks, this sale's among them.
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM POSDOCUMENTOELECTRONICO WHERE ESTADO <> 'A'")).toInt(), 0);
    const QStringList received = standIn.received();
    for (const QString& line : received)
        EXPECT_EQ(line.section(QLatin1Char('\t'), 1, 1), QStringLiteral("ok")) << line.toStdString();
    EXPECT_EQ(received.filter(doc->cude).size(), 1);
    EXPECT_TRUE(received.filter(doc->cude).value(0).startsWith(QStringLiteral("SendTestSetAsync\tok")));

    // The back office opens its documents screen on today (Colombia's day, the day the documents
    // carry) and finds the sale accepted.
    TFrmDocumentosElectronicos f(db, nullptr, keyFile);
    f.show();
    f.CmbEstado->setCurrentIndex(f.CmbEstado->findText(QStringLiteral("Aceptados")));
    f.BtnConsultarClick();
    ASSERT_TRUE(f.QDocumentos().Locate(QStringLiteral("NUMERO"), doc->numero));
    EXPECT_EQ(f.QDocumentos()[QStringLiteral("ESTADOTEXTO")].asString(), QStringLiteral("Aceptado"));
    EXPECT_EQ(f.QDocumentos()[QStringLiteral("CUDE")].asString(), doc->cude);
    EXPECT_FALSE(f.BtnReenviar->isEnabled());
}
