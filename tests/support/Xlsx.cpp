#include "Xlsx.h"

#include "common/Numbers.h"

#include <QHash>
#include <QProcess>
#include <QVector>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace kvtest {

namespace {

QByteArray member(const QString& xlsx, const QString& name, bool required = true)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, name});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        if (required)
            ADD_FAILURE() << "cannot read " << name.toStdString() << " of " << xlsx.toStdString();
        return {};
    }
    return p.readAllStandardOutput();
}

// "C12" -> (12, 3)
std::pair<int, int> cellRef(const QString& ref)
{
    int col = 0, i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i)
        col = col * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
    return {ref.mid(i).toInt(), col};
}

bool isDateFormat(const QString& f)
{
    QString plain = f;
    plain.remove(QLatin1Char('"'));
    return plain.contains(QLatin1Char('d')) || plain.contains(QLatin1Char('y'));
}

}  // namespace

QDate XlsxCell::date() const { return QDate(1899, 12, 30).addDays(qint64(number)); }

const XlsxCell* XlsxSheet::at(int r, int c) const
{
    auto it = cells.find({r, c});
    return it == cells.end() ? nullptr : &it->second;
}

QStringList XlsxSheet::row(int r) const
{
    QStringList out;
    for (auto it = cells.lower_bound({r, 0}); it != cells.end() && it->first.first == r; ++it) {
        while (out.size() < it->first.second - 1)
            out << QString();
        const XlsxCell& c = it->second;
        out << (c.kind == XlsxCell::Text     ? c.text
                : c.kind == XlsxCell::Date ? c.date().toString(QStringLiteral("dd/MM/yyyy"))
                                           : kv::FloatToStr(c.number));
    }
    return out;
}

XlsxSheet readXlsx(const QString& path)
{
    XlsxSheet sheet;
    // Shared strings (absent when every string was written in its cell).
    QStringList shared;
    {
        QXmlStreamReader x(member(path, QStringLiteral("xl/sharedStrings.xml"), false));
        QString current;
        bool inSi = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("si")) {
                inSi = true;
                current.clear();
            } else if (x.isStartElement() && x.name() == QLatin1String("t") && inSi) {
                current += x.readElementText();
            } else if (x.isEndElement() && x.name() == QLatin1String("si")) {
                shared << current;
                inSi = false;
            }
        }
    }
    // Styles: each cell style's number format code.
    QVector<QString> styleFormats;
    {
        QHash<int, QString> codes;
        QXmlStreamReader x(member(path, QStringLiteral("xl/styles.xml")));
        bool inXfs = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("numFmt"))
                codes.insert(x.attributes().value(QLatin1String("numFmtId")).toInt(),
                             x.attributes().value(QLatin1String("formatCode")).toString());
            else if (x.isStartElement() && x.name() == QLatin1String("cellXfs"))
                inXfs = true;
            else if (x.isEndElement() && x.name() == QLatin1String("cellXfs"))
                inXfs = false;
            else if (inXfs && x.isStartElement() && x.name() == QLatin1String("xf")) {
                const int id = x.attributes().value(QLatin1String("numFmtId")).toInt();
                styleFormats << (id == 14 ? QStringLiteral("m/d/yyyy") : codes.value(id));
            }
        }
    }
    QXmlStreamReader x(member(path, QStringLiteral("xl/worksheets/sheet1.xml")));
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        if (x.name() == QLatin1String("col")) {
            const auto a = x.attributes();
            if (a.hasAttribute(QLatin1String("customWidth")))
                for (int c = a.value(QLatin1String("min")).toInt(); c <= a.value(QLatin1String("max")).toInt(); ++c)
                    sheet.columnWidths[c] = a.value(QLatin1String("width")).toDouble();
            continue;
        }
        if (x.name() != QLatin1String("c"))
            continue;
        const auto a = x.attributes();
        const auto pos = cellRef(a.value(QLatin1String("r")).toString());
        const QString type = a.value(QLatin1String("t")).toString();
        const int style = a.value(QLatin1String("s")).toInt();
        XlsxCell cell;
        cell.format = style < styleFormats.size() ? styleFormats[style] : QString();
        QString v;
        while (!(x.isEndElement() && x.name() == QLatin1String("c")) && !x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && (x.name() == QLatin1String("v") || x.name() == QLatin1String("t")))
                v += x.readElementText();
        }
        if (type == QLatin1String("s")) {
            cell.text = shared.value(v.toInt());
        } else if (type == QLatin1String("inlineStr") || type == QLatin1String("str")) {
            cell.text = v;
        } else {
            cell.number = v.toDouble();
            cell.kind = isDateFormat(cell.format) ? XlsxCell::Date : XlsxCell::Number;
        }
        sheet.cells[pos] = cell;
    }
    if (x.hasError())
        ADD_FAILURE() << "sheet of " << path.toStdString() << ": " << x.errorString().toStdString();
    return sheet;
}

}  // namespace kvtest
