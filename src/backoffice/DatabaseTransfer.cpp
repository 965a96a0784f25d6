#include "backoffice/DatabaseTransfer.h"

#include "data/BulkInsert.h"
#include "data/PreparedStatement.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>

namespace kv {

namespace {

QString text(const QVariant& v) { return v.toString().trimmed(); }

// How often, in rows, a long copy tells how far it got.
constexpr int kProgressEvery = 200;

// The first row and every so many after it are told, so that even a short copy can be stopped.
bool due(int done) { return done == 1 || done % kProgressEvery == 0; }

bool tell(const TransferProgress& progress, const QString& what, int done, int total)
{
    return !progress || progress(what, done, total);
}

// "01 ENT 15": a document's key as the lists name it.
QString documentName(const QVariant& empresa, const QVariant& documento, const QVariant& consecutivo)
{
    return QStringLiteral("%1 %2 %3").arg(text(empresa), text(documento), text(consecutivo));
}

QString prefixed(const QStringList& columns, const QString& alias)
{
    QStringList out;
    for (const QString& c : columns)
        out << alias + QLatin1Char('.') + c;
    return out.join(QStringLiteral(", "));
}

// Names a row of MOVIMIENTO ("Documento 01 TRS 15") or of MOVIMIENTODETALLE ("Línea 2 del
// documento 01 TRS 15") by its values.
std::function<QString(const QVariantList&)> documentRowName(const QStringList& columns)
{
    const int e = columns.indexOf(QStringLiteral("EMPRESA")), d = columns.indexOf(QStringLiteral("DOCUMENTO")),
              c = columns.indexOf(QStringLiteral("CONSECUTIVO")), l = columns.indexOf(QStringLiteral("LINEA"));
    return [=](const QVariantList& v) {
        const QString document = documentName(v.value(e), v.value(d), v.value(c));
        return l >= 0 ? QStringLiteral("Línea %1 del documento %2").arg(text(v.value(l)), document)
                      : QStringLiteral("Documento ") + document;
    };
}

// Streams the rows q reads (its first `width` columns) into another table: each row adjusted
// first when asked, a refused row named by its values as read and kept in `refused`, the count
// told as it goes. False when the user stopped it.
bool copyRows(Connection& from, QSqlQuery& q, int width, BulkInsert& into, RefusedRows& refused,
              const TransferProgress& progress, const QString& what, int total, int& count,
              const std::function<QString(const QVariantList&)>& name,
              const std::function<void(QVariantList&)>& adjust = {})
{
    while (!refused.full() && from.next(q)) {
        QVariantList values;
        for (int i = 0; i < width; ++i)
            values << q.value(i);
        const QVariantList read = values;
        if (adjust)
            adjust(values);
        try {
            into.add(values);
            ++count;
        } catch (const DbError& e) {
            refused.add(name(read), e);
        }
        if (due(count) && !tell(progress, what, count, total))
            return false;
    }
    return true;
}

}  // namespace

void RefusedRows::add(const QString& row, const DbError& e)
{
    if (!full())
        list_ << QStringLiteral("%1: %2").arg(row, e.text());
}

QStringList sharedColumns(Connection& from, const QString& fromTable, Connection& to, const QString& toTable)
{
    const TableInfo& source = from.tableInfo(fromTable);
    QStringList out;
    for (const ColumnInfo& c : to.tableInfo(toTable).columns)
        if (source.indexOf(c.name) >= 0)
            out << c.name;
    return out;
}

int DatabaseTransfer::removableRows(const QString& table)
{
    return removable_.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
}

TransferResult DatabaseTransfer::uploadDocuments(const DocumentSelection& s, const TransferProgress& progress)
{
    TransferResult r;
    const QStringList headerColumns =
        sharedColumns(pos_, QStringLiteral("MOVIMIENTO"), removable_, QStringLiteral("MOVIMIENTO"));
    const QStringList lineColumns =
        sharedColumns(pos_, QStringLiteral("MOVIMIENTODETALLE"), removable_, QStringLiteral("MOVIMIENTODETALLE"));
    // The end day is taken whole: documents are stamped with the time of day they were made.
    // Company and type are compared as built text, the joins built on the header's side and the
    // orders end in "+ 0", so that the period is read on the date index: otherwise the engine adds
    // the company's part of the key, or walks a whole key in order, over every year stored.
    const QString where = QStringLiteral(
        "H.FECHA >= :DESDE AND H.FECHA < :HASTA AND H.DOCUMENTO || '' = :DOCUMENTO AND H.BODEGA = :BODEGA AND "
        "H.EMPRESA || '' = :EMPRESA");
    const QVariantMap params{{QStringLiteral("DESDE"), QDateTime(s.desde, QTime(0, 0))},
                             {QStringLiteral("HASTA"), QDateTime(s.hasta.addDays(1), QTime(0, 0))},
                             {QStringLiteral("DOCUMENTO"), s.documento},
                             {QStringLiteral("BODEGA"), s.bodega},
                             {QStringLiteral("EMPRESA"), s.empresa}};

    // Both reads see the same moment of the shop's database.
    Transaction reading(pos_);
    const int headers = pos_.scalar(QStringLiteral("SELECT COUNT(*) FROM MOVIMIENTO H WHERE ") + where, params).toInt();
    const int lines = pos_.scalar(QStringLiteral("SELECT COUNT(*) FROM MOVIMIENTO H JOIN MOVIMIENTODETALLE D ON "
                                                 "D.EMPRESA = H.EMPRESA || '' AND D.DOCUMENTO = H.DOCUMENTO || '' AND "
                                                 "D.CONSECUTIVO = H.CONSECUTIVO + 0 WHERE ") +
                                      where,
                                  params)
                          .toInt();
    RefusedRows refused;
    Transaction writing(removable_);
    removable_.exec(QStringLiteral("DELETE FROM MOVIMIENTODETALLE"));
    removable_.exec(QStringLiteral("DELETE FROM MOVIMIENTO"));
    BulkInsert headersInto(removable_, QStringLiteral("MOVIMIENTO"), headerColumns);
    QSqlQuery q = pos_.exec(QStringLiteral("SELECT %1 FROM MOVIMIENTO H WHERE %2 ORDER BY H.EMPRESA, H.DOCUMENTO, "
                                           "H.CONSECUTIVO + 0")
                                .arg(prefixed(headerColumns, QStringLiteral("H")), where),
                            params);
    if (!copyRows(pos_, q, int(headerColumns.size()), headersInto, refused, progress, QStringLiteral("Documentos"), headers,
                  r.documents, documentRowName(headerColumns))) {
        r.cancelled = true;
        return r;
    }
    BulkInsert linesInto(removable_, QStringLiteral("MOVIMIENTODETALLE"), lineColumns);
    q = pos_.exec(QStringLiteral("SELECT %1 FROM MOVIMIENTO H JOIN MOVIMIENTODETALLE D ON D.EMPRESA = H.EMPRESA || '' "
                                 "AND D.DOCUMENTO = H.DOCUMENTO || '' AND D.CONSECUTIVO = H.CONSECUTIVO + 0 WHERE %2 "
                                 "ORDER BY D.EMPRESA, D.DOCUMENTO, D.CONSECUTIVO, D.LINEA + 0")
                      .arg(prefixed(lineColumns, QStringLiteral("D")), where),
                  params);
    if (!copyRows(pos_, q, int(lineColumns.size()), linesInto, refused, progress, QStringLiteral("Líneas"), lines, r.lines,
                  documentRowName(lineColumns))) {
        r.cancelled = true;
        return r;
    }
    r.refused = refused.list();
    if (!r.refused.isEmpty())
        return r;  // the guards roll back: the removable database keeps what it had
    tell(progress, QStringLiteral("Líneas"), r.lines, lines);
    writing.commit();
    reading.commit();
    return r;
}

QList<int> DatabaseTransfer::documentCollisions(const QString& empresa, const QString& documento)
{
    // Every number the removable database holds, with the documents it belongs to there.
    QHash<int, QSet<QString>> owners;
    QSqlQuery q = removable_.exec(QStringLiteral("SELECT DISTINCT EMPRESA, DOCUMENTO, CONSECUTIVO FROM MOVIMIENTO UNION "
                                                 "SELECT DISTINCT EMPRESA, DOCUMENTO, CONSECUTIVO FROM MOVIMIENTODETALLE"));
    while (removable_.next(q))
        owners[q.value(2).toInt()].insert(text(q.value(0)) + QLatin1Char('|') + text(q.value(1)));

    QList<int> numbers = owners.keys();
    std::sort(numbers.begin(), numbers.end());
    QList<int> out;
    Transaction reading(pos_);
    // A sale of the point of sale with the same key counts as taken too: the daily update writes
    // its sales into the inventory tables under their own keys, where it would meet the loaded one.
    PreparedStatement here(pos_, QStringLiteral(
                                     "SELECT (SELECT COUNT(*) FROM MOVIMIENTO WHERE EMPRESA = ? AND DOCUMENTO = ? AND "
                                     "CONSECUTIVO = ?) + (SELECT COUNT(*) FROM MOVIMIENTODETALLE WHERE EMPRESA = ? AND "
                                     "DOCUMENTO = ? AND CONSECUTIVO = ?) + (SELECT COUNT(*) FROM POSMOVIMIENTO WHERE "
                                     "EMPRESA = ? AND DOCUMENTO = ? AND CONSECUTIVO = ?) FROM RDB$DATABASE"));
    for (int n : numbers) {
        bool taken = owners.value(n).size() > 1;
        if (!taken) {
            here.exec({empresa, documento, n, empresa, documento, n, empresa, documento, n});
            taken = here.next() && here.value(0).toInt() > 0;
        }
        if (taken)
            out << n;
    }
    reading.commit();
    return out;
}

TransferResult DatabaseTransfer::downloadDocuments(const QString& empresa, const QString& documento, int bodega,
                                                   const TransferProgress& progress)
{
    TransferResult r;
    if (!documentCollisions(empresa, documento).isEmpty())
        throw Failure(QStringLiteral("Hay números de documento que ya existen; no se bajó nada."));
    const QStringList headerColumns =
        sharedColumns(removable_, QStringLiteral("MOVIMIENTO"), pos_, QStringLiteral("MOVIMIENTO"));
    const QStringList lineColumns =
        sharedColumns(removable_, QStringLiteral("MOVIMIENTODETALLE"), pos_, QStringLiteral("MOVIMIENTODETALLE"));
    const int headers = removableRows(QStringLiteral("MOVIMIENTO"));
    const int lines = removableRows(QStringLiteral("MOVIMIENTODETALLE"));
    RefusedRows refused;

    Transaction reading(removable_);
    Transaction writing(pos_);
    // The chosen company, type and warehouse replace the other shop's, on the lines as on the
    // headers, so that the stock lands in the warehouse the documents are booked to.
    auto copy = [&](const QString& table, const QStringList& columns, const QString& order, int total,
                    const QString& what, int& count) {
        const int iEmpresa = columns.indexOf(QStringLiteral("EMPRESA"));
        const int iDocumento = columns.indexOf(QStringLiteral("DOCUMENTO"));
        const int iBodega = columns.indexOf(QStringLiteral("BODEGA"));
        const int iCantidad = columns.indexOf(QStringLiteral("CANTIDAD"));
        BulkInsert into(pos_, table, columns);
        QSqlQuery q = removable_.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(columns.join(", "), table, order));
        return copyRows(removable_, q, int(columns.size()), into, refused, progress, what, total, count,
                        documentRowName(columns), [&](QVariantList& values) {
                            values[iEmpresa] = empresa;
                            values[iDocumento] = documento;
                            if (iBodega >= 0)
                                values[iBodega] = bodega;
                            // What left the other shop comes into this one.
                            if (iCantidad >= 0 && !values[iCantidad].isNull())
                                values[iCantidad] = -values[iCantidad].toDouble();
                        });
    };
    if (!copy(QStringLiteral("MOVIMIENTO"), headerColumns, QStringLiteral("EMPRESA, DOCUMENTO, CONSECUTIVO"), headers,
              QStringLiteral("Documentos"), r.documents) ||
        !copy(QStringLiteral("MOVIMIENTODETALLE"), lineColumns, QStringLiteral("EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA"),
              lines, QStringLiteral("Líneas"), r.lines)) {
        r.cancelled = true;
        return r;
    }
    r.refused = refused.list();
    if (!r.refused.isEmpty())
        return r;
    tell(progress, QStringLiteral("Líneas"), r.lines, lines);
    writing.commit();
    reading.commit();
    return r;
}

