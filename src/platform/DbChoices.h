#pragma once
// Bound controls that offer a choice or only show a value, to sit beside the bound boxes of
// DbControls.h:
//  - DbLookupComboBox: a field holding the key of another table's row, shown by that row's name
//    (a product's group shown as "LACTEOS Y HUEVOS", a cashier's register as "CAJA 1 TIENDA");
//  - DbCheckBox: a one-letter flag shown as a check box ("S" checked, "N" not);
//  - DbText: a read-only text following a field.
// Choosing puts the dataset into edit mode and writes the value at once.
#include "platform/DbControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace kv {

class DbLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    // The field `field` of ds holds a value of `keyField` of the list; the combo shows `listField`.
    // The list is read whole (lists of groups, units, registers are short) and read again when
    // the list dataset is reopened or refreshed.
    DbLookupComboBox(Dataset& ds, const QString& field, Dataset& list, const QString& keyField,
                     const QString& listField, QWidget* parent = nullptr);
    void reloadList();
    void showField() { link_->showField(); }
    // Index of the item whose key equals the value, -1 when none does.
    int indexOfKey(const QVariant& key) const;

private:
    void choose(int index);
    FieldLink* link_;
    Dataset& list_;
    QString keyField_, listField_;
    bool filling_ = false;
};

class DbCheckBox : public QCheckBox {
    Q_OBJECT
public:
    DbCheckBox(Dataset& ds, const QString& field, const QString& caption, const QString& checkedValue = QStringLiteral("S"),
               const QString& uncheckedValue = QStringLiteral("N"), QWidget* parent = nullptr);
    void showField() { link_->showField(); }
    // An empty field shows checked: for a mark whose absence means yes (rows made before it).
    void setEmptyChecked(bool on)
    {
        emptyChecked_ = on;
        showField();
    }

private:
    FieldLink* link_;
    QString checked_, unchecked_;
    bool emptyChecked_ = false;
};

class DbText : public QLabel {
    Q_OBJECT
public:
    DbText(Dataset& ds, const QString& field, QWidget* parent = nullptr);
    void showField() { link_->showField(); }

private:
    FieldLink* link_;
};

}  // namespace kv
