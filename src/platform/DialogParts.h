#pragma once
// Pieces that the dialogs which choose something (a product, a third party, a date) share.
#include "platform/ScreenKeys.h"

#include <functional>

class QDateEdit;
class QDialog;
class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace kv {

// The dialog's "&OK" (BitBtn1, the default button) and "&Cancelar" (BitBtn2, which never takes
// Enter, so that Enter anywhere means OK).
void makeOkCancel(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel);

// A label showing `caption`, the buddy of `control` (its "&" letter moves the focus there); the
// control takes the caption, without "&", the colon and spaces, as its accessible name.
QLabel* captionFor(const QString& caption, QWidget* control, QWidget* parent);

// A date box on today in the program's one date format, dd/mm/yyyy, whatever the machine's
// settings, with month names in Spanish; calendarPopup: its arrow opens a month grid. Tab leaves
// the box (Left and Right move between its parts).
QDateEdit* makeDateBox(const QString& objectName, QWidget* parent, bool calendarPopup = true);

// A report window's button: named, its caption its accessible name, never taking Enter meant for
// another button; a click runs `click` through the guard, so a database error reaches the error
// box and the window stays open.
QPushButton* makeActionButton(const QString& name, const QString& caption, QWidget* parent,
                              const std::function<void()>& click);

// The control named `name`, with its caption before it, as the next row of a two-column grid;
// returns the caption.
QLabel* addCaptionedRow(QGridLayout* grid, const QString& caption, QWidget* control, const char* name, QWidget* parent);

// The large bold centred title at the top of a screen (Label1), its font `scale` times the usual.
QLabel* makeTitleLabel(const QString& text, QWidget* parent, double scale = 1.6);

}  // namespace kv
