#include "pos/variants/DocumentLookup.h"

#include "pos/UntDmVentas.h"

#include <QSqlQuery>

namespace kv {

std::optional<bool> documentClosed(TDmVentas& dm, int numero)
{
    QSqlQuery q = dm.DbPos.exec(QStringLiteral("SELECT STATUS FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA AND DOCUMENTO = "
                                               ":DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO"),
                                {{QStringLiteral("EMPRESA"), dm.Parametros.FieldByName(QStringLiteral("EMPRESA")).value()},
                                 {QStringLiteral("DOCUMENTO"), dm.Parametros.FieldByName(QStringLiteral("DOCUMENTO")).value()},
                                 {QStringLiteral("CONSECUTIVO"), numero}});
    if (!dm.DbPos.next(q))
        return std::nullopt;
    return q.value(0).toString().trimmed() == QLatin1String("I");
}

bool openDocumentFresh(TDmVentas& dm, int numero)
{
    const QVariant empresa = dm.Parametros.FieldByName(QStringLiteral("EMPRESA")).value();
    const QVariant documento = dm.Parametros.FieldByName(QStringLiteral("DOCUMENTO")).value();
    if (dm.openDocument(empresa, documento, numero))
        return true;
    dm.TIniFac.Refresh();
    return dm.openDocument(empresa, documento, numero);
}

}  // namespace kv
