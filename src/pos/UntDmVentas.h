#pragma once
// The sales data module: the one place where a sale document is numbered, given its defaults,
// priced line by line and totalled. Every sale screen works on its datasets; the rules run as the
// datasets' events, so a line added by a screen's add-line routine and a line changed in a grid
// go through the same code.
//
// Making a document: set ClienteActual and call startDocument(); then addLine() for each line.
// The numbering, the all-or-nothing operations and the totals are the document module's
// (pos/DocumentModule.h), shared with the orders; this class gives the sales' own rules.
#include "data/Trail.h"
#include "pos/DocumentModule.h"

namespace kv {

// Values shared between the module and the sale screens, one of each for the whole program.
extern double ClienteActual;  // customer of the document about to be started (NIT or cédula)
extern bool LineaPermitida;   // true only while a sale screen's add-line routine runs
extern double UltimoPrecio;   // unit price of the line posted last

class TDmVentas : public DocumentModule {
    Q_OBJECT
public:
    // Builds the datasets on the POS connection and opens them (DataModuleCreate).
    explicit TDmVentas(Connection& dbPos, QObject* parent = nullptr);
    ~TDmVentas() override;

    // Beside the document module's cashier, register, parameter row, document and catalogues:
    Dataset TCajaw;      // POSCAJAS: the register looked up at sign-on for its EMPRESA
    Dataset TCajas;      // POSCAJAS: every register
    Dataset TbUnidades;  // PRODUCTOSVALORVENTA by PRODUCTO;UNIDAD
    Dataset TMoneda;     // MONEDA
    Dataset TCambio;     // TASACAMBIO
    Dataset TDocumentos; // DOCUMENTOS by DOCUMENTO
    Dataset Tarqueo;     // POSARQUEO by CAJA;FECHA

    // Adds a line as the base does, as the sale screens' add-line routine (LineaPermitida). A
    // return (negative CANTIDAD) is confirmed first: false when the cashier says No, or when
    // `admit` refuses the line inside its transaction (see DocumentModule::addLine).
    bool addLine(const QVariantMap& values, const std::function<bool()>& admit = {});

    // --- payment ---
    // Stores the payment held in the current header (TIPODEPAGO, TIPODEPAGODES, ABONO, PAGO,
    // PROPINA, VALORPROPINA, DESCUENTO, and for another currency MONEDA, TASA, VALOROTRAMONEDA; typed or
    // not yet posted) and closes the document for the cashier `cajero` (STATUS "I", CAJERO), in one
    // transaction that takes the header first (DocumentModule::closeDocument): only while the
    // document is still open and its NETO is still the one the cursor holds, which is what the
    // cashier was shown and collected. beforeStore runs in between. When another
    // register changed the amount meanwhile nothing is stored and the header shows the new amount,
    // keeping the payment type, its description and the currency the cashier chose. `money` adds
    // columns the window knows and the header does not hold (the cash received and the change).
    ClosingOutcome closeWithPayment(const QVariant& cajero, const QVariantMap& money = {},
                                    const std::function<bool()>& beforeStore = {});

    // A trail row about that sale, done by the signed-on cashier at his register (data/Trail.h).
    TrailEntry trailEntry(const QString& evento, const QVariant& empresa, const QVariant& documento,
                          const QVariant& consecutivo);

    // --- handlers, wired to the datasets' events ---
    void DataModuleCreate();
    void DataModuleDestroy();
    void TIniFacCalcFields(Dataset& ds);
    void TFacCalcFields(Dataset& ds);

    // The divisor that takes IVA out of a price that includes it: 1 + rate / 100.
    static double ivaDivisor(double rate);
    // The IVA and IPOCONSUMO a new line takes from the product under `product` (null: no such
    // tax), for every register's add-line routine.
    static QVariantMap taxRatesOf(Dataset& product);

protected:
    // A sale's customer is ClienteActual; it records its cashier, currency, term and invoice number.
    void headerDefaults(Dataset& header, int numero) override;
    // Only a sale screen's add-line routine adds lines; a grid moving below its last row does not.
    bool lineAllowed() const override { return LineaPermitida; }
    void lineDefaults(Dataset& line) override;
    // Subtotal to the cent with any IVA added on top, the IVA (included in the price or added to
    // it) and the Ipoconsumo (always included): lineTaxes in common/SaleAmounts.h.
    void priceLine(Dataset& line) override;
    // NETO is the subtotal; PAGO what is left after the advance; a percentage service charge follows.
    void headerTotals(Dataset& header) override;
    // A return (negative quantity) is confirmed first.
    bool confirmQuantity(double cantidad) override;
    Dataset& registerLookup() override { return TCajaw; }
    // A sale whose electronic document was issued is not corrected in place.
    bool correctableInPlace() override;
    // A paid sale corrected in place (documents off) leaves its trail row: who, before, after.
    void closedDocumentCorrected(double before) override;

private:
    // Base units in the line's unit of packing (1 when the product has no such packing).
    double unitsPerPacking(const QVariant& producto, const QVariant& unidad);
};

// The module created at start-up (null until then).
extern TDmVentas* DmVentas;

}  // namespace kv
