#include "platform/DialogParts.h"

#include "platform/Guard.h"

#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLocale>
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

QDateEdit* makeDateBox(const QString& objectName, QWidget* parent, bool calendarPopup)
{
    auto* d = new QDateEdit(QDate::currentDate(), parent);
    d->setObjectName(objectName);
    d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    d->setCalendarPopup(calendarPopup);
    d->setLocale(QLocale(QLocale::Spanish, QLocale::Colombia));
    return d;
}

QPushButton* makeActionButton(const QString& name, const QString& caption, QWidget* parent,
                              const std::function<void()>& click)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, b, [click] { guarded(click); });
    return b;
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

}  // namespace kv
