// A day's sales posted as one accounting voucher: the accounts of each concept, returns on the
// other side, a voucher that always balances, replaced whole when the day is posted again, and a
// day that cannot be posted refused before anything changes.
#include "backoffice/AccountingPosting.h"
#include "backoffice/UntCuentasParametros.h"
#include "backoffice/UntVentasContabilidad.h"
#include "data/BulkInsert.h"
#include "support/TestDb.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

using namespace kv;

namespace {

const QDate kDay(2026, 3, 5);

struct Line {
    int producto;
    double subtotal, iva = 0, ipo = 0;
};

class AccountingPostingTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        tavro = std::make_unique<Connection>(QStringLiteral("TavroNi"));
        tavro->setLocation(kvtest::freshAccountingDatabase(dir.path()));
        tavro->open();
        db->exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE) VALUES ('POS', 'FACTURA POS')");
        db->exec("INSERT INTO CUENTASTAVRO (VENTASCONTADO, VENTASCREDITO, VENTASCHEQUE, VENTASTDEBITO, IPOCONSUMO, "
                 "PROPINA, DESCUENTO, EMPRESA) VALUES ('110505', '130505', '110510', '111005', '246405', '2805', "
                 "'530535', '01')");
        db->exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE, DIRECCION, ICA, AUTERRETENEDOR) "
                 "VALUES (800100200, '7', 'COMERCIAL ANDINA', 'CALLE 1', 'S', 'N')");
        struct P {
            int n;
            const char* nombre;
            const char* ventas;
            const char* iva;
        };
        for (const P& p : {P{1, "ARROZ", "413505", "240805"}, P{2, "ALMUERZO", "413510", "240805"},
                           P{3, "SIN CUENTA", "", "240805"}})
            db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD, CUENTACONTABLE, "
                     "CUENTACONTABLEV, CUENTACONTABLEIVAV) VALUES (:C, '01', 1, :P, :N, 'UN', '143505', :V, :I)",
                     {{"C", QString::number(p.n)}, {"P", p.n}, {"N", p.nombre},
                      {"V", *p.ventas ? QVariant(p.ventas) : QVariant()}, {"I", p.iva}});
    }

    // A sale as the sales module stores it: NETO is the sum of its lines; closed (paid) unless
    // `status` says otherwise (null: still open).
    void sale(int numero, const char* pago, const QList<Line>& lines, double descuento = 0, QDate day = kDay,
              const char* empresa = "01", double cliente = 800100200, const char* status = "I")
    {
        double neto = 0;
        int linea = 0;
        for (const Line& l : lines) {
            neto += l.subtotal;
            db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, SUBTOTAL, "
                     "VALORIVA, VALORIPOCONSUMO) VALUES (:E, 'POS', :N, :L, :P, :S, :I, :C)",
                     {{"E", empresa}, {"N", numero}, {"L", ++linea}, {"P", l.producto}, {"S", l.subtotal}, {"I", l.iva},
                      {"C", l.ipo}});
        }
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, NETO, SUBTOTAL, "
                 "DESCUENTO, TIPODEPAGO, STATUS) VALUES (:E, 'POS', :N, 1, :F, :CLIENTE, :T, :T, :D, :PAGO, :STATUS)",
                 {{"E", empresa}, {"N", numero}, {"F", QDateTime(day, QTime(10, numero % 60))}, {"CLIENTE", cliente},
                  {"T", neto}, {"D", descuento}, {"PAGO", pago}, {"STATUS", status ? QVariant(status) : QVariant()}});
    }

    PostingSummary post(bool summarised = false)
    {
        AccountingPosting posting(*db, *tavro);
        return posting.post({kDay, QStringLiteral("POS"), summarised});
    }

    // The voucher's lines as "ITEM TIPO CUENTA VALOR DETALLE".
    QStringList voucher()
    {
        QStringList out;
        QSqlQuery q = tavro->exec("SELECT ITEM, TIPO, CUENTA, VALOR, DETALLE, DOCUMENTO, CODIGOCENTROCOSTO FROM "
                                  "MOVIMIENTOCONTABLE WHERE NUMEROCOMPROBANTE = 20260305 ORDER BY ITEM");
        while (q.next())
            out << QStringLiteral("%1 %2 %3 %4 %5 | %6 %7")
                       .arg(q.value(0).toInt())
                       .arg(q.value(1).toString().trimmed(), q.value(2).toString().trimmed())
                       .arg(q.value(3).toDouble(), 0, 'f', 0)
                       .arg(q.value(4).toString().trimmed(), q.value(5).toString().trimmed(),
                            q.value(6).toString().trimmed());
        return out;
    }
    double side(const char* tipo)
    {
        return tavro->scalar("SELECT COALESCE(SUM(VALOR), 0) FROM MOVIMIENTOCONTABLE WHERE TIPO = :T", {{"T", tipo}}).toDouble();
    }

    std::unique_ptr<Connection> tavro;
};

