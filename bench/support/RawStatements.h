#pragma once
// The statements of a sale line written directly with Qt SQL, for the benchmarks that compare the
// program's line with what the database itself needs for it.
#include "data/Connection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

namespace kvbench {

// Prepares, binds by position and runs; a refused statement ends the benchmark.
inline void runRaw(QSqlQuery& q, const QString& sql, const QVariantList& values)
{
    if (!q.prepare(sql))
        qFatal("%s", qPrintable(kv::databaseText(q.lastError())));
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec())
        qFatal("%s", qPrintable(kv::databaseText(q.lastError())));
}

// The header taken (and read), as every line's transaction starts; returns the next line number.
inline int takeHeaderRaw(QSqlQuery& q, const QVariantList& key)
{
    runRaw(q, QStringLiteral("SELECT * FROM POSMOVIMIENTO WHERE EMPRESA = ? AND DOCUMENTO = ? AND CONSECUTIVO = ? "
                             "WITH LOCK"), key);
    q.next();
    q.finish();
    runRaw(q, QStringLiteral("SELECT MAX(LINEA) FROM POSMOVIMIENTODETALLE WHERE EMPRESA = ? AND DOCUMENTO = ? "
                             "AND CONSECUTIVO = ?"), key);
    q.next();
    const int linea = q.value(0).toInt() + 1;
    q.finish();
    return linea;
}

// A line of 2 units of the product's unit packing ("UN"), priced as given.
inline void insertLineRaw(QSqlQuery& q, const QVariantList& key, int linea, int producto, double units, double price,
                          const QVariant& iva, double valorIva, double subtotal)
{
    runRaw(q, QStringLiteral("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, "
                             "BUSCADOR, UNIDADMOVIMIENTO, CANTIDAD, CANTIDADRECIBIDA, PRECIOUNIDAD, IVA, "
                             "PORCENTAJEDESCUENTO, DESCUENTO, VALORDESCUENTO, VALORIVA, SUBTOTAL, BODEGA, "
                             "VALORIPOCONSUMO) VALUES (?, ?, ?, ?, ?, ?, 'UN', 2, ?, ?, ?, 0, 0, 0, ?, ?, 1, 0)"),
           key + QVariantList{linea, producto, QString::number(producto), 2 * units, price, iva, valorIva, subtotal});
}

// The document's sums and the header's totals after a line, as the module re-totals it; `key` is
// EMPRESA, DOCUMENTO, CONSECUTIVO.
inline void retotalRaw(QSqlQuery& q, const QVariantList& key)
{
    runRaw(q, QStringLiteral("SELECT SUM(VALORIVA), SUM(VALORDESCUENTO), SUM(SUBTOTAL) FROM POSMOVIMIENTODETALLE "
                             "WHERE EMPRESA = ? AND DOCUMENTO = ? AND CONSECUTIVO = ?"), key);
    q.next();
    const double sumIva = q.value(0).toDouble(), sumDescuento = q.value(1).toDouble(), sum = q.value(2).toDouble();
    q.finish();
    runRaw(q, QStringLiteral("UPDATE POSMOVIMIENTO SET SUBTOTAL = ?, DESCUENTO = ?, IVA = ?, NETO = ?, "
                             "PAGO = ? - COALESCE(ABONO, 0) WHERE EMPRESA = ? AND DOCUMENTO = ? AND CONSECUTIVO = ?"),
           QVariantList{sum, sumDescuento, sumIva, sum, sum} + key);
}

// Takes a line out again (outside the clock), so the document keeps its size.
inline void deleteLineRaw(QSqlQuery& q, const QVariantList& key, int linea)
{
    runRaw(q, QStringLiteral("DELETE FROM POSMOVIMIENTODETALLE WHERE EMPRESA = ? AND DOCUMENTO = ? AND "
                             "CONSECUTIVO = ? AND LINEA = ?"), key + QVariantList{linea});
}

}  // namespace kvbench
