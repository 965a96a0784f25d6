#include "pos/variants/DocumentLookup.h"

#include "pos/UntDmVentas.h"

#include <QSqlQuery>

namespace kv {

std::optional<bool> documentClosed(TDmVentas& dm, const SaleDocumentKey& key)
{
    QSqlQuery q = dm.DbPos.exec(QStringLiteral("SELECT STATUS FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA AND DOCUMENTO = "
                                               ":DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO"),
                                {{QStringLiteral("EMPRESA"), key.empresa},
                                 {QStringLiteral("DOCUMENTO"), key.documento},
                                 {QStringLiteral("CONSECUTIVO"), key.consecutivo}});
    if (!dm.DbPos.next(q))
        return std::nullopt;
    return q.value(0).toString().trimmed() == QLatin1String("I");
}

std::optional<bool> documentClosed(TDmVentas& dm, int numero)
{
    return documentClosed(dm, {dm.Parametros.FieldByName(QStringLiteral("EMPRESA")).asString(),
                               dm.Parametros.FieldByName(QStringLiteral("DOCUMENTO")).asString(), numero});
}

}  // namespace kv
