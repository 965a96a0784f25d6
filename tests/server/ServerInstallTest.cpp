// The shop on a Firebird server, run as the person installing it runs the database tool: the
// databases under aliases with a database user of their own, a register signing on through the
// alias without SYSDBA's password, and a backup taken while registers sell.
#include "ShopFixture.h"
#include "support/Keyboard.h"
#include "support/TestDb.h"
#include "ServerSuite.h"

#include "app/UntLogin.h"
#include "data/Installation.h"
#include "data/UntDMGeneral.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode;
    QString output;
};

ToolRun runTool(const QStringList& args, const QByteArray& input = QByteArray())
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(KV_DB_TOOL), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(300000);
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

QStringList lines(const QString& file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
}

class ServerInstallTest : public kvtest::ServerSuite {
protected:
    void SetUp() override { scope = std::make_unique<kv::DialogsScope>(&dialogs); }
    void TearDown() override
    {
        // Back to the server's SYSDBA for whatever runs next.
        kv::useDatabaseCredentials(QString(), QString());
        qputenv("ISC_PASSWORD", server_->value(QStringLiteral("ISC_PASSWORD")).toLocal8Bit());
    }

    QString host() const { return server_->value(QStringLiteral("KV_TEST_SERVER")); }

    kv::ScriptedDialogs dialogs;
    std::unique_ptr<kv::DialogsScope> scope;
};

