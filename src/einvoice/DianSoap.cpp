#include "einvoice/DianSoap.h"

#include "einvoice/Certificate.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <xmlsec/crypto.h>
#include <xmlsec/xmldsig.h>
#include <xmlsec/xmlsec.h>
#include <xmlsec/xmltree.h>
#include <openssl/bio.h>
#include <openssl/pem.h>
#include <zip.h>

#include <memory>
#include <mutex>

namespace kv::dian {

namespace {

const char* const kSoapNs = "http://www.w3.org/2003/05/soap-envelope";
const char* const kWsaNs = "http://www.w3.org/2005/08/addressing";
const char* const kWsseNs = "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd";
const char* const kWsuNs = "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-utility-1.0.xsd";
const char* const kX509Token = "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-x509-token-profile-1.0#X509v3";
const char* const kBase64Binary = "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-soap-message-security-1.0#Base64Binary";

struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;
struct KeyFree {
    void operator()(xmlSecKey* k) const { xmlSecKeyDestroy(k); }
};
struct CtxFree {
    void operator()(xmlSecDSigCtx* c) const { xmlSecDSigCtxDestroy(c); }
};

QString escaped(const QString& s) { return s.toHtmlEscaped(); }

QString stamp(const QDateTime& t)
{
    return t.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QString bodyOf(const Request& r)
{
    const QString m = methodName(r.method);
    QString inner;
    switch (r.method) {
    case Method::SendBillSync:
        inner = QStringLiteral("<wcf:fileName>%1</wcf:fileName><wcf:contentFile>%2</wcf:contentFile>")
                    .arg(escaped(r.fileName), QString::fromLatin1(r.zip.toBase64()));
        break;
    case Method::SendTestSetAsync:
        inner = QStringLiteral("<wcf:fileName>%1</wcf:fileName><wcf:contentFile>%2</wcf:contentFile>"
                               "<wcf:testSetId>%3</wcf:testSetId>")
                    .arg(escaped(r.fileName), QString::fromLatin1(r.zip.toBase64()), escaped(r.testSetId));
        break;
    case Method::GetStatusZip:
    case Method::GetStatus:
        inner = QStringLiteral("<wcf:trackId>%1</wcf:trackId>").arg(escaped(r.trackId));
        break;
    }
    return QStringLiteral("<wcf:%1>%2</wcf:%1>").arg(m, inner);
}

// Text of the first element named `local` under n (any namespace), or a null string.
xmlNode* findElement(xmlNode* n, const char* local)
{
    for (xmlNode* c = n; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE)
            continue;
        if (xmlStrEqual(c->name, BAD_CAST local))
            return c;
        if (xmlNode* f = findElement(c->children, local))
            return f;
    }
    return nullptr;
}

QString textOf(xmlNode* n)
{
    if (!n)
        return {};
    xmlChar* s = xmlNodeGetContent(n);
    const QString v = QString::fromUtf8(reinterpret_cast<const char*>(s)).trimmed();
    xmlFree(s);
    return v;
}

// Every element named `local` under n, in document order.
void collect(xmlNode* n, const char* local, QList<xmlNode*>& out)
{
    for (xmlNode* c = n; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE)
            continue;
        if (xmlStrEqual(c->name, BAD_CAST local))
            out.append(c);
        else
            collect(c->children, local, out);
    }
}

}  // namespace

void ensureXmlSecurity()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        xmlInitParser();
        ok = xmlSecInit() >= 0 && xmlSecCryptoAppInit(nullptr) >= 0 && xmlSecCryptoInit() >= 0;
    });
    if (!ok)
        throw DianError(QStringLiteral("No se pudo iniciar la librería de firma XML (xmlsec1)."));
}

