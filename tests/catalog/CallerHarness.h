#pragma once
// Test-only stand-ins for the screens that open the catalogue dialogs, doing exactly what those
// screens do: create the dialog, run it modally, read the shared values afterwards. And a driver
// that acts on a modal dialog from inside its exec() loop, as a user at the keyboard would.
#include "data/Connection.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <QPointer>
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

// A double click on a grid cell with the events a real one brings: press, release, press,
// double click, release.
void doubleClickCell(QAbstractItemView* view, const QModelIndex& index);

// The parts of the sale, order, export and transfer screens that call the dialogs.
class CallerHarness : public QWidget {
public:
    explicit CallerHarness(kv::Connection& db);

    QLineEdit* customerBox;  // sale screen: double click -> third party search
    QLineEdit* orderCustomerBox;  // order screen: double click -> customer search
    QLineEdit* productBox;  // sale screen: Enter on an empty box -> alphabetical search
    QLineEdit* dateBox;     // export screen: double click -> calendar
    QString lineBuscador;   // invoice change window: the line's lookup code and product
    int lineProducto = 0;

    // Sale screen: the customer was not found -> quick creation with names; order screen: with
    // one name. Both return whether the customer is on file afterwards, as the callers then check.
    bool saleCustomerMissing();
    bool orderCustomerMissing();
    // Invoice change window: double click on a line's product code.
    void lineProductDoubleClick();

private:
    bool eventFilter(QObject* o, QEvent* e) override;
    kv::Connection& db_;
};

}  // namespace kvtest
