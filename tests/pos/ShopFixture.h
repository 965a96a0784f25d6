#pragma once
// A small shop for the sales module tests: two companies with their parameter rows, registers
// and cashiers (including broken set-ups), a counter customer and products that cover the tax
// cases. Also the few steps a sale screen takes to start a document and ring up a line.
#include "data/Connection.h"
#include "einvoice/Settings.h"
#include "pos/UntDmVentas.h"

#include <QVariant>

namespace kvtest {

// POSESQUEMA   LLAVE 1: company 01, document POS, branch 3   (DOCUMENTOS POS: currency COP)
//              LLAVE 2: company 02, document PRS, branch 4   (DOCUMENTOS PRS: currency USD)
//              LLAVE 3: company 03, document XX,  branch 5   (XX missing from DOCUMENTOS)
// POSCAJAS     1 -> company 1, 2 -> company 2, 3 -> company 3, 8 -> company 8 (no parameter row),
//              9 -> no company; cashiers 11, 22, 33, 88, 99 and 77 (register 70, missing).
//              101-104: four more cashiers on registers 101-104, all of company 1.
// PROVEEDORES  222222222 CLIENTES VARIOS
// PRODUCTOS    1 ARROZ    IVA 16, price includes IVA      2 VINO     IVA 16, IVA added
//              3 ALMUERZO Ipoconsumo 8                    4 TINTO    no taxes
//              5 JABON    IVA 5, price includes IVA
void seedShop(kv::Connection& db);

// Company 01 issues electronic POS documents (test environment, range 1 to 1000, prefix SETP)
// with a test certificate made at `certificate` (password "clave"); its EMPRESAS row must have
// the NIT 900123456. The settings are saved (sealed with the key KORVELA_KEY_FILE names) and
// returned for a test to change and save again.
kv::ElectronicSettings issueDocuments(kv::Connection& db, const QString& certificate);

// What a sale screen's add-line routine fills in; the module does the rest.
struct SaleLine {
    int producto = 4;
    double precio = 0;
    double cantidad = 1;
    double iva = 0;
    double ipoconsumo = 0;
    double descuento = 0;  // VALORDESCUENTO
    QString unidad = QStringLiteral("UN");
};

// Sets ClienteActual and starts a document; returns its number.
int startDocument(kv::TDmVentas& dm, double cliente = 222222222);
// The column values a sale screen's add-line routine hands the module.
QVariantMap lineValues(const SaleLine& line);
// Rings up a line through the module; false when a return was not confirmed.
bool ringUp(kv::TDmVentas& dm, const SaleLine& line);

// Sale headers whose totals (SUBTOTAL, NETO, PAGO, IVA, DESCUENTO) differ from the sums of their
// lines; a header without lines counts when it carries a total.
int headersUnlikeTheirLines(kv::Connection& db);
// Documents whose lines are not numbered 1, 2, 3 ... without a gap.
int documentsWithMissingLines(kv::Connection& db);

}  // namespace kvtest
