#include "print/InvoiceParts.h"

#include "common/Dates.h"
#include "common/Numbers.h"
#include "common/SaleAmounts.h"
#include "einvoice/PosDocument.h"
#include "einvoice/QrCode.h"

#include <QHash>
#include <algorithm>
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
    // In Colombian time, as the electronic document states it, whatever zone the machine's clock
    // is set to.
    return FormatDateTime(QStringLiteral(" dd, mmm, yyyy,  -  hh:nn AM/PM"), colombianTime(when));
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

std::optional<StoredDocument> electronicDocument(Connection& db, const SaleDocumentKey& key)
{
    return storedDocument(db, key.empresa, key.documento, key.consecutivo);
}

QStringList electronicTitleRows(bool narrow)
{
    if (narrow)
        return {QStringLiteral("DOCUMENTO EQUIVALENTE ELECTRÓNICO"), QStringLiteral("DEL TIQUETE DE MÁQUINA REGISTRADORA"),
                QStringLiteral("CON SISTEMA P.O.S.")};
    return {QStringLiteral("DOCUMENTO EQUIVALENTE ELECTRÓNICO DEL TIQUETE DE MÁQUINA REGISTRADORA CON SISTEMA P.O.S.")};
}

void shiftItems(Band& band, double dy)
{
    for (ReportItem& item : band.items())
        item.rect.translate(0, dy);
    band.setHeight(band.height() + dy);
}

void addElectronicTitle(Band& band, double x, double width, double row, double typeSize, const StoredDocument& doc,
                        bool narrow)
{
    const QStringList title = electronicTitleRows(narrow);
    const double needed = (title.size() + 1) * row + 1;
    shiftItems(band, needed);
    double y = 0;
    for (int i = 0; i < title.size(); ++i, y += row)
        band.addText(x, y, width, row, title[i]).named(QStringLiteral("ElectronicoTitulo%1").arg(i + 1)).centre().bold().size(typeSize);
    band.addText(x, y, width, row, QStringLiteral("No. ") + doc.numero)
        .named(QStringLiteral("ElectronicoNumero"))
        .centre()
        .bold()
        .size(typeSize + 1);
}

void addElectronicFooter(Band& band, double x, double width, double row, double typeSize, double qrMm,
                         const StoredDocument& doc, bool narrow, double at)
{
    // What the band holds from `at` down moves below the block once it is written.
    const size_t before = band.items().size();
    const double start = at >= 0 ? at : band.height();
    double y = start + 1;
    int n = 0;
    auto centred = [&](const QString& text, bool bold = false) {
        ReportItem& item = band.addText(x, y, width, row, text).named(QStringLiteral("Electronico%1").arg(++n)).centre().size(typeSize);
        if (bold)
            item.bold();
        y += row;
    };
    // The taxes as the document states them, by kind and rate: what the DIAN received.
    if (!doc.impuestos.empty()) {
        centred(QStringLiteral("IMPUESTOS"), true);
        const double amountWidth = narrow ? 18 : 30;
        for (const StoredDocument::Tax& t : doc.impuestos) {
            band.addText(x, y, width - amountWidth, row,
                         QStringLiteral("%1 %2%  Base %3")
                             .arg(t.name, FormatFloat(QStringLiteral("0.##"), t.rate), FormatFloat(kAmountPicture, t.base)))
                .named(QStringLiteral("ElectronicoImpuesto%1").arg(++n))
                .size(typeSize);
            band.addText(x + width - amountWidth, y, amountWidth, row, FormatFloat(kAmountPicture, t.amount))
                .named(QStringLiteral("ElectronicoImpuestoValor%1").arg(n))
                .right()
                .size(typeSize);
            y += row;
        }
        y += 1;
    }
    QStringList rows;
    if (narrow) {
        // "Autorización DIAN No. N del A al B, numeración P1 a P2" in three rows of the roll.
        const QString a = doc.autorizacion;
        const int del = a.indexOf(QStringLiteral(" del ")), num = a.indexOf(QStringLiteral(", numeración "));
        rows << a.left(del) << a.mid(del + 1, num - del - 1) << a.mid(num + 2);
    } else {
        rows << doc.autorizacion;
    }
    rows << QStringLiteral("Fecha y hora de emisión: ") + doc.fecha.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    rows << QStringLiteral("Adquiriente: ") + doc.compradorNombre + QStringLiteral("  ") + doc.compradorId;
    rows << QStringLiteral("CUDE:");
    // The CUDE is 96 characters: a roll takes it in three rows of 32.
    if (narrow)
        rows << doc.cude.mid(0, 32) << doc.cude.mid(32, 32) << doc.cude.mid(64);
    else
        rows << doc.cude;
    for (const QString& text : rows)
        centred(text);
    band.addImage(x + (width - qrMm) / 2, y + 1, qrMm, qrMm, qrPng(doc.qr)).named(QStringLiteral("ElectronicoQR"));
    y += qrMm + 2;
    // The software that made the document and who made it, as the document names them.
    if (!doc.software.isEmpty() || !doc.fabricante.isEmpty()) {
        if (narrow) {
            centred(QStringLiteral("Software: ") + doc.software);
            centred(QStringLiteral("Fabricante: ") + doc.fabricante);
        } else {
            centred(QStringLiteral("Software: %1 - Fabricante: %2").arg(doc.software, doc.fabricante));
        }
    }
    const double block = y + 1 - start;
    if (at < 0) {
        band.setHeight(start + block);
        return;
    }
    for (size_t i = 0; i < before; ++i)
        if (band.items()[i].rect.top() >= at - 0.05)
            band.items()[i].rect.translate(0, block);
    band.setHeight(band.height() + block);
}

