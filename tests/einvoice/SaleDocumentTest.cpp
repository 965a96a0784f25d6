// A closed sale as its electronic document, read from the stored sale as the registers store it:
// line discounts stated as the lines' allowances on the base that was taxed, every tax its base
// times its rate at line and document level while the payable stays what the sale charged; the
// number under the document type's own authorization and range; the note in the company's own
// series of notes.
#include "DocumentSamples.h"
#include "common/Numbers.h"
#include "common/SaleAmounts.h"
#include "einvoice/Certificate.h"
#include "einvoice/Cude.h"
#include "einvoice/ElectronicDocument.h"
#include "einvoice/Settings.h"
#include "platform/EnvScope.h"
#include "support/TestDb.h"

#include <QRegularExpression>

using namespace kv;

namespace {

struct SaleLine {
    double cantidad = 1;
    double precio = 0;  // unit price, taxes included
    double iva = 0;
    double ipoconsumo = 0;
    double descuento = 0;  // VALORDESCUENTO: taken off the line, taxes included
};

class SaleDocumentTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db->exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE, NIT, CIUDAD) VALUES ('01', 'TIENDA UNO SAS', '900123456-8', 'CALI')");
        db->exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE, PREFIJO) VALUES ('POS', 'FACTURA POS', 'TDA')");
        db->exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE, PREFIJO) VALUES ('PRS', 'FACTURA RESTAURANTE', 'RST')");
        key = std::make_unique<EnvScope>("KORVELA_KEY_FILE", dir.filePath("korvela.key").toUtf8());
        makeTestCertificate(dir.filePath("firma.p12"), "clave", "TIENDA UNO SAS", "900123456",
                            QDateTime::currentDateTimeUtc().addDays(-1), 365);
        settings.empresa = "01";
        settings.activo = true;
        settings.softwareId = "soft-1";
        settings.softwarePin = "12345";
        settings.certificado = dir.filePath("firma.p12");
        settings.claveCertificado = "clave";
        settings.resolucion = "18760000001";
        settings.prefijo = "SETP";
        settings.rangoDesde = 1;
        settings.rangoHasta = 1000;
        settings.fechaDesde = QDate::currentDate().addDays(-10);
        settings.fechaHasta = QDate::currentDate().addYears(1);
        settings.proveedorNit = "900123456";
        settings.tributo = "01";
        settings.municipio = "76001";
        saveElectronicSettings(*db, settings);
    }

    // Stores a closed sale as the registers do (each line priced by the registers' own
    // arithmetic) and returns what it charged, in cents.
    qint64 sale(const QString& documento, int n, const std::vector<SaleLine>& lines, double headerDiscount = 0,
                double tip = 0)
    {
        double charged = 0, discounts = 0;
        int linea = 0;
        for (const SaleLine& l : lines) {
            const LineTaxes t = lineTaxes(R(l.precio * l.cantidad * 100) / 100, l.descuento, l.iva, true, l.ipoconsumo);
            db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, "
                     "SUBTOTAL, IVA, VALORIVA, IPOCONSUMO, VALORIPOCONSUMO, VALORDESCUENTO) VALUES ('01', :D, :N, :L, 7, "
                     ":C, :S, :IVA, :VIVA, :IPO, :VIPO, :DESC)",
                     {{"D", documento}, {"N", n}, {"L", ++linea}, {"C", l.cantidad}, {"S", t.subtotal}, {"IVA", l.iva},
                      {"VIVA", t.valorIva}, {"IPO", l.ipoconsumo}, {"VIPO", t.valorIpoconsumo}, {"DESC", l.descuento}});
            charged += t.subtotal - l.descuento;
            discounts += l.descuento;
        }
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, STATUS, DESCUENTO, NETO, "
                 "VALORPROPINA, TIPODEPAGO) VALUES ('01', :D, :N, 1, :F, 'I', :DESC, :NETO, :TIP, 'C')",
                 {{"D", documento}, {"N", n}, {"F", QDateTime::currentDateTime()}, {"DESC", discounts + headerDiscount},
                  {"NETO", charged - headerDiscount}, {"TIP", tip}});
        return toCents(charged - headerDiscount + tip);
    }
    QByteArray stored(const QString& documento, int n)
    {
        const auto doc = storedDocument(*db, "01", documento, n);
        return doc ? doc->xml : QByteArray();
    }
    QByteArray issued(const QString& documento, int n)
    {
        issueSaleDocument(*db, "01", documento, n);
        return stored(documento, n);
    }

    std::unique_ptr<EnvScope> key;
    ElectronicSettings settings;
};

