#include "app/UntLogin.h"

#include "platform/ScreenKeys.h"

#include "common/Dialogs.h"
#include "data/SignOnGuard.h"
#include "data/UntDMGeneral.h"
#include "einvoice/PosDocument.h"
#include "platform/DialogParts.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace kv {

qint16 LoginResult = 2;
qint32 CurrentUserCode = 0;
qint32 LoginAttempts = 0;
TFrmLogin* FrmLogin = nullptr;

namespace {
const QColor kSilver(192, 192, 192);
const QString kPlace = QStringLiteral("Entrada");
const QString kNoUser = QStringLiteral("Usuario no existe! Por favor Verifique su login");

}  // namespace

TFrmLogin::TFrmLogin(TDMGeneral& dm, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      dm_(dm)
{
    setObjectName(QStringLiteral("FrmLogin"));
    setWindowTitle(QStringLiteral("Entrada"));
    setAccessibleName(QStringLiteral("Entrada"));
    endProgram = [] { QCoreApplication::exit(1); };
    today = [] { return colombianTime(QDateTime::currentDateTimeUtc()).date(); };
    if (!FrmLogin)
        FrmLogin = this;

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setToolTip(QStringLiteral("Teclee el codigo del Usuario"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setToolTip(QStringLiteral("Digita La Clave"));
    Edit2->setEchoMode(QLineEdit::Password);

    ButtonOK = new QPushButton(QStringLiteral("&OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setToolTip(QStringLiteral("Entrar al Sistema Autorizado"));
    ButtonOK->setAccessibleName(QStringLiteral("OK"));
    ButtonCClave = new QPushButton(QStringLiteral("&CAMBIAR CLAVE"), this);
    ButtonCClave->setObjectName(QStringLiteral("ButtonCClave"));
    ButtonCClave->setToolTip(QStringLiteral("Para Cambiar La Clave de Usuario"));
    ButtonCClave->setAccessibleName(QStringLiteral("CAMBIAR CLAVE"));

    GClave = new QGroupBox(QStringLiteral("Cambio de Clave"), this);
    GClave->setObjectName(QStringLiteral("GClave"));
    GClave->setAccessibleName(QStringLiteral("Cambio de Clave"));
    Edit3 = new QLineEdit(GClave);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setEchoMode(QLineEdit::Password);
    Edit4 = new QLineEdit(GClave);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    Edit4->setEchoMode(QLineEdit::Password);
    auto* groupGrid = new QGridLayout(GClave);
    groupGrid->addWidget(captionFor(QStringLiteral("Nueva Clave:"), Edit3, GClave), 0, 0);
    groupGrid->addWidget(Edit3, 0, 1);
    groupGrid->addWidget(captionFor(QStringLiteral("Confirmar Clave:"), Edit4, GClave), 1, 0);
    groupGrid->addWidget(Edit4, 1, 1);

    auto* grid = new QGridLayout;
    grid->addWidget(captionFor(QStringLiteral("&Login"), Edit1, this), 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(captionFor(QStringLiteral("&Password"), Edit2, this), 1, 0);
    grid->addWidget(Edit2, 1, 1);
    Edit1->setMinimumWidth(220);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCClave);

    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttons);
    main->addWidget(GClave);
    // A fixed border: the window takes the size of what it shows, so hiding the password group
    // makes it compact again.
    main->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, ButtonOK);
    setTabOrder(ButtonOK, ButtonCClave);
    setTabOrder(ButtonCClave, Edit3);
    setTabOrder(Edit3, Edit4);

    for (QLineEdit* box : {Edit1, Edit2, Edit3, Edit4})
        box->installEventFilter(this);
    connect(ButtonOK, &QPushButton::clicked, this, &TFrmLogin::ButtonOKClick);
    connect(ButtonCClave, &QPushButton::clicked, this, &TFrmLogin::ButtonCClaveClick);

    setCompact(true);
}

TFrmLogin::~TFrmLogin()
{
    if (FrmLogin == this)
        FrmLogin = nullptr;
}

void TFrmLogin::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormActivate();
}

void TFrmLogin::FormActivate()
{
    // Users and passwords are read afresh at each showing: the users screen changes them through
    // a cursor of its own.
    if (dm_.TblUsuarios.active())
        dm_.TblUsuarios.Refresh();
    else
        dm_.TblUsuarios.Open();
    setCompact(true);
    ButtonOK->setEnabled(false);
    ButtonCClave->setEnabled(false);
    for (QLineEdit* box : {Edit1, Edit2}) {
        box->setEnabled(true);
        setBoxColor(box, Qt::white);
        box->clear();
    }
    Edit3->clear();
    Edit4->clear();
    LoginAttempts = 0;
    focused_ = nullptr;
    Edit1->setFocus();
}

void TFrmLogin::setCompact(bool compact)
{
    GClave->setVisible(!compact);
    GClave->setEnabled(!compact);
}

void TFrmLogin::setBoxColor(QLineEdit* box, const QColor& color)
{
    QPalette p = box->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, color);
    box->setPalette(p);
}

bool TFrmLogin::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return QDialog::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (!isEnter(k))
            break;
        if (box == Edit1) {
            Edit1KeyDown();
            return true;
        }
        if (box == Edit2) {
            Edit2KeyDown();
            return true;
        }
        if (box == Edit4)
            return true;  // the confirmation acts when Enter is released
        break;
    }
    case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (box == Edit4 && isEnter(k) && !k->isAutoRepeat()) {
            Edit4KeyUp();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        focused_ = box;
        if (box == Edit3)
            Edit3Enter();
        break;
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window taking the keyboard (a message box, a menu) is not leaving the box.
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
            reason == Qt::MenuBarFocusReason)
            break;
        // Only a box that really had the focus is left; a box the focus was on its way to when
        // a failed check pulled it back never was.
        const bool left = focused_ == box && !keepingFocus_;
        if (focused_ == box)
            focused_ = nullptr;
        // A box that was disabled or hidden under the focus was not left by the user either.
        if (!left || !box->isEnabled() || !box->isVisible())
            break;
        if (box == Edit1)
            Edit1Exit();
        else if (box == Edit2)
            Edit2Exit();
        else if (box == Edit4)
            Edit4Exit();
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmLogin::Edit1KeyDown() { checkUserName(); }
void TFrmLogin::Edit1Exit() { checkUserName(); }
void TFrmLogin::Edit2KeyDown() { checkPassword(); }
void TFrmLogin::Edit2Exit() { checkPassword(); }
void TFrmLogin::Edit3Enter() { ButtonCClave->setEnabled(false); }
void TFrmLogin::Edit4KeyUp() { confirmNewPassword(false); }
void TFrmLogin::Edit4Exit() { confirmNewPassword(true); }

