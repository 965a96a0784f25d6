// kv_dian_standin: a stand-in of the DIAN's reception service on 127.0.0.1, for the sender's
// tests and benchmark (the real service cannot be reached from a test machine).
//
// It checks each request the way the service does before it looks at a document: a SOAP 1.2
// envelope, a WS-Security header whose time stamp is current and whose signature (made with the
// certificate carried in the BinarySecurityToken) covers wsa:To, an action that names the method
// in the body. It then unzips the content, expects one XML document in it, verifies that
// document's own signature with the certificate inside it, and runs the checks the test asked
// for. What it answers is up to the test:
//
//   POST /control   body "mode=accepted|rejected|500|503|silence" and optionally "count=N" (that
//                   many requests, then back to accepted), "rules=line;line" (rejection or
//                   notice lines to answer with)
//   GET  /received  one line per service request: METHOD TAB "ok" or what failed TAB file name
//                   TAB the document's UUID (its CUDE)
//
// Started as `kv_dian_standin [--pin PIN] [--schema XSD]`; it prints "PORT n" on its first line
// once it listens. With a PIN it recomputes each document's CUDE from the values the document
// writes and rejects a document whose UUID differs (rule FAD06, as the service does); with a
// schema it validates each document against it (the wrapper that takes in UBL 2.1 and the DIAN's
// extensions).
#include "einvoice/DianSoap.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QUuid>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlschemas.h>
#include <xmlsec/crypto.h>
#include <xmlsec/xmldsig.h>
#include <xmlsec/xmlsec.h>
#include <xmlsec/xmltree.h>

#include <cstdarg>
#include <cstdio>
#include <memory>

using namespace kv::dian;

namespace {

const char* const kSoapNs = "http://www.w3.org/2003/05/soap-envelope";
const char* const kWsaNs = "http://www.w3.org/2005/08/addressing";

struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

xmlNode* find(xmlNode* n, const char* local, const char* ns = nullptr)
{
    for (xmlNode* c = n; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE)
            continue;
        if (xmlStrEqual(c->name, BAD_CAST local) && (!ns || (c->ns && xmlStrEqual(c->ns->href, BAD_CAST ns))))
            return c;
        if (xmlNode* f = find(c->children, local, ns))
            return f;
    }
    return nullptr;
}

QString text(xmlNode* n)
{
    if (!n)
        return {};
    xmlChar* s = xmlNodeGetContent(n);
    QString v = QString::fromUtf8(reinterpret_cast<const char*>(s)).trimmed();
    xmlFree(s);
    return v;
}

QString attr(xmlNode* n, const char* name)
{
    xmlAttr* a = n ? n->properties : nullptr;
    for (; a; a = a->next)
        if (xmlStrEqual(a->name, BAD_CAST name)) {
            xmlChar* v = xmlNodeListGetString(n->doc, a->children, 1);
            QString s = QString::fromUtf8(reinterpret_cast<const char*>(v));
            xmlFree(v);
            return s;
        }
    return {};
}

// Verifies the signature `sig` with the public key of the certificate `der`; the references it
// signed come back in `uris`. Returns what failed, or an empty string.
QString verifySignature(xmlNode* sig, const QByteArray& der, QStringList* uris)
{
    xmlSecKey* key = xmlSecCryptoAppKeyLoadMemory(reinterpret_cast<const xmlSecByte*>(der.constData()),
                                                  static_cast<xmlSecSize>(der.size()), xmlSecKeyDataFormatCertDer,
                                                  nullptr, nullptr, nullptr);
    if (!key)
        return QStringLiteral("certificado ilegible");
    xmlSecDSigCtx* ctx = xmlSecDSigCtxCreate(nullptr);
    ctx->signKey = key;
    ctx->enabledReferenceUris = xmlSecTransformUriTypeEmpty | xmlSecTransformUriTypeSameDocument;
    QString failed;
    if (xmlSecDSigCtxVerify(ctx, sig) < 0)
        failed = QStringLiteral("firma ilegible");
    else if (ctx->status != xmlSecDSigStatusSucceeded)
        failed = QStringLiteral("firma inválida");
    if (uris)
        for (xmlSecSize i = 0; i < xmlSecPtrListGetSize(&ctx->signedInfoReferences); ++i) {
            auto* ref = static_cast<xmlSecDSigReferenceCtx*>(xmlSecPtrListGetItem(&ctx->signedInfoReferences, i));
            uris->append(QString::fromUtf8(reinterpret_cast<const char*>(ref->uri ? ref->uri : BAD_CAST "")));
        }
    xmlSecDSigCtxDestroy(ctx);
    return failed;
}

