// The shop on a Firebird server, run as the person installing it runs the database tool: the
// databases under aliases with a database user of their own, a register signing on through the
// alias without SYSDBA's password, and a backup taken while registers sell.
#include "ShopFixture.h"
#include "support/Keyboard.h"
#include "support/TestDb.h"
#include "support/TestServer.h"

#include "app/UntLogin.h"
#include "data/DatabaseCreate.h"
#include "data/Installation.h"
#include "data/Schema.h"
#include "data/UntDMGeneral.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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

class ServerInstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        server_ = new kvtest::TestServer(QStringLiteral(KV_SERVER_SCRIPT), dir_->filePath(QStringLiteral("server")));
    }
    static void TearDownTestSuite()
    {
        delete server_;
        delete dir_;
    }
    void SetUp() override { scope = std::make_unique<kv::DialogsScope>(&dialogs); }
    void TearDown() override
    {
        // Back to the server's SYSDBA for whatever runs next.
        kv::useDatabaseCredentials(QString(), QString());
        qputenv("ISC_PASSWORD", server_->value(QStringLiteral("ISC_PASSWORD")).toLocal8Bit());
    }

    QString path(const QString& name) const { return dir_->filePath(name); }
    QString host() const { return server_->value(QStringLiteral("KV_TEST_SERVER")); }

    kv::ScriptedDialogs dialogs;
    std::unique_ptr<kv::DialogsScope> scope;
    static inline QTemporaryDir* dir_ = nullptr;
    static inline kvtest::TestServer* server_ = nullptr;
};

// Disabled until the installation grants its database user CREATE DATABASE in the server's
// security database: Firebird 3 refuses the user's "CREATE DATABASE" without it, so today
// "korvela-db install --server" stops with the engine's "no permission for CREATE access".
TEST_F(ServerInstallTest, DISABLED_RegistersReachTheShopByAliasWithADatabaseUserOfTheirOwn)
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

TEST_F(ServerInstallTest, BackupTakenWhileRegistersSellRestoresWholeDocuments)
{
    const QString location = server_->location(path(QStringLiteral("ventas.fdb")));
    kv::createDatabase(location);
    kv::Connection db(QStringLiteral("Korvela"));
    db.setLocation(location);
    db.open();
    kv::createPosSchema(db);
    kvtest::seedShop(db);

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
