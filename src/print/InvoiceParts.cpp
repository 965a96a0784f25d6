#include "print/InvoiceParts.h"

#include "common/Dates.h"
#include "common/SaleAmounts.h"

#include <QHash>
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

QString paymentName(const QString& code)
{
    // Codes are case-sensitive: "T" is a credit card, "t" a debit card; "k" is the item-entry
    // registers' credit.
    static const QHash<QString, QString> names{
        {QStringLiteral("C"), QStringLiteral("EFECTIVO")},         {QStringLiteral("E"), QStringLiteral("CREDITO")},
        {QStringLiteral("k"), QStringLiteral("CREDITO")},          {QStringLiteral("H"), QStringLiteral("CHEQUE")},
        {QStringLiteral("T"), QStringLiteral("TARJETA CREDITO")},  {QStringLiteral("t"), QStringLiteral("TARJETA DEBITO")},
        {QStringLiteral("O"), QStringLiteral("OTRA MONEDA")}};
    if (code.trimmed().isEmpty())
        return QString();
    return names.value(code, QStringLiteral("PAGO ") + code);
}

double addPaymentRows(Band& band, double y)
{
    for (const char* name : {"Pago", "Cambio"}) {
        band.addText(kReceiptLeft, y, 45, kReceiptRow, QString())
            .named(QLatin1String(name) + QStringLiteral("Texto"))
            .size(kReceiptType);
        band.addField(kReceiptLeft + 45, y, kReceiptWidth - 45, kReceiptRow, QString(), kAmountPicture)
            .named(QLatin1String(name))
            .right()
            .size(kReceiptType);
        y += kReceiptRow;
    }
    return y;
}

void fillPaymentRows(Band& band, const RowSource& row, bool cashOnly)
{
    const QString code = textOf(row, "TIPODEPAGO").trimmed();
    ReportItem& caption = band.item(QStringLiteral("PagoTexto"));
    ReportItem& amount = band.item(QStringLiteral("Pago"));
    ReportItem& changeCaption = band.item(QStringLiteral("CambioTexto"));
    ReportItem& change = band.item(QStringLiteral("Cambio"));
    // A row with nothing to say prints nothing.
    auto row1 = [&](const QString& text, const QVariant& value) {
        caption.setText(text).show(true);
        amount.setValue(value).show(true);
    };
    for (ReportItem* i : {&caption, &amount, &changeCaption, &change})
        i->show(false);
    if (code.isEmpty())
        return;  // not paid yet: the seller's own print of an open document
    const double toPay = amountToPay([&row](const char* f) { return numberOf(row, f); });
    const QString name = paymentName(code);
    if (code == QLatin1String("C")) {
        const QVariant received = row.value(QStringLiteral("RECIBIDO"));
        row1(name, received.isNull() ? QVariant(toPay) : received);
        if (!received.isNull()) {
            changeCaption.setText(QStringLiteral("Cambio")).show(true);
            change.setValue(numberOf(row, "CAMBIO")).show(true);
        }
        return;
    }
    if (cashOnly)
        return;
    if (code == QLatin1String("O")) {
        row1((name + QLatin1Char(' ') + textOf(row, "MONEDA")).trimmed(), row.value(QStringLiteral("VALOROTRAMONEDA")));
        return;
    }
    const QString description = textOf(row, "TIPODEPAGODES").trimmed();
    row1(description.isEmpty() ? name : name + QLatin1Char(' ') + description, toPay);
}

}  // namespace kv
