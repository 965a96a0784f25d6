#include "platform/DialogParts.h"

#include "platform/Guard.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QDialog>
#include <QGridLayout>
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

namespace {

// Tab in a date box goes on to the next control, as in every other box; the arrows Left and
// Right move between the day, the month and the year.
class TabLeavesDateBox : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() != Qt::Key_Tab && k->key() != Qt::Key_Backtab) ||
            (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        // The box's parent moves the focus on from the box, as it does for any control.
        auto* box = static_cast<QWidget*>(o);
        if (QWidget* parent = box->parentWidget())
            QCoreApplication::sendEvent(parent, e);
        return true;
    }
};

}  // namespace

QDateEdit* makeDateBox(const QString& objectName, QWidget* parent, bool calendarPopup)
{
    auto* d = new QDateEdit(QDate::currentDate(), parent);
    d->setObjectName(objectName);
    d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    d->setCalendarPopup(calendarPopup);
    d->setLocale(QLocale(QLocale::Spanish, QLocale::Colombia));
    d->installEventFilter(new TabLeavesDateBox(d));
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

QLabel* addCaptionedRow(QGridLayout* grid, const QString& caption, QWidget* control, const char* name, QWidget* parent)
{
    control->setObjectName(QLatin1String(name));
    QLabel* l = captionFor(caption, control, parent);
    const int row = grid->rowCount();
    grid->addWidget(l, row, 0);
    grid->addWidget(control, row, 1);
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

}  // namespace kv
