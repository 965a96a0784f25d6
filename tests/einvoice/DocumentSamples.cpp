#include "DocumentSamples.h"

#include <QDir>
#include <QStringList>
#include <cmath>
#include <memory>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>
#include <libxml/xmlschemas.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
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
    p.cityCode = QStringLiteral("11001");
    p.address = QStringLiteral("Calle 11 # 3-45");
    p.phone = QStringLiteral("6015550101");
    p.taxScheme = QStringLiteral("ZA");
    p.taxLevelCode = QStringLiteral("O-13");
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
    // 2 × 11 900 with IVA 19 % included, 1 × 4 200 with IVA 5 %, 1 × 3 500 without tax, and
    // 1 × 11 900 with IVA 19 % less a discount of 1 190: base 9 000 (10 000 less 1 000), IVA 1 710
    d.lines = {{QStringLiteral("1001"), QStringLiteral("Arroz Diana 1 kg"), 2, 2000000, 19, 380000, 0, 0},
               {QStringLiteral("1002"), QStringLiteral("Leche entera 1 l"), 1, 400000, 5, 20000, 0, 0},
               {QStringLiteral("1003"), QStringLiteral("Huevos AA x 6"), 1, 350000, 0, 0, 0, 0},
               {QStringLiteral("1004"), QStringLiteral("Aceite de girasol 1 l"), 1, 900000, 19, 171000, 0, 0, 100000}};
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
    // 2 × 27 000 and 1 × 8 640 with INC 8 % included, and three coffees of 1 000 each on their
    // own lines: 925.93 and 74.07 of INC each (925.93 × 8 % is 74.0744), whose three INC add to
    // a cent less than the INC of the document (the bases' sum times 8 %, rounded once): the
    // document states that cent, and the payable stays what was charged by saying it as rounding.
    d.lines = {{QStringLiteral("2001"), QStringLiteral("Ajiaco santafereño"), 2, 5000000, 0, 0, 8, 400000},
               {QStringLiteral("2002"), QStringLiteral("Limonada de coco"), 1, 800000, 0, 0, 8, 64000}};
    for (int i = 0; i < 3; ++i)
        d.lines.push_back({QStringLiteral("2003"), QStringLiteral("Tinto campesino"), 1, 92593, 0, 0, 8, 7407, 0, 100000});
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

namespace {
// Runs the xmlsec1 program once on the documents; true when every signature verifies.
bool runXmlsec(const QList<QByteArray>& xmls, const Certificate& cert, QString* output)
{
    QTemporaryDir dir;
    QStringList args{QStringLiteral("--verify"), QStringLiteral("--pubkey-cert-pem"), dir.filePath(QStringLiteral("cert.pem")),
                     QStringLiteral("--id-attr:Id"), QStringLiteral("http://uri.etsi.org/01903/v1.3.2#:SignedProperties"),
                     QStringLiteral("--id-attr:Id"), QStringLiteral("http://www.w3.org/2000/09/xmldsig#:KeyInfo")};
    FILE* f = fopen(dir.filePath(QStringLiteral("cert.pem")).toLocal8Bit().constData(), "w");
    PEM_write_X509(f, cert.cert.get());
    fclose(f);
    for (int i = 0; i < xmls.size(); ++i) {
        QFile doc(dir.filePath(QStringLiteral("documento%1.xml").arg(i)));
        doc.open(QIODevice::WriteOnly);
        doc.write(xmls[i]);
        args << doc.fileName();
    }
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("xmlsec1"), args);
    p.waitForFinished(300000);
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
}  // namespace

bool xmlsecVerifies(const QByteArray& xml, const Certificate& cert, QString* output)
{
    return runXmlsec({xml}, cert, output);
}

QList<int> xmlsecRefuses(const QList<QByteArray>& xmls, const Certificate& cert)
{
    // One run for all; only when it fails is each looked at alone, to say which.
    QList<int> refused;
    if (runXmlsec(xmls, cert, nullptr))
        return refused;
    for (int i = 0; i < xmls.size(); ++i)
        if (!runXmlsec({xmls[i]}, cert, nullptr))
            refused << i;
    return refused;
}