QString amountOf(const QByteArray& xml, const char* element)
{
    const QRegularExpression re(QStringLiteral("<cbc:%1 currencyID=\"COP\">([^<]*)<").arg(QLatin1String(element)));
    return re.match(QString::fromUtf8(xml)).captured(1);
}

TEST_F(SaleDocumentTest, TaxesAreEachBaseTimesItsRateAndThePayableIsWhatTheSaleCharged)
{
    const Certificate cert = loadCertificate(settings.certificado, settings.claveCertificado);
    const struct {
        const char* what;
        std::vector<SaleLine> lines;
        double headerDiscount, tip;
    } cases[] = {
        // Summed line by line, the rounded taxes drift from the bases' sum times the rate: forty
        // lines of 1 900 at 5 % charged 20 pesos of IVA less than 5 % of their bases.
        {"forty lines of 1 900 at 5 %", std::vector<SaleLine>(40, {1, 1900, 5, 0, 0}), 0, 0},
        {"INC 8 % with a tip", {{2, 27000, 0, 8, 0}, {1, 8640, 0, 8, 0}, {3, 3900, 0, 8, 0}, {1, 1000, 0, 8, 0}}, 0, 6200},
        // 11 900 with IVA 19 % less 1 190: stored as base 9 000 and IVA 1 710.
        {"a line discount", {{1, 11900, 19, 0, 1190}, {2, 4200, 5, 0, 0}, {1, 3500, 0, 0, 0}}, 0, 0},
        {"IVA and INC on one line, and a discount on the whole sale", {{3, 12345, 19, 8, 500}, {1, 999, 19, 0, 0}}, 1000, 0},
    };
    int n = 0;
    for (const auto& c : cases) {
        const qint64 charged = sale("POS", ++n, c.lines, c.headerDiscount, c.tip);
        const QByteArray xml = issued("POS", n);
        ASSERT_FALSE(xml.isEmpty()) << c.what;
        EXPECT_EQ(kvtest::amountProblems(xml).toStdString(), "") << c.what;
        EXPECT_EQ(amountOf(xml, "PayableAmount"), moneyText(charged)) << c.what;
        EXPECT_EQ(kvtest::schemaProblems(xml).toStdString(), "") << c.what;
        EXPECT_TRUE(kvtest::xmlsecVerifies(xml, cert)) << c.what;
    }
    // The discounted line: its base, its discount without IVA as its allowance, its price before it.
    const QString x = QString::fromUtf8(stored("POS", 3));
    EXPECT_TRUE(x.contains("<cbc:LineExtensionAmount currencyID=\"COP\">9000.00</cbc:LineExtensionAmount>"));
    EXPECT_TRUE(x.contains("<cbc:TaxAmount currencyID=\"COP\">1710.00</cbc:TaxAmount>"));
    EXPECT_TRUE(x.contains("<cbc:Amount currencyID=\"COP\">1000.00</cbc:Amount>"));
    EXPECT_TRUE(x.contains("<cbc:PriceAmount currencyID=\"COP\">10000.00</cbc:PriceAmount>"));
    EXPECT_FALSE(x.contains("<cbc:AllowanceTotalAmount currencyID=\"COP\">1190.00"));  // not taken off twice
    // The forty lines: the IVA stated is 5 % of the bases to the cent, and the few cents the
    // sale's own rounding leaves are said as rounding, never as tax.
    const QByteArray forty = stored("POS", 1);
    EXPECT_FALSE(amountOf(forty, "PayableRoundingAmount").isEmpty());
    EXPECT_LE(std::abs(amountOf(forty, "PayableRoundingAmount").toDouble()), 1.0);
}

