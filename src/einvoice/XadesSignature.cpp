#include "einvoice/XadesSignature.h"

#include "common/Errors.h"
#include "einvoice/Certificate.h"

#include <QCryptographicHash>
#include <QString>
#include <xmlsec/crypto.h>
#include <xmlsec/keysdata.h>
#include <xmlsec/openssl/evp.h>
#include <xmlsec/templates.h>
#include <xmlsec/xmldsig.h>
#include <xmlsec/xmlsec.h>
#include <xmlsec/xmltree.h>

#include <memory>
#include <mutex>

namespace kv {

namespace {

const char* const kNsDs = "http://www.w3.org/2000/09/xmldsig#";
const char* const kNsXades = "http://uri.etsi.org/01903/v1.3.2#";
const char* const kSha256 = "http://www.w3.org/2001/04/xmlenc#sha256";

const xmlChar* X(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

void startXmlSec()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        xmlInitParser();
        ok = xmlSecInit() >= 0 && xmlSecCheckVersion() == 1 && xmlSecCryptoAppInit(nullptr) >= 0 &&
             xmlSecCryptoInit() >= 0;
    });
    if (!ok)
        throw Failure(QStringLiteral("No se pudo iniciar la biblioteca de firma (xmlsec)"));
}

xmlNodePtr child(xmlNodePtr parent, xmlNsPtr ns, const char* name, const QByteArray& text = QByteArray())
{
    return xmlNewTextChild(parent, ns, X(name), text.isNull() ? nullptr : X(text.constData()));
}

struct Fail {
    const char* what;
};

template <typename T>
T* check(T* p, const char* what)
{
    if (!p)
        throw Fail{what};
    return p;
}

void check(int rc, const char* what)
{
    if (rc < 0)
        throw Fail{what};
}

}  // namespace

