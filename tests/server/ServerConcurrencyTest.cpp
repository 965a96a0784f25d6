// Several registers for real, as separate processes selling into one database on a Firebird
// server: four registers numbering a thousand documents, two stations ringing into the same open
// document (a restaurant table), and a register killed in the middle of a sale. Every document
// must get its own number, keep all its lines, and carry header totals equal to its lines' sums.
// And a document paid at one station is never changed by another that still holds it.
#include "ShopFixture.h"
#include "support/TestServer.h"

#include "data/DatabaseCreate.h"
#include "data/Schema.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace {

const int kLines = 3;

// What one register reported: the documents it finished with their NETO, and its retries.
struct Report {
    QHash<int, double> finished;
    int retries = 0;
};

Report readReport(const QByteArray& out)
{
    Report r;
    for (const QByteArray& line : out.split('\n')) {
        if (line.startsWith("document=")) {
            const QList<QByteArray> parts = line.split(' ');
            r.finished.insert(parts[0].mid(9).toInt(), parts[1].mid(5).toDouble());
        } else if (line.startsWith("retries=")) {
            r.retries = line.mid(8).toInt();
        }
    }
    return r;
}

class ServerConcurrencyTest : public ::testing::Test {
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
        std::printf("operations run again after a conflict, all tests: %d\n", retries_);
    }

    void SetUp() override
    {
        location = server_->location(dir_->filePath(
            QStringLiteral("%1.fdb").arg(QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()))));
        kv::createDatabase(location);
        db = std::make_unique<kv::Connection>(QStringLiteral("Korvela"));
        db->setLocation(location);
        db->open();
        kv::createPosSchema(*db);
        kvtest::seedShop(*db);  // cashiers 101-104 on registers 101-104, all of company 01, document POS
        go = dir_->filePath(QStringLiteral("go-%1").arg(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    }
    void TearDown() override { db->close(); }

    std::unique_ptr<QProcess> startRegister(int cajero, int documents, int lines, int into = 0)
    {
        auto p = std::make_unique<QProcess>();
        QStringList args{location, QString::number(cajero), QString::number(documents), QString::number(lines), go};
        if (into)
            args << QString::number(into);
        p->start(QStringLiteral(KV_WORKER), args);
        EXPECT_TRUE(p->waitForStarted(30000));
        return p;
    }
    void startAll() { QFile(go).open(QIODevice::WriteOnly); }

    Report finish(QProcess& p)
    {
        EXPECT_TRUE(p.waitForFinished(300000)) << "a register did not finish";
        EXPECT_EQ(p.exitCode(), 0) << QString::fromLocal8Bit(p.readAllStandardError()).toStdString();
        Report r = readReport(p.readAllStandardOutput());
        retries_ += r.retries;
        return r;
    }

    int count(const char* sql) { return db->scalar(QString::fromLatin1(sql)).toInt(); }

    // Every header with lines carries their sums; one without lines has no total. Lines numbered
    // 1, 2, 3 ... within each document, none missing.
    void expectEveryHeaderMatchesItsLines()
    {
        EXPECT_EQ(kvtest::headersUnlikeTheirLines(*db), 0);
        EXPECT_EQ(kvtest::documentsWithMissingLines(*db), 0);
    }

    std::unique_ptr<kv::Connection> db;
    QString location, go;
    static inline QTemporaryDir* dir_ = nullptr;
    static inline kvtest::TestServer* server_ = nullptr;
    static inline int retries_ = 0;
};

