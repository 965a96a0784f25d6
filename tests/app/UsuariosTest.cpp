// The users screen driven from the keyboard: marks on the permission tree, the saved permission
// string, administrators, Esc, and the main window honouring the string at the next sign-on.
#include "app/UntInforme.h"
#include "app/UntLogin.h"
#include "app/UntPos.h"
#include "app/UntUsuarios.h"
#include "catalog/ScreenKeys.h"
#include "data/UntDMGeneral.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "support/TestDb.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

// Readable failures: texts as text, not as bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

using namespace kv;
using kvtest::settle;
using kvtest::showActive;

namespace {

// Runs `drive` on the login window from inside its modal loop, as the person at the keyboard.
void whenLoginShown(std::function<void(TFrmLogin*)> drive)
{
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, drive, ticks] {
        auto* dlg = qobject_cast<TFrmLogin*>(QApplication::activeModalWidget());
        if (!dlg || !dlg->isVisible()) {
            if (++*ticks > 1000) {  // five seconds: fail instead of hanging
                timer->stop();
                timer->deleteLater();
                ADD_FAILURE() << "the login window was not shown";
                if (QWidget* top = QApplication::activeModalWidget())
                    top->close();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        drive(dlg);
    });
    timer->start();
}

struct ProgramRow {
    int level;
    const char* description;
};

class UsuariosTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        programas = std::make_unique<Dataset>(*db);
        programas->setTableName(QStringLiteral("PROGRAMASPOS"));
        programas->setIndexFieldNames(QStringLiteral("NUMEROPROGRAMA"));
    }
    void TearDown() override
    {
        screen.reset();
        programas.reset();
        DbTest::TearDown();
    }

    void programTable(std::initializer_list<ProgramRow> rows)
    {
        int n = 0;
        for (const ProgramRow& r : rows) {
            n += 10;
            db->exec(QStringLiteral("INSERT INTO PROGRAMASPOS (NUMEROPROGRAMA, DESCRIPCION, NIVEL, PROGRAMA, "
                                    "INDIMAGEN, INDSELECION) VALUES (:N, :D, :L, 0, 1, 2)"),
                     {{"N", n}, {"D", QString::fromUtf8(r.description)}, {"L", r.level}});
        }
    }
    void user(int code, const QString& name, const QString& opciones = QString())
    {
        db->exec(QStringLiteral("INSERT INTO USUARIOS (CODIGO, NOMBRE, CLAVE, ACTIVO) VALUES (:C, :N, 'x', 'S')"),
                 {{"C", code}, {"N", name}});
        if (!opciones.isNull())
            db->exec(QStringLiteral("INSERT INTO MENU (CODIGOUSUARIO, OPCIONES) VALUES (:C, :O)"),
                     {{"C", code}, {"O", opciones}});
    }
    QVariant opcionesOf(int code)
    {
        const QVariant v = db->scalar(QStringLiteral("SELECT OPCIONES FROM MENU WHERE CODIGOUSUARIO = :C"), {{"C", code}});
        return v.isNull() ? v : QVariant(v.toString().trimmed());
    }

    // The main window's complete tree, then the screen on it, shown and active.
    TFrmUsuarios* open()
    {
        CargaArbolProgramas(&base, *programas);
        screen = std::make_unique<TFrmUsuarios>(*db, &base);
        showActive(screen.get());
        settle();
        return screen.get();
    }
    QTreeWidgetItem* node(const QString& text)
    {
        const auto found = screen->TrVwMenu->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    void key(Qt::Key k)
    {
        QTest::keyClick(QApplication::focusWidget(), k);
        settle();
    }
    void intoTree()
    {
        screen->TrVwMenu->setFocus();
        settle();
    }

    QTreeWidget base;
    std::unique_ptr<Dataset> programas;
    std::unique_ptr<TFrmUsuarios> screen;
};

