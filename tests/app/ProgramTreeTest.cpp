// Building the module tree from the program table and cutting it down to a user's permissions.
#include "app/UntPos.h"
#include "data/Dataset.h"
#include "Shell.h"

#include <QTreeWidget>

using namespace kv;
using kvtest::shape;

namespace {

class ProgramTreeTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        programas = std::make_unique<Dataset>(*db);
        programas->setTableName("PROGRAMASPOS");
        programas->setIndexFieldNames("NUMEROPROGRAMA");
    }
    void TearDown() override
    {
        programas.reset();
        DbTest::TearDown();
    }

    // One row per level, named R0, R1... in table order; NUMEROPROGRAMA steps by ten, so the
    // order in the table is not the order of insertion.
    void setLevels(const QVector<int>& levels)
    {
        db->exec("DELETE FROM PROGRAMASPOS");
        for (int i = int(levels.size()) - 1; i >= 0; --i)
            db->exec("INSERT INTO PROGRAMASPOS (NUMEROPROGRAMA, DESCRIPCION, INDIMAGEN, INDSELECION, NIVEL, PROGRAMA) "
                     "VALUES (:N, :D, 1, 2, :L, 0)",
                     {{"N", (i + 1) * 10.0}, {"D", QString("R%1").arg(i)}, {"L", levels[i]}});
    }
    QString build(const QVector<int>& levels)
    {
        setLevels(levels);
        CargaArbolProgramas(&tree, *programas);
        return shape(&tree);
    }

    std::unique_ptr<Dataset> programas;
    QTreeWidget tree;
};

TEST_F(ProgramTreeTest, DepthFirstTableBecomesTheTree)
{
    EXPECT_EQ(build({0, 1, 2, 2, 1, 2}), "R0(R1(R2,R3),R4(R5))");
    // The level-2 entry belongs to the second level-1 entry, not to the first.
    EXPECT_EQ(build({0, 1, 1, 2}), "R0(R1,R2(R3))");
    EXPECT_EQ(build({0}), "R0");
    EXPECT_EQ(build({}), "");
}

TEST_F(ProgramTreeTest, NodesCarryTheirRowPositionTextAndIcons)
{
    db->exec("INSERT INTO PROGRAMASPOS (NUMEROPROGRAMA, DESCRIPCION, INDIMAGEN, INDSELECION, NIVEL, PROGRAMA) "
             "VALUES (1, 'Menu', 0, 0, 0, 0)");
    // A fractional number places an entry between two others.
    db->exec("INSERT INTO PROGRAMASPOS (NUMEROPROGRAMA, DESCRIPCION, INDIMAGEN, INDSELECION, NIVEL, PROGRAMA) "
             "VALUES (3, 'Cajas', 3, 4, 1, 3)");
    db->exec("INSERT INTO PROGRAMASPOS (NUMEROPROGRAMA, DESCRIPCION, INDIMAGEN, INDSELECION, NIVEL, PROGRAMA) "
             "VALUES (2.5, 'Cajeros', 3, 4, 1, 2)");
    CargaArbolProgramas(&tree, *programas);
    ASSERT_EQ(shape(&tree), "Menu(Cajeros,Cajas)");  // char(40) read without its blanks
    const QTreeWidgetItem* cajas = tree.topLevelItem(0)->child(1);
    EXPECT_EQ(programIndex(tree.topLevelItem(0)), 0);
    EXPECT_EQ(programIndex(cajas), 2);
    EXPECT_EQ(cajas->data(0, ImageIndexRole).toInt(), 3);
    EXPECT_EQ(cajas->data(0, SelectedImageRole).toInt(), 4);
    EXPECT_FALSE(cajas->icon(0).isNull());
    // A tree is rebuilt from scratch, and the builder fills any tree it is given.
    QTreeWidget other;
    CargaArbolProgramas(&other, *programas);
    CargaArbolProgramas(&other, *programas);
    EXPECT_EQ(shape(&other), "Menu(Cajeros,Cajas)");
}

// Tables that break the depth-first rule still give a tree, with odd rows where a reader of the
// table would put them.
TEST_F(ProgramTreeTest, TablesBreakingTheRuleStillBuild)
{
    const struct {
        QVector<int> levels;
        const char* tree;
    } cases[] = {
        {{0, 1, 0, 1}, "R0(R1,R2(R3))"},            // a second level-0 row hangs under the root
        {{0, 1, 3, 4}, "R0(R1(R2(R3)))"},           // a jump hangs under the deepest node above it
        {{0, 1, 2, 1, 3}, "R0(R1(R2),R3(R4))"},     // ... of the current branch, not an older one
        {{0, 2}, "R0(R1)"},
        {{0, 1, 12, 40}, "R0(R1(R2,R3))"},         // above 10 counts as 10
        {{3, 1, 2}, "R0(R1(R2))"},                  // the first row is the root whatever its level
        {{0, -2, 1}, "R0(R1(R2))"},                 // below 0 counts as 0
    };
    for (const auto& c : cases)
        EXPECT_EQ(build(c.levels), c.tree) << QStringList([&] {
            QStringList l;
            for (int v : c.levels) l << QString::number(v);
            return l;
        }()).join(',').toStdString();
    // Every node keeps its row's position, so permissions still reach the right rows.
    build({0, 1, 0, 1});
    EXPECT_EQ(programIndex(tree.topLevelItem(0)->child(1)->child(0)), 3);
}

TEST_F(ProgramTreeTest, PermissionsRemoveMarkedEntriesWithTheirSubtrees)
{
    const struct {
        const char* opciones;
        const char* tree;
    } cases[] = {
        {"11111", "R0(R1(R2,R3),R4(R5))"},
        {"", "R0(R1(R2,R3),R4(R5))"},            // no characters: everything shows
        {"01111", "R0(R4(R5))"},                 // a group goes with its entries, whatever they say
        {"11011", "R0(R1(R2),R4(R5))"},          // character k is the row at position k
        {"110", "R0(R1(R2),R4(R5))"},            // rows past the end of the string are shown
        {"1x1 1", "R0(R1(R2,R3),R4(R5))"},       // only "0" removes
        {"00000", "R0"},                         // the root has no character and always stays
    };
    for (const auto& c : cases) {
        build({0, 1, 2, 2, 1, 2});
        AplicaPermisos(&tree, c.opciones);
        EXPECT_EQ(shape(&tree), c.tree) << c.opciones;
    }
}

}  // namespace
