#pragma once
// Driving screens from the keyboard in tests: a driver for the next modal dialog, showing a
// window as the active one, and typing into a box.
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kvtest {

// Runs `drive` on the next modal dialog of type T shown, inside its modal loop. If none shows
// within five seconds the driver gives up and closes what is open, so a broken test fails instead
// of hanging. Deleting the returned timer calls the driver off.
template <class T>
QPointer<QTimer> whenShown(std::function<void(T*)> drive)
{
    auto* timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, drive, started] {
        QWidget* top = QApplication::activeModalWidget();
        if (T* dlg = qobject_cast<T*>(top)) {
            if (!dlg->isVisible() || !dlg->isActiveWindow())
                return;  // not yet on screen with the keyboard: a user could not type into it either
            timer->stop();
            timer->deleteLater();
            drive(dlg);
            // A driver that meant to close the dialog and did not would leave the test waiting
            // for ever: after five seconds more the dialog is failed and closed.
            QPointer<T> still(dlg);
            QTimer::singleShot(5000, [still] {
                if (still && still->isVisible()) {
                    ADD_FAILURE() << still->metaObject()->className() << " was left open";
                    still->QDialog::done(QDialog::Rejected);
                }
            });
            return;
        }
        if (started->elapsed() > 5000) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " was shown";
            if (top)
                top->close();
        }
    });
    timer->start();
    return timer;
}

inline void showActive(QWidget* w)
{
    w->show();
    QApplication::setActiveWindow(w);
    QCoreApplication::processEvents();
}

// Puts the focus in the box, types over what it holds and, when asked, presses Enter.
inline void typeInto(QLineEdit* box, const QString& text, bool enter = false)
{
    box->setFocus();
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
    if (enter)
        QTest::keyClick(box, Qt::Key_Return);
}

}  // namespace kvtest