TEST_F(UsuariosTest, FiveRowsGiveFourCharactersAndDeleteUnmarksOneEntry)
{
    programTable({{0, "RAIZ"}, {1, "UNO"}, {1, "DOS"}, {1, "TRES"}, {1, "CUATRO"}});
    user(7, QStringLiteral("ana"), QStringLiteral("1111"));
    open();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Definición de usuarios"));
    // The user names can be read in the grid.
    EXPECT_GE(screen->DBGrid1->columnWidth(1), screen->DBGrid1->fontMetrics().horizontalAdvance("Administrador"));
    EXPECT_EQ(screen->LbEstado->text(), QStringLiteral("Navegar"));
    EXPECT_FALSE(screen->BtnGuardar->isEnabled());

    intoTree();  // entering the tree puts the user in edit mode
    EXPECT_TRUE(screen->BtnGuardar->isEnabled());
    EXPECT_EQ(screen->TrVwMenu->currentItem()->text(0), QStringLiteral("UNO"));
    key(Qt::Key_Down);
    key(Qt::Key_Delete);
    EXPECT_EQ(TFrmUsuarios::mark(node(QStringLiteral("DOS"))), 0);
    EXPECT_EQ(screen->markString(), QStringLiteral("11011"));

    QTest::mouseClick(screen->BtnGuardar, Qt::LeftButton);
    EXPECT_EQ(opcionesOf(7).toString(), QStringLiteral("1011"));
    EXPECT_EQ(screen->LbEstado->text(), QStringLiteral("Navegar"));
    EXPECT_FALSE(screen->BtnGuardar->isEnabled());
    // Shown again as stored.
    EXPECT_EQ(TFrmUsuarios::mark(node(QStringLiteral("DOS"))), 0);
    EXPECT_EQ(TFrmUsuarios::mark(node(QStringLiteral("TRES"))), 1);
}

