#include "platform/DbChoices.h"

#include "common/Errors.h"

namespace kv {

namespace {

// Keys compare as numbers when both sides are numbers (a register 1 stored as 1.0), otherwise
// as text without trailing blanks (char(n) keys).
bool sameKey(const QVariant& a, const QVariant& b)
{
    const bool an = !a.isValid() || a.isNull(), bn = !b.isValid() || b.isNull();
    if (an || bn)
        return an && bn;
    bool okA = false, okB = false;
    const double da = a.toDouble(&okA), db = b.toDouble(&okB);
    const bool numA = a.typeId() != QMetaType::QString, numB = b.typeId() != QMetaType::QString;
    if (okA && okB && (numA || numB))
        return da == db;
    QString sa = a.toString(), sb = b.toString();
    while (sa.endsWith(QLatin1Char(' ')))
        sa.chop(1);
    while (sb.endsWith(QLatin1Char(' ')))
        sb.chop(1);
    return sa == sb;
}

}  // namespace

// ---------------------------------------------------------------- DbLookupComboBox

DbLookupComboBox::DbLookupComboBox(Dataset& ds, const QString& field, Dataset& list, const QString& keyField,
                                   const QString& listField, QWidget* parent)
    : QComboBox(parent), list_(list), keyField_(keyField), listField_(listField)
{
    link_ = new FieldLink(ds, field, this, [this] {
        if (filling_)
            return;
        Field* f = link_->shownField();
        const int i = f ? indexOfKey(f->value()) : -1;
        if (i != currentIndex())
            setCurrentIndex(i);
    });
    setEditable(false);
    setFocusPolicy(Qt::StrongFocus);
    // activated() comes only from the user: a click in the list, arrow keys or typed letters.
    connect(this, &QComboBox::activated, this, &DbLookupComboBox::choose);
    connect(&list_, &Dataset::reset, this, &DbLookupComboBox::reloadList);
    reloadList();
}

void DbLookupComboBox::reloadList()
{
    filling_ = true;
    clear();
    if (list_.active()) {
        while (list_.fetchMoreForward()) {
        }
        Field* key = list_.FindField(keyField_);
        Field* name = list_.FindField(listField_);
        if (key && name)
            for (int i = 0; i < list_.bufferCount(); ++i)
                addItem(list_.displayTextAt(i, name->index()), list_.valueAt(i, key->index()));
    }
    filling_ = false;
    showField();
}

int DbLookupComboBox::indexOfKey(const QVariant& key) const
{
    for (int i = 0; i < count(); ++i)
        if (sameKey(itemData(i), key))
            return i;
    return -1;
}

void DbLookupComboBox::choose(int index)
{
    if (filling_ || index < 0)
        return;
    const QVariant key = itemData(index);
    Field* f = link_->shownField();
    // The same choice again changes nothing.
    if (f && !link_->dataset().isEditing() && sameKey(f->value(), key))
        return;
    link_->choose(key);
}

// ---------------------------------------------------------------- DbCheckBox

DbCheckBox::DbCheckBox(Dataset& ds, const QString& field, const QString& caption, const QString& checkedValue,
                       const QString& uncheckedValue, QWidget* parent)
    : QCheckBox(caption, parent), checked_(checkedValue), unchecked_(uncheckedValue)
{
    link_ = new FieldLink(ds, field, this, [this] {
        Field* f = link_->shownField();
        const bool on = f && (f->asString() == checked_ || (emptyChecked_ && f->asString().trimmed().isEmpty()));
        if (isChecked() != on) {
            const QSignalBlocker block(this);
            setChecked(on);
        }
    });
    setAccessibleName(QString(caption).remove(QLatin1Char('&')).trimmed());
    connect(this, &QCheckBox::clicked, this, [this](bool on) { link_->choose(on ? checked_ : unchecked_); });
    showField();
}

// ---------------------------------------------------------------- DbText

DbText::DbText(Dataset& ds, const QString& field, QWidget* parent) : QLabel(parent)
{
    link_ = new FieldLink(ds, field, this, [this] {
        Field* f = link_->shownField();
        setText(f ? f->displayText() : QString());
    });
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setFrameShape(QFrame::StyledPanel);
    showField();
}

}  // namespace kv