// The private server is set up as Debian's: its security database refuses network connections,
// so the CREATE DATABASE grant cannot be made by attaching to it. The aliases are written while
// the server runs, and the registers reach the databases through them without a restart.
TEST_F(ServerInstallTest, RegistersReachTheShopByAliasWithADatabaseUserOfTheirOwn)
{
    QDir().mkpath(path(QStringLiteral("data")));
    const QString registers = path(QStringLiteral("caja"));
    const ToolRun r = runTool({QStringLiteral("install"), QStringLiteral("--server"), host(), QStringLiteral("--name"),
                               QStringLiteral("Supermercado El Ahorro"), QStringLiteral("--nit"), QStringLiteral("800987654"),
                               QStringLiteral("--data-dir"), path(QStringLiteral("data")), QStringLiteral("--firebird-conf"),
                               path(QStringLiteral("server/root")), QStringLiteral("--registers-dir"), registers},
                              "clave-del-jefe\n");
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();

    const QString location = registers + QStringLiteral("/DireccionBd.txt");
    const QStringList file = lines(location);
    ASSERT_GE(file.size(), 7);
    EXPECT_EQ(file[4], host() + QStringLiteral(":korvela_tavro"));
    EXPECT_EQ(file[6], host() + QStringLiteral(":korvela"));
    const QStringList access = lines(registers + QStringLiteral("/UsuarioBd.txt"));
    EXPECT_EQ(access.value(0), QStringLiteral("KORVELA"));
    EXPECT_EQ(QFile::permissions(registers + QStringLiteral("/UsuarioBd.txt")),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
    EXPECT_TRUE(lines(path(QStringLiteral("server/root/databases.conf")))
                    .contains(QStringLiteral("korvela = %1").arg(path(QStringLiteral("data/korvela.fdb")))));

    // The register knows no SYSDBA password: only what its two files say.
    qputenv("ISC_PASSWORD", "not-the-password");
    kv::TDMGeneral dm;
    ASSERT_TRUE(dm.DataModuleCreate(location));
    ASSERT_TRUE(dm.DbPos.isOpen()) << dm.DbPos.lastError().toStdString();
    ASSERT_TRUE(dm.TavroDb.isOpen()) << dm.TavroDb.lastError().toStdString();
    EXPECT_TRUE(dialogs.texts("error").isEmpty()) << dialogs.last().toStdString();
    EXPECT_EQ(dm.DbPos.scalar(QStringLiteral("SELECT CURRENT_USER FROM RDB$DATABASE")).toString(), "KORVELA");
    EXPECT_EQ(dm.DbPos.scalar(QStringLiteral("SELECT TRIM(RDB$OWNER_NAME) FROM RDB$RELATIONS WHERE "
                                             "RDB$RELATION_NAME = 'POSMOVIMIENTO'"))
                  .toString(),
              "KORVELA");
    EXPECT_EQ(dm.outdatedDatabases(), QString());

    kv::TFrmLogin login(dm);
    login.endProgram = [] {};
    kv::LoginResult = 2;
    kvtest::showActive(&login);
    kvtest::typeInto(login.Edit1, QStringLiteral("Administrador"), true);
    kvtest::typeInto(login.Edit2, QStringLiteral("clave-del-jefe"), true);
    EXPECT_EQ(kv::LoginResult, 1) << dialogs.texts().join('|').toStdString();
    login.close();
    dm.DataModuleDestroy();
}

// What the server and its configuration hold, to tell whether a failed installation left anything.
struct ServerState {
    QByteArray databasesConf;
    QStringList dataFiles;
    QStringList users;
    bool operator==(const ServerState&) const = default;
};

// The private server's state, the way the installation leaves it ("users" read as SYSDBA).
ServerState serverState(const QString& confDir, const QString& dataDir, const QString& host)
{
    ServerState state;
    QFile conf(confDir + QStringLiteral("/databases.conf"));
    if (conf.open(QIODevice::ReadOnly))
        state.databasesConf = conf.readAll();
    state.dataFiles = QDir(dataDir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    QProcess users;
    users.start(QStringLiteral("fbsvcmgr"), {host + QStringLiteral(":service_mgr"), QStringLiteral("action_display_user")});
    users.waitForFinished(60000);
    for (const QString& line : QString::fromLocal8Bit(users.readAllStandardOutput()).split(QLatin1Char('\n')).mid(1))
        if (!line.trimmed().isEmpty())
            state.users << line.section(QLatin1Char(' '), 0, 0);
    return state;
}

// The registers will use a name by which this machine's server cannot be reached: Debian's server
// listens on the loopback address only, while the machine's own name is 127.0.1.1. The installation
// says which line of which file to change and how to restart, and writes nothing at all.
TEST_F(ServerInstallTest, ANameTheRegistersCannotReachStopsItBeforeAnythingIsWritten)
{
    const QString data = path(QStringLiteral("data-unreachable"));
    QDir().mkpath(data);
    const QString conf = path(QStringLiteral("server/root"));
    const QString port = host().section(QLatin1Char('/'), 1);
    const ServerState before = serverState(conf, data, host());
    const QString registers = path(QStringLiteral("cajas-unreachable"));
    const ToolRun r = runTool({QStringLiteral("install"), QStringLiteral("--server"), QStringLiteral("127.0.1.1/") + port,
                               QStringLiteral("--name"), QStringLiteral("Tienda Sin Red"), QStringLiteral("--nit"),
                               QStringLiteral("800987654"), QStringLiteral("--alias"), QStringLiteral("sinred"),
                               QStringLiteral("--db-user"), QStringLiteral("SINRED"), QStringLiteral("--data-dir"), data,
                               QStringLiteral("--firebird-conf"), conf, QStringLiteral("--registers-dir"), registers},
                              "clave\n");
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    const int line = int(lines(conf + QStringLiteral("/firebird.conf")).indexOf(QStringLiteral("RemoteBindAddress = 127.0.0.1"))) + 1;
    ASSERT_GT(line, 0);
    for (const QString& said : {QStringLiteral("%1/firebird.conf, linea %2").arg(conf).arg(line),
                                QStringLiteral("\"RemoteBindAddress =\""), QStringLiteral("sudo systemctl restart firebird3.0"),
                                QStringLiteral("No se escribio nada")})
        EXPECT_TRUE(r.output.contains(said)) << said.toStdString() << "\n" << r.output.toStdString();
    EXPECT_FALSE(r.output.contains(QStringLiteral("ya existe"))) << r.output.toStdString();
    EXPECT_TRUE(serverState(conf, data, host()) == before);
    EXPECT_FALSE(QFileInfo::exists(registers));
}

// A step that fails once the installation has begun writing (here the server cannot make the
// files: their folder is missing) takes back the aliases, the database user and its grant; the
// retry, with the folder made, goes through with the same alias and user.
TEST_F(ServerInstallTest, AFailedInstallationLeavesTheServerAsItWasAndTheRetryGoesThrough)
{
    const QString data = path(QStringLiteral("data-retry"));
    const QString conf = path(QStringLiteral("server/root"));
    const ServerState before = serverState(conf, data, host());
    const QString registers = path(QStringLiteral("cajas-retry"));
    const QStringList args = {QStringLiteral("install"), QStringLiteral("--server"), host(), QStringLiteral("--name"),
                              QStringLiteral("Tienda Segunda Vez"), QStringLiteral("--nit"), QStringLiteral("800987654"),
                              QStringLiteral("--alias"), QStringLiteral("retry"), QStringLiteral("--db-user"),
                              QStringLiteral("RETRY"), QStringLiteral("--data-dir"), data, QStringLiteral("--firebird-conf"),
                              conf, QStringLiteral("--registers-dir"), registers};
    ToolRun r = runTool(args, "clave\n");
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("Se deshizo"))) << r.output.toStdString();
    EXPECT_TRUE(serverState(conf, data, host()) == before) << r.output.toStdString();
    EXPECT_FALSE(QFileInfo::exists(registers));

    QDir().mkpath(data);
    r = runTool(args, "clave\n");
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    const ServerState after = serverState(conf, data, host());
    EXPECT_TRUE(after.users.contains(QStringLiteral("RETRY")));
    EXPECT_EQ(after.dataFiles, QStringList({QStringLiteral("retry.fdb"), QStringLiteral("retry_tavro.fdb")}));
    EXPECT_TRUE(QFileInfo::exists(registers + QStringLiteral("/UsuarioBd.txt")));
}