TEST_F(AccountingPostingTest, EachConceptGoesToItsAccountAndTheVoucherBalances)
{
    sale(1, "C", {{1, 11900, 1900}});
    sale(2, "C", {{1, 11900, 1900}}, 1000);  // a discount granted at payment
    sale(3, "C", {{2, 10000, 0, 800}});      // consumption tax
    sale(4, "C", {{1, 10000, 1597}, {1, -3000, -479}});  // a return within the sale
    sale(5, "C", {});                                  // voided: no lines, totals 0
    const PostingSummary s = post();

    EXPECT_EQ(voucher(), (QStringList{
                             "1 D 110505 11900 Venta A COMERCIAL ANDINA | PS-1 01",
                             "2 C 413505 10000 Venta De ARROZ | PS-1 POS",
                             "3 C 240805 1900 Iva De ARROZ | PS-1 POS",
                             "4 D 110505 10900 Venta A COMERCIAL ANDINA | PS-2 01",
                             "5 D 530535 1000 Venta A COMERCIAL ANDINA | PS-2 01",
                             "6 C 413505 10000 Venta De ARROZ | PS-2 POS",
                             "7 C 240805 1900 Iva De ARROZ | PS-2 POS",
                             "8 D 110505 10000 Venta A COMERCIAL ANDINA | PS-3 01",
                             // revenue is the sales account, never the inventory one (143505)
                             "9 C 413510 9200 Venta De ALMUERZO | PS-3 POS",
                             "10 C 246405 800 Ipoconsumo De ALMUERZO | PS-3 POS",
                             "11 D 110505 7000 Venta A COMERCIAL ANDINA | PS-4 01",
                             "12 C 413505 8403 Venta De ARROZ | PS-4 POS",
                             "13 C 240805 1597 Iva De ARROZ | PS-4 POS",
                             // the returned item and its IVA go back on the debit side
                             "14 D 413505 2521 Venta De ARROZ | PS-4 POS",
                             "15 D 240805 479 Iva De ARROZ | PS-4 POS",
                             "16 D 110505 0 Venta A COMERCIAL ANDINA | PS-5 01",
                         }));
    EXPECT_DOUBLE_EQ(side("D"), side("C"));
    EXPECT_EQ(s.sales, 5);
    EXPECT_EQ(s.lines, 16);
    EXPECT_DOUBLE_EQ(s.debits, 43800);
    EXPECT_DOUBLE_EQ(s.credits, 43800);
    QSqlQuery h = tavro->exec("SELECT CODIGOCOMPANIA, CODIGOTIPOCOMPROBANTE, FECHA, VALORDB, VALORCR FROM COMPROBANTECONTABLE");
    ASSERT_TRUE(h.next());
    EXPECT_EQ(h.value(0).toString().trimmed(), "01");
    EXPECT_EQ(h.value(1).toString().trimmed(), "POS");
    EXPECT_EQ(h.value(2).toDateTime(), QDateTime(kDay, QTime(0, 0)));
    EXPECT_DOUBLE_EQ(h.value(3).toDouble(), 43800);
    EXPECT_DOUBLE_EQ(h.value(4).toDouble(), 43800);
    EXPECT_FALSE(h.next());
    // The customer the accounting product did not know, added once with the city of Bogotá.
    QSqlQuery t = tavro->exec("SELECT NIT, DV, RAZONSOCIAL, CODIGOCIUDAD, SUJETORETENCION, AUTORETENEDOR FROM TERCEROS");
    ASSERT_TRUE(t.next());
    EXPECT_EQ(t.value(0).toDouble(), 800100200.0);
    EXPECT_EQ(t.value(2).toString().trimmed(), "COMERCIAL ANDINA");
    EXPECT_EQ(t.value(3).toInt(), 11001);
    EXPECT_EQ(t.value(4).toString().trimmed(), "S");
    EXPECT_EQ(t.value(5).toString().trimmed(), "N");
    EXPECT_FALSE(t.next());
    EXPECT_EQ(s.newThirdParties, 1);
}

