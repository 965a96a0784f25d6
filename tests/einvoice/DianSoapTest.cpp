// The envelope, the zip and the answers of the DIAN's service, checked against programs that are
// not ours: the xmlsec1 program verifies the WS-Security signature, the stand-in takes the
// envelope apart as the service does.
#include "DianHarness.h"

#include "einvoice/DianSoap.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace kv::dian;

namespace {

// xmlsec1's verdict on a signed envelope, told where the wsu:Id of wsa:To is.
bool xmlsecVerifies(const QByteArray& envelope, const kvtest::TestCertificate& cert)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("envelope.xml"));
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(envelope);
    f.close();
    QProcess p;
    p.start(QStringLiteral("xmlsec1"), {QStringLiteral("--verify"), QStringLiteral("--pubkey-cert-pem"), cert.certPem,
                                        QStringLiteral("--id-attr:Id"), QStringLiteral("To"), file});
    p.waitForFinished(30000);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

Request billRequest(const QString& to)
{
    Request r;
    r.method = Method::SendBillSync;
    r.to = to;
    r.fileName = QStringLiteral("z090012345600026000004d2.zip");
    r.zip = zipFiles({{QStringLiteral("fv090012345600026000004d2.xml"), QByteArray("<Invoice/>")}});
    return r;
}

}  // namespace

TEST(DianSoap, EnvelopeSignatureCoversTheAddressAndNothingElseBreaksIt)
{
    kvtest::TestCertificate cert;
    const QByteArray env = buildEnvelope(billRequest(QStringLiteral("https://vpfe-hab.dian.gov.co/WcfDianCustomerServices.svc")),
                                         cert.identity, QDateTime::currentDateTimeUtc());
    EXPECT_TRUE(env.contains("<wsa:Action>http://wcf.dian.colombia/IWcfDianCustomerServices/SendBillSync</wsa:Action>"));
    EXPECT_TRUE(env.contains("BinarySecurityToken"));
    EXPECT_TRUE(env.contains("xml-exc-c14n#"));
    EXPECT_TRUE(env.contains("rsa-sha256"));
    EXPECT_TRUE(xmlsecVerifies(env, cert));

    // The address changed after signing: refused. Another certificate: refused.
    QByteArray moved = env;
    moved.replace("vpfe-hab.dian.gov.co", "vpfe-hub.dian.gov.co");
    EXPECT_FALSE(xmlsecVerifies(moved, cert));
    kvtest::TestCertificate other(QStringLiteral("/CN=Otro/C=CO"));
    EXPECT_FALSE(xmlsecVerifies(env, other));
}

TEST(DianSoap, TheStandInTakesTheEnvelopeApartAsTheServiceDoes)
{
    kvtest::TestCertificate cert;
    kvtest::StandIn standIn;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    Request status;
    status.method = Method::GetStatusZip;
    status.to = standIn.serviceUrl();
    status.trackId = QStringLiteral("clave");

    struct Case {
        const char* what;
        QByteArray body;
        const char* verdict;
    };
    QByteArray wrongAction = buildEnvelope(status, cert.identity, now);
    wrongAction.replace("IWcfDianCustomerServices/GetStatusZip", "IWcfDianCustomerServices/GetStatus");
    QByteArray otherTrack = buildEnvelope(status, cert.identity, now);
    otherTrack.replace("<wcf:trackId>clave</wcf:trackId>", "<wcf:trackId>otra</wcf:trackId>");
    Request elsewhere = status;
    elsewhere.to = QStringLiteral("http://127.0.0.1:1/WcfDianCustomerServices.svc");
    const Case cases[] = {
        {"signed now", buildEnvelope(status, cert.identity, now), "ok"},
        // the body is not signed (only wsa:To is, as the service asks), so this one passes too
        {"body changed", otherTrack, "ok"},
        {"stale time stamp", buildEnvelope(status, cert.identity, now.addSecs(-2 * kTimestampLifeSeconds)), "sello de tiempo"},
        {"action of another method", wrongAction, "wsa:Action"},
        {"addressed elsewhere", buildEnvelope(elsewhere, cert.identity, now), "wsa:To"},
    };
    for (const Case& c : cases) {
        const auto [status_, body] = standIn.postRaw(c.body, "application/soap+xml; charset=utf-8");
        const QString last = standIn.received().value(-1);
        EXPECT_TRUE(standIn.received().last().section(QLatin1Char('\t'), 1, 1).contains(QLatin1String(c.verdict)))
            << c.what << ": " << last.toStdString();
        EXPECT_EQ(status_, QString::fromLatin1(c.verdict) == QLatin1String("ok") ? 200 : 500) << c.what;
    }
    // A signature value altered: the stand-in refuses it.
    QByteArray forged = buildEnvelope(status, cert.identity, now);
    const qsizetype at = forged.indexOf("<ds:SignatureValue>") + 25;
    forged[at] = forged[at] == 'A' ? 'B' : 'A';
    standIn.postRaw(forged, "application/soap+xml");
    EXPECT_TRUE(standIn.received().last().contains(QStringLiteral("firma inválida"))) << standIn.received().last().toStdString();
}

