#pragma once
// "Asiento Para Contabilidad Ventas Diarias": a day and a voucher type, and the day's sales go to
// the accounting product as one voucher (AccountingPosting). The menu "Cuentas" keeps the accounts
// that do not come from the products.
#include "backoffice/AccountingPosting.h"

#include <QDialog>

class QCalendarWidget;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QStatusBar;

namespace kv {

class TFrmVentasContabilidad : public QDialog {
    Q_OBJECT
public:
    // pos: the sales and the accounts; tavro: the accounting database.
    TFrmVentasContabilidad(Connection& pos, Connection& tavro, QWidget* parent = nullptr);

    QCalendarWidget* MonthCalendar1;  // the day to post, today when the screen opens
    QLineEdit* Edit1;                 // "Codigo Tipo Comprobante"
    QCheckBox* CbResumido;            // one line per account and sale
    QPushButton* Contabilizar1;       // "Contabilizar"
    QMenuBar* MainMenu1;              // "Cuentas"
    QStatusBar* StatusBar1;
    QLabel* Panel2;                   // the status bar's progress texts

public slots:
    void Contabilizar();
    void Cuentas1Click();

private:
    // Runs the posting as asked; false when the user stopped it or a check refused it.
    bool post(const PostingRequest& r);
    Connection& pos_;
    Connection& tavro_;
};

}  // namespace kv
