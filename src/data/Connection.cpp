#include "data/Connection.h"

#include "common/Dialogs.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QThread>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <chrono>
#include <condition_variable>
#include <ibase.h>
#include <map>
#include <mutex>
#include <thread>

namespace kv {

namespace {

// Stops a connection's running statement once its transaction has run past its limit. Qt's
// driver starts every transaction with the engine's defaults (wait for a lock for ever) and takes
// no transaction parameters, so a lock wait cannot be bounded where the transaction starts; the
// engine's cancel call, made from another thread while the connection waits, is meant for exactly
// this. One thread serves every connection of the process.
class WaitWatch {
public:
    static WaitWatch& instance()
    {
        static WaitWatch watch;
        return watch;
    }

    quint64 arm(isc_db_handle handle, int ms, std::shared_ptr<std::atomic<bool>> expired)
    {
        std::lock_guard lock(m_);
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
        const quint64 id = next_++;
        entries_[id] = Entry{handle, std::chrono::steady_clock::now() + std::chrono::milliseconds(ms), std::move(expired)};
        cv_.notify_all();
        return id;
    }

    // After this returns the watch no longer touches the connection.
    void disarm(quint64 id)
    {
        std::lock_guard lock(m_);
        entries_.erase(id);
    }

    ~WaitWatch()
    {
        {
            std::lock_guard lock(m_);
            stop_ = true;
        }
        cv_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

private:
    struct Entry {
        isc_db_handle handle;
        std::chrono::steady_clock::time_point deadline;
        std::shared_ptr<std::atomic<bool>> expired;
    };

    void run()
    {
        std::unique_lock lock(m_);
        while (!stop_) {
            if (entries_.empty()) {
                cv_.wait(lock);
                continue;
            }
            auto first = entries_.begin();
            for (auto it = entries_.begin(); it != entries_.end(); ++it)
                if (it->second.deadline < first->second.deadline)
                    first = it;
            if (std::chrono::steady_clock::now() < first->second.deadline) {
                cv_.wait_until(lock, first->second.deadline);
                continue;
            }
            first->second.expired->store(true);
            ISC_STATUS_ARRAY status;
            isc_db_handle handle = first->second.handle;
            fb_cancel_operation(status, &handle, fb_cancel_raise);
            entries_.erase(first);
        }
    }

    std::mutex m_;
    std::condition_variable cv_;
    std::map<quint64, Entry> entries_;
    quint64 next_ = 1;
    bool stop_ = false;
    std::thread thread_;
};

isc_db_handle nativeHandle(const QSqlDatabase& db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || v.metaType().sizeOf() != int(sizeof(isc_db_handle)))
        return 0;
    return *static_cast<const isc_db_handle*>(v.constData());
}

// A cancel that arrived just after the statement it was meant for had ended would stop the
// connection's next statement; switching cancelling off and on again drops it.
void dropPendingCancel(const QSqlDatabase& db)
{
    isc_db_handle handle = nativeHandle(db);
    if (!handle)
        return;
    ISC_STATUS_ARRAY status;
    fb_cancel_operation(status, &handle, fb_cancel_disable);
    fb_cancel_operation(status, &handle, fb_cancel_enable);
}

}  // namespace

int TableInfo::indexOf(const QString& column) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString databaseText(const QSqlError& e)
{
    QString t = e.databaseText().trimmed();
    if (t.isEmpty())
        t = e.driverText().trimmed();
    if (t.isEmpty())
        t = e.text().trimmed();
    return t;
}

int databaseCode(const QSqlError& e)
{
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return ok ? code : 0;
}

QStringList placeholderNames(const QString& sql)
{
    QStringList names;
    QChar quote;
    for (int i = 0; i < sql.size(); ++i) {
        QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() &&
                   (sql[i + 1].isLetter() || sql[i + 1] == QLatin1Char('_'))) {
            int j = i + 1;
            while (j < sql.size() && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_')))
                ++j;
            names << sql.mid(i + 1, j - i - 1).toUpper();
            i = j - 1;
        }
    }
    return names;
}

namespace {
QAtomicInt g_counter;

QString credential(const char* var, const char* fallback)
{
    QByteArray v = qgetenv(var);
    return v.isEmpty() ? QString::fromLatin1(fallback) : QString::fromLocal8Bit(v);
}

// The installation's own database user, once read from its file (see useDatabaseCredentials).
QString g_user, g_password;
}  // namespace

void useDatabaseCredentials(const QString& user, const QString& password)
{
    g_user = user;
    g_password = password;
}

QString databaseUser() { return g_user.isEmpty() ? credential("ISC_USER", "sysdba") : g_user; }
QString databasePassword() { return g_user.isEmpty() ? credential("ISC_PASSWORD", "masterkey") : g_password; }

Connection::Connection(const QString& aliasName)
    : alias_(aliasName), qtName_(QStringLiteral("%1#%2").arg(aliasName).arg(g_counter.fetchAndAddRelaxed(1)))
{
}

Connection::~Connection()
{
    close();
    QSqlDatabase::removeDatabase(qtName_);
}

void Connection::setLocation(const QString& location)
{
    if (location == location_)
        return;
    close();
    location_ = location;
}

QSqlDatabase Connection::database() const
{
    if (QSqlDatabase::contains(qtName_))
        return QSqlDatabase::database(qtName_, false);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), qtName_);
    return db;
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(qtName_) && QSqlDatabase::database(qtName_, false).isOpen();
}

