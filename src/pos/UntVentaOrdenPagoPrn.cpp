#include "pos/UntVentaOrdenPagoPrn.h"

#include "common/Numbers.h"
#include "platform/Printing.h"
#include "report/Report.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace kv {

std::optional<Document> TFrmVentaOrdenPagoPrn::Render(Connection& db, const SaleDocumentKey& key)
{
    // The document is chosen by its whole key: shops with several companies or document types
    // number each of them from 1.
    QSqlQuery q = db.exec(QStringLiteral("SELECT M.CONSECUTIVO, M.FECHA, M.NETO, P.NIT, P.DV, P.NOMBRE FROM POSMOVIMIENTO "
                                         "M LEFT JOIN PROVEEDORES P ON P.NIT = M.CLIENTE WHERE M.EMPRESA = :EMPRESA AND "
                                         "M.DOCUMENTO = :DOCUMENTO AND M.CONSECUTIVO = :CONSECUTIVO"),
                          {{QStringLiteral("EMPRESA"), key.empresa},
                           {QStringLiteral("DOCUMENTO"), key.documento},
                           {QStringLiteral("CONSECUTIVO"), key.consecutivo}});
    if (!db.next(q))
        return std::nullopt;
    QVariantMap row;
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i)
        row.insert(rec.fieldName(i), q.value(i));
    // The customer as one line: NIT-DV and two blanks before the name.
    row[QStringLiteral("LINEACLIENTE")] = FormatFloat(QStringLiteral("###,###."), row.value(QStringLiteral("NIT")).toDouble()) +
                                          QLatin1Char('-') + row.value(QStringLiteral("DV")).toString().trimmed() +
                                          QStringLiteral("  ") + row.value(QStringLiteral("NOMBRE")).toString().trimmed();

    Report r(QStringLiteral("ORDEN PAGO"));
    PageSetup& page = r.page();
    page = PageSetup::rollPaper(73, 100);
    page.top = page.bottom = 5;
    page.left = page.right = 2;
    const double w = page.printableWidth();

    Band& title = r.titleBand().setHeight(26);
    title.addText(0, 0, w, 6, QStringLiteral("ORDEN PAGO")).bold().size(12).centre();
    title.addText(0, 7, 25, 5, QStringLiteral("Factura No."));
    title.addField(25, 7, w - 25, 5, QStringLiteral("CONSECUTIVO")).bold();
    title.addField(0, 13, w, 5, QStringLiteral("LINEACLIENTE"));
    title.addField(0, 19, w, 5, QStringLiteral("FECHA")).withDatePicture(QStringLiteral(" dd, mmm, yyyy, \" - \" hh:mm AM/PM"));
    r.detail().setHeight(0);
    Band& summary = r.summary().setHeight(12);
    summary.addText(0, 0, 30, 6, QStringLiteral("VALOR FACTURA")).bold();
    summary.addField(30, 0, w - 30, 6, QStringLiteral("NETO"), QStringLiteral("###,###.00.")).bold().right();
    summary.addText(0, 6, 4, 5, QStringLiteral("."));
    // One row: the title reads the document, the summary its total; the detail prints nothing.
    r.setRows({row});
    return r.render();
}

bool TFrmVentaOrdenPagoPrn::Imprimir(Connection& db, const SaleDocumentKey& key)
{
    const std::optional<Document> doc = Render(db, key);
    return doc && print(*doc);
}

}  // namespace kv
