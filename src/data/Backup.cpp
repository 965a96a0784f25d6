#include "data/Backup.h"

#include "data/Connection.h"
#include "data/DatabaseCreate.h"
#include "data/FirebirdTool.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace kv {

namespace {

// The tables whose rows are the shop's day: they are counted in the backup and in its restore.
const char* const kSaleTables[] = {"POSMOVIMIENTO", "POSMOVIMIENTODETALLE", "POSPAGOSCAJA",       "POSARQUEO",
                                   "POSREMISIONES", "POSREMISIONESDETALLE", "COMPROBANTECONTABLE", "MOVIMIENTOCONTABLE"};

// gbak -v says, for each table, "writing data for table X" and then "N records written".
QMap<QString, qint64> rowsWritten(const QString& log)
{
    static const QRegularExpression table(QStringLiteral("writing data for table (\\S+)"));
    static const QRegularExpression records(QStringLiteral("(\\d+) records? written"));
    QMap<QString, qint64> rows;
    QString current;
    for (const QString& line : log.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch t = table.match(line);
        if (t.hasMatch()) {
            current = t.captured(1);
            continue;
        }
        const QRegularExpressionMatch r = records.match(line);
        if (r.hasMatch() && !current.isEmpty()) {
            rows.insert(current, r.captured(1).toLongLong());
            current.clear();
        }
    }
    return rows;
}

// The database's name for the copies: "korvela" for ".../korvela.fdb" or "server:korvela".
QString baseName(const QString& location)
{
    QString name = location.mid(isOnServer(location) ? location.indexOf(QLatin1Char(':')) + 1 : 0);
    name = QFileInfo(name).completeBaseName();
    return name.isEmpty() ? QStringLiteral("korvela") : name;
}

// Leaves the newest `keep` copies of the database in the folder (names sort by their time).
QStringList removeOldCopies(const QString& dir, const QString& base, int keep)
{
    // Named "<base>-YYYYMMDD-HHMMSS.fbk": the date and time in digits.
    static const QRegularExpression stamp(QStringLiteral("^-\\d{8}-\\d{6}\\.fbk$"));
    QStringList copies;
    for (const QString& name : QDir(dir).entryList({base + QStringLiteral("-*.fbk")}, QDir::Files, QDir::Name))
        if (stamp.match(name.mid(base.size())).hasMatch())
            copies << name;
    QStringList removed;
    while (copies.size() > keep) {
        const QString old = QDir(dir).filePath(copies.takeFirst());
        if (QFile::remove(old))
            removed << old;
    }
    return removed;
}

// Other connections to the database, not counting the engine's own workers.
int otherAttachments(Connection& c)
{
    return c.scalar(QStringLiteral("SELECT COUNT(*) FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION "
                                   "AND COALESCE(MON$SYSTEM_FLAG, 0) = 0"))
        .toInt();
}

}  // namespace

