#pragma once
// A register screen that is left only through its own keys and menu (Esc in the box that asks
// "Salir de Facturacion?", "Salir"): Esc in any other control is that control's key, and the
// window's close button does nothing, so a stray key never leaves a sale half done. The screen
// says when it goes with leave(). Alt+letters are keys of its menus and buttons, never text typed
// into its boxes.
#include <QDialog>

namespace kv {

class OwnKeysDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    void reject() override;

protected:
    // Closes the screen, rejected as Esc closes another dialog.
    void leave();

    void closeEvent(QCloseEvent* e) override;
    // When shown, Alt+letters are refused as typed text in every box (refuseAltTyping).
    bool event(QEvent* e) override;

private:
    bool leaving_ = false;
};

}  // namespace kv
