// A shop's own installation, as the program meets it afterwards: the location file leads to both
// databases, the user signs on with the password typed at installation, and the catalogue screens
// open on their empty tables. A database older than the program is told apart before any screen.
// The nightly backup, run as its service runs it, leaves the register able to open its database,
// and everything holding the shop's data is for its owner alone.
#include "app/UntLogin.h"
#include "catalog/CatalogPrograms.h"
#include "catalog/CatalogScreen.h"
#include "common/ProgramRegistry.h"
#include "data/Backup.h"
#include "data/DemoData.h"
#include "data/Installation.h"
#include "data/UntDMGeneral.h"
#include "einvoice/DemoElectronic.h"
#include "einvoice/Settings.h"
#include "support/Keyboard.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QDialog>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kv;

namespace {

class InstallationTest : public kvtest::DbTest {
protected:
    ShopData shop{QStringLiteral("Tienda Don Pepe"), 900123456, QStringLiteral("Administrador"), QStringLiteral("s3creta")};
};

TEST_F(InstallationTest, NewShopSignsOnWithItsOwnPasswordAndOpensTheCatalogues)
{
    const QString location = createShopInstallation(dir.filePath("tienda"), shop);
    TDMGeneral dm;
    ASSERT_TRUE(dm.DataModuleCreate(location));
    EXPECT_TRUE(dm.DbPos.isOpen());
    EXPECT_TRUE(dm.TavroDb.isOpen());
    EXPECT_EQ(dm.outdatedDatabases(), QString());

    TFrmLogin login(dm);
    login.endProgram = [] {};
    LoginResult = 2;
    kvtest::showActive(&login);
    // The demo's password is no way in; the one typed at installation is.
    kvtest::typeInto(login.Edit1, "Administrador", true);
    kvtest::typeInto(login.Edit2, "1234", true);
    EXPECT_EQ(LoginResult, 2);
    dialogs.shown.clear();
    kvtest::typeInto(login.Edit2, "s3creta", true);
    EXPECT_EQ(LoginResult, 1) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(CurrentUserCode, 1);
    login.close();

    registerCatalogPrograms();
    for (int n = 1; n <= 8; ++n) {
        ScreenOpener open = programOpener(n);
        ASSERT_TRUE(bool(open)) << n;
        bool shown = false;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                shown = w->isVisible();
                w->close();
            }
        });
        closer.start(5);
        open();
        EXPECT_TRUE(shown) << n;
    }
    EXPECT_TRUE(dialogs.texts("error").isEmpty()) << dialogs.last().toStdString();
    dm.DataModuleDestroy();
}

TEST_F(InstallationTest, AnOlderDatabaseIsNamedWithTheCommandThatUpdatesIt)
{
    const QString location = createShopInstallation(dir.filePath("tienda"), shop);
    {
        TDMGeneral dm;
        ASSERT_TRUE(dm.DataModuleCreate(location));
        dm.DbPos.exec("ALTER TABLE POSCAJAS DROP REFRESCO");
        dm.DbPos.exec("DROP TABLE VENTASACTUALIZADAS");
        dm.DbPos.exec("COMMIT");
    }
    TDMGeneral dm;
    ASSERT_TRUE(dm.DataModuleCreate(location));
    const QString text = dm.outdatedDatabases();
    EXPECT_TRUE(text.contains("versión anterior")) << text.toStdString();
    EXPECT_TRUE(text.contains("POSCAJAS.REFRESCO")) << text.toStdString();
    EXPECT_TRUE(text.contains("VENTASACTUALIZADAS")) << text.toStdString();
    EXPECT_TRUE(text.contains("korvela-db update " + dm.DbPos.location())) << text.toStdString();
    EXPECT_FALSE(text.contains(dm.TavroDb.location())) << "the accounting database is up to date";
}

struct FileMode {
    uid_t owner;
    mode_t mode;  // permission bits only
};

FileMode modeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {uid_t(-1), 0};
    return {st.st_uid, st.st_mode & 07777};
}

std::string octal(mode_t m) { return QString::number(m, 8).toStdString(); }

// Files a run creates are as the session's umask leaves them unless the program says otherwise;
// 022 is the usual one, which leaves files readable by everyone.
class UsualUmask {
public:
    UsualUmask() : old_(::umask(022)) {}
    ~UsualUmask() { ::umask(old_); }

private:
    mode_t old_;
};

