#include "einvoice/IssuedDocument.h"

#include <QXmlStreamReader>

#include <cmath>

namespace kv {

namespace {

// "1234.50" -> 123450 cents.
qint64 cents(const QString& text) { return std::llround(text.trimmed().toDouble() * 100); }

}  // namespace

std::optional<IssuedContent> issuedContent(const QByteArray& xml)
{
    IssuedContent out;
    QXmlStreamReader r(xml);
    // Where the reader stands: inside a line, inside a document-wide allowance or charge, inside a
    // tax subtotal of a line (its amount and rate wait for the scheme that says which tax it is).
    bool inLine = false, inAllowance = false, inSubtotal = false, inTotals = false;
    bool chargeIndicator = false;
    qint64 allowanceAmount = 0;
    qint64 subtotalTax = 0;
    double subtotalRate = 0;
    QString schemeId;
    int depthInItem = 0;
    DocumentLine line;
    while (!r.atEnd()) {
        r.readNext();
        const QStringView name = r.name();
        if (r.isStartElement()) {
            if (name == u"InvoiceLine" || name == u"CreditNoteLine") {
                inLine = true;
                line = DocumentLine();
            } else if (!inLine && name == u"AllowanceCharge") {
                inAllowance = true;
                chargeIndicator = false;
                allowanceAmount = 0;
            } else if (!inLine && name == u"LegalMonetaryTotal") {
                inTotals = true;
            } else if (inLine && name == u"TaxSubtotal") {
                inSubtotal = true;
                subtotalTax = 0;
                subtotalRate = 0;
                schemeId.clear();
            } else if (inLine && name == u"Item") {
                depthInItem = 1;
            } else if (depthInItem > 0) {
                ++depthInItem;
                if (name == u"Description")
                    line.description = r.readElementText(), --depthInItem;
                else if (name == u"ID" && line.code.isEmpty())
                    line.code = r.readElementText(), --depthInItem;
            } else if (inSubtotal) {
                if (name == u"TaxAmount")
                    subtotalTax = cents(r.readElementText());
                else if (name == u"Percent")
                    subtotalRate = r.readElementText().trimmed().toDouble();
                else if (name == u"ID")
                    schemeId = r.readElementText().trimmed();
            } else if (inLine) {
                if (name == u"InvoicedQuantity" || name == u"CreditedQuantity")
                    line.quantity = r.readElementText().trimmed().toDouble();
                else if (name == u"LineExtensionAmount")
                    line.lineExtension = cents(r.readElementText());
            } else if (inAllowance) {
                if (name == u"ChargeIndicator")
                    chargeIndicator = r.readElementText().trimmed() == QLatin1String("true");
                else if (name == u"Amount")
                    allowanceAmount = cents(r.readElementText());
            } else if (inTotals && name == u"PayableAmount") {
                out.payable = cents(r.readElementText());
            }
        } else if (r.isEndElement()) {
            if (depthInItem > 0 && --depthInItem == 0)
                continue;
            if (inSubtotal && name == u"TaxSubtotal") {
                inSubtotal = false;
                if (schemeId == QLatin1String("01")) {
                    line.iva += subtotalTax;
                    line.ivaRate = subtotalRate;
                } else if (schemeId == QLatin1String("04")) {
                    line.inc += subtotalTax;
                    line.incRate = subtotalRate;
                }
            } else if (inLine && (name == u"InvoiceLine" || name == u"CreditNoteLine")) {
                inLine = false;
                out.lines.push_back(line);
            } else if (inAllowance && name == u"AllowanceCharge") {
                inAllowance = false;
                (chargeIndicator ? out.charge : out.discount) += allowanceAmount;
            } else if (inTotals && name == u"LegalMonetaryTotal") {
                inTotals = false;
            }
        }
    }
    if (r.hasError() || out.lines.empty())
        return std::nullopt;
    return out;
}

bool applyIssuedContent(PosDocument& d, const QByteArray& issuedXml)
{
    const std::optional<IssuedContent> c = issuedContent(issuedXml);
    if (!c)
        return false;
    d.lines = c->lines;
    d.discount = c->discount;
    d.charge = c->charge;
    return true;
}

}  // namespace kv
