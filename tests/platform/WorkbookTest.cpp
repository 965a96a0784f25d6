// A workbook written to a real .xlsx file and read back from the zip.
#include "EnvScope.h"
#include "common/Errors.h"
#include "platform/Workbook.h"
#include "support/Xlsx.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace kv;
using kvtest::XlsxCell;

TEST(Workbook, CellsTypesColumnsAndFormatsReachTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ventas.xlsx"));
    {
        Workbook wb(path);
        wb.setColumnWidth(2, 40);
        wb.setColumnNumberFormat(2, QStringLiteral("###,###.00"));
        wb.setText(2, 1, QStringLiteral("Factura"));
        wb.setText(2, 2, QStringLiteral("Descripción & <más>"));
        wb.setNumber(3, 1, 1001);
        wb.setValue(3, 2, 12345.5);
        wb.setValue(3, 3, QStringLiteral("00123"));  // a code stays text, leading zeros and all
        wb.setValue(3, 4, QVariant());
        wb.setValue(3, 5, QDate(2026, 3, 10));
        wb.setNumber(3, 6, 7.25, QStringLiteral("0.00"));
        EXPECT_EQ(wb.lastRow(), 3);
        wb.save();
    }
    const auto sheet = kvtest::readXlsx(path);
    EXPECT_EQ(sheet.at(1, 1), nullptr);  // row 1 stays empty
    EXPECT_EQ(sheet.row(2), (QStringList{QStringLiteral("Factura"), QStringLiteral("Descripción & <más>")}));
    ASSERT_NE(sheet.at(3, 1), nullptr);
    EXPECT_EQ(sheet.at(3, 1)->kind, XlsxCell::Number);
    EXPECT_EQ(sheet.at(3, 1)->number, 1001);
    EXPECT_EQ(sheet.at(3, 2)->kind, XlsxCell::Number);
    EXPECT_EQ(sheet.at(3, 2)->format, QStringLiteral("###,###.00"));  // the column's format
    EXPECT_EQ(sheet.at(3, 3)->kind, XlsxCell::Text);
    EXPECT_EQ(sheet.at(3, 3)->text, QStringLiteral("00123"));
    EXPECT_EQ(sheet.at(3, 4), nullptr);
    ASSERT_NE(sheet.at(3, 5), nullptr);
    EXPECT_EQ(sheet.at(3, 5)->kind, XlsxCell::Date);
    EXPECT_EQ(sheet.at(3, 5)->date(), QDate(2026, 3, 10));
    EXPECT_EQ(sheet.at(3, 6)->format, QStringLiteral("0.00"));
    EXPECT_NEAR(sheet.columnWidths.at(2), 40.7, 0.1);

    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, QStringLiteral("xl/workbook.xml")});
    p.waitForFinished();
    EXPECT_TRUE(p.readAllStandardOutput().contains("name=\"Hoja1\""));
}

TEST(Workbook, RowsGoToTheFileInOrderAndAnUnsavedBookLeavesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("libro.xlsx"));
    {
        Workbook wb(path);
        wb.setText(5, 2, QStringLiteral("b"));
        wb.setText(5, 1, QStringLiteral("a"));  // the same row, any column order
        EXPECT_THROW(wb.setText(4, 1, QStringLiteral("late")), std::logic_error);
        // given up without saving
    }
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_THROW(Workbook(QStringLiteral("/no/such/folder/libro.xlsx")), Failure);
}

TEST(Workbook, ExportsGoUnderANameThatSaysWhatTheyHold)
{
    QTemporaryDir dir;
    EnvScope env("KORVELA_EXPORT_TO", dir.filePath(QStringLiteral("exportes")).toUtf8());
    const QString first = Workbook::newExportPath(QStringLiteral("Excel Movimiento"));
    EXPECT_TRUE(QFileInfo(first).fileName().startsWith(QLatin1String("Excel Movimiento 20")));
    EXPECT_TRUE(first.endsWith(QLatin1String(".xlsx")));
    EXPECT_EQ(QFileInfo(first).absolutePath(), QDir(dir.filePath(QStringLiteral("exportes"))).absolutePath());
    {
        Workbook wb(first);
        wb.setText(1, 1, QStringLiteral("x"));
        wb.saveAndOpen();  // KORVELA_NO_OPEN=1 in tests: saved, not opened
    }
    EXPECT_GT(QFileInfo(first).size(), 0);
    // A second export in the same second gets a name of its own.
    const QString second = Workbook::newExportPath(QStringLiteral("Excel Movimiento"));
    EXPECT_NE(second, first);
}
