#include "pos/UntVentaOrdenPagoPrn.h"

#include "common/Numbers.h"
#include "platform/Printing.h"
#include "print/RollTicket.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace kv {

std::optional<Document> TFrmVentaOrdenPagoPrn::Render(Connection& db, const SaleDocumentKey& key)
{
    // The document is chosen by its whole key: shops with several companies or document types
    // number each of them from 1.
    QSqlQuery q = db.exec(QStringLiteral("SELECT M.CONSECUTIVO, M.FECHA, M.NETO, P.NIT, P.DV, P.NOMBRE FROM POSMOVIMIENTO "
                                         "M LEFT JOIN PROVEEDORES P ON P.NIT = M.CLIENTE WHERE M.EMPRESA = :EMPRESA AND "
                                         "M.DOCUMENTO = :DOCUMENTO AND M.CONSECUTIVO = :CONSECUTIVO"),
                          {{QStringLiteral("EMPRESA"), key.empresa},
                           {QStringLiteral("DOCUMENTO"), key.documento},
                           {QStringLiteral("CONSECUTIVO"), key.consecutivo}});
    if (!db.next(q))
        return std::nullopt;
    QVariantMap row;
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i)
        row.insert(rec.fieldName(i), q.value(i));
    // The customer as one line: NIT-DV and two blanks before the name.
    row[QStringLiteral("LINEACLIENTE")] = FormatFloat(QStringLiteral("###,###."), row.value(QStringLiteral("NIT")).toDouble()) +
                                          QLatin1Char('-') + row.value(QStringLiteral("DV")).toString().trimmed() +
                                          QStringLiteral("  ") + row.value(QStringLiteral("NOMBRE")).toString().trimmed();

    RollTicket t;
    t.title = QStringLiteral("ORDEN PAGO");
    t.numberCaption = QStringLiteral("Factura No.");
    t.numberField = QStringLiteral("CONSECUTIVO");
    t.textField = QStringLiteral("LINEACLIENTE");
    t.amountCaption = QStringLiteral("VALOR FACTURA");
    t.amountField = QStringLiteral("NETO");
    return renderRollTicket(t, row);
}

bool TFrmVentaOrdenPagoPrn::Imprimir(Connection& db, const SaleDocumentKey& key)
{
    const std::optional<Document> doc = Render(db, key);
    return doc && print(*doc);
}

}  // namespace kv
