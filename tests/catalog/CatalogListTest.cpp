// The printed catalogue lists, checked on their Document: letterhead, column titles, the rows of
// the range in the chosen order, the count at the end; and what happens to a range that is not a
// number.
#include "ScreenKeys.h"
#include "catalog/UntCajas.h"
#include "catalog/UntCajeros.h"
#include "catalog/UntMesas.h"
#include "catalog/UntMeseros.h"
#include "catalog/UntSucursales.h"
#include "support/TestDb.h"

#include <QAbstractButton>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

using namespace kv;
using kvtest::showActive;
using kvtest::typeInto;

namespace {

class CatalogListTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db->exec("INSERT INTO REGISTRO (NOMBRE, NIT) VALUES ('TIENDA LA ESQUINA', 900123456)");
    }
    static QStringList column(const Document& doc, const QString& field)
    {
        QStringList out;
        for (const DocItem* i : doc.findNamed(field))
            out << i->text;
        return out;
    }
    static QString total(const Document& doc)
    {
        const DocItem* i = doc.named("TotalRegistros");
        return i ? i->text : QString();
    }
};

TEST_F(CatalogListTest, BranchesFromZeroOneToNinetyNineByName)
{
    for (auto [code, name] : {std::pair{1, "ZONA FRANCA"}, std::pair{2, "ALMACEN CENTRO"}, std::pair{99, "MOSTRADOR"},
                              std::pair{100, "BODEGA CIEN"}})
        db->exec("INSERT INTO BODEGAS (BODEGA, NOMBRE) VALUES (:B, :N)", {{"B", code}, {"N", name}});
    TFrmSucursales f(*db);
    showActive(&f);
    const Document doc = f.ListDocument();
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(doc.pageSize, QSizeF(215.9, 279.4));
    EXPECT_EQ(column(doc, "NOMBRE"), (QStringList{"ALMACEN CENTRO", "MOSTRADOR", "ZONA FRANCA"}));
    EXPECT_EQ(column(doc, "BODEGA"), (QStringList{"2", "99", "1"}));
    EXPECT_EQ(total(doc), "Total Registros : 3");
    const QStringList texts = doc.texts();
    for (const char* t : {"SISTEMA P.O.S.", "SUCURSALES", "Impreso", "Pagina", "TIENDA LA ESQUINA", "Nit :", "900,123,456",
                          "Codigo", "Descripción", "Fin de Reporte  ***"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(t))) << t;
    EXPECT_EQ(doc.named("Pagina")->text, "1");
}

TEST_F(CatalogListTest, CashiersByIdentityNumberCountTheRowsOfTheRange)
{
    for (auto [cedula, name] : {std::pair{79555111.0, "ANA"}, std::pair{1234567.0, "ZOE"}, std::pair{80000001.0, "BETO"},
                                std::pair{1000000000.0, "FUERA DE RANGO"}})
        db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, NIVEL) VALUES (:C, :N, 'C')", {{"C", cedula}, {"N", name}});
    TFrmCajeros f(*db);
    showActive(&f);
    EXPECT_EQ(f.Edit2->text(), "1");
    EXPECT_EQ(f.Edit3->text(), "999999999");
    f.RadioGroup1->button(1)->click();  // "#"
    Document doc = f.ListDocument();
    EXPECT_EQ(column(doc, "CEDULA"), (QStringList{"1,234,567", "79,555,111", "80,000,001"}));
    EXPECT_EQ(column(doc, "NIVEL"), (QStringList{"C", "C", "C"}));
    EXPECT_EQ(total(doc), "Total Registros : 3");
    for (const char* t : {"CAJEROS", "Cèdula", "Nombre", "Nivel"})
        EXPECT_TRUE(doc.texts().contains(QString::fromUtf8(t))) << t;

    // A narrower range; printing again starts the count again.
    typeInto(f.Edit2, "2000000");
    typeInto(f.Edit3, "80000000");
    doc = f.ListDocument();
    EXPECT_EQ(column(doc, "NOMBRE"), QStringList{"ANA"});
    EXPECT_EQ(total(doc), "Total Registros : 1");
}

TEST_F(CatalogListTest, PrintingGoesToPreviewAndARangeThatIsNotANumberPrintsNothing)
{
    db->exec("INSERT INTO POSCAJAS (CAJA, NOMBRE) VALUES (1, 'CAJA UNO')");
    QTemporaryDir out;
    const QByteArray saved = qgetenv("KORVELA_PRINT_TO");
    qputenv("KORVELA_PRINT_TO", out.path().toUtf8());
    auto pdfs = [&out] { return QDir(out.path()).entryList({"*.pdf"}, QDir::Files).size(); };
    {
        TFrmCajas f(*db);
        showActive(&f);
        typeInto(f.Edit3, "9a");
        QTest::keyClick(f.BitBtn1, Qt::Key_Space);
        EXPECT_EQ(dialogs.texts("error").size(), 1);
        EXPECT_EQ(pdfs(), 0);
        typeInto(f.Edit3, "9");
        QTest::keyClick(f.BitBtn1, Qt::Key_Space);
        EXPECT_EQ(pdfs(), 1);
        // Enter in a box never prints.
        QTest::keyClick(f.Edit3, Qt::Key_Return);
        EXPECT_EQ(pdfs(), 1);
    }
    if (saved.isNull())
        qunsetenv("KORVELA_PRINT_TO");
    else
        qputenv("KORVELA_PRINT_TO", saved);
}

TEST_F(CatalogListTest, TablesAndWaitersPrintTheirOwnLists)
{
    db->exec("INSERT INTO MESAS (ESPACIO, NUMERO, PEDIDO) VALUES ('TERRAZA', 'T2', 0)");
    db->exec("INSERT INTO MESAS (ESPACIO, NUMERO, PEDIDO) VALUES ('SALON', '1', 0)");
    db->exec("INSERT INTO MESERO (CEDULA, NOMBRE) VALUES (1015420331, 'JUAN')");
    db->exec("INSERT INTO MESERO (CEDULA, NOMBRE) VALUES (80765432, 'LUIS')");
    {
        TFrmMesas f(*db);
        showActive(&f);
        f.RadioGroup1->button(1)->click();  // by area
        Document doc = f.ListDocument();  // empty boxes: every area
        EXPECT_EQ(column(doc, "ESPACIO"), (QStringList{"SALON", "TERRAZA"}));
        EXPECT_TRUE(doc.texts().contains("MESAS"));
        typeInto(f.Edit2, "T");
        doc = f.ListDocument();
        EXPECT_EQ(column(doc, "NUMERO"), QStringList{"T2"});
    }
    TFrmMeseros w(*db);
    showActive(&w);
    const Document doc = w.ListDocument();  // ten-digit cédulas are inside the default range
    EXPECT_EQ(column(doc, "NOMBRE"), (QStringList{"JUAN", "LUIS"}));
    EXPECT_EQ(column(doc, "CEDULA"), (QStringList{"1,015,420,331", "80,765,432"}));
    EXPECT_EQ(total(doc), "Total Registros : 2");
}

}  // namespace
