// One sale with IVA inside and added to its prices and a dish with Ipoconsumo, rung up and paid
// through the sales module, then read by everything that reads sales: the amount to pay, the
// receipts, the page invoice, the cash count, the IVA report, the accounting voucher, the daily
// update, the export by product and the electronic document. They all state the same amount, the same IVA and the same
// bases; the electronic document states each tax as its bases times its rate, within the sale's
// own rounding of the same IVA, and the same amount to pay.
#include "ShopFixture.h"
#include "TaxTable.h"
#include "backoffice/AccountingPosting.h"
#include "backoffice/DailyUpdate.h"
#include "backoffice/SalesExport.h"
#include "backoffice/UntMovimientoBaseIvaRpt1.h"
#include "common/Numbers.h"
#include "common/SaleAmounts.h"
#include "einvoice/ElectronicDocument.h"
#include "einvoice/Settings.h"
#include "platform/Workbook.h"
#include "pos/UntVentaCajaArqueoRpt5.h"
#include "print/InvoicePrinting.h"
#include "print/PageInvoice.h"
#include "support/TestDb.h"
#include "support/Xlsx.h"

#include <QSqlQuery>
#include <cmath>

using namespace kv;

namespace {

// The table's sale: one unit of each product.
constexpr double kPaid = 55486;       // what the customer pays
constexpr double kIva = 4508;         // 1,916 + 1,900 + 476 + 216
constexpr double kIpoconsumo = 1115;

class SaleTaxesAgreeTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedShop(*db);
        kvtest::seedTaxTable(*db);
        db->exec("INSERT INTO REGISTRO (NIT, NOMBRE) VALUES (900123456, 'TIENDA LA ESQUINA')");
        db->exec("INSERT INTO UNIDADES (UNIDAD, NOMBRE) VALUES ('UN', 'UNIDAD')");
        // The accounts of the voucher: revenue and IVA per product, the register's cash, the
        // consumption tax.
        db->exec("UPDATE PRODUCTOS SET CUENTACONTABLEV = '413505', CUENTACONTABLEIVAV = '240805'");
        db->exec("INSERT INTO CUENTASTAVRO (VENTASCONTADO, VENTASCREDITO, VENTASCHEQUE, VENTASTDEBITO, IPOCONSUMO, "
                 "PROPINA, DESCUENTO, EMPRESA) VALUES ('110505', '130505', '110510', '111005', '246405', '2805', "
                 "'530535', '01')");

        TDmVentas dm(*db);
        ASSERT_TRUE(dm.signOn(11));
        numero = kvtest::startDocument(dm);
        for (const kvtest::TaxCase& c : kvtest::kTaxCases)
            ASSERT_TRUE(kvtest::ringUp(dm, {.producto = c.producto, .precio = c.precio, .iva = c.iva,
                                            .ipoconsumo = c.ipoconsumo}));
        dm.TIniFac.Edit();
        dm.TIniFac["TIPODEPAGO"] = QStringLiteral("C");
        ASSERT_EQ(dm.closeWithPayment(11).kind, DocumentModule::ClosingOutcome::Closed);
    }

    SaleDocumentKey key() const { return {QStringLiteral("01"), QStringLiteral("POS"), numero}; }
    static QString money(double v) { return FormatFloat("###,###.00", v); }
    static QDate today() { return QDate::currentDate(); }
    // The text printed right after `caption`.
    static QString after(const QStringList& texts, const QString& caption)
    {
        return texts.indexOf(caption) < 0 ? QStringLiteral("<no %1>").arg(caption) : texts.value(texts.indexOf(caption) + 1);
    }
    double header(const char* column)
    {
        return db->scalar(QStringLiteral("SELECT %1 FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N").arg(QLatin1String(column)),
                          {{"N", numero}})
            .toDouble();
    }

    int numero = 0;
};

