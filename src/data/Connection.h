#pragma once
// A named connection to one Firebird database, embedded ("/path/file.fdb") or on a server
// ("host:/path/file.fdb"). Every statement commits on its own unless a Transaction guard is
// alive on the connection. Failures become DbError carrying the database's own text.
#include "common/Errors.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <atomic>
#include <functional>
#include <memory>

namespace kv {

enum class FieldType { String, Integer, SmallInt, LargeInt, Float, Date, Time, DateTime, Blob, Memo, Boolean };

struct ColumnInfo {
    QString name;
    FieldType type = FieldType::String;
    int size = 0;            // characters for char/varchar, 0 otherwise
    bool fixedChar = false;  // char(n): read without its trailing blanks
    bool notNull = false;
    int scale = 0;           // numeric(p,s) columns: -s
    int storageBytes = 0;    // smallint 2, integer 4, bigint 8 (numeric(p,s) kept in one of them)
};

struct TableInfo {
    QString name;
    QVector<ColumnInfo> columns;          // in declaration order
    QStringList primaryKey;               // empty when the table has none
    QVector<QStringList> uniqueIndexes;   // primary key and unique indexes, by segments
    int indexOf(const QString& column) const;
};

class Connection {
public:
    // aliasName is the name the program gives the connection ("Korvela", "TavroNi").
    explicit Connection(const QString& aliasName);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString aliasName() const { return alias_; }
    void setLocation(const QString& location);  // "path" or "host:path"
    QString location() const { return location_; }

    // Connects; raises DbError with the database's text when it cannot.
    void open();
    // Connects and swallows the failure (start-up connects this way); the text stays in lastError().
    bool tryOpen();
    void close();
    bool isOpen() const;
    // Used by everything that reads or writes: connects on first use, raising DbError on failure.
    void ensureOpen();
    QString lastError() const { return lastError_; }

    QSqlDatabase database() const;

    // Runs one statement. ":NAME" placeholders are bound from params (names without the colon,
    // case-insensitive); a placeholder with no value is bound as NULL. The statement "COMMIT"
    // is accepted and commits (each statement commits on its own anyway).
    QSqlQuery exec(const QString& sql, const QVariantMap& params = {});
    // Moves q to its next row; false at the end. A row is locked ("WITH LOCK") or read only when
    // it is fetched, so a failure there (a conflict, a wait stopped) raises DbError like exec.
    bool next(QSqlQuery& q);
    // First column of the first row, or a null QVariant when there is no row.
    QVariant scalar(const QString& sql, const QVariantMap& params = {});

    bool tableExists(const QString& table);
    // Columns, keys and unique indexes of a table, read from the catalogue once and cached.
    const TableInfo& tableInfo(const QString& table);
    void forgetTableInfo();  // after data definition statements

    bool inTransaction() const { return transactionDepth_ > 0; }

    // The server restarted or the network dropped: a statement failed with the connection gone
    // (DbError::kConnectionLost). Outside a transaction the next use connects again by itself
    // through reconnect(); a read that found the connection gone is run again once connected.
    bool lost() const { return lost_; }
    // The connection dropped while a commit was on its way, so the server may have stored the
    // transaction or not; whoever runs it again must first look at what is stored.
    bool lostAtCommit() const { return lostAtCommit_; }
    // Connects again after a loss: says once per loss, through the dialogs, that the connection was
    // lost and is being made again, then tries every quarter of a second for up to the limit.
    // Raises DbError (kConnectionLost, with the database's text) when the server stays away.
    void reconnect();
    // Runs a few reads that belong together (a product, its stock and its packings) in one
    // transaction: they see one snapshot and pay for one transaction instead of one each, which
    // a statement run on its own starts and commits. As a read on its own does, reads that find
    // the connection gone run again once connected. Inside a transaction they simply join it.
    // Nothing that waits for a person may run in them.
    void readTogether(const std::function<void()>& reads);
    void setReconnectLimitMs(int ms) { reconnectLimitMs_ = ms; }
    static const QString& lostMessage();
    static const QString& waitExpiredMessage();

private:
    friend class Transaction;
    [[noreturn]] void fail(const QSqlError& e);
    // The database's code of a connection the server or the network has dropped.
    static bool isLostConnection(const QSqlError& e);
    [[noreturn]] void failLost(const QSqlError& e, bool atCommit = false);
    // Ends the attachment at once (the server rolls back whatever transaction it still holds).
    void abortAttachment();
    // The transaction's fate is out of Qt's hands (its commit or rollback failed and the driver
    // forgot it): the attachment is ended and the next statement runs on a new one.
    void abandonAttachment();
    void dropLostConnection();
    QSqlQuery execOnce(const QString& sql, const QVariantMap& params);
    QString alias_;
    QString qtName_;
    QString location_;
    QString lastError_;
    int transactionDepth_ = 0;
    bool transactionFailed_ = false;  // an inner guard gave up: the whole transaction must go
    // Set by the watch when it stopped this connection's wait (shared with the watch's thread).
    std::shared_ptr<std::atomic<bool>> waitExpired_ = std::make_shared<std::atomic<bool>>(false);
    quint64 watch_ = 0;
    QHash<QString, std::shared_ptr<TableInfo>> tables_;
    bool lost_ = false;
    bool lostAtCommit_ = false;
    bool lossAnnounced_ = false;
    int reconnectLimitMs_ = 60000;
};

// Runs the statements issued on the connection while it lives in one transaction: commit() makes
// them permanent; leaving the scope without commit() (an exception, an early return) rolls all of
// them back, so an operation is never left half done. Nested guards join the outer one; an inner
// guard that ends without commit() dooms the whole transaction, and the outer commit() then rolls
// back and raises DbError::kOperationUndone.
//
// waitLimitMs (outer guard only): a register must never hang on another register's lock, so when
// the transaction is still running after that long, the engine is told to stop what it is doing
// on this connection; the statement fails, the transaction is rolled back, and DbError carries
// kWaitExpired with a message for the cashier. Give it only to short operations (a sale line),
// whose running time past a few seconds can only be a wait.
class Transaction {
public:
    explicit Transaction(Connection& c, int waitLimitMs = 0);
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    void end(bool commit);
    Connection& c_;
    bool outer_ = false;
    bool done_ = false;
};

inline bool isDuplicateKey(const DbError& e) { return e.code() == DbError::kDuplicateKey; }
// Another transaction changed or locked the same row (an update conflict, or a deadlock).
inline bool isConflict(const DbError& e) { return e.code() == DbError::kConflict; }
inline bool isConnectionLost(const DbError& e) { return e.code() == DbError::kConnectionLost; }

// User and password for every connection: those given to useDatabaseCredentials (an installation
// on a server has a database user of its own), else ISC_USER / ISC_PASSWORD when set, else the
// built-in ones. An empty user goes back to the environment's.
void useDatabaseCredentials(const QString& user, const QString& password);
QString databaseUser();
QString databasePassword();

// The database's own text of a failed query or connection.
QString databaseText(const QSqlError& e);
// The engine's error code of a failed query (its SQLCODE), 0 when there is none.
int databaseCode(const QSqlError& e);

// Placeholder names (without colon, upper case) in the order they appear, quotes respected.
QStringList placeholderNames(const QString& sql);

}  // namespace kv
