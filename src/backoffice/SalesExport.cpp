#include "backoffice/SalesExport.h"

#include "data/UntDMGeneral.h"
#include "platform/Workbook.h"

#include <QDateTime>

namespace kv {

namespace {

const QString kMoney = QStringLiteral("###,###.00");
// How often the progress call runs: often enough to follow, seldom enough to cost nothing.
constexpr int kProgressEvery = 250;

const char* const kJoins =
    " FROM POSMOVIMIENTO Posmovimiento"
    " INNER JOIN POSMOVIMIENTODETALLE Posmovimientodetalle ON (Posmovimiento.EMPRESA = Posmovimientodetalle.EMPRESA)"
    "   AND (Posmovimiento.DOCUMENTO = Posmovimientodetalle.DOCUMENTO)"
    "   AND (Posmovimiento.CONSECUTIVO = Posmovimientodetalle.CONSECUTIVO)"
    " INNER JOIN PROVEEDORES Proveedores ON (Posmovimiento.CLIENTE = Proveedores.NIT)"
    " INNER JOIN PRODUCTOS Productos ON (Posmovimientodetalle.PRODUCTO = Productos.PRODUCTO)";
const char* const kRange = " WHERE Posmovimiento.FECHA >= :FECHAINICIAL AND Posmovimiento.FECHA < :FECHAFINAL";

// Walks a query's rows, calling `row` for each and the progress call every so often; -1 when
// the progress call stopped it.
int walk(Connection& db, const QString& sql, const QVariantMap& params, const ExportProgress& progress,
         const std::function<QString(const QSqlQuery&)>& row)
{
    QSqlQuery q = db.exec(sql, params);
    int n = 0;
    QString status;
    while (db.next(q)) {
        status = row(q);
        ++n;
        if (progress && n % kProgressEvery == 1 && !progress(n, status))
            return -1;
    }
    if (progress && !progress(n, status))
        return -1;
    return n;
}

QString text(const QSqlQuery& q, const char* column) { return q.value(QLatin1String(column)).toString().trimmed(); }
double number(const QSqlQuery& q, const char* column) { return q.value(QLatin1String(column)).toDouble(); }
QString procesando(const QVariant& v) { return QStringLiteral("Procesando Concepto [") + v.toString().trimmed() + QLatin1Char(']'); }

void headings(Workbook& wb, int row, const QStringList& titles)
{
    for (int c = 0; c < titles.size(); ++c)
        wb.setText(row, c + 1, titles[c]);
}

// The doctor's columns: the patient's PADRE on file, or "Pasiente Cliente" and nothing else.
bool hasDoctor(const QSqlQuery& q) { return !q.value(QStringLiteral("DOCTORNIT")).isNull(); }
QString doctor(const QSqlQuery& q) { return hasDoctor(q) ? text(q, "DOCTOR") : QStringLiteral("Pasiente Cliente"); }

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
    // customer is on file.
    return QStringLiteral(
        "SELECT Movimientodetalle.PRODUCTO, Productos.NOMBRE, Productos.VALORIVA PORCENTAJEIVA,"
        " Sum(Movimientodetalle.CANTIDAD) CANTIDAD, Sum(Movimientodetalle.DESCUENTO) VALORDESCUENTO,"
        " Sum(Movimientodetalle.VALORIVA) VALORIVA, Sum(Movimientodetalle.SUBTOTAL) SUBTOTAL"
        " FROM POSMOVIMIENTO Movimiento"
        " INNER JOIN POSMOVIMIENTODETALLE Movimientodetalle ON (Movimiento.EMPRESA = Movimientodetalle.EMPRESA)"
        "   AND (Movimiento.DOCUMENTO = Movimientodetalle.DOCUMENTO)"
        "   AND (Movimiento.CONSECUTIVO = Movimientodetalle.CONSECUTIVO)"
        " LEFT JOIN PRODUCTOS Productos ON (Movimientodetalle.PRODUCTO = Productos.PRODUCTO)"
        " WHERE Movimiento.EMPRESA = :EMPRESA AND Movimiento.FECHA >= :FECHAINICIAL AND Movimiento.FECHA < :FECHAFINAL"
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
    const int n = walk(db, conceptoSql(), range(first, last), progress, [&](const QSqlQuery& q) {
        ++row;
        wb.setNumber(row, 1, number(q, "CONSECUTIVO"));
        wb.setDate(row, 2, q.value(QStringLiteral("FECHA")).toDate(), QStringLiteral("dd mmmm yyyy"));
        wb.setText(row, 3, doctor(q));
        wb.setText(row, 4, text(q, "PACIENTE"));
        wb.setText(row, 5, text(q, "NOMBRE"));
        wb.setNumber(row, 6, number(q, "CANTIDAD"));
        wb.setNumber(row, 7, number(q, "SUBTOTAL"));
        wb.setText(row, 8, tipoDePago(text(q, "TIPODEPAGO")));
        if (hasDoctor(q)) {
            wb.setText(row, 9, text(q, "DOCTORDIRECCION"));
            wb.setText(row, 10, text(q, "DOCTORTELEFONO"));
        }
        cantidad += number(q, "CANTIDAD");
        valor += number(q, "SUBTOTAL");
        return procesando(q.value(QStringLiteral("CONSECUTIVO")));
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
    return walk(db, conceptoRSql(), range(first, last), progress, [&](const QSqlQuery& q) {
        ++row;
        wb.setText(row, 1, text(q, "ODONTOLOGO"));
        wb.setText(row, 2, text(q, "NOMBRE"));
        wb.setNumber(row, 3, number(q, "SUM"));
        wb.setNumber(row, 4, number(q, "SUM_1"));
        wb.setText(row, 5, text(q, "DIRECCION"));
        wb.setText(row, 6, text(q, "TELEFONO"));
        return procesando(q.value(QStringLiteral("ODONTOLOGO")));
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
    const int n = walk(db, conceptoSql(), range(first, last), progress, [&](const QSqlQuery& q) {
        ++row;
        wb.setNumber(row, 1, number(q, "CONSECUTIVO"));
        wb.setDate(row, 2, q.value(QStringLiteral("FECHA")).toDate(), day);
        wb.setText(row, 3, doctor(q));
        wb.setNumber(row, 4, number(q, "NIT"));
        wb.setText(row, 5, text(q, "TIPOTERCERO"));
        wb.setText(row, 6, text(q, "PACIENTE"));
        wb.setText(row, 8, text(q, "FAX"));
        wb.setText(row, 9, text(q, "TELEFONO"));
        wb.setText(row, 10, text(q, "DIRECCION"));
        const QDate born = q.value(QStringLiteral("FECHANACIMIENTO")).toDate();
        if (born.isValid()) {
            wb.setDate(row, 11, born, day);
            wb.setNumber(row, 12, CalculaEdad(born, today));
        }
        wb.setText(row, 13, text(q, "NOMBRE"));
        wb.setNumber(row, 14, number(q, "CANTIDAD"));
        wb.setNumber(row, 15, number(q, "SUBTOTAL"));
        wb.setText(row, 16, tipoDePago(text(q, "TIPODEPAGO")));
        cantidad += number(q, "CANTIDAD");
        valor += number(q, "SUBTOTAL");
        return procesando(q.value(QStringLiteral("CONSECUTIVO")));
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
    const int n = walk(db, productoSql(), params, progress, [&](const QSqlQuery& q) {
        ++row;
        const double descuento = number(q, "VALORDESCUENTO"), valorIva = number(q, "VALORIVA");
        const double neto = number(q, "SUBTOTAL") - (descuento + valorIva);
        wb.setNumber(row, 1, number(q, "PRODUCTO"));
        wb.setText(row, 2, text(q, "NOMBRE"));
        wb.setNumber(row, 3, number(q, "PORCENTAJEIVA"), kMoney);
        wb.setNumber(row, 4, number(q, "CANTIDAD"));
        wb.setNumber(row, 5, descuento, kMoney);
        wb.setNumber(row, 6, valorIva, kMoney);
        wb.setNumber(row, 7, neto, kMoney);
        // The totals add what the columns above them show: the IVA, and the amounts net of
        // discount and IVA.
        iva += valorIva;
        total += neto;
        return procesando(q.value(QStringLiteral("PRODUCTO")));
    });
    if (n < 0)
        return n;
    wb.setText(row + 1, 2, QStringLiteral("Total"));
    wb.setNumber(row + 1, 6, iva, kMoney);
    wb.setNumber(row + 1, 7, total, kMoney);
    return n;
}

}  // namespace kv
