#pragma once
// Where a screen sends a finished report for the user to see, print or save. The report output
// dialog (screen, file or spreadsheet) belongs to the main window's folder, which the back-office
// screens come before; the program installs it here at start-up. Without it (tests, tools) the
// report goes straight to the print preview.
#include "report/Report.h"

#include <functional>
#include <memory>

class QWidget;

namespace kv {

using ReportOutput = std::function<void(std::unique_ptr<Report> report, const QString& title, QWidget* parent)>;

void setReportOutput(ReportOutput output);

// Hands the report over to the installed output, or shows it in the print preview.
void outputReport(std::unique_ptr<Report> report, const QString& title, QWidget* parent);

}  // namespace kv
