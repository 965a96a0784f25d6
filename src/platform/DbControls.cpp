#include "platform/DbControls.h"

#include "common/Dates.h"
#include "common/Dialogs.h"
#include "common/Errors.h"
#include "common/Numbers.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMultiHash>
#include <QRadioButton>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>

namespace kv {

namespace {

QMultiHash<const Dataset*, BoundControl*>& registry()
{
    static QMultiHash<const Dataset*, BoundControl*> r;
    return r;
}

void enlist(const Dataset* ds, BoundControl* c) { registry().insert(ds, c); }
void delist(const Dataset* ds, BoundControl* c) { registry().remove(ds, c); }

QString applyCase(const QString& s, CharCase c)
{
    switch (c) {
    case CharCase::Upper: return s.toUpper();
    case CharCase::Lower: return s.toLower();
    case CharCase::Normal: break;
    }
    return s;
}

}  // namespace

void updateRecord(Dataset& ds)
{
    // values() copies: a refused write may lead to widgets being touched, never to the registry.
    const auto controls = registry().values(&ds);
    for (BoundControl* c : controls)
        c->updateRecord();
}

bool guarded(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const Abort&) {
    } catch (const Failure& e) {
        dialogs().error(e.text());
    }
    return false;
}

QString confirmDeleteText() { return QStringLiteral("¿Borrar el registro?"); }

void deleteChildWidgets(QWidget* w)
{
    const auto children = w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
}

// ---------------------------------------------------------------- DbEdit

DbEdit::DbEdit(Dataset& ds, const QString& field, QWidget* parent) : QLineEdit(parent), ds_(ds), field_(field)
{
    enlist(&ds_, this);
    connect(this, &QLineEdit::textEdited, this, &DbEdit::onTextEdited);
    connect(this, &QLineEdit::editingFinished, this, &DbEdit::onEditingFinished);
    connect(&ds_, &Dataset::reset, this, [this] {
        dirty_ = false;
        showField();
    });
    connect(&ds_, &Dataset::currentChanged, this, [this] {
        dirty_ = false;
        showField();
    });
    connect(&ds_, &Dataset::rowChanged, this, &DbEdit::onRowChanged);
    connect(&ds_, &Dataset::stateChanged, this, &DbEdit::onStateChanged);
    showField();
}

DbEdit::~DbEdit() { delist(&ds_, this); }

Field* DbEdit::field() const
{
    if (!ds_.active() && ds_.tableName().isEmpty())
        return nullptr;  // a query describes its fields only once it has run
    try {
        return ds_.FindField(field_);
    } catch (const Failure&) {
        return nullptr;
    }
}

void DbEdit::setDisplayFormat(const QString& picture)
{
    picture_ = picture;
    if (!dirty_)
        showField();
}

void DbEdit::showField()
{
    Field* f = ds_.active() ? field() : nullptr;
    QString t;
    if (f && !f->isNull()) {
        if (hasFocus() && !isReadOnly()) {
            t = f->asString();  // the plain text one types: 1234567, 25/12/2026
        } else if (!picture_.isEmpty() && f->isNumeric()) {
            t = FormatFloat(picture_, f->asFloat());
        } else if (!picture_.isEmpty() && (f->type() == FieldType::Date || f->type() == FieldType::DateTime)) {
            t = FormatDateTime(picture_, f->asDateTime());
        } else {
            t = f->displayText();
        }
    }
    // Setting the length again would drop the selection that Tab makes when it enters the box,
    // and what is typed would then be added to the old text instead of replacing it.
    if (f && f->type() == FieldType::String && f->size() > 0 && maxLength() != f->size())
        setMaxLength(f->size());
    if (t != text())
        setText(t);
}

void DbEdit::onTextEdited(const QString& typed)
{
    if (charCase_ != CharCase::Normal) {
        const QString cased = applyCase(typed, charCase_);
        if (cased != typed) {
            const int pos = cursorPosition();
            setText(cased);
            setCursorPosition(pos);
        }
    }
    if (!ds_.active())
        return;
    if (!ds_.isEditing()) {
        const QString keep = text();
        const int pos = cursorPosition();
        if (!guarded([this] { ds_.Edit(); })) {
            showField();
            return;
        }
        // Entering edit mode may have redrawn the box (an empty table starts a new row).
        if (text() != keep) {
            setText(keep);
            setCursorPosition(pos);
        }
    }
    dirty_ = true;
}

void DbEdit::updateRecord()
{
    if (!dirty_ || flushing_)
        return;
    Field* f = field();
    if (!f)
        return;
    flushing_ = true;
    try {
        if (!ds_.isEditing())
            ds_.Edit();
        const QString t = text();
        f->setValue(t.isEmpty() ? QVariant() : QVariant(t));
    } catch (...) {
        flushing_ = false;
        throw;
    }
    flushing_ = false;
    dirty_ = false;
    showField();
}

