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

bool currentDocumentOpen(TDmVentas& dm)
{
    Dataset& h = dm.TIniFac;
    if (!h.active() || h.IsEmpty())
        return false;
    QSqlQuery q = dm.DbPos.exec(QStringLiteral("SELECT STATUS FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA AND DOCUMENTO = "
                                               ":DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO"),
                                {{QStringLiteral("EMPRESA"), h.FieldByName(QStringLiteral("EMPRESA")).value()},
                                 {QStringLiteral("DOCUMENTO"), h.FieldByName(QStringLiteral("DOCUMENTO")).value()},
                                 {QStringLiteral("CONSECUTIVO"), h.FieldByName(QStringLiteral("CONSECUTIVO")).value()}});
    return dm.DbPos.next(q) && q.value(0).toString().trimmed() != QLatin1String("I");
}

}  // namespace kv
