// The half-letter and letter invoices, read back from their Documents: letterhead and check digit,
// customer and dates, lines net of IVA, the bases by rate, totals and amount in words, the logo, page
// breaks, and documents with missing pieces.
#include "InvoiceFixture.h"
#include "support/TestDb.h"

#include "print/UntVentaCajaFacturaRptC.h"
#include "print/UntVentaCajaFacturaRptM.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

using namespace kv;
using kvtest::line;

namespace {

class PageInvoiceTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedInvoiceShop(*db);
    }

    Document letter(const SaleDocumentKey& key)
    {
        TFrmVentaCajaFacturaRptC layout(*db);
        EXPECT_TRUE(layout.open(key));
        return layout.render();
    }
    Document halfLetter(const SaleDocumentKey& key)
    {
        TFrmVentaCajaFacturaRptM layout(*db);
        EXPECT_TRUE(layout.open(key));
        return layout.render();
    }
};

QString textOf(const Document& doc, const char* name)
{
    const DocItem* d = doc.named(QString::fromLatin1(name));
    return d ? d->text : QStringLiteral("<no %1>").arg(QString::fromLatin1(name));
}

QStringList textsNamed(const Document& doc, const char* name)
{
    QStringList out;
    for (const DocItem* d : doc.findNamed(QString::fromLatin1(name)))
        out.append(d->text);
    return out;
}

}  // namespace

TEST_F(PageInvoiceTest, LetterInvoicePrintsLetterheadCustomerLinesTotalsAndWords)
{
    // A soda of 11,900 with 1,900 of IVA inside, and rice of 5,000 without IVA.
    const Document doc = letter(kvtest::saveDocument(*db, {}, {line(2, 1, 11900, 19, 1900), line(1, 1, 5000)}));

    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(doc.pageSize, QSizeF(215.9, 279.4));
    EXPECT_EQ(textOf(doc, "RegistroNombre"), QStringLiteral("TIENDA LA ESQUINA"));
    EXPECT_EQ(textOf(doc, "RegistroDireccion"), QStringLiteral("Direccion CRA 7 # 12-30  "));
    EXPECT_EQ(textOf(doc, "TelefonosRegistro"), QStringLiteral("Telefonos 601 2345678  "));
    EXPECT_EQ(textOf(doc, "MailRegistro"), QStringLiteral("ventas@laesquina.co"));
    for (const char* fixed : {"FACTURA DE", "VENTA No.", "Fecha Factura", "Fecha Vencimiento", "Razon Social",
                              "Codigo", "Descripcion", "Cantidad", "Valor Unidad", "%Iva", "Valor", "Base 5% Iva",
                              "Base 10% Iva", "Base 19% Iva", "Base 20% Iva", "Base Exenta", "SUBTOTAL", "Iva",
                              "TOTAL FACTURA", "Autorizo _________", "Separo _________", "Reviso _________"})
        EXPECT_EQ(doc.findText(QString::fromLatin1(fixed)).size(), 1) << fixed;
    EXPECT_EQ(textOf(doc, "Numero"), QStringLiteral("000042"));
    EXPECT_EQ(textOf(doc, "FechaFactura"), QStringLiteral("05  mar  2024"));
    EXPECT_EQ(textOf(doc, "FechaVencimiento"), QStringLiteral("05  mar  2024"));  // no credit term
    EXPECT_EQ(textOf(doc, "DescuentoPagoAnticipado"), QString());
    EXPECT_EQ(textOf(doc, "NOMBRECLIENTE"), QStringLiteral("JOSE PEREZ"));
    EXPECT_EQ(textOf(doc, "NitCliente"), QStringLiteral("79,456,123-0"));
    EXPECT_EQ(textOf(doc, "DIRECCIONCLIENTE"), QStringLiteral("CALLE 10 # 3-21"));
    EXPECT_EQ(textOf(doc, "TELEFONOCLIENTE"), QStringLiteral("310 4567890"));

    EXPECT_EQ(textsNamed(doc, "Codigo"), QStringList({"[2]", "[1]"}));
    EXPECT_EQ(textsNamed(doc, "Descripcion"), QStringList({"GASEOSA UN * 1", "ARROZ UN * 1"}));
    EXPECT_EQ(textsNamed(doc, "CANTIDAD"), QStringList({"1.00", "1.00"}));
    EXPECT_EQ(textsNamed(doc, "PRECIOUNIDAD"), QStringList({"11,900.00", "5,000.00"}));
    EXPECT_EQ(textsNamed(doc, "IVA"), QStringList({"19%", "00%"}));
    // Each line's value and each base are net of IVA: the base of 19 % is the soda's 10,000.
    EXPECT_EQ(textsNamed(doc, "Valor"), QStringList({"10,000.00", "5,000.00"}));
    EXPECT_EQ(textOf(doc, "Base19"), QStringLiteral("10,000.00"));
    EXPECT_EQ(textOf(doc, "BaseExenta"), QStringLiteral("5,000.00"));
    for (const char* none : {"Base5", "Base10", "Base20"})
        EXPECT_EQ(textOf(doc, none), QStringLiteral(".00")) << none;
    EXPECT_EQ(textOf(doc, "Subtotal"), QStringLiteral("15,000.00"));
    EXPECT_EQ(textOf(doc, "Iva"), QStringLiteral("1,900.00"));
    EXPECT_EQ(textOf(doc, "TotalFactura"), QStringLiteral("16,900.00"));
    EXPECT_EQ(textOf(doc, "Son"), QStringLiteral("Son: DIEZ Y SEIS MIL NOVECIENTOS   PESOS  M/CTE"));
    EXPECT_EQ(textOf(doc, "Resolucion"), QStringLiteral("RESOLUCION DIAN 1234 DEL 2024"));

    // The line rows below the heading row, the totals below the lines.
    EXPECT_GT(doc.named("PRECIOUNIDAD")->rect.top(), doc.findText("Valor Unidad")[0]->rect.bottom());
    EXPECT_GT(doc.named("Subtotal")->rect.top(), doc.findNamed("PRECIOUNIDAD").last()->rect.bottom());
    EXPECT_TRUE(doc.named("Subtotal")->alignment & Qt::AlignRight);
    EXPECT_NEAR(doc.named("Subtotal")->rect.right(), 215.9 - 10, 0.01);
}

