#include "pos/DocumentCorrections.h"

#include "einvoice/ElectronicDocument.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "common/SaleAmounts.h"
#include "data/Trail.h"
#include "pos/UntDmVentas.h"
#include "pos/WholeTransaction.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace kv {

namespace {

QVariantMap keyParams(const SaleDocumentKey& k)
{
    return {{QStringLiteral("EMPRESA"), k.empresa},
            {QStringLiteral("DOCUMENTO"), k.documento},
            {QStringLiteral("CONSECUTIVO"), k.consecutivo}};
}

const QString kNoDocument = QStringLiteral("Factura No Existe");
const QString kAmount = QStringLiteral("###,###.00");

// The header columns a correction's new sale takes from the sale it replaces: its customer,
// seller, payment and amounts.
const QStringList kCopied{QStringLiteral("CLIENTE"),       QStringLiteral("VENDEDOR"),     QStringLiteral("PLAZO"),
                          QStringLiteral("OBSERVACIONES"), QStringLiteral("TIPODEPAGO"),   QStringLiteral("TIPODEPAGODES"),
                          QStringLiteral("MONEDA"),        QStringLiteral("TASA"),         QStringLiteral("VALOROTRAMONEDA"),
                          QStringLiteral("ABONO"),         QStringLiteral("PAGO"),         QStringLiteral("PERSONAS"),
                          QStringLiteral("PROPINA"),       QStringLiteral("VALORPROPINA"), QStringLiteral("DESCUENTO"),
                          QStringLiteral("SUBTOTAL"),      QStringLiteral("IVA"),          QStringLiteral("NETO")};

// A correction's new sale while the cashier edits it: neither open (no register lists it to
// collect) nor closed. It becomes a paid sale, or goes, when the correction ends.
const QString kDraftStatus = QStringLiteral("R");

// What the customer pays for the document as stored, in the transaction open on `db`.
double storedAmount(Connection& db, const QVariantMap& key)
{
    return db.scalar(QStringLiteral("SELECT COALESCE(NETO, 0) + COALESCE(VALORPROPINA, 0) - COALESCE(DESCUENTO, 0) - "
                                    "COALESCE(ABONO, 0) FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA AND DOCUMENTO = "
                                    ":DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO"),
                     key)
        .toDouble();
}

// The header as it stands before a void, read in the void's transaction once the row is taken.
struct BeforeVoid {
    bool closed = false;  // paid (or voided already)
    bool cash = false;    // paid in cash
    double amount = 0;    // what the customer paid for it
};

// The void itself, in the transaction open on dm.DbPos, the header row already taken: the
// adjustment note of an issued sale, its lines deleted, its amounts 0, closed by the signed-on
// cashier; and the cash a paid cash sale hands back, on the trail where the cash count reads it.
BeforeVoid voidInTransaction(TDmVentas& dm, const SaleDocumentKey& key, const QString& refundDetail)
{
    const QVariantMap params = keyParams(key);
    BeforeVoid before;
    QSqlQuery h = dm.DbPos.exec(QStringLiteral("SELECT STATUS, TIPODEPAGO FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA AND "
                                               "DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO"),
                                params);
    if (!dm.DbPos.next(h))
        throw DbError(kNoDocument);
    before.closed = h.value(0).toString().trimmed() == QLatin1String("I");
    before.cash = h.value(1).toString().trimmed() == QLatin1String("C");
    before.amount = storedAmount(dm.DbPos, params);
    // A sale whose electronic document was issued is voided before the DIAN by its adjustment
    // note, which repeats what the document issued.
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
    // The cash a paid cash sale brought in goes back to the customer from this drawer now. The
    // cash count shows both: the voided sale as collected, the money handed back against the
    // register and cashier that handed it.
    if (before.closed && before.cash && before.amount > 0) {
        TrailEntry refund = dm.trailEntry(QStringLiteral("DEVOLUCION"), key.empresa, key.documento, key.consecutivo);
        refund.valorAntes = before.amount;
        refund.valorDespues = 0.0;
        refund.detalle = refundDetail;
        recordTrail(dm.DbPos, refund);
    }
    return before;
}

// The header row taken for the rest of the transaction; its STATUS.
QVariant lockHeader(Connection& db, const SaleDocumentKey& key)
{
    QSqlQuery lock = db.exec(QStringLiteral("SELECT STATUS FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA AND "
                                            "DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO WITH LOCK"),
                             keyParams(key));
    if (!db.next(lock))
        throw DbError(kNoDocument);
    return lock.value(0);
}

// The module's cursors show what is stored, should they stand on that document.
void showStored(TDmVentas& dm, const SaleDocumentKey& key)
{
    if (dm.TIniFac.active() && !dm.TIniFac.IsEmpty() && !dm.TIniFac.isEditing() &&
        dm.TIniFac.FieldByName(QStringLiteral("EMPRESA")).asString() == key.empresa &&
        dm.TIniFac.FieldByName(QStringLiteral("DOCUMENTO")).asString() == key.documento &&
        dm.TIniFac.FieldByName(QStringLiteral("CONSECUTIVO")).asInteger() == key.consecutivo) {
        dm.TIniFac.RefreshRecord();
        dm.TFac.Refresh();
    }
}

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
    return voidSale(dm, key, onlyOpen).voided;
}

