// Bound boxes and the navigator driven with the keyboard on a real table: typing starts editing,
// text reaches the row when the box is left or the row is posted, refused text is never stored.
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

using namespace kv;

namespace {

class DbControlsTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db->exec("CREATE TABLE T_PERSONA (ID DOUBLE PRECISION NOT NULL PRIMARY KEY, NOMBRE CHAR(10), "
                 "NACIO TIMESTAMP, CLASE CHAR(1))");
        db->exec("INSERT INTO T_PERSONA (ID, NOMBRE, CLASE) VALUES (1, 'ANA', 'C')");
        db->exec("INSERT INTO T_PERSONA (ID, NOMBRE, CLASE) VALUES (2, 'LUIS', 'P')");
        db->forgetTableInfo();
        ds = std::make_unique<Dataset>(*db);
        ds->setTableName("T_PERSONA");
        ds->Open();
        form = std::make_unique<QWidget>();
        auto* lay = new QVBoxLayout(form.get());
        nav = new DbNavigator(*ds, form.get());
        id = new DbEdit(*ds, "ID", form.get());
        id->setDisplayFormat("###,###.");
        nombre = new DbEdit(*ds, "NOMBRE", form.get());
        nombre->setCharCase(CharCase::Upper);
        nacio = new DbEdit(*ds, "NACIO", form.get());
        clase = new DbRadioGroup(*ds, "CLASE", "Clase", {"Cliente", "Proveedor"}, {"C", "P"}, 1, form.get());
        for (QWidget* w : std::initializer_list<QWidget*>{nav, id, nombre, nacio, clase})
            lay->addWidget(w);
        form->show();
        QApplication::setActiveWindow(form.get());
    }
    void TearDown() override
    {
        form.reset();
        ds.reset();
        DbTest::TearDown();
    }
    QVariant stored(const char* column, int key)
    {
        return db->scalar(QStringLiteral("SELECT %1 FROM T_PERSONA WHERE ID = :ID").arg(column), {{"ID", key}});
    }
    void typeInto(QLineEdit* e, const QString& text)
    {
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }

    std::unique_ptr<Dataset> ds;
    std::unique_ptr<QWidget> form;
    DbNavigator* nav = nullptr;
    DbEdit *id = nullptr, *nombre = nullptr, *nacio = nullptr;
    DbRadioGroup* clase = nullptr;
};

