#include "platform/KeyMap.h"

#include "platform/Guard.h"
#include "platform/ScreenKeys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace kv {

namespace {

class AltTypingFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const auto* k = static_cast<const QKeyEvent*>(e);
        const Qt::KeyboardModifiers m = k->modifiers();
        return (m & Qt::AltModifier) && !(m & Qt::ControlModifier) && !k->text().isEmpty() && k->text().at(0).isPrint();
    }
};

}  // namespace

void refuseAltTyping(QWidget* window)
{
    // One filter per window, found again by its name (the class has no meta-object of its own).
    const QString name = QStringLiteral("kvAltTypingFilter");
    QObject* filter = window->findChild<QObject*>(name, Qt::FindDirectChildrenOnly);
    if (!filter) {
        filter = new AltTypingFilter(window);
        filter->setObjectName(name);
    }
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        box->installEventFilter(filter);  // installing twice keeps one entry
}

bool KeyMap::matches(Key key, const QKeyEvent* k)
{
    switch (key) {
    case Key::PlainEnter:
        return isPlainEnter(k);
    case Key::Enter:
        return isEnter(k);
    case Key::Escape:
        return k->key() == Qt::Key_Escape;
    case Key::F2:
        return k->key() == Qt::Key_F2;
    case Key::Down:
        return k->key() == Qt::Key_Down;
    case Key::Arrow:
        return k->key() == Qt::Key_Left || k->key() == Qt::Key_Up || k->key() == Qt::Key_Right ||
               k->key() == Qt::Key_Down;
    case Key::KeypadPlusMinus:
        return (k->modifiers() & Qt::KeypadModifier) && (k->key() == Qt::Key_Plus || k->key() == Qt::Key_Minus);
    case Key::DoubleClick:
        return false;
    }
    return false;
}

bool KeyMap::handle(QObject* watched, QEvent* event) const
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonDblClick)
        return false;
    for (const Entry& e : entries_) {
        if (static_cast<QObject*>(e.where) != watched)
            continue;
        const bool answers = type == QEvent::MouseButtonDblClick
                                 ? e.key == Key::DoubleClick
                                 : matches(e.key, static_cast<const QKeyEvent*>(event));
        if (!answers || (e.when && !e.when()))
            continue;
        guarded(e.action);
        return true;
    }
    return false;
}

}  // namespace kv
