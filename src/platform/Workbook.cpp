#include "platform/Workbook.h"

#include "common/Errors.h"
#include "platform/Desktop.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <stdexcept>
#include <xlsxwriter.h>

namespace kv {

Workbook::Workbook(const QString& path, const QString& sheetName) : path_(path)
{
    const QString native = QDir::toNativeSeparators(path);
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        throw Failure(QStringLiteral("No existe la carpeta de %1").arg(native));
    const QByteArray file = QFile::encodeName(path);
    const QByteArray tmp = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(tmp.constData());
    options.use_zip64 = LXW_TRUE;  // a very large sheet still makes a valid file
    wb_ = workbook_new_opt(file.constData(), &options);
    if (!wb_)
        throw Failure(QStringLiteral("No se pudo crear el libro %1").arg(native));
    const QByteArray sheet = sheetName.toUtf8();
    ws_ = workbook_add_worksheet(wb_, sheet.isEmpty() ? nullptr : sheet.constData());
}

Workbook::~Workbook()
{
    if (!saved_ && wb_) {
        // The library writes the file only when it closes the workbook: a workbook given up is
        // freed without writing, and nothing of it stays behind.
        lxw_workbook_free(wb_);
        wb_ = nullptr;
    }
}

void Workbook::at(int row, int column)
{
    if (saved_)
        throw std::logic_error("workbook already saved");
    if (row < 1 || column < 1)
        throw std::logic_error("rows and columns count from 1");
    if (row < lastRow_)
        throw std::logic_error("row already written to the file");
    lastRow_ = row;
}

lxw_format* Workbook::format(const QString& numberFormat)
{
    if (numberFormat.isEmpty())
        return nullptr;
    lxw_format*& f = formats_[numberFormat];
    if (!f) {
        f = workbook_add_format(wb_);
        format_set_num_format(f, numberFormat.toUtf8().constData());
    }
    return f;
}

void Workbook::setColumnWidth(int column, double characters)
{
    worksheet_set_column(ws_, lxw_col_t(column - 1), lxw_col_t(column - 1), characters,
                         format(columnFormats_.value(column)));
    widths_[column] = characters;
}

void Workbook::setColumnNumberFormat(int column, const QString& numberFormat)
{
    columnFormats_[column] = numberFormat;
    worksheet_set_column(ws_, lxw_col_t(column - 1), lxw_col_t(column - 1), widths_.value(column, LXW_DEF_COL_WIDTH),
                         format(numberFormat));
}

void Workbook::setText(int row, int column, const QString& text)
{
    at(row, column);
    if (text.isEmpty())
        return;
    worksheet_write_string(ws_, lxw_row_t(row - 1), lxw_col_t(column - 1), text.toUtf8().constData(), nullptr);
}

void Workbook::setNumber(int row, int column, double value, const QString& numberFormat)
{
    at(row, column);
    worksheet_write_number(ws_, lxw_row_t(row - 1), lxw_col_t(column - 1), value,
                           format(numberFormat.isEmpty() ? columnFormats_.value(column) : numberFormat));
}

void Workbook::setDate(int row, int column, const QDate& date, const QString& numberFormat)
{
    at(row, column);
    if (!date.isValid())
        return;
    lxw_datetime dt{date.year(), date.month(), date.day(), 0, 0, 0};
    worksheet_write_datetime(ws_, lxw_row_t(row - 1), lxw_col_t(column - 1), &dt, format(numberFormat));
}

void Workbook::setValue(int row, int column, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        at(row, column);
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
    case QMetaType::QDate:
        setDate(row, column, value.toDate());
        break;
    case QMetaType::QDateTime:
        setDate(row, column, value.toDateTime().date());
        break;
    default:
        setText(row, column, value.toString());
    }
}

void Workbook::save()
{
    if (saved_)
        throw std::logic_error("workbook already saved");
    saved_ = true;
    const lxw_error err = workbook_close(wb_);  // frees the workbook, whatever the outcome
    wb_ = nullptr;
    if (err != LXW_NO_ERROR)
        throw Failure(QStringLiteral("No se pudo guardar el libro %1: %2")
                          .arg(QDir::toNativeSeparators(path_), QString::fromUtf8(lxw_strerror(err))));
}

void Workbook::saveAndOpen()
{
    save();
    openFile(path_);
}

QString Workbook::exportFolder()
{
    QString folder = qEnvironmentVariable("KORVELA_EXPORT_TO");
    if (folder.isEmpty()) {
        QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (docs.isEmpty())
            docs = QDir::homePath();
        folder = QDir(docs).filePath(QStringLiteral("Korvela"));
    }
    QDir().mkpath(folder);
    return folder;
}

QString Workbook::newExportPath(const QString& title)
{
    const QDir dir(exportFolder());
    const QString stem =
        title + QLatin1Char(' ') + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    QString path = dir.filePath(stem + QStringLiteral(".xlsx"));
    for (int n = 2; QFile::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1 (%2).xlsx").arg(stem).arg(n));
    return path;
}

}  // namespace kv
