#pragma once
// The keys of a window as a cashier finds them, for tests that every action has a key of its own.
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace kvtest {

// The letter after a single "&" of a caption, lower case; a null QChar when it has none.
inline QChar mnemonicOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1].toLower();
    }
    return QChar();
}

// The keys of a window as a cashier finds them: the Alt+letters of its menu bar's entries, its
// push buttons, its group titles and the captions of its boxes, and the letters of each submenu.
// `clashes` names every letter given twice in one of those sets; `keyless` every menu entry or
// push button with neither a letter nor a shortcut of its own.
struct WindowKeys {
    QStringList clashes, keyless;
};
inline WindowKeys windowKeys(QWidget* window)
{
    WindowKeys out;
    auto collect = [&out](QHash<QChar, QString>& taken, const QString& caption, bool needsKey, bool hasShortcut) {
        const QChar m = mnemonicOf(caption);
        if (m.isNull()) {
            if (needsKey && !hasShortcut)
                out.keyless << caption;
            return;
        }
        if (taken.contains(m))
            out.clashes << QStringLiteral("%1: \"%2\" and \"%3\"").arg(m, taken.value(m), caption);
        else
            taken.insert(m, caption);
    };
    std::function<void(QMenu*)> submenu = [&](QMenu* menu) {
        QHash<QChar, QString> taken;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                continue;
            collect(taken, a->text(), true, !a->shortcut().isEmpty());
            if (a->menu())
                submenu(a->menu());
        }
    };
    // Only the window's own controls: a dialog it holds as a child is a window of its own.
    auto own = [window](QWidget* w) { return w->window() == window; };
    QHash<QChar, QString> alt;
    for (QMenuBar* bar : window->findChildren<QMenuBar*>())
        for (QAction* a : bar->actions()) {
            if (!own(bar))
                continue;
            collect(alt, a->text(), true, !a->shortcut().isEmpty());
            if (a->menu())
                submenu(a->menu());
        }
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (own(b))
            collect(alt, b->text(), qobject_cast<QPushButton*>(b) != nullptr, !b->shortcut().isEmpty());
    for (QGroupBox* g : window->findChildren<QGroupBox*>())
        if (own(g))
            collect(alt, g->title(), false, false);
    for (QLabel* l : window->findChildren<QLabel*>())
        if (own(l) && l->buddy())
            collect(alt, l->text(), false, false);
    return out;
}

}  // namespace kvtest
