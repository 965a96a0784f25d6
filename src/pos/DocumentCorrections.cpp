#include "pos/DocumentCorrections.h"

#include "einvoice/ElectronicDocument.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "common/SaleAmounts.h"
#include "pos/UntDmVentas.h"
#include "pos/WholeTransaction.h"

#include <QSqlQuery>

namespace kv {

namespace {

QVariantMap keyParams(const SaleDocumentKey& k)
{
    return {{QStringLiteral("EMPRESA"), k.empresa},
            {QStringLiteral("DOCUMENTO"), k.documento},
            {QStringLiteral("CONSECUTIVO"), k.consecutivo}};
}

const QString kNoDocument = QStringLiteral("Factura No Existe");

// The number typed into the input box titled `caption`; nothing when cancelled. Text that is
// not a whole number names no document.
std::optional<std::optional<int>> askNumber(const QString& caption)
{
    const std::optional<QString> text = dialogs().input(caption, QStringLiteral("Número de Factura"));
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int n = text->trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::optional<int>();
}

}  // namespace

std::optional<SaleDocumentKey> askSaleDocument(TDmVentas& dm, const QString& caption)
{
    const std::optional<std::optional<int>> n = askNumber(caption);
    if (!n)
        return std::nullopt;
    std::optional<SaleDocumentKey> key = *n ? findSaleDocument(dm, **n) : std::nullopt;
    if (!key)
        ShowMessage(kNoDocument);
    return key;
}

std::optional<SaleDocumentKey> findSaleDocument(TDmVentas& dm, int consecutivo)
{
    const SaleDocumentKey key{dm.Parametros.FieldByName(QStringLiteral("EMPRESA")).asString(),
                              dm.Parametros.FieldByName(QStringLiteral("DOCUMENTO")).asString(), consecutivo};
    const QVariant found = dm.DbPos.scalar(QStringLiteral("SELECT CONSECUTIVO FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA "
                                                          "AND DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO"),
                                           keyParams(key));
    return found.isNull() ? std::nullopt : std::optional<SaleDocumentKey>(key);
}

bool voidDocument(TDmVentas& dm, const SaleDocumentKey& key, bool onlyOpen)
{
    QVariantMap params = keyParams(key);
    bool voided = false;
    runWholeTransaction(dm.DbPos, [&] {
        voided = false;
        // The header first, so a register still adding a line to it (or collecting it) waits or
        // gives way.
        QSqlQuery lock = dm.DbPos.exec(QStringLiteral("SELECT STATUS FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA AND "
                                                      "DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO WITH LOCK"),
                                       params);
        if (!dm.DbPos.next(lock))
            throw DbError(kNoDocument);
        if (onlyOpen && lock.value(0).toString().trimmed() == QLatin1String("I"))
            return;
        // A sale whose electronic document was issued is voided before the DIAN by its adjustment
        // note, which repeats the lines: so it is written before they go, in this same transaction.
        issueAdjustmentNote(dm.DbPos, key.empresa, key.documento, key.consecutivo);
        dm.DbPos.exec(QStringLiteral("DELETE FROM POSMOVIMIENTODETALLE WHERE EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO "
                                     "AND CONSECUTIVO = :CONSECUTIVO"),
                      params);
        // Everything the cash figures count is set to 0 with the lines' totals: what was paid
        // before, the service charge and the guests too, so the voided sale no longer moves the
        // cash count nor "TOTAL Personas".
        QVariantMap closing = params;
        closing.insert(QStringLiteral("CAJERO"), dm.TCajero.FieldByName(QStringLiteral("CEDULA")).value());
        dm.DbPos.exec(QStringLiteral("UPDATE POSMOVIMIENTO SET SUBTOTAL = 0, DESCUENTO = 0, IVA = 0, NETO = 0, ABONO = 0, "
                                     "PAGO = 0, VALORPROPINA = 0, PERSONAS = 0, STATUS = 'I', CAJERO = :CAJERO WHERE EMPRESA = :EMPRESA "
                                     "AND DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO"),
                      closing);
        voided = true;
    });
    // The module's cursors show what is stored, should they stand on that document.
    if (dm.TIniFac.active() && !dm.TIniFac.IsEmpty() && !dm.TIniFac.isEditing() &&
        dm.TIniFac.FieldByName(QStringLiteral("EMPRESA")).asString() == key.empresa &&
        dm.TIniFac.FieldByName(QStringLiteral("DOCUMENTO")).asString() == key.documento &&
        dm.TIniFac.FieldByName(QStringLiteral("CONSECUTIVO")).asInteger() == key.consecutivo) {
        dm.TIniFac.RefreshRecord();
        dm.TFac.Refresh();
    }
    return voided;
}

void ReimprimeFactura(TDmVentas& dm, InvoicePaper paper, QWidget* parent, InvoiceCaller caller)
{
    const std::optional<SaleDocumentKey> key = askSaleDocument(dm, QStringLiteral("Reimprimir"));
    if (!key)
        return;
    if (printInvoice(dm.DbPos, *key, invoicePrintFor(caller, paper), parent) == PrintResult::NoDocument)
        ShowMessage(kNoDocument);
}

bool confirmVoid(TDmVentas& dm, const SaleDocumentKey& key)
{
    // Voiding cannot be undone and a mistyped number would void another customer's sale: the
    // cashier sees which document it is before anything changes.
    QSqlQuery q = dm.DbPos.exec(QStringLiteral("SELECT H.CLIENTE, C.NOMBRE, H.NETO, H.VALORPROPINA, H.DESCUENTO, H.ABONO, "
                                               "H.STATUS FROM POSMOVIMIENTO H LEFT JOIN PROVEEDORES C ON C.NIT = H.CLIENTE "
                                               "WHERE H.EMPRESA = :EMPRESA AND H.DOCUMENTO = :DOCUMENTO AND H.CONSECUTIVO = "
                                               ":CONSECUTIVO"),
                                keyParams(key));
    if (!dm.DbPos.next(q)) {
        ShowMessage(kNoDocument);
        return false;
    }
    const QString cliente = q.value(1).toString().trimmed();
    const double total = amountToPay(q.value(2).toDouble(), q.value(3).toDouble(), q.value(4).toDouble(), q.value(5).toDouble());
    const QString question = QStringLiteral("¿Anular la factura %1 de %2 (%3) por %4? La anulación no se puede deshacer.")
                                 .arg(key.consecutivo)
                                 .arg(cliente.isEmpty() ? QStringLiteral("Nit O Cedula No Creada") : cliente,
                                      FormatFloat(QStringLiteral("###,###."), q.value(0).toDouble()),
                                      FormatFloat(QStringLiteral("###,###.00"), total));
    return AskYesNo(question);
}

void AnulaFacturas(TDmVentas& dm, QWidget*)
{
    const std::optional<SaleDocumentKey> key = askSaleDocument(dm, QStringLiteral("Anular"));
    if (!key || !confirmVoid(dm, *key))
        return;
    voidDocument(dm, *key);
    ShowMessage(QStringLiteral("Factura %1 anulada").arg(key->consecutivo));
}

}  // namespace kv
