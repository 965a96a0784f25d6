#pragma once
// A small shop for the invoice layouts, and sale documents written straight into the tables with
// the amounts the sales module would have stored, so each test states the figures it prints.
//
// REGISTRO     TIENDA LA ESQUINA, NIT 900123456 (no third-party row: its check digit is computed)
// DOCUMENTOS   POS, prefix TDA, resolution "RESOLUCION DIAN 1234 DEL 2024"
// PROVEEDORES  79456123-0 JOSE PEREZ (address, phone, birth date, reference 900654321)
//              900654321-2 HOTEL LOS CEDROS; 1015 LAURA GOMEZ (the seller)
// PRODUCTOS    1 ARROZ (no IVA), 2 GASEOSA (19 %, CJ of 24), 3 ACEITE (5 %), 4 ALMUERZO
//              (Ipoconsumo 8), 5 VINO (16 %); 9 is sold in some tests but missing from the catalogue
// UNIDADES     UN UNIDAD, CJ CAJA
// POSLINEATOP / POSLINEABOTTOM: "ENCABEZADO 1".."ENCABEZADO 8" and "PIE 1".."PIE 8"
#include "data/Connection.h"
#include "print/InvoicePrinting.h"
#include "support/QtPrinters.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace kvtest {

void seedInvoiceShop(kv::Connection& db);

struct InvoiceLine {
    int producto = 1;
    double cantidad = 1;
    double precio = 0;
    double iva = 0;       // rate
    double valorIva = 0;
    QString unidad = QStringLiteral("UN");
    double ipoconsumo = 0;  // rate
    double valorIpo = 0;
    double valorDescuento = 0;
    QString observacion;
    // SUBTOTAL: the price times the quantity unless given.
    std::optional<double> subtotal;
};

// A line of `cantidad` x `precio` at an IVA rate with the IVA the sales module would compute.
InvoiceLine line(int producto, double cantidad, double precio, double iva = 0, double valorIva = 0);

struct InvoiceHeader {
    int consecutivo = 42;
    QDateTime fecha = QDateTime(QDate(2024, 3, 5), QTime(15, 7));
    double cliente = 79456123;
    double vendedor = 1015;
    int plazo = 0;
    QString tipoDePago = QStringLiteral("C");
    QString tipoDePagoDes;
    QVariant abono;
    double valorPropina = 0;
    double descuento = 0;
    QString empresa = QStringLiteral("01");
    QString documento = QStringLiteral("POS");
};

// Writes the header and its lines; the header's SUBTOTAL and NETO are the sum of the lines'
// SUBTOTAL and its IVA the sum of their VALORIVA, as the sales module keeps them. Returns the key.
kv::SaleDocumentKey saveDocument(kv::Connection& db, const InvoiceHeader& header, const QList<InvoiceLine>& lines);

}  // namespace kvtest
