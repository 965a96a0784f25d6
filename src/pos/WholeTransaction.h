#pragma once
// Runs a few statements as one transaction that is tried again from its start when another
// register took the same number meanwhile (a duplicate key) or changed the same row (a conflict):
// a Firebird transaction reads one snapshot, so only a new transaction sees what the others
// committed. Used for the numbered rows written outside the sales module's own operations (cash
// expenses) and for voiding a document.
#include "data/Connection.h"

#include <functional>

namespace kv {

// body runs inside the transaction; it is committed when body returns. After the last attempt,
// or after about waitLimitMs, the error reaches the caller with nothing stored.
void runWholeTransaction(Connection& db, const std::function<void()>& body, int attempts = 20, int waitLimitMs = 5000);

}  // namespace kv
