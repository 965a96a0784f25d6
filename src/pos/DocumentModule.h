#pragma once
// A document module: the one place where a document of one pair of tables (a header table and its
// line table: the sales' POSMOVIMIENTO*, the orders' POSREMISIONES*) is numbered, given its
// defaults, line-numbered, priced line by line and totalled. Screens work on its datasets; the
// rules run as the datasets' events, so a line added by code and a line changed in a grid go
// through the same code.
//
// Every document action (start, add, change or delete a line, give up an empty document, and any
// post of the header or a line, from code or from a grid) is one operation: its statements run in
// one transaction that takes the document's header row first, so two stations working on the same
// document wait for each other instead of overwriting each other's totals, and a number taken
// meanwhile by another register, an update conflict or a deadlock rolls the whole transaction
// back and runs it again from its start (reading what the others committed). Questions to the
// cashier come before the transaction; a wait for another register's lock ends after a few
// seconds with a message and nothing stored.
//
// A closed document (STATUS "I": paid or voided, here or at another register) never changes: the
// read that takes the header also reads its state, and every action on a closed document is refused
// with DocumentClosed, nothing stored, whatever screen asks. Only a correction (see Correction) may
// change the lines of a closed document, and never those of a sale whose electronic document was
// issued: that one is replaced by a new sale instead (pos/DocumentCorrections.h). A re-total keeps
// the discount the payment put on the whole document beside the lines' own discounts.
//
// What differs between the sales and the orders is given by the subclass through a few hooks: the
// header's own defaults (customer, cashier, currency), whether a line may be added and its
// defaults, the pricing of a line, how the header's NETO (and the like) follow the line sums, the
// question asked before a line is stored, and the register whose company picks the parameter row.
#include "data/Dataset.h"

#include <QObject>
#include <QVariant>
#include <functional>

namespace kv {

// An action refused because the document is closed (paid or voided): nothing was stored. The
// screens recognise it (also through DocumentModule::closedDocumentRefused) to leave the document.
class DocumentClosed : public DbError {
public:
    static constexpr int kCode = -100010;
    explicit DocumentClosed(const QString& text) : DbError(text, kCode) {}
};

// The tables of one kind of document and the words its messages use.
struct DocumentTables {
    QString header;        // "POSMOVIMIENTO"
    QString lines;         // "POSMOVIMIENTODETALLE"
    QString closerColumn;  // header column naming who closed it ("CAJERO")
    QString noun;          // "La factura"
};

class DocumentModule : public QObject {
    Q_OBJECT
public:
    ~DocumentModule() override;

    Connection& DbPos;

    Dataset TCajero;     // POSCAJEROS: the signed-on cashier
    Dataset TCaja;       // POSCAJAS, detail of TCajero on CAJA: his register
    Dataset Parametros;  // POSESQUEMA: the parameter row in force (see setParameterCompany)
    Dataset TIniFac;     // document headers; the current row is the document
    Dataset TFac;        // its lines, detail of TIniFac on EMPRESA;DOCUMENTO;CONSECUTIVO
    Dataset TCliente;    // PROVEEDORES by NIT
    Dataset TProductos;  // PRODUCTOS by PRODUCTO or CODIGOBARRAS
    // Highest document number, highest line number, sums of a document's lines.
    Dataset QFac;
    Dataset Qlinea;
    Dataset SFac;

    // The tables this module works on.
    const DocumentTables& tables() const { return tables_; }

    // --- sign-on ---
    // Puts TCajero (and with it TCaja) on the cashier; false, moving nothing, when there is none.
    bool findCashier(double cedula);
    // Puts the register lookup on the signed-on cashier's register and makes the parameter row in
    // force the one whose LLAVE is that register's EMPRESA. A register that is missing or has no
    // company leaves no parameter row in force, so no document can be started until it is set up.
    void selectCashierRegister();
    // Both of the above, after re-reading the parameter rows (a document type chosen at sign-on is
    // stored in them). False when the cashier does not exist.
    bool signOn(double cedula);
    // The parameter row in force: the one whose LLAVE equals empresa (null: none).
    void setParameterCompany(const QVariant& empresa);

