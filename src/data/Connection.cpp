#include "data/Connection.h"

#include <QAtomicInt>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

namespace kv {

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
}  // namespace

QString databaseUser() { return credential("ISC_USER", "sysdba"); }
QString databasePassword() { return credential("ISC_PASSWORD", "masterkey"); }

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
    if (!isOpen())
        open();
}

QSqlQuery Connection::exec(const QString& sql, const QVariantMap& params)
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
            throw DbError(databaseText(q.lastError()));
        return q;
    }
    if (!q.prepare(sql))
        throw DbError(databaseText(q.lastError()));
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
        throw DbError(databaseText(q.lastError()));
    return q;
}

QVariant Connection::scalar(const QString& sql, const QVariantMap& params)
{
    QSqlQuery q = exec(sql, params);
    if (q.isSelect() && q.next())
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
        case 7: c.type = c.scale < 0 ? FieldType::Float : FieldType::SmallInt; break;
        case 8: c.type = c.scale < 0 ? FieldType::Float : FieldType::Integer; break;
        case 16: c.type = c.scale < 0 ? FieldType::Float : FieldType::LargeInt; break;
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

Transaction::Transaction(Connection& c) : c_(c)
{
    c_.ensureOpen();
    if (c_.transactionDepth_ == 0) {
        if (!c_.database().transaction())
            throw DbError(databaseText(c_.database().lastError()));
        outer_ = true;
    }
    ++c_.transactionDepth_;
}

void Transaction::commit()
{
    if (done_)
        return;
    done_ = true;
    --c_.transactionDepth_;
    if (outer_) {
        QSqlDatabase db = c_.database();
        if (!db.commit()) {
            QString text = databaseText(db.lastError());
            db.rollback();
            throw DbError(text);
        }
    }
}

Transaction::~Transaction()
{
    if (done_)
        return;
    --c_.transactionDepth_;
    if (outer_ && c_.isOpen())
        c_.database().rollback();
}

}  // namespace kv
