#pragma once
// The back-office sign-on window "Entrada": a user name and a password checked against USUARIOS,
// and the change of that password once it was given right. Created once at start-up and shown
// again for every sign-on; each showing starts afresh.
//
// The checks run on Enter in a box and again whenever the focus leaves it, and every check
// counts: the fourth check after three failures in a row ends the program. Beyond the password, a
// user marked inactive or whose expiry date has passed is refused, a user who failed his password
// too often in a row waits before the next check (the count is kept in the database, see
// data/SignOnGuard.h), and every sign-on and refusal goes to the trail.
#include <QDate>
#include <QDialog>
#include <functional>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kv {

class TDMGeneral;

// 2 while a sign-on is under way or after it failed, 1 once the password was right.
extern qint16 LoginResult;
// USUARIOS.CODIGO of the signed-on user (0 before the first sign-on).
extern qint32 CurrentUserCode;
// Consecutive failed checks within the current showing of the window.
extern qint32 LoginAttempts;

class TFrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TFrmLogin(TDMGeneral& dm, QWidget* parent = nullptr);
    ~TFrmLogin() override;

    QLineEdit* Edit1;            // "Login": the user name
    QLineEdit* Edit2;            // "Password"
    QPushButton* ButtonOK;       // "&OK"
    QPushButton* ButtonCClave;   // "&CAMBIAR CLAVE"
    QGroupBox* GClave;           // "Cambio de Clave"
    QLineEdit* Edit3;            // new password
    QLineEdit* Edit4;            // its confirmation

    // What ending the program does. By default it stops every event loop, so the program returns
    // from its main loop without asking the exit question; tests put an observer here instead.
    std::function<void()> endProgram;
    // The shop's day, against which expiry dates are read (Colombia's, by default).
    std::function<QDate()> today;

public slots:
    void FormActivate();
    void ButtonOKClick();
    void ButtonCClaveClick();

public:
    // The key and focus handlers of the boxes, as the event filter calls them.
    void Edit1KeyDown();
    void Edit1Exit();
    void Edit2KeyDown();
    void Edit2Exit();
    void Edit3Enter();
    void Edit4KeyUp();
    void Edit4Exit();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void checkUserName();
    void checkPassword();
    // The user's row as committed now; false when it is gone.
    bool readUser(int codigo, QString* clave, QVariant* activo, QVariant* vence);
    void confirmNewPassword(bool countAttempt);
    // Adds a check to the counter; true (after the message and the end of the program) when it
    // went past three.
    bool tooManyAttempts();
    // Moves the focus back to a box after a failed check, as if the focus had never left it: the
    // box the user was going to is not counted as left.
    void keepFocusIn(QLineEdit* box);
    void setCompact(bool compact);
    static void setBoxColor(QLineEdit* box, const QColor& color);

    TDMGeneral& dm_;
    bool keepingFocus_ = false;
    QLineEdit* focused_ = nullptr;  // the box that really received the focus last
};

// The program's login window: the first one created, until it is destroyed.
extern TFrmLogin* FrmLogin;

}  // namespace kv