    // --- the document actions, each all or nothing ---
    // Starts a document: the header is inserted, numbered and posted. Returns its number. On
    // failure nothing is stored and no header is left pending. `alongside`, when given, runs in the
    // header's own transaction once the number is known (a restaurant table marked with its bill,
    // a correction's lines copied): if it throws, the header goes too and the exception reaches
    // the caller.
    int startDocument(const std::function<void(int numero)>& alongside = {});
    // Puts the cursors on an existing document; false when there is none.
    bool openDocument(const QVariant& empresa, const QVariant& documento, const QVariant& consecutivo);
    // Adds a line to the current document with these column values; the line rules price it and
    // the header is re-totalled. False when the question before storing was answered No, with
    // nothing stored. `admit`, when given, runs inside the line's transaction once the header is
    // taken, before the line is stored (again on every attempt): false stores nothing and addLine
    // returns false. A check that other registers' lines could change (the stock left) belongs
    // there, so that what it read still holds when the line is stored.
    bool addLine(const QVariantMap& values, const std::function<bool()>& admit = {});
    // Changes the current line; false when the question was answered No.
    bool changeLine(const QVariantMap& values);
    // Deletes the current line and re-totals the header.
    void deleteLine();
    // Stores header columns worked out from the document's amount (NETO) as stored now: in one
    // operation the header is taken, its NETO read in that same transaction and handed to
    // `values`, whose columns are then posted with whatever else the cursor holds typed. A line
    // another register added meanwhile is counted in the amount a percentage is taken from.
    void storeFromStoredNeto(const std::function<QVariantMap(double neto)>& values);
    // Deletes the current document only if it still has no line (one statement, so a line another
    // station adds meanwhile keeps it). True when it was deleted. A closed document is never
    // deleted (DocumentClosed): its number stays used.
    bool abandonEmptyDocument();

    // While one lives, the operations may change the lines of the current document even though it
    // is closed: the change window ("Cambios a  la Factura") corrects a paid document on purpose.
    class Correction {
    public:
        explicit Correction(DocumentModule& m) : m_(m) { ++m_.corrections_; }
        ~Correction() { --m_.corrections_; }
        Correction(const Correction&) = delete;
        Correction& operator=(const Correction&) = delete;

    private:
        DocumentModule& m_;
    };

    // How a closing ended (see closeDocument).
    struct ClosingOutcome {
        enum Kind {
            Closed,           // this call stored the payment and closed the document
            ClosedElsewhere,  // closed (or gone) already: message says so; nothing stored
            Changed,          // another register changed what the payment was counted on: nothing stored
            Stopped,          // beforeStore said no: nothing stored
        } kind = Closed;
        QString message;  // for the cashier, empty when Closed or Stopped
    };

    // Empty while the current document is open; once it is closed (paid or voided, here or at
    // another register) or gone, a sentence for the cashier saying so and who closed it.
    QString closedBy();

    // How many attempts an operation gets when other registers keep taking its number or
    // changing its document, and how long it waits for another register's lock.
    // An operation is tried again while both limits allow: a cashier waits at most about
    // kWaitLimitMs for his line, however busy the other stations are. Each attempt after a
    // conflict usually waits for one operation of the other station, so the time is the real
    // bound; the count only stops a loop that fails at once.
    static constexpr int kAttempts = 1000;
    static constexpr int kWaitLimitMs = 5000;
    // Rows the product cursor reads around the product looked up.
    static constexpr int kProductRows = 4;
    void setWaitLimitMs(int ms) { waitLimitMs_ = ms; }
    // Operations run again from their start after a conflict, since the module was made.
    int retries() const { return retries_; }
    // The identity of the operation running (or of the last one): each attempt writes it into
    // POSINTENTOS in its own transaction, so that after a commit whose answer the dropped
    // connection never brought, what is stored tells whether the operation landed.
    QString operationId() const { return operationId_; }

    // --- handlers, wired to the datasets' events ---
    // Numbers the new header from the parameter row and fills what every document has; the
    // subclass's headerDefaults adds the rest.
    void TIniFacAfterInsert(Dataset& ds);
    // Numbers the new line within its document and gives it the branch.
    void TFacAfterInsert(Dataset& ds);
    // Prices the line (priceLine), after taking a free line number again on a retried attempt.
    void TFacBeforePost(Dataset& ds);
    // Re-totals the header from the sums of its stored lines; also run after a line is deleted.
    void TFacAfterPost(Dataset& ds);

signals:
    // An action was refused because the current document is closed (emitted before the
    // DocumentClosed is thrown). Screens connect to it queued, to leave the document once the
    // refusal has been shown.
    void closedDocumentRefused();
    // An operation's attempt is about to be committed, and was committed (or found stored after
    // the connection dropped during its commit): what the register did, for a log to account for.
    void operationCommitting(const QString& id);
    void operationCommitted(const QString& id);

protected:
    DocumentModule(Connection& dbPos, DocumentTables tables, QObject* parent);

