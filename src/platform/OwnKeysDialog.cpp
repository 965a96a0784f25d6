#include "platform/OwnKeysDialog.h"

#include <QCloseEvent>

namespace kv {

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
