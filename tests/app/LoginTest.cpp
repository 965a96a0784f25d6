// The sign-on window driven from the keyboard on the demo users: the checks, the counter that
// ends the program, and the password change.
#include "app/UntLogin.h"
#include "Shell.h"

#include <QGroupBox>
#include <QRegularExpression>
#include <QPushButton>

using namespace kv;
using kvtest::typeInto;

namespace {

const QString kTooMany = QStringLiteral("Tiene Problemas con su identificación......Verifique");
const QString kNoUser = QStringLiteral("Usuario no existe! Por favor Verifique su login");
const QString kBadPassword = QStringLiteral("Clave Incorecta! Por favor Verifique Clave");

class LoginTest : public kvtest::ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        login = std::make_unique<TFrmLogin>(*dm);
        login->endProgram = [this] { ++ended; };
        LoginResult = 2;
        CurrentUserCode = 0;
        kvtest::showActive(login.get());
    }
    void TearDown() override
    {
        login.reset();
        ShellTest::TearDown();
    }

    QString storedPassword(int code)
    {
        return db->scalar("SELECT TRIM(CLAVE) FROM USUARIOS WHERE CODIGO = :C", {{"C", code}}).toString();
    }
    // Signs on up to the verified state and opens the password group.
    void openPasswordChange()
    {
        typeInto(login->Edit1, "Administrador", true);
        typeInto(login->Edit2, "1234", true);
        ASSERT_TRUE(login->ButtonCClave->isEnabled());
        login->ButtonCClave->setFocus();
        QTest::keyClick(login->ButtonCClave, Qt::Key_Space);
        ASSERT_TRUE(login->GClave->isVisible());
    }

    std::unique_ptr<TFrmLogin> login;
    int ended = 0;
};

TEST_F(LoginTest, ShowingResetsTheWindow)
{
    EXPECT_EQ(login->windowTitle(), "Entrada");
    EXPECT_FALSE(login->GClave->isVisible());
    EXPECT_FALSE(login->ButtonOK->isEnabled());
    EXPECT_FALSE(login->ButtonCClave->isEnabled());
    EXPECT_EQ(login->Edit2->echoMode(), QLineEdit::Password);
    EXPECT_EQ(QApplication::focusWidget(), login->Edit1);

    typeInto(login->Edit1, "nadie", true);
    typeInto(login->Edit1, "nadie", true);
    EXPECT_EQ(LoginAttempts, 2);
    login->hide();
    // A user added meanwhile by the users screen can sign on at the next showing.
    db->exec("INSERT INTO USUARIOS (CODIGO, NOMBRE, CLAVE) VALUES (12, 'nuevo', 'n1')");
    kvtest::showActive(login.get());
    EXPECT_EQ(LoginAttempts, 0);
    EXPECT_TRUE(login->Edit1->text().isEmpty());
    typeInto(login->Edit1, "nuevo", true);
    typeInto(login->Edit2, "n1", true);
    EXPECT_EQ(CurrentUserCode, 12);
}

