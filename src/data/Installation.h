#pragma once
// A shop's own installation: its two databases with the little a new shop needs to sign on and
// start filling its catalogues, and the files that tell each register where they are.
//
// One register alone keeps the databases in a folder of its own, on the embedded engine. Several
// registers share them on a Firebird server, where they are reached by an alias and a database
// user of their own (never SYSDBA's): each register then gets a location file naming
// "HOST:alias" and, beside it, the file with that user and password.
#include "data/Connection.h"

#include <QString>
#include <QStringList>

namespace kv {

struct ShopData {
    QString name;      // the business name, printed on documents (40 characters at most)
    qint64 nit = 0;    // its NIT without the check digit, which is computed
    QString user;      // the back-office user who signs on first (30 characters at most)
    QString password;  // typed by the person installing; there is no default
};

// What is wrong with the data, in words for the person installing; empty when it will do.
QString checkShopData(const ShopData& shop);

// Fills an empty POS database (schema already made): business and company with the NIT and its
// check digit, one branch, one register with its parameter row, the sale document type and its
// numbering, the invoice lines, local currency, the unit "UN", a general group and subgroup, the
// counter customer, the program menu and the back-office user with every permission.
void seedShopPos(Connection& c, const ShopData& shop);
// The accounting database gets the business as its first third party.
void seedShopAccounting(Connection& c, const ShopData& shop);

// Writes dir/DireccionBd.txt naming the accounting database on line 5 and the POS database on
// line 7, with a first line saying what it is; returns its path.
QString writeLocationFile(const QString& dir, const QString& title, const QString& accounting, const QString& pos);

// The file beside a location file that holds the database user (line 1) and password (line 2)
// of an installation on a server; readable by its owner only.
QString credentialsFileFor(const QString& locationFile);
void writeCredentialsFile(const QString& locationFile, const QString& user, const QString& password);
// Reads it when it is there; false (and nothing changed) when it is not.
bool readCredentialsFile(const QString& locationFile, QString* user, QString* password);

// True when the database writes every committed page to disk before the commit returns
// (Firebird's forced writes), so that a sale committed survives a power cut.
bool forcedWrites(Connection& c);

// One register on the embedded engine: dir/korvela.fdb, dir/tavro.fdb and dir/DireccionBd.txt.
// Refuses a folder that already holds either database. Returns the location file's path.
QString createShopInstallation(const QString& dir, const ShopData& shop);

// Several registers: the databases made on a Firebird server under aliases, owned by a database
// user of their own. Run on the server machine itself, since the aliases go into its
// databases.conf, and the work goes through this machine's own server ("localhost"). The
// connection as SYSDBA (for creating the user) takes ISC_USER/ISC_PASSWORD. Before anything is
// written it makes sure the registers reach the server by their name (host), and says what to
// change when they cannot; a step that fails later takes back what was written.
struct ServerSetup {
    QString host;            // the name the registers reach the server by ("caja-central", "host/3051")
    QString alias = QStringLiteral("korvela");  // the POS database; the accounting one is alias + "_tavro"
    QString dataDir = QStringLiteral("/var/lib/firebird/3.0/data");  // where the server keeps the files
    QString firebirdConf = QStringLiteral("/etc/firebird/3.0");      // the folder of databases.conf
    QString dbUser = QStringLiteral("KORVELA");
    QString dbPassword;      // made up when empty
    QString registerDir;     // where the registers' DireccionBd.txt and UsuarioBd.txt are written
};
// Returns the register's location file (in setup.registerDir); notes gets what the person
// installing should know (a name that only this machine resolves to itself).
QString installOnServer(ServerSetup setup, const ShopData& shop, QStringList* notes = nullptr);

}  // namespace kv
