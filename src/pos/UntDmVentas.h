#pragma once
// The sales data module: the one place where a sale document is numbered, given its defaults,
// priced line by line and totalled. Every sale screen works on its datasets; the rules run as the
// datasets' events, so a line added by a screen's add-line routine and a line changed in a grid
// go through the same code.
//
// Making a document: set ClienteActual and call startDocument(); then addLine() for each line.
// Every sale action (start, add, change or delete a line, give up an empty document, and any post
// of the header or a line, from code or from a grid) is one operation: its statements run in one
// transaction that takes the document's header row first, so two stations working on the same
// document wait for each other instead of overwriting each other's totals, and a number taken
// meanwhile by another register, an update conflict or a deadlock rolls the whole transaction
// back and runs it again from its start (reading what the others committed). Questions to the
// cashier come before the transaction; a wait for another register's lock ends after a few
// seconds with a message and nothing stored.
#include "data/Dataset.h"

#include <QObject>
#include <QVariant>

namespace kv {

// Values shared between the module and the sale screens, one of each for the whole program.
extern double ClienteActual;  // customer of the document about to be started (NIT or cédula)
extern bool LineaPermitida;   // true only while a sale screen's add-line routine runs
extern double UltimoPrecio;   // unit price of the line posted last

class TDmVentas : public QObject {
    Q_OBJECT
public:
    // Builds the datasets on the POS connection and opens them (DataModuleCreate).
    explicit TDmVentas(Connection& dbPos, QObject* parent = nullptr);
    ~TDmVentas() override;

    Connection& DbPos;

    // Cashier, registers and the parameter row in force.
    Dataset TCajero;     // POSCAJEROS: the signed-on cashier
    Dataset TCaja;       // POSCAJAS, detail of TCajero on CAJA: his register
    Dataset TCajaw;      // POSCAJAS: the register looked up at sign-on for its EMPRESA
    Dataset TCajas;      // POSCAJAS: every register
    Dataset Parametros;  // POSESQUEMA, filtered on LLAVE = the register's EMPRESA
    // The document being made.
    Dataset TIniFac;     // POSMOVIMIENTO headers; the current row is the document
    Dataset TFac;        // POSMOVIMIENTODETALLE, detail of TIniFac on EMPRESA;DOCUMENTO;CONSECUTIVO
    // Catalogues.
    Dataset TCliente;    // PROVEEDORES by NIT
    Dataset TProductos;  // PRODUCTOS by PRODUCTO or CODIGOBARRAS
    Dataset TbUnidades;  // PRODUCTOSVALORVENTA by PRODUCTO;UNIDAD
    Dataset TMoneda;     // MONEDA
    Dataset TCambio;     // TASACAMBIO
    Dataset TDocumentos; // DOCUMENTOS by DOCUMENTO
    Dataset Tarqueo;     // POSARQUEO by CAJA;FECHA
    // Highest document number, highest line number, sums of a document's lines.
    Dataset QFac;
    Dataset Qlinea;
    Dataset SFac;

    // --- sign-on (the cashier sign-on screen calls these) ---
    // Puts TCajero (and with it TCaja) on the cashier; false, moving nothing, when there is none.
    bool findCashier(double cedula);
    // Puts TCajaw on the signed-on cashier's register and makes the parameter row in force the one
    // whose LLAVE is that register's EMPRESA. A register that is missing or has no company leaves
    // no parameter row in force, so no document can be started until it is set up.
    void selectCashierRegister();
    // Both of the above, after re-reading the parameter rows (a document type chosen at sign-on is
    // stored in them). False when the cashier does not exist.
    bool signOn(double cedula);
    // The parameter row in force: the one whose LLAVE equals empresa (null: none).
    void setParameterCompany(const QVariant& empresa);