void DbEdit::onEditingFinished()
{
    if (!dirty_ || flushing_)
        return;
    if (!guarded([this] { updateRecord(); })) {
        // The text stays for correction and so does the focus.
        QPointer<DbEdit> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self)
                self->setFocus();
        });
    }
}

void DbEdit::onRowChanged(int row)
{
    if (row == ds_.currentIndex() && !dirty_)
        showField();
}

void DbEdit::onStateChanged()
{
    // Back in browse mode (posted or cancelled): whatever was typed and not written is gone.
    if (!ds_.isEditing())
        dirty_ = false;
    if (!dirty_)
        showField();
}

void DbEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    if (!dirty_) {
        showField();
        // The plain text may have replaced the picture ("1,234" -> "1234"): entering the box with
        // Tab still selects all of it, so what is typed replaces the value as in any other box.
        const Qt::FocusReason r = e->reason();
        if (r == Qt::TabFocusReason || r == Qt::BacktabFocusReason || r == Qt::ShortcutFocusReason)
            selectAll();
    }
}

void DbEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (!dirty_)
        showField();
}

void DbEdit::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLineEdit::mouseDoubleClickEvent(e);
    emit doubleClicked();
}

void DbEdit::keyPressEvent(QKeyEvent* e)
{
    // Esc drops the typed text of this box, as in any data entry form; the dialog does not close.
    if (e->key() == Qt::Key_Escape && dirty_) {
        dirty_ = false;
        showField();
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

// ---------------------------------------------------------------- DbMemo

DbMemo::DbMemo(Dataset& ds, const QString& field, QWidget* parent) : QPlainTextEdit(parent), ds_(ds), field_(field)
{
    enlist(&ds_, this);
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &DbMemo::onTextChanged);
    auto reshow = [this] {
        dirty_ = false;
        showField();
    };
    connect(&ds_, &Dataset::reset, this, reshow);
    connect(&ds_, &Dataset::currentChanged, this, reshow);
    connect(&ds_, &Dataset::rowChanged, this, [this](int row) {
        if (row == ds_.currentIndex() && !dirty_)
            showField();
    });
    connect(&ds_, &Dataset::stateChanged, this, [this] {
        if (!ds_.isEditing())
            dirty_ = false;
        if (!dirty_)
            showField();
    });
    showField();
}

DbMemo::~DbMemo() { delist(&ds_, this); }

void DbMemo::showField()
{
    Field* f = ds_.active() ? ds_.FindField(field_) : nullptr;
    const QString t = f ? f->asString() : QString();
    if (t == toPlainText())
        return;
    showing_ = true;
    setPlainText(t);
    showing_ = false;
}

void DbMemo::onTextChanged()
{
    if (showing_ || !ds_.active())
        return;
    if (!ds_.isEditing()) {
        const QString keep = toPlainText();
        const int pos = textCursor().position();
        if (!guarded([this] { ds_.Edit(); })) {
            showField();
            return;
        }
        if (toPlainText() != keep) {
            // Entering edit mode redrew the memo; the typed text and the caret go back where
            // they were, or the next key would land at the start.
            showing_ = true;
            setPlainText(keep);
            QTextCursor c = textCursor();
            c.setPosition(pos);
            setTextCursor(c);
            showing_ = false;
        }
    }
    dirty_ = true;
}

void DbMemo::updateRecord()
{
    if (!dirty_)
        return;
    Field* f = ds_.FindField(field_);
    if (!f)
        return;
    if (!ds_.isEditing())
        ds_.Edit();
    const QString t = toPlainText();
    f->setValue(t.isEmpty() ? QVariant() : QVariant(t));
    dirty_ = false;
}

void DbMemo::focusOutEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusOutEvent(e);
    if (dirty_)
        guarded([this] { updateRecord(); });
}

// ---------------------------------------------------------------- RadioGroup

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this))
{
    setAccessibleName(QString(caption).remove(QLatin1Char('&')).trimmed());
    auto* grid = new QGridLayout(this);
    const int cols = qMax(1, columns);
    const int rows = (int(items.size()) + cols - 1) / cols;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setAccessibleName(QString(items[i]).remove(QLatin1Char('&')).trimmed());
        group_->addButton(b, i);
        // Items run down the first column, then the next, as a radio group lays them out.
        grid->addWidget(b, rows > 0 ? i % rows : 0, rows > 0 ? i / rows : 0);
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !settingUp_)
            emit itemChosen(id);
    });
}

int RadioGroup::itemIndex() const { return group_->checkedId(); }

int RadioGroup::count() const { return int(group_->buttons().size()); }

QAbstractButton* RadioGroup::button(int i) const { return group_->button(i); }

void RadioGroup::setItemIndex(int i)
{
    settingUp_ = true;
    if (i >= 0 && i < count()) {
        group_->button(i)->setChecked(true);
    } else if (QAbstractButton* b = group_->checkedButton()) {
        // An exclusive group cannot uncheck its last button; lift the rule for a moment.
        group_->setExclusive(false);
        b->setChecked(false);
        group_->setExclusive(true);
    }
    settingUp_ = false;
}

