// "Tablero de Ventas": the figures of a small day worked out by hand (a cash sale, a credit sale
// with a discount, a void, a refund inside a sale, an open document, a restaurant bill with INC and
// service, a sale the week before and one the day after), the rows behind the bars, and the screen:
// its charts hold those figures, a click lists the rows, the printout has the titles and totals.
#include "backoffice/SalesDashboard.h"
#include "backoffice/UntTableroVentas.h"
#include "platform/EnvScope.h"
#include "pos/ShopFixture.h"
#include "support/PdfReading.h"
#include "support/TestDb.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <functional>
#include <tuple>

using namespace kv;

namespace {

const QDate kDay(2026, 3, 10);  // a Tuesday; compared with Tuesday 3 March

class TableroVentasTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedShop(*db);
        db->exec("INSERT INTO REGISTRO (NOMBRE, NIT) VALUES ('LA CANDELARIA', 900123456)");
        db->exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE) VALUES ('01', 'TIENDA')");
        db->exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE) VALUES ('02', 'RESTAURANTE')");
        db->exec("INSERT INTO GRUPOS (GRUPO, NOMBRE) VALUES ('01', 'MERCADO')");
        db->exec("INSERT INTO GRUPOS (GRUPO, NOMBRE) VALUES ('02', 'COCINA')");
        db->exec("UPDATE PRODUCTOS SET GRUPO = '02' WHERE PRODUCTO = 3");
        // ARROZ costs 4,000 a unit on average; VINO's line carries its own cost; the rest have none.
        db->exec("UPDATE PRODUCTOS SET VALORPROMEDIO = 4000 WHERE PRODUCTO = 1");
        db->exec("INSERT INTO MESERO (CEDULA, NOMBRE) VALUES (5001, 'MESERO PEDRO')");

        // 1: cash, ARROZ 2 x 5,800 (IVA 16 inside: 1,600) and TINTO 2,000.
        sale(1, 9, 15, "C", {{1, 2, 11600, 1600}, {4, 1, 2000}});
        // 2: credit, VINO 10,000 + IVA 1,600, its line's cost 6,000, 600 off at payment.
        sale(2, 10, 40, "E", {{2, 1, 11600, 1600, 0, 6000}}, 600);
        // 3: voided (lines gone, totals 0); the trail kept its 7,000.
        sale(3, 10, 55, "C", {});
        db->exec("INSERT INTO POSBITACORA (FECHA, EVENTO, EMPRESA, DOCUMENTO, CONSECUTIVO, VALORANTES, VALORDESPUES) "
                 "VALUES (:F, 'ANULACION', '01', 'POS', 3, 7000, 0)",
                 {{"F", QDateTime(kDay, QTime(11, 0))}});
        // 4: JABON 3 x 2,100 (IVA 5 inside: 300) and one ARROZ handed back (-5,800, IVA -800).
        sale(4, 16, 20, "C", {{5, 3, 6300, 300}, {1, -1, -5800, -800}});
        // 5: still open: counts nowhere.
        sale(5, 17, 0, QString(), {{4, 1, 2000}}, 0, false);
        // 6: the restaurant (company 02, register 2, branch 4): ALMUERZO 2 x 16,200 with INC 8
        // inside (2,400), waiter 5001, card, 10 % service.
        sale(6, 20, 30, "T", {{3, 2, 32400, 0, 2400}}, 0, true, "02", 2, 22, 5001, 3240);
        // The Tuesday before, and the day after.
        sale(7, 9, 5, "C", {{4, 5, 10000}}, 0, true, "01", 1, 11, 11, 0, kDay.addDays(-7));
        sale(8, 8, 0, "C", {{4, 1, 2000}}, 0, true, "01", 1, 11, 11, 0, kDay.addDays(1));

        // Electronic documents: accepted, rejected, waiting to be sent, and the void's note failing.
        for (const auto& [n, tipo, estado] : {std::tuple{1, "20", "A"}, std::tuple{2, "20", "R"},
                                              std::tuple{4, "20", "P"}, std::tuple{3, "94", "E"}})
            db->exec("INSERT INTO POSDOCUMENTOELECTRONICO (EMPRESA, DOCUMENTO, CONSECUTIVO, TIPO, NUMERO, FECHA, "
                     "ESTADO) VALUES ('01', 'POS', :N, :T, :NUM, :F, :E)",
                     {{"N", n}, {"T", tipo}, {"NUM", QStringLiteral("TDA%1").arg(n)},
                      {"F", QDateTime(kDay, QTime(21, 0))}, {"E", estado}});
    }

    struct Line {
        int producto;
        double cantidad, subtotal, valorIva = 0, valorIpo = 0, costo = 0;
    };
    void sale(int n, int hour, int minute, const QString& pago, const QList<Line>& lines, double descuento = 0,
              bool closed = true, const char* empresa = "01", double caja = 1, double cajero = 11,
              double vendedor = 11, double servicio = 0, QDate day = kDay)
    {
        double neto = 0, iva = 0;
        int linea = 0;
        const QString documento = QLatin1String(empresa) == QLatin1String("02") ? QStringLiteral("PRS") : QStringLiteral("POS");
        for (const Line& l : lines) {
            neto += l.subtotal;
            iva += l.valorIva;
            db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, "
                     "CANTIDADRECIBIDA, PRECIOUNIDAD, SUBTOTAL, VALORIVA, VALORIPOCONSUMO, DESCUENTO, COSTO, "
                     "UNIDADMOVIMIENTO) VALUES (:E, :D, :N, :L, :P, :C, :C, :PU, :S, :V, :I, 0, :K, 'UN')",
                     {{"E", empresa}, {"D", documento}, {"N", n}, {"L", ++linea}, {"P", l.producto},
                      {"C", l.cantidad}, {"PU", l.subtotal / l.cantidad}, {"S", l.subtotal}, {"V", l.valorIva},
                      {"I", l.valorIpo}, {"K", l.costo ? QVariant(l.costo) : QVariant()}});
        }
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, STATUS, SUBTOTAL, "
                 "DESCUENTO, IVA, NETO, VENDEDOR, TIPODEPAGO, CAJA, CAJERO, VALORPROPINA) VALUES (:E, :D, :N, :B, :F, "
                 "222222222, :S, :NETO, :DESC, :IVA, :NETO, :V, :T, :CAJA, :CAJERO, :P)",
                 {{"E", empresa}, {"D", documento}, {"N", n}, {"B", caja == 2 ? 4 : 3},
                  {"F", QDateTime(day, QTime(hour, minute))}, {"S", closed ? QVariant("I") : QVariant()},
                  {"NETO", neto}, {"DESC", descuento}, {"IVA", iva}, {"V", vendedor},
                  {"T", pago.isEmpty() ? QVariant() : QVariant(pago)}, {"CAJA", caja}, {"CAJERO", cajero},
                  {"P", servicio}});
    }

    DashboardFilter day(const QString& empresa = QString(), const QVariant& caja = QVariant()) const
    {
        return DashboardFilter{kDay, kDay, empresa, QVariant(), caja};
    }
    int rowsBehind(DashboardChart chart, const QVariant& key)
    {
        const DashboardDrill d = drillStatement(day(), chart, key);
        int n = 0;
        QSqlQuery q = db->exec(d.sql, d.params);
        while (q.next())
            ++n;
        return n;
    }
};

