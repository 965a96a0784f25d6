#include "data/SignOnGuard.h"

#include "common/Dates.h"
#include "data/Connection.h"
#include "data/Trail.h"

#include <QDateTime>
#include <QSqlQuery>

#include <algorithm>

namespace kv {

namespace {

constexpr int kFirstWaitSeconds = 30;
constexpr int kLongestWaitSeconds = 15 * 60;
constexpr int kFailuresBeforeWaiting = 2;

QVariantMap keyOf(const SignOnAttempt& a)
{
    return {{QStringLiteral("TIPO"), a.kind == SignOnAttempt::User ? QStringLiteral("U") : QStringLiteral("C")},
            {QStringLiteral("CODIGO"), a.code.toDouble()}};
}

bool hasCode(const SignOnAttempt& a) { return a.code.isValid() && !a.code.isNull(); }

void record(Connection& db, const SignOnAttempt& a, const QString& evento, const QString& reason)
{
    TrailEntry e;
    e.evento = evento;
    e.caja = a.caja;
    QString detalle = a.place;
    if (a.kind == SignOnAttempt::User) {
        // A user is known by the name he signs on with, also when none answers to it.
        e.usuario = a.typed;
    } else if (hasCode(a)) {
        e.cajero = a.code;
    } else {
        detalle += QStringLiteral(" (cédula tecleada: %1)").arg(a.typed);
    }
    if (!reason.isEmpty())
        detalle += QStringLiteral(": ") + reason;
    e.detalle = detalle;
    recordTrail(db, e);
}

// Runs a statement on the person's row; another register doing the same at the same moment
// (the row taken meanwhile, or made by both) only means doing it again on what that one stored.
void onPersonRow(Connection& db, const QString& sql, const QVariantMap& key)
{
    for (int attempt = 1;; ++attempt) {
        try {
            db.exec(sql, key);
            return;
        } catch (const DbError& e) {
            if (attempt >= 5 || db.inTransaction() || !(isConflict(e) || isDuplicateKey(e)))
                throw;
        }
    }
}

}  // namespace

int signOnWaitAfter(int failures)
{
    if (failures <= kFailuresBeforeWaiting)
        return 0;
    const int doublings = std::min(failures - kFailuresBeforeWaiting - 1, 10);
    return std::min(kFirstWaitSeconds << doublings, kLongestWaitSeconds);
}

QString signOnWaitMessage(int seconds)
{
    QString left;
    if (seconds < 60) {
        left = seconds == 1 ? QStringLiteral("1 segundo") : QStringLiteral("%1 segundos").arg(seconds);
    } else {
        const int minutes = (seconds + 59) / 60;
        left = minutes == 1 ? QStringLiteral("1 minuto") : QStringLiteral("%1 minutos").arg(minutes);
    }
    return QStringLiteral("Demasiados intentos fallidos. Espere %1 antes de volver a intentar.").arg(left);
}

int signOnWaitLeft(Connection& db, const SignOnAttempt& a)
{
    if (!hasCode(a))
        return 0;
    QSqlQuery q = db.exec(QStringLiteral("SELECT FALLOS, DATEDIFF(MILLISECOND FROM ULTIMOFALLO TO CURRENT_TIMESTAMP) "
                                         "FROM POSFALLOSINGRESO WHERE TIPO = :TIPO AND CODIGO = :CODIGO"),
                          keyOf(a));
    if (!db.next(q))
        return 0;
    const qint64 elapsedMs = q.value(1).toLongLong();
    if (elapsedMs >= qint64(kSignOnFailuresForgottenAfterSeconds) * 1000)
        return 0;
    const qint64 waitMs = qint64(signOnWaitAfter(q.value(0).toInt())) * 1000;
    // A clock set back since the failure never makes the wait longer than the rule gives.
    const qint64 leftMs = std::min(waitMs, waitMs - elapsedMs);
    return leftMs > 0 ? int((leftMs + 999) / 1000) : 0;
}

void signOnRefused(Connection& db, const SignOnAttempt& a, const QString& reason, bool wrongPassword)
{
    if (wrongPassword && hasCode(a)) {
        onPersonRow(db,
                    QStringLiteral("MERGE INTO POSFALLOSINGRESO I USING RDB$DATABASE ON I.TIPO = :TIPO AND I.CODIGO = :CODIGO "
                                   "WHEN MATCHED THEN UPDATE SET I.FALLOS = CASE WHEN I.ULTIMOFALLO > "
                                   "DATEADD(-%1 SECOND TO CURRENT_TIMESTAMP) THEN I.FALLOS + 1 ELSE 1 END, "
                                   "I.ULTIMOFALLO = CURRENT_TIMESTAMP "
                                   "WHEN NOT MATCHED THEN INSERT (TIPO, CODIGO, FALLOS, ULTIMOFALLO) "
                                   "VALUES (:TIPO, :CODIGO, 1, CURRENT_TIMESTAMP)")
                        .arg(kSignOnFailuresForgottenAfterSeconds),
                    keyOf(a));
    }
    record(db, a, kTrailSignOnFailed, reason);
}

void signOnAccepted(Connection& db, const SignOnAttempt& a)
{
    if (hasCode(a))
        onPersonRow(db, QStringLiteral("DELETE FROM POSFALLOSINGRESO WHERE TIPO = :TIPO AND CODIGO = :CODIGO"), keyOf(a));
    record(db, a, kTrailSignOn, QString());
}

UserState userState(const QVariant& activo, const QVariant& fechaVencimiento, const QDate& today)
{
    if (activo.toString().trimmed().compare(QLatin1String("N"), Qt::CaseInsensitive) == 0)
        return UserState::Inactive;
    // The date is typed as a day: its time of day, if any, plays no part.
    const QDate vence = fechaVencimiento.toDateTime().date();
    if (vence.isValid() && vence < today)
        return UserState::Expired;
    return UserState::Active;
}

QString userRefusal(const QVariant& activo, const QVariant& fechaVencimiento, const QDate& today)
{
    switch (userState(activo, fechaVencimiento, today)) {
    case UserState::Inactive:
        return QStringLiteral("Usuario inactivo");
    case UserState::Expired:
        return QStringLiteral("Usuario vencido el ") +
               FormatDateTime(QStringLiteral("dd/mm/yyyy"), fechaVencimiento.toDateTime().date());
    case UserState::Active:
        break;
    }
    return QString();
}

QString userStateText(UserState s)
{
    switch (s) {
    case UserState::Inactive: return QStringLiteral("Inactivo");
    case UserState::Expired: return QStringLiteral("Vencido");
    case UserState::Active: break;
    }
    return QStringLiteral("Activo");
}

bool cashierActive(const QVariant& activo)
{
    return activo.toString().trimmed().compare(QLatin1String("N"), Qt::CaseInsensitive) != 0;
}

}  // namespace kv