TEST(DianSoap, AnswersAreReadIntoTheirVerdict)
{
    const QByteArray head = "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"><s:Body>"
                            "<SendBillSyncResponse xmlns=\"http://wcf.dian.colombia\"><SendBillSyncResult "
                            "xmlns:b=\"http://schemas.datacontract.org/2004/07/DianResponse\" "
                            "xmlns:c=\"http://schemas.microsoft.com/2003/10/Serialization/Arrays\">";
    const QByteArray tail = "</SendBillSyncResult></SendBillSyncResponse></s:Body></s:Envelope>";
    const Answer accepted = parseAnswer(
        head + "<b:ErrorMessage><c:string>Regla: FAJ44b, Notificación: Nit o Documento de Identificación informado "
               "No se encuentra registrado en el RUT.</c:string></b:ErrorMessage><b:IsValid>true</b:IsValid>"
               "<b:StatusCode>00</b:StatusCode><b:StatusDescription>Procesado Correctamente.</b:StatusDescription>"
               "<b:XmlBase64Bytes>PEFwcGxpY2F0aW9uUmVzcG9uc2UvPg==</b:XmlBase64Bytes>"
               "<b:XmlDocumentKey>abc123</b:XmlDocumentKey>" + tail);
    EXPECT_TRUE(accepted.accepted());
    EXPECT_FALSE(accepted.rejected());
    EXPECT_EQ(accepted.documentKey, QStringLiteral("abc123"));
    EXPECT_EQ(accepted.applicationResponse, QByteArray("<ApplicationResponse/>"));
    ASSERT_EQ(accepted.notices.size(), 1);
    EXPECT_TRUE(accepted.rejections.isEmpty());

    // A notice beside rejections stays a notice; the rule lines are kept whole.
    const Answer rejected = parseAnswer(
        head + "<b:ErrorMessage><c:string>Regla: FAD06, Rechazo: El valor del CUDE no está calculado "
               "correctamente.</c:string><c:string>Regla: FAJ44b, Notificación: aviso</c:string>"
               "<c:string>Regla: FAU04, Rechazo: Valor total no coincide.</c:string></b:ErrorMessage>"
               "<b:IsValid>false</b:IsValid><b:StatusCode>99</b:StatusCode>" + tail);
    EXPECT_TRUE(rejected.rejected());
    EXPECT_EQ(rejected.rejections,
              (QStringList{QStringLiteral("Regla: FAD06, Rechazo: El valor del CUDE no está calculado correctamente."),
                           QStringLiteral("Regla: FAU04, Rechazo: Valor total no coincide.")}));
    EXPECT_TRUE(rejected.messages().startsWith(QStringLiteral("Regla: FAD06")));
    EXPECT_TRUE(rejected.messages().endsWith(QStringLiteral("Notificación: aviso")));

    // Still in process: neither accepted nor rejected.
    const Answer inProcess = parseAnswer(head + "<b:IsValid>false</b:IsValid><b:StatusCode>66</b:StatusCode>"
                                                "<b:StatusDescription>Batch en proceso de validación.</b:StatusDescription>" + tail);
    EXPECT_FALSE(inProcess.accepted());
    EXPECT_FALSE(inProcess.rejected());

    const Answer fault = parseAnswer("<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"><s:Body><s:Fault>"
                                     "<s:Reason><s:Text>An error occurred when verifying security for the message."
                                     "</s:Text></s:Reason></s:Fault></s:Body></s:Envelope>");
    EXPECT_TRUE(fault.fault);
    EXPECT_FALSE(fault.accepted() || fault.rejected());
    EXPECT_EQ(fault.faultText, QStringLiteral("An error occurred when verifying security for the message."));

    EXPECT_THROW(parseAnswer("<html><body>Service Unavailable"), DianError);
}

TEST(DianSoap, ZipCarriesTheDocumentUnderTheDianName)
{
    EXPECT_EQ(dianFileName(QStringLiteral("z"), QStringLiteral("900.123.456"), 2026, 1234, QStringLiteral("zip")),
              QStringLiteral("z090012345600026000004d2.zip"));
    EXPECT_EQ(dianFileName(QStringLiteral("fv"), QStringLiteral("8001972684"), 2030, 0xffffffffu, QStringLiteral("xml")),
              QStringLiteral("fv800197268400030ffffffff.xml"));

    const QByteArray doc = QByteArray("<Invoice>ñandú</Invoice>").repeated(200);
    const auto files = unzipFiles(zipFiles({{QStringLiteral("fv090012345600026000004d2.xml"), doc}}));
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files[0].first, QStringLiteral("fv090012345600026000004d2.xml"));
    EXPECT_EQ(files[0].second, doc);
    EXPECT_THROW(unzipFiles("PK not really"), DianError);
}
