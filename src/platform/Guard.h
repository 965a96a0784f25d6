#pragma once
// The one place where a failure nobody handled reaches the user. Every entry from Qt (the
// application's event dispatch, and the handlers that must carry on after a refusal) runs its
// work through here: a database or conversion error, or any other standard exception, is shown in
// the general error box and the operation stops there; Abort stops it silently.
#include <functional>

namespace kv {

// Runs `action`; false when something was thrown (and shown).
bool guarded(const std::function<void()>& action);

// Runs one delivery of an event the same way; returns what the delivery returned, false after an
// error.
bool deliverReportingErrors(const std::function<bool()>& deliver);

}  // namespace kv
