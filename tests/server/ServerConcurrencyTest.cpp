// Several registers for real, as separate processes selling into one database on a Firebird
// server: four registers numbering a thousand documents, two stations ringing into the same open
// document (a restaurant table), and a register killed in the middle of a sale. Every document
// must get its own number, keep all its lines, and carry header totals equal to its lines' sums.
// And a document paid at one station is never changed by another that still holds it.
#include "ShopFixture.h"
#include "ServerSuite.h"

#include "data/DatabaseCheck.h"


#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

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

class ServerConcurrencyTest : public kvtest::ServerSuite {
protected:
    static void TearDownTestSuite()
    {
        ServerSuite::TearDownTestSuite();
        std::printf("operations run again after a conflict, all tests: %d\n", retries_);
    }

    void SetUp() override
    {
        // Cashiers 101-104 on registers 101-104, all of company 01, document POS.
        db = newPosDatabase(kvtest::seedShop, &location);
        go = path(QStringLiteral("go-") + testName());
    }
    void TearDown() override { db->close(); }

    std::unique_ptr<QProcess> startRegister(int cajero, int documents, int lines, int into = 0, bool close = false)
    {
        auto p = std::make_unique<QProcess>();
        QStringList args{location, QString::number(cajero), QString::number(documents), QString::number(lines), go};
        if (into)
            args << QString::number(into);
        if (close)
            args << QStringLiteral("--close");
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

// What a register printed, run by run: every operation it committed ("committing", then
// "committed", with the document's number and the operation's identity) and every document it
// finished. A run killed between the two lines of a commit leaves that one operation pending: it
// may have landed or not, and it is the only thing the account allows to be either.
struct RegisterLog {
    QSet<int> started;            // documents whose start was committed
    QSet<int> closed;             // documents whose payment was committed
    QHash<int, double> finished;  // documents reported finished, with the NETO the register saw
    QSet<int> pendingStarts, pendingCloses;  // commits in course when a run was killed
    int unfinishedRuns = 0;       // runs that ended with a commit in course although not killed

    // One run's lines, in order.
    void addRun(const QList<QByteArray>& lines, bool killed)
    {
        QByteArray pendingOp;
        int pendingDoc = 0;
        for (const QByteArray& line : lines) {
            const QList<QByteArray> parts = line.split(' ');
            auto field = [&](const char* name) {
                for (const QByteArray& p : parts)
                    if (p.startsWith(QByteArray(name) + '='))
                        return p.mid(int(qstrlen(name)) + 1);
                return QByteArray();
            };
            if (line.startsWith("committing ")) {
                pendingOp = field("op");
                pendingDoc = field("doc").toInt();
            } else if (line.startsWith("committed ")) {
                if (field("op") == "start")
                    started.insert(field("doc").toInt());
                else if (field("op") == "close")
                    closed.insert(field("doc").toInt());
                pendingOp.clear();
            } else if (line.startsWith("document=")) {
                finished.insert(line.mid(9, line.indexOf(' ') - 9).toInt(), field("neto").toDouble());
            }
        }
        if (pendingOp.isEmpty())
            return;
        if (!killed)
            ++unfinishedRuns;
        else if (pendingOp == "start")
            pendingStarts.insert(pendingDoc);
        else if (pendingOp == "close")
            pendingCloses.insert(pendingDoc);
    }
};

// "12 15 230": the numbers of a set, in order, for a failure to name them.
std::string numbers(const QSet<int>& set)
{
    QList<int> sorted(set.begin(), set.end());
    std::sort(sorted.begin(), sorted.end());
    QStringList out;
    for (int n : sorted)
        out << QString::number(n);
    return out.join(QLatin1Char(' ')).toStdString();
}

// A day at a busy shop, compressed: sixteen registers make their documents, each paid as soon as
// its lines are in. Every register is killed once at a random moment (the plug pulled) and started
// again to make the rest of its documents, and the server itself goes down and comes back once in
// the middle, under all of them: stopped as its service manager stops it, or killed. Afterwards
// every stored header is accounted for by what the registers reported, and the database is sound.
class ServerConcurrencyLong : public ServerConcurrencyTest {
protected:
    void shopDay(kvtest::TestServer::Stop how, quint32 seed);
};

void ServerConcurrencyLong::shopDay(kvtest::TestServer::Stop how, quint32 seed)
{
    const int registers = 16, each = 300, lines = 3;
    {
        kv::Transaction t(*db);
        for (int i = 105; i < 101 + registers; ++i) {
            db->exec("INSERT INTO POSCAJAS (CAJA, NOMBRE, EMPRESA) VALUES (:C, :N, 1)",
                     {{"C", i}, {"N", QStringLiteral("CAJA %1").arg(i)}});
            db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA, IMPRIMIR, COBRA, CAMBIAPRECIO) "
                     "VALUES (:C, :N, '1', 'V', :C, 'F', 'S', 'N')",
                     {{"C", i}, {"N", QStringLiteral("CAJERO %1").arg(i)}});
        }
        t.commit();
    }
    db->close();  // the test's own connection would only be dropped by the restart