QString amountProblems(const QByteArray& xml)
{
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
        xmlReadMemory(xml.constData(), int(xml.size()), nullptr, nullptr, XML_PARSE_NONET), xmlFreeDoc);
    if (!doc)
        return QStringLiteral("not well formed");
    std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> ctx(xmlXPathNewContext(doc.get()),
                                                                         xmlXPathFreeContext);
    xmlXPathRegisterNs(ctx.get(), BAD_CAST "cac",
                       BAD_CAST "urn:oasis:names:specification:ubl:schema:xsd:CommonAggregateComponents-2");
    xmlXPathRegisterNs(ctx.get(), BAD_CAST "cbc",
                       BAD_CAST "urn:oasis:names:specification:ubl:schema:xsd:CommonBasicComponents-2");
    auto nodes = [&](const char* path, xmlNodePtr at) {
        ctx->node = at ? at : xmlDocGetRootElement(doc.get());
        std::vector<xmlNodePtr> out;
        xmlXPathObjectPtr r = xmlXPathEvalExpression(BAD_CAST path, ctx.get());
        if (r && r->nodesetval)
            for (int i = 0; i < r->nodesetval->nodeNr; ++i)
                out.push_back(r->nodesetval->nodeTab[i]);
        xmlXPathFreeObject(r);
        return out;
    };
    // An amount in cents (0 when absent).
    auto cents = [&](const char* path, xmlNodePtr at) -> qint64 {
        const auto n = nodes(path, at);
        if (n.empty())
            return 0;
        xmlChar* t = xmlNodeGetContent(n.front());
        const qint64 v = std::llround(QString::fromUtf8(reinterpret_cast<const char*>(t)).toDouble() * 100);
        xmlFree(t);
        return v;
    };
    QStringList problems;
    // Every tax total, of the document and of each line: its subtotals' sum, and each subtotal
    // its base times its rate to the half cent (the rounding of one product, nothing more).
    for (xmlNodePtr total : nodes("//cac:TaxTotal", nullptr)) {
        qint64 sum = 0;
        for (xmlNodePtr sub : nodes("cac:TaxSubtotal", total)) {
            const qint64 base = cents("cbc:TaxableAmount", sub), tax = cents("cbc:TaxAmount", sub);
            const double rate = double(cents("cac:TaxCategory/cbc:Percent", sub)) / 100;
            sum += tax;
            if (std::abs(double(base) * rate / 100 - double(tax)) > 0.5)
                problems << QStringLiteral("line %1: %2 × %3 % is not %4").arg(sub->line).arg(base).arg(rate).arg(tax);
        }
        if (sum != cents("cbc:TaxAmount", total))
            problems << QStringLiteral("line %1: the tax total is not its subtotals' sum").arg(total->line);
    }
    // The totals: the lines' sum, the taxed bases, the taxes, and the payable from them.
    qint64 lines = 0;
    for (xmlNodePtr l : nodes("/*/cac:InvoiceLine | /*/cac:CreditNoteLine", nullptr))
        lines += cents("cbc:LineExtensionAmount", l);
    qint64 headerTaxes = 0;
    for (xmlNodePtr t : nodes("/*/cac:TaxTotal", nullptr))
        headerTaxes += cents("cbc:TaxAmount", t);
    const qint64 lineExtension = cents("/*/cac:LegalMonetaryTotal/cbc:LineExtensionAmount", nullptr);
    const qint64 inclusive = cents("/*/cac:LegalMonetaryTotal/cbc:TaxInclusiveAmount", nullptr);
    if (lines != lineExtension)
        problems << QStringLiteral("LineExtensionAmount is not the lines' sum");
    if (inclusive != lineExtension + headerTaxes)
        problems << QStringLiteral("TaxInclusiveAmount is not LineExtensionAmount plus the taxes");
    const qint64 payable = inclusive - cents("/*/cac:LegalMonetaryTotal/cbc:AllowanceTotalAmount", nullptr) +
                           cents("/*/cac:LegalMonetaryTotal/cbc:ChargeTotalAmount", nullptr) +
                           cents("/*/cac:LegalMonetaryTotal/cbc:PayableRoundingAmount", nullptr);
    if (payable != cents("/*/cac:LegalMonetaryTotal/cbc:PayableAmount", nullptr))
        problems << QStringLiteral("PayableAmount does not follow from the totals");
    // A line's discount: its price times its quantity less the discount is its base.
    for (xmlNodePtr l : nodes("/*/cac:InvoiceLine | /*/cac:CreditNoteLine", nullptr)) {
        const auto q = nodes("cbc:InvoicedQuantity | cbc:CreditedQuantity", l);
        xmlChar* qt = q.empty() ? nullptr : xmlNodeGetContent(q.front());
        const double quantity = qt ? QString::fromUtf8(reinterpret_cast<const char*>(qt)).toDouble() : 0;
        xmlFree(qt);
        const double gross = double(cents("cac:Price/cbc:PriceAmount", l)) * quantity;
        const qint64 allowance = cents("cac:AllowanceCharge[cbc:ChargeIndicator='false']/cbc:Amount", l);
        if (std::abs(gross - double(allowance) - double(cents("cbc:LineExtensionAmount", l))) > quantity / 2 + 0.5)
            problems << QStringLiteral("line %1: price × quantity less its discount is not its amount").arg(l->line);
    }
    return problems.join(QStringLiteral("; "));
}

}  // namespace kvtest