bool paperNumberingLine(const QString& text)
{
    QString plain;
    for (QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            plain += c.toUpper();
    static const char* const words[] = {"FACTURA", "RESOLUCION", "RANGO", "AUTORIZ", "NUMERACION"};
    for (const char* w : words)
        if (plain.contains(QLatin1String(w)))
            return true;
    return false;
}

void removeRow(Band& band, double top, double height)
{
    constexpr double kSlack = 0.05;
    for (ReportItem& item : band.items()) {
        if (item.rect.top() >= top - kSlack && item.rect.top() < top + height - kSlack)
            item.visible = false;
        else if (item.rect.top() >= top + height - kSlack)
            item.rect.translate(0, -height);
    }
    band.setHeight(band.height() - height);
}

bool addElectronicReceiptParts(Report& rpt, Connection& db, const SaleDocumentKey& key, const QStringList& customerRows)
{
    const std::optional<StoredDocument> doc = electronicDocument(db, key);
    if (!doc)
        return false;
    Band& title = rpt.titleBand();
    // The rows to take away, found first and taken from the bottom up, so that each is still
    // where it was found.
    std::vector<std::pair<double, double>> rows;
    for (const ReportItem& item : title.items()) {
        if (!item.visible)
            continue;
        const bool shopLine = item.name.startsWith(QLatin1String("Top")) && paperNumberingLine(item.text);
        if (shopLine || item.name == QLatin1String("Numero") || customerRows.contains(item.name))
            rows.emplace_back(item.rect.top(), item.name == QLatin1String("Numero") ? item.rect.height() + 0.5
                                                                                      : item.rect.height());
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [top, height] : rows)
        removeRow(title, top, height);
    addElectronicTitle(title, kReceiptLeft, kReceiptWidth, kReceiptRow, kReceiptType, *doc, true);
    // Below the totals and the payment, before the shop's own closing lines.
    Band& summary = rpt.summary();
    const double bottom = summary.items().empty() ? -1 : [&summary] {
        for (const ReportItem& item : summary.items())
            if (item.name == QLatin1String("Bottom1"))
                return item.rect.top();
        return -1.0;
    }();
    addElectronicFooter(summary, kReceiptLeft, kReceiptWidth, kReceiptRow, kReceiptType, 30, *doc, true, bottom);
    return true;
}

}  // namespace kv
