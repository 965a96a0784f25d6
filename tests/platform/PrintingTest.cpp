// Printing and previewing with KORVELA_PRINT_TO: the real rendering, written to numbered PDFs.
#include "EnvScope.h"
#include "common/Dialogs.h"
#include "platform/Desktop.h"
#include "platform/Printing.h"
#include "report/Report.h"

#include <QApplication>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;

namespace {

Document receipt()
{
    Report r(QStringLiteral("FACTURA 42"));
    r.page() = PageSetup::rollPaper(72.76, 279.4);
    r.detail().setHeight(4).addField(0, 0, 40, 4, QStringLiteral("N"));
    r.setRows({{{"N", 1}}, {{"N", 2}}});
    return r.render();
}

}  // namespace

TEST(Printing, PrintAndPreviewWriteNumberedPdfsInThePrintFolder)
{
    QTemporaryDir dir;
    EnvScope to("KORVELA_PRINT_TO", dir.path().toUtf8());
    ScriptedDialogs dialogs;
    DialogsScope scope(&dialogs);

    const Document doc = receipt();
    EXPECT_TRUE(print(doc));
    preview(doc);  // no window: the file is the preview
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"0001-FACTURA_42.pdf", "0002-FACTURA_42.pdf"}));
    QFile f(dir.filePath(QStringLiteral("0002-FACTURA_42.pdf")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("%PDF-"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(Printing, AnUnusablePrintFolderIsReportedThroughTheErrorBox)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("archivo")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EnvScope to("KORVELA_PRINT_TO", dir.filePath(QStringLiteral("archivo/sub")).toUtf8());
    ScriptedDialogs dialogs;
    DialogsScope scope(&dialogs);

    EXPECT_FALSE(print(receipt()));
    ASSERT_EQ(dialogs.texts(QStringLiteral("error")).size(), 1);
    EXPECT_TRUE(dialogs.last().contains(QLatin1String("archivo/sub"))) << dialogs.last().toStdString();
}

TEST(Printing, PreviewWithoutAPrintFolderShowsTheModalPreview)
{
    EnvScope to("KORVELA_PRINT_TO", std::nullopt);
    QString title;
    // The preview is modal: look at it from inside its own event loop, then close it.
    std::function<void()> look = [&] {
        auto* dlg = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!dlg) {
            QTimer::singleShot(20, look);
            return;
        }
        title = dlg->windowTitle();
        QMetaObject::invokeMethod(dlg, [dlg] { dlg->reject(); }, Qt::QueuedConnection);
    };
    QTimer::singleShot(0, look);
    preview(receipt());
    EXPECT_EQ(title, QStringLiteral("FACTURA 42"));
}

TEST(Printing, OpeningFilesIsSkippedWhenTurnedOff)
{
    EnvScope off("KORVELA_NO_OPEN", QByteArray("1"));
    EXPECT_TRUE(openFile(QStringLiteral("/no/such/file.xls")));
}
