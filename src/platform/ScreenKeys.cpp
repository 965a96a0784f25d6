#include "platform/ScreenKeys.h"

#include "common/Dialogs.h"
#include "common/Errors.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStackedWidget>

namespace kv {

bool isEnter(const QKeyEvent* k) { return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter; }

bool isPlainEnter(const QKeyEvent* k)
{
    return isEnter(k) && !(k->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
}

// ---------------------------------------------------------------- ScreenKeys

namespace {

// The control Tab would go to from w.
QWidget* nextControl(QWidget* screen, QWidget* w)
{
    for (QWidget* n = w->nextInFocusChain(); n && n != w; n = n->nextInFocusChain())
        if (screen->isAncestorOf(n) && n->isVisible() && n->isEnabled() && (n->focusPolicy() & Qt::TabFocus) &&
            !n->focusProxy())
            return n;
    return nullptr;
}

// A control on a page of a tab control that is not in front: the page comes to the front first.
void bringForward(QWidget* w)
{
    for (QWidget* child = w, *p = w->parentWidget(); p; child = p, p = p->parentWidget())
        if (auto* stack = qobject_cast<QStackedWidget*>(p))
            stack->setCurrentWidget(child);
}

}  // namespace

ScreenKeys::ScreenKeys(QWidget* screen, EnterMode mode) : QObject(screen), screen_(screen), mode_(mode)
{
    // Every control the focus enters gets the screen's keys first; the filter is installed on the
    // control itself, so no key of another window passes through here.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == screen_)
            watch(now);
    });
}

void ScreenKeys::watch(QWidget* w) { w->installEventFilter(this); }

void ScreenKeys::enterMovesTo(QWidget* from, QWidget* to)
{
    targets_.insert(from, to);
    watch(from);
}

void ScreenKeys::onEnter(QWidget* w, std::function<void()> action)
{
    actions_.insert(w, std::move(action));
    watch(w);
}

void ScreenKeys::moveOn(QWidget* from)
{
    QWidget* to = targets_.value(from);
    if (!to)
        to = nextControl(screen_, from);
    if (!to)
        return;
    bringForward(to);
    to->setFocus(Qt::TabFocusReason);
}

bool ScreenKeys::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    const bool named = targets_.contains(w) || actions_.contains(w);
    // Only the event as it reaches its control, not its trip up through the parents.
    if (!w || (!named && w != QApplication::focusWidget()) || w->window() != screen_)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);

    if (key->key() == Qt::Key_Escape)
        return type == QEvent::KeyPress && escape && escape();
    if (!isEnter(key))
        return false;
    if (!named && mode_ == EnterWhereNamed)
        return false;

    if (type == QEvent::KeyPress) {
        if (auto it = actions_.constFind(w); it != actions_.constEnd()) {
            // The action takes the key; when it comes up the focus still moves on.
            enterPressed_ = w;
            (*it)();
            return true;
        }
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            b->click();
            return true;
        }
        // The control gets its Enter (a bound box writes its text); the focus moves when the key
        // comes up.
        enterPressed_ = w;
        return false;
    }
    if (key->isAutoRepeat() || enterPressed_ != w)
        return true;
    enterPressed_ = nullptr;
    // A box whose text the field refused keeps the focus for correction.
    if (auto* box = qobject_cast<DbEdit*>(w); box && box->pending())
        return true;
    moveOn(w);
    return true;
}

// ---------------------------------------------------------------- search boxes

bool searchBoxKey(QObject* o, QEvent* e, QLineEdit* box, QAbstractItemView* grid, Dataset& rows,
                  const std::function<void()>& choose)
{
    if (e->type() != QEvent::KeyPress)
        return false;
    auto* k = static_cast<QKeyEvent*>(e);
    if (o == box && (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down)) {
        if (rows.active())
            guarded([&rows, k] { k->key() == Qt::Key_Up ? rows.Prior() : rows.Next(); });
        return true;
    }
    if (choose && (o == box || (grid && o == grid)) && isEnter(k)) {
        choose();
        return true;
    }
    return false;
}

namespace {

class SearchArrows : public QObject {
public:
    SearchArrows(QLineEdit* box, Dataset& rows) : QObject(box), box_(box), rows_(rows) {}

protected:
    bool eventFilter(QObject* o, QEvent* e) override { return searchBoxKey(o, e, box_, nullptr, rows_); }

private:
    QLineEdit* box_;
    Dataset& rows_;
};

}  // namespace

void searchArrows(QLineEdit* box, Dataset& rows) { box->installEventFilter(new SearchArrows(box, rows)); }

QLineEdit* recordSearchBox(QGroupBox*& group, const QString& title, const QString& boxName, Dataset* rows,
                           QWidget* screen)
{
    group = new QGroupBox(title, screen);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setAccessibleName(title);
    auto* lay = new QHBoxLayout(group);
    auto* box = new QLineEdit(group);
    box->setObjectName(QStringLiteral("Edit1"));
    const QString hint = QStringLiteral("Teclee Codigo O Flechas Para Buscar el registro");
    box->setToolTip(hint);
    box->setPlaceholderText(boxName);
    box->setAccessibleName(boxName);
    box->setAccessibleDescription(hint);
    if (rows)
        searchArrows(box, *rows);
    lay->addWidget(box);
    return box;
}

// ---------------------------------------------------------------- grid keys

namespace {

class GridKeys : public QObject {
public:
    explicit GridKeys(DbGrid* grid) : QObject(grid), grid_(grid) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || watched != grid_)
            return false;
        auto* k = static_cast<QKeyEvent*>(event);
        Dataset& ds = grid_->dataset();
        if (!ds.active())
            return false;
        const auto mods = k->modifiers() & ~Qt::KeypadModifier;
        if (k->key() == Qt::Key_Insert && mods == Qt::NoModifier) {
            guarded([&ds] { ds.Insert(); });
            return true;
        }
        if (k->key() == Qt::Key_Down && mods == Qt::NoModifier) {
            const bool last = ds.currentIndex() >= ds.bufferCount() - 1 && ds.allFetchedForward();
            if (!last)
                return false;
            // A new row that nothing was typed into stays the only new one.
            if (ds.state() == DsState::Insert && !userChanged(ds))
                return true;
            guarded([&ds] { ds.Append(); });
            return true;
        }
        if (k->key() == Qt::Key_Delete && mods == Qt::ControlModifier) {
            guarded([&ds] {
                if (ds.IsEmpty())
                    return;
                if (!AskYesNo(confirmDeleteText()))
                    throw Abort();
                ds.Delete();
            });
            return true;
        }
        if (k->key() == Qt::Key_Escape && ds.isEditing()) {
            guarded([&ds] { ds.Cancel(); });
            return true;
        }
        return false;
    }

private:
    DbGrid* grid_;
};

}  // namespace

void addGridEditingKeys(DbGrid* grid)
{
    grid->installEventFilter(new GridKeys(grid));
    // Tab leaves the grid for the next control, as everywhere else on the screen; the arrows
    // move between cells.
    grid->setTabKeyNavigation(false);
}

void tabLast(QWidget* screen, const QList<QWidget*>& last)
{
    auto inLast = [&last](QWidget* w) {
        for (QWidget* l : last)
            if (w == l || l->isAncestorOf(w))
                return true;
        return false;
    };
    QList<QWidget*> chain;
    for (QWidget* w = screen->nextInFocusChain(); w && w != screen; w = w->nextInFocusChain())
        if (screen->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && !inLast(w) && !w->focusProxy())
            chain << w;
    chain += last;
    for (int i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
}

}  // namespace kv
