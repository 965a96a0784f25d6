#pragma once
// Lists by description: the catalogue lists, the users and permission lists and the back-office
// listings are a title, columns and, where wanted, a group break with totals. One builder lays
// them all out the same way on letter paper:
//
//   page header  "SISTEMA P.O.S."  business name, NIT        "Impreso" time, "Pagina" n
//                                   TITLE
//   column titles over a rule
//   [group header: caption and value]  detail lines  [group footer: the group's totals]
//   summary      "Fin de Reporte  ***"   "Total Registros : n"   the report's totals
//   page footer  a rule and the program's name
//
//     ListReport list{QStringLiteral("CAJAS"),
//                     {{QStringLiteral("Caja"), QStringLiteral("CAJA"), 0, 25, QString(), true},
//                      {QStringLiteral("Nombre"), QStringLiteral("NOMBRE"), 32, 150}}};
//     auto rpt = listReport(list, readLetterhead(db), readRows(cursor));
#include "data/Dataset.h"
#include "report/Report.h"

#include <QVector>
#include <memory>

namespace kv {

struct ListColumn {
    ListColumn(const QString& caption, const QString& field, double x, double width, const QString& picture = QString(),
               bool right = false)
        : caption(caption), field(field), x(x), width(width), picture(picture), right(right)
    {
    }
    ListColumn& dates(const QString& p) { datePicture = p; return *this; }
    ListColumn& wrapped() { wrap = true; return *this; }
    ListColumn& summed() { total = true; return *this; }

    QString caption;      // column title
    QString field;
    double x = 0;         // mm from the left margin
    double width = 30;
    QString picture;      // numbers: FormatFloat picture
    bool right = false;
    QString datePicture;  // dates: FormatDateTime picture
    bool wrap = false;    // long text breaks into lines (monospaced, so marks line up)
    bool total = false;   // summed under each group and at the end
};

struct ListReport {
    ListReport(const QString& title, const QVector<ListColumn>& columns) : title(title), columns(columns) {}
    // Rows break into groups while `field` keeps its value; `caption` goes before the value.
    ListReport& groupedBy(const QString& field, const QString& caption)
    {
        groupField = field;
        groupCaption = caption;
        return *this;
    }

    QString title;             // the report's name and the heading under the letterhead
    QVector<ListColumn> columns;
    QString groupField;
    QString groupCaption;
};

// Business name and NIT printed at the top of every list.
struct Letterhead {
    QString name;
    QVariant nit;
};
// Printed from the program's own database, the general data module's REGISTRO row; otherwise the
// database's first REGISTRO row.
Letterhead readLetterhead(Connection& db);

// Every row of an open dataset from its first, its fields by name.
QList<QVariantMap> readRows(Dataset& ds);

std::unique_ptr<Report> listReport(const ListReport& list, const Letterhead& head, QList<QVariantMap> rows);

}  // namespace kv
