#pragma once
// The message boxes a person actually sees: the Qt side of the Dialogs interface, and the
// application object whose event dispatch is the one place where an error nobody handled reaches
// the user. This is the only unit of the program that includes QMessageBox.
#include "common/Dialogs.h"
#include "platform/Guard.h"

#include <QApplication>
#include <functional>

namespace kv {

// Message boxes with Spanish buttons ("Aceptar", "Cancelar", "Sí", "No"), parented to the window
// the user is working in.
class QtDialogs : public Dialogs {
public:
    void message(const QString& text) override;
    bool confirm(const QString& text) override;
    bool okCancel(const QString& text) override;
    Reply yesNoCancel(const QString& text) override;
    std::optional<QString> input(const QString& caption, const QString& prompt, const QString& initial = QString(),
                                 bool password = false) override;
    void error(const QString& text) override;

    // Title of every box.
    static QString title();
};

// The program's QApplication: every event goes through deliverReportingErrors.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace kv
