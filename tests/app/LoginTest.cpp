// The sign-on window driven from the keyboard on the demo users: the checks, the counter that
// ends the program, and the password change.
#include "app/UntLogin.h"
#include "Shell.h"

#include <QGroupBox>
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
    // Neither an inactive flag nor an expiry date stops a sign-on.
    db->exec("UPDATE USUARIOS SET ACTIVO = 'N', FECHAVENCIMIENTO = '2001-01-01' WHERE NOMBRE = 'ADMIN'");
    dm->TblUsuarios.Refresh();
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
