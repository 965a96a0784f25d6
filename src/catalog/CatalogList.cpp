#include "catalog/CatalogList.h"

#include "common/Numbers.h"
#include "data/Dataset.h"
#include "data/UntDMGeneral.h"
#include "report/DatasetRowSource.h"
#include "report/Report.h"

namespace kv {

namespace {

bool numericColumn(Connection& db, const QString& table, const QString& column)
{
    const TableInfo& ti = db.tableInfo(table);
    const int i = ti.indexOf(column);
    if (i < 0)
        return false;
    switch (ti.columns[i].type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::LargeInt:
    case FieldType::Float:
        return true;
    default:
        return false;
    }
}

}  // namespace

Letterhead readLetterhead(Connection& db)
{
    Letterhead h;
    // Printed from the program's own database, the letterhead is the general data module's
    // REGISTRO row, the one every report header shows.
    if (DMGeneral && &DMGeneral->DbPos == &db) {
        Dataset& r = DMGeneral->TbRegistro;
        if (!r.active())
            r.Open();
        if (!r.IsEmpty()) {
            h.name = r.FieldByName(QStringLiteral("NOMBRE")).asString();
            h.nit = r.FieldByName(QStringLiteral("NIT")).value();
        }
        return h;
    }
    QSqlQuery q = db.exec(QStringLiteral("SELECT FIRST 1 NOMBRE, NIT FROM REGISTRO"));
    if (q.next()) {
        h.name = q.value(0).toString().trimmed();
        h.nit = q.value(1);
    }
    return h;
}

QString catalogListSql(Connection& db, const CatalogList& list, ListOrder order, bool withFrom, bool withTo)
{
    const QString t = list.table;
    auto col = [&t](const QString& f) { return t + QLatin1Char('.') + f; };
    QStringList cols;
    for (const ListColumn& c : list.columns)
        cols << col(c.field);
    // The bounds are bound values. A numeric key compares with them as numbers (a register number
    // is a double, a branch an integer); text keys compare as text.
    const bool numeric = numericColumn(db, t, list.keyField);
    const QString from = numeric ? QStringLiteral("CAST(:DESDE AS DOUBLE PRECISION)") : QStringLiteral(":DESDE");
    const QString to = numeric ? QStringLiteral("CAST(:HASTA AS DOUBLE PRECISION)") : QStringLiteral(":HASTA");
    QStringList where;
    if (withFrom)
        where << QStringLiteral("(%1 >= %2)").arg(col(list.keyField), from);
    if (withTo)
        where << QStringLiteral("(%1 <= %2)").arg(col(list.keyField), to);
    QString sql = QStringLiteral("SELECT %1\nFROM %2\n").arg(cols.join(QStringLiteral(", ")), t);
    if (!where.isEmpty())
        sql += QStringLiteral("WHERE (%1)\n").arg(where.join(QStringLiteral(" AND ")));
    // The other column breaks ties, so rows with the same name always print in the same order.
    if (order == ListOrder::ByKey)
        sql += QStringLiteral("ORDER BY %1, %2").arg(col(list.keyField), col(list.nameField));
    else
        sql += QStringLiteral("ORDER BY %1, %2").arg(col(list.nameField), col(list.keyField));
    return sql;
}

Document renderCatalogList(Connection& db, const CatalogList& list, const QString& from, const QString& to,
                           ListOrder order, const QDateTime& printTime)
{
    const bool numeric = numericColumn(db, list.table, list.keyField);
    QVariant low, high;
    if (numeric) {
        // A bound that is not a number stops here with the conversion message; nothing prints.
        low = StrToFloat(from);
        high = StrToFloat(to);
    } else {
        if (!from.isEmpty())
            low = from;
        if (!to.isEmpty())
            high = to;
    }

    Dataset rows(db);
    rows.setSql(catalogListSql(db, list, order, low.isValid(), high.isValid()));
    if (low.isValid())
        rows.setParam(QStringLiteral("DESDE"), low);
    if (high.isValid())
        rows.setParam(QStringLiteral("HASTA"), high);
    rows.Open();
    DatasetRowSource source(rows);

    const Letterhead head = readLetterhead(db);
    Report rpt(list.title);
    rpt.page() = PageSetup::letter();
    if (printTime.isValid())
        rpt.setPrintTime(printTime);
    const double W = rpt.page().printableWidth();

    Band& ph = rpt.pageHeader().setHeight(21);
    ph.addText(0, 0, 80, 4, QStringLiteral("SISTEMA P.O.S.")).bold();
    ph.addText(140, 0, 18, 4, QStringLiteral("Impreso"));
    ph.addSystem(158, 0, W - 158, 4, ValueSource::PrintTime)
        .withDatePicture(QStringLiteral("dd/mm/yyyy hh:nn"))
        .named(QStringLiteral("Impreso"))
        .right();
    ph.addText(0, 4.5, 130, 4, head.name).named(QStringLiteral("Empresa")).bold();
    ph.addText(140, 4.5, 18, 4, QStringLiteral("Pagina"));
    ph.addSystem(158, 4.5, W - 158, 4, ValueSource::PageNumber).named(QStringLiteral("Pagina")).right();
    ph.addText(0, 9, 12, 4, QStringLiteral("Nit :"));
    ph.addText(12, 9, 60, 4, head.nit.isNull() ? QString() : FormatFloat(QStringLiteral("###,###"), head.nit.toDouble()))
        .named(QStringLiteral("Nit"));
    ph.addText(0, 14, W, 6, list.title).named(QStringLiteral("Titulo")).centre().bold().size(12);

    Band& ch = rpt.columnHeader().setHeight(7);
    Band& d = rpt.detail().setHeight(4.5);
    for (const ListColumn& c : list.columns) {
        ReportItem& h = ch.addText(c.x, 1, c.width, 4, c.caption).bold();
        ReportItem& f = d.addField(c.x, 0, c.width, 4.5, c.field, c.picture).named(c.field);
        if (c.right) {
            h.right();
            f.right();
        }
    }
    ch.addLine(0, 6, W, 6);

    // The count starts at 0, goes up by one before each detail line and is written into the
    // summary, then starts again for the next printing.
    auto count = std::make_shared<int>(0);
    d.beforePrint = [count](BandEvent&) { ++*count; };
    Band& s = rpt.summary().setHeight(12);
    s.addLine(0, 1, W, 1);
    s.addText(0, 3, 60, 4, QStringLiteral("Fin de Reporte  ***")).bold();
    s.addText(100, 3, 80, 4, QString()).named(QStringLiteral("TotalRegistros")).bold();
    s.beforePrint = [count](BandEvent& e) {
        e.band.item(QStringLiteral("TotalRegistros")).setText(QStringLiteral("Total Registros : %1").arg(*count));
        *count = 0;
    };

    Band& pf = rpt.pageFooter().setHeight(6);
    pf.addLine(0, 0.5, W, 0.5);
    pf.addText(0, 1.5, W, 4, QStringLiteral("KorvelaPos - Punto de venta")).size(6);

    rpt.setSource(source);
    return rpt.render();
}

}  // namespace kv
