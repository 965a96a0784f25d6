#pragma once
// A register's database file belongs to the user who sells on it: the embedded engine opens it in
// that user's process and shares its lock files with it in the engine's lock folder. A tool run
// as root on that file (the nightly backup started by systemd, an administrator with sudo) would
// leave lock files there that only root and the firebird group may open, or a database file root
// owns, and the register would no longer start. So such a run does its work as the file's owner.
#include <QString>
#include <QStringList>

namespace kv {

// When this process runs as root and location is a file of this machine (or, when it is not there
// yet, goes into a folder of this machine) belonging to another user, hands that user the folders
// given (made when missing, for that user alone; one of root's is handed over only while it
// holds nothing but copies) and goes on as that user for the rest of the run. Does nothing
// otherwise. Raises DbError when the switch fails. Call it before anything opens a database.
void actAsOwnerOf(const QString& location, const QStringList& foldersForOwner = {});

}  // namespace kv
