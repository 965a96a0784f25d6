#pragma once
// What every cashier sign-on window ("Login Cajero") has, over a document module: the heading,
// the identity box (preset "1"), the password box shown as "*", the "OK" button, looking up the
// cashier typed, and the checks that sign him on: he exists, he is not waiting after too many wrong
// passwords, the password is his (letter case included), he is active, and his register is set up
// with a company that has a parameter row. Every sign-on and every refusal goes to the trail (see
// data/SignOnGuard.h). A window adds only what is its own: the boxes below these, and what follows
// a right sign-on.
#include "data/SignOnGuard.h"

#include <QDialog>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kv {

class DocumentModule;

class CashierSignOn : public QDialog {
    Q_OBJECT
public:
    QLabel* Label1;        // the heading
    QLineEdit* Edit1;      // "Cèdula"
    QLineEdit* Edit2;      // "Password"
    QPushButton* BitBtn1;  // "OK"

    // How Enter looks the cashier up.
    enum class EnterKey {
        // Enter without Shift, Ctrl or Alt in the identity box; in the password box Enter presses
        // OK, the window's default button.
        IdentityThenOk,
        // Enter, whatever modifiers are held, in either box; only OK signs on.
        InEitherBox,
    };
    struct Setup {
        QString objectName;
        QString heading;  // "Cajero o Vendedor"
        QString work;     // what a register not set up keeps him from: "facturar"
        EnterKey enter;
        QString place;    // where, for the trail: "Venta"
    };

public slots:
    // "OK": the window's own sign-on steps.
    virtual void BitBtn1Click() = 0;

protected:
    CashierSignOn(DocumentModule& dm, const Setup& setup, QWidget* parent);

    // The grid of captioned boxes; a window adds its rows below the password.
    QGridLayout* boxes() const { return boxes_; }

    // Enter in a box: a cashier found moves the cursor from the identity box on to the password
    // box; otherwise the message, and the cursor goes back to the identity box.
    void lookUpCashier(bool inIdentityBox);
    // Re-reads the parameter rows (a document type just stored counts) and checks the cashier
    // typed: true when he is signed on, the module standing on him, his register and the
    // parameter row of its company. False after saying why, the cursor on the box to correct.
    bool signOnTyped();
    // After signOnTyped: the window lets him in (the trail row; his failures are forgotten) or
    // refuses him after all for a reason of its own, already told to him.
    void acceptSignOn();
    void refuseSignOn(const QString& reason);
    // Makes the window ready for the next person: his own password, the cursor on the identity.
    void clearForNextPerson();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The identity is a number; text that is not one names no cashier.
    bool findCashierTyped();
    void refuseCashier();
    // The attempt of the cashier TCajero stands on.
    SignOnAttempt attemptOfCashier() const;

    DocumentModule& dm_;
    const Setup setup_;
    QGridLayout* boxes_;
};

}  // namespace kv
