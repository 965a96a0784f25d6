#pragma once
// Where a screen sends a list it wants printed or exported: the program's report output dialog
// (screen, file or spreadsheet), which lives with the main window and is installed at start-up.
// Until one is installed (a test, a tool) the list goes to the print preview.
#include "report/Report.h"

#include <functional>
#include <memory>

class QWidget;

namespace kv {

using ReportOutput = std::function<void(std::unique_ptr<Report> report, const QString& title, QWidget* parent)>;

void setReportOutput(ReportOutput output);
void showReportOutput(std::unique_ptr<Report> report, const QString& title, QWidget* parent);

}  // namespace kv
