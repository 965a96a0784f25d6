#pragma once
// The small sign-in windows that obtain a person for a change: "Cèdula" (preset "1"), "Password"
// and "OK". Enter in the identity box looks the person up (without signing him on); "OK" checks
// that he exists, that he is not waiting after too many wrong passwords, that the password is his
// (case included), that he is active and, where the window asks for one, that his level is
// Supervisor ("S") or Jefe ("J"). Then he becomes the signed-on cashier of the document module it
// works for (the sales or the orders) and the window closes; any refusal leaves the signed-on
// cashier as he was and the window open. Each sign-in and each refusal goes to the trail.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kv {

class DocumentModule;

class PermissionWindow : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        QString title;                // window title
        QString heading;              // the text over the boxes
        bool needsSupervisor = false; // level "S" or "J" required
        QString lowLevelMessage;      // shown when the level is too low
        bool lowLevelToIdentity = false;  // after that message the focus goes back to the identity box
        bool enterInPasswordLooksUp = false;
        QString place;                // where, for the trail
    };
    PermissionWindow(DocumentModule& dm, const Setup& setup, QWidget* parent);

    QLabel* LabelTitulo;
    QLineEdit* EditCedula;  // "Cèdula"
    QLineEdit* EditClave;   // "Password"
    QPushButton* BtnOK;     // "OK"

    // True once a person passed the checks and was signed on.
    bool granted() const { return granted_; }

    void EditCedulaEnter();
    void BtnOKClick();

    // Esc and the close button leave only where the window offers it (leave()).
    void reject() override {}

protected:
    void leave() { QDialog::reject(); }
    bool eventFilter(QObject* o, QEvent* e) override;
    // Esc in the identity box; by default nothing (the window closes only through "OK").
    virtual void identityEscape() {}
    // After the person was signed on, before the window closes.
    virtual void afterGranted() {}
    DocumentModule& dm_;

private:
    // The person the identity box names, as stored now.
    struct Person {
        QVariant cedula;
        QString clave, nivel;
        QVariant activo;
    };
    bool lookUp(Person* person = nullptr) const;
    Setup setup_;
    bool granted_ = false;
};

// True when the signed-on cashier is a Supervisor or a Jefe.
bool supervisorSignedOn(DocumentModule& dm);

}  // namespace kv
