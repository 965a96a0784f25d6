// The program table screen: rows typed in its grid and the preview built by the main window's
// tree builder.
#include "app/UntAdministrar.h"
#include "app/UntPos.h"
#include "catalog/ScreenKeys.h"
#include "platform/DbGrid.h"
#include "support/TestDb.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>

// Readable failures: texts as text, not as bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

using namespace kv;

namespace {

class AdministrarTest : public kvtest::DbTest {
protected:
    void row(double number, const QString& text, int level, int program = 0)
    {
        db->exec(QStringLiteral("INSERT INTO PROGRAMASPOS (NUMEROPROGRAMA, DESCRIPCION, NIVEL, PROGRAMA, "
                                "INDIMAGEN, INDSELECION) VALUES (:N, :D, :L, :P, 1, 2)"),
                 {{"N", number}, {"D", text}, {"L", level}, {"P", program}});
    }
    // The preview as indented text, one node a line.
    static QStringList outline(QTreeWidget* tree)
    {
        QStringList out;
        std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* n, int depth) {
            out << QString(depth * 2, QLatin1Char(' ')) + n->text(0);
            for (int c = 0; c < n->childCount(); ++c)
                walk(n->child(c), depth + 1);
        };
        for (int t = 0; t < tree->topLevelItemCount(); ++t)
            walk(tree->topLevelItem(t), 0);
        return out;
    }
};

TEST_F(AdministrarTest, RowInsertedBetweenTwoShowsInItsPlaceInThePreview)
{
    row(10, QStringLiteral("RAIZ"), 0);
    row(20, QStringLiteral("Ventas"), 1);
    row(30, QStringLiteral("Caja"), 2, 10);
    row(40, QStringLiteral("Informes"), 1);
    TFrmAdministrar screen(*db);
    kvtest::showActive(&screen);
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("INSERTA MENU"));

    QTest::mouseClick(screen.Button1, Qt::LeftButton);
    EXPECT_EQ(outline(screen.TreeView1),
              QStringList({"RAIZ", "  Ventas", "    Caja", "  Informes"}));
    // A preview, not a user's menu: no program indexes on its nodes.
    EXPECT_EQ(programIndex(screen.TreeView1->topLevelItem(0)->child(0)), -1);

    // A new row typed in the grid, numbered between "Caja" and "Informes"; the preview posts it.
    kvtest::press(screen.DBNavigator1, DbNavigator::Insert);
    kvtest::typeInCell(screen.DBGrid1, 0, QStringLiteral("35"));
    kvtest::typeInCell(screen.DBGrid1, 1, QStringLiteral("Pedidos"));
    kvtest::typeInCell(screen.DBGrid1, 5, QStringLiteral("2"));
    kvtest::typeInCell(screen.DBGrid1, 6, QStringLiteral("9"));
    QTest::mouseClick(screen.Button1, Qt::LeftButton);
    EXPECT_EQ(outline(screen.TreeView1),
              QStringList({"RAIZ", "  Ventas", "    Caja", "    Pedidos", "  Informes"}));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT PROGRAMA FROM PROGRAMASPOS WHERE NUMEROPROGRAMA = 35")).toInt(), 9);
    // The grid stays on the row the user was typing.
    EXPECT_EQ(screen.TblProgramas.FieldByName(QStringLiteral("DESCRIPCION")).asString(), QStringLiteral("Pedidos"));

    // The main window's tree, built by the same builder, gets the same shape, with the new row
    // taking program index 3 and pushing "Informes" to 4.
    QTreeWidget menu;
    CargaArbolProgramas(&menu, screen.TblProgramas);
    EXPECT_EQ(outline(&menu), outline(screen.TreeView1));
    EXPECT_EQ(programIndex(menu.findItems(QStringLiteral("Informes"), Qt::MatchExactly | Qt::MatchRecursive).value(0)), 4);
}

TEST_F(AdministrarTest, ObservationMemoFollowsTheGridRow)
{
    row(10, QStringLiteral("RAIZ"), 0);
    db->exec(QStringLiteral("UPDATE PROGRAMASPOS SET OBSERVACION = :O WHERE NUMEROPROGRAMA = 10"),
             {{"O", QStringLiteral("Ayuda de la raiz")}});
    TFrmAdministrar screen(*db);
    kvtest::showActive(&screen);
    EXPECT_EQ(screen.DBMemo1->toPlainText(), QStringLiteral("Ayuda de la raiz"));
    screen.DBMemo1->setFocus();
    screen.DBMemo1->selectAll();
    QTest::keyClicks(screen.DBMemo1, QStringLiteral("Nueva ayuda"));
    kvtest::press(screen.DBNavigator1, DbNavigator::Post);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT OBSERVACION FROM PROGRAMASPOS")).toString(), QStringLiteral("Nueva ayuda"));
}

}  // namespace
