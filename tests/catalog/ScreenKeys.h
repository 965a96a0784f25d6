#pragma once
// Driving a catalogue screen from the keyboard in tests: showing it as the active window, typing
// into a box, pressing a navigator button, typing into a grid cell.
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "support/Keyboard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace kvtest {

// Presses a navigator button with the keyboard (focus and Space), as a user tabbing to it would.
inline void press(kv::DbNavigator* nav, kv::DbNavigator::Button b)
{
    QToolButton* t = nav->button(b);
    t->setFocus();
    QTest::keyClick(t, Qt::Key_Space);
}

// Types text into the grid's current cell (the first key opens the cell's editor) and Enter.
inline void typeInCell(kv::DbGrid* grid, int column, const QString& text)
{
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(grid->currentIndex().row(), column));
    QTest::keyClick(grid, Qt::Key_F2);
    QWidget* editor = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->selectAll();
        QTest::keyClicks(line, text);
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(editor)) {
        spin->selectAll();
        QTest::keyClicks(spin, text);
    }
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

// Process the events queued by what was just done (deferred focus moves and checks).
inline void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

}  // namespace kvtest
