#include "catalog/UntCalendario.h"

#include "common/Dates.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace kv {

QDateTime FechaCalendario;

namespace {
QToolButton* stepButton(QWidget* parent, const char* name, const QString& glyph, const QString& hint)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(glyph);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setMinimumWidth(32);
    return b;
}
}  // namespace

TForm_Calendario::TForm_Calendario(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form_Calendario"));
    setWindowTitle(QStringLiteral("Calendario"));
    setAccessibleName(QStringLiteral("Calendario"));

    LblMes = new QLabel(this);
    LblMes->setObjectName(QStringLiteral("LblMes"));
    LblMes->setAlignment(Qt::AlignCenter);
    QFont big = LblMes->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    LblMes->setFont(big);

    MesPrev = stepButton(this, "MesPrev", QStringLiteral("◀"), QStringLiteral("Mes Anterior"));
    MesSig = stepButton(this, "MesSig", QStringLiteral("▶"), QStringLiteral("Mes Siguiente"));
    auto* lblAnos = new QLabel(QStringLiteral("Cambio Años"), this);
    lblAnos->setObjectName(QStringLiteral("Label2"));
    anoprev = stepButton(this, "anoprev", QStringLiteral("◀◀"), QStringLiteral("Año Anterior"));
    anosig = stepButton(this, "anosig", QStringLiteral("▶▶"), QStringLiteral("Año Siguiente"));

    Calendar1 = new QCalendarWidget(this);
    Calendar1->setObjectName(QStringLiteral("Calendar1"));
    Calendar1->setAccessibleName(QStringLiteral("Calendario"));
    Calendar1->setLocale(QLocale(QLocale::Spanish, QLocale::Colombia));
    Calendar1->setFirstDayOfWeek(Qt::Sunday);
    Calendar1->setNavigationBarVisible(false);  // the month and year buttons above do this
    Calendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendar1->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    Calendar1->setGridVisible(true);
    Calendar1->setSelectedDate(QDate::currentDate());

    makeOkCancel(this, BitBtn1, BitBtn2);

    auto* steps = new QHBoxLayout;
    steps->addWidget(MesPrev);
    steps->addWidget(MesSig);
    steps->addStretch();
    steps->addWidget(lblAnos);
    steps->addWidget(anoprev);
    steps->addWidget(anosig);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(LblMes);
    lay->addLayout(steps);
    lay->addWidget(Calendar1, 1);
    lay->addLayout(buttons);

    connect(Calendar1, &QCalendarWidget::selectionChanged, this, &TForm_Calendario::Calendar1Change);
    connect(MesPrev, &QToolButton::clicked, this, &TForm_Calendario::MesPrevClick);
    connect(MesSig, &QToolButton::clicked, this, &TForm_Calendario::MesSigClick);
    connect(anoprev, &QToolButton::clicked, this, &TForm_Calendario::anoprevClick);
    connect(anosig, &QToolButton::clicked, this, &TForm_Calendario::anosigClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm_Calendario::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    // From the keyboard: the arrows move by day and Page Up / Page Down by month inside the grid;
    // Ctrl with Page Up / Page Down changes the year from anywhere in the dialog.
    auto* yearBack = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), this);
    connect(yearBack, &QShortcut::activated, this, &TForm_Calendario::anoprevClick);
    auto* yearOn = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), this);
    connect(yearOn, &QShortcut::activated, this, &TForm_Calendario::anosigClick);

    Calendar1Change();
}

QDate TForm_Calendario::date() const { return Calendar1->selectedDate(); }

void TForm_Calendario::setDate(const QDate& d)
{
    if (!d.isValid())
        return;
    Calendar1->setSelectedDate(d);
    Calendar1->setCurrentPage(d.year(), d.month());
    Calendar1Change();
}

QString TForm_Calendario::title() const { return LblMes->text(); }

QDate TForm_Calendario::monthStep(const QDate& d, int months)
{
    // QDate::addMonths keeps the day and falls back to the month's last day when it has no such day.
    return d.addMonths(months);
}

QDate TForm_Calendario::yearStep(const QDate& d, int years)
{
    QDate from = d;
    if (from.month() == 2 && from.day() == 29)
        from = QDate(from.year(), 2, 28);
    return from.addYears(years);
}

void TForm_Calendario::Calendar1Change()
{
    LblMes->setText(FormatDateTime(QStringLiteral("MMMM, YYYY"), date()));
    LblMes->setAccessibleName(LblMes->text());
}

void TForm_Calendario::MesPrevClick() { setDate(monthStep(date(), -1)); }
void TForm_Calendario::MesSigClick() { setDate(monthStep(date(), 1)); }
void TForm_Calendario::anoprevClick() { setDate(yearStep(date(), -1)); }
void TForm_Calendario::anosigClick() { setDate(yearStep(date(), 1)); }

void TForm_Calendario::BitBtn1Click()
{
    FechaCalendario = QDateTime(date(), QTime(0, 0));
    accept();
}

void TForm_Calendario::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Calendar1Change();
    BitBtn1->setFocus();
}

namespace {
TForm_Calendario* g_calendario = nullptr;
void dropCalendario()
{
    delete g_calendario;
    g_calendario = nullptr;
}
}  // namespace

TForm_Calendario& Form_Calendario()
{
    if (!g_calendario) {
        g_calendario = new TForm_Calendario();
        // Windows must go before the application object; post routines run just before it does.
        qAddPostRoutine(dropCalendario);
    }
    return *g_calendario;
}

void pickDateInto(Dataset& ds, const QString& field)
{
    if (Form_Calendario().exec() != QDialog::Accepted)
        return;
    guarded([&ds, &field] {
        if (!ds.isEditing())
            ds.Edit();
        ds.FieldByName(field).setValue(FechaCalendario);
    });
}

void pickDateInto(QLineEdit* box)
{
    TForm_Calendario& calendario = Form_Calendario();
    const QDate shown = QDate::fromString(box->text().trimmed(), QStringLiteral("dd/MM/yyyy"));
    if (shown.isValid())
        calendario.setDate(shown);
    if (calendario.exec() != QDialog::Accepted)
        return;
    box->setText(FechaCalendario.date().toString(QStringLiteral("dd/MM/yyyy")));
}

}  // namespace kv
