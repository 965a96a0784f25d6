#pragma once
// The progress of a long job over many rows (an export, a copy): a window-modal box with the
// number of rows done and a Cancel button, and the screen's status text. The job calls it now
// and then; once the user pressed Cancel it answers false and the job stops, leaving nothing
// half done.
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QProgressDialog;
class QWidget;

namespace kv {

class Workbook;

// What a job calls every few rows: the rows done and its status text; false stops it.
using ExportProgress = std::function<bool(int rows, const QString& status)>;

class RowProgress {
public:
    // `what` names the job in the box ("Copiando a Excel"); `status`, when given, is the screen's
    // status panel that shows the job's own text.
    RowProgress(QWidget* parent, const QString& what, QLabel* status = nullptr);
    ~RowProgress();

    // Rows done so far and the job's status text; false once Cancel was pressed.
    bool operator()(int rows, const QString& status);

private:
    std::unique_ptr<QProgressDialog> box_;
    QString what_;
    QLabel* status_;
};

// An export as the user sees it: a new workbook named after `title` in the export folder, filled
// by `fill` under a RowProgress; finished, it is saved, opened in the spreadsheet program, its
// path shown in `status`, and (when `announce`) the message "Termino la Preparacion" follows.
// `fill` returns the rows written, or -1 when the progress call stopped it: the workbook is then
// discarded and no file is left. Returns the saved file's path, empty when cancelled.
QString exportWorkbook(QWidget* parent, QLabel* status, const QString& title,
                       const std::function<int(Workbook&, const ExportProgress&)>& fill, bool announce = true);

}  // namespace kv
