#include "data/DatabaseCreate.h"

#include "data/Connection.h"

#include <QFile>
#include <ibase.h>

namespace kv {

namespace {

// CREATE DATABASE takes no parameters, so its values go into the text as quoted literals;
// doubling the quote keeps a name with an apostrophe in it a single literal.
QString literal(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

QString statusText(const ISC_STATUS* status)
{
    QString text;
    const ISC_STATUS* p = status;
    char buffer[1024];
    while (fb_interpret(buffer, sizeof buffer, &p) > 0) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QString::fromLocal8Bit(buffer);
    }
    return text.isEmpty() ? QStringLiteral("No se pudo crear la base de datos") : text;
}

// The program's user and password as (tag, length, bytes) items: the same tags in the parameters
// of an attachment and of a service.
QByteArray credentialItems()
{
    const QByteArray user = databaseUser().toUtf8();
    const QByteArray password = databasePassword().toUtf8();
    QByteArray items;
    items += char(isc_dpb_user_name);
    items += char(user.size());
    items += user;
    items += char(isc_dpb_password);
    items += char(password.size());
    items += password;
    return items;
}

}  // namespace

bool isOnServer(const QString& location) { return location.indexOf(QLatin1Char(':')) > 1; }

void createDatabase(const QString& location)
{
    const QString sql = QStringLiteral("CREATE DATABASE %1 USER %2 PASSWORD %3 PAGE_SIZE 16384 DEFAULT CHARACTER SET UTF8")
                            .arg(literal(location), literal(databaseUser()), literal(databasePassword()));
    // The file name reaches the engine as bytes; use the same encoding the file system does.
    const QByteArray bytes = QFile::encodeName(sql);

    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, bytes.constData(), SQL_DIALECT_V6, nullptr))
        throw DbError(statusText(status));
    // The statement leaves the new database attached; let it go so that Connection can open it.
    if (db && isc_detach_database(status, &db))
        throw DbError(statusText(status));
    // The engine makes a file readable by its group; a shop's sales, customers and passwords are
    // for the user who owns the installation alone. Done before anything is written into it. (A
    // name without a host that is not a file is an alias the engine read from databases.conf.)
    if (!isOnServer(location) && QFile::exists(location) &&
        !QFile::setPermissions(location, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw DbError(QStringLiteral("No se pudieron fijar los permisos de %1").arg(location));
}

void dropDatabase(const QString& location)
{
    // The attachment's parameters: version, then user and password.
    QByteArray dpb;
    dpb += char(isc_dpb_version1);
    dpb += credentialItems();
    const QByteArray name = QFile::encodeName(location);

    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    if (isc_attach_database(status, 0, name.constData(), &db, short(dpb.size()), dpb.constData()))
        throw DbError(statusText(status));
    if (isc_drop_database(status, &db)) {
        const QString text = statusText(status);
        isc_detach_database(status, &db);
        throw DbError(text);
    }
}

ServerAnswer askServer(const QString& host)
{
    QByteArray spb;
    spb += char(isc_spb_version);
    spb += char(isc_spb_current_version);
    spb += credentialItems();
    const QByteArray name = (host + QStringLiteral(":service_mgr")).toUtf8();

    ISC_STATUS_ARRAY status = {};
    isc_svc_handle service = 0;
    ServerAnswer answer;
    if (isc_service_attach(status, 0, name.constData(), &service, short(spb.size()), spb.constData())) {
        answer.text = statusText(status);
        switch (status[1]) {
        case isc_network_error:
        case isc_net_connect_err:
        case isc_net_connect_listen_err:
        case isc_net_lookup_err:
        case isc_unavailable:
            answer.kind = ServerAnswer::NotReached;
            break;
        case isc_login:
            answer.kind = ServerAnswer::LoginRefused;
            break;
        default:
            answer.kind = ServerAnswer::Failed;
        }
        return answer;
    }
    isc_service_detach(status, &service);
    answer.kind = ServerAnswer::Answered;
    return answer;
}

}  // namespace kv