void Connection::open()
{
    if (isOpen())
        return;
    if (location_.isEmpty()) {
        lastError_ = QStringLiteral("La conexión %1 no tiene base de datos: revise el archivo de direcciones").arg(alias_);
        throw DbError(lastError_);
    }
    QSqlDatabase db = database();
    if (!db.isValid()) {
        lastError_ = QStringLiteral("No está instalado el controlador de Firebird (QIBASE)");
        throw DbError(lastError_);
    }
    // The location goes to the client library as it stands, so "host:/path" reaches a server and a
    // bare path opens the file on the embedded engine.
    db.setDatabaseName(location_);
    db.setUserName(databaseUser());
    db.setPassword(databasePassword());
    db.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=UTF8"));
    if (!db.open()) {
        lastError_ = databaseText(db.lastError());
        if (lastError_.isEmpty())
            lastError_ = QStringLiteral("No se pudo abrir la base de datos %1").arg(location_);
        throw DbError(lastError_);
    }
    lastError_.clear();
}

bool Connection::tryOpen()
{
    try {
        open();
        return true;
    } catch (const DbError&) {
        return false;
    }
}

void Connection::close()
{
    if (QSqlDatabase::contains(qtName_)) {
        QSqlDatabase db = QSqlDatabase::database(qtName_, false);
        if (db.isOpen())
            db.close();
    }
    transactionDepth_ = 0;
}

void Connection::ensureOpen()
{
    if (lost_) {
        // The transaction in course died with the connection: a statement of it run now on a new
        // connection would be stored on its own, without the rest of its operation.
        if (transactionDepth_ > 0)
            throw DbError(lostMessage(), DbError::kConnectionLost);
        reconnect();
        return;
    }
    if (!isOpen())
        open();
}

const QString& Connection::lostMessage()
{
    static const QString text =
        QStringLiteral("Se perdió la conexión con la base de datos. El programa se está reconectando.");
    return text;
}

bool Connection::isLostConnection(const QSqlError& e)
{
    // -902 is the engine's code for an attachment it can no longer use: the server shut down or
    // restarted, or the network between register and server dropped.
    return databaseCode(e) == -902;
}

