#pragma once
// The XAdES-EPES enveloped signature the DIAN asks for: rsa-sha256 over the whole document, the
// KeyInfo with the certificate, and the signed properties (signing time, signing certificate,
// the DIAN's signature policy, the role "supplier"), made by libxmlsec1 on the parsed tree.
#include <QByteArray>
#include <QDateTime>

#include <libxml/tree.h>

namespace kv {

struct Certificate;

// Adds the signature under `parent` (an empty ext:ExtensionContent) and returns the document
// written out once, as signed. signingTime is written as given (its offset included).
QByteArray signEnveloped(xmlDocPtr doc, xmlNodePtr parent, const Certificate& cert, const QDateTime& signingTime);

// The DIAN's signature policy and the SHA-256 digest of its text.
inline constexpr const char* kSignaturePolicy =
    "https://facturaelectronica.dian.gov.co/politicadefirma/v2/politicadefirmav2.pdf";
inline constexpr const char* kSignaturePolicyDigest = "dMoMvtcG5aIzgYo0tIsSQeVJBDnUnfSOfBpxXrmor0Y=";

}  // namespace kv
