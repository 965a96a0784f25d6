#pragma once
// A spreadsheet filled cell by cell and saved as .xlsx (libxlsxwriter), then opened in the
// desktop's spreadsheet application, the way the exports leave a workbook open for the user.
// Rows and columns are counted from 1, as in the spreadsheet itself.
#include <QString>
#include <QVariant>

#include <map>
#include <utility>

namespace kv {

class Workbook {
public:
    explicit Workbook(const QString& sheetName = QStringLiteral("Hoja1"));

    void setText(int row, int column, const QString& text);
    void setNumber(int row, int column, double value);
    // Numbers as numbers, anything else as its text; a null value clears the cell.
    void setValue(int row, int column, const QVariant& value);
    void setColumnWidth(int column, double characters);
    // Number format of a whole column ("###,###.00"); numbers written in it use it.
    void setColumnNumberFormat(int column, const QString& format);

    QVariant cell(int row, int column) const;
    int lastRow() const;

    // Writes the .xlsx file. Raises Failure with a Spanish message when it cannot.
    void save(const QString& path) const;
    // Saves (to a new file in the temporary folder when path is empty) and opens the file in the
    // registered application unless KORVELA_NO_OPEN=1. Returns the file's path.
    QString saveAndOpen(const QString& path = QString()) const;

private:
    struct Column {
        double width = -1;
        QString format;
    };
    QString sheetName_;
    std::map<std::pair<int, int>, QVariant> cells_;
    std::map<int, Column> columns_;
};

}  // namespace kv
