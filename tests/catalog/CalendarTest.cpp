// The calendar: month and year steps at the ends of months, the title, and the one instance that
// keeps its date between uses while FechaCalendario changes only on OK.
#include "catalog/UntCalendario.h"
#include "CallerHarness.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace kv;

namespace {

TEST(CalendarTest, StepsKeepTheDayOrFallBackToTheMonthsLastDay)
{
    struct Case {
        QDate from;
        int months, years;
        QDate expected;
    };
    const Case cases[] = {
        {QDate(2025, 1, 31), 1, 0, QDate(2025, 2, 28)},
        {QDate(2024, 1, 31), 1, 0, QDate(2024, 2, 29)},
        {QDate(2024, 3, 31), -1, 0, QDate(2024, 2, 29)},
        {QDate(2025, 12, 15), 1, 0, QDate(2026, 1, 15)},
        {QDate(2026, 1, 10), -1, 0, QDate(2025, 12, 10)},
        {QDate(2024, 2, 29), 0, 1, QDate(2025, 2, 28)},
        {QDate(2024, 2, 29), 0, -1, QDate(2023, 2, 28)},
        {QDate(2023, 3, 1), 0, 1, QDate(2024, 3, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from.toString(Qt::ISODate).toStdString());
        const QDate got = c.months ? TForm_Calendario::monthStep(c.from, c.months)
                                   : TForm_Calendario::yearStep(c.from, c.years);
        EXPECT_EQ(got, c.expected);
    }
}

TEST(CalendarTest, ButtonsAndKeysBrowseAndOnlyOkSetsTheDate)
{
    TForm_Calendario cal;
    EXPECT_EQ(cal.date(), QDate::currentDate());  // first use: today
    EXPECT_EQ(cal.Calendar1->firstDayOfWeek(), Qt::Sunday);
    cal.setDate(QDate(2024, 1, 31));
    EXPECT_EQ(cal.title(), "enero, 2024");

    FechaCalendario = QDateTime(QDate(2000, 5, 5), QTime(0, 0));
    cal.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&cal));
    EXPECT_TRUE(cal.BitBtn1->hasFocus());  // OK has the focus on opening
    QTest::mouseClick(cal.MesSig, Qt::LeftButton);
    EXPECT_EQ(cal.date(), QDate(2024, 2, 29));
    EXPECT_EQ(cal.title(), "febrero, 2024");
    QTest::keyClick(&cal, Qt::Key_PageDown, Qt::ControlModifier);  // next year from anywhere
    EXPECT_EQ(cal.date(), QDate(2025, 2, 28));
    QTest::mouseClick(cal.anoprev, Qt::LeftButton);
    EXPECT_EQ(cal.date(), QDate(2024, 2, 28));
    QTest::mouseClick(cal.MesPrev, Qt::LeftButton);
    EXPECT_EQ(cal.date(), QDate(2024, 1, 28));

    QTest::mouseClick(cal.BitBtn2, Qt::LeftButton);  // Cancelar
    EXPECT_EQ(cal.result(), QDialog::Rejected);
    EXPECT_EQ(FechaCalendario.date(), QDate(2000, 5, 5));

    cal.show();
    EXPECT_EQ(cal.date(), QDate(2024, 1, 28));  // the browsed date is still there
    QTest::keyClick(cal.BitBtn1, Qt::Key_Return);
    EXPECT_EQ(cal.result(), QDialog::Accepted);
    EXPECT_EQ(FechaCalendario, QDateTime(QDate(2024, 1, 28), QTime(0, 0)));
}

TEST(CalendarTest, TheProgramsCalendarIsOneInstanceADateBoxOpensByDoubleClick)
{
    TForm_Calendario& cal = Form_Calendario();
    EXPECT_EQ(&cal, &Form_Calendario());
    cal.setDate(QDate(2026, 3, 14));

    kv::Connection none("none");
    kvtest::CallerHarness caller(none);
    caller.show();
    caller.dateBox->setText("01/01/2026");
    kvtest::whenShown<TForm_Calendario>([](TForm_Calendario* c) {
        QTest::mouseClick(c->MesSig, Qt::LeftButton);
        QTest::mouseClick(c->BitBtn2, Qt::LeftButton);
    });
    QTest::mouseDClick(caller.dateBox, Qt::LeftButton);
    EXPECT_EQ(caller.dateBox->text(), "01/01/2026");  // cancel leaves the box alone

    kvtest::whenShown<TForm_Calendario>([](TForm_Calendario* c) {
        EXPECT_EQ(c->date(), QDate(2026, 4, 14));  // opens where it was left
        QTest::keyClick(c->BitBtn1, Qt::Key_Return);
    });
    QTest::mouseDClick(caller.dateBox, Qt::LeftButton);
    EXPECT_EQ(caller.dateBox->text(), "14/04/2026");
}

}  // namespace
