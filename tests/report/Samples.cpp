#include "Samples.h"

#include "common/Numbers.h"
#include "report/Barcode.h"

#include <QBuffer>
#include <QDateTime>
#include <QImage>
#include <QPainter>

using namespace kv;

namespace kvtest {

namespace {

Sample make(const QString& title, QList<QVariantMap> rows)
{
    Sample s;
    s.report = std::make_unique<Report>(title);
    s.rows = std::make_unique<VectorRowSource>(std::move(rows));
    s.report->setSource(*s.rows);
    s.report->setPrintTime(QDateTime(QDate(2024, 3, 5), QTime(15, 7)));
    return s;
}

QList<QVariantMap> saleLines(int lines)
{
    QList<QVariantMap> rows;
    for (int i = 1; i <= lines; ++i) {
        QString name = QStringLiteral("PRODUCTO %1").arg(i);
        if (i % 5 == 0)
            name += QStringLiteral(" EMPAQUE FAMILIAR CON DESCRIPCION LARGA QUE NO CABE");
        rows.append({{QStringLiteral("CONSECUTIVO"), 42},
                     {QStringLiteral("FECHA"), QDateTime(QDate(2024, 3, 5), QTime(15, 7))},
                     {QStringLiteral("LINEA"), i},
                     {QStringLiteral("PRODUCTO"), 100 + i},
                     {QStringLiteral("NOMBREPRODUCTO"), name},
                     {QStringLiteral("UNIDAD"), QStringLiteral("UN")},
                     {QStringLiteral("CANTIDAD"), double(i % 3 + 1)},
                     {QStringLiteral("PRECIOUNIDAD"), 1000.0 * i},
                     {QStringLiteral("IVA"), i % 2 ? 19 : 0},
                     {QStringLiteral("VALORIVA"), i % 2 ? 190.0 * i : 0.0},
                     {QStringLiteral("SUBTOTAL"), 1000.0 * i * (i % 3 + 1)}});
    }
    return rows;
}

void invoiceLayout(Report& r)
{
    const double W = r.page().printableWidth();
    Band& t = r.titleBand().setHeight(46);
    t.addImage(0, 0, 30, 20, logoPng()).named(QStringLiteral("Logo"));
    t.addText(35, 0, 110, 5, QStringLiteral("SUPERMERCADO LA ESQUINA")).centre().bold().size(12);
    t.addText(35, 6, 110, 4, QStringLiteral("Nit : 900,123,456-5")).centre();
    t.addText(35, 10, 110, 4, QStringLiteral("Direccion Calle 10 # 4-21  ")).centre();
    t.addText(35, 14, 110, 4, QStringLiteral("Telefonos 601 555 0101  ")).centre();
    t.addText(150, 0, W - 150, 4, QStringLiteral("FACTURA DE")).centre().bold();
    t.addText(150, 4, W - 150, 4, QStringLiteral("VENTA No.")).centre().bold();
    t.addRect(150, 8.5, W - 150, 7);
    t.addField(150, 9.5, W - 150, 5, QStringLiteral("CONSECUTIVO"), QStringLiteral("000000"))
        .named(QStringLiteral("Numero"))
        .centre()
        .bold()
        .size(12);
    t.addText(150, 17, 22, 4, QStringLiteral("Fecha Factura")).size(6);
    t.addField(150, 20, 22, 4, QStringLiteral("FECHA")).withDatePicture(QStringLiteral("dd  mmm  yyyy")).size(7);
    t.addText(173, 24, 22, 4, QStringLiteral("Razon Social")).size(6);
    t.addText(0, 26, 140, 5, QStringLiteral("DISTRIBUIDORA EL CLIENTE S.A.S.")).bold().size(10);
    t.addText(0, 32, 100, 4, QStringLiteral("Nit 800,555,123-1"));
    t.addRect(0, 40, W, 5.5);
    const char* heads[] = {"Codigo", "Descripcion", "Cantidad", "Valor Unidad", "%Iva", "Valor"};
    const double xs[] = {1, 20, 100, 125, 150, 165};
    for (int i = 0; i < 6; ++i)
        t.addText(xs[i], 41, 25, 4, QString::fromLatin1(heads[i])).bold();

    Band& d = r.detail().setHeight(4);
    d.addField(0, 0, 19, 4, QStringLiteral("PRODUCTO")).withPrefix(QStringLiteral("[")).withSuffix(QStringLiteral("]"));
    d.addField(20, 0, 78, 4, QStringLiteral("NOMBREPRODUCTO")).wrap();
    d.addField(100, 0, 22, 4, QStringLiteral("CANTIDAD"), QStringLiteral("###,###.00")).right();
    d.addField(123, 0, 25, 4, QStringLiteral("PRECIOUNIDAD"), QStringLiteral("###,###.00")).right();
    d.addField(150, 0, 10, 4, QStringLiteral("IVA"), QStringLiteral("00%"));
    d.addField(160, 0, W - 160, 4, QStringLiteral("VALOR"), QStringLiteral("###,###.00")).named(QStringLiteral("Valor")).right();
    d.beforePrint = [](BandEvent& e) {
        e.band.item(QStringLiteral("Valor")).setValue(e.row.value(QStringLiteral("SUBTOTAL")).toDouble() -
                                                      e.row.value(QStringLiteral("VALORIVA")).toDouble());
    };
    auto rateSum = [](double rate, bool exempt) {
        return [rate, exempt](const RowSource& row) {
            const double iva = row.value(QStringLiteral("IVA")).toDouble();
            const bool match = exempt ? (iva != 5 && iva != 10 && iva != 19 && iva != 20) : iva == rate;
            return match ? row.value(QStringLiteral("SUBTOTAL")).toDouble() : 0.0;
        };
    };
    r.addTotal(QStringLiteral("Base19"), rateSum(19, false));
    r.addTotal(QStringLiteral("BaseExenta"), rateSum(0, true));
    r.addTotal(QStringLiteral("Total"), QStringLiteral("SUBTOTAL"));

    Band& s = r.summary().setHeight(34);
    s.addLine(0, 1, W, 1, 0.3);
    s.addText(0, 2, 30, 4, QStringLiteral("Base 19% Iva")).size(7);
    s.addSystem(0, 6, 30, 4, ValueSource::Total, QStringLiteral("Base19")).withPicture(QStringLiteral("###,###.00"));
    s.addText(35, 2, 30, 4, QStringLiteral("Base Exenta")).size(7);
    s.addSystem(35, 6, 30, 4, ValueSource::Total, QStringLiteral("BaseExenta")).withPicture(QStringLiteral("###,###.00"));
    s.addText(140, 2, 30, 4, QStringLiteral("TOTAL FACTURA")).bold();
    s.addSystem(165, 2, W - 165, 4, ValueSource::Total, QStringLiteral("Total"))
        .withPicture(QStringLiteral("###,###.00"))
        .right()
        .bold();
    s.addRect(0, 11, 130, 9);
    s.addText(1, 12, 128, 4, QStringLiteral("Son: CIENTO VEINTE MIL PESOS M/CTE")).wrap();
    s.addText(0, 22, W, 3, QStringLiteral("Resolucion DIAN 18760000001 de 2024 del 1 al 50000")).centre().size(5);
    s.addText(0, 28, 60, 4, QStringLiteral("Autorizo _________"));
    s.addText(70, 28, 60, 4, QStringLiteral("Separo _________"));
    s.addText(140, 28, 55, 4, QStringLiteral("Reviso _________"));
}

}  // namespace

QByteArray logoPng()
{
    QImage img(240, 160, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 90, 160));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(20, 10, 200, 140));
    p.setPen(Qt::white);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(30);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(20, 10, 200, 140), Qt::AlignCenter, QStringLiteral("LA\nESQUINA"));
    p.end();
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes;
}

