// The sales reports menu on a shop whose databases are on a Firebird server: the removable
// database may never be the live one, however its location is written, because the copies empty
// the tables of the database they are given.
#include "support/TestDb.h"
#include "support/TestServer.h"

#include "backoffice/UntVentaReportes.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace kv;

namespace {

class RemovableOnServerTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        // The fresh database, now reached through the server as the registers of a shop reach it.
        file = db->location();
        db->close();
        server = std::make_unique<kvtest::TestServer>(QStringLiteral(KV_SERVER_SCRIPT), dir.filePath("server"));
        db->setLocation(server->location(file));
        db->open();
    }
    void TearDown() override
    {
        db.reset();
        server.reset();
        DbTest::TearDown();
    }
    std::unique_ptr<kvtest::TestServer> server;
    QString file;
};

}  // namespace

TEST_F(RemovableOnServerTest, TheLiveDatabaseWrittenAnotherWayIsRefusedAndAnotherIsConnected)
{
    Connection removable(QStringLiteral("KorvelaZ"));
    TFrmVentaReportes f(*db, removable);
    const QString host = server->value("KV_TEST_SERVER");
    const QString sameFile = QDir(QFileInfo(file).path()).filePath("./" + QFileInfo(file).fileName());
    for (const QString& written : {host + ":" + sameFile, host + ":" + file}) {
        SCOPED_TRACE(written.toStdString());
        dialogs.clear();
        f.Edit1->setText(written);
        QTest::mouseClick(f.BtnConectar, Qt::LeftButton);
        EXPECT_EQ(dialogs.texts("message").size(), 1);
        EXPECT_TRUE(dialogs.last().contains("en uso")) << dialogs.last().toStdString();
        EXPECT_FALSE(f.BtnCopiarKorvela->isEnabled());
        EXPECT_FALSE(removable.isOpen());
    }

    // Another database on the same server is connected.
    QDir().mkpath(dir.filePath("usb"));
    const QString other = kvtest::freshPosDatabase(dir.filePath("usb"));
    dialogs.clear();
    f.Edit1->setText(host + ":" + other);
    QTest::mouseClick(f.BtnConectar, Qt::LeftButton);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(" | ").toStdString();
    EXPECT_TRUE(f.BtnCopiarKorvela->isEnabled());
    removable.close();
}