void Connection::failLost(const QSqlError& e, bool atCommit)
{
    lost_ = true;
    lostAtCommit_ = atCommit;
    // The engine gives the same code when it shuts the attachment down while the server itself
    // lives on: the attachment is ended here too, so no transaction of it stays open on the server.
    abortAttachment();
    dropLostConnection();
    throw DbError(databaseText(e), DbError::kConnectionLost);
}

void Connection::abortAttachment()
{
    if (!QSqlDatabase::contains(qtName_))
        return;
    isc_db_handle handle = nativeHandle(QSqlDatabase::database(qtName_, false));
    if (!handle)
        return;
    ISC_STATUS_ARRAY status;
    fb_cancel_operation(status, &handle, fb_cancel_abort);
}

void Connection::abandonAttachment()
{
    abortAttachment();
    dropLostConnection();  // the next statement connects again, on a new attachment
}

void Connection::dropLostConnection()
{
    // The transaction count is left alone: the guards still alive unwind it, and until they have,
    // nothing runs on a new connection (see ensureOpen). Qt's driver keeps the handle of the
    // transaction that died with the server and would refuse to start another one, so the next
    // connection is a new Qt connection under a new name. The old one stays registered, closed:
    // cursors still held on it (a grid's open read) go away safely whenever their owners drop them.
    if (QSqlDatabase::contains(qtName_)) {
        QSqlDatabase db = QSqlDatabase::database(qtName_, false);
        if (db.isOpen())
            db.close();
    }
    qtName_ = QStringLiteral("%1#%2").arg(alias_).arg(g_counter.fetchAndAddRelaxed(1));
}

void Connection::reconnect()
{
    if (!lossAnnounced_) {
        lossAnnounced_ = true;
        dialogs().message(lostMessage());
    }
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        try {
            open();
            lost_ = false;
            lossAnnounced_ = false;
            return;
        } catch (const DbError& e) {
            if (clock.elapsed() >= reconnectLimitMs_)
                throw DbError(e.text(), DbError::kConnectionLost);
        }
        QThread::msleep(250);
    }
}

void Connection::readTogether(const std::function<void()>& reads)
{
    if (inTransaction()) {
        reads();
        return;
    }
    for (bool again = false;; again = true) {
        try {
            Transaction t(*this);
            reads();
            t.commit();
            return;
        } catch (const DbError& e) {
            if (!isConnectionLost(e) || again)
                throw;
        }
        reconnect();
    }
}

QSqlQuery Connection::exec(const QString& sql, const QVariantMap& params)
{
    try {
        return execOnce(sql, params);
    } catch (const DbError& e) {
        // A read outside a transaction changes nothing, so it is simply run again once connected;
        // a write is left to its caller, which knows whether it may be run again.
        const bool read = sql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive) &&
                          !sql.contains(QLatin1String("WITH LOCK"), Qt::CaseInsensitive);
        if (!isConnectionLost(e) || transactionDepth_ > 0 || !read)
            throw;
    }
    reconnect();
    return execOnce(sql, params);
}

