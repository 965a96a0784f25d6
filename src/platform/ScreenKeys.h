#pragma once
// The keys every screen shares, so that the register and the back office behave alike:
//  - Enter moves on to the next control, as Tab does (everywhere on a screen, or only from the
//    boxes a screen names, to the control it names); Enter on a button presses it; a box whose
//    typed text the field refused keeps the focus;
//  - Esc goes to the screen first (a screen cancels the row being edited before it closes);
//  - the keys of a search box over a grid, and of an editable grid;
//  - the Tab order helper.
#include "data/Dataset.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class QAbstractItemView;
class QEvent;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QWidget;

namespace kv {

class DbGrid;

bool isEnter(const QKeyEvent* k);
// Enter without Shift, Ctrl or Alt: the key that finishes what a box is for.
bool isPlainEnter(const QKeyEvent* k);

class ScreenKeys : public QObject {
    Q_OBJECT
public:
    enum EnterMode {
        EnterEverywhere,  // Enter moves on from every control of the screen
        EnterWhereNamed,  // only from the boxes given to enterMovesTo
    };
    ScreenKeys(QWidget* screen, EnterMode mode);
    void setMode(EnterMode mode) { mode_ = mode; }

    // Enter in `from` moves to `to` (on another page of a tab control, that page comes to the
    // front); with EnterWhereNamed, only these boxes take Enter.
    void enterMovesTo(QWidget* from, QWidget* to);
    // Enter in `w` runs `action` when it goes down (the control does not get it); it moves on
    // when it comes up.
    void onEnter(QWidget* w, std::function<void()> action);
    // Esc pressed anywhere on the screen; true when the screen took the key, false lets the
    // control and then the dialog have it.
    std::function<bool()> escape;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget* w);
    void moveOn(QWidget* from);

    QWidget* screen_;
    EnterMode mode_;
    QHash<QWidget*, QPointer<QWidget>> targets_;
    QHash<QWidget*, std::function<void()>> actions_;
    QPointer<QWidget> enterPressed_;
};

// The keys of a search box over a grid of `rows`, for the dialog's eventFilter: Up and Down in
// the box move the cursor without leaving the box (a refusal is shown, never thrown); Enter in
// the box or on the grid calls `choose` (when given). True when the key was one of these.
bool searchBoxKey(QObject* o, QEvent* e, QLineEdit* box, QAbstractItemView* grid, Dataset& rows,
                  const std::function<void()>& choose = {});

// The record group of a screen's top bar (GroupBox1, titled `title`) and its search box Edit1,
// with the hint "Teclee Codigo O Flechas Para Buscar el registro". `boxName` is what the empty
// box shows and its accessible name. The arrows in the box move through `rows` (when given). Returns Edit1;
// the group's layout is a QHBoxLayout holding it.
QLineEdit* recordSearchBox(QGroupBox*& group, const QString& title, const QString& boxName, Dataset* rows,
                           QWidget* screen);
// The arrows in `box` move through `rows`, as a search box's hint says.
void searchArrows(QLineEdit* box, Dataset& rows);

// Keys of an editable grid, as the shop expects them in any data grid: Insert starts a new row,
// Down on the last row appends one, Ctrl+Delete deletes the row after the usual confirmation, Esc
// cancels the row being edited (instead of closing the screen); Tab leaves the grid.
void addGridEditingKeys(DbGrid* grid);

// Puts the given widgets at the end of the screen's Tab order, in that order, keeping the order of
// everything else: a screen's grid comes after the boxes its screen added below the template's.
void tabLast(QWidget* screen, const QList<QWidget*>& last);

}  // namespace kv
