#include "pos/UntVentaCajaEgresosRpt.h"

#include "platform/Printing.h"
#include "pos/CashReports.h"
#include "report/Report.h"

namespace kv {

std::optional<Document> TFrmVentaCajaEgresosRpt::Render(Connection& db, double item)
{
    // The register is joined for its name only: the receipt of an expense whose register was
    // removed still prints.
    const QList<QVariantMap> rows = queryRows(
        db,
        QStringLiteral("SELECT P.CAJA, P.FECHA, P.ITEM, P.VALOR, P.DESCRIPCION, C.NOMBRE, C.EMPRESA FROM POSPAGOSCAJA P "
                       "LEFT JOIN POSCAJAS C ON C.CAJA = P.CAJA WHERE P.ITEM = :CONSECUTIVO"),
        {{QStringLiteral("CONSECUTIVO"), item}});
    if (rows.isEmpty())
        return std::nullopt;

    Report r(QStringLiteral("PAGO EN CAJA"));
    PageSetup& page = r.page();
    page = PageSetup::rollPaper(73, 100);
    page.top = page.bottom = 5;
    page.left = page.right = 2;
    const double w = page.printableWidth();

    Band& title = r.titleBand().setHeight(26);
    title.addText(0, 0, w, 6, QStringLiteral("PAGO EN CAJA")).bold().size(12).centre();
    title.addText(0, 7, 30, 5, QStringLiteral("Consecutivo No."));
    title.addField(30, 7, w - 30, 5, QStringLiteral("ITEM")).named(QStringLiteral("ITEM")).bold();
    title.addField(0, 13, w, 5, QStringLiteral("DESCRIPCION")).named(QStringLiteral("DESCRIPCION")).centre().wrap();
    title.addField(0, 19, w, 5, QStringLiteral("FECHA"))
        .named(QStringLiteral("FECHA"))
        .withDatePicture(QStringLiteral(" dd, mmm, yyyy, \" - \" hh:mm AM/PM"));
    r.detail().setHeight(0);
    Band& summary = r.summary().setHeight(12);
    summary.addText(0, 0, 30, 6, QStringLiteral("VALOR PAGO")).bold();
    summary.addField(30, 0, w - 30, 6, QStringLiteral("VALOR"), QStringLiteral("###,###.00.")).named(QStringLiteral("VALOR")).bold().right();
    summary.addText(0, 6, 4, 5, QStringLiteral("."));
    r.setRows(rows);
    return r.render();
}

void TFrmVentaCajaEgresosRpt::Imprimir(Connection& db, double item, QWidget* parent)
{
    if (const std::optional<Document> doc = Render(db, item))
        preview(*doc, parent);
}

}  // namespace kv