TEST_F(UsuariosTest, DeleteOnAGroupUnmarksItsEntriesAndDoubleClickMarksOneAlone)
{
    programTable({{0, "RAIZ"}, {1, "GRUPO A"}, {2, "A1"}, {2, "A2"}, {1, "GRUPO B"}, {2, "B1"}});
    user(7, QStringLiteral("ana"), QStringLiteral("11111"));
    open();
    intoTree();
    ASSERT_EQ(screen->TrVwMenu->currentItem()->text(0), QStringLiteral("GRUPO A"));
    key(Qt::Key_Delete);
    EXPECT_EQ(screen->markString(), QStringLiteral("100011"));

    // Space on the group toggles the whole group back and forth.
    key(Qt::Key_Space);
    EXPECT_EQ(screen->markString(), QStringLiteral("111111"));
    key(Qt::Key_Space);
    EXPECT_EQ(screen->markString(), QStringLiteral("100011"));

    QTreeWidgetItem* a1 = node(QStringLiteral("A1"));
    a1->parent()->setExpanded(true);
    settle();
    QWidget* vp = screen->TrVwMenu->viewport();
    // A double click as the windowing system delivers it: a click, then one double-click event.
    const QPoint at = screen->TrVwMenu->visualItemRect(a1).center();
    QTest::mouseClick(vp, Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, vp->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &dbl);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, at);
    settle();
    EXPECT_EQ(screen->markString(), QStringLiteral("101011"));

    // A right click only selects.
    QTreeWidgetItem* b1 = node(QStringLiteral("B1"));
    node(QStringLiteral("GRUPO B"))->setExpanded(true);
    settle();
    QTest::mouseClick(vp, Qt::RightButton, {}, screen->TrVwMenu->visualItemRect(b1).center());
    EXPECT_EQ(screen->TrVwMenu->currentItem(), b1);
    EXPECT_EQ(screen->markString(), QStringLiteral("101011"));

    QTest::mouseClick(screen->BtnGuardar, Qt::LeftButton);
    EXPECT_EQ(opcionesOf(7).toString(), QStringLiteral("01011"));
    // The main window drops the group whatever its entries say.
    QTreeWidget menu;
    CargaArbolProgramas(&menu, *programas);
    AplicaPermisos(&menu, opcionesOf(7).toString());
    EXPECT_TRUE(menu.findItems(QStringLiteral("A1"), Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    EXPECT_FALSE(menu.findItems(QStringLiteral("B1"), Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
}

TEST_F(UsuariosTest, AdministratorsSaveEveryPermissionAndCannotBeDeleted)
{
    programTable({{0, "RAIZ"}, {1, "UNO"}, {1, "DOS"}});
    user(1, QStringLiteral("Admin"), QStringLiteral("00"));
    open();
    // Unmarked on screen, but an administrator gets everything when saved.
    EXPECT_EQ(screen->markString(), QStringLiteral("100"));
    QTest::mouseClick(screen->BtnModificar, Qt::LeftButton);
    EXPECT_EQ(screen->LbEstado->text(), QStringLiteral("Modificando"));
    QTest::mouseClick(screen->BtnGuardar, Qt::LeftButton);
    EXPECT_EQ(opcionesOf(1).toString(), QString(200, QLatin1Char('1')));

    QTest::mouseClick(screen->BtnEliminar, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(QStringLiteral("message")), QStringList{QStringLiteral("No puede eliminar el Administrador")});
    EXPECT_TRUE(dialogs.texts(QStringLiteral("okCancel")).isEmpty());
    EXPECT_EQ(screen->LbEstado->text(), QStringLiteral("Navegar"));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM USUARIOS")).toInt(), 1);
}

TEST_F(UsuariosTest, DeletingAUserAsksAndTakesHisPermissionsWithHim)
{
    programTable({{0, "RAIZ"}, {1, "UNO"}, {1, "DOS"}});
    user(1, QStringLiteral("ana"), QStringLiteral("11"));
    user(3, QStringLiteral("pedro"), QStringLiteral("00"));
    open();
    ASSERT_TRUE(screen->TblUsuarios.Locate(QStringLiteral("CODIGO"), 3));
    dialogs.answers = {false, true};
    QTest::mouseClick(screen->BtnEliminar, Qt::LeftButton);  // Cancel
    EXPECT_EQ(screen->LbEstado->text(), QStringLiteral("Eliminando"));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM USUARIOS")).toInt(), 2);
    QTest::mouseClick(screen->BtnEliminar, Qt::LeftButton);  // OK
    EXPECT_EQ(dialogs.texts(QStringLiteral("okCancel")),
              QStringList({QStringLiteral("¿Desea Eliminar ese Usuario?"), QStringLiteral("¿Desea Eliminar ese Usuario?")}));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM USUARIOS")).toInt(), 1);
    EXPECT_FALSE(opcionesOf(3).isValid());
    EXPECT_EQ(opcionesOf(1).toString(), QStringLiteral("11"));
    EXPECT_EQ(screen->LbEstado->text(), QStringLiteral("Eliminando"));
    key(Qt::Key_Escape);  // in a mode other than browsing Esc cancels and stays
    EXPECT_EQ(screen->LbEstado->text(), QStringLiteral("Navegar"));
    EXPECT_TRUE(screen->isVisible());

    // The next user created takes the highest code plus one: pedro's, but not his marks.
    user(2, QStringLiteral("pedro"), QStringLiteral("00"));
    screen->TblUsuarios.Refresh();
    ASSERT_TRUE(screen->TblUsuarios.Locate(QStringLiteral("CODIGO"), 2));
    dialogs.answers = {true};
    QTest::mouseClick(screen->BtnEliminar, Qt::LeftButton);
    QTest::mouseClick(screen->BtnInsertar, Qt::LeftButton);
    EXPECT_EQ(screen->TblUsuarios.FieldByName(QStringLiteral("CODIGO")).asInteger(), 2);
    EXPECT_EQ(screen->markString(), QStringLiteral("111"));
}

TEST_F(UsuariosTest, AStoredPasswordLongerThanTheBoxIsKeptUnlessANewOneIsTyped)
{
    programTable({{0, "RAIZ"}, {1, "UNO"}});
    const QString longPassword = QStringLiteral("clave-de-veinte-car");  // 19: the login takes up to 20
    db->exec(QStringLiteral("INSERT INTO USUARIOS (CODIGO, NOMBRE, CLAVE, ACTIVO) VALUES (1, 'ana', :K, 'S')"),
             {{"K", longPassword}});
    auto clave = [this] {
        return db->scalar(QStringLiteral("SELECT TRIM(CLAVE) FROM USUARIOS WHERE CODIGO = 1")).toString();
    };
    open();
    // Shown as stars, however it is stored.
    EXPECT_EQ(screen->EdtClave->displayText(), QString(screen->EdtClave->text().size(), QLatin1Char('*')));
    EXPECT_FALSE(screen->EdtClave->text().isEmpty());

    QTest::mouseClick(screen->BtnModificar, Qt::LeftButton);
    kvtest::typeInto(screen->EdtNombre, QStringLiteral("ana maria"), true);
    QTest::mouseClick(screen->BtnGuardar, Qt::LeftButton);
    EXPECT_EQ(clave(), longPassword);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT TRIM(NOMBRE) FROM USUARIOS WHERE CODIGO = 1")).toString(),
              QStringLiteral("ana maria"));

    // A password typed anew replaces it.
    QTest::mouseClick(screen->BtnModificar, Qt::LeftButton);
    kvtest::typeInto(screen->EdtClave, QStringLiteral("nueva"), true);
    kvtest::typeInto(screen->EdtConfirmacion, QStringLiteral("nueva"), true);
    QTest::mouseClick(screen->BtnGuardar, Qt::LeftButton);
    EXPECT_EQ(clave(), QStringLiteral("nueva"));
    EXPECT_TRUE(dialogs.texts(QStringLiteral("error")).isEmpty()) << dialogs.last().toStdString();
}

TEST_F(UsuariosTest, TheListShowsWhoMayStillSignOnAndAUserWithoutTheMarkShowsActive)
{
    programTable({{0, "RAIZ"}, {1, "UNO"}});
    db->exec(QStringLiteral("INSERT INTO USUARIOS (CODIGO, NOMBRE, CLAVE, ACTIVO, FECHAVENCIMIENTO) VALUES "
                            "(1, 'ana', 'x', 'S', '2099-12-31')"));
    db->exec(QStringLiteral("INSERT INTO USUARIOS (CODIGO, NOMBRE, CLAVE, ACTIVO) VALUES (2, 'beto', 'x', 'N')"));
    db->exec(QStringLiteral("INSERT INTO USUARIOS (CODIGO, NOMBRE, CLAVE, ACTIVO, FECHAVENCIMIENTO) VALUES "
                            "(3, 'carla', 'x', 'S', '2001-01-01')"));
    db->exec(QStringLiteral("INSERT INTO USUARIOS (CODIGO, NOMBRE, CLAVE) VALUES (4, 'dora', 'x')"));
    open();
    auto list = [this] {
        QAbstractItemModel* m = screen->DBGrid1->model();
        QStringList rows;
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m->columnCount(); ++c) {
                const QString title = m->headerData(c, Qt::Horizontal).toString();
                if (title == QLatin1String("NOMBRE") || title == QLatin1String("VENCE") || title == QLatin1String("ESTADO"))
                    cells << m->data(m->index(r, c)).toString().trimmed();
            }
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    };
    EXPECT_EQ(list(), QStringList({QStringLiteral("ana|31/12/2099|Activo"), QStringLiteral("beto||Inactivo"),
                                   QStringLiteral("carla|01/01/2001|Vencido"), QStringLiteral("dora||Activo")}));

    // Without the mark the box shows what the sign-on does: active. Clearing it stores "N".
    ASSERT_TRUE(screen->TblUsuarios.Locate(QStringLiteral("CODIGO"), 4));
    settle();
    EXPECT_TRUE(screen->ChkActivo->isChecked());
    QTest::mouseClick(screen->BtnModificar, Qt::LeftButton);
    QTest::keyClick(screen->ChkActivo, Qt::Key_Space);
    QTest::mouseClick(screen->BtnGuardar, Qt::LeftButton);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT TRIM(ACTIVO) FROM USUARIOS WHERE CODIGO = 4")).toString(), QStringLiteral("N"));
    EXPECT_EQ(list().last(), QStringLiteral("dora||Inactivo"));
}

TEST_F(UsuariosTest, ARefusedSaveOnClosingKeepsTheScreenAndTheNewUser)
{
    programTable({{0, "RAIZ"}, {1, "UNO"}});
    user(1, QStringLiteral("ana"), QStringLiteral("1"));
    open();
    QTest::mouseClick(screen->BtnInsertar, Qt::LeftButton);
    kvtest::typeInto(screen->EdtNombre, QStringLiteral("bruno"), true);
    kvtest::typeInto(screen->EdtCodigo, QStringLiteral("1"), true);  // ana's code
    dialogs.replies = {Reply::Yes};
    QTest::mouseClick(screen->BtnSalir, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(QStringLiteral("yesNoCancel")), QStringList{QStringLiteral("¿Desea grabar los cambios?")});
    EXPECT_EQ(dialogs.texts(QStringLiteral("error")).size(), 1);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(screen->LbEstado->text(), QStringLiteral("Creando"));
    EXPECT_EQ(screen->EdtNombre->text(), QStringLiteral("bruno"));

    // Cancelar keeps it open too; No drops the new user and closes.
    dialogs.replies = {Reply::Cancel, Reply::No};
    QTest::mouseClick(screen->BtnSalir, Qt::LeftButton);
    EXPECT_TRUE(screen->isVisible());
    QTest::mouseClick(screen->BtnSalir, Qt::LeftButton);
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM USUARIOS")).toInt(), 1);
}

TEST_F(UsuariosTest, LaterActivationsPutTheFocusInNombre)
{
    programTable({{0, "RAIZ"}, {1, "UNO"}});
    user(1, QStringLiteral("ana"), QStringLiteral("1"));
    open();
    EXPECT_TRUE(screen->EdtCodigo->hasFocus());  // the first activation
    QWidget other;
    kvtest::showActive(&other);
    kvtest::showActive(screen.get());
    settle();
    EXPECT_TRUE(screen->EdtNombre->hasFocus());
}

TEST_F(UsuariosTest, UserWithoutPermissionRowSeesEverythingAndSavingCreatesIt)
{
    programTable({{0, "RAIZ"}, {1, "UNO"}, {2, "UNO A"}, {1, "DOS"}});
    user(4, QStringLiteral("luis"));
    open();
    EXPECT_EQ(screen->markString(), QStringLiteral("1111"));
    EXPECT_FALSE(opcionesOf(4).isValid());
    intoTree();
    QTest::mouseClick(screen->BtnGuardar, Qt::LeftButton);
    EXPECT_EQ(opcionesOf(4).toString(), QStringLiteral("111"));
}

TEST_F(UsuariosTest, NewUserIsSavedWithPasswordAndMarks)
{
    programTable({{0, "RAIZ"}, {1, "UNO"}, {1, "DOS"}});
    user(1, QStringLiteral("ana"), QStringLiteral("11"));
    open();
    QTest::mouseClick(screen->BtnInsertar, Qt::LeftButton);
    EXPECT_EQ(screen->LbEstado->text(), QStringLiteral("Creando"));
    EXPECT_TRUE(screen->EdtNombre->hasFocus());
    EXPECT_TRUE(screen->EdtClave->text().isEmpty());
    QTest::keyClicks(screen->EdtNombre, QStringLiteral("zoe"));
    kvtest::typeInto(screen->EdtClave, QStringLiteral("1234567890123456789"), true);  // cut at 15
    kvtest::typeInto(screen->EdtConfirmacion, QStringLiteral("secreto"), true);
    intoTree();  // leaving "Confirmacion" with a different text
    EXPECT_EQ(dialogs.texts(QStringLiteral("error")),
              QStringList{QStringLiteral("La clave y la confirmacion son diferentes")});
    EXPECT_TRUE(screen->EdtClave->hasFocus());
    intoTree();
    key(Qt::Key_Down);
    key(Qt::Key_Delete);
    QTest::mouseClick(screen->BtnGuardar, Qt::LeftButton);

    const QVariant code = db->scalar(QStringLiteral("SELECT CODIGO FROM USUARIOS WHERE NOMBRE = 'zoe'"));
    ASSERT_EQ(code.toInt(), 2);  // the next free code was proposed
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT TRIM(CLAVE) || '/' || ACTIVO FROM USUARIOS WHERE CODIGO = 2")).toString(),
              QStringLiteral("123456789012345/S"));
    EXPECT_EQ(opcionesOf(2).toString(), QStringLiteral("10"));
}

