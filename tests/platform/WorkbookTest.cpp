// A workbook written to a real .xlsx file and read back from the zip with unzip.
#include "common/Errors.h"
#include "platform/Workbook.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;

namespace {

QString member(const QString& xlsx, const QString& name)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, name});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << name.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

TEST(Workbook, CellsColumnsAndFormatsReachTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ventas.xlsx"));
    Workbook wb;
    wb.setText(2, 1, QStringLiteral("Factura"));
    wb.setText(2, 2, QStringLiteral("Descripción & <más>"));
    wb.setNumber(3, 1, 1001);
    wb.setValue(3, 2, 12345.5);
    wb.setValue(3, 3, QStringLiteral("00123"));  // a code stays text, leading zeros and all
    wb.setValue(3, 4, QVariant());
    wb.setColumnWidth(2, 40);
    wb.setColumnNumberFormat(2, QStringLiteral("###,###.00"));
    EXPECT_EQ(wb.lastRow(), 3);
    wb.save(path);

    const QString strings = member(path, QStringLiteral("xl/sharedStrings.xml"));
    EXPECT_TRUE(strings.contains(QLatin1String("<t>Factura</t>")));
    EXPECT_TRUE(strings.contains(QStringLiteral("<t>Descripción &amp; &lt;más&gt;</t>")));
    EXPECT_TRUE(strings.contains(QLatin1String("<t>00123</t>")));

    const QString sheet = member(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    // Row 1 stays empty; numbers are numbers; the column's format applies to the number in it.
    EXPECT_FALSE(sheet.contains(QLatin1String("<row r=\"1\"")));
    EXPECT_TRUE(sheet.contains(QRegularExpression(QStringLiteral("<c r=\"A3\"[^>]*><v>1001</v>"))));
    const auto b3 = QRegularExpression(QStringLiteral("<c r=\"B3\" s=\"(\\d+)\"><v>12345.5</v>")).match(sheet);
    EXPECT_TRUE(b3.hasMatch()) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QRegularExpression(QStringLiteral("<c r=\"C3\" t=\"s\">"))));
    EXPECT_FALSE(sheet.contains(QLatin1String("r=\"D3\"")));
    EXPECT_TRUE(sheet.contains(QRegularExpression(QStringLiteral("<col min=\"2\" max=\"2\" width=\"40\\.7\\d*\""))))
        << sheet.toStdString();

    const QString styles = member(path, QStringLiteral("xl/styles.xml"));
    EXPECT_TRUE(styles.contains(QLatin1String("formatCode=\"###,###.00\"")));
    EXPECT_TRUE(member(path, QStringLiteral("xl/workbook.xml")).contains(QLatin1String("name=\"Hoja1\"")));
}

TEST(Workbook, SaveAndOpenPicksAFileAndRefusesAMissingFolder)
{
    Workbook wb;
    wb.setText(1, 1, QStringLiteral("x"));
    const QString path = wb.saveAndOpen();  // KORVELA_NO_OPEN=1 in tests: saved, not opened
    EXPECT_TRUE(path.endsWith(QLatin1String(".xlsx")));
    EXPECT_TRUE(QFileInfo(path).size() > 0);
    QFile::remove(path);
    EXPECT_THROW(wb.save(QStringLiteral("/no/such/folder/libro.xlsx")), Failure);
}
