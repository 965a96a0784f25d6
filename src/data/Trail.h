#pragma once
// The trail: who did what to a closed sale (a void, a correction, a reprint, money handed back)
// and who signed on or failed to, at which register and when. Rows are only ever added; the back
// office lists them by day and by cashier, and the cash count prints the register's own.
#include <QString>
#include <QVariant>

namespace kv {

class Connection;

struct TrailEntry {
    QString evento;        // what happened, in capitals: "ANULACION", "CORRECCION", "REIMPRESION", ...
    QVariant empresa;      // the document it concerns, when there is one
    QVariant documento;
    QVariant consecutivo;
    QVariant caja;         // the register it happened at
    QVariant cajero;       // the cashier signed on there (POSCAJEROS.CEDULA)
    QString usuario;       // the back-office user or supervisor, when one acted
    QVariant valorAntes;   // the amounts involved: the document's value before and after
    QVariant valorDespues;
    QString detalle;       // in words, for a person reading the list
};

// Adds one row. Inside the caller's transaction when there is one, so the row is stored exactly
// when the operation it describes is; on its own otherwise.
void recordTrail(Connection& db, const TrailEntry& entry);

}  // namespace kv
