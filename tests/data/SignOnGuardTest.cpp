// The rules every sign-on shares: the wait that grows with the wrong passwords in a row and
// outlives the program, the trail rows, and who no longer belongs.
#include "data/SignOnGuard.h"
#include "support/TestDb.h"

#include <QSqlQuery>

using namespace kv;

namespace {

class SignOnGuardTest : public kvtest::DbTest {
protected:
    SignOnAttempt cashier(double cedula) { return {SignOnAttempt::Cashier, "Venta", cedula, QString::number(cedula), 3}; }
    SignOnAttempt user(int codigo, const QString& nombre) { return {SignOnAttempt::User, "Entrada", codigo, nombre, {}}; }
    void failTimes(Connection& c, const SignOnAttempt& a, int n)
    {
        for (int i = 0; i < n; ++i)
            signOnRefused(c, a, "clave incorrecta", true);
    }
    // Moves the last failure of a person that many seconds into the past.
    void ageLastFailure(const char* tipo, double codigo, int seconds)
    {
        db->exec(QString("UPDATE POSFALLOSINGRESO SET ULTIMOFALLO = DATEADD(-%1 SECOND TO ULTIMOFALLO) "
                         "WHERE TIPO = :T AND CODIGO = :C")
                     .arg(seconds),
                 {{"T", tipo}, {"C", codigo}});
    }
};

TEST_F(SignOnGuardTest, TheWaitGrowsWithTheWrongPasswordsInARowUpToFifteenMinutes)
{
    const int expected[][2] = {{0, 0},   {1, 0},   {2, 0},   {3, 30},   {4, 60},    {5, 120},
                               {6, 240}, {7, 480}, {8, 900}, {9, 900}, {40, 900}, {100000, 900}};
    for (const auto& [failures, seconds] : expected)
        EXPECT_EQ(signOnWaitAfter(failures), seconds) << failures << " failures";

    EXPECT_EQ(signOnWaitMessage(30), "Demasiados intentos fallidos. Espere 30 segundos antes de volver a intentar.");
    EXPECT_EQ(signOnWaitMessage(60), "Demasiados intentos fallidos. Espere 1 minuto antes de volver a intentar.");
    EXPECT_EQ(signOnWaitMessage(61), "Demasiados intentos fallidos. Espere 2 minutos antes de volver a intentar.");
}

TEST_F(SignOnGuardTest, FailuresOutliveTheProgramAndOnlyARightSignOnOrADayOfQuietForgetsThem)
{
    const SignOnAttempt ana = cashier(11);
    failTimes(*db, ana, 2);
    EXPECT_EQ(signOnWaitLeft(*db, ana), 0);
    // Refusals that are no guess (inactive, waiting, unknown) add nothing.
    signOnRefused(*db, ana, "cajero inactivo", false);
    signOnRefused(*db, {SignOnAttempt::Cashier, "Venta", {}, "99", {}}, "cajero no existe", true);
    EXPECT_EQ(signOnWaitLeft(*db, ana), 0);
    failTimes(*db, ana, 1);

    // Another program on the same database (a restart, another register) finds the wait.
    const QString location = db->location();
    db->close();
    db.reset();
    Connection other("Korvela");
    other.setLocation(location);
    other.open();
    const int left = signOnWaitLeft(other, ana);
    EXPECT_GT(left, 25);
    EXPECT_LE(left, 30);
    // A user with the same number, and another cashier, are other people.
    EXPECT_EQ(signOnWaitLeft(other, user(11, "ANA")), 0);
    EXPECT_EQ(signOnWaitLeft(other, cashier(22)), 0);
    other.close();
    db = std::make_unique<Connection>("Korvela");
    db->setLocation(location);
    db->open();

    ageLastFailure("C", 11, 31);
    EXPECT_EQ(signOnWaitLeft(*db, ana), 0);
    failTimes(*db, ana, 1);  // the fourth in a row
    EXPECT_GT(signOnWaitLeft(*db, ana), 55);

    signOnAccepted(*db, ana);
    EXPECT_EQ(signOnWaitLeft(*db, ana), 0);
    failTimes(*db, ana, 2);
    EXPECT_EQ(signOnWaitLeft(*db, ana), 0);

    // A day after the last failure the count starts again.
    failTimes(*db, ana, 6);
    EXPECT_GT(signOnWaitLeft(*db, ana), 800);
    ageLastFailure("C", 11, kSignOnFailuresForgottenAfterSeconds + 1);
    EXPECT_EQ(signOnWaitLeft(*db, ana), 0);
    failTimes(*db, ana, 1);
    EXPECT_EQ(db->scalar("SELECT FALLOS FROM POSFALLOSINGRESO WHERE TIPO = 'C' AND CODIGO = 11").toInt(), 1);
}

TEST_F(SignOnGuardTest, EachAttemptLeavesATrailRowSayingWhoWhereAndWhy)
{
    signOnRefused(*db, cashier(11), "clave incorrecta", true);
    signOnAccepted(*db, cashier(11));
    signOnRefused(*db, {SignOnAttempt::Cashier, "Pedidos", {}, "99", {}}, "cajero no existe", false);
    signOnRefused(*db, user(2, "ADMIN"), "Usuario inactivo", false);
    signOnAccepted(*db, user(1, "Administrador"));

    QStringList rows;
    QSqlQuery q = db->exec("SELECT EVENTO, CAJA, CAJERO, USUARIO, DETALLE, EQUIPO, FECHA FROM POSBITACORA ORDER BY ID");
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < 5; ++i)
            row << (q.value(i).isNull() ? QString() : q.value(i).toString());
        rows << row.join('|');
        EXPECT_FALSE(q.value(5).toString().isEmpty());
        EXPECT_FALSE(q.value(6).isNull());
    }
    EXPECT_EQ(rows.join('\n').toStdString(), QStringList({"INGRESO FALLIDO|3|11||Venta: clave incorrecta",
                                                          "INGRESO|3|11||Venta",
                                                          "INGRESO FALLIDO||||Pedidos (cédula tecleada: 99): cajero no existe",
                                                          "INGRESO FALLIDO|||ADMIN|Entrada: Usuario inactivo",
                                                          "INGRESO|||Administrador|Entrada"})
                                                  .join('\n')
                                                  .toStdString());
}

