#include "platform/ReportOutput.h"

#include "platform/Printing.h"

namespace kv {

namespace {
ReportOutput& installed()
{
    static ReportOutput output;
    return output;
}
}  // namespace

void setReportOutput(ReportOutput output) { installed() = std::move(output); }

void outputReport(std::unique_ptr<Report> report, const QString& title, QWidget* parent)
{
    if (!report)
        return;
    if (installed()) {
        installed()(std::move(report), title, parent);
        return;
    }
    preview(report->render(), parent);
}

}  // namespace kv