// Each step types into the name (N) or password (P) box and presses Enter, or leaves the box with
// Tab (n, p). The counter and the end of the program are checked after the last step.
TEST_F(LoginTest, FourthCheckAfterThreeFailuresEndsTheProgram)
{
    const struct {
        const char* what;
        QStringList steps;
        int attempts;   // LoginAttempts after the steps (when the program did not end)
        bool ends;
    } cases[] = {
        {"right name by Enter: checked twice, both succeed", {"N:Administrador"}, 0, false},
        {"name in another case is not found", {"N:administrador"}, 1, false},
        {"leaving the box checks too", {"n:nadie"}, 1, false},
        {"three wrong names", {"N:a", "N:b", "N:c"}, 3, false},
        {"four wrong names", {"N:a", "N:b", "N:c", "N:d"}, 0, true},
        {"three wrong passwords, then the right one", {"N:Administrador", "P:x", "P:y", "P:z", "P:1234"}, 0, true},
        {"two wrong names, the right one, three wrong passwords",
         {"N:a", "N:b", "N:Administrador", "P:x", "P:y", "P:z"}, 3, false},
        {"... and any next check", {"N:a", "N:b", "N:Administrador", "P:x", "P:y", "P:z", "P:1234"}, 0, true},
        {"a right password resets the counter", {"N:Administrador", "P:x", "P:y", "P:1234"}, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ended = 0;
        dialogs.clear();
        LoginResult = 2;
        // Each case starts with no wrong password on file (the wait they bring is tested below).
        db->exec("DELETE FROM POSFALLOSINGRESO");
        login->hide();
        kvtest::showActive(login.get());
        for (const QString& step : c.steps) {
            QLineEdit* box = step[0].toUpper() == 'N' ? login->Edit1 : login->Edit2;
            const bool enter = step[0].isUpper();
            typeInto(box, step.mid(2), enter);
            if (!enter)
                QTest::keyClick(box, Qt::Key_Tab);
        }
        EXPECT_EQ(ended, c.ends ? 1 : 0);
        if (c.ends) {
            EXPECT_EQ(dialogs.last(), kTooMany);
            EXPECT_EQ(LoginResult, 2);
            EXPECT_FALSE(login->isVisible());
        } else {
            EXPECT_EQ(LoginAttempts, c.attempts);
            EXPECT_FALSE(dialogs.texts().contains(kTooMany));
        }
    }
}

TEST_F(LoginTest, FailedChecksKeepTheFocusInTheirBox)
{
    typeInto(login->Edit1, "administrador");
    QTest::keyClick(login->Edit1, Qt::Key_Tab);
    EXPECT_EQ(dialogs.texts(), QStringList{kNoUser});
    EXPECT_EQ(QApplication::focusWidget(), login->Edit1);
    // The box the focus was heading for was never entered, so it was not left: one check only.
    EXPECT_EQ(LoginAttempts, 1);

    dialogs.clear();
    typeInto(login->Edit1, "Administrador", true);
    EXPECT_EQ(QApplication::focusWidget(), login->Edit2);
    typeInto(login->Edit2, "4321", true);
    EXPECT_EQ(dialogs.texts(), QStringList{kBadPassword});
    EXPECT_EQ(QApplication::focusWidget(), login->Edit2);
    EXPECT_EQ(LoginResult, 2);
}

TEST_F(LoginTest, RightPasswordLocksTheBoxesAndSignsOn)
{
    typeInto(login->Edit1, "ADMIN", true);
    typeInto(login->Edit2, "admin", true);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(LoginResult, 1);
    EXPECT_EQ(CurrentUserCode, 2);
    EXPECT_EQ(LoginAttempts, 0);
    EXPECT_FALSE(login->Edit1->isEnabled());
    EXPECT_FALSE(login->Edit2->isEnabled());
    EXPECT_EQ(login->Edit1->palette().color(QPalette::Disabled, QPalette::Base), QColor(192, 192, 192));
    EXPECT_TRUE(login->ButtonOK->isEnabled());
    EXPECT_TRUE(login->ButtonCClave->isEnabled());
    EXPECT_EQ(dm->TblUsuarios.FieldByName("NOMBRE").asString(), "ADMIN");

    // Closing by the close box now still leaves the sign-on made.
    login->close();
    EXPECT_EQ(LoginResult, 1);
}

TEST_F(LoginTest, RightPasswordLeftWithTabSignsOnToo)
{
    typeInto(login->Edit1, "cajero");
    QTest::keyClick(login->Edit1, Qt::Key_Tab);
    typeInto(login->Edit2, "0000");
    QTest::keyClick(login->Edit2, Qt::Key_Tab);
    EXPECT_EQ(LoginResult, 1);
    EXPECT_EQ(CurrentUserCode, 3);
    // The focus went on to OK; Space presses it and closes the window.
    ASSERT_EQ(QApplication::focusWidget(), login->ButtonOK);
    QTest::keyClick(login->ButtonOK, Qt::Key_Space);
    EXPECT_FALSE(login->isVisible());
    EXPECT_EQ(login->result(), QDialog::Accepted);
}

TEST_F(LoginTest, NewPasswordIsStoredCutToTwentyCharacters)
{
    openPasswordChange();
    EXPECT_FALSE(login->ButtonOK->isEnabled());
    EXPECT_FALSE(login->ButtonCClave->isEnabled());  // entering the new-password box disables it
    EXPECT_EQ(QApplication::focusWidget(), login->Edit3);

    const QString longer = "abcdefghijklmnopqrstuvwxy";  // 25 characters
    typeInto(login->Edit3, longer);
    typeInto(login->Edit4, longer, true);  // Enter in the confirmation box
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(storedPassword(1), longer.left(20));
    EXPECT_FALSE(login->GClave->isVisible());
    EXPECT_TRUE(login->ButtonOK->isEnabled());
    EXPECT_FALSE(login->ButtonCClave->isEnabled());

    // At the next sign-on only those twenty characters match.
    login->hide();
    kvtest::showActive(login.get());
    typeInto(login->Edit1, "Administrador", true);
    typeInto(login->Edit2, longer, true);
    EXPECT_EQ(dialogs.texts(), QStringList{kBadPassword});
    typeInto(login->Edit2, longer.left(20), true);
    EXPECT_EQ(LoginResult, 1);
}

TEST_F(LoginTest, DifferentConfirmationEmptiesBothBoxesAndKeepsTheOldPassword)
{
    openPasswordChange();
    typeInto(login->Edit3, "nueva");
    typeInto(login->Edit4, "nuevo", true);
    EXPECT_EQ(dialogs.texts(), QStringList{"Verifique la Clave......."});
    EXPECT_TRUE(login->Edit3->text().isEmpty());
    EXPECT_TRUE(login->Edit4->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), login->Edit3);
    EXPECT_TRUE(login->GClave->isVisible());
    // The emptied pair is not taken as a confirmed empty password.
    EXPECT_EQ(storedPassword(1), "1234");

    // Leaving the confirmation box counts; past three it only warns, and an empty password is
    // accepted when both boxes agree.
    dialogs.clear();
    for (int i = 0; i < 4; ++i) {
        typeInto(login->Edit3, "x");
        typeInto(login->Edit4, "y");
        QTest::keyClick(login->Edit4, Qt::Key_Tab);
    }
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(dialogs.texts().contains("Tiene Problemas con su identificación\nCorrigir Claves ......Verifique"));
    typeInto(login->Edit3, "");
    typeInto(login->Edit4, "");
    QTest::keyClick(login->Edit4, Qt::Key_Tab);
    EXPECT_EQ(storedPassword(1), "");
    EXPECT_EQ(ended, 0);
}

}  // namespace