Sample rollReceipt(int lines)
{
    Sample s = make(QStringLiteral("FACTURA"), saleLines(lines));
    Report& r = *s.report;
    r.page() = PageSetup::rollPaper(72.76, 279.4);
    r.page().top = 5;
    r.page().bottom = 5;
    const double W = r.page().printableWidth();

    Band& t = r.titleBand().setHeight(30);
    t.addText(0, 0, W, 3.5, QStringLiteral("SUPERMERCADO LA ESQUINA")).centre().bold();
    t.addText(0, 3.5, W, 3.5, QStringLiteral("NIT 900.123.456-5")).centre();
    t.addText(2, 8, 24, 5, QStringLiteral("Factura No.")).size(10);
    t.addField(26, 7.5, 30, 6, QStringLiteral("CONSECUTIVO")).named(QStringLiteral("Numero")).size(13).bold();
    t.addField(0, 14, W - 2, 3.5, QStringLiteral("FECHA"))
        .withDatePicture(QStringLiteral(" dd, mmm, yyyy, \" - \"  hh:nn am/pm"))
        .right();
    t.addText(2, 18, W, 3.5, QStringLiteral("800,555,123-1  DISTRIBUIDORA EL CLIENTE"));
    t.addText(2, 24, 10, 3.5, QStringLiteral("Can.")).bold();
    t.addText(W - 22, 24, 20, 3.5, QStringLiteral("Valor")).bold().right();
    t.addLine(0, 28.5, W, 28.5);

    Band& d = r.detail().setHeight(3.5);
    d.addField(2, 0, 7, 3.5, QStringLiteral("CANTIDAD")).named(QStringLiteral("Cantidad"));
    d.addField(9, 0, 42, 3.5, QStringLiteral("NOMBREPRODUCTO")).named(QStringLiteral("Descripcion")).wrap();
    d.addField(50, 0, W - 52, 3.5, QStringLiteral("SUBTOTAL"), QStringLiteral("###,###.##"))
        .named(QStringLiteral("Valor"))
        .right();

    r.addTotal(QStringLiteral("Neto"), QStringLiteral("SUBTOTAL"));
    Band& sum = r.summary().setHeight(24);
    sum.addLine(0, 1, W, 1);
    sum.addText(2, 2, 30, 3.5, QStringLiteral("TOTAL FACTURA")).bold();
    sum.addSystem(30, 2, W - 32, 3.5, ValueSource::Total, QStringLiteral("Neto"))
        .withPicture(QStringLiteral("###,###.00"))
        .right()
        .bold();
    sum.addText(0, 8, W, 3.5, QStringLiteral("GRACIAS POR SU COMPRA")).centre();
    sum.addText(2, 20, 4, 3.5, QStringLiteral("."));
    return s;
}

