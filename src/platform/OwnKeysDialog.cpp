#include "platform/OwnKeysDialog.h"

#include "platform/KeyMap.h"

#include <QCloseEvent>

namespace kv {

bool OwnKeysDialog::event(QEvent* e)
{
    if (e->type() == QEvent::Show)
        refuseAltTyping(this);
    return QDialog::event(e);
}

void OwnKeysDialog::reject()
{
    if (leaving_)
        QDialog::reject();
}

void OwnKeysDialog::leave()
{
    leaving_ = true;
    QDialog::reject();
}

void OwnKeysDialog::closeEvent(QCloseEvent* e)
{
    if (leaving_)
        QDialog::closeEvent(e);
    else
        e->ignore();
}

}  // namespace kv
