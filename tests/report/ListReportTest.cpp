// Lists by description: a group break with its totals, the report's totals and the row count,
// under the letterhead.
#include "report/ListReport.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

QStringList textsOf(const Document& doc, const QString& name)
{
    QStringList out;
    for (const DocItem* i : doc.findNamed(name))
        out << i->text;
    return out;
}

TEST(ListReport, GroupsBreakOnTheirFieldWithTheirTotalsAndTheListEndsWithItsOwn)
{
    QList<QVariantMap> rows;
    for (auto [caja, nombre, valor] : {std::tuple{"CAJA 1", "ANA", 1500.0}, std::tuple{"CAJA 1", "LUIS", 2500.5},
                                       std::tuple{"CAJA 2", "ZOE", 1000.0}})
        rows.append({{"CAJA", caja}, {"NOMBRE", nombre}, {"VALOR", valor}});
    ListReport list(QStringLiteral("VENTAS POR CAJA"),
                    {ListColumn(QStringLiteral("Nombre"), QStringLiteral("NOMBRE"), 0, 80),
                     ListColumn(QStringLiteral("Valor"), QStringLiteral("VALOR"), 100, 40, QStringLiteral("###,###.00"), true)
                         .summed()});
    list.groupedBy(QStringLiteral("CAJA"), QStringLiteral("Caja :"));
    auto rpt = listReport(list, {QStringLiteral("TIENDA LA ESQUINA"), 900123456.0}, rows);
    const Document doc = rpt->render();

    EXPECT_EQ(textsOf(doc, "Grupo"), (QStringList{"CAJA 1", "CAJA 2"}));
    EXPECT_EQ(textsOf(doc, "VALOR"), (QStringList{"1,500.00", "2,500.50", "1,000.00"}));
    EXPECT_EQ(textsOf(doc, "TotalVALORGrupo"), (QStringList{"4,000.50", "1,000.00"}));
    EXPECT_EQ(textsOf(doc, "TotalVALOR"), QStringList{"5,000.50"});
    EXPECT_EQ(doc.named("TotalRegistros")->text, "Total Registros : 3");
    EXPECT_EQ(doc.named("Empresa")->text, "TIENDA LA ESQUINA");
    EXPECT_EQ(doc.named("Nit")->text, "900,123,456");
    EXPECT_EQ(doc.named("Titulo")->text, "VENTAS POR CAJA");

    // Printed again, the count starts over.
    EXPECT_EQ(rpt->render().named("TotalRegistros")->text, "Total Registros : 3");
}

}  // namespace
