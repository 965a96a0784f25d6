// The general data module at start-up: what the location file says, what happens when it is
// missing, short or wrong, and the age calculation.
#include "data/UntDMGeneral.h"
#include "support/TestDb.h"

#include <QDir>
#include <QFile>

using namespace kv;

namespace {

// Writes the lines (each ended by the given line end) and returns the file's path.
QString writeFile(const QString& path, const QStringList& lines, const char* end = "\n")
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (const QString& l : lines)
        f.write(l.toUtf8() + end);
    return path;
}

// A location file as Tavro's installation writes it: lines 5 and 7 name the databases.
QStringList locationLines(const QString& accounting, const QString& pos)
{
    return {"Tavro", "x", "x", "x", accounting, "x", pos, "trailing lines are not read"};
}

class DMGeneralTest : public kvtest::DbTest {
protected:
    QString file(const QString& name) const { return dir.filePath(name); }
};

TEST_F(DMGeneralTest, MissingLocationFileStopsBeforeConnecting)
{
    TDMGeneral dm;
    EXPECT_FALSE(dm.DataModuleCreate(file("nowhere/DireccionBd.txt")));
    ASSERT_EQ(dialogs.texts().size(), 1);
    // The message starts with the program's words and then tells how to install.
    EXPECT_TRUE(dialogs.texts()[0].startsWith("Falta Instalacion\n\n")) << dialogs.texts()[0].toStdString();
    EXPECT_TRUE(dialogs.texts()[0].contains("korvela-db install"));
    EXPECT_TRUE(dialogs.texts()[0].contains("README"));
    EXPECT_EQ(dialogs.shown.front().kind, "message");
    EXPECT_TRUE(dm.DbPos.location().isEmpty());
    EXPECT_FALSE(dm.Tuc.active());
}

TEST_F(DMGeneralTest, CompleteFileConnectsBothDatabasesAndOpensUnitConversions)
{
    const QString tavro = kvtest::freshAccountingDatabase(dir.path());
    // A Windows-written file: "\r\n" line ends are not part of the locations.
    const QString loc = writeFile(file("DireccionBd.txt"), locationLines(tavro, db->location()), "\r\n");
    TDMGeneral dm;
    ASSERT_TRUE(dm.DataModuleCreate(loc));
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(dm.DbPos.aliasName(), "Korvela");
    EXPECT_EQ(dm.TavroDb.aliasName(), "TavroNi");
    EXPECT_EQ(dm.DbPos.location(), db->location());
    EXPECT_EQ(dm.TavroDb.location(), tavro);
    EXPECT_TRUE(dm.DbPos.isOpen());
    EXPECT_TRUE(dm.TavroDb.isOpen());
    EXPECT_TRUE(dm.Tuc.active());
    EXPECT_EQ(DMGeneral, &dm);

    dm.TblProgramas.Open();
    dm.TbRegistro.Open();
    dm.DataModuleDestroy();
    EXPECT_FALSE(dm.DbPos.isOpen());
    EXPECT_FALSE(dm.TblProgramas.active());
    EXPECT_FALSE(dm.TbRegistro.active());
}

TEST_F(DMGeneralTest, LinesAreTakenWholeWithoutTrimming)
{
    QStringList lines = locationLines(QStringLiteral(" tavro.fdb "), QStringLiteral("host:/data/pos.fdb  "));
    TDMGeneral dm;
    dm.DataModuleCreate(writeFile(file("DireccionBd.txt"), lines));
    EXPECT_EQ(dm.accountingLocation(), " tavro.fdb ");
    EXPECT_EQ(dm.posLocation(), "host:/data/pos.fdb  ");
}

