#pragma once
// The calendar date picker. One instance lives for the whole run (Form_Calendario()), so it
// opens again on the last date it showed. Date boxes open it with a double click:
//
//     if (Form_Calendario().exec() == QDialog::Accepted)
//         box->setText(...FechaCalendario...);
//
// Cancel leaves FechaCalendario as it was; only the OK button writes it.
#include "data/Dataset.h"

#include <QDateTime>
#include <QDialog>

class QCalendarWidget;
class QLabel;
class QPushButton;
class QLineEdit;
class QToolButton;

namespace kv {

// The last date accepted with OK (at 00:00); invalid until a date was ever accepted.
extern QDateTime FechaCalendario;

class TForm_Calendario : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Calendario(QWidget* parent = nullptr);

    // The date the month grid stands on.
    QDate date() const;
    void setDate(const QDate& d);
    QString title() const;

    QCalendarWidget* Calendar1;
    QLabel* LblMes;  // "MMMM, YYYY" of the grid's date
    QToolButton* MesPrev;
    QToolButton* MesSig;
    QToolButton* anoprev;
    QToolButton* anosig;
    QPushButton* BitBtn1;  // OK
    QPushButton* BitBtn2;  // Cancelar

    // One month back or forward keeping the day where the month has it, else its last day.
    static QDate monthStep(const QDate& d, int months);
    // One year back or forward; 29 February first becomes 28 February.
    static QDate yearStep(const QDate& d, int years);

public slots:
    void Calendar1Change();
    void MesPrevClick();
    void MesSigClick();
    void anoprevClick();
    void anosigClick();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* e) override;
};

// The program's one calendar, created on first use and kept until the program ends.
TForm_Calendario& Form_Calendario();

// A date box of a record opens the calendar; on OK the date goes into `field` of the dataset's
// current row, which is put into edit mode first when needed. A refusal is shown, not thrown.
void pickDateInto(Dataset& ds, const QString& field);
// A date typed as text (a range's first or last day) opens the calendar on the date it holds; on
// OK the chosen date replaces the text as dd/mm/yyyy, the one form the program reads back.
void pickDateInto(QLineEdit* box);

}  // namespace kv
