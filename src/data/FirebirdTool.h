#pragma once
// Firebird's own command-line tools (gbak, fbsvcmgr, from the package firebird3.0-utils), run
// with the program's database user and password handed over in their environment
// (ISC_USER / ISC_PASSWORD), never on the command line where other users of the machine see it.
#include <QString>
#include <QStringList>

namespace kv {

// Runs the tool to its end and returns what it printed; raises DbError with `what` and the tool's
// own words when it fails or cannot be started. What the tool creates is its user's alone (umask 077).
QString runFirebirdTool(const QString& program, const QStringList& args, const QString& what);

}  // namespace kv
