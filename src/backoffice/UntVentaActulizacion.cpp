#include "backoffice/UntVentaActulizacion.h"

#include "backoffice/DailyUpdate.h"
#include "backoffice/TransferScreens.h"
#include "common/Dialogs.h"
#include "platform/DialogParts.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

namespace {

QString day(const QDate& d) { return d.toString(QStringLiteral("dd/MM/yyyy")); }

}  // namespace

TFrmVentaActulizacion::TFrmVentaActulizacion(Connection& pos, QWidget* parent) : QDialog(parent), pos_(pos)
{
    setObjectName(QStringLiteral("FrmVentaActulizacion"));
    setWindowTitle(QStringLiteral("Actualiza Ventas Diarias"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeTitleLabel(windowTitle(), this));

    DateTimePicker1 = makeDateBox(QStringLiteral("DateTimePicker1"), this);
    DateTimePicker2 = makeDateBox(QStringLiteral("DateTimePicker2"), this);
    auto* dates = new QGridLayout;
    dates->addWidget(captionFor(QStringLiteral("Fecha &Inicial :"), DateTimePicker1, this), 0, 0);
    dates->addWidget(DateTimePicker1, 0, 1);
    dates->addWidget(captionFor(QStringLiteral("Fecha &Final :"), DateTimePicker2, this), 1, 0);
    dates->addWidget(DateTimePicker2, 1, 1);
    layout->addLayout(dates);

    LblUltima = new QLabel(this);
    LblUltima->setObjectName(QStringLiteral("LblUltima"));
    layout->addWidget(LblUltima);

    BtnActualizar = new QPushButton(QStringLiteral("&Actualizar"), this);
    BtnActualizar->setObjectName(QStringLiteral("BtnActualizar"));
    BtnActualizar->setAccessibleName(QStringLiteral("Actualizar"));
    BtnActualizar->setDefault(true);
    connect(BtnActualizar, &QPushButton::clicked, this, &TFrmVentaActulizacion::BtnActualizarClick);
    layout->addWidget(BtnActualizar);

    Panel1 = new QLabel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    layout->addWidget(Panel1);
    setMinimumWidth(560);  // the last day's line whole
    showLastRun();
}

void TFrmVentaActulizacion::showLastRun()
{
    const std::optional<DailyUpdateRun> last = DailyUpdate(pos_).lastRun();
    LblUltima->setText(last ? QStringLiteral("Último día actualizado: %1 (actualizado el %2, %3 documentos)")
                                  .arg(day(last->hasta), last->hecho.toString(QStringLiteral("dd/MM/yyyy hh:mm")))
                                  .arg(last->documents)
                            : QStringLiteral("Todavía no se ha actualizado ningún día."));
    LblUltima->setAccessibleName(LblUltima->text());
}

void TFrmVentaActulizacion::BtnActualizarClick()
{
    const QDate desde = DateTimePicker1->date(), hasta = DateTimePicker2->date();
    if (hasta < desde) {
        ShowMessage(QStringLiteral("La fecha final es anterior a la inicial."));
        return;
    }
    DailyUpdate update(pos_);
    // Updating a day again is safe (it replaces what it copied), but it should never happen unnoticed,
    // nor should a day be left out between two updates.
    if (const auto done = update.alreadyUpdated(desde, hasta)) {
        const QString days = done->first == done->second
                                 ? QStringLiteral("El día %1 ya fue actualizado").arg(day(done->first))
                                 : QStringLiteral("Los días del %1 al %2 ya fueron actualizados").arg(day(done->first), day(done->second));
        if (!AskYesNo(days + QStringLiteral(". ¿Desea actualizarlos de nuevo?")))
            return;
    } else if (const auto last = update.lastRun(); last && desde > last->hasta.addDays(1)) {
        const QDate from = last->hasta.addDays(1), to = desde.addDays(-1);
        const QString days = from == to ? QStringLiteral("El día %1 queda sin actualizar").arg(day(from))
                                        : QStringLiteral("Los días del %1 al %2 quedan sin actualizar").arg(day(from), day(to));
        if (!AskYesNo(days + QStringLiteral(". ¿Desea continuar?")))
            return;
    }
    TransferResult r;
    {
        TransferProgressWindow w(windowTitle(), this, Panel1);
        r = update.run(desde, hasta, w.progress());
    }
    if (showTransferOutcome(r, QStringLiteral("Termino Correctamente")))
        Panel1->setText(QStringLiteral(" Actualizados %1 documentos, %2 líneas").arg(r.documents).arg(r.lines));
    else
        Panel1->setText(QStringLiteral(" No se actualizó"));
    showLastRun();
}

}  // namespace kv
