#pragma once
// The progress of a long job over many rows (an export, a copy): a window-modal box with the
// number of rows done and a Cancel button, and the screen's status text. The job calls it now
// and then; once the user pressed Cancel it answers false and the job stops, leaving nothing
// half done.
#include <QString>

#include <memory>

class QLabel;
class QProgressDialog;
class QWidget;

namespace kv {

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

}  // namespace kv
