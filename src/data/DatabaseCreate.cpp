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

}  // namespace

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
}

void dropDatabase(const QString& location)
{
    // The attachment's parameters: version, then user and password as (tag, length, bytes).
    const QByteArray user = databaseUser().toUtf8();
    const QByteArray password = databasePassword().toUtf8();
    QByteArray dpb;
    dpb += char(isc_dpb_version1);
    dpb += char(isc_dpb_user_name);
    dpb += char(user.size());
    dpb += user;
    dpb += char(isc_dpb_password);
    dpb += char(password.size());
    dpb += password;
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

}  // namespace kv