struct Request {
    QString method;
    QString fileName;
    QByteArray zip;
    QString trackId;
    QString cude;
    QString failed;  // empty when every check passed
    QByteArray certDer;
};

// The envelope's checks; fills r and returns false with r.failed set when one fails.
bool checkEnvelope(const QByteArray& body, const QString& expectedTo, Request& r)
{
    DocPtr doc(xmlReadMemory(body.constData(), int(body.size()), nullptr, nullptr,
                             XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!root || !xmlStrEqual(root->name, BAD_CAST "Envelope") || !root->ns ||
        !xmlStrEqual(root->ns->href, BAD_CAST kSoapNs)) {
        r.failed = QStringLiteral("no es un sobre SOAP 1.2");
        return false;
    }
    const xmlChar* ids[] = {BAD_CAST "Id", nullptr};
    xmlSecAddIDs(doc.get(), root, ids);
    xmlNode* body_ = find(root, "Body", kSoapNs);
    xmlNode* call = body_ ? xmlSecGetNextElementNode(body_->children) : nullptr;
    if (!call) {
        r.failed = QStringLiteral("sin cuerpo");
        return false;
    }
    r.method = QString::fromUtf8(reinterpret_cast<const char*>(call->name));
    r.fileName = text(find(call->children, "fileName"));
    r.zip = QByteArray::fromBase64(text(find(call->children, "contentFile")).toLatin1());
    r.trackId = text(find(call->children, "trackId"));

    xmlNode* action = find(root, "Action", kWsaNs);
    xmlNode* to = find(root, "To", kWsaNs);
    if (text(action) != QStringLiteral("http://wcf.dian.colombia/IWcfDianCustomerServices/") + r.method) {
        r.failed = QStringLiteral("wsa:Action no corresponde al método");
        return false;
    }
    if (!to || text(to) != expectedTo) {
        r.failed = QStringLiteral("wsa:To no es esta dirección");
        return false;
    }
    xmlNode* created = find(root, "Created");
    xmlNode* expires = find(root, "Expires");
    const QDateTime c = QDateTime::fromString(text(created), Qt::ISODateWithMs);
    const QDateTime e = QDateTime::fromString(text(expires), Qt::ISODateWithMs);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!c.isValid() || !e.isValid() || c > now.addSecs(300) || e < now) {
        r.failed = QStringLiteral("sello de tiempo vencido o ausente");
        return false;
    }
    r.certDer = QByteArray::fromBase64(text(find(root, "BinarySecurityToken")).toLatin1());
    xmlNode* sig = xmlSecFindNode(root, xmlSecNodeSignature, xmlSecDSigNs);
    if (!sig || r.certDer.isEmpty()) {
        r.failed = QStringLiteral("sin firma WS-Security");
        return false;
    }
    QStringList uris;
    r.failed = verifySignature(sig, r.certDer, &uris);
    if (!r.failed.isEmpty())
        return false;
    if (uris != QStringList{QLatin1Char('#') + attr(to, "Id")}) {
        r.failed = QStringLiteral("la firma no cubre wsa:To");
        return false;
    }
    return true;
}

