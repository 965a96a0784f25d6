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
    // First column of the first row, or a null QVariant when there is no row.
    QVariant scalar(const QString& sql, const QVariantMap& params = {});

    bool tableExists(const QString& table);
    // Columns, keys and unique indexes of a table, read from the catalogue once and cached.
    const TableInfo& tableInfo(const QString& table);
    void forgetTableInfo();  // after data definition statements

    bool inTransaction() const { return transactionDepth_ > 0; }

private:
    friend class Transaction;
    QString alias_;
    QString qtName_;
    QString location_;
    QString lastError_;
    int transactionDepth_ = 0;
    QHash<QString, std::shared_ptr<TableInfo>> tables_;
};

// Runs the statements issued on the connection while it lives in one transaction: commit() makes
// them permanent; leaving the scope without commit() (an exception, an early return) rolls all of
// them back, so an operation is never left half done. Nested guards join the outer one.
class Transaction {
public:
    explicit Transaction(Connection& c);
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Connection& c_;
    bool outer_ = false;
    bool done_ = false;
};

// User and password for every connection: ISC_USER / ISC_PASSWORD when set, else the built-in ones.
QString databaseUser();
QString databasePassword();

// The database's own text of a failed query or connection.
QString databaseText(const QSqlError& e);

// Placeholder names (without colon, upper case) in the order they appear, quotes respected.
QStringList placeholderNames(const QString& sql);

}  // namespace kv