TransferResult DatabaseTransfer::uploadTable(const QString& table, const TransferProgress& progress)
{
    TransferResult r;
    const QStringList columns = sharedColumns(pos_, table, removable_, table);
    const QStringList key = pos_.tableInfo(table).primaryKey;
    const QString what = table == QLatin1String("PROVEEDORES") ? QStringLiteral("Terceros") : QStringLiteral("Productos");
    Transaction reading(pos_);
    const int total = pos_.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
    RefusedRows refused;
    Transaction writing(removable_);
    removable_.exec(QStringLiteral("DELETE FROM %1").arg(table));
    BulkInsert into(removable_, table, columns);
    QSqlQuery q = pos_.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(columns.join(", "), table, key.join(", ")));
    const auto name = [&](const QVariantList& values) {
        QStringList k;
        for (const QString& c : key)
            k << text(values.value(columns.indexOf(c)));
        return QStringLiteral("%1 %2").arg(what, k.join(QLatin1Char(' ')));
    };
    if (!copyRows(pos_, q, int(columns.size()), into, refused, progress, what, total, r.inserted, name)) {
        r.cancelled = true;
        return r;
    }
    r.refused = refused.list();
    if (!r.refused.isEmpty())
        return r;
    tell(progress, what, r.inserted, total);
    writing.commit();
    reading.commit();
    return r;
}

