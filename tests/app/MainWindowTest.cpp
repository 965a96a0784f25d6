// The main window on the demo shop: caption and status text, sign-on and the menus each user
// gets, the module tree from the keyboard, the dispatcher and the exit question.
#include "app/UntEjecutaPrograma.h"
#include "app/UntLogin.h"
#include "app/UntPos.h"
#include "app/UntUsuarios.h"
#include "backoffice/BackofficePrograms.h"
#include "catalog/CatalogPrograms.h"
#include "orders/UntDmPedidos.h"
#include "orders/UntPedido.h"
#include "platform/DbControls.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVenta.h"
#include "Shell.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QPointer>
#include <QTimer>

using namespace kv;
using kvtest::findNode;
using kvtest::typeInto;

namespace {

class MainWindowTest : public kvtest::ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        LoginResult = 2;
        CurrentUserCode = 0;
        pos = std::make_unique<TFrmPos>(*dm);
    }
    void TearDown() override
    {
        for (const ProgramEntry& e : kProgramTable)
            registerProgram(e.number, nullptr);
        pos.reset();
        ShellTest::TearDown();
    }

    // "&Entrar" and the login answered from the keyboard; an empty password closes the window
    // with Esc after the name.
    void signOn(const QString& name, const QString& password)
    {
        kvtest::whenShown<TFrmLogin>([=](TFrmLogin* login) {
            typeInto(login->Edit1, name, true);
            if (password.isEmpty()) {
                QTest::keyClick(login, Qt::Key_Escape);
                return;
            }
            typeInto(login->Edit2, password, true);
            QTest::keyClick(login->ButtonOK, Qt::Key_Space);
        });
        pos->Entrar1->trigger();
        QCoreApplication::processEvents();  // the window's activation when the login closes
    }

    void setNit(double nit) { db->exec("UPDATE REGISTRO SET NIT = :N", {{"N", nit}}); }
    QString businessName() { return db->scalar("SELECT TRIM(NOMBRE) FROM REGISTRO").toString(); }

    std::unique_ptr<TFrmPos> pos;
};

TEST_F(MainWindowTest, StartsSignedOffWithThePlainCaption)
{
    EXPECT_EQ(pos->windowTitle(), "Korvela");
    EXPECT_FALSE(pos->PnlPrincipal->isVisibleTo(pos.get()));
    EXPECT_FALSE(pos->Seguridades->isEnabled());
    EXPECT_FALSE(pos->OpcindeMenus1->isVisible());
    QStringList menu;
    for (QAction* a : pos->menuBar()->actions())
        menu << a->text();
    EXPECT_EQ(menu, (QStringList{"&Entrar", "&Seguridades", "&Acerca de ", "&Salir", "&Opción de Menus"}));
    EXPECT_EQ(pos->findChild<QWidget*>("MenuModulo"), pos->MenuModulo);
    EXPECT_EQ(pos->findChild<QWidget*>("Panel2"), pos->Panel2);
}

TEST_F(MainWindowTest, ActivationBuildsStatusTextAndCaptionFromTheBusinessRow)
{
    const struct {
        double nit;
        const char* after;
    } cases[] = {
        {900123456, "  Nit : 900,123,456"},
        {900456789.6, "  Nit : 900,456,790"},  // a whole number, rounded
        {0, "  Nit : "},                        // nothing at all for 0
    };
    for (const auto& c : cases) {
        setNit(c.nit);
        dm->TbRegistro.Close();
        kvtest::showActive(pos.get());
        pos->FormActivate();
        const QString status = businessName() + c.after;
        EXPECT_EQ(pos->statusText(), status);
        EXPECT_EQ(pos->Panel2->text(), status);
        EXPECT_EQ(pos->windowTitle(), "[ Korvela ] <> [" + status + "]");
    }
}

