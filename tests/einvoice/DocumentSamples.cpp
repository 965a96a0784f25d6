#include "DocumentSamples.h"

#include <QDir>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>
#include <libxml/xmlschemas.h>
#include <openssl/pem.h>

namespace kvtest {

using namespace kv;

QString sampleCertificatePath() { return QStringLiteral(KV_EINVOICE_TEST_DIR "/fixtures/firma-prueba.p12"); }

const Certificate& sampleCertificate()
{
    static const Certificate c = loadCertificate(sampleCertificatePath(), kSampleCertificatePassword);
    return c;
}

ElectronicSettings sampleSettings()
{
    ElectronicSettings s;
    s.empresa = QStringLiteral("1");
    s.activo = true;
    s.ambiente = 2;
    s.softwareId = QStringLiteral("56f2ae4e-9812-4fad-9255-643fcc5c3b1a");
    s.softwarePin = QStringLiteral("75315");
    s.testSetId = QStringLiteral("1e5a3c36-1d7b-4f3b-9f5e-2f1a7c0d9b11");
    s.certificado = sampleCertificatePath();
    s.claveCertificado = kSampleCertificatePassword;
    s.resolucion = QStringLiteral("18760000001");
    s.prefijo = QStringLiteral("EPOS");
    s.rangoDesde = 1;
    s.rangoHasta = 1000000;
    s.fechaDesde = QDate(2027, 1, 1);
    s.fechaHasta = QDate(2028, 12, 31);
    s.placaCaja = QStringLiteral("CAJA-01");
    s.ubicacionCaja = QStringLiteral("Calle 11 # 3-45, Bogotá");
    s.tipoCaja = QStringLiteral("Caja registradora POS");
    s.fabricanteNombre = QStringLiteral("Equipo Korvela");
    s.fabricanteRazonSocial = QStringLiteral("Korvela SAS");
    s.fabricanteSoftware = QStringLiteral("KorvelaPos");
    s.proveedorNit = QStringLiteral("900123456");
    return s;
}

QDateTime sampleIssueTime() { return QDateTime(QDate(2027, 3, 15), QTime(15, 30, 0), Qt::UTC); }

namespace {
DocumentParty seller()
{
    DocumentParty p;
    p.id = QStringLiteral("900123456");
    p.dv = QStringLiteral("8");
    p.idType = QStringLiteral("31");
    p.name = QStringLiteral("Minimercado & Restaurante La Candelaria");
    p.city = QStringLiteral("Bogotá");
    p.phone = QStringLiteral("6015550101");
    return p;
}
}  // namespace

PosDocument shopSale()
{
    PosDocument d;
    d.prefijo = QStringLiteral("EPOS");
    d.numero = QStringLiteral("EPOS1001");
    d.issued = sampleIssueTime();
    d.seller = seller();
    d.buyer.id = QStringLiteral("79123456");
    d.buyer.idType = QStringLiteral("13");
    d.buyer.company = false;
    d.buyer.name = QStringLiteral("Pedro Pérez");
    d.buyer.email = QStringLiteral("pedro@example.com");
    // 2 × 11 900 with IVA 19 % included, 1 × 4 200 with IVA 5 %, 1 × 3 500 without tax
    d.lines = {{QStringLiteral("1001"), QStringLiteral("Arroz Diana 1 kg"), 2, 2000000, 19, 380000, 0, 0},
               {QStringLiteral("1002"), QStringLiteral("Leche entera 1 l"), 1, 400000, 5, 20000, 0, 0},
               {QStringLiteral("1003"), QStringLiteral("Huevos AA x 6"), 1, 350000, 0, 0, 0, 0}};
    d.paymentMeansId = QStringLiteral("1");
    d.paymentMeansCode = QStringLiteral("48");
    d.cashier = QStringLiteral("Ana Gómez");
    d.saleCode = QStringLiteral("1-FV-1001");
    return d;
}

PosDocument restaurantSale()
{
    PosDocument d;
    d.prefijo = QStringLiteral("EPOS");
    d.numero = QStringLiteral("EPOS1002");
    d.issued = sampleIssueTime().addSecs(3600);
    d.seller = seller();
    d.buyer.id = kConsumidorFinalId;
    d.buyer.idType = QStringLiteral("13");
    d.buyer.company = false;
    d.buyer.name = kConsumidorFinalNombre;
    // 2 × 27 000 and 1 × 8 640 with INC 8 % included
    d.lines = {{QStringLiteral("2001"), QStringLiteral("Ajiaco santafereño"), 2, 5000000, 0, 0, 8, 400000},
               {QStringLiteral("2002"), QStringLiteral("Limonada de coco"), 1, 800000, 0, 0, 8, 64000}};
    d.discount = 100000;
    d.charge = 626400;
    d.cashier = QStringLiteral("Luis Rojas");
    d.saleCode = QStringLiteral("1-FV-1002");
    return d;
}

QString schemaProblems(const QByteArray& xml)
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    static xmlSchemaPtr schema = [] {
        xmlSchemaParserCtxtPtr p = xmlSchemaNewParserCtxt(KV_EINVOICE_TEST_DIR "/schemas/documento-dian.xsd");
        xmlSchemaPtr s = xmlSchemaParse(p);
        xmlSchemaFreeParserCtxt(p);
        return s;
    }();
    if (!schema)
        return QStringLiteral("the schemas did not load");
    static QString problems;
    problems.clear();
    xmlDocPtr doc = xmlReadMemory(xml.constData(), int(xml.size()), "documento.xml", nullptr, XML_PARSE_NONET);
    if (!doc)
        return QStringLiteral("not well formed");
    xmlSchemaValidCtxtPtr v = xmlSchemaNewValidCtxt(schema);
    xmlSchemaSetValidStructuredErrors(
        v, [](void*, xmlErrorPtr e) { problems += QStringLiteral("line %1: %2").arg(e->line).arg(QString::fromUtf8(e->message)); },
        nullptr);
    const int rc = xmlSchemaValidateDoc(v, doc);
    xmlSchemaFreeValidCtxt(v);
    xmlFreeDoc(doc);
    if (rc != 0 && problems.isEmpty())
        problems = QStringLiteral("invalid (%1)").arg(rc);
    return problems;
}

bool xmlsecVerifies(const QByteArray& xml, const Certificate& cert, QString* output)
{
    QTemporaryDir dir;
    QFile doc(dir.filePath(QStringLiteral("documento.xml")));
    doc.open(QIODevice::WriteOnly);
    doc.write(xml);
    doc.close();
    const QString pem = dir.filePath(QStringLiteral("cert.pem"));
    FILE* f = fopen(pem.toLocal8Bit().constData(), "w");
    PEM_write_X509(f, cert.cert.get());
    fclose(f);
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("xmlsec1"),
            {QStringLiteral("--verify"), QStringLiteral("--pubkey-cert-pem"), pem, QStringLiteral("--id-attr:Id"),
             QStringLiteral("http://uri.etsi.org/01903/v1.3.2#:SignedProperties"), QStringLiteral("--id-attr:Id"),
             QStringLiteral("http://www.w3.org/2000/09/xmldsig#:KeyInfo"), doc.fileName()});
    p.waitForFinished(30000);
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace kvtest
