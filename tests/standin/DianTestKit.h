#pragma once
// What the sender's tests and its benchmark share: a throw-away certificate made with the openssl
// program in a temporary folder, the DIAN stand-in (kv_dian_standin) started on 127.0.0.1 for as
// long as the object lives, and the electronic settings of a test shop.
#include "einvoice/DianSoap.h"
#include "einvoice/Settings.h"

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

// The wrapper schema that takes in UBL 2.1 and the DIAN's extensions (tests/einvoice/schemas).
QString dianSchema();

class StandIn {
public:
    // pin: recompute each document's CUDE with it; schema: validate each document against it
    // (dianSchema(): the whole document as the DIAN checks it).
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

// A shop of company "1" issuing documents in the test environment: software id and PIN 12345,
// prefix EPOS numbered 1 to 5,000,000 from a year ago to a year ahead, its register and the
// software maker, signing with the .p12 at `certificate`. No service address: the default one of
// the environment until the caller names another.
kv::ElectronicSettings testShopSettings(const QString& certificate, const QString& password);

}  // namespace kvtest