TEST_F(ServerConcurrencyTest, FourRegistersNumberAThousandDocumentsOnceEachWithAllTheirLines)
{
    const int registers = 4, documents = 250;
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int r = 0; r < registers; ++r)
        workers.push_back(startRegister(101 + r, documents, kLines));
    startAll();
    QHash<double, double> totals;  // register -> sum of NETO as the register saw it
    for (int r = 0; r < registers; ++r) {
        const Report rep = finish(*workers[size_t(r)]);
        EXPECT_EQ(rep.finished.size(), documents);
        double sum = 0;
        for (double neto : rep.finished)
            sum += neto;
        totals.insert(101 + r, sum);
    }

    // 1,000 documents numbered 1 to 1,000, each once.
    QSqlQuery q = db->exec("SELECT COUNT(*), COUNT(DISTINCT CONSECUTIVO), MIN(CONSECUTIVO), MAX(CONSECUTIVO), "
                           "SUM(CASE WHEN CONSECUTIVO = FACTURA THEN 1 ELSE 0 END) "
                           "FROM POSMOVIMIENTO WHERE EMPRESA = '01' AND DOCUMENTO = 'POS'");
    ASSERT_TRUE(q.next());
    const int all = registers * documents;
    EXPECT_EQ(q.value(0).toInt(), all);
    EXPECT_EQ(q.value(1).toInt(), all);
    EXPECT_EQ(q.value(2).toInt(), 1);
    EXPECT_EQ(q.value(3).toInt(), all);
    EXPECT_EQ(q.value(4).toInt(), all);  // FACTURA follows a number taken again

    // Each register made its own 250, under its own cashier, and they hold what it rang up.
    q = db->exec("SELECT CAJA, COUNT(*), SUM(NETO), SUM(CASE WHEN CAJERO = CAJA AND VENDEDOR = CAJA THEN 1 ELSE 0 END) "
                 "FROM POSMOVIMIENTO GROUP BY CAJA ORDER BY CAJA");
    int seen = 0;
    while (q.next()) {
        ++seen;
        const double caja = q.value(0).toDouble();
        EXPECT_EQ(q.value(1).toInt(), documents) << caja;
        EXPECT_NEAR(q.value(2).toDouble(), totals.value(caja, -1), 0.005) << caja;
        EXPECT_EQ(q.value(3).toInt(), documents) << caja;
    }
    EXPECT_EQ(seen, registers);

    // Every line present, the products in the order rung up.
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE"), all * kLines);
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE PRODUCTO <> 1 + MOD(LINEA - 1, 3)"), 0);
    expectEveryHeaderMatchesItsLines();
}

TEST_F(ServerConcurrencyTest, TwoStationsRingingIntoOneOpenDocumentKeepEveryLineAndTheTotal)
{
    kv::TDmVentas dm(*db);
    ASSERT_TRUE(dm.signOn(101));
    const int mesa = kvtest::startDocument(dm);
    const int each = 150;
    auto first = startRegister(101, 1, each, mesa);
    auto second = startRegister(102, 1, each, mesa);
    startAll();
    const Report a = finish(*first), b = finish(*second);

    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE"), 2 * each);
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTO"), 1);
    expectEveryHeaderMatchesItsLines();
    // Each line waited for the other station's, or found it had changed the document and ran
    // again: without that retry one of them would have stopped or lost lines.
    EXPECT_GT(a.retries + b.retries, 0);
}

TEST_F(ServerConcurrencyTest, ARegisterKilledInTheMiddleOfASaleLeavesEveryDocumentWhole)
{
    const int lines = 6;
    auto victim = startRegister(101, 100000, lines);
    auto neighbour = startRegister(102, 60, lines);
    startAll();

    // Let the register finish a few dozen documents, then pull its plug mid-document.
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (out.count("document=") < 40 && clock.elapsed() < 120000) {
        victim->waitForReadyRead(1000);
        out += victim->readAllStandardOutput();
    }
    ASSERT_GE(out.count("document="), 40);
    ::kill(pid_t(victim->processId()), SIGKILL);
    victim->waitForFinished(30000);
    out += victim->readAllStandardOutput();
    const Report killed = readReport(out);
    const Report other = finish(*neighbour);
    EXPECT_EQ(other.finished.size(), 60);

    // Every document the killed register finished is there, whole, with the total it saw.
    for (auto it = killed.finished.begin(); it != killed.finished.end(); ++it) {
        SCOPED_TRACE(it.key());
        QSqlQuery q = db->exec("SELECT H.NETO, H.CAJA, (SELECT COUNT(*) FROM POSMOVIMIENTODETALLE D WHERE D.EMPRESA = "
                               "H.EMPRESA AND D.DOCUMENTO = H.DOCUMENTO AND D.CONSECUTIVO = H.CONSECUTIVO) "
                               "FROM POSMOVIMIENTO H WHERE H.EMPRESA = '01' AND H.DOCUMENTO = 'POS' AND H.CONSECUTIVO = :N",
                               {{"N", it.key()}});
        ASSERT_TRUE(q.next());
        EXPECT_NEAR(q.value(0).toDouble(), it.value(), 0.005);
        EXPECT_EQ(q.value(1).toInt(), 101);
        EXPECT_EQ(q.value(2).toInt(), lines);
    }
    // The document it was ringing up when it died holds only whole lines, totalled; numbers are
    // never shared.
    expectEveryHeaderMatchesItsLines();
    EXPECT_EQ(count("SELECT COUNT(*) - COUNT(DISTINCT CONSECUTIVO) FROM POSMOVIMIENTO"), 0);
    EXPECT_LE(count("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE CAJA = 101"), killed.finished.size() + 1);
}