TEST_F(SaleTaxesAgreeTest, TheSaleItsPrintsItsCashCountItsReportsAndItsVoucherStateTheSameAmounts)
{
    kvtest::expectTaxesAddUp(*db, numero);
    EXPECT_DOUBLE_EQ(amountToPay([this](const char* c) { return header(c); }), kPaid);

    {
        SCOPED_TRACE("receipt with the tax summary");
        const QStringList t = renderInvoice(*db, key(), {InvoiceLayout::ReceiptA, true})->texts();
        EXPECT_EQ(after(t, "TOTAL FACTURA"), money(kPaid));
        // Each band's base is net of its tax, and the base times the rate gives the tax.
        EXPECT_EQ(after(t, "Base Ipoconsumo 8%  13,935.00"), money(kIpoconsumo));
        EXPECT_EQ(after(t, "Base Iva 5%  13,846.00"), money(476 + 216));     // 9,525 + 4,321
        EXPECT_EQ(after(t, "Base Iva 19%  20,082.00"), money(1916 + 1900));  // 10,083 + 9,999
    }
    {
        SCOPED_TRACE("receipt B");
        const QStringList t = renderInvoice(*db, key(), {InvoiceLayout::ReceiptB})->texts();
        EXPECT_EQ(after(t, "TOTAL FACTURA"), money(kPaid));
        EXPECT_EQ(after(t, "Iva"), money(kIva));
    }
    {
        SCOPED_TRACE("half-letter invoice");
        PageInvoice invoice(*db, 139.7);
        ASSERT_TRUE(invoice.open(key()));
        const Document doc = invoice.render();
        EXPECT_EQ(doc.named("Subtotal")->text, money(kPaid - kIva));
        EXPECT_EQ(doc.named("Iva")->text, money(kIva));
        EXPECT_EQ(doc.named("TotalFactura")->text, money(kPaid));
        EXPECT_EQ(doc.named("Pagar")->text, money(kPaid));
    }
    {
        SCOPED_TRACE("cash count");
        const Document doc = TFrmVentaCajaArqueoRpt5::build(*db, {today(), today(), "01", "POS", 11, {}})->render();
        EXPECT_EQ(doc.named("TotalVentas")->text, money(kPaid));
    }
    {
        SCOPED_TRACE("IVA report");
        TFrmMovimientoBaseIvaRpt1 rpt(*db);
        ASSERT_TRUE(rpt.open(QStringLiteral("01"), today(), today()));
        QStringList total;
        for (const QString& l : rpt.render().toText().split(QLatin1Char('\n')))
            if (l.simplified().startsWith(QLatin1String("Total")))
                total << l.simplified();
        // Exempt (2,000 and the dish net of its Ipoconsumo), 5 %, 8 %, 10 %, 16 %, 19 %, others,
        // Ipoconsumo, total.
        EXPECT_EQ(total, QStringList{"Total 15,935.00 692.00 13,846.00 .00 .00 .00 .00 .00 .00 3,816.00 20,082.00 "
                                     ".00 .00 1,115.00 55,486.00"});
    }
    {
        SCOPED_TRACE("accounting voucher");
        Connection tavro(QStringLiteral("TavroNi"));
        tavro.setLocation(kvtest::freshAccountingDatabase(dir.path()));
        tavro.open();
        AccountingPosting(*db, tavro).post({today(), QStringLiteral("POS")});
        auto sum = [&tavro](const char* where) {
            return tavro.scalar(QStringLiteral("SELECT COALESCE(SUM(VALOR), 0) FROM MOVIMIENTOCONTABLE WHERE ") +
                                QLatin1String(where))
                .toDouble();
        };
        EXPECT_DOUBLE_EQ(sum("TIPO = 'D'"), kPaid);
        EXPECT_DOUBLE_EQ(sum("TIPO = 'C'"), kPaid);
        EXPECT_DOUBLE_EQ(sum("CUENTA = '240805'"), kIva);
        EXPECT_DOUBLE_EQ(sum("CUENTA = '246405'"), kIpoconsumo);
        EXPECT_DOUBLE_EQ(sum("CUENTA = '413505'"), kPaid - kIva - kIpoconsumo);
    }
    {
        SCOPED_TRACE("daily update");
        DailyUpdate(*db).run(today(), today());
        EXPECT_DOUBLE_EQ(db->scalar("SELECT NETO FROM MOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", numero}}).toDouble(), kPaid);
        EXPECT_DOUBLE_EQ(db->scalar("SELECT IVA FROM MOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", numero}}).toDouble(), kIva);
        EXPECT_DOUBLE_EQ(db->scalar("SELECT SUM(SUBTOTAL) FROM MOVIMIENTODETALLE WHERE CONSECUTIVO = :N", {{"N", numero}})
                             .toDouble(),
                         kPaid);
    }
    {
        SCOPED_TRACE("electronic document");
        db->exec("UPDATE OR INSERT INTO EMPRESAS (EMPRESA, NOMBRE, NIT) VALUES ('01', 'TIENDA LA ESQUINA', '900123456') "
                 "MATCHING (EMPRESA)");
        const PosDocument d = readSaleDocument(*db, ElectronicSettings{}, QStringLiteral("01"), QStringLiteral("POS"),
                                               numero, QDateTime::currentDateTime());
        EXPECT_EQ(d.payable(), qint64(kPaid * 100));  // what the customer paid, whatever the taxes stated
        // The document states each tax as the bases' sum times the rate, as the DIAN recomputes
        // it; the sale rounded its taxes line by line, so the two may part by the sale's own
        // rounding (under half a peso a line), which the document says as rounding of the payable.
        const qint64 lines = qint64(d.lines.size());
        EXPECT_LE(std::abs(d.ivaTotal() - qint64(kIva * 100)), 50 * lines);
        EXPECT_LE(std::abs(d.incTotal() - qint64(kIpoconsumo * 100)), 50 * lines);
        EXPECT_EQ(d.taxInclusive() - d.discount + d.charge + d.rounding(), d.payable());
        for (const TaxGroup& g : d.ivaGroups())
            EXPECT_EQ(g.tax, taxOf(g.base, g.rate)) << g.rate;
        // Each line declares its tax as its base times its rate, as the DIAN recomputes it.
        for (const DocumentLine& l : d.lines) {
            SCOPED_TRACE(l.description.toStdString());
            EXPECT_EQ(l.iva, taxOf(l.lineExtension, l.ivaRate));
            EXPECT_EQ(l.inc, taxOf(l.lineExtension, l.incRate));
        }
    }
    {
        SCOPED_TRACE("export by product");
        const QString path = dir.filePath(QStringLiteral("productos.xlsx"));
        {
            Workbook wb(path);
            SalesExport::porProducto(*db, wb, QStringLiteral("01"), today(), today(), QString(), QString());
            wb.save();
        }
        const kvtest::XlsxSheet s = kvtest::readXlsx(path);
        const int total = s.lastRow();
        EXPECT_EQ(s.at(total, 2)->text, "Total");
        EXPECT_DOUBLE_EQ(s.at(total, 6)->number, kIva);
        EXPECT_DOUBLE_EQ(s.at(total, 6)->number + s.at(total, 7)->number, kPaid);
    }
}

}  // namespace
