#pragma once
// Reads back a sheet of an .xlsx file the program wrote (the file is a zip of XML parts, taken
// apart with unzip), so tests check the cells, their types and their order as a spreadsheet
// program would see them.
#include <QDate>
#include <QString>
#include <QStringList>

#include <map>
#include <utility>

namespace kvtest {

struct XlsxCell {
    enum Kind { Text, Number, Date };
    Kind kind = Text;
    QString text;       // Text: the string
    double number = 0;  // Number and Date: the stored number (a date's serial day)
    QString format;     // the number format of the cell's style, empty for the general one

    QDate date() const;  // Date cells: the day they hold
};

struct XlsxSheet {
    std::map<std::pair<int, int>, XlsxCell> cells;  // (row, column) from 1
    std::map<int, double> columnWidths;              // columns given a width

    const XlsxCell* at(int row, int column) const;
    // The texts of a row from column 1 to its last cell (numbers in their plain form, dates as
    // dd/mm/yyyy, empty cells as ""), for comparing a whole row at once.
    QStringList row(int row) const;
    int lastRow() const { return cells.empty() ? 0 : cells.rbegin()->first.first; }
};

// The first sheet of the file. Fails the running test when the file cannot be read.
XlsxSheet readXlsx(const QString& path);

}  // namespace kvtest