bool TFrmLogin::tooManyAttempts()
{
    if (++LoginAttempts <= 3)
        return false;
    ShowMessage(QStringLiteral("Tiene Problemas con su identificación......Verifique"));
    if (endProgram)
        endProgram();
    reject();
    return true;
}

void TFrmLogin::keepFocusIn(QLineEdit* box)
{
    keepingFocus_ = true;
    box->setFocus();
    keepingFocus_ = false;
    focused_ = box;
}

void TFrmLogin::checkUserName()
{
    if (tooManyAttempts())
        return;
    Dataset& users = dm_.TblUsuarios;
    users.Open();
    const QString name = Edit1->text();
    // A name longer than the column cannot be on file; asking the database would only fail.
    const Field& nombre = users.FieldByName(QStringLiteral("NOMBRE"));
    const bool found = (nombre.size() <= 0 || name.size() <= nombre.size()) &&
                       users.Locate(QStringLiteral("NOMBRE"), name);
    if (found) {
        LoginAttempts = 0;
        Edit2->setFocus();
    } else {
        ShowMessage(kNoUser);
        signOnRefused(dm_.DbPos, {SignOnAttempt::User, kPlace, QVariant(), name, QVariant()},
                      QStringLiteral("usuario no existe"), false);
        keepFocusIn(Edit1);
    }
}

bool TFrmLogin::readUser(int codigo, QString* clave, QVariant* activo, QVariant* vence)
{
    QSqlQuery q = dm_.DbPos.exec(
        QStringLiteral("SELECT CLAVE, ACTIVO, FECHAVENCIMIENTO FROM USUARIOS WHERE CODIGO = :CODIGO"),
        {{QStringLiteral("CODIGO"), codigo}});
    if (!dm_.DbPos.next(q))
        return false;
    // The column is fixed-length: its trailing blanks are no part of the password.
    *clave = q.value(0).toString();
    while (clave->endsWith(QLatin1Char(' ')))
        clave->chop(1);
    *activo = q.value(1);
    *vence = q.value(2);
    return true;
}

