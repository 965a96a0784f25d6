#pragma once
// Creating an empty database file. Qt SQL can only open existing databases, so this goes to the
// Firebird client library directly; everything after it (tables, rows) goes through Connection.
#include <QString>

namespace kv {

// True for "host:path" (a drive letter is one character), false for a file of this machine.
bool isOnServer(const QString& location);

// Creates an empty database at location ("path" opens the embedded engine, "host:path" asks a
// server), page size 16384, character set UTF8, with the program's database user and password.
// Raises DbError with Firebird's own text when it cannot (the file exists, the folder is missing...).
// A file of this machine is made readable and writable by its owner only.
void createDatabase(const QString& location);

// Removes a database (a file on this machine, or one on a server through the engine) that nobody
// else is connected to. Raises DbError with Firebird's text when it cannot.
void dropDatabase(const QString& location);

// What a Firebird server said when asked for its services manager with the program's user and
// password: a server that answered, one that could not be reached at all (nothing listens there,
// or the name leads nowhere), or one that refused the user.
struct ServerAnswer {
    enum Kind { Answered, NotReached, LoginRefused, Failed };
    Kind kind = Failed;
    QString text;  // the engine's words when it did not answer
};
// host as the registers write it: "name" or "name/port".
ServerAnswer askServer(const QString& host);

}  // namespace kv
