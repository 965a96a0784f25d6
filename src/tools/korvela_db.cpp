// korvela-db: creates KorvelaPos databases from the command line.
//   korvela-db pos FILE          empty POS database with every table
//   korvela-db accounting FILE   empty accounting (Tavro) database
//   korvela-db demo DIR          demo installation: both databases seeded, and DireccionBd.txt
//   korvela-db bench FILE [...]  POS database with the demo plus a large generated data set
//   korvela-db update FILE       existing database: adds the tables, columns and indexes it lacks
//   korvela-db install ...       a shop's own installation, one register or several on a server
//   korvela-db backup / restore  copies of a database through Firebird's own backup
//   korvela-db documento FILE EMPRESA DOCUMENTO NUMERO
//                                the stored signed electronic document of a sale, to stdout
#include "data/Backup.h"
#include "data/DatabaseCheck.h"
#include "data/BenchData.h"
#include "data/DatabaseCreate.h"
#include "data/DatabaseOwner.h"
#include "data/DemoData.h"
#include "data/Installation.h"
#include "data/Schema.h"
#include "einvoice/DemoElectronic.h"
#include "einvoice/ElectronicDocument.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

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
    "                                 las tablas, columnas e indices que le falten\n"
    "  korvela-db install DIR --name NOMBRE --nit NIT [--user USUARIO]\n"
    "                                 instalacion de una caja: korvela.fdb, tavro.fdb y\n"
    "                                 DireccionBd.txt en DIR, con el negocio, una caja, la\n"
    "                                 factura POS y el usuario (Administrador), cuya clave se pide\n"
    "  korvela-db install --server SERVIDOR --name NOMBRE --nit NIT [--user USUARIO]\n"
    "             [--alias korvela] [--data-dir /var/lib/firebird/3.0/data]\n"
    "             [--firebird-conf /etc/firebird/3.0] [--db-user KORVELA] [--registers-dir DIR]\n"
    "                                 varias cajas: en el servidor (como root), crea las bases de\n"
    "                                 datos con los alias korvela y korvela_tavro y un usuario de\n"
    "                                 base de datos propio; deja en DIR (./korvela-cajas) los\n"
    "                                 archivos DireccionBd.txt y UsuarioBd.txt para cada caja\n"
    "  korvela-db backup BD DESTINO [--keep N]\n"
    "                                 copia (gbak) de la base de datos BD, aun con las cajas\n"
    "                                 vendiendo, comprobada restaurandola aparte; si DESTINO es una\n"
    "                                 carpeta, con --keep N deja solo las N copias mas recientes\n"
    "  korvela-db restore COPIA BD    restaura la copia en BD; no lo hace si BD esta en uso\n"
    "  korvela-db check BD            revisa la base de datos POS (despues de un corte de luz o de\n"
    "                                 una caida del servidor): la valida el motor, busca documentos\n"
    "                                 con la misma clave guardados dos veces y encabezados cuyos\n"
    "                                 totales no son la suma de sus lineas. Guarda el resultado: si\n"
    "                                 encuentra danos, las cajas no venden hasta repararla.\n"
    "                                 Sale con 0 si esta bien y con 2 si encontro danos\n"
    "  korvela-db repair BD           con las cajas cerradas: reconstruye los indices de las tablas\n"
    "                                 de documentos, lista las claves repetidas para que una persona\n"
    "                                 decida (no borra nada) y vuelve a revisar\n"
    "  korvela-db documento FILE EMPRESA DOCUMENTO NUMERO\n"
    "                                 escribe en la salida estandar el documento electronico\n"
    "                                 firmado de esa venta, tal como se guardo y se envia\n"
    "\n"
    "FILE es una ruta (motor embebido) o servidor:ruta. Salvo con update, el archivo no debe existir.\n"
    "Usuario y clave: ISC_USER / ISC_PASSWORD; si no estan, los del servidor Firebird de la maquina\n"
    "(/etc/firebird/3.0/SYSDBA.password, legible por root), o sysdba con la clave por defecto.\n";

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