// ---------------------------------------------------------------- DbRadioGroup

DbRadioGroup::DbRadioGroup(Dataset& ds, const QString& field, const QString& caption, const QStringList& items,
                           const QStringList& values, int columns, QWidget* parent)
    : RadioGroup(caption, items, columns, parent), ds_(ds), field_(field), values_(values)
{
    enlist(&ds_, this);
    connect(this, &RadioGroup::itemChosen, this, &DbRadioGroup::choose);
    connect(&ds_, &Dataset::reset, this, &DbRadioGroup::showField);
    connect(&ds_, &Dataset::currentChanged, this, &DbRadioGroup::showField);
    connect(&ds_, &Dataset::rowChanged, this, [this](int row) {
        if (row == ds_.currentIndex())
            showField();
    });
    connect(&ds_, &Dataset::stateChanged, this, &DbRadioGroup::showField);
    showField();
}

DbRadioGroup::~DbRadioGroup() { delist(&ds_, this); }

void DbRadioGroup::showField()
{
    Field* f = ds_.active() ? ds_.FindField(field_) : nullptr;
    setItemIndex(f ? int(values_.indexOf(f->asString())) : -1);
}

void DbRadioGroup::choose(int index)
{
    if (index < 0 || index >= values_.size())
        return;
    const bool ok = guarded([this, index] {
        if (!ds_.active())
            return;
        if (!ds_.isEditing())
            ds_.Edit();
        ds_.FieldByName(field_).setValue(values_[index]);
    });
    if (!ok)
        showField();
}

// ---------------------------------------------------------------- DbNavigator

namespace {
struct NavInfo {
    const char* name;
    const char* glyph;
    const char* hint;
};
const NavInfo kNav[10] = {
    {"First", "|◀", "Primero"},   {"Prior", "◀", "Anterior"},   {"Next", "▶", "Siguiente"},
    {"Last", "▶|", "Último"},     {"Insert", "+", "Insertar"},  {"Delete", "−", "Borrar"},
    {"Edit", "✎", "Editar"},      {"Post", "✔", "Grabar"},      {"Cancel", "✘", "Cancelar"},
    {"Refresh", "↻", "Refrescar"},
};
}  // namespace

DbNavigator::DbNavigator(Dataset& ds, QWidget* parent) : QWidget(parent), ds_(ds)
{
    setObjectName(QStringLiteral("DBNavigator1"));
    setAccessibleName(QStringLiteral("Navegador"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    for (int i = 0; i < 10; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(kNav[i].name));
        b->setText(QString::fromUtf8(kNav[i].glyph));
        b->setToolTip(QString::fromUtf8(kNav[i].hint));
        b->setAccessibleName(QString::fromUtf8(kNav[i].hint));
        b->setFocusPolicy(Qt::StrongFocus);
        b->setMinimumWidth(28);
        connect(b, &QToolButton::clicked, this, [this, i] { click(Button(i)); });
        row->addWidget(b);
        buttons_[i] = b;
    }
    connect(&ds_, &Dataset::stateChanged, this, &DbNavigator::updateButtons);
    connect(&ds_, &Dataset::reset, this, &DbNavigator::updateButtons);
    connect(&ds_, &Dataset::currentChanged, this, &DbNavigator::updateButtons);
    updateButtons();
}

void DbNavigator::updateButtons()
{
    const bool on = ds_.active();
    const bool editing = ds_.isEditing();
    const bool empty = !on || ds_.IsEmpty();
    for (int i : {First, Prior, Next, Last})
        buttons_[i]->setEnabled(on && !empty);
    buttons_[Insert]->setEnabled(on);
    buttons_[Delete]->setEnabled(on && !empty);
    buttons_[Edit]->setEnabled(on && !empty && !editing);
    buttons_[Post]->setEnabled(on && editing);
    buttons_[Cancel]->setEnabled(on && editing);
    buttons_[Refresh]->setEnabled(on);
}

void DbNavigator::click(Button b)
{
    const bool ok = guarded([this, b] {
        // Whatever moves on or posts takes the boxes' typed text with it.
        if (ds_.isEditing() && b != Cancel && b != Delete)
            updateRecord(ds_);
        switch (b) {
        case First: ds_.First(); break;
        case Prior: ds_.Prior(); break;
        case Next: ds_.Next(); break;
        case Last: ds_.Last(); break;
        case Insert: ds_.Insert(); break;
        case Delete:
            if (!AskYesNo(confirmDeleteText()))
                throw Abort();
            ds_.Delete();
            break;
        case Edit: ds_.Edit(); break;
        case Post: ds_.Post(); break;
        case Cancel: ds_.Cancel(); break;
        case Refresh: ds_.Refresh(); break;
        }
    });
    updateButtons();
    if (ok)
        emit acted(b);
}

}  // namespace kv
