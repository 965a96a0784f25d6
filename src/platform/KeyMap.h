#pragma once
// The keys of a register screen as a table: which control, which key, what it does. A screen
// gives its table once and its event filter asks the map first, so the keys a cashier learns
// read as the list the screen's help would give, and one rule decides what "Enter" or "Esc"
// means on every register.
//
//     keys_.add({{EditCliente, Key::PlainEnter, [this] { EditClienteEnter(); }},
//                {EditCliente, Key::Escape, [this] { EditClienteEscape(); }},
//                {DBGrid1, Key::Escape, [this] { DBGrid1Escape(); }, [this] { return !dm_.TFac.isEditing(); }}});
//     ...
//     bool Screen::eventFilter(QObject* o, QEvent* e) { return keys_.handle(o, e) || QDialog::eventFilter(o, e); }
#include <QList>
#include <functional>

class QEvent;
class QKeyEvent;
class QObject;
class QWidget;

namespace kv {

class KeyMap {
public:
    enum class Key {
        PlainEnter,       // Enter without Shift, Ctrl or Alt
        Enter,            // Enter, whatever modifiers are held
        Escape,           // whatever modifiers are held
        F2,
        Down,
        Arrow,            // any of the four arrows
        KeypadPlusMinus,  // + or - of the numeric keypad
        DoubleClick,      // on a grid, give its viewport as the control
    };
    struct Entry {
        QWidget* where;
        Key key;
        std::function<void()> action;  // runs through the guard: a refusal is shown, never thrown
        std::function<bool()> when = {};  // when given, the row counts only while it says yes
    };

    void add(std::initializer_list<Entry> entries) { entries_.append(entries); }

    // Runs the first row of the table that the event answers; true when one did (the control
    // does not get the key).
    bool handle(QObject* watched, QEvent* event) const;

    static bool matches(Key key, const QKeyEvent* k);

private:
    QList<Entry> entries_;
};

// Alt with a letter is a command key on a register (the menus' and buttons' underlined letters):
// the text boxes of `window` never take it as typed text, so an Alt+letter that has no command
// does nothing instead of writing the letter into the customer's or the product's box. AltGr,
// with which some keyboards type "@" or "#", still types.
void refuseAltTyping(QWidget* window);

}  // namespace kv
