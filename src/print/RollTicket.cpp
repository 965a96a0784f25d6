#include "print/RollTicket.h"

#include "print/InvoiceParts.h"

namespace kv {

Document renderRollTicket(const RollTicket& t, const QVariantMap& row)
{
    Report r(t.title);
    PageSetup& page = r.page();
    page = PageSetup::rollPaper(73, 100);
    page.top = page.bottom = 5;
    page.left = page.right = 2;
    const double w = page.printableWidth();

    Band& title = r.titleBand().setHeight(26);
    title.addText(0, 0, w, 6, t.title).bold().size(12).centre();
    title.addText(0, 7, t.numberCaptionWidth, 5, t.numberCaption);
    title.addField(t.numberCaptionWidth, 7, w - t.numberCaptionWidth, 5, t.numberField).named(t.numberField).bold();
    ReportItem& text = title.addField(0, 13, w, 5, t.textField).named(t.textField);
    if (t.textCentredWrapped)
        text.centre().wrap();
    title.addField(0, 19, w, 5, QStringLiteral("FECHA"))
        .named(QStringLiteral("FECHA"))
        .withDatePicture(QStringLiteral(" dd, mmm, yyyy, \" - \" hh:mm AM/PM"));
    r.detail().setHeight(0);
    Band& summary = r.summary().setHeight(12);
    summary.addText(0, 0, 30, 6, t.amountCaption).bold();
    summary.addField(30, 0, w - 30, 6, t.amountField, QStringLiteral("###,###.00.")).named(t.amountField).bold().right();
    summary.addText(0, 6, 4, 5, QStringLiteral("."));
    // One row: the title reads it, the summary its amount; the detail prints nothing.
    r.setRows({row});
    return r.render();
}

Document renderKitchenTicket(const KitchenTicket& t)
{
    Report r(QStringLiteral("COMANDA"));
    r.page() = receiptPage();
    const double w = r.page().printableWidth();
    // One band, printed once; the name and the note wrap within the roll's width.
    Band& b = r.titleBand().setHeight(66);
    b.addText(0, 0, w, 7, QStringLiteral("COMANDA")).named(QStringLiteral("COMANDA")).bold().size(12).centre();
    b.addText(0, 8, w, 12, QString::number(t.cantidad)).named(QStringLiteral("CANTIDAD")).bold().size(24).centre();
    QString texto = t.nombre;
    if (!t.observacion.trimmed().isEmpty())
        texto += QLatin1Char(' ') + t.observacion.trimmed();
    b.addText(0, 21, w, 15, texto).named(QStringLiteral("NOMBRE")).size(11).centre().wrap();
    b.addText(0, 37, w, 5, QStringLiteral("Factura ") + QString::number(t.factura)).named(QStringLiteral("FACTURA"));
    b.addText(0, 43, w, 5, t.mesa).named(QStringLiteral("MESA"));
    // The waiter, so the kitchen knows whom to call when the dish is ready.
    if (!t.mesero.trimmed().isEmpty())
        b.addText(0, 49, w, 5, QStringLiteral("Mesero ") + t.mesero.trimmed()).named(QStringLiteral("MESERO"));
    b.addText(0, 55, w, 5, t.hora.toString(QStringLiteral("hh:mm:ss"))).named(QStringLiteral("HORA")).right();
    r.detail().setHeight(0);
    r.setRows({QVariantMap()});
    return r.render();
}

}  // namespace kv
