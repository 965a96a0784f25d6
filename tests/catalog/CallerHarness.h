#pragma once
// Test-only stand-ins for the screens that open the catalogue dialogs, doing exactly what those
// screens do: create the dialog, run it modally, read the shared values afterwards. And a driver
// that acts on a modal dialog from inside its exec() loop, as a user at the keyboard would.
#include "data/Connection.h"
#include "support/Keyboard.h"

#include <QLineEdit>
#include <QWidget>


namespace kvtest {

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