TEST_F(PageInvoiceTest, TheWordsStateTheInvoiceTotalAndTheRowsBelowLeadToWhatIsToPay)
{
    kvtest::InvoiceHeader h;
    h.valorPropina = 2500;
    h.descuento = 1000;
    h.abono = 5000.0;
    const SaleDocumentKey key = kvtest::saveDocument(*db, h, {line(1, 1, 25000)});
    for (const Document& doc : {letter(key), halfLetter(key)}) {
        EXPECT_EQ(textOf(doc, "TotalFactura"), QStringLiteral("25,000.00"));
        EXPECT_EQ(textOf(doc, "Son"), QStringLiteral("Son: VEINTE Y CINCO MIL  PESOS  M/CTE"));
        EXPECT_EQ(textOf(doc, "Servicio"), QStringLiteral("2,500.00"));
        EXPECT_EQ(textOf(doc, "Descuento"), QStringLiteral("1,000.00"));
        EXPECT_EQ(textOf(doc, "Abono"), QStringLiteral("5,000.00"));
        // 25,000 + 2,500 - 1,000 - 5,000
        EXPECT_EQ(textOf(doc, "Pagar"), QStringLiteral("21,500.00"));
        for (const char* caption : {"Servicio", "Descuento -", "Abono -", "Valor A Pagar"})
            EXPECT_EQ(doc.findText(QString::fromLatin1(caption)).size(), 1) << caption;
        // From the total down to what is to pay, in that order.
        EXPECT_LT(doc.named("TotalFactura")->rect.top(), doc.named("Servicio")->rect.top());
        EXPECT_LT(doc.named("Abono")->rect.top(), doc.named("Pagar")->rect.top());
    }
}

