#include "backoffice/SalesExport.h"

#include "data/UntDMGeneral.h"
#include "platform/Workbook.h"

#include <QDateTime>
#include <QSqlRecord>

namespace kv {

namespace {

const QString kMoney = QStringLiteral("###,###.00");
// How often the progress call runs: often enough to follow, seldom enough to cost nothing.
constexpr int kProgressEvery = 250;

// The period's headers come first, on the date index, and each one's lines, customer and products
// by their keys. The header's and the lines' sides of the joins are built ("|| ''", "+ 0") so that
// the engine cannot start from all the lines, customers or products and look the headers up: on
// a database whose index statistics were never taken it does, and reads every year stored.
const char* const kJoins =
    " FROM POSMOVIMIENTO Posmovimiento"
    " INNER JOIN POSMOVIMIENTODETALLE Posmovimientodetalle ON (Posmovimientodetalle.EMPRESA = Posmovimiento.EMPRESA || '')"
    "   AND (Posmovimientodetalle.DOCUMENTO = Posmovimiento.DOCUMENTO || '')"
    "   AND (Posmovimientodetalle.CONSECUTIVO = Posmovimiento.CONSECUTIVO + 0)"
    " INNER JOIN PROVEEDORES Proveedores ON (Posmovimiento.CLIENTE + 0 = Proveedores.NIT)"
    " INNER JOIN PRODUCTOS Productos ON (Posmovimientodetalle.PRODUCTO + 0 = Productos.PRODUCTO)";
const char* const kRange = " WHERE Posmovimiento.FECHA >= :FECHAINICIAL AND Posmovimiento.FECHA < :FECHAFINAL";

// The current row of an export's query, its columns found by name once per query: looking a
// name up on the query itself builds the whole record each time, which a long export feels.
class Row {
public:
    explicit Row(QSqlQuery& q) : q_(q), rec_(q.record()) {}
    QVariant value(const char* column) const
    {
        const QLatin1String name(column);
        auto it = index_.constFind(name);
        if (it == index_.cend())
            it = index_.insert(name, rec_.indexOf(name));
        return q_.value(*it);
    }
    QString text(const char* column) const { return value(column).toString().trimmed(); }
    double number(const char* column) const { return value(column).toDouble(); }
    bool isNull(const char* column) const { return value(column).isNull(); }

private:
    QSqlQuery& q_;
    QSqlRecord rec_;
    mutable QHash<QString, int> index_;
};

// Walks a query's rows, calling `row` for each and the progress call every so often; -1 when
// the progress call stopped it.
int walk(Connection& db, const QString& sql, const QVariantMap& params, const ExportProgress& progress,
         const std::function<QString(const Row&)>& row)
{
    QSqlQuery q = db.exec(sql, params);
    const Row r(q);
    int n = 0;
    QString status;
    while (db.next(q)) {
        status = row(r);
        ++n;
        if (progress && n % kProgressEvery == 1 && !progress(n, status))
            return -1;
    }
    if (progress && !progress(n, status))
        return -1;
    return n;
}

QString procesando(const QVariant& v) { return QStringLiteral("Procesando Concepto [") + v.toString().trimmed() + QLatin1Char(']'); }

void headings(Workbook& wb, int row, const QStringList& titles)
{
    for (int c = 0; c < titles.size(); ++c)
        wb.setText(row, c + 1, titles[c]);
}

// The doctor's columns: the patient's PADRE on file, or "Pasiente Cliente" and nothing else.
bool hasDoctor(const Row& q) { return !q.isNull("DOCTORNIT"); }
QString doctor(const Row& q) { return hasDoctor(q) ? q.text("DOCTOR") : QStringLiteral("Pasiente Cliente"); }

}  // namespace

QString SalesExport::conceptoSql()
{
    // The doctor comes with the line (a left join on the patient's PADRE) instead of one read per
    // line.
    return QStringLiteral(
               "SELECT Posmovimiento.EMPRESA, Posmovimiento.DOCUMENTO, Posmovimiento.CONSECUTIVO, Posmovimiento.FECHA,"
               " Posmovimiento.TIPODEPAGO, Posmovimiento.CLIENTE, Productos.NOMBRE, Posmovimientodetalle.CANTIDAD,"
               " Posmovimientodetalle.SUBTOTAL, Proveedores.PADRE, Proveedores.NOMBRE PACIENTE, Proveedores.DIRECCION,"
               " Proveedores.TELEFONO, Proveedores.TELEFONO TELEFONO_1, Proveedores.NIT, Proveedores.TIPOTERCERO,"
               " Proveedores.FECHACUMPLEANOS, Proveedores.FECHANACIMIENTO, Proveedores.CLASETERCERO, Proveedores.PAIS,"
               " Proveedores.FAX, Doctor.NIT DOCTORNIT, Doctor.NOMBRE DOCTOR, Doctor.DIRECCION DOCTORDIRECCION,"
               " Doctor.TELEFONO DOCTORTELEFONO") +
           QLatin1String(kJoins) + QStringLiteral(" LEFT JOIN PROVEEDORES Doctor ON (Doctor.NIT = Proveedores.PADRE)") +
           QLatin1String(kRange) +
           QStringLiteral(" ORDER BY Proveedores.PADRE, Proveedores.NOMBRE, Posmovimiento.FECHA, Posmovimiento.CONSECUTIVO,"
                          " Posmovimientodetalle.LINEA");
}

QString SalesExport::conceptoRSql()
{
    return QStringLiteral("SELECT Doctor.NOMBRE ODONTOLOGO, Doctor.TELEFONO, Doctor.DIRECCION, Productos.NOMBRE,"
                          " SUM( Posmovimientodetalle.CANTIDAD ) \"SUM\", SUM( Posmovimientodetalle.SUBTOTAL ) SUM_1") +
           QLatin1String(kJoins) + QStringLiteral(" INNER JOIN PROVEEDORES Doctor ON (Proveedores.PADRE = Doctor.NIT)") +
           QLatin1String(kRange) +
           QStringLiteral(" GROUP BY Doctor.NOMBRE, Doctor.TELEFONO, Doctor.DIRECCION, Productos.NOMBRE"
                          " ORDER BY Doctor.NOMBRE, Productos.NOMBRE");
}

QString SalesExport::productoSql()
{
    // Name and tax rate come with the totals; every sale of the company counts, whether or not its
    // customer is on file. The company is compared as built text and the join built on the
    // header's side, so the period is read on the date index: compared plainly, the company
    // reaches the lines' key and the engine reads all of the company's lines of every year.
    return QStringLiteral(
        "SELECT Movimientodetalle.PRODUCTO, Productos.NOMBRE, Productos.VALORIVA PORCENTAJEIVA,"
        " Sum(Movimientodetalle.CANTIDAD) CANTIDAD, Sum(Movimientodetalle.DESCUENTO) VALORDESCUENTO,"
        " Sum(Movimientodetalle.VALORIVA) VALORIVA, Sum(Movimientodetalle.SUBTOTAL) SUBTOTAL"
        " FROM POSMOVIMIENTO Movimiento"
        " INNER JOIN POSMOVIMIENTODETALLE Movimientodetalle ON (Movimientodetalle.EMPRESA = Movimiento.EMPRESA || '')"
        "   AND (Movimientodetalle.DOCUMENTO = Movimiento.DOCUMENTO || '')"
        "   AND (Movimientodetalle.CONSECUTIVO = Movimiento.CONSECUTIVO + 0)"
        " LEFT JOIN PRODUCTOS Productos ON (Movimientodetalle.PRODUCTO = Productos.PRODUCTO)"
        " WHERE Movimiento.EMPRESA || '' = :EMPRESA AND Movimiento.FECHA >= :FECHAINICIAL AND Movimiento.FECHA < :FECHAFINAL"
        " GROUP BY Movimientodetalle.PRODUCTO, Productos.NOMBRE, Productos.VALORIVA"
        " ORDER BY Movimientodetalle.PRODUCTO");
}

QVariantMap SalesExport::range(const QDate& first, const QDate& last)
{
    return {{QStringLiteral("FECHAINICIAL"), QDateTime(first, QTime(0, 0))},
            {QStringLiteral("FECHAFINAL"), QDateTime(last.addDays(1), QTime(0, 0))}};
}

QString SalesExport::tipoDePago(const QString& code)
{
    static const QHash<QString, QString> names{{QStringLiteral("C"), QStringLiteral("Contado")},
                                               {QStringLiteral("k"), QStringLiteral("Cxc")},
                                               {QStringLiteral("H"), QStringLiteral("Cheque")},
                                               {QStringLiteral("T"), QStringLiteral("Tarjeta")},
                                               {QStringLiteral("O"), QStringLiteral("Otra Moneda")}};
    return names.value(code.trimmed());
}

int SalesExport::detallado(Connection& db, Workbook& wb, const QDate& first, const QDate& last,
                           const ExportProgress& progress)
{
    headings(wb, 2,
             {QStringLiteral("Factura"), QStringLiteral("Fecha"), QStringLiteral("Doctor"), QStringLiteral("Paciente"),
              QStringLiteral("Producto"), QStringLiteral("Cantidad"), QStringLiteral("Valor"),
              QStringLiteral("Tipo De Pago"), QStringLiteral("Direccion"), QStringLiteral("Telefono")});
    int row = 2;
    double cantidad = 0, valor = 0;
    const int n = walk(db, conceptoSql(), range(first, last), progress, [&](const Row& q) {
        ++row;
        wb.setNumber(row, 1, q.number("CONSECUTIVO"));
        wb.setDate(row, 2, q.value("FECHA").toDate(), QStringLiteral("dd mmmm yyyy"));
        wb.setText(row, 3, doctor(q));
        wb.setText(row, 4, q.text("PACIENTE"));
        wb.setText(row, 5, q.text("NOMBRE"));
        wb.setNumber(row, 6, q.number("CANTIDAD"));
        wb.setNumber(row, 7, q.number("SUBTOTAL"));
        wb.setText(row, 8, tipoDePago(q.text("TIPODEPAGO")));
        if (hasDoctor(q)) {
            wb.setText(row, 9, q.text("DOCTORDIRECCION"));
            wb.setText(row, 10, q.text("DOCTORTELEFONO"));
        }
        cantidad += q.number("CANTIDAD");
        valor += q.number("SUBTOTAL");
        return procesando(q.value("CONSECUTIVO"));
    });
    if (n < 0)
        return n;
    // The totals row adds the quantities and values of the rows above it.
    wb.setText(row + 1, 5, QStringLiteral("Total"));
    wb.setNumber(row + 1, 6, cantidad);
    wb.setNumber(row + 1, 7, valor, kMoney);
    return n;
}

int SalesExport::resumido(Connection& db, Workbook& wb, const QDate& first, const QDate& last,
                          const ExportProgress& progress)
{
    headings(wb, 2,
             {QStringLiteral("Doctor"), QStringLiteral("Producto"), QStringLiteral("Cantidad"), QStringLiteral("Valor"),
              QStringLiteral("Direccion"), QStringLiteral("Telefono")});
    for (int c : {1, 2, 5, 6})
        wb.setColumnWidth(c, 40);
    for (int c : {3, 4})
        wb.setColumnNumberFormat(c, kMoney);
    int row = 2;
    return walk(db, conceptoRSql(), range(first, last), progress, [&](const Row& q) {
        ++row;
        wb.setText(row, 1, q.text("ODONTOLOGO"));
        wb.setText(row, 2, q.text("NOMBRE"));
        wb.setNumber(row, 3, q.number("SUM"));
        wb.setNumber(row, 4, q.number("SUM_1"));
        wb.setText(row, 5, q.text("DIRECCION"));
        wb.setText(row, 6, q.text("TELEFONO"));
        return procesando(q.value("ODONTOLOGO"));
    });
}

int SalesExport::rips(Connection& db, Workbook& wb, const QDate& first, const QDate& last,
                      const ExportProgress& progress, const QDate& today)
{
    headings(wb, 2,
             {QStringLiteral("Factura"), QStringLiteral("Fecha"), QStringLiteral("Doctor"),
              QStringLiteral("Identificacion"), QStringLiteral("Tipo"), QStringLiteral("Paciente"),
              QStringLiteral("Genero"), QStringLiteral("Telefono"), QStringLiteral("Celular"),
              QStringLiteral("Direccion"), QStringLiteral("Fecha Nacimiento"), QStringLiteral("Edad"),
              QStringLiteral("Producto"), QStringLiteral("Cantidad"), QStringLiteral("Valor"),
              QStringLiteral("Tipo De Pago")});
    const QString day = QStringLiteral("dd mm yyyy");
    int row = 2;
    double cantidad = 0, valor = 0;
    const int n = walk(db, conceptoSql(), range(first, last), progress, [&](const Row& q) {
        ++row;
        wb.setNumber(row, 1, q.number("CONSECUTIVO"));
        wb.setDate(row, 2, q.value("FECHA").toDate(), day);
        wb.setText(row, 3, doctor(q));
        wb.setNumber(row, 4, q.number("NIT"));
        wb.setText(row, 5, q.text("TIPOTERCERO"));
        wb.setText(row, 6, q.text("PACIENTE"));
        wb.setText(row, 8, q.text("FAX"));
        wb.setText(row, 9, q.text("TELEFONO"));
        wb.setText(row, 10, q.text("DIRECCION"));
        const QDate born = q.value("FECHANACIMIENTO").toDate();
        if (born.isValid()) {
            wb.setDate(row, 11, born, day);
            wb.setNumber(row, 12, CalculaEdad(born, today));
        }
        wb.setText(row, 13, q.text("NOMBRE"));
        wb.setNumber(row, 14, q.number("CANTIDAD"));
        wb.setNumber(row, 15, q.number("SUBTOTAL"));
        wb.setText(row, 16, tipoDePago(q.text("TIPODEPAGO")));
        cantidad += q.number("CANTIDAD");
        valor += q.number("SUBTOTAL");
        return procesando(q.value("CONSECUTIVO"));
    });
    if (n < 0)
        return n;
    wb.setText(row + 1, 13, QStringLiteral("Total"));
    wb.setNumber(row + 1, 14, cantidad);
    wb.setNumber(row + 1, 15, valor, kMoney);
    return n;
}

int SalesExport::porProducto(Connection& db, Workbook& wb, const QString& empresa, const QDate& first,
                             const QDate& last, const QString& firstText, const QString& lastText,
                             const ExportProgress& progress)
{
    wb.setText(1, 1, empresa);
    wb.setText(2, 1, QStringLiteral("Periodo ") + firstText + QStringLiteral(" Hasta ") + lastText);
    headings(wb, 3,
             {QStringLiteral("Codigo"), QStringLiteral("Descripcion"), QStringLiteral("Porcentaje Iva"),
              QStringLiteral("Cantidad"), QStringLiteral("Descuento"), QStringLiteral("Iva"), QStringLiteral("TOTAL")});
    QVariantMap params = range(first, last);
    params.insert(QStringLiteral("EMPRESA"), empresa);
    int row = 3;
    double iva = 0, total = 0;
    const int n = walk(db, productoSql(), params, progress, [&](const Row& q) {
        ++row;
        const double descuento = q.number("VALORDESCUENTO"), valorIva = q.number("VALORIVA");
        const double neto = q.number("SUBTOTAL") - (descuento + valorIva);
        wb.setNumber(row, 1, q.number("PRODUCTO"));
        wb.setText(row, 2, q.text("NOMBRE"));
        wb.setNumber(row, 3, q.number("PORCENTAJEIVA"), kMoney);
        wb.setNumber(row, 4, q.number("CANTIDAD"));
        wb.setNumber(row, 5, descuento, kMoney);
        wb.setNumber(row, 6, valorIva, kMoney);
        wb.setNumber(row, 7, neto, kMoney);
        // The totals add what the columns above them show: the IVA, and the amounts net of
        // discount and IVA.
        iva += valorIva;
        total += neto;
        return procesando(q.value("PRODUCTO"));
    });
    if (n < 0)
        return n;
    wb.setText(row + 1, 2, QStringLiteral("Total"));
    wb.setNumber(row + 1, 6, iva, kMoney);
    wb.setNumber(row + 1, 7, total, kMoney);
    return n;
}

}  // namespace kv
