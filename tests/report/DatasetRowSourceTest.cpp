// A report fed by a real Dataset on an embedded database: rows, groups and a logo blob.
#include "data/Dataset.h"
#include "report/DatasetRowSource.h"
#include "report/Report.h"
#include "support/TestDb.h"

#include <QBuffer>
#include <QImage>

using namespace kv;

namespace {

class DatasetReportTest : public kvtest::DbTest {};

}  // namespace

TEST_F(DatasetReportTest, ReportWalksTheCursorWithGroupsAndTotals)
{
    const struct {
        double caja;
        const char* nombre;
        int empresa;
    } rows[] = {{1, "CAJA PRINCIPAL", 1}, {2, "CAJA DOS", 1}, {3, "BARRA", 2}, {4, nullptr, 2}};
    for (const auto& r : rows)
        db->exec(QStringLiteral("INSERT INTO POSCAJAS (CAJA, NOMBRE, EMPRESA) VALUES (:CAJA, :NOMBRE, :EMPRESA)"),
                 {{"CAJA", r.caja},
                  {"NOMBRE", r.nombre ? QVariant(QString::fromLatin1(r.nombre)) : QVariant()},
                  {"EMPRESA", r.empresa}});

    Dataset cajas(*db);
    cajas.setSql(QStringLiteral("SELECT CAJA, NOMBRE, EMPRESA FROM POSCAJAS WHERE EMPRESA >= :DESDE ORDER BY EMPRESA, CAJA"));
    cajas.setParam(QStringLiteral("DESDE"), 1);
    DatasetRowSource source(cajas);  // opens the cursor itself

    Report r(QStringLiteral("CAJAS"));
    r.setSource(source);
    Group& g = r.addGroup(QStringLiteral("EMPRESA"));
    g.header().setHeight(5).addField(0, 0, 30, 5, QStringLiteral("EMPRESA")).withPrefix(QStringLiteral("Empresa "));
    r.detail().setHeight(5).addField(0, 0, 20, 5, QStringLiteral("CAJA"), QStringLiteral("###,###."));
    r.detail().addField(25, 0, 60, 5, QStringLiteral("NOMBRE"));
    r.addCount(QStringLiteral("Cajas"), 0);
    g.footer().setHeight(5).addSystem(0, 0, 30, 5, ValueSource::Total, QStringLiteral("Cajas"));

    EXPECT_EQ(r.render().texts(), QStringList({"Empresa 1", "1", "CAJA PRINCIPAL", "2", "CAJA DOS", "2", "Empresa 2", "3",
                                               "BARRA", "4", "", "2"}));
    EXPECT_TRUE(cajas.Eof());
    // A second rendering starts again from the first row.
    EXPECT_EQ(r.render().texts().first(), QStringLiteral("Empresa 1"));
}

TEST_F(DatasetReportTest, LogoBlobPrintsAsAnImageAndCharFieldsLoseTheirBlanks)
{
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::red);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    logo.save(&buf, "PNG");
    db->exec(QStringLiteral("INSERT INTO REGISTRO (NOMBRE, NIT, LOGO) VALUES (:NOMBRE, :NIT, :LOGO)"),
             {{"NOMBRE", QStringLiteral("LA ESQUINA")}, {"NIT", 900123456.0}, {"LOGO", png}});

    Dataset registro(*db);
    registro.setTableName(QStringLiteral("REGISTRO"));
    DatasetRowSource source(registro);
    Report r;
    r.setSource(source);
    Band& t = r.titleBand().setHeight(20);
    t.addImageField(0, 0, 30, 15, QStringLiteral("LOGO")).named(QStringLiteral("Logo"));
    t.addField(35, 0, 80, 5, QStringLiteral("NOMBRE")).withSuffix(QStringLiteral("|"));
    t.addField(35, 5, 80, 5, QStringLiteral("NIT"), QStringLiteral("###,###.")).withPrefix(QStringLiteral("Nit : "));
    const Document doc = r.render();

    ASSERT_NE(doc.named("Logo"), nullptr);
    EXPECT_EQ(doc.named("Logo")->image.size(), QSize(40, 20));
    EXPECT_EQ(doc.named("Logo")->image.pixelColor(5, 5), QColor(Qt::red));
    EXPECT_EQ(doc.texts(), QStringList({"LA ESQUINA|", "Nit : 900,123,456"}));
}
