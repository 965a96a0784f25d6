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
#include <functional>

namespace kv {

namespace {

QVariant null() { return QVariant(); }

QString nitWithDv(qint64 nit) { return QStringLiteral("%1-%2").arg(nit).arg(nitCheckDigit(nit)); }

// The counter customer, DIAN's number for the final consumer.
const double kFinalConsumer = 222222222222.0;

void writeText(const QString& path, const QString& text, QFileDevice::Permissions permissions = {})
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
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

// The installation's database user on the server's own user list. A user of that name already
// there may own another shop's databases, whose registers know its password: it is left alone and
// the installation stops.
void addServerUser(const QString& host, const QString& user, const QString& password)
{
    runFirebirdTool(QStringLiteral("fbsvcmgr"),
                    {serviceManager(host), QStringLiteral("action_add_user"), QStringLiteral("sec_username"), user,
                     QStringLiteral("sec_password"), password},
                    QStringLiteral("No se pudo crear el usuario %1 en el servidor (si ya existe, elija otro con --db-user)")
                        .arg(user));
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
// installation's alias for a moment, and from there the server runs the grant in its own security
// database (EXECUTE STATEMENT ... ON EXTERNAL, a connection within the server); then that
// database goes again, for the installation's user to make its own. The grant stays: `korvela-db
// restore` on the server makes the database anew as that user.
void grantCreateDatabase(const QString& location, const QString& securityDb, const QString& user)
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
        c.exec(QStringLiteral("EXECUTE BLOCK AS BEGIN EXECUTE STATEMENT 'GRANT CREATE DATABASE TO USER %1' "
                              "ON EXTERNAL '%2'; END")
                   .arg(user, db));
        c.close();
    } catch (const DbError& e) {
        try {
            dropDatabase(location);
        } catch (const DbError&) {
        }
        throw DbError(QStringLiteral("No se pudo dar al usuario %1 el permiso de crear bases de datos en %2: %3")
                          .arg(user, securityDb, e.text()),
                      e.code());
    }
    dropDatabase(location);
}

// Adds "alias = path" to databases.conf, unless the alias is there already naming the same file.
void addAlias(const QString& confDir, const QString& alias, const QString& path)
{
    const QString conf = QDir(confDir).filePath(QStringLiteral("databases.conf"));
    QFile f(conf);
    QString text;
    if (f.exists()) {
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            throw DbError(QStringLiteral("No se pudo leer %1: %2").arg(conf, f.errorString()));
        text = QString::fromUtf8(f.readAll());
        f.close();
    }
    const QRegularExpression line(QStringLiteral("^\\s*%1\\s*=\\s*(.*?)\\s*$").arg(QRegularExpression::escape(alias)),
                                  QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = line.match(text);
    if (m.hasMatch()) {
        if (m.captured(1) == path)
            return;
        throw DbError(QStringLiteral("El alias %1 ya existe en %2 y apunta a %3; elija otro con --alias")
                          .arg(alias, conf, m.captured(1)));
    }
    if (!f.open(QIODevice::Append | QIODevice::Text))
        throw DbError(QStringLiteral("No se pudo escribir %1: %2 (ejecute la instalacion como root en el servidor)")
                          .arg(conf, f.errorString()));
    QByteArray add;
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        add += '\n';
    add += QStringLiteral("%1 = %2\n").arg(alias, path).toUtf8();
    if (f.write(add) < 0 || !f.flush())
        throw DbError(QStringLiteral("No se pudo escribir %1: %2").arg(conf, f.errorString()));
}

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

QString installOnServer(ServerSetup setup, const ShopData& shop)
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
    if (!QDir().mkpath(setup.registerDir))
        throw DbError(QStringLiteral("No se pudo crear la carpeta %1").arg(setup.registerDir));

    const QString tavroAlias = setup.alias + QStringLiteral("_tavro");
    const QString posPath = QDir(setup.dataDir).filePath(setup.alias + QStringLiteral(".fdb"));
    const QString tavroPath = QDir(setup.dataDir).filePath(tavroAlias + QStringLiteral(".fdb"));
    for (const QString& file : {posPath, tavroPath})
        if (QFile::exists(file))
            throw DbError(QStringLiteral("%1 ya existe: el servidor ya tiene esta instalacion (elija otro --alias)").arg(file));
    addAlias(setup.firebirdConf, setup.alias, posPath);
    addAlias(setup.firebirdConf, tavroAlias, tavroPath);
    // As SYSDBA (ISC_USER / ISC_PASSWORD) only this once; the databases are made by, and belong
    // to, the installation's own user, who thus may do everything in them and nothing elsewhere.
    // The tool that makes the user takes its password on the command line, which others on the
    // machine may glimpse; so it gets a throwaway one, and the user itself sets the real one
    // through the connection right after.
    const QString throwaway = madeUpPassword();
    addServerUser(setup.host, setup.dbUser, throwaway);
    const QString pos = setup.host + QLatin1Char(':') + setup.alias;
    const QString tavro = setup.host + QLatin1Char(':') + tavroAlias;
    grantCreateDatabase(pos, securityDatabase(setup.firebirdConf), setup.dbUser);
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
    try {
        createAndSeed(tavro, QStringLiteral("TavroInstall"), createAccountingSchema,
                      [&](Connection& c) { seedShopAccounting(c, shop); });
    } catch (...) {
        try {
            dropDatabase(pos);
        } catch (const DbError&) {
        }
        throw;
    }
    const QString location =
        writeLocationFile(setup.registerDir, QStringLiteral("KorvelaPos - %1 (servidor %2)").arg(shop.name.trimmed(), setup.host),
                          tavro, pos);
    writeCredentialsFile(location, setup.dbUser, setup.dbPassword);
    return location;
}

}  // namespace kv
