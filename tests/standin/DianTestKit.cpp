#include "DianTestKit.h"

#include "common/Errors.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace kvtest {

namespace {

void run(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("openssl"), args);
    p.waitForFinished(60000);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw kv::Failure(QStringLiteral("openssl %1: %2").arg(args.join(QLatin1Char(' ')),
                                                               QString::fromLocal8Bit(p.readAllStandardError())));
}

QByteArray slurp(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

}  // namespace

TestCertificate::TestCertificate(const QString& subject, int days)
{
    keyPem = dir.filePath(QStringLiteral("key.pem"));
    certPem = dir.filePath(QStringLiteral("cert.pem"));
    p12 = dir.filePath(QStringLiteral("cert.p12"));
    const QString der = dir.filePath(QStringLiteral("cert.der"));
    run({QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
         QStringLiteral("-nodes"), QStringLiteral("-keyout"), keyPem, QStringLiteral("-out"), certPem,
         QStringLiteral("-days"), QString::number(days), QStringLiteral("-subj"), subject});
    run({QStringLiteral("x509"), QStringLiteral("-in"), certPem, QStringLiteral("-outform"), QStringLiteral("DER"),
         QStringLiteral("-out"), der});
    run({QStringLiteral("pkcs12"), QStringLiteral("-export"), QStringLiteral("-inkey"), keyPem, QStringLiteral("-in"),
         certPem, QStringLiteral("-out"), p12, QStringLiteral("-passout"), QStringLiteral("pass:") + password});
    identity.keyPem = slurp(keyPem);
    identity.certDer = slurp(der);
}

QString dianSchema() { return QStringLiteral(KV_DIAN_SCHEMA); }

StandIn::StandIn(const QString& pin, const QString& schema)
{
    QStringList args;
    if (!pin.isEmpty())
        args << QStringLiteral("--pin") << pin;
    if (!schema.isEmpty())
        args << QStringLiteral("--schema") << schema;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(KV_DIAN_STANDIN), args);
    if (!process_.waitForReadyRead(30000))
        throw kv::Failure(QStringLiteral("the DIAN stand-in did not start"));
    const QByteArray line = process_.readLine().trimmed();
    if (!line.startsWith("PORT "))
        throw kv::Failure(QStringLiteral("the DIAN stand-in said: ") + QString::fromUtf8(line));
    port_ = line.mid(5).toInt();
}

StandIn::~StandIn()
{
    process_.kill();
    process_.waitForFinished(10000);
}

QString StandIn::serviceUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/WcfDianCustomerServices.svc").arg(port_);
}

void StandIn::control(const QString& mode, int count, const QStringList& rules)
{
    QByteArray body = "mode=" + mode.toUtf8() + '\n';
    if (count >= 0)
        body += "count=" + QByteArray::number(count) + '\n';
    if (!rules.isEmpty())
        body += "rules=" + rules.join(QLatin1Char(';')).toUtf8() + '\n';
    http("POST", QStringLiteral("/control"), body, "text/plain");
}

QStringList StandIn::received()
{
    const QString text = QString::fromUtf8(http("GET", QStringLiteral("/received"), {}, {}).second);
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

std::pair<int, QByteArray> StandIn::postRaw(const QByteArray& body, const QByteArray& contentType)
{
    return http("POST", QStringLiteral("/WcfDianCustomerServices.svc"), body, contentType);
}

std::pair<int, QByteArray> StandIn::http(const QByteArray& verb, const QString& path, const QByteArray& body,
                                         const QByteArray& contentType)
{
    QNetworkAccessManager net;
    QNetworkRequest req(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path)));
    if (!contentType.isEmpty())
        req.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    req.setTransferTimeout(20000);
    QNetworkReply* r = verb == "GET" ? net.get(req) : net.post(req, body);
    QEventLoop loop;
    QObject::connect(r, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    std::pair<int, QByteArray> out{r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), r->readAll()};
    delete r;
    return out;
}

kv::ElectronicSettings testShopSettings(const QString& certificate, const QString& password)
{
    kv::ElectronicSettings s;
    s.empresa = QStringLiteral("1");
    s.activo = true;
    s.ambiente = 2;
    s.softwareId = QStringLiteral("56f2ae4e-9812-4fad-9255-643fcc5c3b1a");
    s.softwarePin = QStringLiteral("12345");
    s.certificado = certificate;
    s.claveCertificado = password;
    s.resolucion = QStringLiteral("18760000001");
    s.prefijo = QStringLiteral("EPOS");
    s.rangoDesde = 1;
    s.rangoHasta = 5000000;
    s.fechaDesde = QDate::currentDate().addYears(-1);
    s.fechaHasta = QDate::currentDate().addYears(1);
    s.placaCaja = QStringLiteral("CAJA-001");
    s.ubicacionCaja = QStringLiteral("Calle 10 # 5-20");
    s.tipoCaja = QStringLiteral("Caja registradora");
    s.fabricanteNombre = QStringLiteral("Equipo Korvela");
    s.fabricanteRazonSocial = QStringLiteral("Korvela SAS");
    s.fabricanteSoftware = QStringLiteral("KorvelaPos");
    s.proveedorNit = QStringLiteral("900123456");
    return s;
}

}  // namespace kvtest