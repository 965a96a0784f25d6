#include "support/TestDb.h"

#include "data/DatabaseCreate.h"
#include "data/DemoData.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QMutex>

namespace kvtest {

namespace {
QTemporaryDir& templateDir()
{
    static QTemporaryDir d;
    return d;
}

QString buildTemplate(const QString& name, bool accounting, Seed seed)
{
    const QString path = templateDir().filePath(name);
    if (QFile::exists(path))
        return path;
    kv::createDatabase(path);
    kv::Connection c(QStringLiteral("Template"));
    c.setLocation(path);
    c.open();
    if (accounting) {
        kv::createAccountingSchema(c);
        if (seed == Seed::Demo)
            kv::seedDemoAccounting(c);
    } else {
        kv::createPosSchema(c);
        if (seed == Seed::Demo)
            kv::seedDemoPos(c);
    }
    c.close();
    return path;
}

QString copyOf(const QString& templ, const QString& dir, const QString& base)
{
    QString target;
    for (int i = 0;; ++i) {
        target = QDir(dir).filePath(QStringLiteral("%1%2.fdb").arg(base).arg(i ? QString::number(i) : QString()));
        if (!QFile::exists(target))
            break;
    }
    if (!QFile::copy(templ, target))
        throw kv::DbError(QStringLiteral("No se pudo copiar la base de datos de prueba a %1").arg(target));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
    return target;
}
}  // namespace

QString freshPosDatabase(const QString& dir, Seed seed)
{
    const QString t = buildTemplate(seed == Seed::Demo ? QStringLiteral("pos-demo.fdb") : QStringLiteral("pos.fdb"),
                                    false, seed);
    return copyOf(t, dir, QStringLiteral("pos"));
}

QString freshAccountingDatabase(const QString& dir, Seed seed)
{
    const QString t = buildTemplate(seed == Seed::Demo ? QStringLiteral("tavro-demo.fdb") : QStringLiteral("tavro.fdb"),
                                    true, seed);
    return copyOf(t, dir, QStringLiteral("tavro"));
}

void DbTest::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    scope_ = std::make_unique<kv::DialogsScope>(&dialogs);
    db = std::make_unique<kv::Connection>(QStringLiteral("Korvela"));
    db->setLocation(freshPosDatabase(dir.path(), seed_));
    db->open();
}

void DbTest::TearDown()
{
    db.reset();
    scope_.reset();
}

}  // namespace kvtest