    struct Station {
        int cajero = 0;
        std::unique_ptr<QProcess> process;
        QByteArray pending;         // output not yet ended by a new line
        QList<QByteArray> lines;    // this run's
        RegisterLog log;            // every run's
        int paidSeen = 0;           // payments committed, all runs so far
        int killAt = 0;             // payments committed before the plug is pulled
        bool killed = false;
        bool reported = false;  // its failure, once
        int runs = 0;
    };
    QRandomGenerator rng(seed);
    std::vector<Station> stations(registers);
    for (int r = 0; r < registers; ++r) {
        Station& s = stations[size_t(r)];
        s.cajero = 101 + r;
        s.killAt = 1 + int(rng.bounded(each - 2));
        s.process = startRegister(s.cajero, each, lines, 0, true);
        s.runs = 1;
    }
    auto collect = [&](Station& s) {
        s.pending += s.process->readAllStandardOutput();
        const int end = s.pending.lastIndexOf('\n');
        if (end < 0)
            return;
        for (const QByteArray& line : s.pending.left(end).split('\n')) {
            s.lines << line;
            if (line.startsWith("committed op=close"))
                ++s.paidSeen;
            if (line.startsWith("retries="))
                retries_ += line.mid(8).toInt();
        }
        s.pending.remove(0, end + 1);
    };
    auto total = [&] {
        int n = 0;
        for (const Station& s : stations)
            n += s.paidSeen;
        return n;
    };
    startAll();

