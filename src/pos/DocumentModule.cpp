#include "pos/DocumentModule.h"

#include "einvoice/ElectronicDocument.h"

#include "common/Dialogs.h"
#include "data/DatabaseCheck.h"
#include "common/Numbers.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QUuid>

namespace kv {

namespace {
bool isNull(const QVariant& v) { return !v.isValid() || v.isNull(); }

// "POSMOVIMIENTO" -> "Posmovimiento", the alias the number query has always carried.
QString aliasOf(const QString& table) { return table.left(1) + table.mid(1).toLower(); }
}  // namespace

DocumentModule::DocumentModule(Connection& dbPos, DocumentTables tables, QObject* parent)
    : QObject(parent),
      DbPos(dbPos),
      TCajero(dbPos, this),
      TCaja(dbPos, this),
      Parametros(dbPos, this),
      TIniFac(dbPos, this),
      TFac(dbPos, this),
      TCliente(dbPos, this),
      TProductos(dbPos, this),
      QFac(dbPos, this),
      Qlinea(dbPos, this),
      SFac(dbPos, this),
      tables_(std::move(tables))
{
    TCajero.setTableName(QStringLiteral("POSCAJEROS"));
    TCaja.setTableName(QStringLiteral("POSCAJAS"));
    TCaja.setMasterSource(&TCajero, QStringLiteral("CAJA"), QStringLiteral("CAJA"));
    Parametros.setTableName(QStringLiteral("POSESQUEMA"));
    TIniFac.setTableName(tables_.header);
    TFac.setTableName(tables_.lines);
    TFac.setMasterSource(&TIniFac, QStringLiteral("EMPRESA;DOCUMENTO;CONSECUTIVO"));
    TCliente.setTableName(QStringLiteral("PROVEEDORES"));
    TProductos.setTableName(QStringLiteral("PRODUCTOS"));
    // The cursor holds the product just found, typed or scanned at the counter, and no grid shows
    // it: a lookup reads that row and a few after it, not a page of the catalogue's widest rows.
    TProductos.setPageSize(kProductRows);

    QFac.setSql(QStringLiteral("SELECT MAX(CONSECUTIVO)\nFROM %1 %2\nWHERE  (EMPRESA = :EMPRESA) AND\n(DOCUMENTO = :DOCUMENTO)")
                    .arg(tables_.header, aliasOf(tables_.header)));
    Qlinea.setSql(QStringLiteral("SELECT MAX(LINEA)  FROM %1\nWHERE EMPRESA = :EMPRESA\n"
                                 "AND DOCUMENTO = :DOCUMENTO\nAND CONSECUTIVO = :CONSECUTIVO")
                      .arg(tables_.lines));
    SFac.setSql(QStringLiteral("SELECT SUM(VALORIVA) IVA,\nSUM(VALORDESCUENTO) DESCUENTO,\nSUM(SUBTOTAL) SUBTOTAL\n"
                               "FROM %1\nWHERE EMPRESA = :EMPRESA\nAND DOCUMENTO = :DOCUMENTO\n"
                               "AND CONSECUTIVO = :CONSECUTIVO")
                    .arg(tables_.lines));

    TIniFac.AfterInsert = [this](Dataset& ds) { TIniFacAfterInsert(ds); };
    // A header written again after a rolled-back attempt takes the number that is free now.
    TIniFac.BeforePost = [this](Dataset& ds) {
        if (ds.state() == DsState::Insert && attempt_ > 1)
            takeDocumentNumber(ds);
    };
    TIniFac.WriteOperation = [this](Dataset& ds, WriteKind, const std::function<void()>& write) {
        if (ds.state() == DsState::Insert && startAlongside_)
            writeRow(ds, false, [&] {
                write();
                startAlongside_(ds[QStringLiteral("CONSECUTIVO")].asInteger());
            });
        else
            writeRow(ds, ds.state() != DsState::Insert, write);
    };
    TFac.AfterInsert = [this](Dataset& ds) { TFacAfterInsert(ds); };
    TFac.BeforePost = [this](Dataset& ds) { TFacBeforePost(ds); };
    TFac.AfterPost = [this](Dataset& ds) { TFacAfterPost(ds); };
    // A deleted line leaves the totals as well as the list.
    TFac.AfterDelete = [this](Dataset& ds) { TFacAfterPost(ds); };
    TFac.WriteOperation = [this](Dataset& ds, WriteKind kind, const std::function<void()>& write) {
        writeLine(ds, kind, write);
    };
}

DocumentModule::~DocumentModule() = default;

// ---------------------------------------------------------------- sign-on

bool DocumentModule::findCashier(double cedula) { return TCajero.Locate(QStringLiteral("CEDULA"), cedula); }

void DocumentModule::selectCashierRegister()
{
    Dataset& cajas = registerLookup();
    const QVariant caja = TCajero.FieldByName(QStringLiteral("CAJA")).value();
    const bool found = !isNull(caja) && cajas.Locate(QStringLiteral("CAJA"), caja);
    setParameterCompany(found ? cajas.FieldByName(QStringLiteral("EMPRESA")).value() : QVariant());
}

bool DocumentModule::signOn(double cedula)
{
    // A database the check found damaged may hold a sale twice or an index that lets a number be
    // taken twice: nobody sells on it until it is repaired.
    if (const QString damaged = damagedDatabaseMessage(DbPos); !damaged.isEmpty())
        throw DbError(damaged);
    Parametros.Refresh();
    if (!findCashier(cedula))
        return false;
    selectCashierRegister();
    return true;
}

void DocumentModule::setParameterCompany(const QVariant& empresa)
{
    // A null company binds NULL, which no LLAVE equals: no parameter row is in force.
    Parametros.setFilter(QStringLiteral("LLAVE = :LLAVE"), {{QStringLiteral("LLAVE"), empresa}});
    if (!Parametros.active())
        Parametros.Open();
}

// ---------------------------------------------------------------- numbering

int DocumentModule::nextDocumentNumber(const QVariant& empresa, const QVariant& documento)
{
    QFac.Close();
    QFac.setParam(QStringLiteral("EMPRESA"), empresa);
    QFac.setParam(QStringLiteral("DOCUMENTO"), documento);
    QFac.Open();
    return QFac.fieldAt(0).asInteger() + 1;  // no document yet: the maximum is null, read as 0
}

int DocumentModule::nextLineNumber(const QVariant& empresa, const QVariant& documento, const QVariant& consecutivo)
{
    Qlinea.Close();
    Qlinea.setParam(QStringLiteral("EMPRESA"), empresa);
    Qlinea.setParam(QStringLiteral("DOCUMENTO"), documento);
    Qlinea.setParam(QStringLiteral("CONSECUTIVO"), consecutivo);
    Qlinea.Open();
    return Qlinea.fieldAt(0).asInteger() + 1;
}

// ---------------------------------------------------------------- operations

void DocumentModule::runSaleOperation(bool lockHeader, const std::function<void()>& body)
{
    if (depth_ > 0) {
        body();
        return;
    }
    struct Depth {
        DocumentModule& m;
        explicit Depth(DocumentModule& m) : m(m) { ++m.depth_; }
        ~Depth()
        {
            --m.depth_;
            m.attempt_ = 0;
        }
    } depth(*this);
    QElapsedTimer clock;
    clock.start();
    const bool joined = DbPos.inTransaction();
    // One identity for all the attempts of the operation: after a commit whose answer was lost,
    // the next attempt finds it stored (the earlier one landed) or free (nothing was stored).
    operationId_ = QUuid::createUuid().toString(QUuid::Id128);
    bool commitUnknown = false;
    for (attempt_ = 1;; ++attempt_) {
        try {
            bool landed = false;
            {
                Transaction t(DbPos, waitLimitMs_);
                if (!joined && !claimOperation()) {
                    landed = true;  // rolled back as the guard goes: this attempt did nothing
                } else {
                    headerDiscount_ = 0;
                    correctingClosed_ = false;
                    if (lockHeader)
                        takeHeaderRow();
                    body();
                    if (correctingClosed_)
                        closedDocumentCorrected(amountBefore_);
                    if (!joined)
                        emit operationCommitting(operationId_);
                    t.commit();
                }
            }
            if (landed) {
                if (!commitUnknown)
                    throw DbError(QStringLiteral("La operación %1 ya estaba guardada.").arg(operationId_));
                // The cursors still hold what that attempt wrote, which is what is stored.
                lastOperation_ = operationId_;
                emit operationCommitted(operationId_);
                return;
            }
            if (!joined) {
                lastOperation_ = operationId_;
                emit operationCommitted(operationId_);
            }
            if (attempt_ > 1 && !TFac.isEditing())
                TFac.Refresh();  // the lines other stations added meanwhile show too
            return;
        } catch (const DbError& e) {
            if (isConnectionLost(e) && !joined) {
                commitUnknown = commitUnknown || DbPos.lostAtCommit();
                resumeAfterLostConnection();
                continue;
            }
            // A Firebird transaction reads one snapshot: only a new transaction sees the number
            // or the totals another register committed meanwhile, so the whole operation runs again.
            // Inside a transaction of the caller's (a void, a transfer) the attempt cannot start
            // afresh: the caller's whole transaction fails and its owner decides.
            const bool again = (isDuplicateKey(e) || isConflict(e)) && !joined && attempt_ < kAttempts &&
                               clock.elapsed() < waitLimitMs_;
            undoAfterRollback(!again);
            if (again) {
                ++retries_;
                continue;
            }
            if (!isDuplicateKey(e) && !isConflict(e))
                throw;
            throw DbError(QStringLiteral("Otras cajas están usando el mismo número o el mismo documento; no se guardó "
                                         "nada. Intente de nuevo."),
                          e.code());
        } catch (...) {
            undoAfterRollback(true);
            throw;
        }
    }
}

bool DocumentModule::claimOperation()
{
    if (!lastOperation_.isEmpty())
        DbPos.exec(QStringLiteral("DELETE FROM POSINTENTOS WHERE INTENTO = :INTENTO"),
                   {{QStringLiteral("INTENTO"), lastOperation_}});
    try {
        // Waits, like any insert of a taken key, while a transaction that wrote the same identity
        // is still in course on the server: its outcome decides.
        DbPos.exec(QStringLiteral("INSERT INTO POSINTENTOS (INTENTO, CAJA, FECHA) VALUES (:INTENTO, :CAJA, "
                                  "CURRENT_TIMESTAMP)"),
                   {{QStringLiteral("INTENTO"), operationId_},
                    {QStringLiteral("CAJA"), TCajero.active() && !TCajero.IsEmpty()
                                                 ? TCajero.FieldByName(QStringLiteral("CAJA")).value()
                                                 : QVariant()}});
    } catch (const DbError& e) {
        if (isDuplicateKey(e))
            return false;
        throw;
    }
    return true;
}

void DocumentModule::resumeAfterLostConnection()
{
    // The server restarted or the network dropped under the operation. Once connected again it
    // runs again on the document the screen holds (read again as the attempt takes its header).
    // When the connection dropped while a commit was on its way, that next attempt first finds
    // out from the operation's identity whether the commit landed, and then stores nothing twice.
    // (A commit's attempt had finished its writes, so this leaves the cursors as it wrote them.)
    undoAfterRollback(false);
    DbPos.reconnect();  // gives up with the database's text when the server stays away
    if (attempt_ < kAttempts) {
        ++retries_;
        return;
    }
    undoAfterRollback(true);
    if (TFac.active() && !TFac.isEditing())
        TFac.Refresh();
    throw DbError(QStringLiteral("Se perdió la conexión mientras se guardaba. Revise el documento en pantalla antes de "
                                 "seguir."),
                  DbError::kConnectionLost);
}

void DocumentModule::takeHeaderRow()
{
    if (!TIniFac.active() || TIniFac.IsEmpty())
        throw DbError(QStringLiteral("No hay un documento en curso"));
    // Taking the row makes a second station wait here (or fail with a conflict and start over)
    // until the first one's line and totals are committed. The same read brings the header as
    // stored now into the cursor, so the totals written after it start from what is stored, and
    // tells whether the document is still open: the state checked is the one this transaction
    // holds, so no other register can close it between the check and the write.
    QVariant status, descuento;
    bool found = false;
    try {
        if (!TIniFac.isEditing()) {
            TIniFac.RefreshRecord(true);
            status = TIniFac[QStringLiteral("STATUS")].value();
            descuento = TIniFac[QStringLiteral("DESCUENTO")].value();
            found = true;
        } else {
            QSqlQuery q = DbPos.exec(QStringLiteral("SELECT STATUS, DESCUENTO FROM %1 WHERE EMPRESA = :EMPRESA "
                                                    "AND DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO WITH LOCK")
                                         .arg(tables_.header),
                                     documentKey());
            if (DbPos.next(q)) {
                status = q.value(0);
                descuento = q.value(1);
                found = true;
            }
        }
    } catch (const DbError& e) {
        if (e.code() != 0)
            throw;  // the engine's refusal (a conflict, a wait stopped) is handled by the operation
    }
    if (!found)
        throw DbError(QStringLiteral("El documento %1 ya no existe; no se guardó nada.")
                          .arg(TIniFac[QStringLiteral("CONSECUTIVO")].asInteger()));
    if (isClosedStatus(status) && (corrections_ == 0 || !correctableInPlace()))
        refuseClosed();
    if (isClosedStatus(status)) {
        correctingClosed_ = true;
        amountBefore_ = DbPos.scalar(QStringLiteral("SELECT COALESCE(NETO, 0) + COALESCE(VALORPROPINA, 0) - "
                                                    "COALESCE(DESCUENTO, 0) - COALESCE(ABONO, 0) FROM %1 WHERE "
                                                    "EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = "
                                                    ":CONSECUTIVO")
                                         .arg(tables_.header),
                                     documentKey())
                            .toDouble();
    }
    // A discount the payment put on the whole document is what the header holds beyond its lines'
    // discounts; the re-total keeps it. Most documents have none, and then the lines are not read.
    headerDiscount_ = 0;
    if (descuento.toDouble() != 0) {
        const double lineas = DbPos.scalar(QStringLiteral("SELECT SUM(VALORDESCUENTO) FROM %1 WHERE EMPRESA = :EMPRESA "
                                                          "AND DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO")
                                               .arg(tables_.lines),
                                           documentKey())
                                  .toDouble();
        headerDiscount_ = descuento.toDouble() - lineas;
    }
}

bool DocumentModule::isClosedStatus(const QVariant& status) { return status.toString().trimmed() == QLatin1String("I"); }

void DocumentModule::refuseClosed()
{
    const QString text = QStringLiteral("%1 %2 ya fue cerrada (pagada o anulada); no se guardó nada.")
                             .arg(tables_.noun)
                             .arg(TIniFac[QStringLiteral("CONSECUTIVO")].asInteger());
    emit closedDocumentRefused();
    throw DocumentClosed(text);
}

QVariantMap DocumentModule::documentKey()
{
    return {{QStringLiteral("EMPRESA"), TIniFac[QStringLiteral("EMPRESA")].value()},
            {QStringLiteral("DOCUMENTO"), TIniFac[QStringLiteral("DOCUMENTO")].value()},
            {QStringLiteral("CONSECUTIVO"), TIniFac[QStringLiteral("CONSECUTIVO")].value()}};
}

void DocumentModule::undoAfterRollback(bool final)
{
    // The row whose write failed is put back by its own dataset, to be written again or left for
    // the cashier; rows the operation changed in the other cursor lose those changes. Before
    // another attempt that is all: the attempt reads the header again as it takes it. When the
    // operation gives up, the header is read again so the screen shows what is stored.
    for (Dataset* ds : {&TFac, &TIniFac})
        if (!ds->writing() && ds->isEditing() && !(ds == &TIniFac && keepHeaderEdits_))
            ds->Cancel();
    if (final && !TIniFac.writing())
        TIniFac.RefreshRecord();
}

void DocumentModule::writeLine(Dataset& ds, WriteKind kind, const std::function<void()>& write)
{
    if (depth_ == 0 && kind == WriteKind::Post && !confirmQuantity(ds[QStringLiteral("CANTIDAD")].asFloat())) {
        ds.Cancel();  // a new line goes, an edited one gets its previous values back
        throw Abort();
    }
    writeRow(ds, true, write);
}

void DocumentModule::writeRow(Dataset& ds, bool lockHeader, const std::function<void()>& write)
{
    try {
        runSaleOperation(lockHeader, write);
    } catch (const DocumentClosed&) {
        // Nothing typed for a closed document can ever be stored: the row goes back to what is
        // stored, and no later post of the cursor tries it again.
        ds.Cancel();
        throw;
    }
}

int DocumentModule::startDocument(const std::function<void(int)>& alongside)
{
    struct Scope {
        std::function<void(int)>& slot;
        Scope(std::function<void(int)>& s, const std::function<void(int)>& f) : slot(s) { slot = f; }
        ~Scope() { slot = nullptr; }
    } scope(startAlongside_, alongside);
    TIniFac.Insert();
    try {
        TIniFac.Post();
    } catch (...) {
        TIniFac.Cancel();
        throw;
    }
    return TIniFac[QStringLiteral("CONSECUTIVO")].asInteger();
}

bool DocumentModule::openDocument(const QVariant& empresa, const QVariant& documento, const QVariant& consecutivo)
{
    return TIniFac.Locate(QStringLiteral("EMPRESA;DOCUMENTO;CONSECUTIVO"), {empresa, documento, consecutivo});
}

void DocumentModule::onLine(const QVariant& linea)
{
    if (TFac[QStringLiteral("LINEA")].value() != linea && !TFac.Locate(QStringLiteral("LINEA"), linea))
        throw DbError(QStringLiteral("La línea %1 ya no existe").arg(linea.toInt()));
}

bool DocumentModule::addLine(const QVariantMap& values, const std::function<bool()>& admit)
{
    if (!confirmQuantity(values.value(QStringLiteral("CANTIDAD"), 1.0).toDouble()))
        return false;
    bool admitted = true;
    runSaleOperation(true, [&] {
        admitted = !admit || admit();
        if (!admitted)
            return;  // only the header was taken: the commit stores nothing
        TFac.Insert();
        for (auto it = values.begin(); it != values.end(); ++it)
            TFac[it.key()] = it.value();
        TFac.Post();
    });
    return admitted;
}

bool DocumentModule::changeLine(const QVariantMap& values)
{
    const QVariant cantidad = values.value(QStringLiteral("CANTIDAD"), TFac[QStringLiteral("CANTIDAD")].value());
    if (!confirmQuantity(cantidad.toDouble()))
        return false;
    const QVariant linea = TFac[QStringLiteral("LINEA")].value();
    runSaleOperation(true, [&] {
        onLine(linea);
        TFac.Edit();
        for (auto it = values.begin(); it != values.end(); ++it)
            TFac[it.key()] = it.value();
        TFac.Post();
    });
    return true;
}

void DocumentModule::deleteLine()
{
    const QVariant linea = TFac[QStringLiteral("LINEA")].value();
    runSaleOperation(true, [&] {
        onLine(linea);
        TFac.Delete();
    });
}

void DocumentModule::storeFromStoredNeto(const std::function<QVariantMap(double)>& values)
{
    runSaleOperation(true, [&] {
        // Read after the header row is taken: no other register can change it until this commits.
        const double neto = DbPos.scalar(QStringLiteral("SELECT NETO FROM %1 WHERE EMPRESA = :EMPRESA AND DOCUMENTO = "
                                                        ":DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO")
                                             .arg(tables_.header),
                                         documentKey())
                                  .toDouble();
        const QVariantMap set = values(neto);
        if (!TIniFac.isEditing())
            TIniFac.Edit();
        for (auto it = set.begin(); it != set.end(); ++it)
            TIniFac[it.key()] = it.value();
        TIniFac.Post();
    });
}

bool DocumentModule::abandonEmptyDocument()
{
    if (!TIniFac.active() || TIniFac.IsEmpty())
        return false;
    int gone = 0;
    // The header is taken first, so a closed (voided or paid) document is refused and keeps its
    // number; the delete itself checks that no line came in meanwhile.
    runSaleOperation(true, [&] {
        gone = DbPos.exec(QStringLiteral("DELETE FROM %1 H WHERE H.EMPRESA = :EMPRESA AND H.DOCUMENTO = "
                                         ":DOCUMENTO AND H.CONSECUTIVO = :CONSECUTIVO AND NOT EXISTS (SELECT 1 FROM "
                                         "%2 D WHERE D.EMPRESA = H.EMPRESA AND D.DOCUMENTO = "
                                         "H.DOCUMENTO AND D.CONSECUTIVO = H.CONSECUTIVO)")
                              .arg(tables_.header, tables_.lines),
                          documentKey())
                   .numRowsAffected();
    });
    if (gone > 0)
        TIniFac.Refresh();
    return gone > 0;
}

// ---------------------------------------------------------------- closing

QString DocumentModule::closedBy()
{
    if (!TIniFac.active() || TIniFac.IsEmpty())
        return QStringLiteral("No hay un documento en curso.");
    const int numero = TIniFac[QStringLiteral("CONSECUTIVO")].asInteger();
    QSqlQuery q = DbPos.exec(QStringLiteral("SELECT M.STATUS, M.%2, C.NOMBRE FROM %1 M LEFT JOIN "
                                            "POSCAJEROS C ON C.CEDULA = M.%2 WHERE M.EMPRESA = :EMPRESA AND "
                                            "M.DOCUMENTO = :DOCUMENTO AND M.CONSECUTIVO = :CONSECUTIVO")
                                 .arg(tables_.header, tables_.closerColumn),
                             documentKey());
    if (!DbPos.next(q))
        return QStringLiteral("%1 %2 ya no existe; no se guardó el pago.").arg(tables_.noun).arg(numero);
    if (q.value(0).toString().trimmed() != QLatin1String("I"))
        return QString();
    QString quien = q.value(2).toString().trimmed();
    if (quien.isEmpty())
        quien = QStringLiteral("el cajero ") + FormatFloat(QStringLiteral("###,###."), q.value(1).toDouble());
    return QStringLiteral("%1 %2 ya fue cerrada (pagada o anulada) por %3; no se guardó el pago.")
        .arg(tables_.noun)
        .arg(numero)
        .arg(quien);
}

DocumentModule::ClosingOutcome DocumentModule::closeDocument(const Closing& closing)
{
    if (!TIniFac.active() || TIniFac.IsEmpty())
        throw DbError(QStringLiteral("No hay un documento en curso"));
    QVariantMap values = documentKey();
    QStringList set;
    for (auto it = closing.columns.begin(); it != closing.columns.end(); ++it) {
        set << it.key() + QStringLiteral(" = :") + it.key();
        values.insert(it.key(), it.value());
    }
    set << QStringLiteral("STATUS = 'I'");
    QStringList checked{QStringLiteral("STATUS")};
    for (auto it = closing.unchanged.begin(); it != closing.unchanged.end(); ++it)
        checked << it.key();
    ClosingOutcome outcome;
    struct Keep {
        bool& flag;
        explicit Keep(bool& f) : flag(f) { flag = true; }
        ~Keep() { flag = false; }
    } keep(keepHeaderEdits_);
    // One transaction: the header is taken with the values the payment depends on, so between the
    // check and the write no other register can close the document or add to it; the drawer
    // opens only for a payment that is then stored.
    runSaleOperation(false, [&] {
        outcome = ClosingOutcome();
        QSqlQuery q = DbPos.exec(QStringLiteral("SELECT %2 FROM %1 WHERE EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO "
                                                "AND CONSECUTIVO = :CONSECUTIVO WITH LOCK")
                                     .arg(tables_.header, checked.join(QStringLiteral(", "))),
                                 documentKey());
        if (!DbPos.next(q) || isClosedStatus(q.value(0))) {
            outcome.kind = ClosingOutcome::ClosedElsewhere;
            return;
        }
        // Compared to the cent: the amounts were read from these very columns.
        int i = 1;
        for (auto it = closing.unchanged.begin(); it != closing.unchanged.end(); ++it, ++i)
            if (qAbs(q.value(i).toDouble() - it.value().toDouble()) > 0.001) {
                outcome.kind = ClosingOutcome::Changed;
                return;
            }
        if (closing.beforeStore && !closing.beforeStore()) {
            outcome.kind = ClosingOutcome::Stopped;
            return;
        }
        DbPos.exec(QStringLiteral("UPDATE %1 SET %2 WHERE EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO AND "
                                  "CONSECUTIVO = :CONSECUTIVO")
                       .arg(tables_.header, set.join(QStringLiteral(", "))),
                   values);
        // A paid sale's electronic document is stored with the closing itself, so that no paid
        // sale is ever left without it (nothing is done for a company that does not issue them).
        if (tables_.header == QLatin1String("POSMOVIMIENTO"))
            issueSaleDocument(DbPos, values.value(QStringLiteral("EMPRESA")).toString().trimmed(),
                              values.value(QStringLiteral("DOCUMENTO")).toString().trimmed(),
                              values.value(QStringLiteral("CONSECUTIVO")).toInt());
    });
    if (outcome.kind == ClosingOutcome::Stopped)
        return outcome;  // nothing happened: the header stays as typed for another try
    if (TIniFac.isEditing())
        TIniFac.Cancel();
    TIniFac.RefreshRecord();
    if (outcome.kind == ClosingOutcome::ClosedElsewhere)
        outcome.message = closedBy();
    else if (outcome.kind == ClosingOutcome::Changed)
        outcome.message = QStringLiteral("%1 %2 cambió en otra caja mientras se cobraba; no se guardó el pago.")
                              .arg(tables_.noun)
                              .arg(TIniFac[QStringLiteral("CONSECUTIVO")].asInteger());
    return outcome;
}

void DocumentModule::keepChosen(const Closing& closing, const QStringList& columns)
{
    for (const QString& f : columns) {
        const QVariant chosen = closing.columns.value(f);
        if (TIniFac[f].value() == chosen)
            continue;
        if (!TIniFac.isEditing())
            TIniFac.Edit();
        TIniFac[f] = chosen;
    }
}

// ---------------------------------------------------------------- header

void DocumentModule::TIniFacAfterInsert(Dataset& ds)
{
    const QVariant empresa = Parametros.FieldByName(QStringLiteral("EMPRESA")).value();
    const QVariant documento = Parametros.FieldByName(QStringLiteral("DOCUMENTO")).value();
    const int numero = nextDocumentNumber(empresa, documento);
    ds[QStringLiteral("EMPRESA")] = empresa;
    ds[QStringLiteral("DOCUMENTO")] = documento;
    ds[QStringLiteral("CONSECUTIVO")] = numero;  // voided documents keep their numbers: never reused
    ds[QStringLiteral("BODEGA")] = Parametros.FieldByName(QStringLiteral("SUCURSAL")).value();
    ds[QStringLiteral("VENDEDOR")] = TCajero.FieldByName(QStringLiteral("CEDULA")).value();
    ds[QStringLiteral("CAJA")] = TCajero.FieldByName(QStringLiteral("CAJA")).value();
    ds[QStringLiteral("FECHA")] = QDateTime::currentDateTime();
    ds[QStringLiteral("TIPODEPAGO")] = QStringLiteral("C");
    headerDefaults(ds, numero);
}

void DocumentModule::takeDocumentNumber(Dataset& ds)
{
    const int old = ds[QStringLiteral("CONSECUTIVO")].asInteger();
    const int numero = nextDocumentNumber(ds[QStringLiteral("EMPRESA")].value(), ds[QStringLiteral("DOCUMENTO")].value());
    ds[QStringLiteral("CONSECUTIVO")] = numero;
    // An invoice number that followed the document number follows it again.
    if (Field* factura = ds.FindField(QStringLiteral("FACTURA")); factura && factura->asInteger() == old)
        *factura = numero;
}

// ---------------------------------------------------------------- lines

bool DocumentModule::findProduct(const QVariant& producto)
{
    if (isNull(producto))
        return false;
    if (TProductos.active() && !TProductos.IsEmpty() &&
        TProductos.FieldByName(QStringLiteral("PRODUCTO")).asLargeInt() == producto.toLongLong())
        return true;
    return TProductos.Locate(QStringLiteral("PRODUCTO"), producto);
}

void DocumentModule::TFacAfterInsert(Dataset& ds)
{
    if (!lineAllowed()) {
        ds.Cancel();
        throw Abort();
    }
    // The line's key comes from its header through the link; its number is taken within that
    // same document.
    ds[QStringLiteral("LINEA")] = nextLineNumber(ds[QStringLiteral("EMPRESA")].value(), ds[QStringLiteral("DOCUMENTO")].value(),
                                                 ds[QStringLiteral("CONSECUTIVO")].value());
    ds[QStringLiteral("BODEGA")] = Parametros.FieldByName(QStringLiteral("SUCURSAL")).value();
    lineDefaults(ds);
}

void DocumentModule::TFacBeforePost(Dataset& ds)
{
    if (ds.state() == DsState::Insert && attempt_ > 1)  // written again after a rolled-back attempt
        ds[QStringLiteral("LINEA")] = nextLineNumber(ds[QStringLiteral("EMPRESA")].value(), ds[QStringLiteral("DOCUMENTO")].value(),
                                                     ds[QStringLiteral("CONSECUTIVO")].value());
    priceLine(ds);
}

void DocumentModule::TFacAfterPost(Dataset&)
{
    if (!TIniFac.active() || TIniFac.IsEmpty())
        return;
    // The totals are summed over the header's own document, the one the lines belong to.
    SFac.Close();
    SFac.setParam(QStringLiteral("EMPRESA"), TIniFac[QStringLiteral("EMPRESA")].value());
    SFac.setParam(QStringLiteral("DOCUMENTO"), TIniFac[QStringLiteral("DOCUMENTO")].value());
    SFac.setParam(QStringLiteral("CONSECUTIVO"), TIniFac[QStringLiteral("CONSECUTIVO")].value());
    SFac.Open();
    TIniFac.Edit();
    TIniFac[QStringLiteral("SUBTOTAL")] = SFac[QStringLiteral("SUBTOTAL")].asFloat();  // no lines: null, read as 0
    // The lines' discounts, and the one the payment put on the whole document (after a correction
    // of a paid document, or a payment declined and taken up again) stays with them.
    TIniFac[QStringLiteral("DESCUENTO")] = SFac[QStringLiteral("DESCUENTO")].asFloat() + headerDiscount_;
    TIniFac[QStringLiteral("IVA")] = SFac[QStringLiteral("IVA")].asFloat();
    headerTotals(TIniFac);
    TIniFac.Post();
}

}  // namespace kv
