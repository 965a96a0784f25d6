// The demo issues electronic documents from the start: its certificate, its settings (secrets
// sealed with the demo's key), every paid sale with its signed document; and the database tool
// hands a sale's stored document out byte for byte.
#include "DocumentSamples.h"
#include "einvoice/DemoElectronic.h"
#include "einvoice/ElectronicDocument.h"
#include "einvoice/Settings.h"
#include "einvoice/Cude.h"
#include "platform/EnvScope.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;

namespace {
// Runs the database tool as a user does; its standard output, and its exit code in `code`.
QByteArray tool(const QStringList& args, int* code, QByteArray* err = nullptr)
{
    QProcess p;
    p.start(QStringLiteral(KV_DB_TOOL), args);
    p.waitForFinished(300000);
    *code = p.exitCode();
    if (err)
        *err = p.readAllStandardError();
    return p.readAllStandardOutput();
}
}  // namespace

TEST(DemoDocuments, TheDemosPaidSalesCarryTheirSignedDocumentsAndTheToolPrintsThemAsStored)
{
    // The demo made by the tool, and a stored document handed out by it, before this process
    // opens the database (the embedded engine keeps a file to one process at a time).
    QTemporaryDir dir;
    int code = 0;
    QByteArray err;
    tool({"demo", dir.path()}, &code, &err);
    ASSERT_EQ(code, 0) << err.toStdString();
    const QByteArray printed = tool({"documento", dir.filePath("korvela.fdb"), "01", "POS", "1"}, &code, &err);
    EXPECT_EQ(code, 0) << err.toStdString();
    tool({"documento", dir.filePath("korvela.fdb"), "01", "POS", "999999"}, &code, &err);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(err.contains("no tiene documento electronico"));
    EXPECT_TRUE(QFile::exists(dir.filePath("certificado-demo.p12")));
    EXPECT_TRUE(QFile::exists(dir.filePath("korvela.key")));

    Connection c("DemoCheck");
    c.setLocation(dir.filePath("korvela.fdb"));
    c.open();
    const auto s = loadElectronicSettings(c, "01", dir.filePath("korvela.key"));
    ASSERT_TRUE(s.has_value());
    EXPECT_TRUE(s->activo);
    EXPECT_EQ(s->ambiente, 2);
    EXPECT_EQ(s->softwarePin, kDemoSoftwarePin);
    const int paid = c.scalar("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE STATUS = 'I' AND NETO <> 0").toInt();
    EXPECT_GT(paid, 100);
    EXPECT_EQ(c.scalar("SELECT COUNT(*) FROM POSDOCUMENTOELECTRONICO WHERE TIPO = '20' AND ESTADO = 'P'").toInt(), paid);
    const auto first = storedDocument(c, "01", "POS", 1);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(printed, first->xml);  // byte for byte

    // A restaurant sale: its own prefix, valid and verified as stored.
    QSqlQuery q = c.exec("SELECT FIRST 1 CONSECUTIVO, NUMERO FROM POSDOCUMENTOELECTRONICO WHERE DOCUMENTO = 'PRS' "
                         "ORDER BY CONSECUTIVO");
    ASSERT_TRUE(q.next());
    const int numero = q.value(0).toInt();
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("RST%1").arg(numero));
    const auto doc = storedDocument(c, "01", "PRS", numero);
    ASSERT_TRUE(doc.has_value());
    EXPECT_EQ(kvtest::schemaProblems(doc->xml).toStdString(), "");
    const Certificate cert = loadCertificate(dir.filePath("certificado-demo.p12"), kDemoCertificatePassword);
    EXPECT_TRUE(kvtest::xmlsecVerifies(doc->xml, cert));
    c.close();

    // Run again (the program does at every start on the demo), nothing is issued twice.
    setUpDemoElectronicDocuments(dir.filePath("DireccionBd.txt"));
    c.open();
    EXPECT_EQ(c.scalar("SELECT COUNT(*) FROM POSDOCUMENTOELECTRONICO").toInt(), paid);
}