// The element reached from n by the local names in `path`, each a direct child of the last.
xmlNode* child(xmlNode* n, std::initializer_list<const char*> path)
{
    for (const char* local : path) {
        xmlNode* c = n ? n->children : nullptr;
        while (c && !(c->type == XML_ELEMENT_NODE && xmlStrEqual(c->name, BAD_CAST local)))
            c = c->next;
        n = c;
    }
    return n;
}

// The CUDE of a document, recomputed from the strings it writes: number, date, time, line total,
// the totals of taxes 01, 04 and 03 ("0.00" when absent), payable, seller, buyer, PIN and
// environment.
QString recomputedCude(xmlNode* root, const QString& pin)
{
    QHash<QString, QString> taxes;
    for (xmlNode* c = root->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE || !xmlStrEqual(c->name, BAD_CAST "TaxTotal"))
            continue;
        const QString code = text(child(c, {"TaxSubtotal", "TaxCategory", "TaxScheme", "ID"}));
        taxes.insert(code, text(child(c, {"TaxAmount"})));
    }
    const QString tax[] = {taxes.value(QStringLiteral("01"), QStringLiteral("0.00")),
                           taxes.value(QStringLiteral("04"), QStringLiteral("0.00")),
                           taxes.value(QStringLiteral("03"), QStringLiteral("0.00"))};
    const QString composed =
        text(child(root, {"ID"})) + text(child(root, {"IssueDate"})) + text(child(root, {"IssueTime"})) +
        text(child(root, {"LegalMonetaryTotal", "LineExtensionAmount"})) + QStringLiteral("01") + tax[0] +
        QStringLiteral("04") + tax[1] + QStringLiteral("03") + tax[2] +
        text(child(root, {"LegalMonetaryTotal", "PayableAmount"})) +
        text(child(root, {"AccountingSupplierParty", "Party", "PartyTaxScheme", "CompanyID"})) +
        text(child(root, {"AccountingCustomerParty", "Party", "PartyTaxScheme", "CompanyID"})) + pin +
        text(child(root, {"ProfileExecutionID"}));
    return QString::fromLatin1(QCryptographicHash::hash(composed.toUtf8(), QCryptographicHash::Sha384).toHex());
}

QString schemaErrors;
void collectSchemaError(void*, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    schemaErrors += QString::vasprintf(fmt, args);
    va_end(args);
}

// Validates a document against the schema; what the schema refuses, or an empty string.
QString validate(xmlDoc* doc, const QString& schemaFile)
{
    static xmlSchema* schema = [&] {
        const QByteArray path = schemaFile.toLocal8Bit();
        xmlSchemaParserCtxt* p = xmlSchemaNewParserCtxt(path.constData());
        xmlSchema* s = xmlSchemaParse(p);
        xmlSchemaFreeParserCtxt(p);
        return s;
    }();
    if (!schema)
        return QStringLiteral("el esquema no se pudo leer: ") + schemaFile;
    xmlSchemaValidCtxt* v = xmlSchemaNewValidCtxt(schema);
    schemaErrors.clear();
    xmlSchemaSetValidErrors(v, collectSchemaError, collectSchemaError, nullptr);
    const int rc = xmlSchemaValidateDoc(v, doc);
    xmlSchemaFreeValidCtxt(v);
    return rc == 0 ? QString() : QStringLiteral("esquema: ") + schemaErrors.simplified().left(500);
}

QString gPin;
QString gSchema;

