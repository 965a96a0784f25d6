#include "data/Installation.h"

#include "common/Nit.h"
#include "data/BulkInsert.h"
#include "data/DatabaseCreate.h"
#include "data/DemoData.h"
#include "data/FirebirdTool.h"
#include "data/Schema.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <functional>
#include <netdb.h>
#include <sys/socket.h>
#include <vector>

namespace kv {

namespace {

QVariant null() { return QVariant(); }

QString nitWithDv(qint64 nit) { return QStringLiteral("%1-%2").arg(nit).arg(nitCheckDigit(nit)); }

// The counter customer, DIAN's number for the final consumer.
const double kFinalConsumer = 222222222222.0;

void writeText(const QString& path, const QString& text, QFileDevice::Permissions permissions = {})
{
    QFile f(path);
    // A new file is made with its permissions, so that it is never readable by others for a moment.
    const bool opened = permissions ? f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text, permissions)
                                    : f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
    if (!opened)
        throw DbError(QStringLiteral("No se pudo escribir %1: %2").arg(path, f.errorString()));
    if (permissions && !f.setPermissions(permissions))
        throw DbError(QStringLiteral("No se pudieron fijar los permisos de %1").arg(path));
    if (f.write(text.toUtf8()) < 0 || !f.flush())
        throw DbError(QStringLiteral("No se pudo escribir %1: %2").arg(path, f.errorString()));
}

// Makes a database and its tables; a database left half made is removed again, so that a second
// try starts clean (a file on a server is dropped through the engine).
void createAndSeed(const QString& location, const QString& alias, void (*schema)(Connection&),
                   const std::function<void(Connection&)>& seed)
{
    createDatabase(location);
    Connection c(alias);
    c.setLocation(location);
    try {
        c.open();
        schema(c);
        seed(c);
        if (!forcedWrites(c))
            throw DbError(QStringLiteral("La base de datos %1 quedó sin escritura forzada (forced writes)").arg(location));
    } catch (...) {
        c.close();
        try {
            dropDatabase(location);
        } catch (const DbError&) {
            if (QFileInfo(location).isAbsolute())
                QFile::remove(location);
        }
        throw;
    }
}

// A password nobody has to remember: the registers read it from their file.
QString madeUpPassword()
{
    static const char letters[] = "abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    QString p;
    for (int i = 0; i < 20; ++i)
        p += QLatin1Char(letters[QRandomGenerator::system()->bounded(int(sizeof letters - 1))]);
    return p;
}

// The server's services manager, as "HOST:service_mgr".
QString serviceManager(const QString& host) { return host + QStringLiteral(":service_mgr"); }

// The installation's database user on the server's own user list.
void addServerUser(const QString& host, const QString& user, const QString& password)
{
    runFirebirdTool(QStringLiteral("fbsvcmgr"),
                    {serviceManager(host), QStringLiteral("action_add_user"), QStringLiteral("sec_username"), user,
                     QStringLiteral("sec_password"), password},
                    QStringLiteral("No se pudo crear el usuario %1 en el servidor").arg(user));
}

void deleteServerUser(const QString& host, const QString& user)
{
    runFirebirdTool(QStringLiteral("fbsvcmgr"),
                    {serviceManager(host), QStringLiteral("action_delete_user"), QStringLiteral("sec_username"), user},
                    QStringLiteral("No se pudo borrar el usuario %1 del servidor").arg(user));
}

// A user of that name already on the server may own another shop's databases, whose registers
// know its password: it is left alone and the installation stops before writing anything.
bool serverUserExists(const QString& host, const QString& user)
{
    QString listing = runFirebirdTool(QStringLiteral("fbsvcmgr"),
                                      {serviceManager(host), QStringLiteral("action_display_user"),
                                       QStringLiteral("sec_username"), user},
                                      QStringLiteral("No se pudo consultar los usuarios del servidor"));
    // One line of titles ("Login  Full name ...") and one per user found; nothing when none is.
    listing = listing.section(QLatin1Char('\n'), 1);
    const QRegularExpression name(QStringLiteral("(^|\\s)%1(\\s|$)").arg(QRegularExpression::escape(user)),
                                  QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    return name.match(listing).hasMatch();
}

// The server's security database, as the server itself names it: the SecurityDatabase of its
// firebird.conf when set there, else "security.db", the alias every Firebird 3 databases.conf
// gives the default one.
QString securityDatabase(const QString& confDir)
{
    QFile f(QDir(confDir).filePath(QStringLiteral("firebird.conf")));
    if (f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        static const QRegularExpression setting(QStringLiteral("^\\s*SecurityDatabase\\s*=\\s*(.*?)\\s*$"),
                                                QRegularExpression::MultilineOption |
                                                    QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = setting.match(QString::fromUtf8(f.readAll()));
        // A value built from the server's own macros ("$(dir_secDb)") means nothing outside it.
        if (m.hasMatch() && !m.captured(1).isEmpty() && !m.captured(1).contains(QLatin1Char('$')))
            return m.captured(1);
    }
    return QStringLiteral("security.db");
}

// Firebird 3 lets a user other than SYSDBA make a database only with CREATE DATABASE granted in
// the server's security database. That grant is a statement run inside the security database,
// and Debian's server refuses connections to it from the network ("RemoteAccess = false"), even
// from this machine, while the running server keeps the file to itself, so the embedded engine
// cannot open it either. What remains is to ask the server: SYSDBA makes a database under the
// installation's alias for a moment, and from there the server runs the statement in its own
// security database (EXECUTE STATEMENT ... ON EXTERNAL, a connection within the server); then that
// database goes again, for the installation's user to make its own. The grant stays: `korvela-db
// restore` on the server makes the database anew as that user. An installation that fails later
// revokes it the same way.
void runInSecurityDatabase(const QString& location, const QString& securityDb, const QString& statement)
{
    createDatabase(location);
    try {
        Connection c(QStringLiteral("KorvelaGrant"));
        c.setLocation(location);
        c.open();
        // A block takes no parameters through the driver: the user name is a checked identifier
        // and the security database's name, from the server's configuration, is quoted.
        QString db = securityDb;
        db.replace(QLatin1Char('\''), QLatin1String("''"));
        c.exec(QStringLiteral("EXECUTE BLOCK AS BEGIN EXECUTE STATEMENT '%1' ON EXTERNAL '%2'; END").arg(statement, db));
        c.close();
    } catch (const DbError&) {
        try {
            dropDatabase(location);
        } catch (const DbError&) {
        }
        throw;
    }
    dropDatabase(location);
}

void grantCreateDatabase(const QString& location, const QString& securityDb, const QString& user)
{
    try {
        runInSecurityDatabase(location, securityDb, QStringLiteral("GRANT CREATE DATABASE TO USER %1").arg(user));
    } catch (const DbError& e) {
        throw DbError(QStringLiteral("No se pudo dar al usuario %1 el permiso de crear bases de datos en %2: %3")
                          .arg(user, securityDb, e.text()),
                      e.code());
    }
}

QString databasesConf(const QString& confDir) { return QDir(confDir).filePath(QStringLiteral("databases.conf")); }

// The text of databases.conf as it is now (empty when there is none); *exists tells which.
QByteArray readDatabasesConf(const QString& confDir, bool* exists)
{
    const QString conf = databasesConf(confDir);
    QFile f(conf);
    *exists = f.exists();
    if (!*exists)
        return QByteArray();
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("No se pudo leer %1: %2").arg(conf, f.errorString()));
    return f.readAll();
}

// True when databases.conf already names the alias for this file (nothing to add); refuses an
// alias that names another file.
bool aliasPresent(const QString& confDir, const QByteArray& text, const QString& alias, const QString& path)
{
    const QRegularExpression line(QStringLiteral("^\\s*%1\\s*=\\s*(.*?)\\s*$").arg(QRegularExpression::escape(alias)),
                                  QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = line.match(QString::fromUtf8(text));
    if (!m.hasMatch())
        return false;
    if (m.captured(1) == path)
        return true;
    throw DbError(QStringLiteral("El alias %1 ya existe en %2 y apunta a %3; elija otro con --alias")
                      .arg(alias, databasesConf(confDir), m.captured(1)));
}

void writeDatabasesConf(const QString& confDir, const QByteArray& text)
{
    const QString conf = databasesConf(confDir);
    // The server notices a change of databases.conf by its modification time, in whole seconds: a
    // write within the same second as the one before (an installation taken back and run again at
    // once) goes unseen, and the server then makes the new alias's database as a bare file name in
    // its own folder. Waiting for the next second keeps every write visible to it.
    static qint64 lastWrite = 0;
    const QFileInfo before(conf);
    const qint64 last = std::max(lastWrite, before.exists() ? before.lastModified().toSecsSinceEpoch() : qint64(0));
    while (QDateTime::currentSecsSinceEpoch() <= last)
        QThread::msleep(50);
    lastWrite = QDateTime::currentSecsSinceEpoch();
    QFile f(conf);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size() || !f.flush())
        throw DbError(QStringLiteral("No se pudo escribir %1: %2").arg(conf, f.errorString()));
}

// The line of the server's firebird.conf that keeps it listening to one address only
// ("RemoteBindAddress = localhost"), with its number; number 0 when the server listens to every
// address of the machine.
struct ConfLine {
    int number = 0;
    QString text;
};
ConfLine bindAddressLine(const QString& confDir)
{
    QFile f(QDir(confDir).filePath(QStringLiteral("firebird.conf")));
    ConfLine found;
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return found;
    static const QRegularExpression setting(QStringLiteral("^\\s*RemoteBindAddress\\s*=\\s*(\\S.*?)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    int number = 0;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        ++number;
        const QRegularExpressionMatch m = setting.match(line);
        // The last one counts, as for the server; an address that is every address is no limit.
        if (m.hasMatch())
            found = m.captured(1) == QLatin1String("0.0.0.0") ? ConfLine() : ConfLine{number, line};
        else if (line.startsWith(QLatin1String("RemoteBindAddress"), Qt::CaseInsensitive))
            found = ConfLine();
    }
    return found;
}

// The addresses a name stands for on this machine, as the client library will look it up.
QStringList addressesOf(const QString& name)
{
    QStringList found;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(name.toUtf8().constData(), nullptr, &hints, &list) != 0)
        return found;
    for (const addrinfo* a = list; a; a = a->ai_next) {
        char text[NI_MAXHOST];
        if (::getnameinfo(a->ai_addr, a->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST) == 0 &&
            !found.contains(QString::fromLatin1(text)))
            found << QString::fromLatin1(text);
    }
    ::freeaddrinfo(list);
    return found;
}

bool isLoopback(const QString& address) { return address.startsWith(QLatin1String("127.")) || address == QLatin1String("::1"); }

// The server on this machine, on the port the registers' name carries: "caja-central/3051" is
// "localhost/3051" here.
QString localServer(const QString& host)
{
    const int slash = int(host.indexOf(QLatin1Char('/')));
    return QStringLiteral("localhost") + (slash >= 0 ? host.mid(slash) : QString());
}

// Where the installation does its work on the server (this machine's own server, reached the
// way that needs nothing opened to the network), once it is sure the registers reach the same
// server by their name. Everything here only asks; nothing is written. What cannot be reached is
// said with the file, the line and the command that mend it.
QString serverToWorkOn(const ServerSetup& setup, QStringList* notes)
{
    static const QString nothingWritten = QStringLiteral("\nNo se escribio nada; corrija y vuelva a ejecutar la instalacion.");
    const QString name = setup.host.section(QLatin1Char('/'), 0, 0);
    const QString local = localServer(setup.host);
    const ServerAnswer here = askServer(local);
    const ServerAnswer byName = askServer(setup.host);
    for (const ServerAnswer* a : {&here, &byName})
        if (a->kind == ServerAnswer::LoginRefused)
            throw DbError(QStringLiteral("El servidor Firebird no acepto al usuario %1: %2\nLa clave de SYSDBA se lee de "
                                         "/etc/firebird/3.0/SYSDBA.password (ejecute la instalacion con sudo) o de "
                                         "ISC_USER / ISC_PASSWORD.")
                              .arg(databaseUser(), a->text) +
                          nothingWritten);
    if (here.kind != ServerAnswer::Answered && byName.kind != ServerAnswer::Answered)
        throw DbError(QStringLiteral("No hay un servidor Firebird que responda en esta maquina (%1): %2\nInstalelo y "
                                     "arranquelo: sudo apt install firebird3.0-server; sudo systemctl start firebird3.0")
                          .arg(local, here.text) +
                      nothingWritten);
    if (byName.kind != ServerAnswer::Answered) {
        const QStringList addresses = addressesOf(name);
        const ConfLine bind = bindAddressLine(setup.firebirdConf);
        QString why;
        if (addresses.isEmpty())
            why = QStringLiteral("El nombre %1 no corresponde a ninguna direccion. Agregue a /etc/hosts, aqui y en cada "
                                 "caja, la linea \"DIRECCION-DE-ESTE-SERVIDOR %1\", o de en --server el nombre o la "
                                 "direccion con que las cajas llegan a este servidor.")
                      .arg(name);
        else if (bind.number > 0)
            why = QStringLiteral("El servidor Firebird solo escucha en una direccion: archivo %1, linea %2: \"%3\".\n"
                                 "Deje esa linea asi: \"RemoteBindAddress =\" y reinicie el servidor: "
                                 "sudo systemctl restart firebird3.0")
                      .arg(QDir(setup.firebirdConf).filePath(QStringLiteral("firebird.conf")))
                      .arg(bind.number)
                      .arg(bind.text);
        else
            why = QStringLiteral("%1 es %2 en esta maquina. Revise que esa direccion sea la de este servidor y que un "
                                 "cortafuegos no cierre el puerto de Firebird (%3).")
                      .arg(name, addresses.join(QStringLiteral(", ")),
                           setup.host.contains(QLatin1Char('/')) ? setup.host.section(QLatin1Char('/'), 1)
                                                                 : QStringLiteral("3050"));
        throw DbError(QStringLiteral("Las cajas no llegarian al servidor por el nombre %1: %2\n").arg(setup.host, byName.text) +
                      why + nothingWritten);
    }
    // On Debian the machine's own name is 127.0.1.1 here (/etc/hosts); the registers need it to
    // lead to this machine's address on the network.
    const QStringList addresses = addressesOf(name);
    if (notes && !addresses.isEmpty() && std::all_of(addresses.begin(), addresses.end(), isLoopback) &&
        name != QLatin1String("localhost"))
        *notes << QStringLiteral("Aviso: en esta maquina %1 es %2 (ella misma). Cada caja debe llegar a este servidor por "
                                 "ese nombre: si la red no lo resuelve, agregue a /etc/hosts de cada caja la linea "
                                 "\"DIRECCION-DE-ESTE-SERVIDOR %1\".")
                      .arg(name, addresses.join(QStringLiteral(", ")));
    return here.kind == ServerAnswer::Answered ? local : setup.host;
}

// What the installation has written so far, taken back in reverse order when a later step fails,
// so that a second try starts from where the first one did.
class Undo {
public:
    void add(std::function<void()> step) { steps_.push_back(std::move(step)); }
    void run() noexcept
    {
        while (!steps_.empty()) {
            try {
                steps_.back()();
            } catch (...) {
            }
            steps_.pop_back();
        }
    }
    void keep() { steps_.clear(); }

private:
    std::vector<std::function<void()>> steps_;
};

}  // namespace

QString checkShopData(const ShopData& shop)
{
    if (shop.name.trimmed().isEmpty())
        return QStringLiteral("Falta el nombre del negocio (--name)");
    if (shop.name.trimmed().size() > 40)
        return QStringLiteral("El nombre del negocio tiene mas de 40 caracteres");
    if (shop.nit <= 0 || shop.nit > 999999999999999LL)
        return QStringLiteral("El NIT debe ser un numero de 1 a 15 cifras, sin el digito de verificacion (--nit)");
    if (shop.user.trimmed().isEmpty())
        return QStringLiteral("Falta el nombre del usuario (--user)");
    if (shop.user.size() > 30)
        return QStringLiteral("El nombre del usuario tiene mas de 30 caracteres");
    if (shop.password.isEmpty())
        return QStringLiteral("La clave del usuario no puede quedar vacia");
    if (shop.password.size() > 20)
        return QStringLiteral("La clave del usuario tiene mas de 20 caracteres");
    if (shop.password != shop.password.trimmed())
        return QStringLiteral("La clave no puede empezar ni terminar en espacio");
    return QString();
}

void seedShopPos(Connection& c, const ShopData& shop)
{
    const QString name = shop.name.trimmed().toUpper();
    const QDateTime now = QDateTime::currentDateTime();
    Transaction t(c);
    BulkInsert(c, QStringLiteral("REGISTRO"), {"NOMBRE", "NIT", "DIRECCION", "TELEFONOS", "EMAIL", "LOGO"})
        .add({name, double(shop.nit), null(), null(), null(), null()});
    BulkInsert(c, QStringLiteral("EMPRESAS"), {"EMPRESA", "NOMBRE", "CSCORDEN", "NIT", "EMPRESACONTABILIZA"})
        .add({"01", name, 0, nitWithDv(shop.nit), "01"});
    BulkInsert(c, QStringLiteral("BODEGAS"), {"BODEGA", "NOMBRE"}).add({1, "PRINCIPAL"});
    // The sale document type: its code begins with "P", as the sign-on screens expect, and its
    // numbering starts at 1 (the highest number so far plus one).
    BulkInsert(c, QStringLiteral("DOCUMENTOS"),
               {"DOCUMENTO", "NOMBRE", "OPERADOR", "CONSECUTIVO", "CENTROCOSTOS", "ORDENCOMPRA", "SUBPRODUCTO", "ENTRA",
                "CUENTAS", "CONTROLASALDO", "PONDERADOR", "MONEDA", "PREFIJO"})
        .add({"POS", "FACTURA POS", "-", 0, "N", "N", "N", "N", "N", "N", -1.0, "1", "POS"});
    BulkInsert(c, QStringLiteral("POSESQUEMA"), {"LLAVE", "SUCURSAL", "DOCUMENTO", "EMPRESA"}).add({1, 1, "POS", "01"});
    BulkInsert(c, QStringLiteral("POSCAJAS"), {"CAJA", "NOMBRE", "EMPRESA"}).add({1.0, "CAJA 1", 1});
    BulkInsert top(c, QStringLiteral("POSLINEATOP"), {"LINEA", "DETALLE", "TIPO"});
    top.add({1, name, "C"});
    top.add({2, QStringLiteral("NIT %1").arg(nitWithDv(shop.nit)), "C"});
    BulkInsert(c, QStringLiteral("POSLINEABOTTOM"), {"LINEA", "DETALLE", "TIPO"}).add({1, "GRACIAS POR SU COMPRA", "C"});
    BulkInsert(c, QStringLiteral("MONEDA"), {"CODIGOMONEDA", "DESCRIPCION"}).add({"1", "PESO COLOMBIANO"});
    BulkInsert(c, QStringLiteral("UNIDADES"), {"UNIDAD", "NOMBRE"}).add({"UN", "UNIDAD"});
    // A product needs a group and a subgroup, and no screen of the program makes them.
    BulkInsert(c, QStringLiteral("GRUPOS"), {"GRUPO", "NOMBRE"}).add({"01", "GENERAL"});
    BulkInsert(c, QStringLiteral("SUBGRUPOS"), {"SUBGRUPO", "NOMBRE"}).add({1, "GENERAL"});
    BulkInsert(c, QStringLiteral("PROVEEDORES"), {"NIT", "DV", "TIPOTERCERO", "NOMBRE", "CLASETERCERO"})
        .add({kFinalConsumer, QString::number(nitCheckDigit(qint64(kFinalConsumer))), "P", "CONSUMIDOR FINAL", "C"});
    seedProgramTable(c);
    BulkInsert(c, QStringLiteral("USUARIOS"), {"CODIGO", "NOMBRE", "CLAVE", "ACTIVO", "FECHAHORA"})
        .add({1, shop.user.trimmed(), shop.password, "S", now});
    BulkInsert(c, QStringLiteral("MENU"), {"CODIGOUSUARIO", "OPCIONES"}).add({1, QString(200, QLatin1Char('1'))});
    t.commit();
}

void seedShopAccounting(Connection& c, const ShopData& shop)
{
    Transaction t(c);
    BulkInsert(c, QStringLiteral("TERCEROS"), {"NIT", "DV", "TIPODOC", "RAZONSOCIAL", "FECHAGRABACION"})
        .add({double(shop.nit), QString::number(nitCheckDigit(shop.nit)), "31", shop.name.trimmed().toUpper(),
              QDateTime::currentDateTime()});
    t.commit();
}

QString writeLocationFile(const QString& dir, const QString& title, const QString& accounting, const QString& pos)
{
    const QString location = QDir(dir).filePath(QStringLiteral("DireccionBd.txt"));
    writeText(location, title + QStringLiteral("\n"
                                               "Linea 5: base de datos contable (Tavro)\n"
                                               "Linea 7: base de datos del punto de venta\n"
                                               "Contabilidad:\n") +
                            accounting + QStringLiteral("\nPunto de venta:\n") + pos + QLatin1Char('\n'));
    return location;
}

QString credentialsFileFor(const QString& locationFile)
{
    return QFileInfo(locationFile).absoluteDir().filePath(QStringLiteral("UsuarioBd.txt"));
}

void writeCredentialsFile(const QString& locationFile, const QString& user, const QString& password)
{
    writeText(credentialsFileFor(locationFile), user + QLatin1Char('\n') + password + QLatin1Char('\n'),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool readCredentialsFile(const QString& locationFile, QString* user, QString* password)
{
    QFile f(credentialsFileFor(locationFile));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (lines.size() < 2 || lines[0].trimmed().isEmpty())
        return false;
    *user = lines[0].trimmed();
    *password = lines[1];
    return true;
}

bool forcedWrites(Connection& c)
{
    return c.scalar(QStringLiteral("SELECT MON$FORCED_WRITES FROM MON$DATABASE")).toInt() == 1;
}

QString createShopInstallation(const QString& dir, const ShopData& shop)
{
    const QString problem = checkShopData(shop);
    if (!problem.isEmpty())
        throw DbError(problem);
    const QString root = QFileInfo(dir).absoluteFilePath();
    if (!QDir().mkpath(root))
        throw DbError(QStringLiteral("No se pudo crear la carpeta %1").arg(root));
    const QString pos = QDir(root).filePath(QStringLiteral("korvela.fdb"));
    const QString tavro = QDir(root).filePath(QStringLiteral("tavro.fdb"));
    for (const QString& file : {pos, tavro})
        if (QFile::exists(file))
            throw DbError(QStringLiteral("%1 ya existe: esta carpeta ya tiene una instalacion").arg(file));
    createAndSeed(pos, QStringLiteral("KorvelaInstall"), createPosSchema, [&](Connection& c) { seedShopPos(c, shop); });
    try {
        createAndSeed(tavro, QStringLiteral("TavroInstall"), createAccountingSchema,
                      [&](Connection& c) { seedShopAccounting(c, shop); });
    } catch (...) {
        QFile::remove(pos);
        throw;
    }
    return writeLocationFile(root, QStringLiteral("KorvelaPos - %1").arg(shop.name.trimmed()), tavro, pos);
}

QString installOnServer(ServerSetup setup, const ShopData& shop, QStringList* notes)
{
    const QString problem = checkShopData(shop);
    if (!problem.isEmpty())
        throw DbError(problem);
    if (setup.host.isEmpty())
        throw DbError(QStringLiteral("Falta el nombre del servidor (--server)"));
    static const QRegularExpression aliasName(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
    if (!aliasName.match(setup.alias).hasMatch())
        throw DbError(QStringLiteral("El alias debe empezar por una letra y tener solo letras, numeros y _"));
    if (!aliasName.match(setup.dbUser).hasMatch())
        throw DbError(QStringLiteral("El usuario de la base de datos debe empezar por una letra y tener solo letras, "
                                     "numeros y _"));
    if (setup.dbPassword.isEmpty())
        setup.dbPassword = madeUpPassword();

    // First everything is checked, writing nothing: the server answers here and by the
    // registers' name, the files and the user are new, databases.conf may be written.
    const QString tavroAlias = setup.alias + QStringLiteral("_tavro");
    const QString posPath = QDir(setup.dataDir).filePath(setup.alias + QStringLiteral(".fdb"));
    const QString tavroPath = QDir(setup.dataDir).filePath(tavroAlias + QStringLiteral(".fdb"));
    for (const QString& file : {posPath, tavroPath})
        if (QFile::exists(file))
            throw DbError(QStringLiteral("%1 ya existe: el servidor ya tiene esta instalacion (elija otro --alias)").arg(file));
    bool confExisted = false;
    const QByteArray conf = readDatabasesConf(setup.firebirdConf, &confExisted);
    const bool posAliasThere = aliasPresent(setup.firebirdConf, conf, setup.alias, posPath);
    const bool tavroAliasThere = aliasPresent(setup.firebirdConf, conf, tavroAlias, tavroPath);
    const QFileInfo confInfo(confExisted ? databasesConf(setup.firebirdConf) : setup.firebirdConf);
    if (!confInfo.isWritable())
        throw DbError(QStringLiteral("No se puede escribir %1: ejecute la instalacion como root en el servidor (sudo)")
                          .arg(databasesConf(setup.firebirdConf)));
    const QString server = serverToWorkOn(setup, notes);
    if (serverUserExists(server, setup.dbUser))
        throw DbError(QStringLiteral("El usuario %1 ya existe en el servidor (puede ser de otra instalacion); elija otro "
                                     "con --db-user. No se escribio nada.")
                          .arg(setup.dbUser));
    const QFileInfo registers(setup.registerDir);
    if (registers.exists() && (QFile::exists(QDir(setup.registerDir).filePath(QStringLiteral("DireccionBd.txt"))) ||
                               QFile::exists(QDir(setup.registerDir).filePath(QStringLiteral("UsuarioBd.txt")))))
        throw DbError(QStringLiteral("%1 ya tiene archivos de una instalacion; elija otra carpeta con --registers-dir")
                          .arg(setup.registerDir));

    Undo undo;
    try {
        if (!posAliasThere || !tavroAliasThere) {
            QByteArray text = conf;
            if (!text.isEmpty() && !text.endsWith('\n'))
                text += '\n';
            if (!posAliasThere)
                text += QStringLiteral("%1 = %2\n").arg(setup.alias, posPath).toUtf8();
            if (!tavroAliasThere)
                text += QStringLiteral("%1 = %2\n").arg(tavroAlias, tavroPath).toUtf8();
            undo.add([&] {
                if (confExisted)
                    writeDatabasesConf(setup.firebirdConf, conf);
                else
                    QFile::remove(databasesConf(setup.firebirdConf));
            });
            writeDatabasesConf(setup.firebirdConf, text);
        }
        // As SYSDBA (ISC_USER / ISC_PASSWORD) only this once; the databases are made by, and
        // belong to, the installation's own user, who thus may do everything in them and nothing
        // elsewhere. The tool that makes the user takes its password on the command line, which
        // others on the machine may glimpse; so it gets a throwaway one, and the user itself sets
        // the real one through the connection right after.
        const QString throwaway = madeUpPassword();
        addServerUser(server, setup.dbUser, throwaway);
        undo.add([&] { deleteServerUser(server, setup.dbUser); });
        const QString pos = server + QLatin1Char(':') + setup.alias;
        const QString tavro = server + QLatin1Char(':') + tavroAlias;
        const QString securityDb = securityDatabase(setup.firebirdConf);
        grantCreateDatabase(pos, securityDb, setup.dbUser);
        undo.add([pos, securityDb, user = setup.dbUser] {
            runInSecurityDatabase(pos, securityDb, QStringLiteral("REVOKE CREATE DATABASE FROM USER %1").arg(user));
        });
        // What is undone is undone as SYSDBA again.
        undo.add([] { useDatabaseCredentials(QString(), QString()); });
        useDatabaseCredentials(setup.dbUser, throwaway);

        createAndSeed(pos, QStringLiteral("KorvelaInstall"), createPosSchema, [&](Connection& c) {
            QString quoted = setup.dbPassword;
            quoted.replace(QLatin1Char('\''), QLatin1String("''"));
            // Data definition takes no parameters; the password is quoted as a literal.
            c.exec(QStringLiteral("ALTER CURRENT USER SET PASSWORD '%1'").arg(quoted));
            c.exec(QStringLiteral("COMMIT"));
            useDatabaseCredentials(setup.dbUser, setup.dbPassword);
            seedShopPos(c, shop);
        });
        undo.add([pos] { dropDatabase(pos); });
        createAndSeed(tavro, QStringLiteral("TavroInstall"), createAccountingSchema,
                      [&](Connection& c) { seedShopAccounting(c, shop); });
        undo.add([tavro] { dropDatabase(tavro); });
        // The server makes its files readable by its group; they are the server's alone (the
        // server runs as their owner). Where this run may not change them, they stay as made.
        for (const QString& file : {posPath, tavroPath})
            QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        // The registers' way in, tried as they will take it: their name, their user.
        const QString posForRegisters = setup.host + QLatin1Char(':') + setup.alias;
        const QString tavroForRegisters = setup.host + QLatin1Char(':') + tavroAlias;
        for (const QString& location : {posForRegisters, tavroForRegisters}) {
            Connection c(QStringLiteral("KorvelaRegisterCheck"));
            c.setLocation(location);
            c.open();
            c.close();
        }

        if (!registers.exists()) {
            undo.add([&] { QDir(setup.registerDir).removeRecursively(); });
            if (!QDir().mkpath(setup.registerDir))
                throw DbError(QStringLiteral("No se pudo crear la carpeta %1").arg(setup.registerDir));
        }
        const QString location = writeLocationFile(
            setup.registerDir, QStringLiteral("KorvelaPos - %1 (servidor %2)").arg(shop.name.trimmed(), setup.host),
            tavroForRegisters, posForRegisters);
        undo.add([location] {
            QFile::remove(location);
            QFile::remove(credentialsFileFor(location));
        });
        writeCredentialsFile(location, setup.dbUser, setup.dbPassword);
        undo.keep();
        return location;
    } catch (const DbError& e) {
        undo.run();
        throw DbError(e.text() + QStringLiteral("\nSe deshizo lo que la instalacion alcanzo a hacer en el servidor."), e.code());
    } catch (...) {
        undo.run();
        throw;
    }
}

}  // namespace kv