QByteArray signEnveloped(xmlDocPtr doc, xmlNodePtr parent, const Certificate& cert, const QDateTime& signingTime)
{
    startXmlSec();
    try {
        xmlNodePtr root = xmlDocGetRootElement(doc);
        // Ids that are the same for the same document and signing time, so a document signed
        // twice is written twice alike.
        QByteArray number;
        for (xmlNodePtr c = root->children; c; c = c->next)
            if (c->type == XML_ELEMENT_NODE && xmlStrEqual(c->name, X("ID"))) {
                xmlChar* t = xmlNodeGetContent(c);
                number = reinterpret_cast<const char*>(t);
                xmlFree(t);
                break;
            }
        const QByteArray seed = QCryptographicHash::hash(number + signingTime.toString(Qt::ISODate).toUtf8() + cert.der,
                                                         QCryptographicHash::Sha256);
        const QByteArray hex = seed.toHex();
        const QByteArray id = "xmldsig-" + hex.left(8) + '-' + hex.mid(8, 4) + '-' + hex.mid(12, 4) + '-' +
                              hex.mid(16, 4) + '-' + hex.mid(20, 12);
        const QByteArray keyInfoId = id + "-keyinfo";
        const QByteArray propsId = id + "-signedprops";

        xmlNodePtr sig = check(xmlSecTmplSignatureCreateNsPref(doc, xmlSecTransformInclC14NId,
                                                               xmlSecTransformRsaSha256Id, X(id.constData()), X("ds")),
                               "plantilla");
        xmlAddChild(parent, sig);
        xmlNodePtr ref = check(xmlSecTmplSignatureAddReference(sig, xmlSecTransformSha256Id,
                                                               X((id + "-ref0").constData()), X(""), nullptr),
                               "referencia");
        check(xmlSecTmplReferenceAddTransform(ref, xmlSecTransformEnvelopedId), "transformación");
        check(xmlSecTmplSignatureAddReference(sig, xmlSecTransformSha256Id, nullptr,
                                              X(("#" + keyInfoId).constData()), nullptr),
              "referencia");
        check(xmlSecTmplSignatureAddReference(sig, xmlSecTransformSha256Id, nullptr, X(("#" + propsId).constData()),
                                              X("http://uri.etsi.org/01903#SignedProperties")),
              "referencia");
        // The certificate is written into KeyInfo here, before anything is digested, so the
        // KeyInfo reference covers exactly what is sent.
        xmlNodePtr keyInfo = check(xmlSecTmplSignatureEnsureKeyInfo(sig, X(keyInfoId.constData())), "KeyInfo");
        xmlNodePtr x509 = check(xmlSecTmplKeyInfoAddX509Data(keyInfo), "X509Data");
        xmlNodeSetContent(check(xmlSecTmplX509DataAddCertificate(x509), "X509Certificate"),
                          X(cert.der.toBase64().constData()));

        xmlNsPtr ds = xmlSearchNsByHref(doc, sig, X(kNsDs));
        xmlNodePtr object = check(xmlSecTmplSignatureAddObject(sig, nullptr, nullptr, nullptr), "Object");
        xmlNsPtr xades = xmlSearchNsByHref(doc, root, X(kNsXades));
        if (!xades)
            xades = xmlNewNs(object, X(kNsXades), X("xades"));
        xmlNodePtr qp = child(object, xades, "QualifyingProperties");
        xmlNewProp(qp, X("Target"), X(("#" + id).constData()));
        xmlNodePtr props = child(qp, xades, "SignedProperties");
        xmlNewProp(props, X("Id"), X(propsId.constData()));
        xmlNodePtr ssp = child(props, xades, "SignedSignatureProperties");
        child(ssp, xades, "SigningTime", signingTime.toString(Qt::ISODate).toUtf8());
        xmlNodePtr certNode = child(child(ssp, xades, "SigningCertificate"), xades, "Cert");
        xmlNodePtr certDigest = child(certNode, xades, "CertDigest");
        xmlNewProp(child(certDigest, ds, "DigestMethod"), X("Algorithm"), X(kSha256));
        child(certDigest, ds, "DigestValue", QCryptographicHash::hash(cert.der, QCryptographicHash::Sha256).toBase64());
        xmlNodePtr serial = child(certNode, xades, "IssuerSerial");
        child(serial, ds, "X509IssuerName", cert.issuer.toUtf8());
        child(serial, ds, "X509SerialNumber", cert.serial.toUtf8());
        xmlNodePtr policy = child(child(ssp, xades, "SignaturePolicyIdentifier"), xades, "SignaturePolicyId");
        child(child(policy, xades, "SigPolicyId"), xades, "Identifier", kSignaturePolicy);
        xmlNodePtr policyHash = child(policy, xades, "SigPolicyHash");
        xmlNewProp(child(policyHash, ds, "DigestMethod"), X("Algorithm"), X(kSha256));
        child(policyHash, ds, "DigestValue", kSignaturePolicyDigest);
        child(child(child(ssp, xades, "SignerRole"), xades, "ClaimedRoles"), xades, "ClaimedRole", "supplier");

        // The "#..." references are found by their Id attributes.
        const xmlChar* idAttrs[] = {X("Id"), nullptr};
        xmlSecAddIDs(doc, root, idAttrs);

        std::unique_ptr<xmlSecDSigCtx, decltype(&xmlSecDSigCtxDestroy)> ctx(
            check(xmlSecDSigCtxCreate(nullptr), "contexto"), xmlSecDSigCtxDestroy);
        EVP_PKEY* evp = check(xmlSecOpenSSLEvpKeyDup(cert.key.get()), "llave");
        xmlSecKeyDataPtr data = xmlSecOpenSSLEvpKeyAdopt(evp);
        if (!data) {
            EVP_PKEY_free(evp);
            throw Fail{"llave"};
        }
        ctx->signKey = check(xmlSecKeyCreate(), "llave");
        if (xmlSecKeySetValue(ctx->signKey, data) < 0) {
            xmlSecKeyDataDestroy(data);
            throw Fail{"llave"};
        }
        // KeyInfo is already complete; xmlsec only writes a key name there (there is none).
        check(xmlSecPtrListAdd(&ctx->keyInfoWriteCtx.enabledKeyData, (void*)xmlSecKeyDataNameId), "KeyInfo");
        check(xmlSecDSigCtxSign(ctx.get(), sig), "firma");
        if (ctx->status != xmlSecDSigStatusSucceeded)
            throw Fail{"firma"};

        xmlChar* text = nullptr;
        int size = 0;
        xmlDocDumpMemoryEnc(doc, &text, &size, "UTF-8");
        QByteArray out(reinterpret_cast<const char*>(text), size);
        xmlFree(text);
        return out;
    } catch (const Fail& f) {
        throw Failure(QStringLiteral("No se pudo firmar el documento electrónico (%1)").arg(QString::fromUtf8(f.what)));
    }
}

}  // namespace kv
