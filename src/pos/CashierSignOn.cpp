#include "pos/CashierSignOn.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "data/DatabaseCheck.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "platform/ScreenKeys.h"
#include "pos/DocumentModule.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

namespace {
const QString kNoCashier = QStringLiteral("Cajero no existe! Por favor Verifique su login");
}  // namespace

CashierSignOn::CashierSignOn(DocumentModule& dm, const Setup& setup, QWidget* parent)
    : QDialog(parent), dm_(dm), setup_(setup)
{
    setObjectName(setup.objectName);
    setWindowTitle(QStringLiteral("Login Cajero"));
    setAccessibleName(windowTitle());

    Label1 = makeTitleLabel(setup.heading, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(QStringLiteral("1"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setEchoMode(QLineEdit::Password);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAccessibleName(QStringLiteral("OK"));
    // Where Enter in the password box looks the cashier up, it must not also press OK.
    const bool okTakesEnter = setup.enter == EnterKey::IdentityThenOk;
    BitBtn1->setDefault(okTakesEnter);
    BitBtn1->setAutoDefault(okTakesEnter);

    boxes_ = new QGridLayout;
    boxes_->addWidget(captionFor(QStringLiteral("Cèdula"), Edit1, this), 0, 0);
    boxes_->addWidget(Edit1, 0, 1);
    boxes_->addWidget(captionFor(QStringLiteral("Password"), Edit2, this), 1, 0);
    boxes_->addWidget(Edit2, 1, 1);
    Edit1->setMinimumWidth(220);
    auto* main = new QVBoxLayout(this);
    main->addWidget(Label1);
    main->addLayout(boxes_);
    main->addWidget(BitBtn1, 0, Qt::AlignRight);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, BitBtn1);

    Edit1->installEventFilter(this);
    if (!okTakesEnter)
        Edit2->installEventFilter(this);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn1Click(); }); });
    Edit1->setFocus();
    Edit1->selectAll();
}

bool CashierSignOn::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == Edit1 || watched == Edit2) && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (setup_.enter == EnterKey::IdentityThenOk ? isPlainEnter(k) : isEnter(k)) {
            guarded([this, watched] { lookUpCashier(watched == Edit1); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool CashierSignOn::findCashierTyped()
{
    const QString typed = Edit1->text().trimmed();
    return IsNumber(typed) && dm_.findCashier(StrToFloat(typed));
}

void CashierSignOn::refuseCashier()
{
    ShowMessage(kNoCashier);
    Edit1->setFocus();
}

SignOnAttempt CashierSignOn::attemptOfCashier() const
{
    return {SignOnAttempt::Cashier, setup_.place, dm_.TCajero.FieldByName(QStringLiteral("CEDULA")).value(),
            Edit1->text().trimmed(), dm_.TCajero.FieldByName(QStringLiteral("CAJA")).value()};
}

void CashierSignOn::lookUpCashier(bool inIdentityBox)
{
    if (!findCashierTyped()) {
        refuseCashier();
        return;
    }
    if (inIdentityBox)
        Edit2->setFocus();
}

bool CashierSignOn::signOnTyped()
{
    // Nobody sells on a database the check found damaged (one keyed read of its latest verdict).
    if (const QString damaged = damagedDatabaseMessage(dm_.DbPos); !damaged.isEmpty()) {
        ShowMessage(damaged);
        return false;
    }
    dm_.Parametros.Refresh();
    // The cashier, his password, his mark and his failures are read as stored now: a change made
    // at another station counts at once.
    if (!findCashierTyped()) {
        refuseCashier();
        signOnRefused(dm_.DbPos, {SignOnAttempt::Cashier, setup_.place, QVariant(), Edit1->text().trimmed(), QVariant()},
                      QStringLiteral("cajero no existe"), false);
        return false;
    }
    const SignOnAttempt attempt = attemptOfCashier();
    // While the wait lasts the password is not compared, so trying on tells nothing.
    if (const int wait = signOnWaitLeft(dm_.DbPos, attempt)) {
        ShowMessage(signOnWaitMessage(wait));
        signOnRefused(dm_.DbPos, attempt, QStringLiteral("en espera por intentos fallidos"), false);
        Edit2->setFocus();
        return false;
    }
    if (dm_.TCajero.FieldByName(QStringLiteral("CLAVE")).asString() != Edit2->text()) {
        ShowMessage(QStringLiteral("Clave no Corresponde"));
        signOnRefused(dm_.DbPos, attempt, QStringLiteral("clave incorrecta"), true);
        Edit2->setFocus();
        return false;
    }
    if (!cashierActive(dm_.TCajero.FieldByName(QStringLiteral("ACTIVO")).value())) {
        ShowMessage(kInactiveCashier);
        signOnRefused(dm_.DbPos, attempt, kInactiveCashier, false);
        Edit1->setFocus();
        return false;
    }
    // A register missing from the registers, without a company or whose company has no parameter
    // row would start documents with no company and no number: the cashier is not signed on.
    dm_.selectCashierRegister();
    if (dm_.Parametros.IsEmpty()) {
        ShowMessage(QStringLiteral("La caja %1 del cajero no está creada en Cajas o no tiene una empresa con "
                                   "parámetros; no puede %2 hasta que se configure.")
                        .arg(dm_.TCajero.FieldByName(QStringLiteral("CAJA")).asString(), setup_.work));
        signOnRefused(dm_.DbPos, attempt, QStringLiteral("caja sin configurar"), false);
        Edit1->setFocus();
        return false;
    }
    return true;
}

void CashierSignOn::acceptSignOn() { signOnAccepted(dm_.DbPos, attemptOfCashier()); }

void CashierSignOn::refuseSignOn(const QString& reason) { signOnRefused(dm_.DbPos, attemptOfCashier(), reason, false); }

void CashierSignOn::clearForNextPerson()
{
    Edit2->clear();
    Edit1->setFocus();
    Edit1->selectAll();
}

}  // namespace kv