TEST(SignOnStateTest, WhoNoLongerBelongs)
{
    const QDate today(2026, 12, 10);
    const QVariant none;
    const struct {
        QVariant activo, vence;
        UserState state;
        const char* refusal;
    } users[] = {
        {"S", none, UserState::Active, ""},
        {none, none, UserState::Active, ""},  // made before the mark was kept
        {"", none, UserState::Active, ""},
        {"N", none, UserState::Inactive, "Usuario inactivo"},
        {"S", QDateTime(QDate(2026, 12, 9), QTime(0, 0)), UserState::Expired, "Usuario vencido el 09/12/2026"},
        {"S", QDateTime(QDate(2026, 12, 9), QTime(23, 59)), UserState::Expired, "Usuario vencido el 09/12/2026"},
        {"S", QDateTime(QDate(2026, 12, 10), QTime(0, 0)), UserState::Active, ""},  // the last day he may
        {"S", QDateTime(QDate(2027, 1, 1), QTime(0, 0)), UserState::Active, ""},
        {"N", QDateTime(QDate(2020, 1, 1), QTime(0, 0)), UserState::Inactive, "Usuario inactivo"},
    };
    for (const auto& u : users) {
        SCOPED_TRACE(u.activo.toString().toStdString() + " " + u.vence.toString().toStdString());
        EXPECT_EQ(userState(u.activo, u.vence, today), u.state);
        EXPECT_EQ(userRefusal(u.activo, u.vence, today), QString(u.refusal));
    }
    EXPECT_TRUE(cashierActive(none));
    EXPECT_TRUE(cashierActive("S"));
    EXPECT_TRUE(cashierActive(""));
    EXPECT_FALSE(cashierActive("N"));
}

}  // namespace