TEST_F(DbControlsTest, TypingEditsTheRowAndLeavingTheBoxOrPostingWritesIt)
{
    EXPECT_EQ(id->text(), "1");
    EXPECT_EQ(nombre->text(), "ANA");
    EXPECT_TRUE(clase->button(0)->isChecked());

    typeInto(nombre, "beatriz");
    EXPECT_EQ(nombre->text(), "BEATRIZ");  // upper case as typed
    EXPECT_EQ(ds->state(), DsState::Edit);
    EXPECT_EQ(ds->FieldByName("NOMBRE").asString(), "ANA");  // not written while typing
    nav->click(DbNavigator::Post);
    EXPECT_EQ(stored("NOMBRE", 1).toString().trimmed(), "BEATRIZ");

    // Moving on with the navigator takes the typed text along too.
    typeInto(nombre, "carla");
    nav->click(DbNavigator::Next);
    EXPECT_EQ(stored("NOMBRE", 1).toString().trimmed(), "CARLA");
    EXPECT_EQ(nombre->text(), "LUIS");

    // A choice in a radio group is written at once.
    clase->button(0)->click();
    EXPECT_EQ(ds->FieldByName("CLASE").asString(), "C");
    nav->click(DbNavigator::Cancel);
    EXPECT_EQ(ds->FieldByName("CLASE").asString(), "P");
    EXPECT_TRUE(clase->button(1)->isChecked());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DbControlsTest, RefusedTextIsShownAndNeverStored)
{
    struct Case {
        DbEdit* box;
        QString typed;
    };
    const Case cases[] = {{id, "12a"}, {nacio, "31/02/1990"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        dialogs.clear();
        DbEdit* box = c.box;
        typeInto(box, c.typed);
        QTest::keyClick(box, Qt::Key_Return);  // leaves the text for the row
        ASSERT_EQ(dialogs.texts("error").size(), 1);
        EXPECT_EQ(box->text(), c.typed);  // kept for correction
        nav->click(DbNavigator::Post);     // posting tries again and is refused again
        EXPECT_EQ(dialogs.texts("error").size(), 2);
        EXPECT_TRUE(ds->isEditing());
        nav->click(DbNavigator::Cancel);
    }
    EXPECT_EQ(stored("ID", 1).toInt(), 1);
    EXPECT_TRUE(stored("NACIO", 1).isNull());
}

TEST_F(DbControlsTest, EnteringABoxWithTabSelectsItsTextSoTypingReplacesIt)
{
    ds->Last();  // ID 2, "LUIS"
    id->setFocus();
    QTest::keyClick(id, Qt::Key_Tab);
    ASSERT_TRUE(nombre->hasFocus());
    QTest::keyClicks(nombre, "zoe");
    EXPECT_EQ(nombre->text(), "ZOE");
    // The same for a number shown with its picture: the plain digits are selected.
    ds->Cancel();
    ds->First();
    nav->click(DbNavigator::Edit);
    ds->FieldByName("ID").setFloat(1234567);
    QTest::keyClick(nombre, Qt::Key_Backtab);
    ASSERT_TRUE(id->hasFocus());
    QTest::keyClicks(id, "89");
    EXPECT_EQ(id->text(), "89");
    nav->click(DbNavigator::Cancel);
}

TEST_F(DbControlsTest, NavigatorInsertsAndDeletesOnlyWhenConfirmed)
{
    nav->click(DbNavigator::Insert);
    typeInto(id, "1234567");
    typeInto(nombre, "nuevo");
    typeInto(nacio, "25/12/1990");
    nav->click(DbNavigator::Post);
    ASSERT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
    EXPECT_EQ(stored("NOMBRE", 1234567).toString().trimmed(), "NUEVO");
    EXPECT_EQ(stored("NACIO", 1234567).toDateTime().date(), QDate(1990, 12, 25));
    EXPECT_EQ(id->text(), "1,234,567");  // shown with its picture once posted

    dialogs.answers = {false};
    nav->click(DbNavigator::Delete);
    EXPECT_EQ(dialogs.texts("confirm"), QStringList{confirmDeleteText()});
    EXPECT_FALSE(stored("ID", 1234567).isNull());
    dialogs.answers = {true};
    nav->click(DbNavigator::Delete);
    EXPECT_TRUE(stored("ID", 1234567).isNull());
}

// Whatever Qt calls (a key in a grid, a slot behind a button) that fails shows the general error
// box, and the program goes on.
TEST_F(DbControlsTest, AFailureInAnythingQtCallsReachesTheErrorBox)
{
    auto* grid = new DbGrid(*ds, form.get());
    auto* button = new QPushButton(QStringLiteral("Falla"), form.get());
    QObject::connect(button, &QPushButton::clicked, [] { throw std::runtime_error("sin papel"); });
    ds->BeforeScroll = [](Dataset&) { throw DbError(QStringLiteral("conexion perdida")); };
    const std::pair<std::function<void()>, QString> cases[] = {
        {[grid] { QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier); }, QStringLiteral("conexion perdida")},
        {[button] { QTest::mouseClick(button, Qt::LeftButton); }, QStringLiteral("sin papel")},
    };
    for (const auto& [act, text] : cases) {
        dialogs.clear();
        act();
        EXPECT_EQ(dialogs.texts("error"), QStringList{text});
    }
    ds->BeforeScroll = nullptr;
}

}  // namespace
