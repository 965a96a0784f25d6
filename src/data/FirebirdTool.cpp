#include "data/FirebirdTool.h"

#include "data/Connection.h"

#include <QProcess>
#include <QProcessEnvironment>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace kv {

QString runFirebirdTool(const QString& program, const QStringList& args, const QString& what)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ISC_USER"), databaseUser());
    env.insert(QStringLiteral("ISC_PASSWORD"), databasePassword());
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_UNIX
    // What the tools write (copies of a database, restored databases) holds the shop's data: for
    // the user who runs them alone, whatever the session's umask.
    p.setChildProcessModifier([] { ::umask(077); });
#endif
    p.start(program, args);
    if (!p.waitForStarted(30000))
        throw DbError(QStringLiteral("%1: no se pudo ejecutar %2 (paquete firebird3.0-utils)").arg(what, program));
    p.waitForFinished(-1);
    const QString out = QString::fromLocal8Bit(p.readAll());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw DbError(QStringLiteral("%1: %2").arg(what, out.trimmed()));
    return out;
}

}  // namespace kv