TEST_F(TableroVentasTest, TheDaysFiguresAsWorkedOutByHand)
{
    const DashboardFigures fig = readDashboard(*db, day(), DashboardPeriod::Today);
    const DashboardTotals& t = fig.totals;
    struct Case {
        const char* what;
        double got, expected;
    };
    const Case cases[] = {
        // 13,600 + (11,600 - 600) + 0 (void) + (6,300 - 5,800) + 32,400; the open one left out
        {"ventas", t.ventas, 57500},
        {"numero de ventas", double(t.numeroVentas), 4},
        {"ticket promedio", t.ticketPromedio(), 14375},
        {"descuentos", t.descuentos, 600},
        {"anulaciones", double(t.anulaciones), 1},
        {"valor anulado", t.valorAnulado, 7000},
        {"devoluciones", t.devoluciones, 5800},
        {"iva", t.iva, 1600 + 1600 + 300 - 800},
        {"inc", t.inc, 2400},
        {"servicio", t.servicio, 3240},
        {"abiertos", double(t.abiertos), 1},
        // VINO: base 10,000 less its line's 6,000; ARROZ: one unit net, base 5,000 less 4,000.
        {"costo", t.costo, 10000},
        {"margen", t.margen(), 5000},
        {"ventas con costo", t.ventasConCosto, 11600 + 11600 - 5800},
        {"ventas de las lineas", t.ventasLineas, 58100},
        {"anterior: ventas", fig.previous.ventas, 10000},
        {"anterior: numero", double(fig.previous.numeroVentas), 1},
        {"hora 9", fig.porHora[9].valor, 13600},
        {"hora 10 (la anulada no cuenta)", fig.porHora[10].cantidad, 1},
        {"hora 16", fig.porHora[16].valor, 500},
        {"hora 17 (abierta)", fig.porHora[17].valor, 0},
        {"hora 20", fig.porHora[20].valor, 32400},
        {"hora 9 anterior", fig.porHoraAnterior[9].valor, 10000},
        {"un dia", double(fig.porDia.size()), 1},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(c.got, c.expected) << c.what;

    auto captions = [](const std::vector<DashboardBar>& bars) {
        QStringList out;
        for (const DashboardBar& b : bars)
            out << QStringLiteral("%1=%2").arg(b.caption).arg(b.valor ? b.valor : b.cantidad);
        return out.join(QLatin1String(", "));
    };
    EXPECT_EQ(captions(fig.topValor), "ALMUERZO=32400, VINO=11600, JABON=6300, ARROZ=5800, TINTO=2000");
    EXPECT_EQ(fig.topCantidad.front().caption, "JABON");
    EXPECT_EQ(captions(fig.porGrupo), "COCINA=32400, MERCADO=25700");
    EXPECT_EQ(captions(fig.porPago), "TARJETAS VISA MASTER=32400, EFECTIVO CONTADO=14100, CREDITO CUENTAS POR COBRAR=11000");
    EXPECT_EQ(captions(fig.porCajero), "CAJERO 22=32400, CAJERO 11=25100");
    EXPECT_EQ(captions(fig.porVendedor), "MESERO PEDRO=32400, CAJERO 11=25100");
    EXPECT_EQ(captions(fig.documentosElectronicos),
              "Aceptados=1, Rechazados=1, Por enviar=1, Con falla, en espera=1");
}

TEST_F(TableroVentasTest, CompanyAndRegisterNarrowEveryFigure)
{
    const DashboardTotals shop = readTotals(*db, day(QStringLiteral("01")));
    EXPECT_DOUBLE_EQ(shop.ventas, 25100);
    EXPECT_EQ(shop.numeroVentas, 3);
    EXPECT_DOUBLE_EQ(shop.inc, 0);
    const DashboardTotals restaurant = readTotals(*db, day(QString(), 2.0));
    EXPECT_DOUBLE_EQ(restaurant.ventas, 32400);
    EXPECT_DOUBLE_EQ(restaurant.inc, 2400);
    EXPECT_FALSE(restaurant.hayCosto());  // no product of the bill has a cost: no margin shown
    bool margin = false;
    DashboardFigures fig;
    fig.totals = restaurant;
    for (const QVariantMap& r : totalsRows(fig))
        margin = margin || r.value("CONCEPTO").toString().startsWith("Margen");
    EXPECT_FALSE(margin);
}

TEST_F(TableroVentasTest, PeriodsAndTheOnesTheyAreComparedWith)
{
    struct Case {
        DashboardPeriod period;
        QDate today, first, last, prevFirst, prevLast;
    };
    const Case cases[] = {
        {DashboardPeriod::Today, kDay, kDay, kDay, QDate(2026, 3, 3), QDate(2026, 3, 3)},
        {DashboardPeriod::Yesterday, kDay, QDate(2026, 3, 9), QDate(2026, 3, 9), QDate(2026, 3, 2), QDate(2026, 3, 2)},
        {DashboardPeriod::ThisWeek, kDay, QDate(2026, 3, 9), kDay, QDate(2026, 3, 2), QDate(2026, 3, 3)},
        {DashboardPeriod::ThisMonth, QDate(2026, 3, 31), QDate(2026, 3, 1), QDate(2026, 3, 31), QDate(2026, 2, 1),
         QDate(2026, 2, 28)},
    };
    for (const Case& c : cases) {
        const auto [first, last] = periodDays(c.period, c.today);
        EXPECT_EQ(first, c.first) << int(c.period);
        EXPECT_EQ(last, c.last) << int(c.period);
        const DashboardFilter prev = previousPeriod(DashboardFilter{first, last, {}, {}, {}}, c.period);
        EXPECT_EQ(prev.first, c.prevFirst) << int(c.period);
        EXPECT_EQ(prev.last, c.prevLast) << int(c.period);
    }
    // A range given backwards is taken forwards; it is compared with as many days just before.
    const auto [first, last] = periodDays(DashboardPeriod::Range, kDay, QDate(2026, 3, 12), QDate(2026, 3, 10));
    EXPECT_EQ(first, QDate(2026, 3, 10));
    const DashboardFilter prev = previousPeriod(DashboardFilter{first, last, {}, {}, {}}, DashboardPeriod::Range);
    EXPECT_EQ(prev.first, QDate(2026, 3, 7));
    EXPECT_EQ(prev.last, QDate(2026, 3, 9));
}

TEST_F(TableroVentasTest, TheRowsBehindEachBar)
{
    EXPECT_EQ(rowsBehind(DashboardChart::PorHora, 10), 1);          // the void of 10:55 is not a sale
    EXPECT_EQ(rowsBehind(DashboardChart::PorHora, 17), 0);          // the open document
    EXPECT_EQ(rowsBehind(DashboardChart::TopValor, 1), 2);          // ARROZ sold and handed back
    EXPECT_EQ(rowsBehind(DashboardChart::PorGrupo, "02"), 1);
    EXPECT_EQ(rowsBehind(DashboardChart::PorPago, "C"), 2);
    EXPECT_EQ(rowsBehind(DashboardChart::PorVendedor, 5001.0), 1);
    EXPECT_EQ(rowsBehind(DashboardChart::DocumentosElectronicos, "A"), 1);
    EXPECT_EQ(rowsBehind(DashboardChart::PorDia, kDay), 4);
    const DashboardDrill d = drillStatement(day(), DashboardChart::PorCajero, 11.0);
    const QVariantMap sum = [&] {
        QSqlQuery q = db->exec(d.sumSql, d.params);
        q.next();
        return QVariantMap{{"N", q.value(0)}, {"VALOR", q.value(1)}};
    }();
    EXPECT_EQ(sum.value("N").toInt(), 3);
    EXPECT_DOUBLE_EQ(sum.value("VALOR").toDouble(), 25100);
}

QList<double> values(QChartView* view, int set = 0)
{
    const auto* series = static_cast<QAbstractBarSeries*>(view->chart()->series().first());
    QList<double> out;
    const QBarSet* s = series->barSets().at(set);
    for (int i = 0; i < s->count(); ++i)
        out << s->at(i);
    return out;
}

TEST_F(TableroVentasTest, TheScreenDrawsTheDayAndListsTheRowsOfABar)
{
    TFrmTableroVentas f(*db, nullptr, kDay);
    f.show();

    // The tile of the sales, with the Tuesday before beside it.
    QFrame* ventas = nullptr;
    for (QFrame* tile : f.findChildren<QFrame*>())
        if (tile->objectName().startsWith("Tile") && tile->accessibleName() == "Ventas")
            ventas = tile;
    ASSERT_TRUE(ventas);
    EXPECT_EQ(ventas->findChild<QLabel*>("Valor")->text(), "57,500.00");
    EXPECT_EQ(ventas->findChild<QLabel*>("Anterior")->text(), "Anterior: 10,000.00  (+475.0 %)");

    // The hours from the first sale (9:15) to the last (20:30).
    const QList<double> hours = values(f.chartView(DashboardChart::PorHora));
    ASSERT_EQ(hours.size(), 12);
    EXPECT_EQ(f.barsShown(DashboardChart::PorHora).front().key.toInt(), 9);
    EXPECT_EQ(hours[0], 13600);
    EXPECT_EQ(hours[1], 11000);
    EXPECT_EQ(hours[11], 32400);
    EXPECT_EQ(values(f.chartView(DashboardChart::PorHora), 1)[0], 10000);
    // Horizontal bars run bottom up: the best seller is the last category, drawn at the top.
    QChartView* top = f.chartView(DashboardChart::TopValor);
    EXPECT_EQ(values(top), QList<double>({2000, 5800, 6300, 11600, 32400}));
    auto* axis = static_cast<QBarCategoryAxis*>(top->chart()->axes(Qt::Vertical).first());
    EXPECT_EQ(axis->categories().last(), "ALMUERZO");
    EXPECT_EQ(values(f.chartView(DashboardChart::DocumentosElectronicos)), QList<double>({1, 1, 1, 1}));
    // Two products of one name still get a bar each: the axis keeps as many captions as bars.
    db->exec("UPDATE PRODUCTOS SET NOMBRE = 'ARROZ' WHERE PRODUCTO = 5");
    f.BtnActualizarClick();
    const auto* renamed = static_cast<QBarCategoryAxis*>(top->chart()->axes(Qt::Vertical).first());
    EXPECT_EQ(renamed->count(), 5);
    db->exec("UPDATE PRODUCTOS SET NOMBRE = 'JABON' WHERE PRODUCTO = 5");
    f.BtnActualizarClick();
    top = f.chartView(DashboardChart::TopValor);

    // A click on ARROZ's bar lists its two lines.
    const auto& shown = f.barsShown(DashboardChart::TopValor);
    const int arroz = int(std::find_if(shown.begin(), shown.end(), [](const DashboardBar& b) { return b.caption == "ARROZ"; }) -
                          shown.begin());
    auto* series = static_cast<QAbstractBarSeries*>(top->chart()->series().first());
    emit series->barSets().first()->clicked(arroz);
    auto* detail = f.findChild<QDialog*>("FrmDetalleTablero");
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->findChild<QTableView*>("GridDetalle")->model()->rowCount(), 2);
    EXPECT_EQ(detail->findChild<QLabel*>("LblTotalDetalle")->text(), "2 líneas del 10/03/2026 por 5,800.00");
    detail->close();

    // The register narrows the charts too.
    f.CmbCaja->setCurrentIndex(f.CmbCaja->findData(2.0));
    f.BtnActualizarClick();
    EXPECT_EQ(values(f.chartView(DashboardChart::PorHora)), QList<double>({32400}));
    EXPECT_EQ(values(f.chartView(DashboardChart::PorHora), 1), QList<double>({0}));
}

