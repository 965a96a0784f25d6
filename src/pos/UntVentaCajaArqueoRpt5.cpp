#include "pos/UntVentaCajaArqueoRpt5.h"

#include "common/Dates.h"
#include "common/Numbers.h"
#include "common/SaleAmounts.h"

namespace kv {

namespace {

// The company's registers: those selling under one of its parameter rows.
const char* const kCompanyRegisters =
    "SELECT K.CAJA FROM POSCAJAS K JOIN POSESQUEMA P ON P.LLAVE = K.EMPRESA WHERE P.EMPRESA = :EMPRESA";

}  // namespace

std::unique_ptr<Report> TFrmVentaCajaArqueoRpt5::build(Connection& db, const CashReportParams& p)
{
    QVariantMap params = periodParams(p);
    params.insert(QStringLiteral("EMPRESA"), p.empresa);
    params.insert(QStringLiteral("DOCUMENTO"), p.documento);
    // As in the cash count, company and type are compared as built text so that the period is
    // read by the FECHA index. Only closed documents are sales: one still open has not been paid.
    const QVariantMap sales =
        queryRows(db,
                  QStringLiteral("SELECT SUM(NETO) NETO, SUM(VALORPROPINA) VALORPROPINA, SUM(DESCUENTO) DESCUENTO, "
                                 "SUM(ABONO) ABONO, SUM(PERSONAS) PERSONAS FROM POSMOVIMIENTO WHERE FECHA >= :FECHAI "
                                 "AND FECHA < :FECHAF AND EMPRESA || '' = :EMPRESA AND DOCUMENTO || '' = :DOCUMENTO "
                                 "AND STATUS = 'I'"),
                  params)
            .value(0);
    params.remove(QStringLiteral("DOCUMENTO"));
    const double base = db.scalar(QStringLiteral("SELECT SUM(INCIO) FROM POSARQUEO WHERE FECHA >= :FECHAI AND FECHA < "
                                                 ":FECHAF AND CAJA IN (%1)")
                                      .arg(QLatin1String(kCompanyRegisters)),
                                  params)
                            .toDouble();
    const double egresos = db.scalar(QStringLiteral("SELECT SUM(VALOR) FROM POSPAGOSCAJA WHERE FECHA >= :FECHAI AND "
                                                    "FECHA < :FECHAF AND CAJA IN (%1)")
                                         .arg(QLatin1String(kCompanyRegisters)),
                                     params)
                               .toDouble();
    auto sum = [&sales](const char* column) { return sales.value(QLatin1String(column)).toDouble(); };
    const double abonos = sum("ABONO");
    const double ventas = amountToPay(sum) + abonos;  // NETO + service - discount

    auto rpt = std::make_unique<Report>(QStringLiteral("RESUMEN GENERAL DE VENTAS"));
    rpt->page() = cashRollPage();
    if (p.printTime.isValid())
        rpt->setPrintTime(p.printTime);
    const double w = rpt->page().printableWidth();
    QString fecha = FormatDateTime(QStringLiteral("dd mmm yyyy"), p.first);
    if (p.last != p.first)
        fecha += QStringLiteral(" Hasta ") + FormatDateTime(QStringLiteral("dd mmm yyyy"), p.last);
    addReportHeading(*rpt, rpt->title, {companyName(db, p.empresa), QStringLiteral("FECHA  ") + fecha});

    struct Line {
        QString caption, name, value;
        bool bold = false;
    };
    const QString amount = QStringLiteral("###,###.00");
    const QList<Line> lines{
        {QStringLiteral("Total Ventas"), QStringLiteral("TotalVentas"), FormatFloat(amount, ventas)},
        {QStringLiteral("Base Caja"), QStringLiteral("BaseCaja"), FormatFloat(amount, base)},
        {QStringLiteral("-Menos Egresos"), QStringLiteral("Egresos"), FormatFloat(amount, egresos)},
        {QStringLiteral("-Menos Abonos"), QStringLiteral("Abonos"), FormatFloat(amount, abonos)},
        {QStringLiteral("TOTAL CAJA"), QStringLiteral("TotalCaja"), FormatFloat(amount, ventas + base - egresos - abonos), true},
        {QStringLiteral("TOTAL Personas"), QStringLiteral("Personas"), FormatFloat(QStringLiteral("###,###."), sum("PERSONAS"))}};
    Band& t = rpt->titleBand().setHeight(lines.size() * 5 + 2);
    double y = 1;
    for (const Line& l : lines) {
        t.addText(0, y, 38, 4.5, l.caption).named(l.name + QStringLiteral("Texto")).bold(l.bold);
        t.addText(38, y, w - 38, 4.5, l.value).named(l.name).right().bold(l.bold);
        y += 5;
    }
    return rpt;
}

void TFrmVentaCajaArqueoRpt5::Imprimir(Connection& db, const CashReportParams& p, QWidget* parent)
{
    previewReport(*build(db, p), parent);
}

}  // namespace kv
