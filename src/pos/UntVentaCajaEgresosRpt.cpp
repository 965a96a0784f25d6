#include "pos/UntVentaCajaEgresosRpt.h"

#include "platform/Printing.h"
#include "pos/CashReports.h"
#include "print/RollTicket.h"

namespace kv {

std::optional<Document> TFrmVentaCajaEgresosRpt::Render(Connection& db, double item)
{
    // The register is joined for its name only: the receipt of an expense whose register was
    // removed still prints.
    const QList<QVariantMap> rows = queryRows(
        db,
        QStringLiteral("SELECT P.CAJA, P.FECHA, P.ITEM, P.VALOR, P.DESCRIPCION, C.NOMBRE, C.EMPRESA FROM POSPAGOSCAJA P "
                       "LEFT JOIN POSCAJAS C ON C.CAJA = P.CAJA WHERE P.ITEM = :CONSECUTIVO"),
        {{QStringLiteral("CONSECUTIVO"), item}});
    if (rows.isEmpty())
        return std::nullopt;

    RollTicket t;
    t.title = QStringLiteral("PAGO EN CAJA");
    t.numberCaption = QStringLiteral("Consecutivo No.");
    t.numberCaptionWidth = 30;
    t.numberField = QStringLiteral("ITEM");
    t.textField = QStringLiteral("DESCRIPCION");
    t.textCentredWrapped = true;
    t.amountCaption = QStringLiteral("VALOR PAGO");
    t.amountField = QStringLiteral("VALOR");
    return renderRollTicket(t, rows.first());
}

void TFrmVentaCajaEgresosRpt::Imprimir(Connection& db, double item, QWidget* parent)
{
    if (const std::optional<Document> doc = Render(db, item))
        preview(*doc, parent);
}

}  // namespace kv
