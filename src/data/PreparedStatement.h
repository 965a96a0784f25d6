#pragma once
// One statement prepared once and run many times with positional values ("?"), for work that
// repeats the same statement per document or per row: preparing costs as much as running a small
// keyed statement, so a day of thousands of documents would spend most of its time preparing.
// Like BulkInsert, make it inside the Transaction guard its statements belong to and let it go
// with that guard.
#include "data/Connection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

namespace kv {

class PreparedStatement {
public:
    PreparedStatement(Connection& c, const QString& sql) : c_(c)
    {
        c.ensureOpen();
        q_ = QSqlQuery(c.database());
        q_.setForwardOnly(true);
        if (!q_.prepare(sql))
            throw DbError(databaseText(q_.lastError()), databaseCode(q_.lastError()));
    }

    // Runs it with these values (a null QVariant binds NULL); returns the rows it changed.
    // A refusal raises DbError with the database's text; the transaction goes on.
    int exec(const QVariantList& values = {})
    {
        for (int i = 0; i < values.size(); ++i)
            q_.bindValue(i, values[i]);
        if (!q_.exec())
            throw DbError(databaseText(q_.lastError()), databaseCode(q_.lastError()));
        return q_.isSelect() ? 0 : q_.numRowsAffected();
    }

    // A SELECT's next row after exec(); false at the end.
    bool next() { return c_.next(q_); }
    QVariant value(int i) const { return q_.value(i); }

private:
    Connection& c_;
    QSqlQuery q_;
};

}  // namespace kv