void TFrmLogin::checkPassword()
{
    if (tooManyAttempts())
        return;
    Dataset& users = dm_.TblUsuarios;
    users.Open();
    // The password is compared with the user the name check left the cursor on, as stored now: a
    // password, a mark or a date changed at another station since the window opened counts.
    QString clave;
    QVariant activo, vence;
    const int codigo = users.IsEmpty() ? 0 : users.FieldByName(QStringLiteral("CODIGO")).asInteger();
    if (users.IsEmpty() || !readUser(codigo, &clave, &activo, &vence)) {
        ShowMessage(QStringLiteral("Clave Incorecta! Por favor Verifique Clave"));
        keepFocusIn(Edit2);
        return;
    }
    const SignOnAttempt attempt{SignOnAttempt::User, kPlace, codigo,
                                users.FieldByName(QStringLiteral("NOMBRE")).asString(), QVariant()};
    // While the wait after too many wrong passwords lasts, the password is not even compared, so
    // that trying on tells nothing.
    if (const int wait = signOnWaitLeft(dm_.DbPos, attempt)) {
        ShowMessage(signOnWaitMessage(wait));
        signOnRefused(dm_.DbPos, attempt, QStringLiteral("en espera por intentos fallidos"), false);
        keepFocusIn(Edit2);
        return;
    }
    if (clave != Edit2->text()) {
        ShowMessage(QStringLiteral("Clave Incorecta! Por favor Verifique Clave"));
        signOnRefused(dm_.DbPos, attempt, QStringLiteral("clave incorrecta"), true);
        keepFocusIn(Edit2);
        return;
    }
    // Only the user himself learns that he no longer belongs; another name may sign on instead.
    const QString refusal = userRefusal(activo, vence, today ? today() : QDate::currentDate());
    if (!refusal.isEmpty()) {
        ShowMessage(refusal);
        signOnRefused(dm_.DbPos, attempt, refusal, false);
        Edit2->clear();
        keepFocusIn(Edit1);
        Edit1->selectAll();
        return;
    }
    signOnAccepted(dm_.DbPos, attempt);
    LoginResult = 1;
    CurrentUserCode = codigo;
    ButtonOK->setEnabled(true);
    ButtonCClave->setEnabled(true);
    // Name and password are locked from here on; the focus goes on to "OK".
    for (QLineEdit* box : {Edit1, Edit2}) {
        box->setEnabled(false);
        setBoxColor(box, kSilver);
    }
    LoginAttempts = 0;
}

void TFrmLogin::ButtonOKClick()
{
    LoginResult = 1;
    CurrentUserCode = dm_.TblUsuarios.FieldByName(QStringLiteral("CODIGO")).asInteger();
    accept();
}

void TFrmLogin::ButtonCClaveClick()
{
    setCompact(false);
    Edit3->setFocus();
    ButtonOK->setEnabled(false);
}

void TFrmLogin::confirmNewPassword(bool countAttempt)
{
    // Leaving the confirmation box too often only warns; changing a password never ends the run.
    if (countAttempt && ++LoginAttempts > 3)
        ShowMessage(QStringLiteral("Tiene Problemas con su identificación\nCorrigir Claves ......Verifique"));

    if (Edit3->text() != Edit4->text()) {
        ShowMessage(QStringLiteral("Verifique la Clave......."));
        Edit3->clear();
        Edit4->clear();
        // The two boxes were just emptied; moving to the first must not confirm the empty pair.
        keepFocusIn(Edit3);
        return;
    }

    setCompact(true);
    ButtonCClave->setEnabled(false);
    Dataset& users = dm_.TblUsuarios;
    users.Edit();
    try {
        // The column is 20 characters wide: a longer password is stored cut to its first 20.
        users.FieldByName(QStringLiteral("CLAVE")).setString(Edit3->text());
        users.Post();
    } catch (...) {
        users.Cancel();
        throw;
    }
    users.Refresh();
    ButtonOK->setEnabled(true);
    ButtonOK->setFocus();
}

}  // namespace kv
