#include "report/ListReport.h"

#include "common/Numbers.h"
#include "data/UntDMGeneral.h"

namespace kv {

Letterhead readLetterhead(Connection& db)
{
    Letterhead h;
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

QList<QVariantMap> readRows(Dataset& ds)
{
    QList<QVariantMap> rows;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        QVariantMap r;
        for (int i = 0; i < ds.fieldCount(); ++i)
            r.insert(ds.fieldAt(i).name(), ds.fieldAt(i).value());
        rows.append(r);
    }
    return rows;
}

namespace {

QString totalName(const ListColumn& c) { return QStringLiteral("Total") + c.field; }

// The totals of the summed columns, under their columns.
void addTotals(Report& rpt, Band& band, const QVector<ListColumn>& columns, int group, const QString& suffix)
{
    for (const ListColumn& c : columns) {
        if (!c.total)
            continue;
        rpt.addTotal(totalName(c) + suffix, c.field, group);
        band.addSystem(c.x, 2, c.width, 4, ValueSource::Total, totalName(c) + suffix)
            .withPicture(c.picture)
            .named(totalName(c) + suffix)
            .right()
            .bold();
    }
}

}  // namespace

std::unique_ptr<Report> listReport(const ListReport& list, const Letterhead& head, QList<QVariantMap> rows)
{
    auto rpt = std::make_unique<Report>(list.title);
    rpt->page() = PageSetup::letter();
    const double W = rpt->page().printableWidth();

    Band& ph = rpt->pageHeader().setHeight(21);
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

    Band& ch = rpt->columnHeader().setHeight(7);
    Band& d = rpt->detail().setHeight(4.5);
    for (const ListColumn& c : list.columns) {
        ReportItem& h = ch.addText(c.x, 1, c.width, 4, c.caption).bold();
        ReportItem& f = d.addField(c.x, 0, c.width, 4.5, c.field, c.picture).named(c.field);
        if (!c.datePicture.isEmpty())
            f.withDatePicture(c.datePicture);
        if (c.wrap)
            f.wrap().family(QStringLiteral("DejaVu Sans Mono"));
        if (c.right) {
            h.right();
            f.right();
        }
    }
    ch.addLine(0, 6, W, 6);

    if (!list.groupField.isEmpty()) {
        Group& g = rpt->addGroup(list.groupField);
        Band& gh = g.header().setHeight(6);
        gh.addText(0, 1, 40, 4, list.groupCaption).bold();
        gh.addField(40, 1, 120, 4, list.groupField).named(QStringLiteral("Grupo")).bold();
        Band& gf = g.footer().setHeight(7);
        gf.addLine(0, 1, W, 1);
        addTotals(*rpt, gf, list.columns, 0, QStringLiteral("Grupo"));
    }

    // The count starts at 0, goes up by one before each detail line and is written into the
    // summary, then starts again for the next printing.
    auto count = std::make_shared<int>(0);
    d.beforePrint = [count](BandEvent&) { ++*count; };
    Band& s = rpt->summary().setHeight(14);
    s.addLine(0, 1, W, 1);
    addTotals(*rpt, s, list.columns, -1, QString());
    s.addText(0, 8, 60, 4, QStringLiteral("Fin de Reporte  ***")).bold();
    s.addText(100, 8, 80, 4, QString()).named(QStringLiteral("TotalRegistros")).bold();
    s.beforePrint = [count](BandEvent& e) {
        e.band.item(QStringLiteral("TotalRegistros")).setText(QStringLiteral("Total Registros : %1").arg(*count));
        *count = 0;
    };

    Band& pf = rpt->pageFooter().setHeight(6);
    pf.addLine(0, 0.5, W, 0.5);
    pf.addText(0, 1.5, W, 4, QStringLiteral("KorvelaPos - Punto de venta")).size(6);

    rpt->setRows(std::move(rows));
    return rpt;
}

}  // namespace kv
