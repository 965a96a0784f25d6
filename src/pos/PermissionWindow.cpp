#include "pos/PermissionWindow.h"

#include "common/Dialogs.h"
#include "data/SignOnGuard.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"
#include "pos/DocumentModule.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace kv {

namespace {
const QString kNoCashier = QStringLiteral("Cajero no existe! Por favor Verifique su login");
bool isSupervisorLevel(const QString& nivel) { return nivel == QLatin1String("S") || nivel == QLatin1String("J"); }
}  // namespace

bool supervisorSignedOn(DocumentModule& dm) { return isSupervisorLevel(dm.TCajero.FieldByName(QStringLiteral("NIVEL")).asString()); }

PermissionWindow::PermissionWindow(DocumentModule& dm, const Setup& setup, QWidget* parent)
    : QDialog(parent), dm_(dm), setup_(setup)
{
    setWindowTitle(setup.title);
    setAccessibleName(setup.title);
    auto* main = new QVBoxLayout(this);
    LabelTitulo = makeTitleLabel(setup.heading, this, 1.3);
    LabelTitulo->setObjectName(QStringLiteral("LabelTitulo"));
    main->addWidget(LabelTitulo);
    auto* form = new QGridLayout;
    EditCedula = new QLineEdit(QStringLiteral("1"), this);
    EditCedula->setObjectName(QStringLiteral("EditCedula"));
    EditClave = new QLineEdit(this);
    EditClave->setObjectName(QStringLiteral("EditClave"));
    EditClave->setEchoMode(QLineEdit::Password);
    form->addWidget(captionFor(QStringLiteral("&Cèdula"), EditCedula, this), 0, 0);
    form->addWidget(EditCedula, 0, 1);
    form->addWidget(captionFor(QStringLiteral("&Password"), EditClave, this), 1, 0);
    form->addWidget(EditClave, 1, 1);
    main->addLayout(form);
    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnOK->setAccessibleName(QStringLiteral("OK"));
    BtnOK->setDefault(true);
    main->addWidget(BtnOK);
    connect(BtnOK, &QPushButton::clicked, this, [this] { guarded([this] { BtnOKClick(); }); });
    EditCedula->installEventFilter(this);
    EditClave->installEventFilter(this);
    EditCedula->setFocus();
    EditCedula->selectAll();
}

bool PermissionWindow::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (o == EditCedula && enter) {
            guarded([this] { EditCedulaEnter(); });
            return true;
        }
        if (o == EditClave && enter) {
            guarded([this] {
                if (setup_.enterInPasswordLooksUp && !lookUp()) {
                    ShowMessage(kNoCashier);
                    EditCedula->setFocus();
                    return;
                }
                BtnOKClick();
            });
            return true;
        }
        if (o == EditCedula && k->key() == Qt::Key_Escape) {
            guarded([this] { identityEscape(); });
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

bool PermissionWindow::lookUp(Person* person) const
{
    bool ok = false;
    const double cedula = EditCedula->text().trimmed().toDouble(&ok);
    if (!ok)
        return false;
    QSqlQuery q = dm_.DbPos.exec(QStringLiteral("SELECT CLAVE, NIVEL, ACTIVO FROM POSCAJEROS WHERE CEDULA = :CEDULA"),
                                 {{QStringLiteral("CEDULA"), cedula}});
    if (!dm_.DbPos.next(q))
        return false;
    if (person)
        *person = {cedula, q.value(0).toString().trimmed(), q.value(1).toString().trimmed(), q.value(2)};
    return true;
}

void PermissionWindow::EditCedulaEnter()
{
    if (!lookUp()) {
        ShowMessage(kNoCashier);
        EditCedula->setFocus();
        return;
    }
    EditClave->setFocus();
}

void PermissionWindow::BtnOKClick()
{
    // Where it happens: the register of the cashier signed on at the screen that asks.
    SignOnAttempt attempt{SignOnAttempt::Cashier, setup_.place, QVariant(), EditCedula->text().trimmed(),
                          !dm_.TCajero.active() || dm_.TCajero.IsEmpty() ? QVariant() : dm_.TCajero.FieldByName(QStringLiteral("CAJA")).value()};
    Person person;
    if (!lookUp(&person)) {
        ShowMessage(kNoCashier);
        signOnRefused(dm_.DbPos, attempt, QStringLiteral("cajero no existe"), false);
        EditCedula->setFocus();
        return;
    }
    attempt.code = person.cedula;
    // While the wait lasts the password is not compared, so trying on tells nothing.
    if (const int wait = signOnWaitLeft(dm_.DbPos, attempt)) {
        ShowMessage(signOnWaitMessage(wait));
        signOnRefused(dm_.DbPos, attempt, QStringLiteral("en espera por intentos fallidos"), false);
        EditClave->setFocus();
        return;
    }
    if (person.clave != EditClave->text()) {
        ShowMessage(QStringLiteral("Clave no Corresponde"));
        signOnRefused(dm_.DbPos, attempt, QStringLiteral("clave incorrecta"), true);
        EditClave->setFocus();
        return;
    }
    if (!cashierActive(person.activo)) {
        ShowMessage(kInactiveCashier);
        signOnRefused(dm_.DbPos, attempt, kInactiveCashier, false);
        EditCedula->setFocus();
        return;
    }
    if (setup_.needsSupervisor && !isSupervisorLevel(person.nivel)) {
        ShowMessage(setup_.lowLevelMessage);
        signOnRefused(dm_.DbPos, attempt, QStringLiteral("sin nivel de supervisor o jefe"), false);
        (setup_.lowLevelToIdentity ? EditCedula : EditClave)->setFocus();
        return;
    }
    if (!dm_.findCashier(person.cedula.toDouble()))
        throw DbError(kNoCashier);
    signOnAccepted(dm_.DbPos, attempt);
    granted_ = true;
    afterGranted();
    accept();
}

}  // namespace kv