TransferResult DatabaseTransfer::mergeTable(const QString& table, const QStringList& key, const QStringList& kept,
                                            const QString& what, const TransferProgress& progress)
{
    TransferResult r;
    const QStringList columns = sharedColumns(removable_, table, pos_, table);
    QStringList assigned, changed;
    for (const QString& c : columns)
        if (!key.contains(c) && !kept.contains(c)) {
            assigned << c + QStringLiteral(" = ?");
            changed << c;
        }
    QStringList match;
    for (const QString& c : key)
        match << c + QStringLiteral(" = ?");
    const int total = removableRows(table);
    RefusedRows refused;

    Transaction reading(removable_);
    Transaction writing(pos_);
    PreparedStatement update(pos_, QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                       .arg(table, assigned.join(QStringLiteral(", ")), match.join(QStringLiteral(" AND "))));
    BulkInsert insert(pos_, table, columns);
    QSqlQuery q = removable_.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(columns.join(", "), table, key.join(", ")));
    int done = 0;
    while (removable_.next(q) && !refused.full()) {
        QVariantList values, set, keyValues;
        for (int i = 0; i < columns.size(); ++i)
            values << q.value(i);
        for (const QString& c : changed)
            set << values[columns.indexOf(c)];
        QStringList k;
        for (const QString& c : key) {
            keyValues << values[columns.indexOf(c)];
            k << text(keyValues.last());
        }
        try {
            if (update.exec(set + keyValues) > 0) {
                ++r.updated;
            } else {
                insert.add(values);
                ++r.inserted;
            }
        } catch (const DbError& e) {
            refused.add(QStringLiteral("%1 %2").arg(what, k.join(QLatin1Char(' '))), e);
        }
        if (due(++done) && !tell(progress, what, done, total)) {
            r.cancelled = true;
            return r;
        }
    }
    r.refused = refused.list();
    if (!r.refused.isEmpty())
        return r;
    tell(progress, what, done, total);
    writing.commit();
    reading.commit();
    return r;
}

