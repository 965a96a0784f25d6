#include "platform/Printing.h"

#include "common/Dialogs.h"
#include "common/Errors.h"
#include "report/Painter.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace kv {

namespace {

// The pages' own sheet size and no margins: the Document already places every item on the sheet.
void prepare(QPrinter& printer, const Document& doc)
{
    printer.setDocName(doc.title.isEmpty() ? QStringLiteral("KorvelaPos") : doc.title);
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutOf(doc));
}

bool writeToFolder(const Document& doc, const QString& dir)
{
    try {
        writeNumberedPdf(doc, dir);
        return true;
    } catch (const Failure& f) {
        dialogs().error(f.text());
        return false;
    }
}

}  // namespace

bool print(const Document& doc)
{
    const QString dir = printToDirectory();
    if (!dir.isEmpty())
        return writeToFolder(doc, dir);
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        dialogs().error(QStringLiteral("No hay una impresora predeterminada instalada."));
        return false;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    prepare(printer, doc);
    if (!paintDocument(doc, printer) || printer.printerState() == QPrinter::Error) {
        dialogs().error(QStringLiteral("No se pudo imprimir en la impresora %1.").arg(info.printerName()));
        return false;
    }
    return true;
}

bool preview(const Document& doc, QWidget* parent)
{
    const QString dir = printToDirectory();
    if (!dir.isEmpty())
        return writeToFolder(doc, dir);
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, doc);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(doc.title.isEmpty() ? QStringLiteral("Vista preliminar") : doc.title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&doc](QPrinter* target) {
        QPainter painter;
        if (painter.begin(target))
            paintDocument(doc, painter, *target);
    });
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    dialog.exec();
    return true;
}

}  // namespace kv
