// A shop's own installation, as the program meets it afterwards: the location file leads to both
// databases, the user signs on with the password typed at installation, and the catalogue screens
// open on their empty tables. A database older than the program is told apart before any screen.
#include "app/UntLogin.h"
#include "catalog/CatalogPrograms.h"
#include "catalog/CatalogScreen.h"
#include "common/ProgramRegistry.h"
#include "data/Installation.h"
#include "data/UntDMGeneral.h"
#include "support/Keyboard.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

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

}  // namespace
