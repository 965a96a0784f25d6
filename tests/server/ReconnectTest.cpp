// A register whose server goes down under it: the main sale screen, offscreen, on a database of
// the private server, with the server stopped and started again in the middle of a sale. The
// cashier is told once that the connection was lost, the program connects again by itself and the
// sale goes on where it was: the line typed is stored once, on the same document.
#include "RegisterFixture.h"
#include "support/TestServer.h"

#include "data/DatabaseCreate.h"
#include "data/Schema.h"
#include "platform/DbChoices.h"

#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>

namespace {

using kvtest::typeInto;

class RegisterReconnectTest : public ::testing::Test {
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

    void SetUp() override
    {
        const QString location = server_->location(dir_->filePath(
            QStringLiteral("%1.fdb").arg(QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()))));
        kv::createDatabase(location);
        db = std::make_unique<kv::Connection>(QStringLiteral("Korvela"));
        db->setLocation(location);
        db->open();
        kv::createPosSchema(*db);
        kvtest::seedRegister(*db);
        dm = std::make_unique<kv::TDmVentas>(*db);
        ASSERT_TRUE(dm->signOn(11));
        screen = std::make_unique<kv::TFrmVentaCajaVp>(*dm);
        kvtest::showActive(screen.get());
    }
    void TearDown() override
    {
        screen.reset();
        dm.reset();
        db.reset();
    }

    void ringUp(const QString& code, const QString& quantity)
    {
        typeInto(screen->EditProducto, code, true);
        ASSERT_TRUE(screen->RadioEmpaque->hasFocus()) << dialogs.texts().join('|').toStdString();
        QTest::keyClick(screen->RadioEmpaque, Qt::Key_Return);
        typeInto(screen->EditCantidad, quantity, true);
    }
    int lostMessages() const { return int(dialogs.texts().count(kv::Connection::lostMessage())); }
    double stored(const char* sql) { return db->scalar(QString::fromLatin1(sql)).toDouble(); }

    kv::ScriptedDialogs dialogs;
    kv::DialogsScope scope{&dialogs};
    std::unique_ptr<kv::Connection> db;
    std::unique_ptr<kv::TDmVentas> dm;
    std::unique_ptr<kv::TFrmVentaCajaVp> screen;
    static inline QTemporaryDir* dir_ = nullptr;
    static inline kvtest::TestServer* server_ = nullptr;
};

TEST_F(RegisterReconnectTest, TheSaleGoesOnAfterTheServerRestartsAndWhileItIsDown)
{
    typeInto(screen->EditCliente, QStringLiteral("222222222"), true);
    ASSERT_TRUE(screen->selling());
    const QString number = screen->DBTextFactura->text();
    ringUp(QStringLiteral("4"), QStringLiteral("2"));  // 2 x 2,000
    ASSERT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE"), 1);

    // The server restarts between two lines: every connection to it is gone.
    server_->restart();
    ringUp(QStringLiteral("1"), QStringLiteral("1"));  // 11,600
    EXPECT_EQ(lostMessages(), 1);
    EXPECT_TRUE(dialogs.texts("error").isEmpty()) << dialogs.texts("error").join('|').toStdString();
    EXPECT_TRUE(screen->selling());
    EXPECT_EQ(screen->DBTextFactura->text(), number);
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE"), 2);

    // The server goes down and only comes back a moment later, while the cashier rings up the
    // next line: the register waits for it, says so once, and stores the line once.
    server_->stop();
    std::thread back([] {
        QThread::msleep(1500);
        server_->start();
    });
    ringUp(QStringLiteral("5"), QStringLiteral("1"));  // 10,001
    back.join();
    EXPECT_EQ(lostMessages(), 2);
    EXPECT_TRUE(dialogs.texts("error").isEmpty()) << dialogs.texts("error").join('|').toStdString();
    EXPECT_EQ(screen->DBTextFactura->text(), number);

    // The connection drops just as a line is being stored (its first statement is the start of
    // the line's transaction): the line is stored once, after the register connects again.
    server_->restart();
    kvtest::SaleLine tinto;
    tinto.precio = 2000;
    ASSERT_TRUE(kvtest::ringUp(*dm, tinto));
    EXPECT_EQ(lostMessages(), 3);

    // One document, its four lines once each, its totals equal to them, and the grid shows them.
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTO"), 1);
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE"), 4);
    EXPECT_EQ(stored("SELECT MAX(LINEA) FROM POSMOVIMIENTODETALLE"), 4);
    EXPECT_DOUBLE_EQ(stored("SELECT NETO FROM POSMOVIMIENTO"), 4000 + 11600 + 10001 + 2000);
    EXPECT_EQ(dm->TFac.bufferCount(), 4);
    EXPECT_EQ(lostMessages(), 3);
}

}  // namespace