QSqlQuery Connection::execOnce(const QString& sql, const QVariantMap& params)
{
    ensureOpen();
    QSqlDatabase db = database();
    const QString trimmed = sql.trimmed();
    if (trimmed.compare(QLatin1String("COMMIT"), Qt::CaseInsensitive) == 0) {
        // Statements already commit one by one; inside a guard the guard decides.
        return QSqlQuery(db);
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QStringList names = placeholderNames(sql);
    if (names.isEmpty()) {
        if (!q.exec(sql))
            fail(q.lastError());
        return q;
    }
    if (!q.prepare(sql))
        fail(q.lastError());
    QHash<QString, QVariant> upper;
    for (auto it = params.begin(); it != params.end(); ++it) {
        QString k = it.key().toUpper();
        if (k.startsWith(QLatin1Char(':')))
            k.remove(0, 1);
        upper.insert(k, it.value());
    }
    for (const QString& n : names) {
        // The same name may appear twice; binding by position keeps both in step.
        q.bindValue(QLatin1Char(':') + n, upper.value(n));
    }
    if (!q.exec())
        fail(q.lastError());
    return q;
}

void Connection::fail(const QSqlError& e)
{
    // Whatever the caller does with the failure, the transaction it happened in is not committed.
    if (transactionDepth_ > 0)
        transactionFailed_ = true;
    if (isLostConnection(e))
        failLost(e);
    if (waitExpired_->load())
        throw DbError(waitExpiredMessage(), DbError::kWaitExpired);
    throw DbError(databaseText(e), databaseCode(e));
}

const QString& Connection::waitExpiredMessage()
{
    static const QString text = QStringLiteral(
        "Otra caja está usando estos mismos datos y no los liberó a tiempo; no se guardó nada. Intente de nuevo.");
    return text;
}

bool Connection::next(QSqlQuery& q)
{
    if (q.next())
        return true;
    if (q.lastError().isValid())
        fail(q.lastError());
    return false;
}

QVariant Connection::scalar(const QString& sql, const QVariantMap& params)
{
    QSqlQuery q = exec(sql, params);
    if (q.isSelect() && next(q))
        return q.value(0);
    return QVariant();
}

bool Connection::tableExists(const QString& table)
{
    return scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = :T"),
                  {{QStringLiteral("T"), table.toUpper()}})
               .toInt() > 0;
}

void Connection::forgetTableInfo() { tables_.clear(); }