TEST_F(InstallationTest, EveryFileHoldingTheShopsDataIsForItsOwnerAlone)
{
    UsualUmask umask022;
    const QString shopDir = dir.filePath("tienda");
    createShopInstallation(shopDir, shop);
    const QString demoDir = dir.filePath("demo");
    const QString demoLocation = createDemoInstallation(demoDir);
    setUpDemoElectronicDocuments(demoLocation);  // makes the demo's sealing key
    const QString pos = shopDir + "/korvela.fdb";
    const BackupResult intoFolder = backupDatabase(pos, dir.filePath("copias/nuevas"), 2);
    const BackupResult intoFile = backupDatabase(pos, dir.filePath("una-copia.fbk"));
    restoreDatabase(intoFile.file, dir.filePath("restaurada.fdb"));

    const struct {
        QString path;
        mode_t mode;
    } expected[] = {
        {shopDir + "/korvela.fdb", 0600},        {shopDir + "/tavro.fdb", 0600},
        {demoDir + "/korvela.fdb", 0600},        {demoDir + "/tavro.fdb", 0600},
        {demoDir + "/korvela.key", 0600},        {dir.filePath("copias/nuevas"), 0700},
        {intoFolder.file, 0600},                 {intoFile.file, 0600},
        {dir.filePath("restaurada.fdb"), 0600},
    };
    for (const auto& e : expected) {
        const FileMode m = modeOf(e.path);
        EXPECT_EQ(m.owner, ::geteuid()) << e.path.toStdString();
        EXPECT_EQ(octal(m.mode), octal(e.mode)) << e.path.toStdString();
    }
}

// The program run as another user of the machine, as the person who sells runs it.
class AsUser {
public:
    explicit AsUser(const char* name)
    {
        if (const passwd* pw = ::getpwnam(name)) {
            uid = pw->pw_uid;
            gid = pw->pw_gid;
        }
    }
    bool exists() const { return uid != uid_t(-1); }
    void runAs(QProcess& p) const
    {
        const uid_t u = uid;
        const gid_t g = gid;
        p.setChildProcessModifier([u, g] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(g) != 0 || ::setuid(u) != 0)
                ::_exit(126);
        });
    }
    void own(const QString& path, mode_t mode) const
    {
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), uid, gid), 0) << path.toStdString();
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
    }

    uid_t uid = uid_t(-1);
    gid_t gid = gid_t(-1);
};

// The service's lines as systemd reads them: ExecStart= (in order), User=, UMask=.
struct ServiceUnit {
    QStringList execStart;
    QString user;
    mode_t umask = 022;
};

ServiceUnit readServiceUnit(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text)) << path.toStdString();
    ServiceUnit unit;
    for (const QString& raw : QString::fromUtf8(f.readAll()).split('\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith("ExecStart="))
            unit.execStart << line.mid(int(qstrlen("ExecStart=")));
        else if (line.startsWith("User="))
            unit.user = line.mid(int(qstrlen("User=")));
        else if (line.startsWith("UMask="))
            unit.umask = mode_t(line.mid(int(qstrlen("UMask="))).toUInt(nullptr, 8));
    }
    return unit;
}