// On the machine that runs Debian's Firebird server, root reads SYSDBA's password from the file
// the package keeps it in, so that the nightly backup needs no password of its own.
void useServerPassword()
{
    if (!qEnvironmentVariableIsEmpty("ISC_PASSWORD"))
        return;
    QFile f(QStringLiteral("/etc/firebird/3.0/SYSDBA.password"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!line.startsWith("ISC_PASSWORD="))
            continue;
        QByteArray value = line.mid(int(qstrlen("ISC_PASSWORD=")));
        if (value.size() >= 2 && (value.startsWith('"') || value.startsWith('\'')) && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        qputenv("ISC_USER", "SYSDBA");
        qputenv("ISC_PASSWORD", value);
    }
}

// One line from the terminal without showing it, or from the standard input of a script.
QString readSecret(const char* prompt, bool* ok)
{
    const bool tty = ::isatty(STDIN_FILENO);
    termios old{};
    if (tty) {
        std::fprintf(stderr, "%s", prompt);
        std::fflush(stderr);
        ::tcgetattr(STDIN_FILENO, &old);
        termios quiet = old;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    *ok = bool(std::getline(std::cin, line));
    if (tty) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &old);
        std::fprintf(stderr, "\n");
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromStdString(line);
}

// The back-office user's password: asked twice on a terminal; one line from a script.
QString askPassword(const QString& user)
{
    bool ok = false;
    const QByteArray prompt = QStringLiteral("Clave para el usuario %1: ").arg(user).toLocal8Bit();
    const QString first = readSecret(prompt.constData(), &ok);
    if (!ok)
        throw DbError(QStringLiteral("No se recibio la clave del usuario"));
    if (::isatty(STDIN_FILENO)) {
        const QString again = readSecret("Repita la clave: ", &ok);
        if (!ok || again != first)
            throw DbError(QStringLiteral("Las dos claves no coinciden; no se instalo nada"));
    }
    return first;
}

int install(QStringList args)
{
    ShopData shop;
    shop.user = QStringLiteral("Administrador");
    ServerSetup server;
    server.registerDir = QDir::current().filePath(QStringLiteral("korvela-cajas"));
    QString dir;
    bool onServer = false;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (!a.startsWith(QLatin1String("--"))) {
            if (!dir.isEmpty())
                return usage(QStringLiteral("argumento no esperado: %1").arg(a));
            dir = a;
            continue;
        }
        if (args.isEmpty())
            return usage(QStringLiteral("%1 necesita un valor").arg(a));
        const QString v = args.takeFirst();
        if (a == QLatin1String("--name"))
            shop.name = v;
        else if (a == QLatin1String("--nit")) {
            bool ok = false;
            shop.nit = v.toLongLong(&ok);
            if (!ok)
                return usage(QStringLiteral("--nit debe ser un numero sin puntos ni digito de verificacion: %1").arg(v));
        } else if (a == QLatin1String("--user"))
            shop.user = v;
        else if (a == QLatin1String("--server")) {
            server.host = v;
            onServer = true;
        } else if (a == QLatin1String("--alias"))
            server.alias = v;
        else if (a == QLatin1String("--data-dir"))
            server.dataDir = v;
        else if (a == QLatin1String("--firebird-conf"))
            server.firebirdConf = v;
        else if (a == QLatin1String("--db-user"))
            server.dbUser = v;
        else if (a == QLatin1String("--registers-dir"))
            server.registerDir = v;
        else
            return usage(QStringLiteral("opcion desconocida: %1").arg(a));
    }
    if (onServer == !dir.isEmpty())
        return usage(QStringLiteral("install necesita una carpeta (una caja) o --server SERVIDOR (varias cajas)"));
    // Everything that can be checked is checked before the password is asked.
    shop.password = QStringLiteral("x");
    const QString problem = checkShopData(shop);
    if (!problem.isEmpty())
        return usage(problem);
    shop.password = askPassword(shop.user);

    QElapsedTimer timer;
    timer.start();
    if (onServer) {
        server.registerDir = QFileInfo(server.registerDir).absoluteFilePath();
        QStringList notes;
        const QString location = installOnServer(server, shop, &notes);
        say(QStringLiteral("Instalacion en el servidor lista (%1)").arg(seconds(timer)));
        say(QStringLiteral("Bases de datos: %1:%2 y %1:%2_tavro, usuario de base de datos %3")
                .arg(server.host, server.alias, server.dbUser));
        say(QStringLiteral("Para cada caja copie %1 y %2 a /opt/tavro/ (o a la carpeta de TAVRO_HOME)")
                .arg(location, credentialsFileFor(location)));
        for (const QString& note : notes)
            say(note);
    } else {
        const QString location = createShopInstallation(dir, shop);
        say(QStringLiteral("Instalacion lista (%1)").arg(seconds(timer)));
        say(QStringLiteral("Archivo de direcciones: %1").arg(location));
        say(QStringLiteral("Abra el programa con: korvelapos --location %1").arg(location));
    }
    say(QStringLiteral("Escritura forzada (forced writes) activa en las dos bases de datos"));
    return 0;
}