TEST_F(UsuariosTest, EscClosesWhileBrowsingAndCancelsWhileInserting)
{
    programTable({{0, "RAIZ"}, {1, "UNO"}});
    user(1, QStringLiteral("ana"), QStringLiteral("1"));
    open();
    QTest::mouseClick(screen->BtnInsertar, Qt::LeftButton);
    QTest::keyClicks(screen->EdtNombre, QStringLiteral("nadie"));
    key(Qt::Key_Escape);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(screen->LbEstado->text(), QStringLiteral("Navegar"));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM USUARIOS")).toInt(), 1);
    EXPECT_EQ(screen->TblUsuarios.FieldByName(QStringLiteral("NOMBRE")).asString(), QStringLiteral("ana"));

    // Enter moves on to the next box.
    screen->EdtCodigo->setFocus();
    key(Qt::Key_Return);
    EXPECT_TRUE(screen->EdtNombre->hasFocus());

    key(Qt::Key_Escape);
    EXPECT_FALSE(screen->isVisible());
}

TEST_F(UsuariosTest, ClosingInTheMiddleOfAnEditAsksAndSiSavesTheUser)
{
    programTable({{0, "RAIZ"}, {1, "UNO"}, {1, "DOS"}});
    user(1, QStringLiteral("ana"), QStringLiteral("11"));
    open();
    QTest::mouseClick(screen->BtnModificar, Qt::LeftButton);
    kvtest::typeInto(screen->EdtNombre, QStringLiteral("anita"), true);
    intoTree();
    key(Qt::Key_Delete);
    dialogs.replies = {Reply::Yes};
    QTest::mouseClick(screen->BtnSalir, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(QStringLiteral("yesNoCancel")), QStringList{QStringLiteral("¿Desea grabar los cambios?")});
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT TRIM(NOMBRE) FROM USUARIOS WHERE CODIGO = 1")).toString(),
              QStringLiteral("anita"));
    EXPECT_EQ(opcionesOf(1).toString(), QStringLiteral("01"));
}