    bool restarted = false;
    std::thread restarting;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
        bool running = false;
        for (Station& s : stations) {
            collect(s);
            if (!s.killed && s.paidSeen >= s.killAt && s.process->state() == QProcess::Running) {
                // Somewhere inside the next document: a line half sent, a payment on its way.
                QThread::msleep(rng.bounded(40));
                ::kill(pid_t(s.process->processId()), SIGKILL);
                s.process->waitForFinished(30000);
                collect(s);
                s.log.addRun(s.lines, true);
                s.lines.clear();
                s.killed = true;
                // Again for what it still owes: every payment it committed counts, reported or not.
                s.process = startRegister(s.cajero, each - s.paidSeen, lines, 0, true);
                ++s.runs;
            }
            if (s.process->state() != QProcess::NotRunning) {
                running = true;
            } else if (!s.reported && s.process->exitCode() != 0) {
                s.reported = true;
                ADD_FAILURE() << "register " << s.cajero << ": "
                              << QString::fromLocal8Bit(s.process->readAllStandardError()).toStdString();
            }
        }
        if (!restarted && total() >= registers * each / 2) {
            // The stop takes its time: the registers' output is read on meanwhile, or they would
            // block writing it, stop reading their connections, and hold the server's stop up.
            restarting = std::thread([how] { server_->restart(how); });
            restarted = true;
        }
        if (!running || clock.elapsed() > 1500000)
            break;
    }
    if (restarting.joinable())
        restarting.join();
    ASSERT_TRUE(restarted);
    for (Station& s : stations) {
        collect(s);
        s.log.addRun(s.lines, false);
        EXPECT_EQ(s.runs, 2) << s.cajero;
        EXPECT_EQ(s.log.unfinishedRuns, 0) << "register " << s.cajero << " ended with a commit in course";
    }

    // The engine's own validation finds nothing wrong, nor do the program's checks: no key
    // stored twice (read from the rows, not the key's index), every header equal to its lines.
    {
        QProcess gfix;
        gfix.setProcessChannelMode(QProcess::MergedChannels);
        gfix.start(QStringLiteral("gfix"), {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-user"),
                                            server_->value(QStringLiteral("ISC_USER")), QStringLiteral("-password"),
                                            server_->value(QStringLiteral("ISC_PASSWORD")), location});
        ASSERT_TRUE(gfix.waitForFinished(600000));
        EXPECT_EQ(gfix.exitCode(), 0);
        EXPECT_EQ(QString::fromLocal8Bit(gfix.readAll()).trimmed().toStdString(), "") << "gfix -v -full";
    }
    db->open();
    const kv::DatabaseFindings found = kv::checkDatabase(*db);
    EXPECT_FALSE(found.damaged()) << found.report().toStdString();
    expectEveryHeaderMatchesItsLines();
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE FACTURA IS DISTINCT FROM CONSECUTIVO"), 0);

    // Every stored header is accounted for by the register that made it: its start was committed
    // and reported, or it is the one start a killed run had in course. Every paid one likewise by a
    // reported payment, or the one payment in course. Nothing reported is missing.
    struct Stored {
        int caja;
        bool paid;
        double neto;
        int lineas;
    };
    QHash<int, Stored> stored;
    QSqlQuery q = db->exec("SELECT H.CONSECUTIVO, H.CAJA, H.STATUS, H.NETO, (SELECT COUNT(*) FROM POSMOVIMIENTODETALLE D "
                           "WHERE D.EMPRESA = H.EMPRESA AND D.DOCUMENTO = H.DOCUMENTO AND D.CONSECUTIVO = H.CONSECUTIVO) "
                           "FROM POSMOVIMIENTO H");
    int headers = 0;
    while (q.next()) {
        ++headers;
        stored.insert(q.value(0).toInt(), {q.value(1).toInt(), q.value(2).toString() == QLatin1String("I"),
                                           q.value(3).toDouble(), q.value(4).toInt()});
    }
    EXPECT_EQ(headers, stored.size());
    int accounted = 0;
    for (const Station& s : stations) {
        SCOPED_TRACE(s.cajero);
        QSet<int> mine, paid;
        for (auto it = stored.begin(); it != stored.end(); ++it)
            if (it->caja == s.cajero) {
                mine.insert(it.key());
                if (it->paid)
                    paid.insert(it.key());
            }
        accounted += int(mine.size());
        const RegisterLog& log = s.log;
        EXPECT_EQ(numbers(log.started - mine), "") << "started, reported, not stored";
        EXPECT_EQ(numbers(mine - log.started - log.pendingStarts), "") << "stored, never reported: phantoms";
        EXPECT_EQ(numbers(log.closed - paid), "") << "paid, reported, not stored as paid";
        EXPECT_EQ(numbers(paid - log.closed - log.pendingCloses), "") << "stored as paid, never reported: phantoms";
        EXPECT_EQ(int(paid.size()), each + int((paid & log.pendingCloses).size()));
        for (auto it = log.finished.begin(); it != log.finished.end(); ++it) {
            const auto h = stored.constFind(it.key());
            ASSERT_NE(h, stored.cend()) << it.key();
            EXPECT_TRUE(h->paid) << it.key();
            EXPECT_NEAR(h->neto, it.value(), 0.005) << it.key();
        }
        for (int n : paid)
            EXPECT_EQ(stored.value(n).lineas, lines) << n;  // no line after the payment, none missing before it
    }
    EXPECT_EQ(accounted, headers) << "headers of no register";
}

TEST_F(ServerConcurrencyLong, DISABLED_SixteenRegistersEachKilledOnceAndTheServerStoppedAccountForEveryDocument)
{
    shopDay(kvtest::TestServer::Stop::Polite, 20261210);
}

TEST_F(ServerConcurrencyLong, DISABLED_SixteenRegistersEachKilledOnceAndTheServerKilledAccountForEveryDocument)
{
    shopDay(kvtest::TestServer::Stop::Kill, 20261211);
}

}  // namespace
