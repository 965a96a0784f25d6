#pragma once
// The tables of the two databases the program works with, as data definition statements.
//
// The POS database holds the configuration, sale, order, cash and catalogue tables, the inventory
// tables shared with Tavro (MOVIMIENTO, MOVIMIENTODETALLE, ORDENCOMPRA) and CUENTASTAVRO.
// The accounting database holds Tavro's vouchers and third parties.
//
// Column order matters: the database transfer copies rows by column position, so every table
// is declared with its columns in the order the rest of the program expects.
#include "data/Connection.h"

#include <QString>
#include <QStringList>

namespace kv {

// Creates every POS table that is missing, each with its keys and indexes, and the columns and
// indexes that an existing table lacks (rows are kept), so an old database is brought up to date
// with the same call.
void createPosSchema(Connection& c);

// The same for the accounting database (COMPROBANTECONTABLE, MOVIMIENTOCONTABLE, TERCEROS).
void createAccountingSchema(Connection& c);

// The tables and columns of the description that the database lacks ("MESAS", "POSCAJAS.REFRESCO"):
// empty when the database is as new as the program. Read from the catalogue in one query.
QStringList missingPosSchema(Connection& c);
QStringList missingAccountingSchema(Connection& c);

// Old POS databases may lack these tables; the screens that use them call these before
// first use. Each creates its table, when missing, with the statement below and then "COMMIT".
void ensureMesas(Connection& c);
void ensureMesero(Connection& c);
void ensureCuentasTavro(Connection& c);
void ensureVentasActualizadas(Connection& c);

extern const char* const kCreateMesas;
extern const char* const kCreateMesero;
extern const char* const kCreateCuentasTavro;
extern const char* const kCreateVentasActualizadas;

// Table names of each database, in creation order.
const QStringList& posTableNames();
const QStringList& accountingTableNames();

}  // namespace kv
