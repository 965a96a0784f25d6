#pragma once
// The small shop of ShopFixture with what the register screen needs on top: packings with their
// unit names (listed in the table with the dozen before the unit), a barcode, an open-price
// product and a product without any price; and the keys a cashier presses to ring up a line.
#include "ShopFixture.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaVp.h"
#include "support/Keyboard.h"
#include "support/TestDb.h"

#include <memory>

namespace kvtest {

// PRODUCTOSVALORVENTA   4 TINTO: DO (Docena) *12 at 24,000 (stored first), UN at 2,000
//                       1 ARROZ: UN at 11,600, barcode 7701234567890
//                       3 ALMUERZO: UN at 0 (open price)
//                       5 JABON: UN at 10,001
//                       2 VINO: no price row
// SALDOS                4 TINTO: 30 units
// POSARQUEO             register 1 opened today with 100,000
inline constexpr const char* kArrozBarcode = "7701234567890";
void seedRegister(kv::Connection& db);

// A signed-on cashier (11, register 1, company 01) on the main sale screen, shown and active.
class RegisterTest : public DbTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sets a column of cashier 11 and signs him on again.
    void setCashier(const char* column, const QString& value);
    // Customer box and Enter.
    void startSale(const QString& customer = QStringLiteral("222222222"));
    // The keys of one line: the code and Enter, `downs` times Down in the packing group and Enter,
    // the quantity and Enter.
    void ringUp(const QString& code, int downs = 0, const QString& quantity = QStringLiteral("1"));

    int lines();
    double stored(const QString& sql, const QVariantMap& params = {});
    QString texts() const { return dialogs.texts().join(QLatin1Char('|')); }

    std::unique_ptr<kv::TDmVentas> dm;
    std::unique_ptr<kv::TFrmVentaCajaVp> screen;
};

}  // namespace kvtest
