#include "platform/QtDialogs.h"

#include "common/Errors.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace kv {

namespace {

QWidget* activeParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// A box whose buttons carry the Spanish captions; the first button is the default one, as in the
// message boxes the shop's staff already know.
int ask(QMessageBox::Icon icon, const QString& text, const QStringList& buttons)
{
    QMessageBox box(icon, QtDialogs::title(), text, QMessageBox::NoButton, activeParent());
    box.setTextFormat(Qt::PlainText);
    QList<QPushButton*> made;
    for (int i = 0; i < buttons.size(); ++i) {
        const auto role = i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
        QPushButton* b = box.addButton(buttons[i], role);
        b->setAccessibleName(QString(buttons[i]).remove(QLatin1Char('&')));
        made << b;
    }
    box.setDefaultButton(made.first());
    // Esc answers with the last button: "No", "Cancelar", or the only "Aceptar".
    box.setEscapeButton(made.last());
    box.exec();
    return int(made.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
}

}  // namespace

QString QtDialogs::title() { return QStringLiteral("Korvela"); }

void QtDialogs::message(const QString& text)
{
    ask(QMessageBox::Information, text, {QStringLiteral("Aceptar")});
}

bool QtDialogs::confirm(const QString& text)
{
    return ask(QMessageBox::Question, text, {QStringLiteral("Sí"), QStringLiteral("No")}) == 0;
}

bool QtDialogs::okCancel(const QString& text)
{
    return ask(QMessageBox::Question, text, {QStringLiteral("Aceptar"), QStringLiteral("Cancelar")}) == 0;
}

std::optional<QString> QtDialogs::input(const QString& caption, const QString& prompt, const QString& initial,
                                        bool password)
{
    QInputDialog box(activeParent());
    box.setWindowTitle(caption);
    box.setLabelText(prompt);
    box.setTextValue(initial);
    box.setTextEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
    box.setOkButtonText(QStringLiteral("Aceptar"));
    box.setCancelButtonText(QStringLiteral("Cancelar"));
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

void QtDialogs::error(const QString& text)
{
    ask(QMessageBox::Critical, text, {QStringLiteral("Aceptar")});
}

bool deliverReportingErrors(const std::function<bool()>& deliver)
{
    try {
        return deliver();
    } catch (const Abort&) {
        // A handler called the operation off; it has already told the user whatever it meant to.
    } catch (const Failure& f) {
        dialogs().error(f.text());
    } catch (const std::exception& e) {
        dialogs().error(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event)
{
    return deliverReportingErrors([&] { return QApplication::notify(receiver, event); });
}

}  // namespace kv
