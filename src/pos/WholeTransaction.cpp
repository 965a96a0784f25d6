#include "pos/WholeTransaction.h"

#include <QElapsedTimer>

namespace kv {

void runWholeTransaction(Connection& db, const std::function<void()>& body, int attempts, int waitLimitMs)
{
    QElapsedTimer clock;
    clock.start();
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction t(db, waitLimitMs);
            body();
            t.commit();
            return;
        } catch (const DbError& e) {
            // Inside a caller's transaction the snapshot cannot change: the caller's whole
            // transaction fails and its owner decides.
            const bool again = (isDuplicateKey(e) || isConflict(e)) && !db.inTransaction() && attempt < attempts &&
                               clock.elapsed() < waitLimitMs;
            if (!again)
                throw;
        }
    }
}

}  // namespace kv