TEST_F(AccountingPostingTest, EachPaymentTypeDebitsItsAccount)
{
    const struct {
        const char* pago;
        const char* cuenta;
    } cases[] = {{"C", "110505"}, {"E", "130505"}, {"k", "130505"}, {"H", "110510"},
                 {"T", "111005"}, {"t", "111005"}, {"O", "110505"}, {"", "110505"}};
    int n = 0;
    for (const auto& c : cases)
        sale(++n, c.pago, {{1, 1000.0 * n}});
    post();
    n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pago);
        ++n;
        EXPECT_EQ(tavro->scalar("SELECT CUENTA FROM MOVIMIENTOCONTABLE WHERE TIPO = 'D' AND DOCUMENTO = :D",
                                {{"D", QStringLiteral("PS-%1").arg(n)}})
                      .toString()
                      .trimmed(),
                  c.cuenta);
    }
}

TEST_F(AccountingPostingTest, OnlyClosedSalesAreBooked)
{
    // A floor seller's document waiting for the paying register, and a sale left unpaid: neither
    // is a sale yet, so neither its payment nor its lines reach the voucher.
    sale(1, "C", {{1, 5000}});
    sale(2, "C", {{1, 7000}}, 0, kDay, "01", 800100200, nullptr);
    sale(3, "T", {{2, 9000}}, 0, kDay, "01", 800100200, nullptr);
    post();
    for (const char* doc : {"PS-2", "PS-3"})
        EXPECT_EQ(tavro->scalar("SELECT COUNT(*) FROM MOVIMIENTOCONTABLE WHERE DOCUMENTO = :D", {{"D", doc}}).toInt(), 0) << doc;
    EXPECT_DOUBLE_EQ(side("D"), 5000);
    EXPECT_DOUBLE_EQ(side("C"), 5000);
}

TEST_F(AccountingPostingTest, PostingADayAgainReplacesItsVoucherAndAnEmptyDayLeavesAnEmptyOne)
{
    sale(1, "C", {{1, 11900, 1900}});
    sale(2, "C", {{1, 5000}}, 0, kDay.addDays(1));  // another day: not posted
    post();
    db->exec("UPDATE POSMOVIMIENTO SET TIPODEPAGO = 'E' WHERE CONSECUTIVO = 1");
    post();
    EXPECT_EQ(voucher(), (QStringList{"1 D 130505 11900 Venta A COMERCIAL ANDINA | PS-1 01",
                                      "2 C 413505 10000 Venta De ARROZ | PS-1 POS",
                                      "3 C 240805 1900 Iva De ARROZ | PS-1 POS"}));
    EXPECT_EQ(tavro->scalar("SELECT COUNT(*) FROM COMPROBANTECONTABLE").toInt(), 1);
    EXPECT_EQ(tavro->scalar("SELECT COUNT(*) FROM TERCEROS").toInt(), 1);
    AccountingPosting posting(*db, *tavro);
    EXPECT_TRUE(posting.alreadyPosted({kDay}));
    EXPECT_FALSE(posting.alreadyPosted({kDay.addDays(2)}));
    // Cancelled half way: the voucher posted before stays as it was.
    db->exec("UPDATE POSMOVIMIENTO SET TIPODEPAGO = 'H' WHERE CONSECUTIVO = 1");
    EXPECT_EQ(posting.post({kDay}, [](int, int) { return false; }).sales, -1);
    EXPECT_EQ(voucher().value(0), "1 D 130505 11900 Venta A COMERCIAL ANDINA | PS-1 01");

    db->exec("DELETE FROM POSMOVIMIENTODETALLE");
    db->exec("DELETE FROM POSMOVIMIENTO");
    const PostingSummary s = post();
    EXPECT_EQ(s.sales, 0);
    EXPECT_TRUE(voucher().isEmpty());
    EXPECT_EQ(tavro->scalar("SELECT COUNT(*) FROM COMPROBANTECONTABLE WHERE VALORDB = 0").toInt(), 1);
}

