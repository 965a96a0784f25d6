#include "DianHarness.h"

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

}  // namespace kvtest

namespace kvtest {

void SenderTest::SetUp()
{
    DbTest::SetUp();
    const QString p12 = dir.filePath(QStringLiteral("tienda.p12"));
    kv::makeTestCertificate(p12, QStringLiteral("clave-tienda"), QStringLiteral("Minimercado de Prueba"),
                            QStringLiteral("900123456"), QDateTime::currentDateTimeUtc().addDays(-1), 30);
    cert = kv::loadCertificate(p12, QStringLiteral("clave-tienda"));
    settings.empresa = QStringLiteral("1");
    settings.activo = true;
    settings.ambiente = 2;
    settings.softwareId = QStringLiteral("56f2ae4e-9812-4fad-9255-643fcc5c3b1a");
    settings.softwarePin = QStringLiteral("12345");
    settings.certificado = p12;
    settings.claveCertificado = QStringLiteral("clave-tienda");
    settings.resolucion = QStringLiteral("18760000001");
    settings.prefijo = QStringLiteral("EPOS");
    settings.rangoDesde = 1;
    settings.rangoHasta = 5000000;
    settings.fechaDesde = QDate::currentDate().addYears(-1);
    settings.fechaHasta = QDate::currentDate().addYears(1);
    settings.placaCaja = QStringLiteral("CAJA-001");
    settings.ubicacionCaja = QStringLiteral("Calle 10 # 5-20");
    settings.tipoCaja = QStringLiteral("Caja registradora");
    settings.fabricanteNombre = QStringLiteral("Equipo Korvela");
    settings.fabricanteRazonSocial = QStringLiteral("Korvela SAS");
    settings.fabricanteSoftware = QStringLiteral("KorvelaPos");
    settings.proveedorNit = QStringLiteral("900123456");
    standIn = std::make_unique<StandIn>(settings.softwarePin,
                                        QStringLiteral(KV_EINVOICE_TEST_DIR "/schemas/documento-dian.xsd"));
    settings.servicio = standIn->serviceUrl();
    kv::saveElectronicSettings(*db, settings, keyFile());
}

QString SenderTest::addDocument(int n, const QDateTime& issued)
{
    kv::PosDocument d;
    d.prefijo = settings.prefijo;
    d.numero = settings.prefijo + QString::number(n);
    d.issued = issued;
    d.seller = {QStringLiteral("900123456"), QStringLiteral("7"), QStringLiteral("31"), true,
                QStringLiteral("Minimercado de Prueba SAS"), QStringLiteral("Calle 10 # 5-20"), QStringLiteral("11001"),
                QStringLiteral("6015550000"), QStringLiteral("ventas@prueba.co")};
    d.buyer = {kv::kConsumidorFinalId, QString(), QStringLiteral("13"), false, kv::kConsumidorFinalNombre,
               QString(), QString(), QString(), QString()};
    d.lines.push_back({QStringLiteral("7701"), QStringLiteral("Arroz 500 g"), 2, 500000, 19, 95000, 0, 0});
    d.lines.push_back({QStringLiteral("7702"), QStringLiteral("Leche 1 l"), 1, 420000, 5, 21000, 0, 0});
    d.cashier = QStringLiteral("1");
    d.saleCode = QString::number(n);
    const kv::BuiltDocument built = kv::buildSignedDocument(d, settings, cert, issued);
    const QDateTime co = kv::colombianTime(issued);
    db->exec(QStringLiteral("INSERT INTO POSDOCUMENTOELECTRONICO (EMPRESA, DOCUMENTO, CONSECUTIVO, TIPO, NUMERO, CUDE, "
                            "FECHA, XML, ESTADO, INTENTOS) VALUES ('1', 'POS', :N, '20', :NUMERO, :CUDE, :FECHA, :XML, "
                            "'P', 0)"),
             {{QStringLiteral("N"), n},
              {QStringLiteral("NUMERO"), d.numero},
              {QStringLiteral("CUDE"), built.cude},
              {QStringLiteral("FECHA"), QDateTime(co.date(), co.time())},
              {QStringLiteral("XML"), QString::fromUtf8(built.xml)}});
    return built.cude;
}

kv::dian::ConfigSource SenderTest::config()
{
    kv::dian::ConfigSource fromSettings = kv::dian::settingsConfig(*db, keyFile());
    return [fromSettings](const QString& empresa) {
        auto c = fromSettings(empresa);
        if (c)
            c->timeoutMs = 1500;
        return c;
    };
}

QVariant SenderTest::column(int n, const char* name)
{
    // CHAR columns come back padded to their width in bytes.
    const QVariant v = db->scalar(QStringLiteral("SELECT %1 FROM POSDOCUMENTOELECTRONICO WHERE EMPRESA = '1' AND DOCUMENTO = 'POS' "
                                     "AND CONSECUTIVO = :N AND TIPO = '20'").arg(QLatin1String(name)),
                      {{QStringLiteral("N"), n}});
    return v.typeId() == QMetaType::QString ? QVariant(v.toString().trimmed()) : v;
}

}  // namespace kvtest