VoidOutcome voidSale(TDmVentas& dm, const SaleDocumentKey& key, bool onlyOpen)
{
    VoidOutcome outcome;
    runWholeTransaction(dm.DbPos, [&] {
        outcome = VoidOutcome();
        // The header first, so a register still adding a line to it (or collecting it) waits or
        // gives way.
        const QVariant status = lockHeader(dm.DbPos, key);
        if (onlyOpen && status.toString().trimmed() == QLatin1String("I"))
            return;
        const BeforeVoid before =
            voidInTransaction(dm, key, QStringLiteral("Efectivo devuelto al cliente: factura %1 anulada").arg(key.consecutivo));
        TrailEntry e = dm.trailEntry(QStringLiteral("ANULACION"), key.empresa, key.documento, key.consecutivo);
        e.valorAntes = before.amount;
        e.valorDespues = 0.0;
        e.detalle = QStringLiteral("Factura %1 anulada%2")
                        .arg(key.consecutivo)
                        .arg(before.closed ? QString() : QStringLiteral(" (estaba sin pagar)"));
        recordTrail(dm.DbPos, e);
        outcome.voided = true;
        outcome.cashBack = before.closed && before.cash ? before.amount : 0;
    });
    showStored(dm, key);
    return outcome;
}

double saleAmount(Connection& db, const SaleDocumentKey& key) { return storedAmount(db, keyParams(key)); }

bool saleIssued(Connection& db, const SaleDocumentKey& key)
{
    return storedDocument(db, key.empresa, key.documento, key.consecutivo).has_value();
}

int startCorrection(TDmVentas& dm, const SaleDocumentKey& original)
{
    const QVariantMap from = keyParams(original);
    const QVariant cliente = dm.DbPos.scalar(QStringLiteral("SELECT CLIENTE FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA AND "
                                                            "DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO"),
                                             from);
    // The new sale is numbered under the original's company and type (the parameter row in
    // force is the one the original was found under).
    const double clienteAntes = ClienteActual;
    ClienteActual = cliente.toDouble();
    struct Restore {
        double value;
        ~Restore() { ClienteActual = value; }
    } restore{clienteAntes};
    const TableInfo& lines = dm.DbPos.tableInfo(QStringLiteral("POSMOVIMIENTODETALLE"));
    QStringList columns, values;
    for (const ColumnInfo& c : lines.columns) {
        columns << c.name;
        values << (c.name == QLatin1String("CONSECUTIVO") ? QStringLiteral(":NUEVO") : c.name);
    }
    const int numero = dm.startDocument([&](int nuevo) {
        QVariantMap p = from;
        p.insert(QStringLiteral("NUEVO"), nuevo);
        // It starts as the original was issued: its customer, seller, payment and amounts, and
        // its lines; the cashier then changes what was wrong.
        QStringList set{QStringLiteral("STATUS = :STATUS")};
        QVariantMap header = {{QStringLiteral("STATUS"), kDraftStatus}};
        QSqlQuery o = dm.DbPos.exec(QStringLiteral("SELECT %1 FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA AND DOCUMENTO = "
                                                   ":DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO")
                                        .arg(kCopied.join(QStringLiteral(", "))),
                                    from);
        if (!dm.DbPos.next(o))
            throw DbError(kNoDocument);
        for (int i = 0; i < kCopied.size(); ++i) {
            set << kCopied[i] + QStringLiteral(" = :") + kCopied[i];
            header.insert(kCopied[i], o.value(i));
        }
        header.insert(keyParams({original.empresa, original.documento, nuevo}));
        dm.DbPos.exec(QStringLiteral("UPDATE POSMOVIMIENTO SET %1 WHERE EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO AND "
                                     "CONSECUTIVO = :CONSECUTIVO")
                          .arg(set.join(QStringLiteral(", "))),
                      header);
        dm.DbPos.exec(QStringLiteral("INSERT INTO POSMOVIMIENTODETALLE (%1) SELECT %2 FROM POSMOVIMIENTODETALLE WHERE "
                                     "EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO")
                          .arg(columns.join(QStringLiteral(", ")), values.join(QStringLiteral(", "))),
                      p);
    });
    // The header was read back as it was inserted; the copy is shown as stored.
    dm.TIniFac.RefreshRecord();
    dm.TFac.Refresh();
    return numero;
}

