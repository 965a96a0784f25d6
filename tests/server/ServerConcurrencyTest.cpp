// Several registers for real: four processes, each a different register and cashier, sell into one
// database on a Firebird server at the same time. Every document must get its own number, with
// none lost or used twice, and keep all its lines and totals.
#include "ShopFixture.h"

#include "data/DatabaseCreate.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const int kRegisters = 4;
const int kDocuments = 250;  // per register
const int kLines = 3;

// The private server of scripts/firebird-test-server, stopped when the test ends however it ends.
class TestServer {
public:
    explicit TestServer(const QString& dir) : dir_(dir)
    {
        QProcess p;
        p.start(QStringLiteral("bash"), {QStringLiteral(KV_SERVER_SCRIPT), QStringLiteral("start"), dir_});
        p.waitForFinished(120000);
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            throw kv::DbError(QStringLiteral("the test server did not start: ") + QString::fromLocal8Bit(p.readAllStandardError()));
        QFile env(QDir(dir_).filePath(QStringLiteral("server.env")));
        if (!env.open(QIODevice::ReadOnly))
            throw kv::DbError(QStringLiteral("the test server wrote no server.env"));
        for (const QByteArray& line : env.readAll().split('\n')) {
            const int eq = line.indexOf('=');
            if (eq > 0)
                values_.insert(QString::fromLatin1(line.left(eq)), QString::fromLocal8Bit(line.mid(eq + 1)));
        }
        started_ = true;
    }
    ~TestServer()
    {
        if (started_)
            QProcess::execute(QStringLiteral("bash"), {QStringLiteral(KV_SERVER_SCRIPT), QStringLiteral("stop"), dir_});
    }
    QString value(const QString& name) const { return values_.value(name); }

private:
    QString dir_;
    QHash<QString, QString> values_;
    bool started_ = false;
};

TEST(ServerConcurrencyTest, FourRegistersNumberAThousandDocumentsOnceEachWithAllTheirLines)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TestServer server(dir.filePath(QStringLiteral("server")));
    // The workers inherit the server's user and password.
    qputenv("ISC_USER", server.value(QStringLiteral("ISC_USER")).toLocal8Bit());
    qputenv("ISC_PASSWORD", server.value(QStringLiteral("ISC_PASSWORD")).toLocal8Bit());
    const QString location = server.value(QStringLiteral("KV_TEST_SERVER")) + QLatin1Char(':') +
                             dir.filePath(QStringLiteral("pos.fdb"));

    kv::createDatabase(location);
    kv::Connection db(QStringLiteral("Korvela"));
    db.setLocation(location);
    db.open();
    kv::createPosSchema(db);
    kvtest::seedShop(db);  // cashiers 101-104 on registers 101-104, all of company 01, document POS

    const QString go = dir.filePath(QStringLiteral("go"));
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int r = 0; r < kRegisters; ++r) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(KV_WORKER), {location, QString::number(101 + r), QString::number(kDocuments),
                                             QString::number(kLines), go});
        ASSERT_TRUE(p->waitForStarted(30000));
        workers.push_back(std::move(p));
    }
    QFile(go).open(QIODevice::WriteOnly);  // all registers begin together

    QHash<double, double> totals;  // register -> sum of NETO as the register saw it
    int retaken = 0;
    for (int r = 0; r < kRegisters; ++r) {
        QProcess& p = *workers[size_t(r)];
        ASSERT_TRUE(p.waitForFinished(300000)) << "register " << 101 + r << " did not finish";
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        EXPECT_EQ(p.exitCode(), 0) << QString::fromLocal8Bit(p.readAllStandardError()).toStdString();
        for (const QString& line : out.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("total=")))
                totals.insert(101 + r, line.mid(6).toDouble());
            if (line.startsWith(QLatin1String("retaken=")))
                retaken += line.mid(8).toInt();
        }
    }
    std::printf("numbers taken again after a collision: %d\n", retaken);

    // 1,000 documents numbered 1 to 1,000, each once.
    QSqlQuery q = db.exec("SELECT COUNT(*), COUNT(DISTINCT CONSECUTIVO), MIN(CONSECUTIVO), MAX(CONSECUTIVO), "
                          "SUM(CASE WHEN CONSECUTIVO = FACTURA THEN 1 ELSE 0 END) "
                          "FROM POSMOVIMIENTO WHERE EMPRESA = '01' AND DOCUMENTO = 'POS'");
    ASSERT_TRUE(q.next());
    const int all = kRegisters * kDocuments;
    EXPECT_EQ(q.value(0).toInt(), all);
    EXPECT_EQ(q.value(1).toInt(), all);
    EXPECT_EQ(q.value(2).toInt(), 1);
    EXPECT_EQ(q.value(3).toInt(), all);
    EXPECT_EQ(q.value(4).toInt(), all);  // FACTURA follows a number taken again

    // Each register made its own 250, under its own cashier, and they hold what it rang up.
    q = db.exec("SELECT CAJA, COUNT(*), SUM(NETO), SUM(CASE WHEN CAJERO = CAJA AND VENDEDOR = CAJA THEN 1 ELSE 0 END) "
                "FROM POSMOVIMIENTO GROUP BY CAJA ORDER BY CAJA");
    int registers = 0;
    while (q.next()) {
        ++registers;
        const double caja = q.value(0).toDouble();
        EXPECT_EQ(q.value(1).toInt(), kDocuments) << caja;
        EXPECT_NEAR(q.value(2).toDouble(), totals.value(caja, -1), 0.005) << caja;
        EXPECT_EQ(q.value(3).toInt(), kDocuments) << caja;
    }
    EXPECT_EQ(registers, kRegisters);

    // Every line present: lines 1 to 3 of each document, the products in the order rung up.
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE").toInt(), all * kLines);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM POSMOVIMIENTO H WHERE (SELECT COUNT(*) FROM POSMOVIMIENTODETALLE D "
                        "WHERE D.EMPRESA = H.EMPRESA AND D.DOCUMENTO = H.DOCUMENTO AND D.CONSECUTIVO = H.CONSECUTIVO "
                        "AND D.LINEA BETWEEN 1 AND 3 AND D.PRODUCTO = D.LINEA) <> 3")
                  .toInt(),
              0);

    // Every header's totals are the sums of its lines.
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM POSMOVIMIENTO H JOIN (SELECT EMPRESA, DOCUMENTO, CONSECUTIVO, "
                        "SUM(SUBTOTAL) S, SUM(VALORIVA) I, SUM(VALORDESCUENTO) D FROM POSMOVIMIENTODETALLE "
                        "GROUP BY EMPRESA, DOCUMENTO, CONSECUTIVO) L ON L.EMPRESA = H.EMPRESA AND "
                        "L.DOCUMENTO = H.DOCUMENTO AND L.CONSECUTIVO = H.CONSECUTIVO "
                        "WHERE ABS(H.SUBTOTAL - L.S) < 0.001 AND ABS(H.NETO - L.S) < 0.001 AND ABS(H.PAGO - L.S) < 0.001 "
                        "AND ABS(H.IVA - L.I) < 0.001 AND ABS(H.DESCUENTO - L.D) < 0.001")
                  .toInt(),
              all);
    db.close();
}

}  // namespace