TEST_F(TableroVentasTest, PrintsTheTotalsAndEveryChartAndSavesAChartAsPng)
{
    TFrmTableroVentas f(*db, nullptr, kDay);
    const QString printed = dir.filePath("impresos");
    QDir().mkpath(printed);
    {
        EnvScope printTo("KORVELA_PRINT_TO", printed.toUtf8());
        f.BtnImprimirClick();
    }
    const QStringList pdfs = QDir(printed).entryList({"*.pdf"});
    ASSERT_EQ(pdfs.size(), 1);
    const QString text = kvtest::pdfText(QDir(printed).filePath(pdfs.first()));
    for (const char* expected : {"TABLERO DE VENTAS", "Periodo : 10/03/2026", "Comparado con : 03/03/2026", "Ventas",
                                 "57,500.00", "10,000.00", "+475.0 %", "Devoluciones", "5,800.00", "INC (Ipoconsumo)",
                                 "2,400.00", "Margen bruto", "5,000.00", "Ventas por hora del día",
                                 "Documentos electrónicos por estado"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;

    const QString png = dir.filePath("horas.png");
    ASSERT_TRUE(f.saveChartPng(DashboardChart::PorHora, png));
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(1900, 1000));
    // Not a blank page: the bars are drawn in the chart's colour.
    bool coloured = false;
    for (int y = 0; y < image.height() && !coloured; y += 5)
        for (int x = 0; x < image.width() && !coloured; x += 5)
            coloured = image.pixelColor(x, y) == QColor(31, 119, 180);
    EXPECT_TRUE(coloured);
    EXPECT_FALSE(f.saveChartPng(DashboardChart::PorHora, dir.filePath("no-existe/horas.png")));
    EXPECT_EQ(dialogs.last(), "No se pudo guardar la imagen en " + QDir::toNativeSeparators(dir.filePath("no-existe/horas.png")) + ".");
}

}  // namespace

