#pragma once
// Boxes bound to a field of a Dataset, and the record navigator.
//
// A bound box shows the field of the dataset's current row and follows every move of the cursor.
// Typing in it puts the dataset into edit mode (insert mode on an empty table); the typed text is
// written into the field when the box is left, when Enter is pressed, or when the screen calls
// updateRecord(dataset) before posting. A text the field cannot take (letters in a number, a date
// that does not exist) is refused with the data layer's message and the box keeps the text and the
// focus, so nothing wrong is ever stored.
#include "platform/FieldLink.h"
#include "platform/Guard.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

class QButtonGroup;
class QGridLayout;
class QAbstractButton;
class QToolButton;

namespace kv {

enum class CharCase { Normal, Upper, Lower };

class DbEdit : public QLineEdit {
    Q_OBJECT
public:
    DbEdit(Dataset& ds, const QString& field, QWidget* parent = nullptr);
    ~DbEdit() override;

    Dataset& dataset() const { return link_->dataset(); }
    QString fieldName() const { return link_->fieldName(); }
    Field* field() const { return link_->field(); }

    void setCharCase(CharCase c) { charCase_ = c; }
    CharCase charCase() const { return charCase_; }
    // Picture used while the box is not being edited ("###,###.", "dd mmm yyyy"); empty: the
    // field's own display format.
    void setDisplayFormat(const QString& picture);

    bool pending() const { return link_->pending(); }
    // Writes the typed text into the field. Raises ConversionError or DbError when the field
    // refuses it.
    void updateRecord();
    // Shows the field's value again, dropping typed text that was not written.
    void showField() { link_->showField(); }

signals:
    void doubleClicked();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void show();
    void onTextEdited(const QString& text);
    void onEditingFinished();

    FieldLink* link_;
    QString picture_;
    CharCase charCase_ = CharCase::Normal;
    bool flushing_ = false;
};

class DbMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    DbMemo(Dataset& ds, const QString& field, QWidget* parent = nullptr);
    bool pending() const { return link_->pending(); }
    void updateRecord() { link_->updateRecord(); }
    void showField() { link_->showField(); }

protected:
    void focusOutEvent(QFocusEvent* e) override;

private:
    void show();
    void onTextChanged();
    FieldLink* link_;
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
class DbRadioGroup : public RadioGroup {
    Q_OBJECT
public:
    DbRadioGroup(Dataset& ds, const QString& field, const QString& caption, const QStringList& items,
                 const QStringList& values, int columns = 1, QWidget* parent = nullptr);
    void showField() { link_->showField(); }
    const QStringList& values() const { return values_; }

private:
    FieldLink* link_;
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
