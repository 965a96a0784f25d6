#include "platform/DialogParts.h"

#include "platform/DbControls.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kv {

void makeOkCancel(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton(QStringLiteral("&OK"), dialog);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setAccessibleName(QStringLiteral("OK"));
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("&Cancelar"), dialog);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    cancel->setAccessibleName(QStringLiteral("Cancelar"));
    cancel->setAutoDefault(false);
}

QLabel* captionFor(const QString& caption, QWidget* control, QWidget* parent)
{
    auto* l = new QLabel(caption, parent);
    l->setBuddy(control);
    control->setAccessibleName(QString(caption).remove(QLatin1Char('&')).remove(QLatin1Char(':')).trimmed());
    return l;
}

QLabel* makeTitleLabel(const QString& text, QWidget* parent, double scale)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label1"));
    QFont big = label->font();
    big.setPointSizeF(big.pointSizeF() * scale);
    big.setBold(true);
    label->setFont(big);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

bool searchBoxKey(QObject* o, QEvent* e, QLineEdit* box, QAbstractItemView* grid, Dataset& rows,
                  const std::function<void()>& choose)
{
    if (e->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (o == box && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        guarded([&rows, key] { key == Qt::Key_Up ? rows.Prior() : rows.Next(); });
        return true;
    }
    if ((o == box || o == grid) && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        choose();
        return true;
    }
    return false;
}

}  // namespace kv