Sample halfLetterInvoice(int lines)
{
    Sample s = make(QStringLiteral("FACTURA MEDIA CARTA"), saleLines(lines));
    s.report->page() = PageSetup::halfLetter();
    PageSetup& p = s.report->page();
    p.top = 5;
    p.bottom = 10;
    p.left = 10;
    p.right = 10;
    invoiceLayout(*s.report);
    return s;
}

Sample letterInvoice(int lines)
{
    Sample s = make(QStringLiteral("FACTURA CARTA"), saleLines(lines));
    PageSetup& p = s.report->page();
    p.top = 5;
    p.bottom = 10;
    invoiceLayout(*s.report);
    return s;
}

Sample letterListing(int rowsPerGroup)
{
    QList<QVariantMap> rows;
    const QString types = QStringLiteral("CHT");
    int number = 1000;
    for (QChar type : types)
        for (int i = 0; i < rowsPerGroup; ++i, ++number)
            rows.append({{QStringLiteral("TIPODEPAGO"), QString(type)},
                         {QStringLiteral("FECHA"), QDate(2024, 3, 5)},
                         {QStringLiteral("CONSECUTIVO"), number},
                         {QStringLiteral("CLIENTE"), 79000000.0 + number},
                         {QStringLiteral("NOMBRE"), QStringLiteral("CLIENTE %1").arg(number)},
                         {QStringLiteral("SUBTOTAL"), 1000.0 * (i + 1)}});
    Sample s = make(QStringLiteral("VENTAS DIARIAS POR TIPO DE PAGO"), std::move(rows));
    Report& r = *s.report;
    const double W = r.page().printableWidth();

    Band& ph = r.pageHeader().setHeight(16);
    ph.addText(0, 0, 60, 4, QStringLiteral("SISTEMA P.O.S.")).bold();
    ph.addText(0, 4, W, 5, r.title).centre().bold().size(11);
    ph.addText(140, 0, 15, 4, QStringLiteral("Impreso"));
    ph.addSystem(155, 0, W - 155, 4, ValueSource::PrintTime)
        .named(QStringLiteral("Impreso"))
        .withDatePicture(QStringLiteral("dd/mm/yyyy hh:nn"))
        .right();
    ph.addText(140, 9, 15, 4, QStringLiteral("Pagina"));
    ph.addSystem(155, 9, W - 155, 4, ValueSource::PageNumber).named(QStringLiteral("Pagina")).right();
    ph.addText(0, 10, 100, 4, QStringLiteral("SUPERMERCADO LA ESQUINA  Nit : 900,123,456"));

    Band& ch = r.columnHeader().setHeight(6);
    const char* heads[] = {"Fecha", "Consecutivo", "Identificacion", "Cliente", "Valor"};
    const double xs[] = {0, 25, 50, 85, 160};
    for (int i = 0; i < 5; ++i)
        ch.addText(xs[i], 1, 30, 4, QString::fromLatin1(heads[i])).bold();
    ch.addLine(0, 5.5, W, 5.5);

    Group& g = r.addGroup(QStringLiteral("TIPODEPAGO"));
    auto caption = [](const RowSource& row) {
        const QString t = row.value(QStringLiteral("TIPODEPAGO")).toString();
        return t == QLatin1String("C")   ? QStringLiteral("EFECTIVO   CONTADO")
               : t == QLatin1String("H") ? QStringLiteral("DINERS")
                                         : QStringLiteral("TARJETAS VISA MASTER");
    };
    Band& gh = g.header().setHeight(6);
    gh.addField(0, 1, 10, 4, QStringLiteral("TIPODEPAGO")).bold();
    gh.addText(10, 1, 100, 4, QString()).named(QStringLiteral("Caption")).bold();
    gh.beforePrint = [caption](BandEvent& e) { e.band.item(QStringLiteral("Caption")).setText(caption(e.row)); };
    Band& gf = g.footer().setHeight(7);
    gf.addLine(120, 0.5, W, 0.5);
    gf.addText(60, 1.5, 90, 4, QString()).named(QStringLiteral("Caption")).bold();
    gf.addSystem(150, 1.5, W - 150, 4, ValueSource::Total, QStringLiteral("Grupo"))
        .named(QStringLiteral("TotalGrupo"))
        .withPicture(QStringLiteral("###,###."))
        .right()
        .bold();
    gf.beforePrint = [caption](BandEvent& e) {
        e.band.item(QStringLiteral("Caption")).setText(QStringLiteral("TOTAL ") + caption(e.row));
    };
    r.addTotal(QStringLiteral("Grupo"), QStringLiteral("SUBTOTAL"), 0);
    r.addTotal(QStringLiteral("General"), QStringLiteral("SUBTOTAL"));

    Band& d = r.detail().setHeight(4.5);
    d.addField(0, 0, 24, 4.5, QStringLiteral("FECHA")).withDatePicture(QStringLiteral("dd/mm/yyyy"));
    d.addField(25, 0, 20, 4.5, QStringLiteral("CONSECUTIVO"));
    d.addField(50, 0, 30, 4.5, QStringLiteral("CLIENTE"), QStringLiteral("###,###."));
    d.addField(85, 0, 70, 4.5, QStringLiteral("NOMBRE"));
    d.addField(160, 0, W - 160, 4.5, QStringLiteral("SUBTOTAL"), QStringLiteral("###,###.")).named(QStringLiteral("Valor")).right();

    Band& sm = r.summary().setHeight(8);
    sm.addText(60, 2, 90, 4, QStringLiteral("TOTAL GENERAL")).bold();
    sm.addSystem(150, 2, W - 150, 4, ValueSource::Total, QStringLiteral("General"))
        .named(QStringLiteral("TotalGeneral"))
        .withPicture(QStringLiteral("###,###."))
        .right()
        .bold();

    Band& pf = r.pageFooter().setHeight(5);
    pf.addText(0, 0, 60, 4, QStringLiteral("KorvelaPos")).size(6);
    pf.addSystem(W - 30, 0, 30, 4, ValueSource::PageCount)
        .named(QStringLiteral("Paginas"))
        .withPrefix(QStringLiteral("de "))
        .right()
        .size(6);
    return s;
}

