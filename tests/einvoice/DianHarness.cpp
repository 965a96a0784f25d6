#include "DianHarness.h"

namespace kvtest {

void SenderTest::SetUp()
{
    DbTest::SetUp();
    const QString p12 = dir.filePath(QStringLiteral("tienda.p12"));
    kv::makeTestCertificate(p12, QStringLiteral("clave-tienda"), QStringLiteral("Minimercado de Prueba"),
                            QStringLiteral("900123456"), QDateTime::currentDateTimeUtc().addDays(-1), 30);
    cert = kv::loadCertificate(p12, QStringLiteral("clave-tienda"));
    settings = testShopSettings(p12, QStringLiteral("clave-tienda"));
    standIn = std::make_unique<StandIn>(settings.softwarePin, dianSchema());
    settings.servicio = standIn->serviceUrl();
    kv::saveElectronicSettings(*db, settings, keyFile());
}

namespace {
kv::PosDocument twoLineSale(const kv::ElectronicSettings& settings, int n, const QDateTime& issued)
{
    kv::PosDocument d;
    d.prefijo = settings.prefijo;
    d.numero = settings.prefijo + QString::number(n);
    d.issued = issued;
    d.seller = {QStringLiteral("900123456"), QStringLiteral("7"), QStringLiteral("31"), true,
                QStringLiteral("Minimercado de Prueba SAS"), QStringLiteral("Calle 10 # 5-20"), QStringLiteral("11001"),
                QStringLiteral("6015550000"), QStringLiteral("ventas@prueba.co"), QStringLiteral("R-99-PN"),
                QStringLiteral("01"), QStringLiteral("11001")};
    d.buyer = {kv::kConsumidorFinalId, QString(), QStringLiteral("13"), false, kv::kConsumidorFinalNombre,
               QString(), QString(), QString(), QString(), QStringLiteral("R-99-PN"), QStringLiteral("ZZ"), QString()};
    d.lines.push_back({QStringLiteral("7701"), QStringLiteral("Arroz 500 g"), 2, 500000, 19, 95000, 0, 0});
    d.lines.push_back({QStringLiteral("7702"), QStringLiteral("Leche 1 l"), 1, 420000, 5, 21000, 0, 0});
    d.cashier = QStringLiteral("1");
    d.saleCode = QString::number(n);
    return d;
}
}  // namespace

// Signs the document and stores it pending, as the closing of a sale (tipo 20) or a void (94) does.
QString SenderTest::storePending(const kv::PosDocument& d, int n, const QString& tipo, const QDateTime& issued)
{
    const kv::BuiltDocument built = kv::buildSignedDocument(d, settings, cert, issued);
    const QDateTime co = kv::colombianTime(issued);
    db->exec(QStringLiteral("INSERT INTO POSDOCUMENTOELECTRONICO (EMPRESA, DOCUMENTO, CONSECUTIVO, TIPO, NUMERO, CUDE, "
                            "FECHA, XML, ESTADO, INTENTOS) VALUES ('1', 'POS', :N, :TIPO, :NUMERO, :CUDE, :FECHA, :XML, "
                            "'P', 0)"),
             {{QStringLiteral("N"), n},
              {QStringLiteral("TIPO"), tipo},
              {QStringLiteral("NUMERO"), d.numero},
              {QStringLiteral("CUDE"), built.cude},
              {QStringLiteral("FECHA"), QDateTime(co.date(), co.time())},
              {QStringLiteral("XML"), QString::fromUtf8(built.xml)}});
    return built.cude;
}

QString SenderTest::addDocument(int n, const QDateTime& issued)
{
    return storePending(twoLineSale(settings, n, issued), n, QStringLiteral("20"), issued);
}

QString SenderTest::addNote(int n, int note, const QDateTime& issued)
{
    kv::PosDocument d = twoLineSale(settings, n, issued);
    d.tipo = kv::kTipoNotaAjuste;
    d.refNumero = d.numero;
    d.refCude = column(n, "CUDE").toString();
    d.refDate = column(n, "FECHA").toDate();
    d.prefijo = kv::kPrefijoNotaAjuste;
    d.numero = kv::kPrefijoNotaAjuste + QString::number(note);
    return storePending(d, n, QStringLiteral("94"), issued);
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

QVariant SenderTest::column(int n, const char* name, const char* tipo)
{
    // CHAR columns come back padded to their width in bytes.
    const QVariant v = db->scalar(QStringLiteral("SELECT %1 FROM POSDOCUMENTOELECTRONICO WHERE EMPRESA = '1' AND DOCUMENTO = 'POS' "
                                     "AND CONSECUTIVO = :N AND TIPO = :TIPO").arg(QLatin1String(name)),
                      {{QStringLiteral("N"), n}, {QStringLiteral("TIPO"), QLatin1String(tipo)}});
    return v.typeId() == QMetaType::QString ? QVariant(v.toString().trimmed()) : v;
}

}  // namespace kvtest