// A line that is missing or empty leaves its connection without a database; nothing is said at
// start-up about the accounting one, and the POS one is reported by the first read (Tuc).
TEST_F(DMGeneralTest, ShortFileOrEmptyLinesLeaveConnectionsUnset)
{
    const QString tavro = kvtest::freshAccountingDatabase(dir.path());
    const struct {
        const char* what;
        QStringList lines;
        bool pos, accounting;
    } cases[] = {
        {"six lines", locationLines(tavro, db->location()).mid(0, 6), false, true},
        {"empty line 7", locationLines(tavro, QString()), false, true},
        {"four lines", locationLines(tavro, db->location()).mid(0, 4), false, false},
        {"empty line 5", locationLines(QString(), db->location()), true, false},
        {"empty file", {}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.clear();
        TDMGeneral dm;
        ASSERT_TRUE(dm.DataModuleCreate(writeFile(file("DireccionBd.txt"), c.lines)));
        EXPECT_EQ(dm.DbPos.location().isEmpty(), !c.pos);
        EXPECT_EQ(dm.TavroDb.location().isEmpty(), !c.accounting);
        EXPECT_EQ(dm.TavroDb.isOpen(), c.accounting);
        EXPECT_EQ(dm.Tuc.active(), c.pos);
        // Only the unreachable POS database is reported, once, in the general error box.
        EXPECT_EQ(dialogs.texts("error").size(), c.pos ? 0 : 1);
    }
}

TEST_F(DMGeneralTest, UnreachableDatabaseIsReportedByTheFirstReadAndAgainByLaterOnes)
{
    const QString missing = file("no-such-folder/pos.fdb");
    TDMGeneral dm;
    // Connecting fails silently; the program goes on.
    ASSERT_TRUE(dm.DataModuleCreate(writeFile(file("DireccionBd.txt"), locationLines(QString(), missing))));
    ASSERT_EQ(dialogs.texts("error").size(), 1);
    const QString shown = dialogs.texts("error").front();
    EXPECT_TRUE(shown.contains("no-such-folder")) << shown.toStdString();
    EXPECT_FALSE(dm.Tuc.active());

    // Every later read raises the database's message again.
    try {
        dm.TbRegistro.Open();
        ADD_FAILURE() << "reading an unreachable database succeeded";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.text().contains("no-such-folder"));
    }
}

TEST(DMGeneralLocation, ArgumentThenTavroHomeThenFixedPlace)
{
    const QByteArray saved = qgetenv("TAVRO_HOME");
    qputenv("TAVRO_HOME", "/srv/tavro");
    EXPECT_EQ(TDMGeneral::locationFilePath({"korvelapos", "--location", "/tmp/x.txt"}), "/tmp/x.txt");
    EXPECT_EQ(TDMGeneral::locationFilePath({"korvelapos", "--location=/tmp/y.txt"}), "/tmp/y.txt");
    EXPECT_EQ(TDMGeneral::locationFilePath({"korvelapos"}), QDir("/srv/tavro").filePath("DireccionBd.txt"));
    qunsetenv("TAVRO_HOME");
    EXPECT_EQ(TDMGeneral::locationFilePath({"korvelapos"}), TDMGeneral::defaultLocationFile());
#ifndef Q_OS_WIN
    EXPECT_EQ(TDMGeneral::defaultLocationFile(), "/opt/tavro/DireccionBd.txt");
#endif
    if (!saved.isNull())
        qputenv("TAVRO_HOME", saved);
}

TEST(CalculaEdad, WholeYearsWithTheBirthdayCountedOnTheDay)
{
    const struct {
        QDate birth, today;
        int age;
    } cases[] = {
        {{1990, 6, 15}, {2026, 6, 15}, 36},  // birthday today: completed
        {{1990, 6, 15}, {2026, 6, 14}, 35},
        {{1990, 6, 15}, {2026, 7, 1}, 36},
        {{1990, 12, 31}, {2027, 1, 1}, 36},
        {{2000, 2, 29}, {2026, 2, 28}, 25},  // a 29 February birthday is reached on 1 March
        {{2000, 2, 29}, {2026, 3, 1}, 26},
        {{2026, 5, 1}, {2026, 5, 1}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CalculaEdad(c.birth, c.today), c.age) << c.birth.toString().toStdString();
}

}  // namespace
