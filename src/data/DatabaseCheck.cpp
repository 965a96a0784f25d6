#include "data/DatabaseCheck.h"

#include "data/FirebirdTool.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

namespace kv {

namespace {

// The tables whose rows are numbered documents and their lines, with the key each is declared
// with: a key stored twice in them is a sale, an order or an expense counted twice. The declared key
// is used, not the catalogue's, so that a table whose key constraint went missing is read too.
struct DocumentTable {
    const char* name;
    const char* key;
};
const DocumentTable kDocumentTables[] = {
    {"POSMOVIMIENTO", "EMPRESA,DOCUMENTO,CONSECUTIVO"},      {"POSMOVIMIENTODETALLE", "EMPRESA,DOCUMENTO,CONSECUTIVO,LINEA"},
    {"POSREMISIONES", "EMPRESA,DOCUMENTO,CONSECUTIVO"},      {"POSREMISIONESDETALLE", "EMPRESA,DOCUMENTO,CONSECUTIVO,LINEA"},
    {"POSPAGOSCAJA", "ITEM"},                                {"MOVIMIENTO", "EMPRESA,DOCUMENTO,CONSECUTIVO"},
    {"MOVIMIENTODETALLE", "EMPRESA,DOCUMENTO,CONSECUTIVO,LINEA"}};

// Headers and the table of their lines, whose sums the headers carry.
const char* const kHeaderAndLines[][2] = {{"POSMOVIMIENTO", "POSMOVIMIENTODETALLE"},
                                          {"POSREMISIONES", "POSREMISIONESDETALLE"}};

// Columns shown beside a key stored twice, when the table has them: enough for a person to tell
// the rows apart (which register, when, in what state, for how much).
const char* const kTellingColumns[] = {"CAJA", "CAJERO", "FECHA", "STATUS", "NETO", "LINEA", "PRODUCTO", "SUBTOTAL"};

const int kListed = 50;  // findings of one kind listed at most, per table

// The engine's own validation, through the services manager of the server holding the file (or the
// embedded one): it reads every page of the database while it stays in use.
QStringList validate(const QString& location)
{
    const int colon = int(location.indexOf(QLatin1Char(':')));
    const bool remote = colon > 1;  // "C:\..." is a file on this machine
    const QString service = remote ? location.left(colon) + QStringLiteral(":service_mgr") : QStringLiteral("service_mgr");
    const QString file = remote ? location.mid(colon + 1) : location;
    QString out;
    try {
        out = runFirebirdTool(QStringLiteral("fbsvcmgr"),
                              {service, QStringLiteral("action_validate"), QStringLiteral("dbname"), file},
                              QStringLiteral("No se pudo revisar la base de datos %1").arg(location));
    } catch (const DbError& e) {
        // fbsvcmgr may end with a failure status after a validation it ran to its end (seen on a
        // table whose key constraint was dropped): the report itself is what counts then.
        if (!e.text().contains(QLatin1String("Validation finished")))
            throw;
        out = e.text();
    }
    // The report names each table and index it walked; the lines that matter say what is wrong.
    static const QRegularExpression wrong(QStringLiteral("error|corrupt|missing|wrong|damaged|orphan"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression none(QStringLiteral("\\b0 errors?\\b"), QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (wrong.match(t).hasMatch() && !none.match(t).hasMatch())
            found << t;
    }
    return found;
}

QString text(const QVariant& v) { return v.isNull() ? QStringLiteral("(vacío)") : v.toString().trimmed(); }

// Grouped on the key's values as text, never on the key's own index (which a crash may have left
// holding one of the rows twice, or missing one): the rows themselves are read.
QString keyExpressions(const QStringList& key)
{
    QStringList e;
    for (const QString& col : key)
        e << QStringLiteral("CAST(%1 AS VARCHAR(40))").arg(col);
    return e.join(QStringLiteral(", "));
}

QStringList duplicatesOf(Connection& c, const DocumentTable& t)
{
    const QString table = QString::fromLatin1(t.name);
    const QStringList key = QString::fromLatin1(t.key).split(QLatin1Char(','));
    const TableInfo& info = c.tableInfo(table);
    const QString keys = keyExpressions(key);
    QStringList shown;
    for (const char* col : kTellingColumns)
        if (info.indexOf(QString::fromLatin1(col)) >= 0)
            shown << QString::fromLatin1(col);
    QStringList found;
    QSqlQuery q = c.exec(QStringLiteral("SELECT FIRST %1 %2, COUNT(*) FROM %3 GROUP BY %2 HAVING COUNT(*) > 1")
                             .arg(kListed)
                             .arg(keys, table));
    QVector<QVariantList> repeated;
    while (c.next(q)) {
        QVariantList values;
        for (int i = 0; i < key.size(); ++i)
            values << q.value(i);
        repeated << values;
    }
    for (const QVariantList& values : repeated) {
        QStringList shownKey, where;
        QVariantMap params;
        for (int i = 0; i < values.size(); ++i) {
            shownKey << text(values[i]);
            where << QStringLiteral("CAST(%1 AS VARCHAR(40)) = :K%2").arg(key[i]).arg(i);
            params.insert(QStringLiteral("K%1").arg(i), values[i]);
        }
        found << QStringLiteral("%1 %2 = %3, guardada varias veces:")
                     .arg(table, key.join(QLatin1Char(',')), shownKey.join(QLatin1Char(' ')));
        QSqlQuery rows = c.exec(QStringLiteral("SELECT 1%1 FROM %2 WHERE %3")
                                    .arg(shown.isEmpty() ? QString() : QStringLiteral(", ") + shown.join(QStringLiteral(", ")),
                                         table, where.join(QStringLiteral(" AND "))),
                                params);
        for (int n = 1; c.next(rows); ++n) {
            QStringList parts{QStringLiteral("fila %1:").arg(n)};
            for (int i = 0; i < shown.size(); ++i)
                parts << shown[i] + QLatin1Char('=') + text(rows.value(i + 1));
            found << QStringLiteral("    ") + parts.join(QStringLiteral("  "));
        }
    }
    return found;
}

QStringList totalsUnlikeLines(Connection& c, const QString& header, const QString& lines)
{
    QStringList found;
    QSqlQuery q = c.exec(QStringLiteral(
                             "SELECT FIRST %1 H.EMPRESA, H.DOCUMENTO, H.CONSECUTIVO, H.SUBTOTAL, L.S, H.IVA, L.I FROM %2 H "
                             "LEFT JOIN (SELECT EMPRESA, DOCUMENTO, CONSECUTIVO, SUM(SUBTOTAL) S, SUM(VALORIVA) I FROM %3 "
                             "GROUP BY EMPRESA, DOCUMENTO, CONSECUTIVO) L ON L.EMPRESA = H.EMPRESA AND L.DOCUMENTO = "
                             "H.DOCUMENTO AND L.CONSECUTIVO = H.CONSECUTIVO "
                             "WHERE ABS(COALESCE(H.SUBTOTAL, 0) - COALESCE(L.S, 0)) > 0.005 "
                             "OR ABS(COALESCE(H.IVA, 0) - COALESCE(L.I, 0)) > 0.005")
                             .arg(kListed)
                             .arg(header, lines));
    while (c.next(q))
        found << QStringLiteral("%1 %2 %3 %4: subtotal %5 e IVA %6, sus líneas suman %7 e IVA %8")
                     .arg(header, text(q.value(0)), text(q.value(1)), text(q.value(2)))
                     .arg(q.value(3).toDouble(), 0, 'f', 2)
                     .arg(q.value(5).toDouble(), 0, 'f', 2)
                     .arg(q.value(4).toDouble(), 0, 'f', 2)
                     .arg(q.value(6).toDouble(), 0, 'f', 2);
    return found;
}

}  // namespace

QString DatabaseFindings::report() const
{
    if (!damaged())
        return QStringLiteral("La base de datos está en buen estado.");
    QStringList parts;
    if (!validation.isEmpty())
        parts << QStringLiteral("La validación del motor encontró daños:") << validation;
    if (!duplicates.isEmpty())
        parts << QStringLiteral("Documentos o líneas con la misma clave guardados más de una vez:") << duplicates;
    if (!totals.isEmpty())
        parts << QStringLiteral("Encabezados cuyos totales no son la suma de sus líneas:") << totals;
    return parts.join(QLatin1Char('\n'));
}

DatabaseFindings checkDatabase(Connection& c)
{
    DatabaseFindings f;
    // The embedded engine lets one process at a time have the file: this one lets go of it while
    // the validation runs.
    const QString location = c.location();
    c.close();
    f.validation = validate(location);
    c.ensureOpen();
    for (const DocumentTable& t : kDocumentTables)
        if (c.tableExists(QString::fromLatin1(t.name)))
            f.duplicates << duplicatesOf(c, t);
    for (const auto& pair : kHeaderAndLines)
        if (c.tableExists(QString::fromLatin1(pair[0])) && c.tableExists(QString::fromLatin1(pair[1])))
            f.totals << totalsUnlikeLines(c, QString::fromLatin1(pair[0]), QString::fromLatin1(pair[1]));
    return f;
}

void recordVerdict(Connection& c, const DatabaseFindings& findings)
{
    c.exec(QStringLiteral("INSERT INTO POSVERIFICACION (FECHA, DANADA, DETALLE) VALUES (CURRENT_TIMESTAMP, :DANADA, "
                          ":DETALLE)"),
           {{QStringLiteral("DANADA"), findings.damaged() ? QStringLiteral("S") : QStringLiteral("N")},
            {QStringLiteral("DETALLE"), findings.report().left(4000)}});
}

QString damagedDatabaseMessage(Connection& c)
{
    if (!c.tableExists(QStringLiteral("POSVERIFICACION")))
        return QString();  // a database no check has been made ready for
    QSqlQuery q = c.exec(QStringLiteral("SELECT FIRST 1 DANADA FROM POSVERIFICACION ORDER BY ID DESC"));
    if (!c.next(q) || q.value(0).toString().trimmed() != QLatin1String("S"))
        return QString();
    return QStringLiteral("La revisión de la base de datos (korvela-db check) encontró daños. No se puede vender en "
                          "ella hasta repararla: pida al técnico que ejecute \"korvela-db repair\".");
}

RepairResult repairDatabase(Connection& c)
{
    RepairResult r;
    const DatabaseFindings before = checkDatabase(c);
    for (const DocumentTable& t : kDocumentTables) {
        const QString table = QString::fromLatin1(t.name);
        if (!c.tableExists(table))
            continue;
        const bool repeated = !duplicatesOf(c, t).isEmpty();
        struct Index {
            QString name, constraint, type;
            QStringList columns;
        };
        QVector<Index> indexes;
        QSqlQuery q = c.exec(QStringLiteral(
                                 "SELECT TRIM(I.RDB$INDEX_NAME), TRIM(RC.RDB$CONSTRAINT_NAME), TRIM(RC.RDB$CONSTRAINT_TYPE), "
                                 "TRIM(S.RDB$FIELD_NAME) FROM RDB$INDICES I JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = "
                                 "I.RDB$INDEX_NAME LEFT JOIN RDB$RELATION_CONSTRAINTS RC ON RC.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
                                 "WHERE I.RDB$RELATION_NAME = :T AND COALESCE(I.RDB$SYSTEM_FLAG, 0) = 0 "
                                 "ORDER BY 1, S.RDB$FIELD_POSITION"),
                             {{QStringLiteral("T"), table}});
        while (c.next(q)) {
            if (indexes.isEmpty() || indexes.last().name != q.value(0).toString())
                indexes.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), {}});
            indexes.last().columns << q.value(3).toString();
        }
        for (const Index& i : indexes) {
            try {
                if (i.type == QLatin1String("PRIMARY KEY")) {
                    if (repeated) {
                        r.left << QStringLiteral("%1: la clave %2 no se reconstruyó porque hay claves repetidas (vea la "
                                                 "lista); decida qué fila queda y vuelva a ejecutar la reparación.")
                                      .arg(table, i.constraint);
                        continue;
                    }
                    // A key's index is built again by making the key again: no key is repeated, so
                    // the new one takes every row.
                    c.exec(QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT %2").arg(table, i.constraint));
                    c.exec(QStringLiteral("COMMIT"));
                    c.exec(QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 PRIMARY KEY (%3)")
                               .arg(table, i.constraint, i.columns.join(QStringLiteral(", "))));
                    c.exec(QStringLiteral("COMMIT"));
                } else if (!i.constraint.isEmpty()) {
                    r.left << QStringLiteral("%1: el índice %2 de la restricción %3 no se tocó.").arg(table, i.name, i.constraint);
                    continue;
                } else {
                    c.exec(QStringLiteral("ALTER INDEX %1 INACTIVE").arg(i.name));
                    c.exec(QStringLiteral("COMMIT"));
                    c.exec(QStringLiteral("ALTER INDEX %1 ACTIVE").arg(i.name));
                    c.exec(QStringLiteral("COMMIT"));
                }
                r.rebuilt << QStringLiteral("%1.%2").arg(table, i.name);
            } catch (const DbError& e) {
                r.left << QStringLiteral("%1: el índice %2 no se pudo reconstruir: %3").arg(table, i.name, e.text());
            }
        }
    }
    c.forgetTableInfo();
    if (!before.totals.isEmpty())
        r.left << QStringLiteral("Los encabezados con totales distintos de sus líneas se dejan como están, para revisarlos.");
    r.after = checkDatabase(c);
    recordVerdict(c, r.after);
    return r;
}

}  // namespace kv
