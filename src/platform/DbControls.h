#pragma once
// Boxes bound to a field of a Dataset, and the record navigator.
//
// A bound box shows the field of the dataset's current row and follows every move of the cursor.
// Typing in it puts the dataset into edit mode (insert mode on an empty table); the typed text is
// written into the field when the box is left, when Enter is pressed, or when the screen calls
// updateRecord(dataset) before posting. A text the field cannot take (letters in a number, a date
// that does not exist) is refused with the data layer's message and the box keeps the text and the
// focus, so nothing wrong is ever stored.
#include "data/Dataset.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>

#include <functional>

class QButtonGroup;
class QGridLayout;
class QAbstractButton;
class QToolButton;

namespace kv {

// Something bound to a dataset that may hold typed text not yet written into the row.
class BoundControl {
public:
    virtual ~BoundControl() = default;
    // Writes pending typed text into the field. Raises ConversionError or DbError when the field
    // refuses it.
    virtual void updateRecord() = 0;
};

// Writes the pending text of every box bound to ds into its row. Screens call it before Post.
void updateRecord(Dataset& ds);

// Shows f's failure through the general error box (DbError, ConversionError); Abort is silent.
// Returns false when something was thrown. For slots, which must not let exceptions out.
bool guarded(const std::function<void()>& action);

enum class CharCase { Normal, Upper, Lower };

class DbEdit : public QLineEdit, public BoundControl {
    Q_OBJECT
public:
    DbEdit(Dataset& ds, const QString& field, QWidget* parent = nullptr);
    ~DbEdit() override;

    Dataset& dataset() const { return ds_; }
    QString fieldName() const { return field_; }
    Field* field() const;

    void setCharCase(CharCase c) { charCase_ = c; }
    CharCase charCase() const { return charCase_; }
    // Picture used while the box is not being edited ("###,###.", "dd mmm yyyy"); empty: the
    // field's own display format.
    void setDisplayFormat(const QString& picture);

    bool pending() const { return dirty_; }
    void updateRecord() override;
    // Shows the field's value again, dropping typed text that was not written.
    void showField();

signals:
    void doubleClicked();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void onTextEdited(const QString& text);
    void onEditingFinished();
    void onRowChanged(int row);
    void onStateChanged();

    Dataset& ds_;
    QString field_;
    QString picture_;
    CharCase charCase_ = CharCase::Normal;
    bool dirty_ = false;
    bool flushing_ = false;
};

class DbMemo : public QPlainTextEdit, public BoundControl {
    Q_OBJECT
public:
    DbMemo(Dataset& ds, const QString& field, QWidget* parent = nullptr);
    ~DbMemo() override;
    bool pending() const { return dirty_; }
    void updateRecord() override;
    void showField();

protected:
    void focusOutEvent(QFocusEvent* e) override;

private:
    void onTextChanged();
    Dataset& ds_;
    QString field_;
    bool dirty_ = false;
    bool showing_ = false;
};

// A captioned group of radio buttons laid out in columns; itemIndex() is -1 when none is chosen.
// Arrow keys move the choice, as in any radio group.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, int columns = 1, QWidget* parent = nullptr);
    int itemIndex() const;
    void setItemIndex(int i);  // does not emit itemChosen
    int count() const;
    QAbstractButton* button(int i) const;

signals:
    // The user chose another item (click, arrow keys or Space).
    void itemChosen(int index);

protected:
    QButtonGroup* group_;
    bool settingUp_ = false;
};

// A radio group bound to a field: item i stands for values[i].
class DbRadioGroup : public RadioGroup, public BoundControl {
    Q_OBJECT
public:
    DbRadioGroup(Dataset& ds, const QString& field, const QString& caption, const QStringList& items,
                 const QStringList& values, int columns = 1, QWidget* parent = nullptr);
    ~DbRadioGroup() override;
    void updateRecord() override {}  // a choice is written at once
    void showField();
    const QStringList& values() const { return values_; }

private:
    void choose(int index);
    Dataset& ds_;
    QString field_;
    QStringList values_;
};

// The record navigator: first, prior, next, last, insert, delete, edit, post, cancel, refresh.
// Delete asks "¿Borrar el registro?" first. Post writes the boxes' pending text before posting.
// A refused action shows the data layer's text; acted() is emitted only after an action succeeded.
class DbNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    Q_ENUM(Button)

    explicit DbNavigator(Dataset& ds, QWidget* parent = nullptr);
    QToolButton* button(Button b) const { return buttons_[b]; }
    // Runs the button's action as a click does.
    void click(Button b);

signals:
    void acted(kv::DbNavigator::Button b);

private:
    void updateButtons();
    Dataset& ds_;
    QToolButton* buttons_[10];
};

// Text of the confirmation the navigator asks before deleting.
QString confirmDeleteText();

// Deletes the child widgets of w at once. A screen that holds its datasets as members calls it
// from its destructor, so that no bound box or grid outlives the dataset it shows.
void deleteChildWidgets(QWidget* w);

}  // namespace kv
