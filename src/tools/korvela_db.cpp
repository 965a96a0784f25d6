// korvela-db: creates KorvelaPos databases from the command line.
//   korvela-db pos FILE          empty POS database with every table
//   korvela-db accounting FILE   empty accounting (Tavro) database
//   korvela-db demo DIR          demo installation: both databases seeded, and DireccionBd.txt
//   korvela-db bench FILE [...]  POS database with the demo plus a large generated data set
//   korvela-db update FILE       existing database: adds the tables and indexes it lacks
#include "data/BenchData.h"
#include "data/DatabaseCreate.h"
#include "data/DemoData.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

using namespace kv;

namespace {

const char* const kUsage =
    "Uso:\n"
    "  korvela-db pos FILE            crea una base de datos POS vacia con todas las tablas\n"
    "  korvela-db accounting FILE     crea una base de datos contable (Tavro) vacia\n"
    "  korvela-db demo DIR            crea en DIR la instalacion de demostracion:\n"
    "                                 korvela.fdb, tavro.fdb y DireccionBd.txt\n"
    "  korvela-db bench FILE [opciones]\n"
    "                                 crea una base de datos POS con la demostracion y un\n"
    "                                 volumen grande de datos generados para pruebas de rendimiento\n"
    "      --products N        productos adicionales (100000)\n"
    "      --customers N       clientes adicionales (50000)\n"
    "      --days N            dias de ventas, hasta ayer (30)\n"
    "      --sales-per-day N   facturas por dia (3334)\n"
    "      --lines-per-sale N  lineas promedio por factura (10)\n"
    "      --orders-per-day N  cotizaciones y pedidos por dia (1000)\n"
    "      --lines-per-order N lineas promedio por pedido (3)\n"
    "  korvela-db update FILE         agrega a una base de datos existente (POS o contable)\n"
    "                                 las tablas e indices que le falten\n"
    "\n"
    "FILE es una ruta (motor embebido) o servidor:ruta. Salvo con update, el archivo no debe existir.\n"
    "Usuario y clave: ISC_USER / ISC_PASSWORD, o sysdba con la clave por defecto.\n";

int usage(const QString& error = QString())
{
    if (!error.isEmpty())
        std::fprintf(stderr, "korvela-db: %s\n\n", qPrintable(error));
    std::fprintf(stderr, "%s", kUsage);
    return 2;
}

void say(const QString& text) { std::printf("%s\n", qPrintable(text)); std::fflush(stdout); }

QString seconds(const QElapsedTimer& t) { return QString::number(double(t.elapsed()) / 1000.0, 'f', 1) + " s"; }

// A local file that already exists would make CREATE DATABASE fail with a less helpful text.
void refuseExisting(const QString& location)
{
    const bool remote = location.indexOf(QLatin1Char(':')) > 1;  // "host:path" (a drive letter is one character)
    if (!remote && QFile::exists(location))
        throw DbError(QStringLiteral("El archivo %1 ya existe; borrelo o elija otro nombre").arg(location));
}

// A local file this run created; removed again when the run fails, so a retry starts clean.
QString g_created;

Connection& openNew(Connection& c, const QString& location)
{
    refuseExisting(location);
    createDatabase(location);
    if (location.indexOf(QLatin1Char(':')) <= 1)
        g_created = location;
    c.setLocation(location);
    c.open();
    return c;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0] == QLatin1String("-h") || args[0] == QLatin1String("--help"))
        return usage();
    const QString command = args.takeFirst();
    if (args.isEmpty())
        return usage(QStringLiteral("falta el archivo o la carpeta para '%1'").arg(command));
    const QString target = args.takeFirst();

    try {
        QElapsedTimer timer;
        timer.start();
        if (command == QLatin1String("pos") || command == QLatin1String("accounting")) {
            if (!args.isEmpty())
                return usage(QStringLiteral("argumento no esperado: %1").arg(args.first()));
            Connection c(QStringLiteral("Korvela"));
            openNew(c, target);
            if (command == QLatin1String("pos"))
                createPosSchema(c);
            else
                createAccountingSchema(c);
            say(QStringLiteral("Base de datos creada: %1 (%2)").arg(target, seconds(timer)));
        } else if (command == QLatin1String("update")) {
            if (!args.isEmpty())
                return usage(QStringLiteral("argumento no esperado: %1").arg(args.first()));
            Connection c(QStringLiteral("Korvela"));
            c.setLocation(target);
            c.open();
            // The accounting database is the one with vouchers and no products.
            const bool accounting = c.tableExists(QStringLiteral("COMPROBANTECONTABLE")) &&
                                    !c.tableExists(QStringLiteral("PRODUCTOS"));
            if (accounting)
                createAccountingSchema(c);
            else
                createPosSchema(c);
            say(QStringLiteral("Base de datos %1 actualizada: %2 (%3)")
                    .arg(accounting ? QStringLiteral("contable") : QStringLiteral("POS"), target, seconds(timer)));
        } else if (command == QLatin1String("demo")) {
            if (!args.isEmpty())
                return usage(QStringLiteral("argumento no esperado: %1").arg(args.first()));
            const QString location = createDemoInstallation(target);
            say(QStringLiteral("Instalacion de demostracion lista (%1)").arg(seconds(timer)));
            say(QStringLiteral("Archivo de direcciones: %1").arg(location));
        } else if (command == QLatin1String("bench")) {
            BenchDataOptions o;
            while (!args.isEmpty()) {
                const QString opt = args.takeFirst();
                int* field = opt == QLatin1String("--products")         ? &o.products
                             : opt == QLatin1String("--customers")      ? &o.customers
                             : opt == QLatin1String("--days")           ? &o.days
                             : opt == QLatin1String("--sales-per-day")  ? &o.salesPerDay
                             : opt == QLatin1String("--lines-per-sale") ? &o.linesPerSale
                             : opt == QLatin1String("--orders-per-day") ? &o.ordersPerDay
                             : opt == QLatin1String("--lines-per-order") ? &o.linesPerOrder
                                                                        : nullptr;
                if (!field)
                    return usage(QStringLiteral("opcion desconocida: %1").arg(opt));
                bool ok = false;
                const int value = args.isEmpty() ? -1 : args.takeFirst().toInt(&ok);
                if (!ok || value < 0)
                    return usage(QStringLiteral("%1 necesita un numero entero no negativo").arg(opt));
                *field = value;
            }
            if (o.linesPerSale < 1)
                return usage(QStringLiteral("--lines-per-sale debe ser al menos 1"));
            if (o.linesPerOrder < 1)
                return usage(QStringLiteral("--lines-per-order debe ser al menos 1"));
            Connection c(QStringLiteral("Korvela"));
            openNew(c, target);
            createPosSchema(c);
            say(QStringLiteral("Esquema creado (%1); generando datos...").arg(seconds(timer)));
            o.progress = [&timer](const QString& step) { say(QStringLiteral("%1 (%2)").arg(step, seconds(timer))); };
            generateBenchData(c, o);
            const qint64 lines = c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE")).toLongLong();
            const qint64 products = c.scalar(QStringLiteral("SELECT COUNT(*) FROM PRODUCTOS")).toLongLong();
            const qint64 orders = c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSREMISIONES")).toLongLong();
            say(QStringLiteral("Listo: %1 productos, %2 lineas de venta, %3 pedidos (%4)")
                    .arg(products).arg(lines).arg(orders).arg(seconds(timer)));
        } else {
            return usage(QStringLiteral("orden desconocida: %1").arg(command));
        }
    } catch (const DbError& e) {
        std::fprintf(stderr, "korvela-db: %s\n", qPrintable(e.text()));
        if (!g_created.isEmpty())
            QFile::remove(g_created);
        return 1;
    }
    return 0;
}