// Everything stored of one document, column by column: its header and its lines in order.
QList<QVariantList> storedDocument(kv::Connection& db, int numero)
{
    QList<QVariantList> rows;
    for (const char* sql : {"SELECT * FROM POSMOVIMIENTO WHERE EMPRESA = '01' AND DOCUMENTO = 'POS' AND CONSECUTIVO = :N",
                            "SELECT * FROM POSMOVIMIENTODETALLE WHERE EMPRESA = '01' AND DOCUMENTO = 'POS' AND "
                            "CONSECUTIVO = :N ORDER BY LINEA"}) {
        QSqlQuery q = db.exec(QString::fromLatin1(sql), {{"N", numero}});
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i);
            rows << row;
        }
    }
    return rows;
}

TEST_F(ServerConcurrencyTest, ADocumentPaidAtOneStationRefusesEveryChangeFromAnotherThatStillHoldsIt)
{
    // Station A rings up two lines and keeps the document on screen.
    kv::TDmVentas a(*db);
    ASSERT_TRUE(a.signOn(101));
    const int numero = kvtest::startDocument(a);
    ASSERT_TRUE(kvtest::ringUp(a, {.producto = 4, .precio = 1000}));
    ASSERT_TRUE(kvtest::ringUp(a, {.producto = 1, .precio = 11600, .iva = 16}));

    // Station B, on its own connection to the server, collects it.
    {
        kv::Connection other(QStringLiteral("Korvela"));
        other.setLocation(location);
        other.open();
        kv::TDmVentas b(other);
        ASSERT_TRUE(b.signOn(102));
        ASSERT_TRUE(b.openDocument("01", "POS", numero));
        b.TIniFac.Edit();
        b.TIniFac[QStringLiteral("TIPODEPAGO")] = QStringLiteral("T");
        ASSERT_EQ(b.closeWithPayment(102).kind, kv::DocumentModule::ClosingOutcome::Closed);
    }
    const QList<QVariantList> paid = storedDocument(*db, numero);
    ASSERT_EQ(paid.size(), 3);

    // Station A goes on as if nothing happened: every try is refused.
    const QString refused = QStringLiteral("La factura %1 ya fue cerrada (pagada o anulada); no se guardó nada.").arg(numero);
    int told = 0;
    QObject::connect(&a, &kv::DocumentModule::closedDocumentRefused, [&told] { ++told; });
    auto expectRefused = [&](const char* what, const std::function<void()>& action) {
        SCOPED_TRACE(what);
        try {
            action();
            ADD_FAILURE() << "not refused";
        } catch (const kv::DocumentClosed& e) {
            EXPECT_EQ(e.text(), refused);
        }
        EXPECT_EQ(storedDocument(*db, numero), paid);
    };
    expectRefused("add a line", [&] { kvtest::ringUp(a, {.producto = 4, .precio = 500}); });
    expectRefused("change a line", [&] { a.changeLine({{QStringLiteral("CANTIDAD"), 5.0}}); });
    expectRefused("change a line in the grid", [&] {
        a.TFac.Edit();
        a.TFac[QStringLiteral("CANTIDAD")] = 7.0;
        a.TFac.Post();
    });
    EXPECT_FALSE(a.TFac.isEditing());  // what was typed for it is dropped
    expectRefused("delete a line", [&] { a.deleteLine(); });
    expectRefused("change the header", [&] {
        a.TIniFac.Edit();
        a.TIniFac[QStringLiteral("PLAZO")] = 30;
        a.TIniFac.Post();
    });
    // Given up as if empty: the paid document keeps its number and everything in it.
    expectRefused("give it up", [&] { a.abandonEmptyDocument(); });
    EXPECT_EQ(told, 6);
    // A's cursor shows the document as B left it.
    EXPECT_EQ(a.TIniFac[QStringLiteral("STATUS")].asString(), QStringLiteral("I"));
    EXPECT_EQ(a.TIniFac[QStringLiteral("TIPODEPAGO")].asString(), QStringLiteral("T"));
}

}  // namespace
