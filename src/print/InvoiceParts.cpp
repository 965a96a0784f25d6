#include "print/InvoiceParts.h"

#include "common/Dates.h"

#include <QSqlQuery>

namespace kv {

PageSetup receiptPage()
{
    PageSetup p = PageSetup::rollPaper(72.76, 279.4);
    p.top = 5;
    p.bottom = 5;
    return p;
}

QStringList linePositions(Connection& db, const QString& table, int count)
{
    QStringList texts(count);
    // The table name is one of two fixed names, never typed by anyone.
    QSqlQuery q = db.exec(QStringLiteral("SELECT LINEA, DETALLE, TIPO FROM %1 ORDER BY LINEA").arg(table));
    while (q.next()) {
        const int linea = q.value(0).toInt();
        if (linea >= 1 && linea <= count)
            texts[linea - 1] = q.value(1).toString();
    }
    return texts;
}

void setDocumentKey(Dataset& query, const SaleDocumentKey& key)
{
    query.Close();
    query.setParam(QStringLiteral("CONSECUTIVO"), key.consecutivo);
    query.setParam(QStringLiteral("EMPRESA"), key.empresa);
    query.setParam(QStringLiteral("DOCUMENTO"), key.documento);
}

bool skipRowWithoutLine(BandEvent& e)
{
    if (e.row.value(QStringLiteral("LINEA")).isNull())
        e.print = false;
    return !e.print;
}

QString receiptDateText(const QDateTime& when)
{
    return FormatDateTime(QStringLiteral(" dd, mmm, yyyy,  -  hh:nn AM/PM"), when);
}

double addCentredRows(Band& band, double y, const QString& prefix, int from, int to)
{
    for (int i = from; i <= to; ++i, y += kReceiptRow)
        band.addText(kReceiptLeft, y, kReceiptWidth, kReceiptRow, QString())
            .named(prefix + QString::number(i))
            .centre()
            .size(kReceiptType);
    return y;
}

void fillRows(Band& band, const QString& prefix, int from, int to, const QStringList& texts)
{
    for (int i = from; i <= to; ++i)
        band.item(prefix + QString::number(i)).setText(texts.value(i - 1));
}

double addReceiptHeadings(Band& band, double y)
{
    band.addText(kReceiptLeft, y, 15, kReceiptRow, QStringLiteral("Can.")).bold().size(kReceiptType);
    band.addText(kReceiptLeft + kReceiptWidth - 20, y, 20, kReceiptRow, QStringLiteral("Valor"))
        .right()
        .bold()
        .size(kReceiptType);
    y += kReceiptRow + 0.4;
    band.addLine(kReceiptLeft, y, kReceiptLeft + kReceiptWidth, y);
    return y + 0.8;
}

void addReceiptLines(Report& rpt, std::function<QString(const RowSource&)> description)
{
    const double L = kReceiptLeft, W = kReceiptWidth, row = kReceiptRow;
    Band& d = rpt.detail().setHeight(row);
    d.addField(L, 0, 10, row, QStringLiteral("CANTIDAD")).size(kReceiptType);
    d.addText(L + 10, 0, W - 27, row, QString()).named(QStringLiteral("Descripcion")).wrap().size(kReceiptType);
    d.addField(L + W - 17, 0, 17, row, QStringLiteral("SUBTOTAL"), QStringLiteral("###,###.##"))
        .right()
        .size(kReceiptType);
    d.beforePrint = [description = std::move(description)](BandEvent& e) {
        if (!skipRowWithoutLine(e))
            e.band.item(QStringLiteral("Descripcion")).setText(description(e.row));
    };
}

void addCaptionRow(Band& band, double y, const QString& caption, const QString& name, const QString& picture)
{
    band.addText(kReceiptLeft, y, 40, kReceiptRow, caption).size(kReceiptType);
    band.addField(kReceiptLeft + 40, y, kReceiptWidth - 40, kReceiptRow, QString(), picture)
        .named(name)
        .right()
        .size(kReceiptType);
}

}  // namespace kv
