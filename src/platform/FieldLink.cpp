#include "platform/FieldLink.h"

#include "common/Errors.h"
#include "platform/Guard.h"

#include <QMultiHash>

namespace kv {

namespace {

QMultiHash<const Dataset*, FieldLink*>& links()
{
    static QMultiHash<const Dataset*, FieldLink*> r;
    return r;
}

// The user's mark is kept on the dataset itself; the property exists once the dataset is watched.
const char* const kUserChanged = "kvUserChanged";

}  // namespace

void updateRecord(Dataset& ds)
{
    // values() copies: a refused write may lead to controls being touched, never to the list.
    const auto linked = links().values(&ds);
    for (FieldLink* l : linked)
        l->updateRecord();
}

bool userChanged(const Dataset& ds)
{
    if (!ds.isEditing())
        return false;
    if (ds.property(kUserChanged).toBool())
        return true;
    const auto linked = links().values(&ds);
    for (const FieldLink* l : linked)
        if (l->pending())
            return true;
    return false;
}

void markUserChanged(Dataset& ds)
{
    if (!ds.property(kUserChanged).isValid()) {
        // Posting or cancelling ends the row's changes, and with them the mark.
        QObject::connect(&ds, &Dataset::stateChanged, &ds, [&ds] {
            if (!ds.isEditing())
                ds.setProperty(kUserChanged, false);
        });
    }
    ds.setProperty(kUserChanged, true);
}

FieldLink::FieldLink(Dataset& ds, const QString& field, QObject* control, std::function<void()> show)
    : QObject(control), ds_(ds), field_(field), show_(std::move(show))
{
    links().insert(&ds_, this);
    connect(&ds_, &Dataset::reset, this, &FieldLink::showField);
    connect(&ds_, &Dataset::currentChanged, this, &FieldLink::showField);
    connect(&ds_, &Dataset::rowChanged, this, &FieldLink::followRow);
    connect(&ds_, &Dataset::stateChanged, this, &FieldLink::followState);
}

FieldLink::~FieldLink() { links().remove(&ds_, this); }

Field* FieldLink::field() const
{
    if (!ds_.active() && ds_.tableName().isEmpty())
        return nullptr;  // a query describes its fields only once it has run
    try {
        return ds_.FindField(field_);
    } catch (const Failure&) {
        return nullptr;
    }
}

Field* FieldLink::shownField() const { return ds_.active() && ds_.currentIndex() >= 0 ? field() : nullptr; }

void FieldLink::showField()
{
    pending_ = false;
    if (show_)
        show_();
}

void FieldLink::followRow(int row)
{
    if (row == ds_.currentIndex() && !pending_ && show_)
        show_();
}

void FieldLink::followState()
{
    // Back in browse mode (posted or cancelled): whatever was typed and not written is gone.
    if (!ds_.isEditing())
        pending_ = false;
    if (!pending_ && show_)
        show_();
}

bool FieldLink::typed(const std::function<void()>& keepTyped)
{
    if (!ds_.active())
        return false;
    if (!ds_.isEditing()) {
        if (!guarded([this] { ds_.Edit(); })) {
            showField();
            return false;
        }
        if (keepTyped)
            keepTyped();
    }
    pending_ = true;
    return true;
}

void FieldLink::write(const QVariant& value)
{
    Field* f = field();
    if (!f || !ds_.active())
        return;
    if (!ds_.isEditing())
        ds_.Edit();
    f->setValue(value);
    markUserChanged(ds_);
}

void FieldLink::choose(const QVariant& value)
{
    if (!guarded([this, &value] { write(value); }))
        showField();
}

void FieldLink::updateRecord()
{
    if (pending_ && flush)
        flush();
}

}  // namespace kv