void dropCorrection(TDmVentas& dm, const SaleDocumentKey& draft)
{
    QVariantMap p = keyParams(draft);
    p.insert(QStringLiteral("STATUS"), kDraftStatus);
    runWholeTransaction(dm.DbPos, [&] {
        // Only while it is still the correction's: nothing else is ever deleted here.
        if (lockHeader(dm.DbPos, draft).toString().trimmed() != kDraftStatus)
            return;
        dm.DbPos.exec(QStringLiteral("DELETE FROM POSMOVIMIENTODETALLE WHERE EMPRESA = :EMPRESA AND DOCUMENTO = "
                                     ":DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO"),
                      p);
        dm.DbPos.exec(QStringLiteral("DELETE FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO AND "
                                     "CONSECUTIVO = :CONSECUTIVO AND STATUS = :STATUS"),
                      p);
    });
}

bool correctionChangesNothing(TDmVentas& dm, const SaleDocumentKey& original, const SaleDocumentKey& draft)
{
    auto lines = [&dm](const SaleDocumentKey& k) {
        QStringList out;
        QSqlQuery q = dm.DbPos.exec(QStringLiteral("SELECT PRODUCTO, UNIDADMOVIMIENTO, CANTIDAD, PRECIOUNIDAD, SUBTOTAL, "
                                                   "VALORDESCUENTO, VALORIVA FROM POSMOVIMIENTODETALLE WHERE EMPRESA = "
                                                   ":EMPRESA AND DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO "
                                                   "ORDER BY LINEA"),
                                    keyParams(k));
        while (dm.DbPos.next(q)) {
            QStringList row;
            for (int i = 0; i < 7; ++i)
                row << q.value(i).toString().trimmed();
            out << row.join(QLatin1Char('|'));
        }
        return out;
    };
    return lines(original) == lines(draft) &&
           qAbs(storedAmount(dm.DbPos, keyParams(original)) - storedAmount(dm.DbPos, keyParams(draft))) < 0.005;
}

