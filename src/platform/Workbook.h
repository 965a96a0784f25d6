#pragma once
// A spreadsheet written as .xlsx (libxlsxwriter) while it is filled, then opened in the desktop's
// spreadsheet application, the way the exports leave a workbook open for the user. Rows and
// columns are counted from 1, as in the spreadsheet itself.
//
// The sheet is written row by row straight to the file (the library's constant-memory mode): once
// a later row is written, the earlier rows are on disk and can no longer change, so an export of
// 100,000 rows holds one row in memory. Within the current row, cells may come in any order.
//
//     Workbook wb(Workbook::newExportPath(QStringLiteral("Excel Movimiento")));
//     wb.setText(2, 1, QStringLiteral("Factura"));
//     wb.setNumber(3, 7, 12500, QStringLiteral("###,###.00"));
//     wb.saveAndOpen();
#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace kv {

class Workbook {
public:
    explicit Workbook(const QString& path, const QString& sheetName = QStringLiteral("Hoja1"));
    // A workbook never saved is discarded: nothing is left at its path.
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    QString path() const { return path_; }

    // Column set-up; may be given at any time before saving.
    void setColumnWidth(int column, double characters);
    // Number format of a whole column ("###,###.00"); numbers written in it without a format of
    // their own use it.
    void setColumnNumberFormat(int column, const QString& format);

    // A row above the last one written raises std::logic_error: it is already on disk.
    void setText(int row, int column, const QString& text);
    void setNumber(int row, int column, double value, const QString& format = QString());
    // A date cell (the spreadsheet's own date number) shown with `format` ("dd/mm/yyyy").
    void setDate(int row, int column, const QDate& date, const QString& format = QStringLiteral("dd/mm/yyyy"));
    // Numbers as numbers, dates as dates, anything else as its text; a null value leaves the cell
    // empty.
    void setValue(int row, int column, const QVariant& value);

    // The last row written to, 0 for an empty sheet.
    int lastRow() const { return lastRow_; }

    // Writes the file. Raises Failure with a Spanish message when it cannot. Only once.
    void save();
    // Saves and opens the file in the registered application unless KORVELA_NO_OPEN=1.
    void saveAndOpen();

    // Where the exports go: KORVELA_EXPORT_TO when set (tests, scripted runs), else the folder
    // "Korvela" of the user's documents. Created when missing.
    static QString exportFolder();
    // A new file name in exportFolder() that names what it holds and when it was made:
    // "Excel Movimiento 2026-12-10 16.30.05.xlsx" (a number is added if that name is taken).
    static QString newExportPath(const QString& title);

private:
    void at(int row, int column);
    lxw_format* format(const QString& numberFormat);
    QString path_;
    lxw_workbook* wb_ = nullptr;
    lxw_worksheet* ws_ = nullptr;
    QHash<QString, lxw_format*> formats_;
    QHash<int, QString> columnFormats_;
    QHash<int, double> widths_;
    int lastRow_ = 0;
    bool saved_ = false;
};

}  // namespace kv