// The document's checks: one XML in the zip, named as the zip, signed with the envelope's
// certificate.
bool checkDocument(Request& r)
{
    static const QRegularExpression zipName(QStringLiteral("^z\\d{10}\\d{3}\\d{2}[0-9a-f]{8}\\.zip$"));
    if (!zipName.match(r.fileName).hasMatch()) {
        r.failed = QStringLiteral("nombre de zip inválido: ") + r.fileName;
        return false;
    }
    QList<QPair<QString, QByteArray>> files;
    try {
        files = unzipFiles(r.zip);
    } catch (const DianError& e) {
        r.failed = e.text();
        return false;
    }
    if (files.size() != 1 || !files[0].first.endsWith(QLatin1String(".xml"))) {
        r.failed = QStringLiteral("el zip debe traer un solo XML");
        return false;
    }
    // The document's own name: "ds" (the document) or "ncs" (its note), then as the zip's.
    static const QRegularExpression xmlName(QStringLiteral("^(ds|ncs)\\d{10}\\d{3}\\d{2}[0-9a-f]{8}\\.xml$"));
    if (!xmlName.match(files[0].first).hasMatch()) {
        r.failed = QStringLiteral("nombre de documento inválido: ") + files[0].first;
        return false;
    }
    const QByteArray& xml = files[0].second;
    DocPtr doc(xmlReadMemory(xml.constData(), int(xml.size()), nullptr, nullptr,
                             XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!root) {
        r.failed = QStringLiteral("el documento no es XML");
        return false;
    }
    r.cude = text(find(root->children, "UUID"));
    const xmlChar* ids[] = {BAD_CAST "Id", nullptr};
    xmlSecAddIDs(doc.get(), root, ids);
    xmlNode* sig = xmlSecFindNode(root, xmlSecNodeSignature, xmlSecDSigNs);
    const QByteArray der = QByteArray::fromBase64(text(sig ? find(sig->children, "X509Certificate") : nullptr).toLatin1());
    if (!sig || der.isEmpty()) {
        r.failed = QStringLiteral("documento sin firma");
        return false;
    }
    if (der != r.certDer) {
        r.failed = QStringLiteral("el documento no está firmado con el certificado del sobre");
        return false;
    }
    r.failed = verifySignature(sig, der, nullptr);
    if (!r.failed.isEmpty())
        return false;
    if (!gSchema.isEmpty()) {
        // Validated on a fresh parse: the ID registration above changed nothing in the text, but
        // the schema sees exactly the bytes sent.
        DocPtr plain(xmlReadMemory(xml.constData(), int(xml.size()), nullptr, nullptr, XML_PARSE_NONET));
        r.failed = validate(plain.get(), gSchema);
        if (!r.failed.isEmpty())
            return false;
    }
    if (!gPin.isEmpty() && recomputedCude(root, gPin) != r.cude) {
        r.failed = QStringLiteral("Regla: FAD06, Rechazo: El valor del CUDE no está calculado correctamente.");
        return false;
    }
    return true;
}

QByteArray escape(const QString& s) { return s.toHtmlEscaped().toUtf8(); }

QByteArray soapResponse(const QString& method, const QByteArray& result)
{
    return "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\" "
           "xmlns:a=\"http://www.w3.org/2005/08/addressing\"><s:Header><a:Action s:mustUnderstand=\"1\">"
           "http://wcf.dian.colombia/IWcfDianCustomerServices/" + method.toUtf8() + "Response</a:Action>"
           "</s:Header><s:Body><" + method.toUtf8() + "Response xmlns=\"http://wcf.dian.colombia\">" +
           result + "</" + method.toUtf8() + "Response></s:Body></s:Envelope>";
}

// The DIAN's own record of an accepted document, in base64 as the answer carries it (reduced to
// the document's key: enough for the sender's tests to find it stored).
QByteArray applicationResponse(bool valid, const QString& cude)
{
    if (!valid)
        return QByteArray();
    return ("<ApplicationResponse xmlns=\"urn:oasis:names:specification:ubl:schema:xsd:ApplicationResponse-2\">"
            "<DocumentKey>" + escape(cude) + "</DocumentKey></ApplicationResponse>")
        .toBase64();
}

QByteArray dianResponse(bool valid, const QString& cude, const QStringList& lines)
{
    QByteArray errors;
    for (const QString& l : lines)
        errors += "<c:string>" + escape(l) + "</c:string>";
    return QByteArray("<b:ErrorMessage xmlns:c=\"http://schemas.microsoft.com/2003/10/Serialization/Arrays\">") +
           errors + "</b:ErrorMessage><b:IsValid>" + (valid ? "true" : "false") + "</b:IsValid>"
           "<b:StatusCode>" + (valid ? "00" : "99") + "</b:StatusCode><b:StatusDescription>" +
           (valid ? "Procesado Correctamente." : "Documento con errores en campos mandatorios.") +
           "</b:StatusDescription><b:StatusMessage>" +
           escape(valid ? QStringLiteral("La Factura electrónica ha sido autorizada.") : QString()) +
           "</b:StatusMessage><b:XmlBase64Bytes>" + applicationResponse(valid, cude) + "</b:XmlBase64Bytes><b:XmlDocumentKey>" +
           escape(cude) + "</b:XmlDocumentKey>";
}

class StandIn : public QObject {
public:
    explicit StandIn(QObject* parent) : QObject(parent)
    {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { onData(s); });
                connect(s, &QTcpSocket::disconnected, this, [this, s] {
                    pending_.remove(s);
                    s->deleteLater();
                });
            }
        });
    }
    bool listen() { return server_.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return server_.serverPort(); }

