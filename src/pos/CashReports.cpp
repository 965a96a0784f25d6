#include "pos/CashReports.h"

#include "common/SaleAmounts.h"
#include "platform/Printing.h"
#include "report/ListReport.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace kv {

QVariantMap periodParams(const CashReportParams& p)
{
    return {{QStringLiteral("FECHAI"), QDateTime(p.first, QTime(0, 0))},
            {QStringLiteral("FECHAF"), QDateTime(p.last.addDays(1), QTime(0, 0))}};
}

double documentAmount(const RowSource& row)
{
    return amountToPay([&row](const char* column) { return row.value(QLatin1String(column)).toDouble(); });
}

QString paymentCaption(const QString& code)
{
    // Codes are case-sensitive: "T" is a credit card, "t" a debit card.
    static const QHash<QString, QString> captions{
        {QStringLiteral("C"), QStringLiteral("EFECTIVO   CONTADO")},
        {QStringLiteral("k"), QStringLiteral("CREDITO   CUENTAS POR COBRAR")},
        {QStringLiteral("E"), QStringLiteral("CREDITO   CUENTAS POR COBRAR")},
        {QStringLiteral("H"), QStringLiteral("DINERS")},
        {QStringLiteral("T"), QStringLiteral("TARJETAS VISA MASTER")},
        {QStringLiteral("t"), QStringLiteral("TARJETAS DEBITO")},
        {QStringLiteral("O"), QStringLiteral("OTRA MONEDA")}};
    return captions.value(code, QStringLiteral("TIPO DE PAGO ") + code);
}

QList<QVariantMap> queryRows(Connection& db, const QString& sql, const QVariantMap& params)
{
    QList<QVariantMap> rows;
    QSqlQuery q = db.exec(sql, params);
    const QSqlRecord rec = q.record();
    while (db.next(q)) {
        QVariantMap row;
        for (int i = 0; i < rec.count(); ++i) {
            QVariant v = q.value(i);
            if (v.typeId() == QMetaType::QString)
                v = v.toString().trimmed();  // char(n) columns come padded with blanks
            row.insert(rec.fieldName(i), v);
        }
        rows.append(row);
    }
    return rows;
}

QStringList letterheadLines(Connection& db)
{
    const Letterhead head = readLetterhead(db);
    return {head.name,
            QStringLiteral("Nit : ") + (head.nit.isNull() ? QString() : FormatFloat(QStringLiteral("###,###."), head.nit.toDouble()))};
}

QString companyName(Connection& db, const QString& empresa)
{
    return db.scalar(QStringLiteral("SELECT NOMBRE FROM EMPRESAS WHERE EMPRESA = :EMPRESA"),
                     {{QStringLiteral("EMPRESA"), empresa}})
        .toString()
        .trimmed();
}

double addReportHeading(Report& rpt, const QString& title, const QStringList& lines)
{
    const double w = rpt.page().printableWidth();
    const bool narrow = w < 100;
    Band& ph = rpt.pageHeader();
    double y = 0;
    ph.addText(0, y, w, 4, QStringLiteral("SISTEMA P.O.S.")).bold().size(narrow ? 7 : 8);
    // On the roll the time and the page go under the system's name; on a sheet, at its right.
    const double x = narrow ? 0 : w - 60;
    const double ty = narrow ? 4 : 0;
    ph.addText(x, ty, 14, 4, QStringLiteral("Impreso")).size(narrow ? 7 : 8);
    ph.addSystem(x + 14, ty, narrow ? 34 : 46, 4, ValueSource::PrintTime)
        .withDatePicture(QStringLiteral("dd/mm/yyyy hh:nn"))
        .named(QStringLiteral("Impreso"))
        .size(narrow ? 7 : 8);
    ph.addText(narrow ? 48 : x, narrow ? 4 : 4.5, 11, 4, QStringLiteral("Pagina")).size(narrow ? 7 : 8);
    ph.addSystem(narrow ? 59 : x + 14, narrow ? 4 : 4.5, narrow ? w - 59 : 46, 4, ValueSource::PageNumber)
        .named(QStringLiteral("Pagina"))
        .right()
        .size(narrow ? 7 : 8);
    y = narrow ? 9 : 10;
    ph.addText(0, y, w, 5.5, title).named(QStringLiteral("Titulo")).centre().bold().size(narrow ? 9 : 12);
    y += 6;
    int n = 0;
    for (const QString& line : lines) {
        ph.addText(0, y, w, 4.5, line).named(QStringLiteral("Encabezado%1").arg(++n)).centre().wrap();
        y += 4.5;
    }
    y += 1;
    ph.addLine(0, y, w, y);
    ph.setHeight(y + 1.5);
    return y + 1.5;
}

PageSetup cashRollPage()
{
    PageSetup p = PageSetup::rollPaper(73, 279.4);
    p.top = 10;
    p.bottom = 10;
    p.left = 1;
    p.right = 5;
    return p;
}

void previewReport(Report& rpt, QWidget* parent) { preview(rpt.render(), parent); }

}  // namespace kv