BackupResult backupDatabase(const QString& location, const QString& dest, int keep)
{
    BackupResult result;
    const bool toFolder = QFileInfo(dest).isDir() || keep > 0;
    const QString base = baseName(location);
    if (toFolder) {
        // A folder made here is its user's alone: the copies hold every sale and every password.
        if (!QFileInfo(dest).isDir() &&
            (!QDir().mkpath(dest) || !QFile::setPermissions(dest, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                     QFileDevice::ExeOwner)))
            throw DbError(QStringLiteral("No se pudo crear la carpeta %1").arg(dest));
        result.file = QDir(dest).filePath(
            QStringLiteral("%1-%2.fbk").arg(base, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    } else {
        result.file = dest;
    }
    if (QFile::exists(result.file))
        throw DbError(QStringLiteral("%1 ya existe; elija otro nombre").arg(result.file));

    // gbak reads the whole database in one snapshot transaction: the registers keep selling, and
    // the copy holds every document as it stood at that moment, each with all its lines.
    const QString log = runFirebirdTool(QStringLiteral("gbak"), {QStringLiteral("-b"), QStringLiteral("-v"), location, result.file},
                                        QStringLiteral("No se pudo hacer la copia de %1").arg(location));
    const QMap<QString, qint64> written = rowsWritten(log);
    QFile::setPermissions(result.file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    try {
        QTemporaryDir scratch(QFileInfo(result.file).absoluteDir().filePath(QStringLiteral(".korvela-prueba-XXXXXX")));
        if (!scratch.isValid())
            throw DbError(QStringLiteral("No se pudo crear una carpeta temporal junto a %1").arg(result.file));
        const QString restored = scratch.filePath(QStringLiteral("prueba.fdb"));
        runFirebirdTool(QStringLiteral("gbak"), {QStringLiteral("-c"), result.file, restored},
                        QStringLiteral("La copia %1 no se puede restaurar").arg(result.file));
        Connection c(QStringLiteral("BackupCheck"));
        c.setLocation(restored);
        c.open();
        QStringList differences;
        for (const char* name : kSaleTables) {
            const QString table = QString::fromLatin1(name);
            if (!written.contains(table))
                continue;
            const qint64 found = c.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toLongLong();
            result.rows.insert(table, found);
            if (found != written.value(table))
                differences << QStringLiteral("%1: %2 filas copiadas, %3 restauradas").arg(table).arg(written.value(table)).arg(found);
        }
        c.close();
        if (!differences.isEmpty())
            throw DbError(QStringLiteral("La copia %1 no quedo completa:\n%2").arg(result.file, differences.join(QLatin1Char('\n'))));
    } catch (...) {
        QFile::remove(result.file);
        throw;
    }
    if (keep > 0)
        result.removed = removeOldCopies(QFileInfo(result.file).absolutePath(), base, keep);
    return result;
}

void restoreDatabase(const QString& backup, const QString& location)
{
    if (!QFileInfo(backup).isFile())
        throw DbError(QStringLiteral("No existe la copia %1").arg(backup));
    const bool remote = isOnServer(location);
    bool exists = remote || QFile::exists(location);
    if (exists) {
        Connection c(QStringLiteral("RestoreCheck"));
        c.setLocation(location);
        try {
            c.open();
        } catch (const DbError& e) {
            // A file on this machine that cannot be opened may be held by a register running on
            // the embedded engine; a server location that cannot be opened may simply not exist yet.
            if (!remote)
                throw DbError(QStringLiteral("No se restaura sobre %1: no se pudo abrir (puede estar en uso por una caja).\n%2")
                                  .arg(location, e.text()));
            exists = false;
        }
        if (exists) {
            const int others = otherAttachments(c);
            c.close();
            if (others > 0)
                throw DbError(QStringLiteral("No se restaura sobre %1: la base de datos esta en uso (%2 %3). Cierre el "
                                             "programa en todas las cajas y vuelva a intentar; no se cambio nada.")
                                  .arg(location)
                                  .arg(others)
                                  .arg(others == 1 ? QStringLiteral("conexion") : QStringLiteral("conexiones")));
        }
    }

    if (remote) {
        // On a server the file is out of reach: gbak replaces it, and refuses itself when a
        // connection came in meanwhile.
        runFirebirdTool(QStringLiteral("gbak"), {exists ? QStringLiteral("-rep") : QStringLiteral("-c"), backup, location},
                        QStringLiteral("No se pudo restaurar %1").arg(location));
        return;
    }
    // Here the copy is restored beside the database and only a whole restore takes its place; the
    // database it replaces stays as "<file>.anterior" until the next restore.
    const QString fresh = location + QStringLiteral(".restaurando");
    QFile::remove(fresh);
    try {
        runFirebirdTool(QStringLiteral("gbak"), {QStringLiteral("-c"), backup, fresh},
                        QStringLiteral("No se pudo restaurar %1").arg(location));
    } catch (...) {
        QFile::remove(fresh);
        throw;
    }
    // The engine makes the file readable by its group, as it makes a new database.
    QFile::setPermissions(fresh, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (exists) {
        const QString previous = location + QStringLiteral(".anterior");
        QFile::remove(previous);
        if (!QFile::rename(location, previous))
            throw DbError(QStringLiteral("No se pudo apartar %1; la copia restaurada quedo en %2").arg(location, fresh));
    }
    if (!QFile::rename(fresh, location))
        throw DbError(QStringLiteral("No se pudo poner la copia restaurada %1 en %2").arg(fresh, location));
}

}  // namespace kv
