#pragma once
// The link between a control and one field of a Dataset: what every bound control shares, so a
// control itself only shows and reads its value.
//
// The link follows the dataset (a new row, a move, a post or a cancel redraws the control), puts
// the dataset into edit mode on the user's first keystroke, holds the flag "typed text not yet
// written", writes a value into the field, and remembers that the user changed the current row.
// That last mark is what tells a row the user typed into from a row that only holds the defaults
// of a new record when a screen closes.
#include "data/Dataset.h"

#include <QObject>
#include <functional>

namespace kv {

class FieldLink : public QObject {
    Q_OBJECT
public:
    // `show` redraws the control from the field; the link calls it whenever the field may show
    // something else and no typed text is pending.
    FieldLink(Dataset& ds, const QString& field, QObject* control, std::function<void()> show);
    ~FieldLink() override;

    Dataset& dataset() const { return ds_; }
    const QString& fieldName() const { return field_; }
    // The field, or null while the dataset cannot describe it (a query that has not run yet).
    Field* field() const;
    // The field of the current row when there is one to show.
    Field* shownField() const;

    // Called by a text control when the user changed its text: puts the dataset into edit mode
    // (insert mode on an empty table) and marks the text pending. Entering edit mode may redraw
    // the control; `keepTyped` then puts the typed text back. False when the dataset refused to
    // edit (its message shown, the control redrawn).
    bool typed(const std::function<void()>& keepTyped = {});
    bool pending() const { return pending_; }
    void setPending(bool p) { pending_ = p; }

    // Writes a value the user gave into the field, in edit mode, and marks the row as typed by
    // the user. Raises ConversionError or DbError when the field refuses it.
    void write(const QVariant& value);
    // A choice (radio item, check box, pick list) written at once: a refusal is shown and the
    // control shows the field again.
    void choose(const QVariant& value);

    // What writes the control's pending text (text controls set it); updateRecord(ds) calls it.
    std::function<void()> flush;
    void updateRecord();

    // Drops the pending text and shows the field again.
    void showField();

private:
    void followRow(int row);
    void followState();

    Dataset& ds_;
    QString field_;
    std::function<void()> show_;
    bool pending_ = false;
};

// Writes the pending text of every control linked to ds into its row. Screens call it before Post.
void updateRecord(Dataset& ds);

// True when the current row of ds holds something a user typed or chose (in a bound control or a
// grid cell) since it was inserted or put into edit mode: pending text included.
bool userChanged(const Dataset& ds);
// Marks the current row of ds as changed by the user (grids call it for an edited cell). The mark
// goes when the row is posted or cancelled.
void markUserChanged(Dataset& ds);

}  // namespace kv
