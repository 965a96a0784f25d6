#include "platform/QtDialogs.h"

#include "common/Errors.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProxyStyle>
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

Reply QtDialogs::yesNoCancel(const QString& text)
{
    switch (ask(QMessageBox::Question, text, {QStringLiteral("Sí"), QStringLiteral("No"), QStringLiteral("Cancelar")})) {
    case 0: return Reply::Yes;
    case 1: return Reply::No;
    default: return Reply::Cancel;  // Cancelar, Esc or the close box
    }
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

namespace {

// Password boxes show a star for each character typed, on every screen, whatever the desktop's
// style would draw.
class PasswordStars : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) { setStyle(new PasswordStars); }

bool Application::notify(QObject* receiver, QEvent* event)
{
    return deliverReportingErrors([&] { return QApplication::notify(receiver, event); });
}

}  // namespace kv
