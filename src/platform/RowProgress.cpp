#include "platform/RowProgress.h"

#include "common/Dialogs.h"
#include "platform/Workbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QProgressDialog>

namespace kv {

RowProgress::RowProgress(QWidget* parent, const QString& what, QLabel* status)
    : box_(std::make_unique<QProgressDialog>(what + QStringLiteral(" ..."), QStringLiteral("&Cancelar"), 0, 0, parent)),
      what_(what),
      status_(status)
{
    box_->setObjectName(QStringLiteral("Progreso"));
    box_->setWindowModality(Qt::WindowModal);
    box_->setMinimumDuration(500);  // a short job finishes before the box would show
    box_->setAutoReset(false);
}

RowProgress::~RowProgress() { box_->reset(); }

bool RowProgress::operator()(int rows, const QString& status)
{
    box_->setLabelText(QStringLiteral("%1: %2 filas ...").arg(what_).arg(rows));
    box_->setValue(0);  // with no maximum the box runs "busy"; setValue lets it appear on time
    if (status_)
        status_->setText(status);
    QCoreApplication::processEvents();
    return !box_->wasCanceled();
}

QString exportWorkbook(QWidget* parent, QLabel* status, const QString& title,
                       const std::function<int(Workbook&, const ExportProgress&)>& fill, bool announce)
{
    Workbook wb(Workbook::newExportPath(title));
    int rows = 0;
    {
        // The box goes away before any message about the outcome.
        RowProgress progress(parent, QStringLiteral("Copiando a Excel"), status);
        rows = fill(wb, std::ref(progress));
    }
    if (rows < 0) {
        if (status)
            status->setText(QStringLiteral("Cancelado"));
        ShowMessage(QStringLiteral("Copia cancelada; no se guardó ningún libro."));
        return QString();  // the workbook, never saved, leaves no file
    }
    wb.saveAndOpen();
    if (status)
        status->setText(QStringLiteral("Guardado en ") + QDir::toNativeSeparators(wb.path()));
    if (announce)
        ShowMessage(QStringLiteral("Termino la Preparacion"));
    return wb.path();
}

}  // namespace kv