TransferResult DatabaseTransfer::downloadThirdParties(const TransferProgress& progress)
{
    return mergeTable(QStringLiteral("PROVEEDORES"), {QStringLiteral("NIT")}, {}, QStringLiteral("Terceros"), progress);
}

TransferResult DatabaseTransfer::downloadProducts(const TransferProgress& progress)
{
    // A product on file keeps where it is filed and the number it is sold by.
    return mergeTable(QStringLiteral("PRODUCTOS"), {QStringLiteral("CODIGO")},
                      {QStringLiteral("GRUPO"), QStringLiteral("SUBGRUPO"), QStringLiteral("PRODUCTO")},
                      QStringLiteral("Productos"), progress);
}

QStringList DatabaseTransfer::validateProducts()
{
    // The code tables are short: read once, then the removable products are read in one pass per
    // check, in the order the findings are listed.
    auto codes = [this](const QString& sql) {
        QSet<QString> out;
        QSqlQuery q = pos_.exec(sql);
        while (pos_.next(q))
            out.insert(text(q.value(0)));
        return out;
    };
    const QSet<QString> grupos = codes(QStringLiteral("SELECT GRUPO FROM GRUPOS"));
    const QSet<QString> subgrupos = codes(QStringLiteral("SELECT SUBGRUPO FROM SUBGRUPOS"));
    const QSet<QString> unidades = codes(QStringLiteral("SELECT UNIDAD FROM UNIDADES"));
    QStringList out;
    auto check = [&](const QString& column, const QSet<QString>& known, const QString& line) {
        QSqlQuery q = removable_.exec(QStringLiteral("SELECT %1 FROM PRODUCTOS ORDER BY CODIGO").arg(column));
        while (removable_.next(q))
            if (!known.contains(text(q.value(0))))
                out << line + text(q.value(0));
    };
    check(QStringLiteral("GRUPO"), grupos, QStringLiteral("Crear Grupo "));
    check(QStringLiteral("SUBGRUPO"), subgrupos, QStringLiteral("Crear Sub Grupo "));
    check(QStringLiteral("UNIDAD"), unidades, QStringLiteral("Crear Unidades "));
    return out;
}

}  // namespace kv
