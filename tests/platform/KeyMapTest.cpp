// The table of a register screen's keys: the modifiers each key allows, a row that counts only
// while its condition holds, and the first row that answers wins.
#include "platform/KeyMap.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace kv;
using Key = KeyMap::Key;

TEST(KeyMap, EachKeyAllowsOnlyItsModifiers)
{
    struct {
        Key key;
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        bool matches;
    } cases[] = {
        {Key::PlainEnter, Qt::Key_Return, Qt::NoModifier, true},
        {Key::PlainEnter, Qt::Key_Enter, Qt::KeypadModifier, true},  // the keypad's Enter
        {Key::PlainEnter, Qt::Key_Return, Qt::ShiftModifier, false},
        {Key::PlainEnter, Qt::Key_Return, Qt::ControlModifier, false},
        {Key::Enter, Qt::Key_Return, Qt::ControlModifier, true},
        {Key::Escape, Qt::Key_Escape, Qt::AltModifier, true},
        {Key::KeypadPlusMinus, Qt::Key_Plus, Qt::KeypadModifier, true},
        {Key::KeypadPlusMinus, Qt::Key_Minus, Qt::KeypadModifier, true},
        {Key::KeypadPlusMinus, Qt::Key_Plus, Qt::NoModifier, false},  // the + of the letters
        {Key::Arrow, Qt::Key_Left, Qt::NoModifier, true},
        {Key::Down, Qt::Key_Up, Qt::NoModifier, false},
    };
    for (const auto& c : cases) {
        const QKeyEvent k(QEvent::KeyPress, c.qtKey, c.modifiers);
        EXPECT_EQ(KeyMap::matches(c.key, &k), c.matches) << int(c.key) << " " << c.qtKey;
    }
}

TEST(KeyMap, TheFirstRowThatAnswersRunsAndOthersPassTheKeyOn)
{
    QLineEdit box, other;
    bool open = false;
    QStringList ran;
    KeyMap keys;
    keys.add({{&box, Key::Escape, [&] { ran << "grid row"; }, [&] { return open; }},
              {&box, Key::Escape, [&] { ran << "escape"; }},
              {&box, Key::Escape, [&] { ran << "never"; }},
              {&box, Key::DoubleClick, [&] { ran << "search"; }}});
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QEvent dbl(QEvent::MouseButtonDblClick);
    EXPECT_TRUE(keys.handle(&box, &esc));
    open = true;
    EXPECT_TRUE(keys.handle(&box, &esc));
    EXPECT_FALSE(keys.handle(&box, &letter));
    EXPECT_FALSE(keys.handle(&other, &esc));
    EXPECT_TRUE(keys.handle(&box, &dbl));
    EXPECT_EQ(ran, QStringList({"escape", "grid row", "search"}));
}