WsIdentity wsIdentity(const Certificate& c)
{
    WsIdentity id;
    id.certDer = c.der;
    if (BIO* bio = BIO_new(BIO_s_mem())) {
        if (c.key && PEM_write_bio_PrivateKey(bio, c.key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1) {
            char* data = nullptr;
            const long size = BIO_get_mem_data(bio, &data);
            id.keyPem = QByteArray(data, int(size));
        }
        BIO_free(bio);
    }
    if (id.keyPem.isEmpty())
        throw DianError(QStringLiteral("El certificado no trae su llave privada."));
    return id;
}

QString supplierNit(const QByteArray& xml)
{
    DocPtr doc(xmlReadMemory(xml.constData(), int(xml.size()), nullptr, nullptr,
                             XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    xmlNode* supplier = root ? findElement(root->children, "AccountingSupplierParty") : nullptr;
    xmlNode* tax = supplier ? findElement(supplier->children, "PartyTaxScheme") : nullptr;
    return textOf(tax ? findElement(tax->children, "CompanyID") : nullptr);
}

QString methodName(Method m)
{
    switch (m) {
    case Method::SendBillSync: return QStringLiteral("SendBillSync");
    case Method::SendTestSetAsync: return QStringLiteral("SendTestSetAsync");
    case Method::GetStatusZip: return QStringLiteral("GetStatusZip");
    case Method::GetStatus: return QStringLiteral("GetStatus");
    }
    return {};
}

QString actionOf(Method m)
{
    return QStringLiteral("http://wcf.dian.colombia/IWcfDianCustomerServices/") + methodName(m);
}

QByteArray buildEnvelope(const Request& r, const WsIdentity& id, const QDateTime& nowUtc)
{
    ensureXmlSecurity();
    // The template: xmlsec fills in the digest and the signature value. The token reference in
    // KeyInfo is WS-Security's own, so it is written here and xmlsec leaves it alone.
    const QString tmpl = QStringLiteral(
        "<soap:Envelope xmlns:soap=\"%1\" xmlns:wcf=\"http://wcf.dian.colombia\">"
        "<soap:Header xmlns:wsa=\"%2\">"
        "<wsse:Security xmlns:wsse=\"%3\" xmlns:wsu=\"%4\">"
        "<wsu:Timestamp wsu:Id=\"TS-1\"><wsu:Created>%5</wsu:Created><wsu:Expires>%6</wsu:Expires></wsu:Timestamp>"
        "<wsse:BinarySecurityToken EncodingType=\"%7\" ValueType=\"%8\" wsu:Id=\"X509-1\">%9</wsse:BinarySecurityToken>"
        "<ds:Signature Id=\"SIG-1\" xmlns:ds=\"http://www.w3.org/2000/09/xmldsig#\">"
        "<ds:SignedInfo>"
        "<ds:CanonicalizationMethod Algorithm=\"http://www.w3.org/2001/10/xml-exc-c14n#\">"
        "<ec:InclusiveNamespaces PrefixList=\"wsa soap wcf\" xmlns:ec=\"http://www.w3.org/2001/10/xml-exc-c14n#\"/>"
        "</ds:CanonicalizationMethod>"
        "<ds:SignatureMethod Algorithm=\"http://www.w3.org/2001/04/xmldsig-more#rsa-sha256\"/>"
        "<ds:Reference URI=\"#ID-TO\">"
        "<ds:Transforms><ds:Transform Algorithm=\"http://www.w3.org/2001/10/xml-exc-c14n#\">"
        "<ec:InclusiveNamespaces PrefixList=\"soap wcf\" xmlns:ec=\"http://www.w3.org/2001/10/xml-exc-c14n#\"/>"
        "</ds:Transform></ds:Transforms>"
        "<ds:DigestMethod Algorithm=\"http://www.w3.org/2001/04/xmlenc#sha256\"/><ds:DigestValue/>"
        "</ds:Reference>"
        "</ds:SignedInfo><ds:SignatureValue/>"
        "<ds:KeyInfo Id=\"KI-1\"><wsse:SecurityTokenReference wsu:Id=\"STR-1\">"
        "<wsse:Reference URI=\"#X509-1\" ValueType=\"%8\"/></wsse:SecurityTokenReference></ds:KeyInfo>"
        "</ds:Signature></wsse:Security>")
        .arg(QLatin1String(kSoapNs), QLatin1String(kWsaNs), QLatin1String(kWsseNs), QLatin1String(kWsuNs),
             stamp(nowUtc), stamp(nowUtc.addSecs(kTimestampLifeSeconds)), QLatin1String(kBase64Binary),
             QLatin1String(kX509Token), QString::fromLatin1(id.certDer.toBase64()));
    const QString rest = QStringLiteral(
        "<wsa:Action>%1</wsa:Action>"
        "<wsa:To wsu:Id=\"ID-TO\" xmlns:wsu=\"%2\">%3</wsa:To>"
        "</soap:Header><soap:Body>%4</soap:Body></soap:Envelope>")
        .arg(actionOf(r.method), QLatin1String(kWsuNs), escaped(r.to), bodyOf(r));
    const QByteArray text = (tmpl + rest).toUtf8();

    DocPtr doc(xmlReadMemory(text.constData(), int(text.size()), nullptr, "UTF-8", XML_PARSE_NONET));
    if (!doc)
        throw DianError(QStringLiteral("No se pudo armar el sobre SOAP."));
    xmlNode* root = xmlDocGetRootElement(doc.get());
    const xmlChar* ids[] = {BAD_CAST "Id", nullptr};
    xmlSecAddIDs(doc.get(), root, ids);
    xmlNode* sig = xmlSecFindNode(root, xmlSecNodeSignature, xmlSecDSigNs);

    std::unique_ptr<xmlSecKey, KeyFree> key(xmlSecCryptoAppKeyLoadMemory(
        reinterpret_cast<const xmlSecByte*>(id.keyPem.constData()), static_cast<xmlSecSize>(id.keyPem.size()),
        xmlSecKeyDataFormatPem, nullptr, nullptr, nullptr));
    if (!key)
        throw DianError(QStringLiteral("No se pudo leer la llave privada del certificado."));
    std::unique_ptr<xmlSecDSigCtx, CtxFree> ctx(xmlSecDSigCtxCreate(nullptr));
    ctx->signKey = key.release();
    if (!sig || xmlSecDSigCtxSign(ctx.get(), sig) < 0)
        throw DianError(QStringLiteral("No se pudo firmar el sobre SOAP."));

    xmlChar* out = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(doc.get(), &out, &size, "UTF-8");
    QByteArray result(reinterpret_cast<const char*>(out), size);
    xmlFree(out);
    return result;
}

QString Answer::messages() const
{
    QStringList lines;
    if (fault)
        lines << faultText;
    lines << rejections << notices;
    if (lines.isEmpty() && !statusDescription.isEmpty())
        lines << statusDescription;
    if (!statusMessage.isEmpty() && !lines.contains(statusMessage))
        lines << statusMessage;
    return lines.join(QLatin1Char('\n'));
}

Answer parseAnswer(const QByteArray& soap)
{
    DocPtr doc(xmlReadMemory(soap.constData(), int(soap.size()), nullptr, nullptr,
                             XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc || !xmlDocGetRootElement(doc.get()))
        throw DianError(QStringLiteral("La DIAN respondió algo que no es XML."));
    xmlNode* root = xmlDocGetRootElement(doc.get());
    Answer a;
    if (xmlNode* f = findElement(root, "Fault")) {
        a.fault = true;
        xmlNode* reason = findElement(f->children, "Reason");
        a.faultText = textOf(reason ? reason : f);
        return a;
    }
    a.isValid = textOf(findElement(root, "IsValid")).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    a.statusCode = textOf(findElement(root, "StatusCode"));
    a.statusDescription = textOf(findElement(root, "StatusDescription"));
    a.statusMessage = textOf(findElement(root, "StatusMessage"));
    a.documentKey = textOf(findElement(root, "XmlDocumentKey"));
    a.zipKey = textOf(findElement(root, "ZipKey"));
    a.applicationResponse = QByteArray::fromBase64(textOf(findElement(root, "XmlBase64Bytes")).toLatin1());

    // The rule lines: ErrorMessage's strings (SendBillSync, GetStatusZip) and the test set's
    // ProcessedMessage. A "Notificación" is a warning; everything else rejects when the document
    // is not valid.
    QList<xmlNode*> lines;
    if (xmlNode* em = findElement(root, "ErrorMessage"))
        collect(em->children, "string", lines);
    collect(root, "ProcessedMessage", lines);
    for (xmlNode* n : lines) {
        const QString s = textOf(n);
        if (s.isEmpty())
            continue;
        if (a.isValid || s.contains(QStringLiteral("Notificación"), Qt::CaseInsensitive))
            a.notices << s;
        else
            a.rejections << s;
    }
    return a;
}

QString dianFileName(const QString& prefix, const QString& nit, int year, quint32 consecutive, const QString& extension)
{
    QString digits;
    for (QChar c : nit)
        if (c.isDigit())
            digits += c;
    return prefix + digits.right(10).rightJustified(10, QLatin1Char('0')) + QStringLiteral("000") +
           QString::number(year % 100).rightJustified(2, QLatin1Char('0')) +
           QString::number(consecutive, 16).rightJustified(8, QLatin1Char('0')) + QLatin1Char('.') + extension;
}

QByteArray zipFiles(const QList<QPair<QString, QByteArray>>& files)
{
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &err);
    if (!src)
        throw DianError(QStringLiteral("No se pudo crear el zip."));
    zip_t* z = zip_open_from_source(src, ZIP_TRUNCATE, &err);
    if (!z) {
        zip_source_free(src);
        throw DianError(QStringLiteral("No se pudo crear el zip."));
    }
    zip_source_keep(src);  // read back after zip_close
    for (const auto& f : files) {
        const QByteArray name = f.first.toUtf8();
        zip_source_t* data = zip_source_buffer(z, f.second.constData(), zip_uint64_t(f.second.size()), 0);
        if (!data || zip_file_add(z, name.constData(), data, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(data);
            zip_discard(z);
            zip_source_free(src);
            throw DianError(QStringLiteral("No se pudo agregar %1 al zip.").arg(f.first));
        }
    }
    if (zip_close(z) < 0) {
        zip_discard(z);
        zip_source_free(src);
        throw DianError(QStringLiteral("No se pudo cerrar el zip."));
    }
    QByteArray out;
    if (zip_source_open(src) == 0) {
        zip_source_seek(src, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(src);
        zip_source_seek(src, 0, SEEK_SET);
        out.resize(qsizetype(size));
        zip_source_read(src, out.data(), zip_uint64_t(size));
        zip_source_close(src);
    }
    zip_source_free(src);
    return out;
}

QList<QPair<QString, QByteArray>> unzipFiles(const QByteArray& bytes)
{
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* src = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &err);
    zip_t* z = src ? zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &err) : nullptr;
    if (!z) {
        if (src)
            zip_source_free(src);
        throw DianError(QStringLiteral("El contenido no es un zip."));
    }
    QList<QPair<QString, QByteArray>> files;
    const zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(z, zip_uint64_t(i), 0, &st) < 0)
            continue;
        zip_file_t* f = zip_fopen_index(z, zip_uint64_t(i), 0);
        if (!f)
            continue;
        QByteArray data(qsizetype(st.size), Qt::Uninitialized);
        const zip_int64_t got = zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        if (got != zip_int64_t(st.size)) {
            zip_close(z);
            throw DianError(QStringLiteral("El zip está dañado."));
        }
        files.append({QString::fromUtf8(st.name), data});
    }
    zip_close(z);
    return files;
}

}  // namespace kv::dian