namespace {

// The trail's last row: "EVENTO|USUARIO|DETALLE".
QString lastTrail(Connection& db)
{
    return db.scalar("SELECT FIRST 1 EVENTO || '|' || COALESCE(USUARIO, '') || '|' || DETALLE FROM POSBITACORA "
                     "ORDER BY ID DESC")
        .toString();
}

TEST_F(LoginTest, AUserWhoNoLongerBelongsIsRefusedOnceHisPasswordIsRightAndItCountsAsAFailedCheck)
{
    login->today = [] { return QDate(2026, 12, 10); };
    const struct {
        const char* what;
        const char* activo;  // null: none stored
        const char* vence;
        const char* clave;
        QString refusal;  // empty: he signs on
    } cases[] = {
        {"inactive", "N", nullptr, "0000", "Usuario inactivo"},
        {"inactive, wrong password: only the password is spoken of", "N", nullptr, "9999", kBadPassword},
        {"expired yesterday", "S", "2026-12-09", "0000", "Usuario vencido el 09/12/2026"},
        {"expires today", "S", "2026-12-10", "0000", ""},
        {"no expiry date", "S", nullptr, "0000", ""},
        {"made before the mark was kept", nullptr, nullptr, "0000", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        db->exec("UPDATE USUARIOS SET ACTIVO = :A, FECHAVENCIMIENTO = :V WHERE CODIGO = 3",
                 {{"A", c.activo ? QVariant(c.activo) : QVariant()},
                  {"V", c.vence ? QVariant(QDate::fromString(c.vence, Qt::ISODate)) : QVariant()}});
        db->exec("DELETE FROM POSFALLOSINGRESO");
        dialogs.clear();
        LoginResult = 2;
        CurrentUserCode = 0;
        login->hide();
        kvtest::showActive(login.get());
        typeInto(login->Edit1, "cajero", true);
        typeInto(login->Edit2, c.clave, true);
        if (c.refusal.isEmpty()) {
            EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join('|').toStdString();
            EXPECT_EQ(LoginResult, 1);
            EXPECT_EQ(CurrentUserCode, 3);
            EXPECT_EQ(lastTrail(*db), "INGRESO|cajero|Entrada");
            continue;
        }
        EXPECT_EQ(dialogs.texts(), QStringList{c.refusal});
        EXPECT_EQ(LoginResult, 2);
        EXPECT_EQ(LoginAttempts, 1);
        EXPECT_TRUE(login->Edit1->isEnabled());
        EXPECT_FALSE(login->ButtonOK->isEnabled());
        const bool wrongPassword = c.refusal == kBadPassword;
        EXPECT_EQ(QApplication::focusWidget(), wrongPassword ? login->Edit2 : login->Edit1);
        EXPECT_EQ(lastTrail(*db), QString("INGRESO FALLIDO|cajero|Entrada: ") +
                                      (wrongPassword ? QString("clave incorrecta") : c.refusal));
    }
}

TEST_F(LoginTest, WrongPasswordsMakeTheUserWaitEvenAfterTheProgramStartsAgain)
{
    typeInto(login->Edit1, "Administrador", true);
    for (const char* wrong : {"x", "y", "z"})
        typeInto(login->Edit2, wrong, true);
    EXPECT_EQ(dialogs.texts(), QStringList({kBadPassword, kBadPassword, kBadPassword}));
    EXPECT_EQ(ended, 0);

    // The program is closed and started again: a new general data module and window.
    login.reset();
    dm.reset();
    dm = std::make_unique<TDMGeneral>();
    ASSERT_TRUE(dm->DataModuleCreate(locationFile));
    login = std::make_unique<TFrmLogin>(*dm);
    login->endProgram = [this] { ++ended; };
    kvtest::showActive(login.get());
    dialogs.clear();

    // Even the right password is not looked at while the wait lasts; the window answers at once.
    typeInto(login->Edit1, "Administrador", true);
    typeInto(login->Edit2, "1234", true);
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(QRegularExpression("^Demasiados intentos fallidos\\. Espere [0-9]+ segundos antes de volver a intentar\\.$")
                    .match(dialogs.texts().first())
                    .hasMatch())
        << dialogs.texts().first().toStdString();
    EXPECT_EQ(LoginResult, 2);
    EXPECT_EQ(QApplication::focusWidget(), login->Edit2);
    EXPECT_EQ(lastTrail(*db), "INGRESO FALLIDO|Administrador|Entrada: en espera por intentos fallidos");

    // Once the wait is over the right password signs on, and the count starts again.
    db->exec("UPDATE POSFALLOSINGRESO SET ULTIMOFALLO = DATEADD(-31 SECOND TO ULTIMOFALLO)");
    typeInto(login->Edit2, "1234", true);
    EXPECT_EQ(LoginResult, 1);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSFALLOSINGRESO").toInt(), 0);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSBITACORA WHERE USUARIO = 'Administrador' AND "
                         "DETALLE = 'Entrada: clave incorrecta'")
                  .toInt(),
              3);
}

}  // namespace