    // --- the sale actions, each all or nothing ---
    // Starts a document for ClienteActual: the header is inserted, numbered and posted. Returns
    // its number. On failure nothing is stored and no header is left pending.
    int startDocument();
    // Puts the cursors on an existing document (a restaurant table's, one to collect); false when
    // there is none.
    bool openDocument(const QVariant& empresa, const QVariant& documento, const QVariant& consecutivo);
    // Adds a line to the current document with these column values (PRODUCTO, BUSCADOR,
    // UNIDADMOVIMIENTO, CANTIDAD, PRECIOUNIDAD, IVA, IPOCONSUMO, VALORDESCUENTO, ...); the line
    // rules price it and the header is re-totalled. A return (negative CANTIDAD) is confirmed
    // first: false when the cashier says No, with nothing stored.
    bool addLine(const QVariantMap& values);
    // Changes the current line; false when a return was not confirmed.
    bool changeLine(const QVariantMap& values);
    // Deletes the current line and re-totals the header.
    void deleteLine();
    // Deletes the current document only if it still has no line (one statement, so a line another
    // station adds meanwhile keeps it). True when it was deleted.
    bool abandonEmptyDocument();

    // --- payment ---
    // Empty while the current document is open; once it is closed (paid or voided, here or at
    // another register) or gone, a sentence for the cashier saying so and who closed it.
    QString closedBy();
    // Stores the payment held in the current header (TIPODEPAGO, TIPODEPAGODES, ABONO, PAGO,
    // PROPINA, VALORPROPINA, DESCUENTO, and for another currency MONEDA, TASA, VALOROTRAMONEDA; typed or
    // not yet posted) and closes the document for the
    // cashier `cajero` (STATUS "I", CAJERO), in one statement that changes the document only while
    // it is still open. The header is then read again, so nothing held in the cursor can later be
    // written over the paid document. Returns an empty string when this call closed it; otherwise
    // closedBy()'s sentence, with nothing stored. On a database error the typed values stay in the
    // header for another try.
    QString closeWithPayment(const QVariant& cajero);

    // How many attempts an operation gets when other registers keep taking its number or
    // changing its document, and how long it waits for another register's lock.
    // An operation is tried again while both limits allow: a cashier waits at most about
    // kWaitLimitMs for his line, however busy the other stations are. Each attempt after a
    // conflict usually waits for one operation of the other station, so the time is the real
    // bound; the count only stops a loop that fails at once.
    static constexpr int kAttempts = 1000;
    static constexpr int kWaitLimitMs = 5000;
    void setWaitLimitMs(int ms) { waitLimitMs_ = ms; }
    // Operations run again from their start after a conflict, since the module was made.
    int retries() const { return retries_; }

    // --- handlers, wired to the datasets' events ---
    void DataModuleCreate();
    void DataModuleDestroy();
    void TIniFacAfterInsert(Dataset& ds);
    void TIniFacCalcFields(Dataset& ds);
    void TFacAfterInsert(Dataset& ds);
    void TFacBeforePost(Dataset& ds);
    void TFacAfterPost(Dataset& ds);
    void TFacCalcFields(Dataset& ds);

    // The divisor that takes IVA out of a price that includes it: 1 + rate / 100.
    static double ivaDivisor(double rate);

private:
    // Runs body as one operation (see the top of this file); a call made while one runs is part
    // of it. lockHeader: take the current header's row first (not for a header being inserted).
    void runSaleOperation(bool lockHeader, const std::function<void()>& body);
    void takeHeaderRow();
    QVariantMap documentKey();  // EMPRESA, DOCUMENTO, CONSECUTIVO of the current header
    void onLine(const QVariant& linea);  // the line cursor on that line of the document
    // After a rolled-back attempt: the cursors show again what is stored.
    void undoAfterRollback(bool final);
    // The return question, asked before any transaction opens.
    bool confirmReturn(double cantidad);
    void writeLine(Dataset& ds, WriteKind kind, const std::function<void()>& write);
    int nextDocumentNumber(const QVariant& empresa, const QVariant& documento);
    int nextLineNumber(const QVariant& empresa, const QVariant& documento, const QVariant& consecutivo);
    void takeDocumentNumber(Dataset& ds);
    // Base units in the line's unit of packing (1 when the product has no such packing).
    double unitsPerPacking(const QVariant& producto, const QVariant& unidad);
    bool findProduct(const QVariant& producto);

    int waitLimitMs_ = kWaitLimitMs;
    int depth_ = 0;    // operations running (nested calls join the outer one)
    int attempt_ = 0;  // of the running operation, from 1
    int retries_ = 0;
    bool keepHeaderEdits_ = false;  // a failed closing leaves the typed payment in the header
};

// The module created at start-up (null until then).
extern TDmVentas* DmVentas;

}  // namespace kv