int backup(QStringList args)
{
    int keep = 0;
    QStringList plain;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--keep")) {
            bool ok = false;
            keep = args.isEmpty() ? 0 : args.takeFirst().toInt(&ok);
            if (!ok || keep < 1)
                return usage(QStringLiteral("--keep necesita un numero de copias, 1 o mas"));
        } else {
            plain << a;
        }
    }
    if (plain.size() != 2)
        return usage(QStringLiteral("backup necesita la base de datos y el destino"));
    // Root (the nightly backup) copies a register's file as the user who sells on it.
    const bool toFolder = QFileInfo(plain[1]).isDir() || keep > 0;
    actAsOwnerOf(plain[0], toFolder ? QStringList{plain[1]} : QStringList());
    QElapsedTimer timer;
    timer.start();
    const BackupResult r = backupDatabase(plain[0], plain[1], keep);
    say(QStringLiteral("Copia lista y comprobada: %1 (%2)").arg(r.file, seconds(timer)));
    for (auto it = r.rows.cbegin(); it != r.rows.cend(); ++it)
        say(QStringLiteral("  %1: %2 filas").arg(it.key()).arg(it.value()));
    for (const QString& old : r.removed)
        say(QStringLiteral("Copia antigua borrada: %1").arg(old));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0] == QLatin1String("-h") || args[0] == QLatin1String("--help"))
        return usage();
    if (args[0] == QLatin1String("--version")) {
        say(QStringLiteral("korvela-db %1").arg(QLatin1String(KV_VERSION)));
        return 0;
    }
    useServerPassword();
    const QString command = args.takeFirst();
    if (command == QLatin1String("install") || command == QLatin1String("backup") ||
        command == QLatin1String("restore")) {
        try {
            if (command == QLatin1String("install"))
                return install(args);
            if (command == QLatin1String("backup"))
                return backup(args);
            if (args.size() != 2)
                return usage(QStringLiteral("restore necesita la copia y la base de datos"));
            actAsOwnerOf(args[1]);
            restoreDatabase(args[0], args[1]);
            say(QStringLiteral("Base de datos restaurada: %1").arg(args[1]));
            return 0;
        } catch (const DbError& e) {
            std::fprintf(stderr, "korvela-db: %s\n", qPrintable(e.text()));
            return 1;
        }
    }
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
            actAsOwnerOf(target);
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
        } else if (command == QLatin1String("check") || command == QLatin1String("repair")) {
            if (!args.isEmpty())
                return usage(QStringLiteral("argumento no esperado: %1").arg(args.first()));
            Connection c(QStringLiteral("Korvela"));
            c.setLocation(target);
            c.open();
            if (!c.tableExists(QStringLiteral("POSVERIFICACION")))
                throw DbError(QStringLiteral("%1 no tiene la tabla POSVERIFICACION: actualicela primero con "
                                             "\"korvela-db update %1\".")
                                  .arg(target));
            DatabaseFindings found;
            if (command == QLatin1String("check")) {
                found = checkDatabase(c);
                recordVerdict(c, found);
            } else {
                const RepairResult r = repairDatabase(c);
                for (const QString& index : r.rebuilt)
                    say(QStringLiteral("Indice reconstruido: %1").arg(index));
                for (const QString& left : r.left)
                    say(left);
                found = r.after;
            }
            say(found.report());
            return found.damaged() ? 2 : 0;
        } else if (command == QLatin1String("demo")) {
            if (!args.isEmpty())
                return usage(QStringLiteral("argumento no esperado: %1").arg(args.first()));
            const QString location = createDemoInstallation(target);
            setUpDemoElectronicDocuments(location);
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
        } else if (command == QLatin1String("documento")) {
            if (args.size() != 3)
                return usage(QStringLiteral("documento necesita EMPRESA DOCUMENTO NUMERO"));
            bool ok = false;
            const int numero = args[2].toInt(&ok);
            if (!ok)
                return usage(QStringLiteral("el numero '%1' no es un numero entero").arg(args[2]));
            Connection c(QStringLiteral("Korvela"));
            c.setLocation(target);
            c.open();
            const auto doc = storedDocument(c, args[0], args[1], numero);
            if (!doc) {
                std::fprintf(stderr, "korvela-db: la venta %s %s %d no tiene documento electronico\n",
                             qPrintable(args[0]), qPrintable(args[1]), numero);
                return 1;
            }
            // The bytes as stored, nothing added: a support person can hand them to the DIAN's tools.
            std::fwrite(doc->xml.constData(), 1, size_t(doc->xml.size()), stdout);
            std::fflush(stdout);
        } else {
            return usage(QStringLiteral("orden desconocida: %1").arg(command));
        }
    } catch (const Failure& e) {
        std::fprintf(stderr, "korvela-db: %s\n", qPrintable(e.text()));
        if (!g_created.isEmpty())
            QFile::remove(g_created);
        return 1;
    }
    return 0;
}