TEST_F(AccountingPostingTest, ADayThatCannotBePostedIsRefusedWholeAndThePreviousVoucherStays)
{
    sale(1, "C", {{1, 11900, 1900}});
    post();
    const QStringList before = voucher();

    struct Case {
        const char* what;
        std::function<void()> breakIt;
        const char* tipo;
        QStringList problems;
    };
    const Case cases[] = {
        {"a product without sales account, a missing product and customer",
         [&] {
             sale(2, "C", {{3, 5000}, {99, 100}});
             db->exec("UPDATE POSMOVIMIENTO SET CLIENTE = 123 WHERE CONSECUTIVO = 2");
         },
         "POS",
         {"La venta PS-2 de la empresa 01 es de un cliente que no existe (123).",
          "Falta la cuenta de ventas del producto 3 SIN CUENTA.",
          "La línea 2 de la venta PS-2 de la empresa 01 es de un producto que no existe (99)."}},
        {"an account the accounting product cannot hold and a missing discount account",
         [&] {
             db->exec("UPDATE CUENTASTAVRO SET VENTASCONTADO = '1105050000000001', DESCUENTO = NULL");
             sale(3, "C", {{1, 1000}}, 100);
         },
         "POS",
         {"La cuenta 1105050000000001 (\"Ventas de Contado Efectivo\") tiene más de 15 caracteres: el programa contable "
          "no la admite.",
          "Falta la cuenta de \"Descuento\"."}},
        {"a voucher type that is no document type, typed with a quote", [] {}, "POS' OR '1'='1",
         {"El tipo de comprobante \"POS' OR '1'='1\" no existe en los tipos de documento."}},
        {"totals that are not the sum of the lines: the sale is named",
         [&] { db->exec("UPDATE POSMOVIMIENTO SET NETO = 20000 WHERE CONSECUTIVO = 1"); },
         "POS",
         {"La venta PS-1 de la empresa 01 no cuadra: débitos 20000.00 y créditos 11900.00; revise que su total sea la "
          "suma de sus líneas."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.breakIt();
        AccountingPosting posting(*db, *tavro);
        try {
            posting.post({kDay, QString::fromUtf8(c.tipo)});
            ADD_FAILURE() << "posted";
        } catch (const PostingRefused& e) {
            for (const QString& p : c.problems)
                EXPECT_TRUE(e.problems().contains(p)) << e.text().toStdString();
            EXPECT_FALSE(e.tooManyLines());
        }
        EXPECT_EQ(voucher(), before);
        // Put the day back as it was for the next case.
        db->exec("DELETE FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO > 1");
        db->exec("DELETE FROM POSMOVIMIENTO WHERE CONSECUTIVO > 1");
        db->exec("UPDATE POSMOVIMIENTO SET NETO = 11900");
        db->exec("UPDATE CUENTASTAVRO SET VENTASCONTADO = '110505', DESCUENTO = '530535'");
    }
}

TEST_F(AccountingPostingTest, TwoCompaniesSaleOneOfTheSameDayEachPostWithTheirOwnCustomerAndLines)
{
    db->exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (71000111, '3', 'ANA PEREZ')");
    sale(1, "C", {{1, 11900, 1900}});
    sale(1, "E", {{2, 5000}}, 0, kDay, "02", 71000111);  // the other company's first sale
    const PostingSummary s = post();
    EXPECT_EQ(s.sales, 2);
    EXPECT_EQ(voucher(), (QStringList{
                             "1 D 110505 11900 Venta A COMERCIAL ANDINA | PS-1 01",
                             "2 C 413505 10000 Venta De ARROZ | PS-1 POS",
                             "3 C 240805 1900 Iva De ARROZ | PS-1 POS",
                             "4 D 130505 5000 Venta A ANA PEREZ | PS-1 02",
                             "5 C 413510 5000 Venta De ALMUERZO | PS-1 POS",
                         }));
    EXPECT_EQ(tavro->scalar("SELECT COUNT(*) FROM MOVIMIENTOCONTABLE WHERE NIT = 71000111 AND TIPO = 'C'").toInt(), 1);

    // Summarised, each company's sale keeps its own lines too.
    post(true);
    EXPECT_EQ(voucher().size(), 5);
}

TEST_F(AccountingPostingTest, ADayTooLongForTheVoucherIsOfferedSummarisedPerAccountAndSale)
{
    // One sale whose revenue and IVA lines would number past what the accounting product holds.
    const int lines = AccountingPosting::kMaxLines / 2 + 1;
    {
        Transaction t(*db);
        BulkInsert d(*db, "POSMOVIMIENTODETALLE",
                     {"EMPRESA", "DOCUMENTO", "CONSECUTIVO", "LINEA", "PRODUCTO", "SUBTOTAL", "VALORIVA", "VALORIPOCONSUMO"});
        for (int i = 1; i <= lines; ++i)
            d.add({"01", "POS", 1, i, 1 + i % 2, 1190.0, 190.0, 0.0});
        t.commit();
    }
    db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, NETO, SUBTOTAL, "
             "DESCUENTO, TIPODEPAGO, STATUS) VALUES ('01', 'POS', 1, 1, :F, 800100200, :T, :T, 0, 'C', 'I')",
             {{"F", QDateTime(kDay, QTime(9, 0))}, {"T", 1190.0 * lines}});
    try {
        post();
        ADD_FAILURE() << "posted";
    } catch (const PostingRefused& e) {
        EXPECT_TRUE(e.tooManyLines());
        EXPECT_TRUE(e.text().contains("resumido por cuenta y venta")) << e.text().toStdString();
    }
    EXPECT_EQ(tavro->scalar("SELECT COUNT(*) FROM COMPROBANTECONTABLE").toInt(), 0);

    const PostingSummary s = post(true);
    EXPECT_EQ(s.lines, 4);  // the payment, the revenue of each of the two products' accounts, the IVA
    EXPECT_EQ(voucher().size(), 4);
    EXPECT_DOUBLE_EQ(side("D"), 1190.0 * lines);
    EXPECT_DOUBLE_EQ(side("C"), 1190.0 * lines);
}

TEST_F(AccountingPostingTest, TheScreenPostsTheChosenDayAsksBeforeReplacingAndSaysWhatWasRefused)
{
    sale(1, "C", {{1, 11900, 1900}});
    TFrmVentasContabilidad f(*db, *tavro);
    f.show();
    EXPECT_EQ(f.MonthCalendar1->selectedDate(), QDate::currentDate());
    EXPECT_EQ(f.Edit1->text(), "POS");
    f.MonthCalendar1->setSelectedDate(kDay);

    QTest::mouseClick(f.Contabilizar1, Qt::LeftButton);
    EXPECT_EQ(voucher().size(), 3);
    EXPECT_EQ(dialogs.texts("message").value(0),
              "Comprobante POS 20260305 contabilizado.\nVentas: 1   Líneas: 3\nDébitos: 11,900.00   Créditos: 11,900.00   "
              "Terceros nuevos: 1");
    EXPECT_EQ(f.Panel2->text(), " Contabilizado");

    // Again: asked first; No leaves the voucher as it is.
    dialogs.clear();
    db->exec("UPDATE POSMOVIMIENTO SET TIPODEPAGO = 'E'");
    dialogs.answers = {false};
    QTest::mouseClick(f.Contabilizar1, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts("confirm"), QStringList{"El día ya fue contabilizado. ¿Desea reemplazar el comprobante?"});
    EXPECT_EQ(voucher().value(0), "1 D 110505 11900 Venta A COMERCIAL ANDINA | PS-1 01");

    // A refused day says why, and the previous voucher stays.
    dialogs.clear();
    db->exec("UPDATE CUENTASTAVRO SET VENTASCREDITO = NULL");
    dialogs.answers = {true};
    QTest::mouseClick(f.Contabilizar1, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts("message"),
              QStringList{"No se contabilizó el día; el comprobante anterior no cambió.\nFalta la cuenta de \"tarjeta de "
                          "Credito\"."});
    EXPECT_EQ(voucher().value(0), "1 D 110505 11900 Venta A COMERCIAL ANDINA | PS-1 01");
}

TEST_F(AccountingPostingTest, TheAccountsWindowEditsTheFirstRowAndCreatesItWhenTheTableIsEmpty)
{
    db->exec("DELETE FROM CUENTASTAVRO");
    {
        TFrmCuentasParametros f(*db);
        f.show();
        EXPECT_EQ(f.DBEdit1->accessibleName(), "Ventas de Contado Efectivo");
        f.DBEdit1->setFocus();
        QTest::keyClicks(f.DBEdit1, "110505");
        f.DBEdit8->setFocus();
        QTest::keyClicks(f.DBEdit8, "01");
        dialogs.replies = {Reply::Yes};
        QTest::mouseClick(f.BitBtn1, Qt::LeftButton);
        EXPECT_EQ(dialogs.texts("yesNoCancel"), QStringList{"¿Desea grabar los cambios?"});
    }
    const PostingAccounts a = readPostingAccounts(*db);
    EXPECT_EQ(a.contado, "110505");
    EXPECT_EQ(a.empresa, "01");
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM CUENTASTAVRO").toInt(), 1);
    // Opened again it shows that row, and a change goes to it.
    TFrmCuentasParametros f(*db);
    f.show();
    EXPECT_EQ(f.DBEdit1->text(), "110505");
    f.DBEdit7->setFocus();
    QTest::keyClicks(f.DBEdit7, "530535");
    dialogs.replies = {Reply::Yes};
    QTest::mouseClick(f.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(readPostingAccounts(*db).descuento, "530535");
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM CUENTASTAVRO").toInt(), 1);
}

}  // namespace