// Not part of the test run: the dashboard on the demo shop, this month, for looking at it under
// Xvfb. With KV_LOOK_AT=DIR each tab is saved there as a picture and the printout as a PDF:
//
//     KV_LOOK_AT=/tmp/look QT_QPA_PLATFORM=xcb xvfb-run -s '-screen 0 1366x768x24' test_backoffice
//         --gtest_also_run_disabled_tests --gtest_filter='*LookAtTheDemo*'
class TableroVentasDemo : public kvtest::DemoDbTest {};

TEST_F(TableroVentasDemo, DISABLED_LookAtTheDemo)
{
    const QString look = qEnvironmentVariable("KV_LOOK_AT", dir.path());
    QDir().mkpath(look);
    TFrmTableroVentas f(*db);
    f.move(0, 0);
    f.show();
    f.CmbPeriodo->setCurrentIndex(int(DashboardPeriod::ThisMonth));
    f.CmbPeriodoChange();
    for (int tab = 0; tab < f.PageGraficos->count(); ++tab) {
        f.PageGraficos->setCurrentIndex(tab);
        QTest::qWait(300);
        f.grab().save(QDir(look).filePath(QStringLiteral("tablero-%1.png").arg(tab)));
    }
    EnvScope printTo("KORVELA_PRINT_TO", look.toUtf8());
    f.BtnImprimirClick();
    if (qEnvironmentVariableIsSet("KV_LOOK_AT"))
        f.exec();
}