TEST_F(ServerInstallTest, BackupTakenWhileRegistersSellRestoresWholeDocuments)
{
    QString location;
    const std::unique_ptr<kv::Connection> ventas = newPosDatabase(kvtest::seedShop, &location, QStringLiteral("ventas"));
    kv::Connection& db = *ventas;

    const QString go = path(QStringLiteral("go-backup"));
    std::vector<std::unique_ptr<QProcess>> registers;
    for (int cajero = 101; cajero <= 103; ++cajero) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(KV_WORKER),
                 {location, QString::number(cajero), QStringLiteral("150"), QStringLiteral("3"), go});
        ASSERT_TRUE(p->waitForStarted(30000));
        registers.push_back(std::move(p));
    }
    QFile(go).open(QIODevice::WriteOnly);
    for (int i = 0; i < 600 && db.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO")).toInt() < 10; ++i)
        QThread::msleep(50);

    const QString backup = path(QStringLiteral("ventas.fbk"));
    ToolRun r = runTool({QStringLiteral("backup"), location, backup});
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("comprobada"))) << r.output.toStdString();
    int selling = 0;
    for (auto& p : registers)
        selling += p->state() == QProcess::Running ? 1 : 0;
    EXPECT_GT(selling, 0) << "the registers finished before the backup did";
    for (auto& p : registers) {
        EXPECT_TRUE(p->waitForFinished(300000));
        EXPECT_EQ(p->exitCode(), 0) << QString::fromLocal8Bit(p->readAllStandardError()).toStdString();
    }

    // Every document in the copy is whole: its totals are the sums of the lines it holds.
    const QString restored = path(QStringLiteral("restaurada.fdb"));
    r = runTool({QStringLiteral("restore"), backup, restored});
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    kv::Connection copy(QStringLiteral("Restored"));
    copy.setLocation(restored);
    copy.open();
    const int documents = copy.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO")).toInt();
    EXPECT_GE(documents, 10);
    EXPECT_LT(documents, 450);
    EXPECT_EQ(kvtest::headersUnlikeTheirLines(copy), 0);
    EXPECT_EQ(kvtest::documentsWithMissingLines(copy), 0);
    copy.close();

    // The live database is not overwritten while a register is connected to it.
    const int live = db.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO")).toInt();
    r = runTool({QStringLiteral("restore"), backup, location});
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("en uso"))) << r.output.toStdString();
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO")).toInt(), live);
    db.close();
}

}  // namespace
