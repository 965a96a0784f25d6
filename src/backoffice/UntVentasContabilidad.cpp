#include "backoffice/UntVentasContabilidad.h"

#include "backoffice/UntCuentasParametros.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "platform/DialogParts.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kv {

TFrmVentasContabilidad::TFrmVentasContabilidad(Connection& pos, Connection& tavro, QWidget* parent)
    : QDialog(parent), pos_(pos), tavro_(tavro)
{
    setObjectName(QStringLiteral("FrmVentasContabilidad"));
    setWindowTitle(QStringLiteral("Asiento Para Contabilidad Ventas Diarias"));
    auto* layout = new QVBoxLayout(this);

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QAction* cuentas = MainMenu1->addAction(QStringLiteral("&Cuentas"));
    cuentas->setObjectName(QStringLiteral("Cuentas1"));
    connect(cuentas, &QAction::triggered, this, &TFrmVentasContabilidad::Cuentas1Click);
    layout->setMenuBar(MainMenu1);

    layout->addWidget(makeTitleLabel(windowTitle(), this, 1.3));
    MonthCalendar1 = new QCalendarWidget(this);
    MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    MonthCalendar1->setAccessibleName(QStringLiteral("Fecha"));
    MonthCalendar1->setLocale(QLocale(QLocale::Spanish, QLocale::Colombia));  // month and day names in Spanish
    MonthCalendar1->setSelectedDate(QDate::currentDate());
    layout->addWidget(MonthCalendar1);

    Edit1 = new QLineEdit(QStringLiteral("POS"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    auto* row = new QHBoxLayout;
    row->addWidget(captionFor(QStringLiteral("Codigo Tipo &Comprobante"), Edit1, this));
    row->addWidget(Edit1);
    layout->addLayout(row);

    // A day too long for the accounting product's line numbers can still go, one line per
    // account and sale.
    CbResumido = new QCheckBox(QStringLiteral("&Resumido por cuenta y venta"), this);
    CbResumido->setObjectName(QStringLiteral("CbResumido"));
    layout->addWidget(CbResumido);

    Contabilizar1 = new QPushButton(QStringLiteral("C&ontabilizar"), this);
    Contabilizar1->setObjectName(QStringLiteral("Contabilizar1"));
    Contabilizar1->setDefault(true);
    connect(Contabilizar1, &QPushButton::clicked, this, &TFrmVentasContabilidad::Contabilizar);
    layout->addWidget(Contabilizar1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    Panel2 = new QLabel(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    StatusBar1->addWidget(new QLabel(this), 1);
    StatusBar1->addWidget(Panel2, 3);
    layout->addWidget(StatusBar1);
}

void TFrmVentasContabilidad::Contabilizar()
{
    PostingRequest r{MonthCalendar1->selectedDate(), Edit1->text().trimmed(), CbResumido->isChecked()};
    AccountingPosting posting(pos_, tavro_);
    if (posting.alreadyPosted(r) &&
        !AskYesNo(QStringLiteral("El día ya fue contabilizado. ¿Desea reemplazar el comprobante?")))
        return;
    try {
        post(r);
    } catch (const PostingRefused& e) {
        if (e.tooManyLines() && !r.summarised &&
            AskYesNo(e.text() + QStringLiteral("\n¿Desea contabilizarlo resumido por cuenta y venta?"))) {
            r.summarised = true;
            CbResumido->setChecked(true);
            try {
                post(r);
            } catch (const PostingRefused& again) {
                ShowMessage(QStringLiteral("No se contabilizó el día; el comprobante anterior no cambió.\n") + again.text());
            }
            return;
        }
        ShowMessage(QStringLiteral("No se contabilizó el día; el comprobante anterior no cambió.\n") + e.text());
        Panel2->setText(QStringLiteral(" No se contabilizó"));
    }
}

bool TFrmVentasContabilidad::post(const PostingRequest& r)
{
    QProgressDialog progress(QStringLiteral("Contabilizando las ventas del día ..."), QStringLiteral("&Cancelar"), 0, 0, this);
    progress.setObjectName(QStringLiteral("Progreso"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    Panel2->setText(QStringLiteral(" Contabilizando ..."));
    const PostingSummary s = AccountingPosting(pos_, tavro_).post(r, [&](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        Panel2->setText(QStringLiteral(" Venta %1 de %2 ...").arg(done).arg(total));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.reset();
    if (s.sales < 0) {
        Panel2->setText(QStringLiteral(" Cancelado"));
        ShowMessage(QStringLiteral("Contabilización cancelada; el comprobante anterior no cambió."));
        return false;
    }
    Panel2->setText(QStringLiteral(" Contabilizado"));
    ShowMessage(QStringLiteral("Comprobante %1 %2 contabilizado.\nVentas: %3   Líneas: %4\nDébitos: %5   Créditos: %6   "
                               "Terceros nuevos: %7")
                    .arg(r.tipo)
                    .arg(AccountingPosting::voucherNumber(r.day))
                    .arg(s.sales)
                    .arg(s.lines)
                    .arg(FormatFloat(QStringLiteral("###,###.00"), s.debits), FormatFloat(QStringLiteral("###,###.00"), s.credits))
                    .arg(s.newThirdParties));
    return true;
}

void TFrmVentasContabilidad::Cuentas1Click()
{
    TFrmCuentasParametros f(pos_, this);
    f.exec();
}

}  // namespace kv