Sample labels(int count)
{
    QList<QVariantMap> rows;
    for (int i = 0; i < count; ++i) {
        QString code;
        if (i % 3 == 0)
            code = eanWithCheckDigit(QStringLiteral("77012345%1").arg(i, 4, 10, QLatin1Char('0')));
        else if (i % 3 == 1)
            code = eanWithCheckDigit(QStringLiteral("963850%1").arg(i % 10));
        rows.append({{QStringLiteral("PRODUCTO"), 500 + i},
                     {QStringLiteral("NOMBRE"), QStringLiteral("ARROZ DIANA %1 KG").arg(i + 1)},
                     {QStringLiteral("VALORUNIDAD"), 1250.0 * (i + 1)},
                     {QStringLiteral("VALORIVA"), 16.0},
                     {QStringLiteral("CODIGOBARRAS"), code}});
    }
    Sample s = make(QStringLiteral("ETIQUETAS"), std::move(rows));
    Report& r = *s.report;
    PageSetup& p = r.page();
    p = PageSetup::rollPaper(102.4, 24.1);
    p.top = 1.0;
    p.columns = 3;
    p.columnsAcross = true;
    const double w = p.columnWidth();

    Band& d = r.detail().setHeight(22.2);
    d.addBarcode((w - 31.2) / 2, 0, 31.2, 10.8, QStringLiteral("CODIGOBARRAS")).named(QStringLiteral("Barras"));
    d.addField(0, 12.2, w, 2.5, QStringLiteral("PRODUCTO")).centre().size(5);
    d.addField(0, 15.3, w, 2.5, QStringLiteral("NOMBRE")).centre().size(5).wrap();
    d.addField(0, 18.0, w, 2.5, QString(), QStringLiteral("###,###.00")).named(QStringLiteral("Precio")).centre().size(6).bold();
    d.beforePrint = [](BandEvent& e) {
        const double unit = e.row.value(QStringLiteral("VALORUNIDAD")).toDouble();
        const double iva = e.row.value(QStringLiteral("VALORIVA")).toDouble();
        e.band.item(QStringLiteral("Precio")).setValue(unit + R(iva * unit / 100));
    };
    return s;
}

}  // namespace kvtest
