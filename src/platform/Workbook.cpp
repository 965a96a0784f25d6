#include "platform/Workbook.h"

#include "common/Errors.h"
#include "platform/Desktop.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <xlsxwriter.h>

namespace kv {

Workbook::Workbook(const QString& sheetName) : sheetName_(sheetName) {}

void Workbook::setText(int row, int column, const QString& text) { cells_[{row, column}] = text; }

void Workbook::setNumber(int row, int column, double value) { cells_[{row, column}] = value; }

void Workbook::setValue(int row, int column, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        cells_.erase({row, column});
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        setNumber(row, column, value.toDouble());
        break;
    default:
        setText(row, column, value.toString());
    }
}

void Workbook::setColumnWidth(int column, double characters) { columns_[column].width = characters; }

void Workbook::setColumnNumberFormat(int column, const QString& format) { columns_[column].format = format; }

QVariant Workbook::cell(int row, int column) const
{
    auto it = cells_.find({row, column});
    return it == cells_.end() ? QVariant() : it->second;
}

int Workbook::lastRow() const { return cells_.empty() ? 0 : cells_.rbegin()->first.first; }

void Workbook::save(const QString& path) const
{
    const QString native = QDir::toNativeSeparators(path);
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        throw Failure(QStringLiteral("No existe la carpeta de %1").arg(native));
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* wb = workbook_new(file.constData());
    if (!wb)
        throw Failure(QStringLiteral("No se pudo crear el libro %1").arg(native));
    const QByteArray sheet = sheetName_.toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheet.isEmpty() ? nullptr : sheet.constData());

    QHash<int, lxw_format*> formats;
    for (const auto& [col, info] : columns_) {
        lxw_format* f = nullptr;
        if (!info.format.isEmpty()) {
            f = workbook_add_format(wb);
            format_set_num_format(f, info.format.toUtf8().constData());
            formats.insert(col, f);
        }
        worksheet_set_column(ws, lxw_col_t(col - 1), lxw_col_t(col - 1), info.width >= 0 ? info.width : LXW_DEF_COL_WIDTH,
                             f);
    }
    for (const auto& [pos, value] : cells_) {
        const lxw_row_t r = lxw_row_t(pos.first - 1);
        const lxw_col_t c = lxw_col_t(pos.second - 1);
        if (value.typeId() == QMetaType::Double)
            worksheet_write_number(ws, r, c, value.toDouble(), formats.value(pos.second, nullptr));
        else
            worksheet_write_string(ws, r, c, value.toString().toUtf8().constData(), nullptr);
    }
    const lxw_error err = workbook_close(wb);
    if (err != LXW_NO_ERROR)
        throw Failure(QStringLiteral("No se pudo guardar el libro %1: %2").arg(native, QString::fromUtf8(lxw_strerror(err))));
}

QString Workbook::saveAndOpen(const QString& path) const
{
    QString target = path;
    if (target.isEmpty())
        target = QDir(QDir::tempPath())
                     .filePath(QStringLiteral("korvela-%1.xlsx")
                                   .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"))));
    save(target);
    openFile(target);
    return target;
}

}  // namespace kv