    // --- hooks ---
    // The header's defaults beyond number, branch, seller, register, date and payment type.
    virtual void headerDefaults(Dataset& header, int numero) = 0;
    // A new line may be added at all (false: the insert is cancelled silently).
    virtual bool lineAllowed() const { return true; }
    // A new line's defaults beyond its number and branch.
    virtual void lineDefaults(Dataset&) {}
    // Prices the line about to be stored.
    virtual void priceLine(Dataset& line) = 0;
    // The header's fields that follow the line sums, SUBTOTAL, DESCUENTO and IVA being set.
    virtual void headerTotals(Dataset& header) = 0;
    // Asked before a line with this quantity is stored, outside any transaction; false stores
    // nothing.
    virtual bool confirmQuantity(double) { return true; }
    // The register looked up at sign-on for its company.
    virtual Dataset& registerLookup() { return TCaja; }
    // Whether a correction may change the lines of this closed document in place (sales: not
    // once its electronic document was issued).
    virtual bool correctableInPlace() { return true; }
    // A correction changed the lines of a closed document: runs in that operation's transaction,
    // with the amount the document counted for before it (the trail of the sales keeps it).
    virtual void closedDocumentCorrected(double /*before*/) {}

    // What a closing stores and checks.
    struct Closing {
        QVariantMap columns;  // stored with STATUS "I" (names fixed in code)
        // Header columns (numbers) whose stored values must still be these: what the payment was
        // counted on. A line another register added meanwhile raises NETO and stops the closing.
        QVariantMap unchanged;
        // Runs once the header is taken and found open and unchanged, before anything is stored:
        // false stops the closing with nothing stored. Nothing that cannot be taken back (a drawer
        // opening) belongs here: the transaction may still fail after it.
        std::function<bool()> beforeStore;
    };
    // In one transaction: takes the header, checks that it is still open and unchanged, runs
    // beforeStore, and stores the columns with STATUS "I". The header is then read again, so
    // nothing held in the cursor can later be written over the closed document. On a database
    // error the typed values stay in the header for another try.
    ClosingOutcome closeDocument(const Closing& closing);
    // After a closing refused because the amount changed: the header (read again, with the new
    // amount) takes back what the cashier chose in these columns, for the next try.
    void keepChosen(const Closing& closing, const QStringList& columns);

    // Puts TProductos on the product (staying put when already there).
    bool findProduct(const QVariant& producto);
    QVariantMap documentKey();  // EMPRESA, DOCUMENTO, CONSECUTIVO of the current header
    // Runs body as one operation (see the top of this file); a call made while one runs is part
    // of it. lockHeader: take the current header's row first (not for a header being inserted).
    void runSaleOperation(bool lockHeader, const std::function<void()>& body);

    const DocumentTables tables_;

private:
    // Takes the current header's row, refusing a closed document; notes the header's own discount.
    void takeHeaderRow();
    // Says why the current document takes nothing more, and throws DocumentClosed.
    [[noreturn]] void refuseClosed();
    // STATUS "I": paid or voided.
    static bool isClosedStatus(const QVariant& status);
    // After the connection dropped under an operation: connects again; raises DbError when the
    // server stays away or the attempts are spent.
    void resumeAfterLostConnection();
    // Writes the operation's identity in the attempt's transaction (and drops the previous
    // operation's, which is committed). False when it is stored already: an earlier attempt,
    // whose commit answer was lost, landed.
    bool claimOperation();
    void onLine(const QVariant& linea);  // the line cursor on that line of the document
    // After a rolled-back attempt: the cursors show again what is stored.
    void undoAfterRollback(bool final);
    void writeLine(Dataset& ds, WriteKind kind, const std::function<void()>& write);
    // A post or delete of the header or a line, as one operation; a refusal because the document
    // is closed also drops the row's pending changes.
    void writeRow(Dataset& ds, bool lockHeader, const std::function<void()>& write);
    int nextDocumentNumber(const QVariant& empresa, const QVariant& documento);
    int nextLineNumber(const QVariant& empresa, const QVariant& documento, const QVariant& consecutivo);
    void takeDocumentNumber(Dataset& ds);

    int waitLimitMs_ = kWaitLimitMs;
    int depth_ = 0;    // operations running (nested calls join the outer one)
    int attempt_ = 0;  // of the running operation, from 1
    int retries_ = 0;
    QString operationId_;     // of the running operation
    QString lastOperation_;   // the last one committed, whose row the next one removes
    bool keepHeaderEdits_ = false;  // a failed closing leaves the typed values in the header
    int corrections_ = 0;           // Correction scopes alive
    // The running operation corrects a closed document, which counted for this amount before.
    bool correctingClosed_ = false;
    double amountBefore_ = 0;
    std::function<void(int)> startAlongside_;  // see startDocument
    // The discount on the whole document (the payment's) beyond the lines' own, read when the
    // operation took the header; kept by the re-total.
    double headerDiscount_ = 0;
};

}  // namespace kv