TEST_F(PageInvoiceTest, EachRateGoesToItsBaseAndEveryInvoiceStartsFromZero)
{
    // Lines of 10,000 net at each rate; 16 % (and 0 %) count as exempt.
    const QList<kvtest::InvoiceLine> lines = {line(3, 1, 10500, 5, 500),   line(5, 1, 11000, 10, 1000),
                                              line(2, 1, 11900, 19, 1900), line(2, 1, 12000, 20, 2000),
                                              line(5, 1, 11600, 16, 1600), line(1, 1, 10000)};
    const SaleDocumentKey key = kvtest::saveDocument(*db, {}, lines);
    TFrmVentaCajaFacturaRptC layout(*db);
    ASSERT_TRUE(layout.open(key));
    for (int printing = 1; printing <= 2; ++printing) {
        const Document doc = layout.render();
        for (const char* base : {"Base5", "Base10", "Base19", "Base20"})
            EXPECT_EQ(textOf(doc, base), QStringLiteral("10,000.00")) << base << " printing " << printing;
        EXPECT_EQ(textOf(doc, "BaseExenta"), QStringLiteral("20,000.00")) << "printing " << printing;
    }
    kvtest::InvoiceHeader next;
    next.consecutivo = 43;
    const Document other = letter(kvtest::saveDocument(*db, next, {line(1, 1, 700)}));
    EXPECT_EQ(textOf(other, "Base19"), QStringLiteral(".00"));
    EXPECT_EQ(textOf(other, "BaseExenta"), QStringLiteral("700.00"));
}

TEST_F(PageInvoiceTest, CreditTermGivesTheDueDateAndTheDiscountSentence)
{
    kvtest::InvoiceHeader h;
    h.fecha = QDateTime(QDate(2024, 3, 1), QTime(9, 0));
    h.plazo = 30;
    const Document doc = letter(kvtest::saveDocument(*db, h, {line(1, 1, 5000)}));
    EXPECT_EQ(textOf(doc, "FechaFactura"), QStringLiteral("01  mar  2024"));
    EXPECT_EQ(textOf(doc, "FechaVencimiento"), QStringLiteral("31  mar  2024"));
    EXPECT_EQ(textOf(doc, "DescuentoPagoAnticipado"),
              QStringLiteral("Si PAGA Antes de _____________Tomar _____% De Descuento"));
    EXPECT_EQ(doc.findText("Bod: Cajas [___]  Rollos [___]  Bolsas [___]  Planchas [___]").size(), 1);
    EXPECT_EQ(doc.findText("Alm: Cajas [___]  Rollos [___]  Bolsas [___]  Planchas [___]").size(), 1);
}

TEST_F(PageInvoiceTest, BusinessNitCarriesItsOwnCheckDigit)
{
    const SaleDocumentKey key = kvtest::saveDocument(*db, {}, {line(1, 1, 5000)});
    // Not among the third parties: the digit of the DIAN rule (900123456 gives 8).
    EXPECT_EQ(textOf(letter(key), "NitRegistro"), QStringLiteral("Nit : 900,123,456-8"));
    // Recorded as a third party: the digit recorded there.
    db->exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (900123456, '3', 'TIENDA LA ESQUINA')");
    EXPECT_EQ(textOf(letter(key), "NitRegistro"), QStringLiteral("Nit : 900,123,456-3"));
}