TEST_F(MainWindowTest, EachUserGetsTheMenusOfTheirName)
{
    db->exec("INSERT INTO USUARIOS (CODIGO, NOMBRE, CLAVE, ACTIVO) VALUES (9, 'admin', 'x', 'S')");
    kvtest::showActive(pos.get());
    const struct {
        const char* name;
        const char* password;
        bool seguridades, opciones;
    } cases[] = {
        {"Administrador", "1234", true, true},
        {"ADMIN", "admin", true, false},
        {"admin", "x", false, false},
        {"cajero", "0000", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        signOn(c.name, c.password);
        ASSERT_EQ(LoginResult, 1);
        EXPECT_EQ(pos->Seguridades->isEnabled(), c.seguridades);
        EXPECT_EQ(pos->OpcindeMenus1->isVisible(), c.opciones);
        EXPECT_TRUE(pos->PnlPrincipal->isVisible());
        EXPECT_TRUE(pos->MenuModulo->isEnabled());
    }
}

TEST_F(MainWindowTest, TreeIsCutToTheUsersPermissionsAndTheHiddenTreeKeepsEverything)
{
    kvtest::showActive(pos.get());
    signOn("cajero", "0000");
    ASSERT_EQ(LoginResult, 1);
    EXPECT_NE(findNode(pos->MenuModulo, "Login Cajero Venta"), nullptr);
    EXPECT_NE(findNode(pos->MenuModulo, "Impresion de Etiquetas"), nullptr);
    EXPECT_EQ(findNode(pos->MenuModulo, "Productos"), nullptr);
    EXPECT_EQ(findNode(pos->MenuModulo, "Reportes de Ventas"), nullptr);
    EXPECT_NE(findNode(pos->TreeBase, "Productos"), nullptr);
    EXPECT_FALSE(pos->TreeBase->isVisible());
    // Nothing is expanded for the user.
    EXPECT_FALSE(pos->MenuModulo->topLevelItem(0)->isExpanded());

    // A user without a MENU row sees the whole tree; a failed sign-on changes nothing of it.
    db->exec("DELETE FROM MENU WHERE CODIGOUSUARIO = 4");
    signOn("contador", "conta");
    EXPECT_EQ(kvtest::shape(pos->MenuModulo), kvtest::shape(pos->TreeBase));
}

TEST_F(MainWindowTest, FailedSecondSignOnLeavesTheTreeDisabled)
{
    kvtest::showActive(pos.get());
    signOn("Administrador", "1234");
    ASSERT_TRUE(pos->MenuModulo->isEnabled());
    signOn("Administrador", QString());  // the window closed before the password
    EXPECT_EQ(LoginResult, 2);
    EXPECT_FALSE(pos->MenuModulo->isEnabled());
    EXPECT_FALSE(pos->Seguridades->isEnabled());
    EXPECT_FALSE(pos->OpcindeMenus1->isVisible());
    EXPECT_TRUE(pos->PnlPrincipal->isVisible());  // still shown, but inert
}

TEST_F(MainWindowTest, EnterOnAnEntryRunsItsProgramAndTheCaptionIsRebuiltAfter)
{
    QStringList ran;
    // The opener stands for a screen that renames the business, through a cursor of its own,
    // while it is open.
    registerProgram(8, [&] {
        ran << "Productos";
        QDialog screen(pos.get());
        kvtest::whenShown<QDialog>([](QDialog* d) { d->accept(); });
        db->exec("UPDATE REGISTRO SET NOMBRE = 'TIENDA NUEVA'");
        screen.exec();
    });
    registerProgram(10, [&] { ran << "Venta"; });
    kvtest::showActive(pos.get());
    signOn("Administrador", "1234");

    QTreeWidgetItem* productos = findNode(pos->MenuModulo, "Productos");
    ASSERT_NE(productos, nullptr);
    pos->MenuModulo->setFocus();
    pos->MenuModulo->setCurrentItem(productos);
    // Choosing an entry shows its help under the tree.
    EXPECT_TRUE(pos->DBMemo1->toPlainText().startsWith("Productos con sus precios"));
    QTest::keyClick(pos->MenuModulo, Qt::Key_Return);
    EXPECT_EQ(ran, QStringList{"Productos"});
    QCoreApplication::processEvents();
    EXPECT_TRUE(pos->windowTitle().startsWith("[ Korvela ] <> [TIENDA NUEVA  Nit : ")) << pos->windowTitle().toStdString();

    // A group entry opens nothing; a number without a screen opens nothing and says so.
    pos->MenuModulo->setFocus();
    pos->MenuModulo->setCurrentItem(findNode(pos->MenuModulo, "Punto de Venta"));
    QTest::keyClick(pos->MenuModulo, Qt::Key_Return);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.last().toStdString();
    pos->MenuModulo->setFocus();
    pos->MenuModulo->setCurrentItem(findNode(pos->MenuModulo, "Reportes de Ventas"));
    QTest::keyClick(pos->MenuModulo, Qt::Key_Return);
    EXPECT_EQ(dialogs.texts("message"), QStringList{noScreenText(11)});
    db->exec("UPDATE PROGRAMASPOS SET PROGRAMA = 99 WHERE DESCRIPCION = 'Reportes de Ventas'");
    dm->TblProgramas.Refresh();
    registerProgram(99, [&] { ran << "99"; });  // an opener alone is not a program
    pos->MenuModulo->setFocus();
    QTest::keyClick(pos->MenuModulo, Qt::Key_Return);
    EXPECT_EQ(dialogs.texts("message"), (QStringList{noScreenText(11), noScreenText(99)}));
    registerProgram(99, nullptr);
    EXPECT_EQ(ran, QStringList{"Productos"});

    // A double click does the same as Enter.
    QTreeWidgetItem* venta = findNode(pos->MenuModulo, "Login Cajero Venta");
    pos->MenuModulo->setCurrentItem(venta);
    emit pos->MenuModulo->itemDoubleClicked(venta, 0);
    EXPECT_EQ(ran, (QStringList{"Productos", "Venta"}));
}

// Every program the build registers opens from the demo's tree as the back-office user opens
// it: chosen in the tree, Enter. Each screen is closed with Esc, as a user leaves it.
TEST_F(MainWindowTest, EveryRegisteredProgramOpensFromTheTree)
{
    TDmVentas ventas(dm->DbPos);
    TDmPedidos pedidos(dm->DbPos);
    registerCatalogPrograms();
    registerOrderPrograms();
    registerPosPrograms();
    registerBackofficePrograms();
    kvtest::showActive(pos.get());
    signOn("Administrador", "1234");
    ASSERT_EQ(LoginResult, 1);

    int checked = 0;
    for (const ProgramEntry& entry : kProgramTable) {
        if (!programOpener(entry.number))
            continue;
        SCOPED_TRACE(entry.number);
        ++checked;
        const QString description = db->scalar("SELECT FIRST 1 TRIM(DESCRIPCION) FROM PROGRAMASPOS WHERE PROGRAMA = :P "
                                               "ORDER BY NUMEROPROGRAMA",
                                               {{"P", entry.number}})
                                        .toString();
        QTreeWidgetItem* node = description.isEmpty() ? nullptr : findNode(pos->MenuModulo, description);
        ASSERT_NE(node, nullptr) << "the demo's tree has no entry for program " << entry.number;

        QString opened;
        bool forced = false;
        int ticks = 0;
        QPointer<QWidget> screen;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!screen && modal) {
                screen = modal;
                opened = QString::fromLatin1(modal->metaObject()->className());
            }
            if (!screen || !screen->isVisible())
                return;
            if (++ticks > 50) {  // Esc did not close it: close it so the others are still tried
                forced = true;
                screen->close();
                if (auto* d = qobject_cast<QDialog*>(screen.data()))
                    d->reject();
                return;
            }
            QWidget* target = QApplication::focusWidget();
            QTest::keyClick(target && target->window() == screen ? target : screen.data(), Qt::Key_Escape);
        });
        watcher.start(20);
        dialogs.clear();
        dialogs.answers = {true, true, true};  // "Salir ...?" and the like, when a screen asks
        pos->MenuModulo->setFocus();
        pos->MenuModulo->setCurrentItem(node);
        QTest::keyClick(pos->MenuModulo, Qt::Key_Return);
        watcher.stop();
        EXPECT_EQ(opened, QStringLiteral("kv::") + QString::fromLatin1(entry.screen)) << description.toStdString();
        EXPECT_FALSE(forced) << opened.toStdString() << " did not close with Esc";
        EXPECT_TRUE(dialogs.texts("error").isEmpty()) << dialogs.texts("error").join('|').toStdString();
        EXPECT_FALSE(dialogs.texts("message").contains(noScreenText(entry.number)));
        QCoreApplication::processEvents();
    }
    EXPECT_GE(checked, 14);
}

