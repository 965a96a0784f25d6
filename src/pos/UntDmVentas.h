#pragma once
// The sales data module: the one place where a sale document is numbered, given its defaults,
// priced line by line and totalled. Every sale screen works on its datasets; the rules run as the
// datasets' events, so a line added by a screen's add-line routine and a line changed in a grid
// go through the same code.
//
// Making a document: set ClienteActual, TIniFac.Insert() and TIniFac.Post() (the number is taken
// on insert); then for each line set LineaPermitida, TFac.Insert(), fill the product fields and
// the price, TFac.Post(), and clear LineaPermitida. Posting or deleting a line re-totals the header.
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

    // --- handlers, wired to the datasets' events ---
    void DataModuleCreate();
    void DataModuleDestroy();
    void TIniFacAfterInsert(Dataset& ds);
    void TIniFacCalcFields(Dataset& ds);
    void TFacAfterInsert(Dataset& ds);
    void TFacBeforePost(Dataset& ds);
    void TFacAfterPost(Dataset& ds);
    void TFacCalcFields(Dataset& ds);

    // How many times a header or line refused for a taken number is numbered again and written.
    static constexpr int kNumberRetries = 20;

    // How many times a header or line has been numbered again because its number was taken.
    int numbersTakenAgain() const { return numbersTakenAgain_; }

    // The divisor that takes IVA out of a price that includes it: 1 + rate / 100.
    static double ivaDivisor(double rate);

private:
    DataAction TIniFacPostError(Dataset& ds, const DbError& e);
    DataAction TFacPostError(Dataset& ds, const DbError& e);
    int nextDocumentNumber(const QVariant& empresa, const QVariant& documento);
    int nextLineNumber(const QVariant& empresa, const QVariant& documento, const QVariant& consecutivo);
    bool findProduct(const QVariant& producto);

    int headerRetries_ = 0;
    int lineRetries_ = 0;
    int numbersTakenAgain_ = 0;
};

// The module created at start-up (null until then).
extern TDmVentas* DmVentas;

// True when the database refused a row because its key is already taken.
bool isDuplicateKey(const DbError& e);

}  // namespace kv
