#include "backoffice/UntImprimeEtiquetasRpt.h"

#include "common/Numbers.h"
#include "report/Barcode.h"
#include "report/DatasetRowSource.h"

namespace kv {

namespace {

// The roll and the label, in millimetres.
constexpr double kRollWidth = 102.4;
constexpr double kStrip = 24.1;
constexpr double kLabelWidth = 34.1;
constexpr double kLabelHeight = 22.2;
constexpr double kBarsWidth = 31.2;
constexpr double kBarsHeight = 10.8;
constexpr double kSmallType = 5;  // points

bool isDigits(const QString& s)
{
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

}  // namespace

QString TFrmImprimeEtiquetasRpt::sql()
{
    return QStringLiteral("SELECT Productos.PRODUCTO, Productos.NOMBRE, Productos.VALORUNIDAD, Productos.VALORIVA,"
                          " Productos.CODIGOBARRAS, Productos.PRECIOMASIVA, Etiquetas.CONSECUTIVO"
                          " FROM PRODUCTOS Productos  INNER JOIN ETIQUETAS Etiquetas "
                          " ON  (Productos.PRODUCTO = Etiquetas.PRODUCTO)"
                          " ORDER BY Etiquetas.PRODUCTO, Etiquetas.CONSECUTIVO");
}

double TFrmImprimeEtiquetasRpt::precio(double valorUnidad, double iva, bool ivaIncluido)
{
    return ivaIncluido ? valorUnidad : valorUnidad + R(iva * valorUnidad / 100);
}

TFrmImprimeEtiquetasRpt::TFrmImprimeEtiquetasRpt(Connection& db) : q_(db), rpt_(QStringLiteral("Etiquetas"))
{
    q_.setSql(sql());
    PageSetup& page = rpt_.page();
    page = PageSetup::rollPaper(kRollWidth, kStrip);
    page.top = 1.0;
    page.columns = 3;
    page.columnsAcross = true;

    Band& d = rpt_.detail().setHeight(kLabelHeight);
    const double barsLeft = (kLabelWidth - kBarsWidth) / 2;
    d.addBarcode(barsLeft, 0, kBarsWidth, kBarsHeight, QString()).named(QStringLiteral("Barras"));
    d.addField(0, 12.2, kLabelWidth, 2.6, QStringLiteral("PRODUCTO")).named(QStringLiteral("Producto")).centre().size(kSmallType);
    d.addField(0.5, 15.3, kLabelWidth - 1, 2.6, QStringLiteral("NOMBRE"))
        .named(QStringLiteral("Nombre"))
        .centre()
        .size(kSmallType)
        .wrap();
    d.addText(0, 18.0, kLabelWidth, 2.6, QString())
        .named(QStringLiteral("Precio"))
        .centre()
        .size(kSmallType)
        .bold();
    d.beforePrint = [](BandEvent& e) {
        const RowSource& row = e.row;
        const bool incluido = row.value(QStringLiteral("PRECIOMASIVA")).toString().trimmed() == QLatin1String("S");
        e.band.item(QStringLiteral("Precio"))
            .setText(FormatFloat(QStringLiteral("###,###.00"),
                                 precio(row.value(QStringLiteral("VALORUNIDAD")).toDouble(),
                                        row.value(QStringLiteral("VALORIVA")).toDouble(), incluido)));
        // A code that is not all digits cannot be drawn; its label goes out without bars (the
        // screen has listed it before printing).
        const QString code = row.value(QStringLiteral("CODIGOBARRAS")).toString().trimmed();
        e.band.item(QStringLiteral("Barras")).setValue(isDigits(code) ? code : QString());
    };
}

Document TFrmImprimeEtiquetasRpt::render()
{
    q_.Close();
    q_.Open();
    DatasetRowSource rows(q_);
    rpt_.setSource(rows);
    Document doc = rpt_.render();
    rpt_.setRows({});
    q_.Close();
    return doc;
}

}  // namespace kv
