#pragma once
// What a stored, signed document actually says: its lines and its document-wide discount and
// service charge, read back from the XML as it was issued. An adjustment note repeats what was
// issued, not what the sale's lines say today (a sale corrected in place by an older version of
// the program no longer matches its document).
#include "einvoice/PosDocument.h"

#include <QByteArray>
#include <optional>

namespace kv {

struct IssuedContent {
    std::vector<DocumentLine> lines;
    qint64 discount = 0;
    qint64 charge = 0;
    qint64 payable = 0;  // LegalMonetaryTotal/PayableAmount
};

// Nothing when the XML cannot be read or holds no line.
std::optional<IssuedContent> issuedContent(const QByteArray& xml);

// Puts what was issued in place of what was read from the sale now: lines, discount and charge.
// False (the document untouched) when the XML gives nothing.
bool applyIssuedContent(PosDocument& d, const QByteArray& issuedXml);

}  // namespace kv