TEST_F(MainWindowTest, TwoEntriesWithOneDescriptionRunTheFirstOnesProgram)
{
    db->exec("INSERT INTO PROGRAMASPOS (NUMEROPROGRAMA, DESCRIPCION, INDIMAGEN, INDSELECION, NIVEL, PROGRAMA) "
             "VALUES (9999, 'Productos', 3, 4, 1, 11)");
    QList<int> ran;
    registerProgram(8, [&] { ran << 8; });
    registerProgram(11, [&] { ran << 11; });
    kvtest::showActive(pos.get());
    signOn("Administrador", "1234");
    const auto both = pos->MenuModulo->findItems("Productos", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(both.size(), 2);
    QTreeWidgetItem* second = programIndex(both[0]) > programIndex(both[1]) ? both[0] : both[1];
    pos->MenuModulo->setFocus();
    pos->MenuModulo->setCurrentItem(second);
    QTest::keyClick(pos->MenuModulo, Qt::Key_Return);
    EXPECT_EQ(ran, QList<int>{8});
}

TEST_F(MainWindowTest, KeyboardInTheTree)
{
    kvtest::showActive(pos.get());
    signOn("Administrador", "1234");
    QTreeWidget* tree = pos->MenuModulo;
    QTreeWidgetItem* root = tree->topLevelItem(0);
    tree->setFocus();
    tree->setCurrentItem(root);
    QTest::keyClick(tree, Qt::Key_Right);
    ASSERT_TRUE(root->isExpanded());
    // While the root is the chosen node nothing folds up.
    QTest::keyClick(tree, Qt::Key_Left);
    EXPECT_TRUE(root->isExpanded());
    // Below it, a group folds as usual.
    QTreeWidgetItem* group = root->child(0);
    tree->setCurrentItem(group);
    group->setExpanded(true);
    QTest::keyClick(tree, Qt::Key_Left);
    EXPECT_FALSE(group->isExpanded());

    // Enter on a group opens nothing and, released, moves on to the next control.
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), pos->DBMemo1);

    // Esc hides the panel until the next successful sign-on.
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Escape);
    EXPECT_FALSE(pos->PnlPrincipal->isVisible());
    signOn("Administrador", QString());
    EXPECT_FALSE(pos->PnlPrincipal->isVisible());
    signOn("Administrador", "1234");
    EXPECT_TRUE(pos->PnlPrincipal->isVisible());
}

