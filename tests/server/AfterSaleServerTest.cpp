// Two stations on one database on a Firebird server, each on its own connection, working on the
// same paid sale or the same open one: a sale whose electronic document was issued is replaced
// once and only once, and a drawer opens only for a payment that was stored.
#include "ShopFixture.h"
#include "ServerSuite.h"

#include "common/Dialogs.h"
#include "einvoice/ElectronicDocument.h"
#include "einvoice/Settings.h"
#include "platform/EnvScope.h"
#include "pos/DocumentCorrections.h"
#include "pos/SalePayment.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class AfterSaleServerTest : public kvtest::ServerSuite {
protected:
    void SetUp() override
    {
        scope = std::make_unique<kv::DialogsScope>(&dialogs);
        db = newPosDatabase(kvtest::seedShop, &location);
        db->exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE, NIT) VALUES ('01', 'TIENDA UNO SAS', '900123456-8')");
        key = std::make_unique<EnvScope>("KORVELA_KEY_FILE", path(testName() + ".key").toUtf8());
        drawer = path(testName() + "-cajon.bin");
        raw = std::make_unique<EnvScope>("KORVELA_RAW_TO", drawer.toUtf8());
        settings = kvtest::issueDocuments(*db, path(testName() + ".p12"));
        other = std::make_unique<kv::Connection>(QStringLiteral("Korvela"));
        other->setLocation(location);
        other->open();
        a = std::make_unique<kv::TDmVentas>(*db);
        b = std::make_unique<kv::TDmVentas>(*other);
        ASSERT_TRUE(a->signOn(101));
        ASSERT_TRUE(b->signOn(102));
    }
    void TearDown() override
    {
        a.reset();
        b.reset();
        other->close();
        db->close();
        scope.reset();
    }
    int pulses()
    {
        QFile f(drawer);
        return f.open(QIODevice::ReadOnly) ? int(f.readAll().count(QByteArray::fromHex("1b70306464"))) : 0;
    }
    int count(const QString& sql, int n) { return db->scalar(sql, {{"N", n}}).toInt(); }

    std::unique_ptr<kv::Connection> db, other;
    std::unique_ptr<kv::TDmVentas> a, b;
    std::unique_ptr<EnvScope> key, raw;
    kv::ScriptedDialogs dialogs;
    std::unique_ptr<kv::DialogsScope> scope;
    kv::ElectronicSettings settings;
    QString location, drawer;
};

TEST_F(AfterSaleServerTest, TwoStationsCorrectingOneIssuedSaleReplaceItOnce)
{
    const auto printed = [](const kv::SaleDocumentKey&) { return kv::PrintResult::Printed; };
    const int n = kvtest::startDocument(*a);
    ASSERT_TRUE(kvtest::ringUp(*a, {.producto = 4, .precio = 10000}));
    ASSERT_EQ(kv::closeSale(*a, printed, 10000), kv::SaleClosing::Closed);
    const kv::SaleDocumentKey sale{"01", "POS", n};

    // Both stations start a correction of the same sale and change it differently.
    const int fromA = kv::startCorrection(*a, sale);
    const int fromB = kv::startCorrection(*b, sale);
    EXPECT_NE(fromA, fromB);
    ASSERT_TRUE(a->changeLine({{"CANTIDAD", 2.0}}));
    ASSERT_TRUE(b->changeLine({{"CANTIDAD", 3.0}}));

    // A replaces it first; B's replacement is refused whole and B gives its new sale up.
    EXPECT_EQ(kv::replaceSale(*a, sale, {"01", "POS", fromA}).after, 20000);
    try {
        kv::replaceSale(*b, sale, {"01", "POS", fromB});
        ADD_FAILURE() << "the sale was replaced twice";
    } catch (const kv::DbError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("La factura %1 ya fue anulada o cambiada en otra caja; no se guardó nada.").arg(n));
    }
    kv::dropCorrection(*b, {"01", "POS", fromB});

    // One note for the original, one document for the one new sale; B's is gone with its lines.
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSDOCUMENTOELECTRONICO WHERE CONSECUTIVO = :N AND TIPO = '94'", n), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSDOCUMENTOELECTRONICO WHERE CONSECUTIVO = :N AND TIPO = '20'", fromA), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", fromB), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N", fromB), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSBITACORA WHERE EVENTO = 'CORRECCION' AND CONSECUTIVO = :N", n), 1);
    EXPECT_EQ(kvtest::headersUnlikeTheirLines(*db), 0);
    // Nor can B void the original now and hand its cash back a second time.
    EXPECT_EQ(kv::voidSale(*b, sale).cashBack, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSBITACORA WHERE EVENTO = 'DEVOLUCION' AND CONSECUTIVO = :N", n), 1);
}

TEST_F(AfterSaleServerTest, TheDrawerOpensOnlyForAPaymentTheServerStored)
{
    const auto printed = [](const kv::SaleDocumentKey&) { return kv::PrintResult::Printed; };
    // A collects a sale while B, at the same table, adds a line: nothing stored, no drawer.
    const int n = kvtest::startDocument(*a);
    ASSERT_TRUE(kvtest::ringUp(*a, {.producto = 4, .precio = 4000}));
    b->setParameterCompany(1);
    ASSERT_TRUE(b->openDocument("01", "POS", n));
    ASSERT_TRUE(kvtest::ringUp(*b, {.producto = 4, .precio = 1000}));
    EXPECT_EQ(kv::closeSale(*a, printed, 4000), kv::SaleClosing::Stays);
    EXPECT_EQ(pulses(), 0);
    EXPECT_EQ(dialogs.texts("message"),
              QStringList{QStringLiteral("La factura %1 cambió en otra caja mientras se cobraba; no se guardó el pago. "
                                         "Valor a pagar ahora: 5,000.00")
                              .arg(n)});
    EXPECT_TRUE(db->scalar("SELECT STATUS FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", n}}).isNull());

    // B takes the last number of the range: A's next sale cannot be issued, and however often
    // A tries, the drawer stays shut and nothing is stored.
    EXPECT_EQ(kv::closeSale(*a, printed, 5000), kv::SaleClosing::Closed);  // the new amount, 5,000
    EXPECT_EQ(pulses(), 1);
    settings.rangoHasta = n + 1;
    kv::saveElectronicSettings(*db, settings);
    ASSERT_EQ(kvtest::startDocument(*b), n + 1);
    const int late = kvtest::startDocument(*a);
    ASSERT_TRUE(kvtest::ringUp(*a, {.producto = 4, .precio = 700}));
    for (int attempt = 0; attempt < 3; ++attempt)
        EXPECT_THROW(kv::closeSale(*a, printed, 700), kv::Failure);
    EXPECT_EQ(pulses(), 1);
    EXPECT_TRUE(db->scalar("SELECT STATUS FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", late}}).isNull());
}

}  // namespace