CorrectionOutcome replaceSale(TDmVentas& dm, const SaleDocumentKey& original, const SaleDocumentKey& draft)
{
    CorrectionOutcome outcome;
    runWholeTransaction(dm.DbPos, [&] {
        outcome = CorrectionOutcome();
        // Both headers are taken first: the original must still be a paid sale with its document
        // and no note (another register may have voided it meanwhile), the new one still this
        // correction's.
        const bool paid = lockHeader(dm.DbPos, original).toString().trimmed() == QLatin1String("I");
        if (!paid || storedDocument(dm.DbPos, original.empresa, original.documento, original.consecutivo, kTipoNotaAjuste))
            throw DbError(QStringLiteral("La factura %1 ya fue anulada o cambiada en otra caja; no se guardó nada.")
                              .arg(original.consecutivo));
        if (lockHeader(dm.DbPos, draft).toString().trimmed() != kDraftStatus)
            throw DbError(QStringLiteral("La factura %1 de la corrección ya no está en curso; no se guardó nada.")
                              .arg(draft.consecutivo));
        const BeforeVoid before =
            voidInTransaction(dm, original, QStringLiteral("El pago de la factura %1 pasa a la factura %2 que la reemplaza")
                                                .arg(original.consecutivo)
                                                .arg(draft.consecutivo));
        // The new sale is paid as the original was: it is closed by the cashier who corrected it
        // and gets its own electronic document.
        QVariantMap p = keyParams(draft);
        p.insert(QStringLiteral("CAJERO"), dm.TCajero.FieldByName(QStringLiteral("CEDULA")).value());
        dm.DbPos.exec(QStringLiteral("UPDATE POSMOVIMIENTO SET STATUS = 'I', CAJERO = :CAJERO, RECIBIDO = NULL, CAMBIO = NULL "
                                     "WHERE EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO"),
                      p);
        issueSaleDocument(dm.DbPos, draft.empresa, draft.documento, draft.consecutivo);
        outcome.before = before.amount;
        outcome.after = storedAmount(dm.DbPos, keyParams(draft));
        outcome.cash = before.cash;
        outcome.nuevo = draft.consecutivo;
        TrailEntry e = dm.trailEntry(QStringLiteral("CORRECCION"), original.empresa, original.documento, original.consecutivo);
        e.valorAntes = outcome.before;
        e.valorDespues = outcome.after;
        e.detalle = QStringLiteral("Factura %1 anulada con su nota y reemplazada por la factura %2; diferencia %3")
                        .arg(original.consecutivo)
                        .arg(draft.consecutivo)
                        .arg(FormatFloat(kAmount, outcome.after - outcome.before));
        recordTrail(dm.DbPos, e);
    });
    showStored(dm, original);
    showStored(dm, draft);
    return outcome;
}

QString correctionText(const SaleDocumentKey& original, const CorrectionOutcome& c)
{
    const double diferencia = c.after - c.before;
    QString money;
    if (qAbs(diferencia) < 0.005)
        money = QStringLiteral("Sin diferencia de dinero.");
    else if (c.cash)
        money = (diferencia < 0 ? QStringLiteral("Devuelva al cliente en efectivo: ") : QStringLiteral("Cobre al cliente en efectivo: ")) +
                FormatFloat(kAmount, qAbs(diferencia));
    else
        money = (diferencia < 0 ? QStringLiteral("Diferencia a favor del cliente: ") : QStringLiteral("Diferencia a cargo del cliente: ")) +
                FormatFloat(kAmount, qAbs(diferencia));
    return QStringLiteral("La factura %1 quedó anulada con su nota de ajuste y la reemplaza la factura %2.\n"
                          "Valor anterior: %3\nValor nuevo: %4\n%5")
        .arg(original.consecutivo)
        .arg(c.nuevo)
        .arg(FormatFloat(kAmount, c.before), FormatFloat(kAmount, c.after), money);
}

void ReimprimeFactura(TDmVentas& dm, InvoicePaper paper, QWidget* parent, InvoiceCaller caller)
{
    const std::optional<SaleDocumentKey> key = askSaleDocument(dm, QStringLiteral("Reimprimir"));
    if (!key)
        return;
    const PrintResult printed = printInvoice(dm.DbPos, *key, invoicePrintFor(caller, paper), parent);
    if (printed == PrintResult::NoDocument) {
        ShowMessage(kNoDocument);
        return;
    }
    // A copy of a closed sale handed out again is on the trail: who, where, when.
    const QVariant status = dm.DbPos.scalar(QStringLiteral("SELECT STATUS FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA "
                                                           "AND DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO"),
                                            keyParams(*key));
    if (printed == PrintResult::Printed && status.toString().trimmed() == QLatin1String("I")) {
        TrailEntry e = dm.trailEntry(QStringLiteral("REIMPRESION"), key->empresa, key->documento, key->consecutivo);
        e.valorAntes = e.valorDespues = storedAmount(dm.DbPos, keyParams(*key));
        e.detalle = QStringLiteral("Factura %1 reimpresa").arg(key->consecutivo);
        recordTrail(dm.DbPos, e);
    }
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
    const VoidOutcome voided = voidSale(dm, *key);
    // Cash the customer paid goes back now: the cashier is told how much, and the count shows it.
    if (voided.cashBack > 0)
        ShowMessage(QStringLiteral("Factura %1 anulada. Devuelva al cliente en efectivo: %2")
                        .arg(key->consecutivo)
                        .arg(FormatFloat(kAmount, voided.cashBack)));
    else
        ShowMessage(QStringLiteral("Factura %1 anulada").arg(key->consecutivo));
}

}  // namespace kv
