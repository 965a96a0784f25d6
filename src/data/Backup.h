#pragma once
// Copies of a shop's database through Firebird's own backup (gbak): taken while the registers go
// on selling (the backup reads one consistent snapshot), checked by restoring them, and restored
// only over a database nobody is using.
#include <QMap>
#include <QString>
#include <QStringList>

namespace kv {

struct BackupResult {
    QString file;                 // the backup written
    QMap<QString, qint64> rows;   // rows of the sale tables, as written to the backup and found on restoring it
    QStringList removed;          // older copies let go (keep)
};

// Backs up the database at location ("path" or "host:alias") into dest, restores the copy into a
// temporary file beside it and compares the rows of the sale tables with those the backup wrote;
// a copy that does not restore whole is removed and the error raised. When dest is a folder the
// copy is named after the database and the time ("korvela-20261210-233000.fbk"), and when
// keep > 0 only the newest `keep` copies of that database are left in it.
BackupResult backupDatabase(const QString& location, const QString& dest, int keep = 0);

// Restores a backup into location. An existing database there must be free: when another
// connection is using it, nothing is done and DbError says so. A file on this machine is restored
// beside it first and only then put in its place, the old one kept as "<file>.anterior".
void restoreDatabase(const QString& backup, const QString& location);

}  // namespace kv
