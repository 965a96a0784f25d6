#include "backoffice/DailyUpdate.h"

#include "data/PreparedStatement.h"
#include "data/Schema.h"

#include <QSqlQuery>
#include <tuple>
#include <vector>

namespace kv {

namespace {

constexpr int kProgressEvery = 20;  // documents

QVariantMap period(const QDate& desde, const QDate& hasta)
{
    return {{QStringLiteral("DESDE"), QDateTime(desde, QTime(0, 0))},
            {QStringLiteral("HASTA"), QDateTime(hasta.addDays(1), QTime(0, 0))}};
}

}  // namespace

void DailyUpdate::ensureRecord(Connection& pos)
{
    // Made by "korvela-db pos" and "update"; a database someone emptied of them by hand gets them
    // back here rather than failing in the middle of a run.
    ensureVentasActualizadas(pos);
}

std::optional<DailyUpdateRun> DailyUpdate::lastRun()
{
    ensureRecord(pos_);
    QSqlQuery q = pos_.exec(QStringLiteral("SELECT FIRST 1 FECHAINICIAL, FECHAFINAL, FECHAGRABACION, DOCUMENTOS, LINEAS "
                                           "FROM VENTASACTUALIZADAS ORDER BY FECHAFINAL DESC, FECHAGRABACION DESC"));
    if (!pos_.next(q))
        return std::nullopt;
    return DailyUpdateRun{q.value(0).toDate(), q.value(1).toDate(), q.value(2).toDateTime(), q.value(3).toInt(),
                          q.value(4).toInt()};
}

std::optional<std::pair<QDate, QDate>> DailyUpdate::alreadyUpdated(const QDate& desde, const QDate& hasta)
{
    ensureRecord(pos_);
    QSqlQuery q = pos_.exec(QStringLiteral("SELECT MIN(FECHAINICIAL), MAX(FECHAFINAL) FROM VENTASACTUALIZADAS "
                                           "WHERE FECHAINICIAL <= :HASTA AND FECHAFINAL >= :DESDE"),
                            {{QStringLiteral("DESDE"), desde}, {QStringLiteral("HASTA"), hasta}});
    if (!pos_.next(q) || q.value(0).isNull())
        return std::nullopt;
    return std::make_pair(std::max(q.value(0).toDate(), desde), std::min(q.value(1).toDate(), hasta));
}

TransferResult DailyUpdate::run(const QDate& desde, const QDate& hasta, const TransferProgress& progress)
{
    ensureRecord(pos_);
    TransferResult r;
    // Every column the sale tables share with the inventory tables, by name: the two line tables
    // declare IVA and VALORIVA in opposite orders.
    const QStringList headerColumns =
        sharedColumns(pos_, QStringLiteral("POSMOVIMIENTO"), pos_, QStringLiteral("MOVIMIENTO"));
    const QStringList lineColumns =
        sharedColumns(pos_, QStringLiteral("POSMOVIMIENTODETALLE"), pos_, QStringLiteral("MOVIMIENTODETALLE"));
    QStringList lineValues;
    for (const QString& c : lineColumns)
        // Stock moves in base units: a sale takes its units out, a return puts them back. Lines
        // stored before the base units were kept fall back to their own quantity.
        lineValues << (c == QLatin1String("CANTIDAD") ? QStringLiteral("-COALESCE(CANTIDADRECIBIDA, CANTIDAD)") : c);
    const QString key = QStringLiteral("EMPRESA = ? AND DOCUMENTO = ? AND CONSECUTIVO = ?");

    Transaction t(pos_);
    // The documents of the days, read first: their keys are all the rest needs.
    std::vector<std::tuple<QVariant, QVariant, QVariant>> documents;
    {
        // "+ 0": ordered on the plain key the engine walks the whole key (every year) in order
        // instead of sorting the days' documents.
        QSqlQuery q = pos_.exec(QStringLiteral("SELECT EMPRESA, DOCUMENTO, CONSECUTIVO FROM POSMOVIMIENTO WHERE FECHA >= "
                                               ":DESDE AND FECHA < :HASTA ORDER BY EMPRESA, DOCUMENTO, CONSECUTIVO + 0"),
                                period(desde, hasta));
        while (pos_.next(q))
            documents.emplace_back(q.value(0), q.value(1), q.value(2));
    }
    const int total = int(documents.size());

    // An inventory document of a sale's key that the update did not write is someone else's.
    PreparedStatement foreign(
        pos_, QStringLiteral("SELECT (SELECT COUNT(*) FROM MOVIMIENTO WHERE %1) + (SELECT COUNT(*) FROM "
                             "MOVIMIENTODETALLE WHERE %1), (SELECT COUNT(*) FROM VENTASACTUALIZADASDOC WHERE %1) "
                             "FROM RDB$DATABASE")
                  .arg(key));
    PreparedStatement record(pos_, QStringLiteral("UPDATE OR INSERT INTO VENTASACTUALIZADASDOC (EMPRESA, DOCUMENTO, "
                                                  "CONSECUTIVO) VALUES (?, ?, ?) MATCHING (EMPRESA, DOCUMENTO, CONSECUTIVO)"));
    PreparedStatement deleteLines(pos_, QStringLiteral("DELETE FROM MOVIMIENTODETALLE WHERE ") + key);
    PreparedStatement deleteHeader(pos_, QStringLiteral("DELETE FROM MOVIMIENTO WHERE ") + key);
    PreparedStatement copyHeader(pos_, QStringLiteral("INSERT INTO MOVIMIENTO (%1) SELECT %1 FROM POSMOVIMIENTO WHERE %2")
                                           .arg(headerColumns.join(QStringLiteral(", ")), key));
    PreparedStatement copyLines(pos_, QStringLiteral("INSERT INTO MOVIMIENTODETALLE (%1) SELECT %2 FROM "
                                                     "POSMOVIMIENTODETALLE WHERE %3")
                                          .arg(lineColumns.join(QStringLiteral(", ")),
                                               lineValues.join(QStringLiteral(", ")), key));
    // A set's components leave stock with it: each one its quantity per set times the base units
    // sold, from the warehouse the set left, numbered after the document's own lines. The stored
    // base units (CANTIDADRECIBIDA) are positive for a sale, as on the copied lines.
    PreparedStatement copyComponents(
        pos_,
        QStringLiteral(
            "INSERT INTO MOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, PRECIOUNIDAD, "
            "PORCENTAJEDESCUENTO, VALORDESCUENTO, IVA, VALORIVA, SUBTOTAL, BODEGA, DESCUENTO, UNIDADMOVIMIENTO, "
            "UNIDADCOMPRA, CANTIDADRECIBIDA, COSTO) "
            "SELECT D.EMPRESA, D.DOCUMENTO, D.CONSECUTIVO, "
            "(SELECT COALESCE(MAX(M.LINEA), 0) FROM POSMOVIMIENTODETALLE M WHERE M.EMPRESA = D.EMPRESA AND "
            "M.DOCUMENTO = D.DOCUMENTO AND M.CONSECUTIVO = D.CONSECUTIVO) + ROW_NUMBER() OVER (ORDER BY D.LINEA, "
            "S.SUBPRODUCTO), S.SUBPRODUCTO, -(COALESCE(D.CANTIDADRECIBIDA, D.CANTIDAD) * COALESCE(S.CANTIDAD, 0)), "
            "0, 0, 0, 0, 0, 0, COALESCE(D.BODEGA, 1), 0, 'UN', 'UN', COALESCE(D.CANTIDADRECIBIDA, D.CANTIDAD) * "
            "COALESCE(S.CANTIDAD, 0), P.VALORUNIDAD "
            "FROM POSMOVIMIENTODETALLE D JOIN PRODUCTOSSUB S ON S.PRODUCTO = D.PRODUCTO "
            "LEFT JOIN PRODUCTOS P ON P.PRODUCTO = S.SUBPRODUCTO "
            "WHERE D.EMPRESA = ? AND D.DOCUMENTO = ? AND D.CONSECUTIVO = ?"));

    RefusedRows refused;
    int done = 0;
    for (const auto& [empresa, documento, consecutivo] : documents) {
        if (refused.full())
            break;
        const QVariantList k{empresa, documento, consecutivo};
        const QString name = QStringLiteral("%1 %2 %3").arg(empresa.toString().trimmed(), documento.toString().trimmed(),
                                                          consecutivo.toString());
        foreign.exec(k + k + k);
        if (foreign.next() && foreign.value(0).toInt() > 0 && foreign.value(1).toInt() == 0) {
            refused.add(QStringLiteral("Documento ") + name,
                        DbError(QStringLiteral("el inventario ya tiene un documento con este número que no escribió la "
                                               "actualización (cargado de otra tienda o entrado en el inventario); no se "
                                               "reemplaza")));
            ++done;
            continue;
        }
        deleteLines.exec(k);
        deleteHeader.exec(k);
        try {
            copyHeader.exec(k);
            record.exec(k);
            ++r.documents;
        } catch (const DbError& e) {
            refused.add(QStringLiteral("Documento ") + name, e);
        }
        try {
            r.lines += copyLines.exec(k);
        } catch (const DbError& e) {
            refused.add(QStringLiteral("Líneas del documento ") + name, e);
        }
        try {
            r.lines += copyComponents.exec(k);
        } catch (const DbError& e) {
            refused.add(QStringLiteral("Componentes del documento ") + name, e);
        }
        ++done;
        if ((done == 1 || done % kProgressEvery == 0) && progress && !progress(QStringLiteral("Documentos"), done, total)) {
            r.cancelled = true;
            return r;  // the guard rolls back: the inventory tables keep what they had
        }
    }
    r.refused = refused.list();
    if (!r.refused.isEmpty())
        return r;
    pos_.exec(QStringLiteral("INSERT INTO VENTASACTUALIZADAS (FECHAINICIAL, FECHAFINAL, FECHAGRABACION, DOCUMENTOS, "
                             "LINEAS) VALUES (:DESDE, :HASTA, :AHORA, :DOCUMENTOS, :LINEAS)"),
              {{QStringLiteral("DESDE"), desde},
               {QStringLiteral("HASTA"), hasta},
               {QStringLiteral("AHORA"), QDateTime::currentDateTime()},
               {QStringLiteral("DOCUMENTOS"), r.documents},
               {QStringLiteral("LINEAS"), r.lines}});
    if (progress)
        progress(QStringLiteral("Documentos"), done, total);
    t.commit();
    return r;
}

}  // namespace kv
