#pragma once
// Creating an empty database file. Qt SQL can only open existing databases, so this goes to the
// Firebird client library directly; everything after it (tables, rows) goes through Connection.
#include <QString>

namespace kv {

// Creates an empty database at location ("path" opens the embedded engine, "host:path" asks a
// server), page size 16384, character set UTF8, with the program's database user and password.
// Raises DbError with Firebird's own text when it cannot (the file exists, the folder is missing...).
void createDatabase(const QString& location);

// Removes a database (a file on this machine, or one on a server through the engine) that nobody
// else is connected to. Raises DbError with Firebird's text when it cannot.
void dropDatabase(const QString& location);

}  // namespace kv
