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
#include <QPointer>
#include <QRadioButton>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>

namespace kv {

namespace {

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

QString confirmDeleteText() { return QStringLiteral("¿Borrar el registro?"); }

void deleteChildWidgets(QWidget* w)
{
    const auto children = w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
}

// ---------------------------------------------------------------- DbEdit

DbEdit::DbEdit(Dataset& ds, const QString& field, QWidget* parent)
    : QLineEdit(parent), link_(new FieldLink(ds, field, this, [this] { show(); }))
{
    link_->flush = [this] { updateRecord(); };
    connect(this, &QLineEdit::textEdited, this, &DbEdit::onTextEdited);
    connect(this, &QLineEdit::editingFinished, this, &DbEdit::onEditingFinished);
    show();
}

DbEdit::~DbEdit() { delete link_; }

void DbEdit::setDisplayFormat(const QString& picture)
{
    picture_ = picture;
    if (!pending())
        show();
}

void DbEdit::show()
{
    Field* f = link_->shownField();
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
    if (Field* d = link_->field(); d && d->type() == FieldType::String && d->size() > 0 && maxLength() != d->size())
        setMaxLength(d->size());
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
    const QString keep = text();
    const int pos = cursorPosition();
    // Entering edit mode may have redrawn the box (an empty table starts a new row).
    link_->typed([this, &keep, pos] {
        if (text() != keep) {
            setText(keep);
            setCursorPosition(pos);
        }
    });
}

void DbEdit::updateRecord()
{
    if (!pending() || flushing_ || !link_->field())
        return;
    flushing_ = true;
    try {
        const QString t = text();
        link_->write(t.isEmpty() ? QVariant() : QVariant(t));
    } catch (...) {
        flushing_ = false;
        throw;
    }
    flushing_ = false;
    showField();
}

void DbEdit::onEditingFinished()
{
    if (!pending() || flushing_)
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

void DbEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    if (!pending()) {
        show();
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
    if (!pending())
        show();
}

void DbEdit::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLineEdit::mouseDoubleClickEvent(e);
    emit doubleClicked();
}

void DbEdit::keyPressEvent(QKeyEvent* e)
{
    // Esc drops the typed text of this box, as in any data entry form; the dialog does not close.
    if (e->key() == Qt::Key_Escape && pending()) {
        showField();
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

// ---------------------------------------------------------------- DbMemo

DbMemo::DbMemo(Dataset& ds, const QString& field, QWidget* parent)
    : QPlainTextEdit(parent), link_(new FieldLink(ds, field, this, [this] { show(); }))
{
    link_->flush = [this] {
        const QString t = toPlainText();
        link_->write(t.isEmpty() ? QVariant() : QVariant(t));
        link_->setPending(false);
    };
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &DbMemo::onTextChanged);
    show();
}

void DbMemo::show()
{
    Field* f = link_->shownField();
    const QString t = f ? f->asString() : QString();
    if (t == toPlainText())
        return;
    showing_ = true;
    setPlainText(t);
    showing_ = false;
}

void DbMemo::onTextChanged()
{
    if (showing_)
        return;
    const QString keep = toPlainText();
    const int pos = textCursor().position();
    link_->typed([this, &keep, pos] {
        if (toPlainText() == keep)
            return;
        // Entering edit mode redrew the memo; the typed text and the caret go back where they
        // were, or the next key would land at the start.
        showing_ = true;
        setPlainText(keep);
        QTextCursor c = textCursor();
        c.setPosition(pos);
        setTextCursor(c);
        showing_ = false;
    });
}

void DbMemo::focusOutEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusOutEvent(e);
    if (pending())
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
    : RadioGroup(caption, items, columns, parent), values_(values)
{
    link_ = new FieldLink(ds, field, this, [this] {
        Field* f = link_->shownField();
        setItemIndex(f ? int(values_.indexOf(f->asString())) : -1);
    });
    connect(this, &RadioGroup::itemChosen, this, [this](int index) {
        if (index >= 0 && index < values_.size())
            link_->choose(values_[index]);
    });
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
        // A new row nobody typed into holds only its defaults: moving away drops it, as closing the
        // screen does, instead of posting it (or refusing to move because it is incomplete).
        const bool moves = b == First || b == Prior || b == Next || b == Last || b == Insert || b == Refresh;
        if (moves && ds_.state() == DsState::Insert && !userChanged(ds_)) {
            const int at = ds_.currentIndex();
            ds_.Cancel();
            // Dropping the row lands on one of its neighbours: when that is the one asked for,
            // the step is done.
            const bool onPrevious = ds_.currentIndex() < at;
            if ((b == Prior && onPrevious) || (b == Next && !onPrevious))
                return;
        }
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