TEST_F(PageInvoiceTest, LogoPrintsWhenItIsAPictureAndIsLeftOutOtherwise)
{
    const SaleDocumentKey key = kvtest::saveDocument(*db, {}, {line(1, 1, 5000)});
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");

    db->exec("UPDATE REGISTRO SET LOGO = :L", {{"L", png}});
    const Document with = letter(key);
    const DocItem* logo = with.named("RegistroLogo");
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->image.size(), QSize(40, 20));
    EXPECT_EQ(logo->rect.topLeft(), QPointF(10, 5));

    db->exec("UPDATE REGISTRO SET LOGO = :L", {{"L", QByteArray("not a picture at all")}});
    const Document without = letter(key);
    EXPECT_FALSE(without.named("RegistroLogo"));
    EXPECT_EQ(textOf(without, "RegistroNombre"), QStringLiteral("TIENDA LA ESQUINA"));
    EXPECT_EQ(textOf(without, "TotalFactura"), QStringLiteral("5,000.00"));
}

TEST_F(PageInvoiceTest, HalfLetterDiffersFromLetterOnlyInPageLengthAndBreaks)
{
    QList<kvtest::InvoiceLine> lines;
    for (int i = 0; i < 30; ++i)
        lines.append(line(1 + i % 2, 1 + i, 1000));
    const SaleDocumentKey key = kvtest::saveDocument(*db, {}, lines);
    const Document half = halfLetter(key), full = letter(key);

    EXPECT_EQ(half.pageSize, QSizeF(215.9, 139.7));
    EXPECT_EQ(full.pageSize, QSizeF(215.9, 279.4));
    EXPECT_GT(half.pageCount(), full.pageCount());
    EXPECT_EQ(half.texts(), full.texts());
    for (const Document* doc : {&half, &full}) {
        const double bottom = doc->pageSize.height() - 10;
        for (int p = 0; p < doc->pageCount(); ++p)
            for (const DocItem& d : doc->pages[p].items)
                EXPECT_LE(d.rect.bottom(), bottom + 1e-6) << d.text.toStdString() << " page " << p + 1;
        // The header on the first page only, the totals after the last line.
        EXPECT_EQ(doc->findText("Razon Social").size(), 1);
        EXPECT_EQ(doc->findText("Razon Social", 0).size(), 1);
        EXPECT_EQ(doc->findText("TOTAL FACTURA", doc->pageCount() - 1).size(), 1);
        EXPECT_EQ(doc->findNamed("PRECIOUNIDAD").size(), 30);
    }
}

TEST_F(PageInvoiceTest, MissingProductPackingOrBusinessRowsStillPrintEveryLineOnce)
{
    kvtest::InvoiceLine lost = line(9, 1, 7000);  // product 9 is not in the catalogue
    kvtest::InvoiceLine unpriced = line(1, 1, 3000);
    unpriced.unidad = QStringLiteral("CJ");  // rice has no price for a box
    const SaleDocumentKey key = kvtest::saveDocument(*db, {}, {lost, unpriced});

    db->exec("INSERT INTO REGISTRO (NOMBRE, NIT) VALUES ('OTRA FILA', 1)");  // a second business row
    Document doc = letter(key);
    EXPECT_EQ(textsNamed(doc, "Codigo"), QStringList({"[9]", "[1]"}));
    EXPECT_EQ(textsNamed(doc, "Descripcion"), QStringList({" UN * ", "ARROZ CJ * "}));
    EXPECT_EQ(textOf(doc, "BaseExenta"), QStringLiteral("10,000.00"));
    EXPECT_EQ(textOf(doc, "Son"), QStringLiteral("Son: DIEZ MIL  PESOS  M/CTE"));

    db->exec("DELETE FROM REGISTRO");
    doc = letter(key);
    EXPECT_EQ(textOf(doc, "RegistroNombre"), QString());
    EXPECT_EQ(textOf(doc, "NitRegistro"), QStringLiteral("Nit : "));
    EXPECT_EQ(doc.findNamed("PRECIOUNIDAD").size(), 2);
    EXPECT_EQ(textOf(doc, "TotalFactura"), QStringLiteral("10,000.00"));
}
