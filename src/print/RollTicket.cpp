#include "print/RollTicket.h"

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

}  // namespace kv