TEST_F(SaleDocumentTest, EachDocumentTypeIsNumberedUnderItsOwnAuthorizationAndRange)
{
    saveAuthorization(*db, {"01", "POS", "18764000001234", "TDA", 1, 100, QDate::currentDate().addDays(-5),
                            QDate::currentDate().addYears(1), QString()});
    saveAuthorization(*db, {"01", "PRS", "18764000005678", "RST", 50, 60, QDate::currentDate().addDays(-5),
                            QDate::currentDate().addYears(1), QString()});
    sale("POS", 7, {{1, 5000, 19, 0, 0}});
    sale("PRS", 55, {{1, 27000, 0, 8, 0}});
    EXPECT_TRUE(issued("POS", 7).contains("<cbc:ID>TDA7</cbc:ID>"));
    const QByteArray restaurant = issued("PRS", 55);
    EXPECT_TRUE(restaurant.contains("<cbc:ID>RST55</cbc:ID>"));
    EXPECT_TRUE(restaurant.contains("<sts:InvoiceAuthorization>18764000005678</sts:InvoiceAuthorization>"));
    EXPECT_TRUE(restaurant.contains("<sts:From>50</sts:From>"));

    // Checked against its own range: 61 is outside the restaurant's, though inside the general one.
    sale("PRS", 61, {{1, 27000, 0, 8, 0}});
    try {
        issueSaleDocument(*db, "01", "PRS", 61);
        ADD_FAILURE() << "a number outside its authorization was issued";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.text().contains("fuera del rango autorizado")) << f.text().toStdString();
    }
    EXPECT_TRUE(signOnProblem(*db, "01", "PRS").contains("Se agotó el rango"));
    EXPECT_EQ(signOnProblem(*db, "01", "POS"), QString());

    // Two types left on the one general authorization would repeat its numbers: the second
    // document of a number is refused, not issued.
    removeAuthorization(*db, "01", "POS");
    removeAuthorization(*db, "01", "PRS");
    sale("POS", 8, {{1, 5000, 19, 0, 0}});
    sale("PRS", 8, {{1, 5000, 19, 0, 0}});
    EXPECT_TRUE(issued("POS", 8).contains("<cbc:ID>SETP8</cbc:ID>"));
    try {
        issueSaleDocument(*db, "01", "PRS", 8);
        ADD_FAILURE() << "a number was issued twice";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.text().contains("necesita su propia autorización")) << f.text().toStdString();
    }
    // With no authorization at all a type cannot issue, and the register is told at sign-on.
    settings.resolucion.clear();
    saveElectronicSettings(*db, settings);
    EXPECT_TRUE(signOnProblem(*db, "01", "PRS").contains("no tiene autorización de numeración"));
}

TEST_F(SaleDocumentTest, NotesAreNumberedInTheCompanysOwnSeries)
{
    for (int n = 1; n <= 2; ++n) {
        sale("POS", n, {{1, 5000, 19, 0, 0}});
        issueSaleDocument(*db, "01", "POS", n);
    }
    issueAdjustmentNote(*db, "01", "POS", 2);
    issueAdjustmentNote(*db, "01", "POS", 1);
    issueAdjustmentNote(*db, "01", "POS", 1);  // a sale has one note
    EXPECT_EQ(storedDocument(*db, "01", "POS", 2, kTipoNotaAjuste)->numero, "NA1");
    const auto note = storedDocument(*db, "01", "POS", 1, kTipoNotaAjuste);
    EXPECT_EQ(note->numero, "NA2");
    EXPECT_TRUE(note->xml.contains("<cbc:ReferenceID>SETP1</cbc:ReferenceID>"));
    EXPECT_EQ(kvtest::amountProblems(note->xml).toStdString(), "");
}

}  // namespace