TEST_F(UsuariosTest, ReportButtonsHandTheListsToTheOutputDialog)
{
    programTable({{0, "RAIZ"}, {1, "UNO"}});
    user(1, QStringLiteral("ana"), QStringLiteral("1"));
    user(2, QStringLiteral("bruno"), QStringLiteral("0"));
    open();

    struct Case {
        QPushButton* button;
        QString title;
        QStringList expected;
    };
    for (const Case& c : {Case{screen->BtnRptUsuarios, QStringLiteral("USUARIO"), {"ana", "bruno"}},
                          Case{screen->BtnRptMenu, QStringLiteral("MENU"), {"ana", "1", "bruno", "0"}}}) {
        SCOPED_TRACE(c.title.toStdString());
        ReporteSalida.reset();
        QTest::mouseClick(c.button, Qt::LeftButton);
        settle();
        ASSERT_NE(ReporteSalida, nullptr);
        EXPECT_EQ(TituloInforme, c.title);
        auto* out = screen->findChild<TFrmInforme*>();
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(out->windowTitle(), c.title);
        const Document doc = ReporteSalida->render();
        QStringList texts = doc.texts();
        // The rows in order, after the column titles.
        int at = 0;
        for (const QString& t : c.expected) {
            const int found = int(texts.indexOf(t, at));
            EXPECT_GE(found, 0) << t.toStdString();
            at = found < 0 ? at : found + 1;
        }
        out->close();
        delete out;
    }
}

