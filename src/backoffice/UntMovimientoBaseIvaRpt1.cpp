#include "backoffice/UntMovimientoBaseIvaRpt1.h"

#include "common/Dates.h"
#include "data/Connection.h"
#include "report/ListReport.h"

#include <QSqlQuery>

namespace kv {

namespace {

const QString kAmount = QStringLiteral("###,###.00");
constexpr double kRowHeight = 3.6;
constexpr double kFont = 6;

// Column positions on the landscape page (259.4 mm between the margins).
constexpr double kFacturaX = 0, kFacturaW = 14;
constexpr double kFechaX = 14, kFechaW = 17;
constexpr double kAmountsX = 31, kAmountW = 14.2;  // exempt, IVA and base per rate, others, Ipoconsumo, total

QString ivaField(const QString& rate) { return QStringLiteral("IVA_") + rate; }
QString baseField(const QString& rate) { return QStringLiteral("BASE_") + rate; }

// The pair of columns of a row's rate: one of the listed rates, or the others.
QString columnOf(double rate)
{
    for (int r : TFrmMovimientoBaseIvaRpt1::rates())
        if (rate == r)
            return QString::number(r);
    return QStringLiteral("OTRAS");
}

}  // namespace

const QList<int>& TFrmMovimientoBaseIvaRpt1::rates()
{
    static const QList<int> r{5, 8, 10, 16, 19};
    return r;
}

TFrmMovimientoBaseIvaRpt1::TFrmMovimientoBaseIvaRpt1(Connection& db) : db(db), rpt(QStringLiteral("Iva Generado"))
{
    rpt.page() = PageSetup::letter();
    rpt.page().landscape = true;

    // Columns after the date: exempt, the pairs, the others' pair, the consumption tax, the total.
    struct Column {
        QString title, field;
    };
    QList<Column> columns{{QStringLiteral("Excento Iva"), QStringLiteral("EXENTO")}};
    for (int r : rates())
        columns << Column{QStringLiteral("% Iva %1").arg(r), ivaField(QString::number(r))}
                << Column{QStringLiteral("Base %1%").arg(r), baseField(QString::number(r))};
    columns << Column{QStringLiteral("Iva Otras Tarifas"), ivaField(QStringLiteral("OTRAS"))}
            << Column{QStringLiteral("Base Otras Tarifas"), baseField(QStringLiteral("OTRAS"))}
            << Column{QStringLiteral("INC"), QStringLiteral("IPOCONSUMO")}  // Ipoconsumo
            << Column{QStringLiteral("Total"), QStringLiteral("TOTAL")};

    const double width = rpt.page().printableWidth();
    Band& head = rpt.pageHeader().setHeight(22);
    head.addText(0, 0, width, 5, QString()).centre().bold().size(10).named(QStringLiteral("Empresa"));
    head.addText(0, 5, width, 4, QStringLiteral("POS")).centre().bold().size(9);
    head.addText(0, 9, width, 4, QString()).centre().size(8).named(QStringLiteral("Periodo"));
    head.addText(kFacturaX, 15, kFacturaW, 6, QStringLiteral("Factura")).size(kFont).bold();
    head.addText(kFechaX, 15, kFechaW, 6, QStringLiteral("Fecha")).size(kFont).bold();
    for (int i = 0; i < columns.size(); ++i)
        head.addText(kAmountsX + i * kAmountW, 15, kAmountW, 6, columns[i].title).size(kFont).bold().right().wrap();
    head.addLine(0, 21.5, width, 21.5);

    Band& detail = rpt.detail().setHeight(kRowHeight);
    detail.addField(kFacturaX, 0, kFacturaW, kRowHeight, QStringLiteral("CONSECUTIVO")).size(kFont);
    detail.addField(kFechaX, 0, kFechaW, kRowHeight, QStringLiteral("FECHA")).withDatePicture(QStringLiteral("dd/mmm/yyyy")).size(kFont);
    Band& summary = rpt.summary().setHeight(6);
    summary.addLine(0, 0.5, width, 0.5);
    summary.addText(kFacturaX, 1.5, kFacturaW + kFechaW, kRowHeight, QStringLiteral("Total")).size(kFont).bold();
    for (int i = 0; i < columns.size(); ++i) {
        const double x = kAmountsX + i * kAmountW;
        detail.addField(x, 0, kAmountW, kRowHeight, columns[i].field, kAmount).size(kFont).right();
        // Every total under its column adds exactly the amounts printed above it.
        rpt.addTotal(columns[i].field, columns[i].field);
        summary.addSystem(x, 1.5, kAmountW, kRowHeight, ValueSource::Total, columns[i].field)
            .withPicture(kAmount)
            .zeroWhenNull()
            .size(kFont)
            .bold()
            .right();
    }
    // A row fills two to four of the sixteen amount columns: the empty ones are left out of the
    // page instead of being laid out blank, which keeps a two-month report quick.
    detail.beforePrint = [](BandEvent& e) {
        for (ReportItem& item : e.band.items())
            if (item.kind == ItemKind::Field)
                item.show(!e.row.value(item.field).isNull());
    };
    rpt.setSource(rows_);
}

bool TFrmMovimientoBaseIvaRpt1::open(const QString& empresa, const QDate& desde, const QDate& hasta,
                                     const std::function<bool(int)>& progress)
{
    const QVariantMap params{{QStringLiteral("EMPRESA"), empresa},
                             {QStringLiteral("DESDE"), QDateTime(desde, QTime(0, 0))},
                             {QStringLiteral("HASTA"), QDateTime(hasta.addDays(1), QTime(0, 0))}};
    // One row per invoice and rate, of closed sales only: a document still open (a floor seller's,
    // not collected yet) is no sale, and a voided one has no lines left. The base leaves out the IVA, the discount and the consumption
    // tax, so that it is what the rate was applied to. The outer join makes the engine start from
    // the period's headers (their date index) and read their lines by key; with an inner join it
    // walks every line of the table. The company is compared as built text: compared plainly it
    // adds the company's part of the key (every year of it) to the date index.
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT M.DOCUMENTO, M.CONSECUTIVO, M.FECHA, D.IVA, SUM(D.DESCUENTO), SUM(D.VALORIVA), "
                       "SUM(D.SUBTOTAL), SUM(D.VALORIPOCONSUMO) FROM POSMOVIMIENTO M LEFT JOIN POSMOVIMIENTODETALLE D ON "
                       "D.EMPRESA = M.EMPRESA AND D.DOCUMENTO = M.DOCUMENTO AND D.CONSECUTIVO = M.CONSECUTIVO "
                       "WHERE M.EMPRESA || '' = :EMPRESA AND M.FECHA >= :DESDE AND M.FECHA < :HASTA AND M.STATUS = 'I' "
                       "AND D.LINEA IS NOT NULL "
                       "GROUP BY M.DOCUMENTO, M.FECHA, M.CONSECUTIVO, D.IVA ORDER BY M.DOCUMENTO, M.FECHA, M.CONSECUTIVO, D.IVA"),
        params);
    QList<QVariantMap> rows;
    while (db.next(q)) {
        const double rate = q.value(3).toDouble();
        const double descuento = q.value(4).toDouble(), iva = q.value(5).toDouble(), subtotal = q.value(6).toDouble(),
                     ipoconsumo = q.value(7).toDouble();
        const double base = subtotal - (iva + descuento + ipoconsumo);
        QVariantMap row{{QStringLiteral("CONSECUTIVO"), q.value(1)},
                        {QStringLiteral("FECHA"), q.value(2)},
                        {QStringLiteral("TOTAL"), subtotal}};
        // The consumption tax has a column of its own, whatever the row's IVA rate.
        if (ipoconsumo != 0)
            row.insert(QStringLiteral("IPOCONSUMO"), ipoconsumo);
        if (rate > 0) {
            const QString column = columnOf(rate);
            row.insert(ivaField(column), iva);
            row.insert(baseField(column), base);
        } else {
            row.insert(QStringLiteral("EXENTO"), base);
        }
        rows << row;
        if (progress && rows.size() % 500 == 0 && !progress(int(rows.size())))
            return false;
    }
    rows_.setRows(rows);

    Band& head = rpt.pageHeader();
    head.item(QStringLiteral("Empresa")).setText(readLetterhead(db).name);
    head.item(QStringLiteral("Periodo"))
        .setText(QStringLiteral("Periodo : %1 Hasta %2")
                     .arg(FormatDateTime(QStringLiteral("dd/mm/yyyy"), desde), FormatDateTime(QStringLiteral("dd/mm/yyyy"), hasta)));
    return true;
}

}  // namespace kv