const TableInfo& Connection::tableInfo(const QString& table)
{
    const QString name = table.toUpper();
    auto it = tables_.find(name);
    if (it != tables_.end())
        return **it;
    auto info = std::make_shared<TableInfo>();
    info->name = name;
    QSqlQuery q = exec(QStringLiteral(
                           "SELECT TRIM(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, F.RDB$FIELD_SUB_TYPE, "
                           "F.RDB$CHARACTER_LENGTH, RF.RDB$NULL_FLAG, F.RDB$NULL_FLAG, F.RDB$FIELD_SCALE "
                           "FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                           "WHERE RF.RDB$RELATION_NAME = :T ORDER BY RF.RDB$FIELD_POSITION"),
                       {{QStringLiteral("T"), name}});
    while (q.next()) {
        ColumnInfo c;
        c.name = q.value(0).toString();
        const int type = q.value(1).toInt();
        const int sub = q.value(2).toInt();
        c.scale = q.value(6).toInt();
        switch (type) {
        case 7: c.type = c.scale < 0 ? FieldType::Float : FieldType::SmallInt; c.storageBytes = 2; break;
        case 8: c.type = c.scale < 0 ? FieldType::Float : FieldType::Integer; c.storageBytes = 4; break;
        case 16: c.type = c.scale < 0 ? FieldType::Float : FieldType::LargeInt; c.storageBytes = 8; break;
        case 10: case 27: c.type = FieldType::Float; break;
        case 12: c.type = FieldType::Date; break;
        case 13: c.type = FieldType::Time; break;
        case 35: c.type = FieldType::DateTime; break;
        case 14: c.type = FieldType::String; c.fixedChar = true; c.size = q.value(3).toInt(); break;
        case 37: c.type = FieldType::String; c.size = q.value(3).toInt(); break;
        case 261: c.type = sub == 1 ? FieldType::Memo : FieldType::Blob; break;
        case 23: c.type = FieldType::Boolean; break;
        default: c.type = FieldType::String; break;
        }
        c.notNull = q.value(4).toInt() == 1 || q.value(5).toInt() == 1;
        info->columns << c;
    }
    if (info->columns.isEmpty())
        throw DbError(QStringLiteral("La tabla %1 no existe en la base de datos").arg(name));

    QSqlQuery k = exec(QStringLiteral(
                           "SELECT TRIM(I.RDB$INDEX_NAME), TRIM(S.RDB$FIELD_NAME), "
                           "(SELECT COUNT(*) FROM RDB$RELATION_CONSTRAINTS RC WHERE RC.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
                           "AND RC.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY') "
                           "FROM RDB$INDICES I JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
                           "WHERE I.RDB$RELATION_NAME = :T AND I.RDB$UNIQUE_FLAG = 1 "
                           "AND COALESCE(I.RDB$INDEX_INACTIVE, 0) = 0 AND COALESCE(I.RDB$INDEX_TYPE, 0) = 0 "
                           "ORDER BY 3 DESC, 1, S.RDB$FIELD_POSITION"),
                       {{QStringLiteral("T"), name}});
    QString current;
    while (k.next()) {
        const QString index = k.value(0).toString();
        if (index != current) {
            info->uniqueIndexes.append(QStringList());
            current = index;
        }
        info->uniqueIndexes.last() << k.value(1).toString();
        if (k.value(2).toInt() > 0 && info->uniqueIndexes.size() == 1)
            info->primaryKey << k.value(1).toString();
    }
    auto& ref = *info;
    tables_.insert(name, info);
    return ref;
}

Transaction::Transaction(Connection& c, int waitLimitMs) : c_(c)
{
    c_.ensureOpen();
    if (c_.transactionDepth_ == 0) {
        QSqlDatabase db = c_.database();
        if (!db.transaction()) {
            if (Connection::isLostConnection(db.lastError()))
                c_.failLost(db.lastError());
            throw DbError(databaseText(db.lastError()), databaseCode(db.lastError()));
        }
        outer_ = true;
        c_.lostAtCommit_ = false;
        c_.transactionFailed_ = false;
        c_.waitExpired_->store(false);
        if (waitLimitMs > 0)
            if (const isc_db_handle handle = nativeHandle(db))
                c_.watch_ = WaitWatch::instance().arm(handle, waitLimitMs, c_.waitExpired_);
    }
    ++c_.transactionDepth_;
}

void Transaction::commit() { end(true); }

Transaction::~Transaction()
{
    if (!done_)
        end(false);  // rolls back; never raises
}

void Transaction::end(bool commit)
{
    if (done_)
        return;
    done_ = true;
    --c_.transactionDepth_;
    if (!outer_) {
        if (!commit)
            c_.transactionFailed_ = true;
        return;
    }
    if (c_.watch_) {
        WaitWatch::instance().disarm(c_.watch_);
        c_.watch_ = 0;
    }
    if (!c_.isOpen()) {
        // The connection was dropped with the transaction in it (the attachment was ended, so the
        // server rolls the transaction back): nothing of it was stored.
        if (commit)
            throw DbError(Connection::lostMessage(), DbError::kConnectionLost);
        return;
    }
    QSqlDatabase db = c_.database();
    const bool expired = c_.waitExpired_->exchange(false);
    if (expired)
        dropPendingCancel(db);
    // A transaction is committed only when every statement in it succeeded and the watch never
    // stopped it: a statement the engine stopped half way (a cancel landing while an insert waits
    // on another register's key or writes its index entries) must never be made permanent, even
    // when whoever ran it caught the failure and went on.
    if (commit && !c_.transactionFailed_ && !expired) {
        if (db.commit())
            return;
        const QSqlError e = db.lastError();
        if (Connection::isLostConnection(e))
            c_.failLost(e, true);
        // The engine refused the commit, so nothing was stored; but Qt's driver forgets the
        // transaction whenever its commit fails, while the engine still holds it open with its
        // rows and locks. Only ending the attachment ends it (the server rolls it back).
        c_.abandonAttachment();
        throw DbError(databaseText(e), databaseCode(e));
    }
    if (!db.rollback())
        c_.abandonAttachment();  // the same when the rollback itself failed: never reused
    if (commit && expired)
        throw DbError(Connection::waitExpiredMessage(), DbError::kWaitExpired);
    if (commit)
        throw DbError(QStringLiteral("La operación no se completó: una de sus partes falló y se deshizo toda."),
                      DbError::kOperationUndone);
}

}  // namespace kv