// ---------------------------------------------------------------- the whole round trip

class PermissionRoundTrip : public kvtest::DemoDbTest {};

TEST_F(PermissionRoundTrip, MarksSavedInTheUsersScreenCutTheMenuAtTheNextSignOn)
{
    QFile loc(dir.filePath(QStringLiteral("DireccionBd.txt")));
    ASSERT_TRUE(loc.open(QIODevice::WriteOnly));
    loc.write(QStringLiteral("\n\n\n\n\n\n%1\n").arg(db->location()).toUtf8());
    loc.close();
    TDMGeneral dm;
    ASSERT_TRUE(dm.DataModuleCreate(loc.fileName()));
    TFrmPos pos(dm);
    TFrmLogin login(dm, &pos);
    showActive(&pos);

    auto signOn = [&](const QString& name, const QString& password) {
        whenLoginShown([&](TFrmLogin* l) {
            kvtest::typeInto(l->Edit1, name, true);
            QTest::keyClick(l->Edit1, Qt::Key_Return);
            kvtest::settle();
            kvtest::typeInto(l->Edit2, password, true);
            QTest::keyClick(l->Edit2, Qt::Key_Return);
            kvtest::settle();
            l->ButtonOK->click();
        });
        pos.Entrar1Click();
        kvtest::settle();
    };
    auto shown = [&](const QString& text) {
        return !pos.MenuModulo->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).isEmpty();
    };

    signOn(QStringLiteral("Administrador"), QStringLiteral("1234"));
    ASSERT_EQ(LoginResult, 1);
    ASSERT_TRUE(pos.Seguridades->isEnabled());

    {
        TFrmUsuarios users(dm.DbPos, pos.TreeBase, &pos);
        showActive(&users);
        kvtest::settle();
        // Users in name order: ADMIN, Administrador, cajero, contador.
        users.DBGrid1->setFocus();
        QTest::keyClick(users.DBGrid1, Qt::Key_Down);
        QTest::keyClick(users.DBGrid1, Qt::Key_Down);
        kvtest::settle();
        ASSERT_EQ(users.TblUsuarios.FieldByName(QStringLiteral("NOMBRE")).asString(), QStringLiteral("cajero"));
        auto find = [&](const QString& t) {
            return users.TrVwMenu->findItems(t, Qt::MatchExactly | Qt::MatchRecursive).value(0);
        };
        EXPECT_EQ(TFrmUsuarios::mark(find(QStringLiteral("Login Cajero Venta"))), 1);
        EXPECT_EQ(TFrmUsuarios::mark(find(QStringLiteral("Productos"))), 0);

        // Grant the whole "Inventario" group, take "Login Cajero Pedidos" away.
        users.TrVwMenu->setFocus();
        kvtest::settle();
        users.TrVwMenu->setCurrentItem(find(QStringLiteral("Inventario")));
        QTest::keyClick(users.TrVwMenu, Qt::Key_Insert);
        users.TrVwMenu->setCurrentItem(find(QStringLiteral("Login Cajero Pedidos")));
        QTest::keyClick(users.TrVwMenu, Qt::Key_Delete);
        QTest::mouseClick(users.BtnGuardar, Qt::LeftButton);
        users.close();
    }

    // Still the old menu until the user signs on again.
    signOn(QStringLiteral("cajero"), QStringLiteral("0000"));
    ASSERT_EQ(LoginResult, 1);
    EXPECT_TRUE(shown(QStringLiteral("Productos")));
    EXPECT_TRUE(shown(QStringLiteral("Impresion de Etiquetas")));
    EXPECT_TRUE(shown(QStringLiteral("Login Cajero Venta")));
    EXPECT_FALSE(shown(QStringLiteral("Login Cajero Pedidos")));
    EXPECT_FALSE(shown(QStringLiteral("Configuracion")));
    EXPECT_FALSE(pos.Seguridades->isEnabled());
}

}  // namespace