// Where a running process has a file open.
bool holdsOpen(qint64 pid, const QString& file)
{
    QDirIterator fds(QStringLiteral("/proc/%1/fd").arg(pid), QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    while (fds.hasNext())
        if (QFileInfo(fds.next()).symLinkTarget() == file)
            return true;
    return false;
}

// A shop with one register whose files belong to the user who sells; the nightly backup is run as
// its service runs it (root, its ExecStart lines with the default file's values); then that user
// starts the program, which must open both databases. Root's embedded engine, left to itself,
// would have left the engine's lock files to root and the firebird group, and the register would
// have stopped at "Permission denied" on them.
TEST_F(InstallationTest, TheNightlyBackupRunAsItsServiceLeavesTheRegisterOpeningItsDatabases)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root: the service runs as root and the register as another user";
    const AsUser seller("nobody");
    ASSERT_TRUE(seller.exists());

    QTemporaryDir machine;
    ASSERT_EQ(::chmod(QFile::encodeName(machine.path()).constData(), 0755), 0);
    const QString shopDir = machine.filePath("tavro");
    const QString location = createShopInstallation(shopDir, shop);
    for (const QString& f : {shopDir, shopDir + "/korvela.fdb", shopDir + "/tavro.fdb", location})
        seller.own(f, QFileInfo(f).isDir() ? 0755 : 0600);
    // The engine's lock folder as the register's first day left it (a private one for the test).
    const QString lock = machine.filePath("lock");
    const QString home = machine.filePath("home");
    for (const QString& d : {lock, home}) {
        ASSERT_TRUE(QDir().mkpath(d));
        seller.own(d, d == lock ? 0770 : 0700);
    }
    QProcessEnvironment env;
    env.insert("PATH", "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin");
    env.insert("FIREBIRD_LOCK", lock);
    const QString copies = machine.filePath("copias");
    env.insert("KORVELA_BD", shopDir + "/korvela.fdb");
    env.insert("KORVELA_BD_CONTABLE", shopDir + "/tavro.fdb");
    env.insert("KORVELA_COPIAS", copies);
    env.insert("KORVELA_GUARDAR", "14");

    const ServiceUnit unit = readServiceUnit(QStringLiteral(KV_PACKAGING_DIR "/korvela-backup.service"));
    ASSERT_EQ(unit.execStart.size(), 2);
    for (QString command : unit.execStart) {
        for (const char* name : {"KORVELA_BD_CONTABLE", "KORVELA_BD", "KORVELA_COPIAS", "KORVELA_GUARDAR"})
            command.replace(QStringLiteral("${%1}").arg(QLatin1String(name)), env.value(QLatin1String(name)));
        QStringList args = command.split(' ', Qt::SkipEmptyParts);
        ASSERT_EQ(args.takeFirst(), "/usr/bin/korvela-db");
        QProcess service;
        service.setProcessEnvironment(env);
        service.setProcessChannelMode(QProcess::MergedChannels);
        const mode_t serviceMask = unit.umask;
        const AsUser runAs(unit.user.isEmpty() ? "root" : qPrintable(unit.user));
        const uid_t u = runAs.uid;
        const gid_t g = runAs.gid;
        service.setChildProcessModifier([serviceMask, u, g] {
            ::umask(serviceMask);
            if (u != 0 && (::setgroups(0, nullptr) != 0 || ::setgid(g) != 0 || ::setuid(u) != 0))
                ::_exit(126);
        });
        service.start(QStringLiteral(KV_DB_TOOL), args);
        ASSERT_TRUE(service.waitForFinished(300000));
        ASSERT_EQ(service.exitCode(), 0) << command.toStdString() << "\n" << service.readAll().toStdString();
    }
    // The copies are the seller's alone, in a folder of the seller's alone.
    const FileMode folder = modeOf(copies);
    EXPECT_EQ(folder.owner, seller.uid);
    EXPECT_EQ(octal(folder.mode), octal(0700));
    const QStringList made = QDir(copies).entryList({"*.fbk"}, QDir::Files);
    EXPECT_EQ(made.size(), 2) << made.join(' ').toStdString();
    for (const QString& copy : made) {
        const FileMode m = modeOf(QDir(copies).filePath(copy));
        EXPECT_EQ(m.owner, seller.uid) << copy.toStdString();
        EXPECT_EQ(octal(m.mode), octal(0600)) << copy.toStdString();
    }

    QProcess registerRun;
    QProcessEnvironment registerEnv = env;
    registerEnv.insert("HOME", home);
    registerEnv.insert("QT_QPA_PLATFORM", "offscreen");
    registerEnv.insert("KORVELA_NO_OPEN", "1");
    registerRun.setProcessEnvironment(registerEnv);
    registerRun.setProcessChannelMode(QProcess::MergedChannels);
    seller.runAs(registerRun);
    registerRun.start(QStringLiteral(KV_PROGRAM), {"--location", location});
    ASSERT_TRUE(registerRun.waitForStarted(30000));
    bool opened = false;
    for (int i = 0; i < 600 && !opened && registerRun.state() == QProcess::Running; ++i) {
        opened = holdsOpen(registerRun.processId(), shopDir + "/korvela.fdb") &&
                 holdsOpen(registerRun.processId(), shopDir + "/tavro.fdb");
        if (!opened)
            QThread::msleep(50);
    }
    ::kill(pid_t(registerRun.processId()), SIGTERM);
    EXPECT_TRUE(registerRun.waitForFinished(60000));
    EXPECT_TRUE(opened) << "the register did not open its databases:\n" << registerRun.readAll().toStdString();
    EXPECT_EQ(registerRun.exitStatus(), QProcess::NormalExit);
}

}  // namespace
