// The message boxes a person sees, answered from the keyboard, and the one place where errors
// nobody handled are shown.
#include "common/Errors.h"
#include "platform/QtDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace kv;

namespace {

// Runs `act` on the next modal box, from inside its modal loop.
void onNextBox(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || !box->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(box);
    });
    timer->start();
}

QStringList buttonTexts(QWidget* box)
{
    QStringList out;
    for (auto* b : box->findChildren<QPushButton*>())
        out << b->text();
    out.sort();
    return out;
}

TEST(QtDialogs, YesNoBoxSpeaksSpanishAndAnswersFromTheKeyboard)
{
    QtDialogs d;
    QStringList seen;
    // Enter takes the default "Sí"; Esc answers "No".
    onNextBox([&](QWidget* box) {
        seen = buttonTexts(box);
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_TRUE(d.confirm("Esta seguro(a) que desea Salir?"));
    EXPECT_EQ(seen, (QStringList{"No", "Sí"}));

    onNextBox([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_FALSE(d.confirm("¿Otra vez?"));

    onNextBox([&](QWidget* box) {
        seen = buttonTexts(box);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_FALSE(d.okCancel("¿Imprimir?"));
    EXPECT_EQ(seen, (QStringList{"Aceptar", "Cancelar"}));
}

TEST(QtDialogs, MessageAndErrorShowTheirTextWithAceptar)
{
    QtDialogs d;
    QString text;
    QStringList seen;
    auto read = [&](QWidget* box) {
        seen = buttonTexts(box);
        if (auto* m = qobject_cast<QMessageBox*>(box))
            text = m->text();
        QTest::keyClick(box, Qt::Key_Return);
    };
    onNextBox(read);
    d.error("lock conflict on no wait transaction");
    EXPECT_EQ(text, "lock conflict on no wait transaction");
    EXPECT_EQ(seen, QStringList{"Aceptar"});

    onNextBox(read);
    d.message("Falta Instalacion");
    EXPECT_EQ(text, "Falta Instalacion");
}

TEST(QtDialogs, InputBoxReturnsTheTypedTextOrNothingWhenCancelled)
{
    QtDialogs d;
    onNextBox([](QWidget* box) {
        auto* edit = box->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
        edit->selectAll();
        QTest::keyClicks(edit, "4321");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(d.input("Permiso", "Clave del supervisor", QString(), true), std::optional<QString>("4321"));

    onNextBox([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(d.input("Cantidad", "Cantidad", "1"), std::nullopt);
}

// What the application's event dispatch does with what escapes a handler.
TEST(QtDialogs, UncaughtErrorsReachTheErrorBoxAndAbortStaysSilent)
{
    ScriptedDialogs shown;
    DialogsScope scope(&shown);
    const struct {
        const char* what;
        std::function<bool()> handler;
        QStringList errors;
    } cases[] = {
        {"database", [] () -> bool { throw DbError("violation of PRIMARY or UNIQUE KEY"); },
         {"violation of PRIMARY or UNIQUE KEY"}},
        {"conversion", [] () -> bool { throw ConversionError("'12a' no es un valor numérico válido"); },
         {"'12a' no es un valor numérico válido"}},
        {"standard", [] () -> bool { throw std::runtime_error("sin memoria"); }, {"sin memoria"}},
        {"abort", [] () -> bool { throw Abort(); }, {}},
        {"handled", [] { return true; }, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        shown.clear();
        const bool delivered = deliverReportingErrors(c.handler);
        EXPECT_EQ(delivered, std::string(c.what) == "handled");
        EXPECT_EQ(shown.texts("error"), c.errors);
        EXPECT_EQ(shown.shown.size(), size_t(c.errors.size()));
    }
}

}  // namespace
