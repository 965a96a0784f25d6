// Two registers selling the last unit of a product whose document type controls stock, on the
// private server: one rings it up while the other is in the middle of its own line (its balance
// already read by the old routine, its line not yet stored). Only one of them may sell it; the
// other is told the balance is short and stores nothing.
#include "RegisterFixture.h"
#include "ServerSuite.h"

#include <QLabel>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using kvtest::typeInto;

class LastUnitTest : public kvtest::ServerSuite {
protected:
    kv::ScriptedDialogs dialogs;
    kv::DialogsScope scope{&dialogs};
};

TEST_F(LastUnitTest, TwoRegistersNeverBothSellTheLastUnit)
{
    QString location;
    auto db = newPosDatabase(kvtest::seedRegister, &location);
    db->exec("UPDATE DOCUMENTOS SET CONTROLASALDO = 'S' WHERE DOCUMENTO = 'POS'");
    db->exec("UPDATE SALDOS SET SALDO = 1 WHERE PRODUCTO = 4");
    db->exec("INSERT INTO POSARQUEO (CAJA, CAJERO, FECHA, INCIO) VALUES (101, 101, :HOY, 0)",
             {{"HOY", QDateTime(QDate::currentDate(), QTime(0, 0))}});

    // Register 1 (cashier 11) here: its document started, TINTO typed and its packings listed.
    kv::TDmVentas dm(*db);
    ASSERT_TRUE(dm.signOn(11));
    dm.setWaitLimitMs(120000);  // it waits for the other register's process, however slow to start
    kv::TFrmVentaCajaVp screen(dm);
    kvtest::showActive(&screen);
    typeInto(screen.EditCliente, QStringLiteral("222222222"), true);
    ASSERT_TRUE(screen.selling());
    typeInto(screen.EditProducto, QStringLiteral("4"), true);
    EXPECT_EQ(screen.PanelSaldo->text(), QStringLiteral("Saldo =[1.00]"));
    QTest::keyClick(screen.RadioEmpaque, Qt::Key_Return);

    // Register 101 (cashier 101, same company and document type) holds register 1's document while
    // it sells the unit itself.
    QProcess other;
    other.start(QStringLiteral(KV_COUNTER_WORKER),
                {location, QStringLiteral("101"), QStringLiteral("4"), QStringLiteral("1"),
                 QString::number(dm.TIniFac[QStringLiteral("CONSECUTIVO")].asInteger())});
    ASSERT_TRUE(other.waitForReadyRead(60000));
    ASSERT_EQ(other.readLine().trimmed().toStdString(), "held");
    typeInto(screen.EditCantidad, QStringLiteral("1"), true);  // waits until register 101 is done
    ASSERT_TRUE(other.waitForFinished(120000));
    const QString out = QString::fromLocal8Bit(other.readAllStandardOutput());
    ASSERT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();

    EXPECT_TRUE(out.contains(QStringLiteral("lines=1"))) << out.toStdString();
    EXPECT_EQ(db->scalar("SELECT SUM(CANTIDADRECIBIDA) FROM POSMOVIMIENTODETALLE WHERE PRODUCTO = 4").toDouble(), 1);
    EXPECT_EQ(dm.TFac.recordCount(), 0);
    EXPECT_EQ(dialogs.texts("message"), QStringList{QStringLiteral("Saldo Menor al Ofrecido 4")});
    EXPECT_EQ(screen.PanelSaldo->text(), QStringLiteral("Saldo =[.00]"));  // the picture shows no units digit for 0
}

}  // namespace
