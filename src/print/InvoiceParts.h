#pragma once
// What the invoice layouts share: reading the document's row, the roll page, the header and footer
// texts kept in POSLINEATOP / POSLINEABOTTOM, the date text, and the rows a receipt is made of.
#include "data/Dataset.h"
#include "einvoice/ElectronicDocument.h"
#include "print/InvoicePrinting.h"
#include "report/Report.h"

#include <QDateTime>
#include <QStringList>

#include <functional>

namespace kv {

// Amounts on every invoice.
inline const QString kAmountPicture = QStringLiteral("###,###.00");

// A column of the document's current row as a number (null: 0) or as text (null: empty).
inline double numberOf(const RowSource& row, const char* field) { return row.value(QLatin1String(field)).toDouble(); }
inline QString textOf(const RowSource& row, const char* field) { return row.value(QLatin1String(field)).toString(); }

// Closes the document query and sets its CONSECUTIVO, EMPRESA and DOCUMENTO.
void setDocumentKey(Dataset& query, const SaleDocumentKey& key);

// The document queries join the lines to the header from the outside, so a document without lines
// still gives its header in one row. That row is no line: a line band's hook calls this first and
// prints nothing for it.
bool skipRowWithoutLine(BandEvent& e);

// Roll paper 72.76 mm wide cut into pages 279.4 mm long, 5 mm above and below.
PageSetup receiptPage();

// Receipt geometry, in mm across the roll.
constexpr double kReceiptLeft = 1;
constexpr double kReceiptWidth = 70.76;
constexpr double kReceiptRow = 3.2;  // one line of the receipt's type
constexpr double kReceiptType = 7;   // points

// The texts of POSLINEATOP or POSLINEABOTTOM by position: element i holds the DETALLE of the row
// numbered i + 1; positions without a row are empty and rows numbered outside 1..count are left out.
QStringList linePositions(Connection& db, const QString& table, int count);

// " 05, mar, 2024,  -  03:07 PM": day, short month, year and the time on the twelve-hour clock, in
// Colombian time.
QString receiptDateText(const QDateTime& when);

// Adds centred text rows named prefix + from .. prefix + to, from y down; returns the y
// below them.
double addCentredRows(Band& band, double y, const QString& prefix, int from, int to);
// Sets rows prefix + from .. prefix + to to the texts (texts[from - 1] ...).
void fillRows(Band& band, const QString& prefix, int from, int to, const QStringList& texts);

// The column headings "Can." and "Valor" and the rule below them, from y; returns the band's height.
double addReceiptHeadings(Band& band, double y);
// One band per line: the quantity, the description (it wraps) and the amount.
void addReceiptLines(Report& rpt, std::function<QString(const RowSource&)> description);

// A caption on the left and an amount on the right, on one receipt row. The amount item is named
// `name` and prints its value through `picture`.
void addCaptionRow(Band& band, double y, const QString& caption, const QString& name, const QString& picture);

// The name a receipt prints for a payment type (TIPODEPAGO); empty for a document not yet paid.
QString paymentName(const QString& tipoDePago);

// The payment as stored, on two receipt rows from y (returns the y below them): its type's name
// (with its description) and the amount paid; for cash, the money received and, on the second
// row, the change. The document row must carry TIPODEPAGO, TIPODEPAGODES, MONEDA,
// VALOROTRAMONEDA, RECIBIDO, CAMBIO and the columns of the amount to pay; fillPaymentRows() sets
// them from it (`cashOnly`: only a cash payment's rows, for a receipt that names the payment
// type on a line of its own).
double addPaymentRows(Band& band, double y);
void fillPaymentRows(Band& band, const RowSource& row, bool cashOnly = false);

// The mark a reprinted invoice carries, so that it is never taken for the original.
inline const QString kReprintMark = QStringLiteral("Reimpresion");

// ---- electronic POS documents
// An invoice of a sale that has its electronic document prints, besides the sale, what the DIAN
// asks of the printed document: its title with "electrónico", the prefixed number, the
// authorization, the issue time, the buyer, the CUDE and the QR code of the DIAN's lookup address.
// Everything is read from the stored document, so a reprint prints the same.

// The sale's stored electronic document, when it has one.
std::optional<StoredDocument> electronicDocument(Connection& db, const SaleDocumentKey& key);

// The document's title, on as many rows as a receipt's width needs.
QStringList electronicTitleRows(bool narrow);

// Moves every item of the band `dy` mm down, making room above them.
void shiftItems(Band& band, double dy);

// Puts the title rows and the prefixed number at the top of `band`, moving what it held down.
void addElectronicTitle(Band& band, double x, double width, double row, double typeSize, const StoredDocument& doc,
                        bool narrow);

// Appends below what `band` holds: the document's taxes by kind and rate (base, rate, amount),
// the authorization, the issue time, the buyer, the CUDE, the QR code (qrMm square, centred) and
// the software's name and maker, and grows the band to hold them.
// With `at` (mm from the band's top) the block goes there instead, and what the band held from
// there down moves below it.
void addElectronicFooter(Band& band, double x, double width, double row, double typeSize, double qrMm,
                         const StoredDocument& doc, bool narrow, double at = -1);

// Whether a line of the shop's own header speaks of a paper numbering (a resolution, a range, an
// authorization) or names the paper invoice: on an electronic sale's printout the document's
// own title and authorization take its place.
bool paperNumberingLine(const QString& text);

// Takes the row of `band` that starts at `top` and is `height` tall away: its items are hidden
// and everything below moves up.
void removeRow(Band& band, double top, double height);

// A roll receipt of a sale with its electronic document: the title at the top of the title band,
// the footer at the end of the summary; the shop's header lines that would contradict it, the
// paper number (the item named "Numero") and the customer rows (named in `customerRows`: the
// document names the buyer) are taken away. False, and nothing changed, for a sale without one.
bool addElectronicReceiptParts(Report& rpt, Connection& db, const SaleDocumentKey& key,
                               const QStringList& customerRows = {QStringLiteral("Cliente")});

}  // namespace kv
