#pragma once
// What every sign-on (the back office's "Entrada", the cashiers' sale and order sign-ons and the
// supervisor's permission windows) does beyond checking a password:
//
// - A person who failed his password several times in a row waits before the next check, longer
//   after each failure. The failures are kept in POSFALLOSINGRESO (one row per user or cashier: how
//   many in a row and when the last one was), so closing and opening the program, or trying at
//   another register, does not start the count again. The row is read as committed at each
//   attempt, and times are the database's own clock, the same for every register.
// - Each attempt, right or refused, goes to the trail (POSBITACORA): "INGRESO" for a sign-on,
//   "INGRESO FALLIDO" for a refusal, with who, the register, the machine, when, and why.
// - Who no longer belongs is refused: a user marked inactive or whose expiry date has passed, a
//   cashier marked inactive.
#include <QDate>
#include <QString>
#include <QVariant>

namespace kv {

class Connection;

// The trail's events for sign-ons.
inline const QString kTrailSignOn = QStringLiteral("INGRESO");
inline const QString kTrailSignOnFailed = QStringLiteral("INGRESO FALLIDO");

// A failure older than this starts the count again.
constexpr int kSignOnFailuresForgottenAfterSeconds = 24 * 60 * 60;

// Seconds to wait after this many wrong passwords in a row: none after the first two (a typing
// slip), then 30 seconds, doubled at each further failure up to 15 minutes.
int signOnWaitAfter(int failures);

// "Demasiados intentos fallidos. Espere 2 minutos antes de volver a intentar."
QString signOnWaitMessage(int seconds);

// One attempt to sign on.
struct SignOnAttempt {
    enum Kind { User, Cashier };
    Kind kind = Cashier;
    QString place;     // where: "Entrada", "Venta", "Pedidos", "Permiso Para Cambios", "Supervisor"
    QVariant code;     // USUARIOS.CODIGO or POSCAJEROS.CEDULA; null when nobody answers to what was typed
    QString typed;     // the name or identity number as typed
    QVariant caja;     // the register it happens at, when known
};

// Seconds the person must still wait before his password may be checked (0: none).
int signOnWaitLeft(Connection& db, const SignOnAttempt& a);

// A refusal: the trail row, and for a wrong password one more failure in a row.
void signOnRefused(Connection& db, const SignOnAttempt& a, const QString& reason, bool wrongPassword);

// A sign-on: the trail row, and the failures in a row are forgotten.
void signOnAccepted(Connection& db, const SignOnAttempt& a);

// Back-office users: USUARIOS.ACTIVO "N" is inactive (anything else, empty included, is active, as
// users made before the mark counted); a FECHAVENCIMIENTO before today has passed: the user may
// still sign on on the day it names. today is the shop's day (Colombia).
enum class UserState { Active, Inactive, Expired };
UserState userState(const QVariant& activo, const QVariant& fechaVencimiento, const QDate& today);
// The refusal for that state: "Usuario inactivo", "Usuario vencido el 09/12/2026"; empty when active.
QString userRefusal(const QVariant& activo, const QVariant& fechaVencimiento, const QDate& today);
// The state as the users list shows it: "Activo", "Inactivo", "Vencido".
QString userStateText(UserState s);

// Cashiers: POSCAJEROS.ACTIVO "N" is inactive; empty (every cashier made before the mark) is active.
bool cashierActive(const QVariant& activo);
inline const QString kInactiveCashier = QStringLiteral("Cajero inactivo");

}  // namespace kv
