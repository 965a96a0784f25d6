#pragma once
// Moving inventory documents, third parties and products between the shop's database and the
// removable database that carries them to another shop.
//
// Rows are copied column by name, never by position: two databases made by different versions
// declare their tables with the columns in different orders, and every column both tables have is
// carried (a product's tax settings included). Each operation is one transaction on the database
// it writes: it is stored whole or not at all. A row the destination refuses is reported with the
// database's words and nothing is stored, so no copy is ever left half done or made twice.
#include "data/Connection.h"

#include <QDate>
#include <QStringList>
#include <functional>

namespace kv {

// Told what is being copied ("Documentos", "Líneas", "Terceros", ...), how many rows are done and
// how many there are; answering false stops the operation and rolls it back.
using TransferProgress = std::function<bool(const QString& what, int done, int total)>;

struct TransferResult {
    bool cancelled = false;
    int documents = 0;  // document headers written
    int lines = 0;      // document lines written
    int inserted = 0;   // rows of a table added
    int updated = 0;    // rows of a table that were already there, brought up to date
    // Rows the destination refused, each with the database's text; when there is any, nothing
    // was stored.
    QStringList refused;
    bool stored() const { return !cancelled && refused.isEmpty(); }
};

// The columns of `toTable` that `fromTable` also has, in the destination's order.
QStringList sharedColumns(Connection& from, const QString& fromTable, Connection& to, const QString& toTable);

// Which inventory documents go up: one company, document type and warehouse, the whole days from
// `desde` to `hasta`.
struct DocumentSelection {
    QString empresa;
    QString documento;
    int bodega = 0;
    QDate desde, hasta;
};

class DatabaseTransfer {
public:
    DatabaseTransfer(Connection& pos, Connection& removable) : pos_(pos), removable_(removable) {}

    // Rows the removable database holds in a table (the screens ask before emptying it).
    int removableRows(const QString& table);

    // "Subir" of documents: empties the removable MOVIMIENTO / MOVIMIENTODETALLE and copies into
    // them the selected documents with their lines.
    TransferResult uploadDocuments(const DocumentSelection& s, const TransferProgress& progress = {});

    // The numbers that "Bajar" as company `empresa` and type `documento` would store twice: those
    // this database already has (as an inventory document or as a sale of the point of sale), and
    // those the removable database holds under two documents.
    QList<int> documentCollisions(const QString& empresa, const QString& documento);
    // "Bajar" of documents: every removable document becomes one of `empresa`, type `documento`
    // and warehouse `bodega` (header and lines alike), its numbers kept and its quantities' signs
    // reversed. Refuses, storing nothing, when documentCollisions() finds any.
    TransferResult downloadDocuments(const QString& empresa, const QString& documento, int bodega,
                                     const TransferProgress& progress = {});

    // "Subir" of third parties or products: the removable table emptied and filled with every row
    // of this database's table.
    TransferResult uploadTable(const QString& table, const TransferProgress& progress = {});
    // "Bajar" of third parties: a third party of the same NIT is brought up to date, any other added.
    TransferResult downloadThirdParties(const TransferProgress& progress = {});
    // "Bajar" of products: a product of the same CODIGO is brought up to date keeping its code,
    // group, subgroup and number; any other is added.
    TransferResult downloadProducts(const TransferProgress& progress = {});
    // "Validar": the groups, subgroups and units of the removable products this database lacks,
    // one line per product that needs them ("Crear Grupo 07").
    QStringList validateProducts();

private:
    TransferResult mergeTable(const QString& table, const QStringList& key, const QStringList& kept, const QString& what,
                              const TransferProgress& progress);
    Connection& pos_;
    Connection& removable_;
};

// Collects refused rows up to a limit past which going on shows nothing new.
class RefusedRows {
public:
    static constexpr int kLimit = 50;
    void add(const QString& row, const DbError& e);
    bool full() const { return list_.size() >= kLimit; }
    QStringList list() const { return list_; }

private:
    QStringList list_;
};

}  // namespace kv
