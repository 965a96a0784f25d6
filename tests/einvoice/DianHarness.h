#pragma once
// What the sender's tests share: a throw-away certificate made with the openssl program in a
// temporary folder, and the DIAN stand-in (kv_dian_standin) started on 127.0.0.1 for the length
// of a test.
#include "einvoice/DianSoap.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace kvtest {

struct TestCertificate {
    QTemporaryDir dir;
    QString keyPem, certPem, p12;  // file paths
    QString password = QStringLiteral("clave-de-prueba");
    kv::dian::WsIdentity identity;  // the key and certificate as the envelope takes them
    // A self-signed RSA certificate valid for `days` days, made once per call.
    explicit TestCertificate(const QString& subject = QStringLiteral("/CN=Minimercado de Prueba/O=Prueba/C=CO"), int days = 30);
};

class StandIn {
public:
    // pin: recompute each document's CUDE with it; schema: validate each document against it.
    explicit StandIn(const QString& pin = QString(), const QString& schema = QString());
    ~StandIn();
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    QString serviceUrl() const;
    // "mode=..." and the other lines the stand-in reads on /control.
    void control(const QString& mode, int count = -1, const QStringList& rules = {});
    // One line per request received: method, "ok" or what failed, zip name, CUDE.
    QStringList received();
    // Posts raw bytes to the service address and returns the HTTP status and the body.
    std::pair<int, QByteArray> postRaw(const QByteArray& body, const QByteArray& contentType);

private:
    std::pair<int, QByteArray> http(const QByteArray& verb, const QString& path, const QByteArray& body,
                                    const QByteArray& contentType);
    QProcess process_;
    int port_ = 0;
};

}  // namespace kvtest

#include "einvoice/Certificate.h"
#include "einvoice/DianSender.h"
#include "einvoice/PosDocument.h"
#include "support/TestDb.h"

namespace kvtest {

// A fresh POS database whose company "1" sends its documents to a stand-in started for the test,
// which recomputes their CUDE with the company's PIN and validates them against the schemas;
// pending documents are added with addDocument, built and signed by the document library.
class SenderTest : public DbTest {
protected:
    void SetUp() override;
    QString keyFile() const { return dir.filePath(QStringLiteral("korvela.key")); }
    // Stores a signed document of a two-line sale numbered `n`, issued at `issued`, in state "P".
    QString addDocument(int n, const QDateTime& issued = QDateTime::currentDateTimeUtc());
    // The settings' configuration, with a short time-out so that silence is found quickly.
    kv::dian::ConfigSource config();
    QVariant column(int n, const char* name);

    std::unique_ptr<StandIn> standIn;
    kv::ElectronicSettings settings;
    kv::Certificate cert;
};

}  // namespace kvtest