TEST_F(MainWindowTest, LeavingAsksFirst)
{
    kvtest::showActive(pos.get());
    dialogs.answers = {false};
    pos->Salir1->trigger();
    EXPECT_EQ(dialogs.texts("confirm"), QStringList{"Esta seguro(a) que desea Salir?"});
    EXPECT_TRUE(pos->isVisible());
    dialogs.answers = {true};
    pos->close();
    EXPECT_FALSE(pos->isVisible());
}

TEST_F(MainWindowTest, MenuEntriesWorkFromTheKeyboard)
{
    kvtest::showActive(pos.get());
    bool aboutShown = false;
    kvtest::whenShown<QDialog>([&](QDialog* box) {
        aboutShown = box->windowTitle() == "A Cerca de:";
        auto* ok = box->findChild<QPushButton*>("OKButton");
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isDefault());
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::keyClick(pos.get(), Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(aboutShown);

    // "&Seguridades" and "&Salir" share their letter: the first Alt+S goes to the enabled
    // "&Seguridades", the next one to "&Salir".
    signOn("ADMIN", "admin");
    bool usersOpened = false;
    kvtest::whenShown<TFrmUsuarios>([&](TFrmUsuarios* screen) {
        usersOpened = true;
        screen->reject();
    });
    QTest::keyClick(pos.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(usersOpened);
    QCoreApplication::processEvents();
    dialogs.answers = {false};
    QTest::keyClick(pos.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(dialogs.texts("confirm"), QStringList{"Esta seguro(a) que desea Salir?"});
}

}  // namespace