private:
    void onData(QTcpSocket* s)
    {
        QByteArray& buf = pending_[s];
        buf += s->readAll();
        const qsizetype end = buf.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> head = buf.left(end).split('\n');
        qsizetype length = 0;
        QByteArray contentType;
        for (const QByteArray& h : head) {
            const QByteArray l = h.trimmed().toLower();
            if (l.startsWith("content-length:"))
                length = l.mid(15).trimmed().toLongLong();
            if (l.startsWith("content-type:"))
                contentType = l.mid(13).trimmed();
        }
        if (buf.size() < end + 4 + length)
            return;
        const QList<QByteArray> requestLine = head.value(0).trimmed().split(' ');
        const QByteArray body = buf.mid(end + 4, length);
        buf = buf.mid(end + 4 + length);  // a kept-alive connection may already carry the next one
        handle(s, requestLine.value(0), requestLine.value(1), contentType, body);
    }

    void reply(QTcpSocket* s, int status, const QByteArray& reason, const QByteArray& type, const QByteArray& body)
    {
        s->write("HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nContent-Type: " + type +
                 "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: keep-alive\r\n\r\n" + body);
    }

    void handle(QTcpSocket* s, const QByteArray& verb, const QByteArray& path, const QByteArray& type, const QByteArray& body)
    {
        if (path == "/control") {
            mode_ = QStringLiteral("accepted");
            count_ = -1;
            lines_.clear();
            for (const QByteArray& l : body.split('\n')) {
                const QString line = QString::fromUtf8(l).trimmed();
                if (line.startsWith(QLatin1String("mode=")))
                    mode_ = line.mid(5);
                else if (line.startsWith(QLatin1String("count=")))
                    count_ = line.mid(6).toInt();
                else if (line.startsWith(QLatin1String("rules=")))
                    lines_ = line.mid(6).split(QLatin1Char(';'), Qt::SkipEmptyParts);
            }
            reply(s, 200, "OK", "text/plain", "ok");
            return;
        }
        if (path == "/received") {
            reply(s, 200, "OK", "text/plain; charset=utf-8", log_.join(QLatin1Char('\n')).toUtf8());
            return;
        }
        if (verb != "POST" || path != "/WcfDianCustomerServices.svc") {
            reply(s, 404, "Not Found", "text/plain", "");
            return;
        }
        QString mode = mode_;
        if (count_ == 0)
            mode = QStringLiteral("accepted");
        else if (count_ > 0)
            --count_;

        Request r;
        const QString to = QStringLiteral("http://127.0.0.1:%1/WcfDianCustomerServices.svc").arg(port());
        bool ok = type.startsWith("application/soap+xml") ? checkEnvelope(body, to, r)
                                                         : (r.failed = QStringLiteral("no es application/soap+xml"), false);
        const bool carriesDocument = r.method == QLatin1String("SendBillSync") || r.method == QLatin1String("SendTestSetAsync");
        if (ok && carriesDocument)
            ok = checkDocument(r);
        log_ << QStringList{r.method, ok ? QStringLiteral("ok") : r.failed, r.fileName, r.cude}.join(QLatin1Char('\t'));

        if (mode == QLatin1String("silence"))
            return;  // the connection stays open with no answer, as a service that hangs
        if (mode == QLatin1String("503")) {
            reply(s, 503, "Service Unavailable", "text/html", "<h1>Service Unavailable</h1>");
            return;
        }
        if (mode == QLatin1String("500") || (!ok && !carriesDocument)) {
            const QByteArray why = ok ? QByteArray("Error interno del servicio") : escape(r.failed);
            reply(s, 500, "Internal Server Error", "application/soap+xml; charset=utf-8",
                  "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"><s:Body><s:Fault>"
                  "<s:Code><s:Value>s:Receiver</s:Value></s:Code><s:Reason><s:Text xml:lang=\"es-CO\">" +
                      why + "</s:Text></s:Reason></s:Fault></s:Body></s:Envelope>");
            return;
        }
        // A document that failed the checks is rejected as the service rejects it, with a rule.
        QStringList lines = lines_;
        bool valid = mode != QLatin1String("rejected");
        if (!ok) {
            valid = false;
            lines = QStringList{r.failed.startsWith(QLatin1String("Regla:")) ? r.failed
                                                                             : QStringLiteral("Regla: ZB01, Rechazo: ") + r.failed};
        }
        QByteArray result;
        if (r.method == QLatin1String("SendBillSync")) {
            result = "<SendBillSyncResult xmlns:b=\"http://schemas.datacontract.org/2004/07/DianResponse\">" +
                     dianResponse(valid, r.cude, lines) + "</SendBillSyncResult>";
        } else if (r.method == QLatin1String("SendTestSetAsync")) {
            const QString key = QUuid::createUuid().toString(QUuid::WithoutBraces);
            zips_.insert(key, dianResponse(valid, r.cude, lines));
            result = "<SendTestSetAsyncResult xmlns:b=\"http://schemas.datacontract.org/2004/07/UploadDocumentResponse\">"
                     "<b:ErrorMessageList/><b:ZipKey>" + key.toUtf8() + "</b:ZipKey></SendTestSetAsyncResult>";
        } else if (r.method == QLatin1String("GetStatusZip")) {
            const QByteArray inner = zips_.value(r.trackId,
                                                 "<b:IsValid>false</b:IsValid><b:StatusCode>66</b:StatusCode>"
                                                 "<b:StatusDescription>NSU no encontrado</b:StatusDescription>");
            result = "<GetStatusZipResult xmlns:b=\"http://schemas.datacontract.org/2004/07/DianResponse\">"
                     "<b:DianResponse>" + inner + "</b:DianResponse></GetStatusZipResult>";
        } else {
            result = "<" + r.method.toUtf8() + "Result xmlns:b=\"http://schemas.datacontract.org/2004/07/DianResponse\">" +
                     dianResponse(valid, r.trackId, lines) + "</" + r.method.toUtf8() + "Result>";
        }
        reply(s, 200, "OK", "application/soap+xml; charset=utf-8", soapResponse(r.method, result));
    }

    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QString mode_ = QStringLiteral("accepted");
    int count_ = -1;
    QStringList lines_;
    QStringList log_;
    QHash<QString, QByteArray> zips_;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--pin"))
            gPin = args[i + 1];
        else if (args[i] == QLatin1String("--schema"))
            gSchema = args[i + 1];
    }
    ensureXmlSecurity();
    auto* standIn = new StandIn(&app);
    if (!standIn->listen()) {
        std::fprintf(stderr, "kv_dian_standin: cannot listen on 127.0.0.1\n");
        return 1;
    }
    std::printf("PORT %d\n", int(standIn->port()));
    std::fflush(stdout);
    return app.exec();
}