TEST(DemoDocuments, EveryDocumentIsValidVerifiesAndStatesItsTaxesAsTheDianChecksThem)
{
    QTemporaryDir dir;
    int code = 0;
    QByteArray err;
    tool({"demo", dir.path()}, &code, &err);
    ASSERT_EQ(code, 0) << err.toStdString();
    EnvScope key("KORVELA_KEY_FILE", dir.filePath("korvela.key").toUtf8());
    Connection c("DemoEvery");
    c.setLocation(dir.filePath("korvela.fdb"));
    c.open();
    // Besides the demo's own (shop, restaurant, cash, cards, credit): a sale with a line discount,
    // and a voided sale's adjustment note.
    {
        Transaction t(c);
        const int n = c.scalar("SELECT MAX(CONSECUTIVO) FROM POSMOVIMIENTO WHERE DOCUMENTO = 'POS'").toInt() + 1;
        c.exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, STATUS, DESCUENTO, NETO, "
               "TIPODEPAGO) VALUES ('01', 'POS', :N, 1, CURRENT_TIMESTAMP, 'I', 1190, 10710, 'C')",
               {{"N", n}});
        c.exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, SUBTOTAL, "
               "IVA, VALORIVA, VALORDESCUENTO) SELECT FIRST 1 '01', 'POS', :N, 1, PRODUCTO, 1, 11900, 19, 1710, 1190 "
               "FROM PRODUCTOS",
               {{"N", n}});
        issueSaleDocument(c, "01", "POS", n);
        issueAdjustmentNote(c, "01", "PRS", c.scalar("SELECT MIN(CONSECUTIVO) FROM POSDOCUMENTOELECTRONICO WHERE "
                                                      "DOCUMENTO = 'PRS'").toInt());
        t.commit();
    }
    const Certificate cert = loadCertificate(dir.filePath("certificado-demo.p12"), kDemoCertificatePassword);
    QSqlQuery q = c.exec("SELECT d.NUMERO, d.TIPO, d.XML, m.NETO + COALESCE(m.VALORPROPINA, 0) FROM POSDOCUMENTOELECTRONICO d "
                         "JOIN POSMOVIMIENTO m ON m.EMPRESA = d.EMPRESA AND m.DOCUMENTO = d.DOCUMENTO AND "
                         "m.CONSECUTIVO = d.CONSECUTIVO ORDER BY d.FECHA");
    int documents = 0, notes = 0, discounted = 0, credit = 0, wrong = 0;
    QList<QByteArray> signedXmls;
    QStringList numbers;
    static const QRegularExpression payable(QStringLiteral("<cbc:PayableAmount currencyID=\"COP\">([^<]*)<"));
    static const QRegularExpression onCredit(QStringLiteral("<cac:PaymentMeans>\\s*<cbc:ID>2<"));
    while (q.next()) {
        const QString numero = q.value(0).toString();
        const QByteArray xml = q.value(2).toString().toUtf8();
        ++(q.value(1).toString().trimmed() == QLatin1String("20") ? documents : notes);
        discounted += xml.contains("<cbc:MultiplierFactorNumeric>");  // only a line's discount has one
        credit += onCredit.match(QString::fromUtf8(xml)).hasMatch();
        const QString problems = kvtest::schemaProblems(xml) + kvtest::amountProblems(xml);
        // What the customer paid never changes: the document asks for what the sale charged.
        const QString asked = payable.match(QString::fromUtf8(xml)).captured(1);
        const bool paidAsStored = asked == moneyText(toCents(q.value(3).toDouble()));
        if ((!problems.isEmpty() || !paidAsStored) && ++wrong <= 5)
            ADD_FAILURE() << numero.toStdString() << ": " << problems.toStdString()
                          << (paidAsStored ? "" : " payable changed");
        signedXmls << xml;
        numbers << numero;
    }
    for (int i : kvtest::xmlsecRefuses(signedXmls, cert))
        if (++wrong <= 10)
            ADD_FAILURE() << numbers[i].toStdString() << ": xmlsec1 does not verify its signature";
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(documents, 100);
    EXPECT_EQ(notes, 1);
    EXPECT_GE(discounted, 1);
    EXPECT_GE(credit, 1);
}
