#pragma once
// Many rows into one table through a single prepared statement. Preparing once and binding each
// row by position is what makes loading hundreds of thousands of generated rows take seconds
// instead of minutes. Make it inside the Transaction guard its rows belong to, and let it go with
// that guard: a prepared statement stays tied to the transaction it first ran in, and using it
// after that transaction has committed fails.
#include "data/Connection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>

namespace kv {

class BulkInsert {
public:
    BulkInsert(Connection& c, const QString& table, const QStringList& columns)
        : table_(table), count_(int(columns.size()))
    {
        c.ensureOpen();
        q_ = QSqlQuery(c.database());
        QStringList marks;
        for (int i = 0; i < count_; ++i)
            marks << QStringLiteral("?");
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(table, columns.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
        if (!q_.prepare(sql))
            throw DbError(databaseText(q_.lastError()), databaseCode(q_.lastError()));
    }

    // One row, values in the order of the columns given; a null QVariant stores NULL.
    void add(const QVariantList& values)
    {
        if (values.size() != count_)
            throw DbError(QStringLiteral("%1: se esperaban %2 valores y llegaron %3").arg(table_).arg(count_).arg(values.size()));
        for (int i = 0; i < count_; ++i)
            q_.bindValue(i, values[i]);
        if (!q_.exec())
            throw DbError(QStringLiteral("%1: %2").arg(table_, databaseText(q_.lastError())), databaseCode(q_.lastError()));
    }

private:
    QString table_;
    int count_;
    QSqlQuery q_;
};

}  // namespace kv
