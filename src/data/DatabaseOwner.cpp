#include "data/DatabaseOwner.h"

#include "common/Errors.h"
#include "data/DatabaseCreate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kv {

#ifdef Q_OS_UNIX
namespace {

bool ownerOf(const QString& path, uid_t* uid)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    *uid = st.st_uid;
    return true;
}

// Nothing in it but copies of databases and what a backup leaves while it checks one.
bool holdsOnlyCopies(const QString& folder)
{
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return std::all_of(entries.begin(), entries.end(), [](const QString& name) {
        return name.endsWith(QLatin1String(".fbk")) || name.startsWith(QLatin1String(".korvela-prueba-"));
    });
}

void handFolder(const QString& folder, uid_t uid, gid_t gid)
{
    const QByteArray path = QFile::encodeName(QFileInfo(folder).absoluteFilePath());
    const QFileInfo info(folder);
    if (info.exists()) {
        uid_t owner = 0;
        if (!info.isDir() || !ownerOf(folder, &owner) || owner != 0 || !holdsOnlyCopies(folder))
            return;  // the owner's already, or not ours to give: the run says so if it cannot write there
    } else if (!QDir().mkpath(folder)) {
        throw DbError(QStringLiteral("No se pudo crear la carpeta %1").arg(folder));
    }
    if (::chmod(path.constData(), 0700) != 0 || ::chown(path.constData(), uid, gid) != 0)
        throw DbError(QStringLiteral("No se pudo entregar la carpeta %1 al dueño de la base de datos").arg(folder));
}

}  // namespace
#endif

void actAsOwnerOf(const QString& location, const QStringList& foldersForOwner)
{
#ifdef Q_OS_UNIX
    if (::geteuid() != 0 || isOnServer(location))
        return;
    const QFileInfo info(location);
    uid_t uid = 0;
    if (!ownerOf(info.exists() ? info.absoluteFilePath() : info.absolutePath(), &uid) || uid == 0)
        return;
    const passwd* pw = ::getpwuid(uid);
    if (!pw)
        throw DbError(QStringLiteral("%1 pertenece al usuario numero %2, que no existe en esta maquina").arg(location).arg(uid));
    const gid_t gid = pw->pw_gid;
    const QByteArray name = pw->pw_name;
    const QByteArray home = pw->pw_dir;
    for (const QString& folder : foldersForOwner)
        handFolder(folder, uid, gid);
    if (::initgroups(name.constData(), gid) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
        throw DbError(QStringLiteral("No se pudo trabajar como %1, el dueño de %2").arg(QString::fromLocal8Bit(name), location));
    qputenv("HOME", home);
    qputenv("USER", name);
    qputenv("LOGNAME", name);
#else
    Q_UNUSED(location);
    Q_UNUSED(foldersForOwner);
#endif
}

}  // namespace kv
