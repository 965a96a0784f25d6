#include "report/Report.h"

#include "common/Dates.h"
#include "common/Numbers.h"
#include "report/Barcode.h"
#include "report/Fonts.h"

#include <QHash>

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace kv {

// ---------------------------------------------------------------------------------------------
// Page set-up

PageSetup PageSetup::letter() { return PageSetup(); }

PageSetup PageSetup::halfLetter()
{
    PageSetup p;
    p.height = 139.7;
    return p;
}

PageSetup PageSetup::rollPaper(double width, double length)
{
    PageSetup p;
    p.width = width;
    p.height = length;
    p.top = p.bottom = p.left = p.right = 0;
    p.roll = true;
    return p;
}

double PageSetup::columnWidth() const
{
    const int n = std::max(1, columns);
    return (printableWidth() - (n - 1) * columnGap) / n;
}

// ---------------------------------------------------------------------------------------------
// Bands, groups, sub-details

ReportItem& Band::add(ItemKind kind, const QRectF& mm)
{
    ReportItem& it = items_.emplace_back();
    it.kind = kind;
    it.rect = mm;
    return it;
}

ReportItem& Band::addText(double x, double y, double w, double h, const QString& text)
{
    return add(ItemKind::Text, QRectF(x, y, w, h)).setText(text);
}

ReportItem& Band::addField(double x, double y, double w, double h, const QString& field, const QString& picture)
{
    ReportItem& it = add(ItemKind::Field, QRectF(x, y, w, h));
    it.field = field;
    it.picture = picture;
    it.name = field;
    return it;
}

ReportItem& Band::addSystem(double x, double y, double w, double h, ValueSource source, const QString& totalName)
{
    ReportItem& it = add(ItemKind::Field, QRectF(x, y, w, h));
    it.source = source;
    it.field = totalName;
    it.name = totalName;
    return it;
}

ReportItem& Band::addLine(double x1, double y1, double x2, double y2, double penMm)
{
    return add(ItemKind::Line, QRectF(QPointF(x1, y1), QPointF(x2, y2))).pen(penMm);
}

ReportItem& Band::addRect(double x, double y, double w, double h, double penMm)
{
    return add(ItemKind::Rectangle, QRectF(x, y, w, h)).pen(penMm);
}

ReportItem& Band::addImage(double x, double y, double w, double h, const QByteArray& pictureFile)
{
    ReportItem& it = add(ItemKind::Image, QRectF(x, y, w, h));
    it.imageData = pictureFile;
    return it;
}

ReportItem& Band::addImageField(double x, double y, double w, double h, const QString& field)
{
    ReportItem& it = add(ItemKind::Image, QRectF(x, y, w, h));
    it.field = field;
    it.name = field;
    return it;
}

ReportItem& Band::addBarcode(double x, double y, double w, double h, const QString& field)
{
    ReportItem& it = add(ItemKind::Barcode, QRectF(x, y, w, h));
    it.field = field;
    it.name = field;
    return it;
}

ReportItem* Band::find(const QString& name)
{
    for (ReportItem& it : items_)
        if (it.name == name)
            return &it;
    return nullptr;
}

ReportItem& Band::item(const QString& name)
{
    if (ReportItem* it = find(name))
        return *it;
    throw std::out_of_range("report band has no item named " + name.toStdString());
}

Band& Group::header()
{
    if (!header_)
        header_ = std::make_unique<Band>(BandType::GroupHeader);
    return *header_;
}

Band& Group::footer()
{
    if (!footer_)
        footer_ = std::make_unique<Band>(BandType::GroupFooter);
    return *footer_;
}

Band& SubDetail::band()
{
    if (!band_)
        band_ = std::make_unique<Band>(BandType::SubDetail);
    return *band_;
}

Band& SubDetail::header()
{
    if (!header_)
        header_ = std::make_unique<Band>(BandType::SubDetailHeader);
    return *header_;
}

Band& SubDetail::footer()
{
    if (!footer_)
        footer_ = std::make_unique<Band>(BandType::SubDetailFooter);
    return *footer_;
}

// ---------------------------------------------------------------------------------------------
// Report set-up

Report::Report(const QString& t) : title(t) {}
Report::~Report() = default;

Band* Report::findBand(BandType type) const
{
    for (const auto& b : bands_)
        if (b->type() == type)
            return b.get();
    return nullptr;
}

Band& Report::band(BandType type)
{
    if (Band* b = findBand(type))
        return *b;
    if (type == BandType::GroupHeader || type == BandType::GroupFooter || type == BandType::SubDetail ||
        type == BandType::SubDetailHeader || type == BandType::SubDetailFooter)
        throw std::logic_error("group and sub-detail bands belong to their Group or SubDetail");
    bands_.push_back(std::make_unique<Band>(type));
    return *bands_.back();
}

Group& Report::addGroup(const QString& field)
{
    Group& g = addGroup([field](const RowSource& row) { return row.value(field); });
    g.name = field;
    return g;
}

Group& Report::addGroup(std::function<QVariant(const RowSource&)> key)
{
    groups_.push_back(std::make_unique<Group>());
    groups_.back()->key = std::move(key);
    return *groups_.back();
}

SubDetail& Report::addSubDetail(RowSource& source, bool afterDetails)
{
    subDetails_.push_back(std::make_unique<SubDetail>());
    SubDetail& sd = *subDetails_.back();
    sd.source = &source;
    sd.afterDetails = afterDetails;
    return sd;
}

SubDetail& Report::addSubDetail(QList<QVariantMap> rows, bool afterDetails)
{
    auto owned = std::make_unique<VectorRowSource>(std::move(rows));
    SubDetail& sd = addSubDetail(*owned, afterDetails);
    sd.owned_ = std::move(owned);
    return sd;
}

Total& Report::addTotal(const QString& name, const QString& field, int group)
{
    return addTotal(name, [field](const RowSource& row) { return row.value(field).toDouble(); }, group);
}

Total& Report::addTotal(const QString& name, std::function<double(const RowSource&)> expression, int group)
{
    totals_.push_back(Total{name, std::move(expression), group, 0});
    return totals_.back();
}

Total& Report::addCount(const QString& name, int group) { return addTotal(name, std::function<double(const RowSource&)>(), group); }

double Report::total(const QString& name) const
{
    for (const Total& t : totals_)
        if (t.name == name)
            return t.value;
    throw std::out_of_range("report has no total named " + name.toStdString());
}

void Report::setSource(RowSource& source)
{
    ownedSource_.reset();
    source_ = &source;
}

void Report::setRows(QList<QVariantMap> rows)
{
    ownedSource_ = std::make_unique<VectorRowSource>(std::move(rows));
    source_ = ownedSource_.get();
}

// ---------------------------------------------------------------------------------------------
// Values

namespace {

bool isNumberType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

QString withAffixes(const QString& formatted, const ReportItem& it)
{
    if (formatted.isEmpty())
        return formatted;
    return it.prefix + formatted + it.suffix;
}

}  // namespace

QString formatValue(const QVariant& v, const ReportItem& it)
{
    if (!v.isValid() || v.isNull())
        return it.nullAsZero ? FormatFloat(it.picture, 0) : QString();
    const int type = v.typeId();
    if (isNumberType(type))
        return FormatFloat(it.picture, v.toDouble());
    switch (type) {
    case QMetaType::QDate:
        return FormatDateTime(it.datePicture.isEmpty() ? QStringLiteral("dd/mm/yyyy") : it.datePicture, v.toDate());
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        QString pic = it.datePicture;
        if (pic.isEmpty())
            pic = dt.time() == QTime(0, 0) ? QStringLiteral("dd/mm/yyyy") : QStringLiteral("dd/mm/yyyy hh:nn:ss");
        return FormatDateTime(pic, dt);
    }
    case QMetaType::QTime:
        return FormatDateTime(it.datePicture.isEmpty() ? QStringLiteral("hh:nn:ss") : it.datePicture,
                              QDateTime(QDate(2000, 1, 1), v.toTime()));
    case QMetaType::QByteArray:
        return QString();
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        break;
    }
    QString s = v.toString();
    // A picture on a field means a number, even when the cursor hands it over as text.
    if (!it.picture.isEmpty() && IsNumber(s))
        return FormatFloat(it.picture, StrToFloat(s));
    return s;
}

// ---------------------------------------------------------------------------------------------
// Layout

class ReportRenderer {
public:
    explicit ReportRenderer(Report& r) : r_(r), ps_(r.page_) {}
    Document run();

private:
    // A band made ready for placing: its items relative to the band, and its final height.
    struct Prepared {
        QList<DocItem> items;
        QList<QPair<int, const ReportItem*>> pageNumbers, pageCounts;
        double height = 0;
        bool forceNewPage = false;
    };
    struct PendingCount {
        int page, item;
        const ReportItem* source;
    };

    std::optional<Prepared> prepare(Band* band, const RowSource& row, const RowSource* master = nullptr);
    void put(const Prepared& p, double x, double y);
    void startPage(const RowSource& row);
    void finishPage(bool last, const RowSource& row);
    void newPage(const RowSource& row);
    void closeRow();
    void placeFull(const std::optional<Prepared>& p, const RowSource& row);
    void placeColumn(std::vector<Prepared>& block, const RowSource& row);
    void placeColumn(std::optional<Prepared>&& p, const RowSource& row);
    void printSubDetail(SubDetail& sd, const RowSource& master);
    void accumulate(const RowSource& row);
    void resetTotals(int fromGroup);
    double columnX(int c) const { return ps_.left + c * (ps_.columnWidth() + ps_.columnGap); }
    QImage imageOf(const QByteArray& bytes);

    Report& r_;
    const PageSetup ps_;
    Document doc_;
    QDateTime now_;
    FixedRow noRow_;
    int pageNo_ = 0;
    double y_ = 0;            // next free position in the current column (across: below the row)
    double usedBottom_ = 0;   // lowest point reached by any column of the page
    double columnTop_ = 0;    // where column bands start on this page
    double bottomLimit_ = 0;  // where column bands must end (above the page footer)
    double rowTop_ = 0;       // across: top of the current row of columns
    int col_ = 0;
    bool pageHasBody_ = false;
    int records_ = 0;
    QList<PendingCount> pendingCounts_;
    QHash<QByteArray, QImage> images_;
};

QImage ReportRenderer::imageOf(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return QImage();
    auto it = images_.find(bytes);
    if (it == images_.end())
        it = images_.insert(bytes, QImage::fromData(bytes));
    return it.value();
}

std::optional<ReportRenderer::Prepared> ReportRenderer::prepare(Band* band, const RowSource& row,
                                                                const RowSource* master)
{
    if (!band || !band->enabled)
        return std::nullopt;
    if (band->beforePrint) {
        BandEvent e{*band, row, r_, pageNo_, master, true};
        band->beforePrint(e);
        if (!e.print)
            return std::nullopt;
    }
    Prepared p;
    p.height = band->height();
    p.forceNewPage = band->forceNewPage;
    struct Growth {
        double bottom, by;
    };
    std::vector<Growth> growths;
    QList<QRectF> original;
    for (const ReportItem& it : band->items()) {
        if (!it.visible)
            continue;
        DocItem d;
        d.name = it.name;
        d.rect = it.rect;
        d.font = it.font;
        d.alignment = it.alignment;
        d.penWidth = it.penWidth;
        d.filled = it.filled;
        d.keepAspect = it.keepAspect;
        switch (it.kind) {
        case ItemKind::Text:
            d.kind = DocItemKind::Text;
            d.text = it.text;
            break;
        case ItemKind::Field: {
            d.kind = DocItemKind::Text;
            QVariant v;
            if (it.hasValue) {
                v = it.value;
            } else {
                switch (it.source) {
                case ValueSource::Row:
                    v = row.value(it.field);
                    break;
                case ValueSource::Total:
                    v = r_.total(it.field);
                    break;
                case ValueSource::PageNumber:
                    p.pageNumbers.append({int(p.items.size()), &it});
                    break;
                case ValueSource::PageCount:
                    p.pageCounts.append({int(p.items.size()), &it});
                    break;
                case ValueSource::PrintTime:
                    v = now_;
                    break;
                case ValueSource::RecordNumber:
                    v = records_;
                    break;
                }
            }
            d.text = withAffixes(formatValue(v, it), it);
            break;
        }
        case ItemKind::Line:
            d.kind = DocItemKind::Line;
            break;
        case ItemKind::Rectangle:
            d.kind = DocItemKind::Rectangle;
            break;
        case ItemKind::Image: {
            d.kind = DocItemKind::Image;
            const QByteArray bytes = it.hasValue ? it.value.toByteArray()
                                     : it.field.isEmpty() ? it.imageData
                                                          : row.value(it.field).toByteArray();
            d.image = imageOf(bytes);
            break;
        }
        case ItemKind::Barcode: {
            d.kind = DocItemKind::Barcode;
            QString code = it.hasValue ? it.value.toString() : it.field.isEmpty() ? it.text : row.value(it.field).toString();
            while (code.endsWith(QLatin1Char(' ')))
                code.chop(1);
            eanPattern(code);  // a malformed code stops the report here, not later at the printer
            d.text = code;
            break;
        }
        }
        if (d.kind == DocItemKind::Text) {
            d.lineHeight = lineHeightMm(d.font);
            if (it.wordWrap) {
                const QStringList lines = wrapText(d.text, d.rect.width(), d.font);
                d.text = lines.join(QLatin1Char('\n'));
                const double needed = lines.size() * d.lineHeight;
                if (needed > d.rect.height() + 1e-6) {
                    growths.push_back({d.rect.bottom(), needed - d.rect.height()});
                    d.rect.setHeight(needed);
                }
            }
        }
        original.append(it.rect);
        p.items.append(d);
    }
    if (!growths.empty()) {
        // Items below a grown text move down with it, and the band grows by the largest move.
        double bandGrowth = 0;
        for (qsizetype i = 0; i < p.items.size(); ++i) {
            const QRectF& o = original[i];
            const double top = std::min(o.top(), o.bottom());
            double shift = 0;
            for (const Growth& g : growths)
                if (g.bottom <= top + 1e-6)
                    shift = std::max(shift, g.by);
            DocItem& d = p.items[i];
            d.rect.translate(0, shift);
            bandGrowth = std::max(bandGrowth, shift + (d.rect.height() - o.height()));
        }
        p.height += bandGrowth;
    }
    return p;
}

void ReportRenderer::put(const Prepared& p, double x, double y)
{
    QList<DocItem>& items = doc_.pages.back().items;
    for (qsizetype i = 0; i < p.items.size(); ++i) {
        DocItem d = p.items[i];
        d.rect.translate(x, y);
        for (const auto& [idx, src] : p.pageNumbers)
            if (idx == i)
                d.text = withAffixes(formatValue(pageNo_, *src), *src);
        for (const auto& [idx, src] : p.pageCounts)
            if (idx == i)
                pendingCounts_.append({pageNo_ - 1, int(items.size()), src});
        items.append(std::move(d));
    }
}

void ReportRenderer::startPage(const RowSource& row)
{
    doc_.pages.append(DocPage());
    pageNo_ = int(doc_.pages.size());
    y_ = ps_.top;
    pageHasBody_ = false;
    double reserve = 0;
    if (Band* f = r_.findBand(BandType::PageFooter); f && f->enabled && (pageNo_ > 1 || f->onFirstPage))
        reserve = f->height();
    bottomLimit_ = doc_.pageSize.height() - ps_.bottom - reserve;

    Band* header = r_.findBand(BandType::PageHeader);
    if (header && (pageNo_ > 1 || header->onFirstPage))
        if (auto p = prepare(header, row)) {
            put(*p, ps_.left, y_);
            y_ += p->height;
        }
    if (pageNo_ == 1)
        if (auto p = prepare(r_.findBand(BandType::Title), row)) {
            put(*p, ps_.left, y_);
            y_ += p->height;
        }
    if (auto p = prepare(r_.findBand(BandType::ColumnHeader), row)) {
        for (int c = 0; c < std::max(1, ps_.columns); ++c)
            put(*p, columnX(c), y_);
        y_ += p->height;
    }
    columnTop_ = rowTop_ = usedBottom_ = y_;
    col_ = 0;
    pageHasBody_ = false;
}

void ReportRenderer::closeRow()
{
    if (ps_.columnsAcross && col_ > 0) {
        rowTop_ = y_;
        col_ = 0;
    }
}

void ReportRenderer::finishPage(bool last, const RowSource& row)
{
    closeRow();
    Band* footer = r_.findBand(BandType::PageFooter);
    if (!footer || (pageNo_ == 1 && !footer->onFirstPage) || (last && !footer->onLastPage))
        return;
    if (auto p = prepare(footer, row)) {
        const double y = ps_.roll ? std::max(y_, usedBottom_) : doc_.pageSize.height() - ps_.bottom - p->height;
        put(*p, ps_.left, y);
    }
}

void ReportRenderer::newPage(const RowSource& row)
{
    finishPage(false, row);
    startPage(row);
}

void ReportRenderer::placeFull(const std::optional<Prepared>& p, const RowSource& row)
{
    if (!p)
        return;
    closeRow();
    y_ = std::max(y_, usedBottom_);
    if ((p->forceNewPage && pageHasBody_) || (y_ + p->height > bottomLimit_ + 1e-6 && pageHasBody_))
        newPage(row);
    put(*p, ps_.left, y_);
    y_ += p->height;
    usedBottom_ = std::max(usedBottom_, y_);
    pageHasBody_ = true;
}

void ReportRenderer::placeColumn(std::optional<Prepared>&& p, const RowSource& row)
{
    if (!p)
        return;
    std::vector<Prepared> block;
    block.push_back(std::move(*p));
    placeColumn(block, row);
}

void ReportRenderer::placeColumn(std::vector<Prepared>& block, const RowSource& row)
{
    if (block.empty())
        return;
    const int columns = std::max(1, ps_.columns);
    if (block.front().forceNewPage && pageHasBody_)
        newPage(row);
    if (ps_.columnsAcross) {
        for (const Prepared& p : block) {
            if (col_ >= columns) {
                rowTop_ = y_;
                col_ = 0;
            }
            if (col_ == 0 && rowTop_ + p.height > bottomLimit_ + 1e-6 && rowTop_ > columnTop_ + 1e-6) {
                newPage(row);
                rowTop_ = y_;
            }
            put(p, columnX(col_), rowTop_);
            y_ = std::max(y_, rowTop_ + p.height);
            usedBottom_ = std::max(usedBottom_, y_);
            ++col_;
            pageHasBody_ = true;
        }
        return;
    }
    // Down the page: a group header stays with the row that follows it.
    double needed = 0;
    for (const Prepared& p : block)
        needed += p.height;
    if (y_ + needed > bottomLimit_ + 1e-6 && y_ > columnTop_ + 1e-6) {
        if (++col_ < columns) {
            y_ = columnTop_;
        } else {
            newPage(row);
        }
    }
    for (const Prepared& p : block) {
        // A block taller than a whole column is split between its bands.
        if (y_ + p.height > bottomLimit_ + 1e-6 && y_ > columnTop_ + 1e-6) {
            if (++col_ < columns)
                y_ = columnTop_;
            else
                newPage(row);
        }
        put(p, columnX(col_), y_);
        y_ += p.height;
        usedBottom_ = std::max(usedBottom_, y_);
        pageHasBody_ = true;
    }
}

void ReportRenderer::accumulate(const RowSource& row)
{
    for (Total& t : r_.totals_)
        t.value += t.expression ? t.expression(row) : 1.0;
}

void ReportRenderer::resetTotals(int fromGroup)
{
    for (Total& t : r_.totals_)
        if (t.group >= fromGroup)
            t.value = 0;
}

void ReportRenderer::printSubDetail(SubDetail& sd, const RowSource& master)
{
    if (!sd.source)
        return;
    if (sd.prepare)
        sd.prepare(master);
    RowSource& src = *sd.source;
    src.first();
    if (src.eof())
        return;
    placeColumn(prepare(sd.headerPtr(), src, &master), src);
    FixedRow last;
    while (!src.eof()) {
        placeColumn(prepare(sd.bandPtr(), src, &master), src);
        if (sd.footerPtr())
            last = FixedRow::copyOf(src);
        src.next();
    }
    placeColumn(prepare(sd.footerPtr(), last, &master), last);
}

Document ReportRenderer::run()
{
    doc_.title = r_.title;
    doc_.pageSize = QSizeF(ps_.sheetWidth(), ps_.sheetHeight());
    doc_.landscape = ps_.landscape;
    doc_.roll = ps_.roll;
    now_ = r_.printTime_.isValid() ? r_.printTime_ : QDateTime::currentDateTime();
    for (Total& t : r_.totals_)
        t.value = 0;

    RowSource* src = r_.source_;
    if (src)
        src->first();
    const bool anyRows = src && !src->eof();
    startPage(anyRows ? static_cast<const RowSource&>(*src) : noRow_);

    const int ng = int(r_.groups_.size());
    Band* detail = r_.findBand(BandType::Detail);
    QList<QVariant> previousKeys;
    FixedRow last;
    bool havePrevious = false;
    auto printFooters = [&](int downTo) {
        for (int level = ng - 1; level >= downTo; --level) {
            Group& g = *r_.groups_[level];
            if (g.hasFooter())
                placeColumn(prepare(&g.footer(), last), last);
            resetTotals(level);
        }
    };

    while (src && !src->eof()) {
        QList<QVariant> keys;
        keys.reserve(ng);
        for (const auto& g : r_.groups_)
            keys.append(g->key ? g->key(*src) : QVariant());
        int changed = havePrevious ? ng : 0;
        if (havePrevious)
            for (int level = 0; level < ng; ++level)
                if (keys[level] != previousKeys[level]) {
                    changed = level;
                    break;
                }
        if (havePrevious && changed < ng)
            printFooters(changed);

        std::vector<Prepared> block;
        for (int level = changed; level < ng; ++level) {
            Group& g = *r_.groups_[level];
            if (g.hasHeader())
                if (auto p = prepare(&g.header(), *src))
                    block.push_back(std::move(*p));
        }
        ++records_;  // the row being printed is counted while its band prepares
        if (detail) {
            if (auto p = prepare(detail, *src)) {
                block.push_back(std::move(*p));
                accumulate(*src);
            } else {
                --records_;
            }
        } else {
            accumulate(*src);
        }
        placeColumn(block, *src);

        for (auto& sd : r_.subDetails_)
            if (!sd->afterDetails)
                printSubDetail(*sd, *src);

        last = FixedRow::copyOf(*src);
        previousKeys = keys;
        havePrevious = true;
        src->next();
    }
    if (havePrevious)
        printFooters(0);

    const RowSource& endRow = havePrevious ? static_cast<const RowSource&>(last) : noRow_;
    for (auto& sd : r_.subDetails_)
        if (sd->afterDetails)
            printSubDetail(*sd, endRow);
    placeFull(prepare(r_.findBand(BandType::Summary), endRow), endRow);
    finishPage(true, endRow);

    const int count = doc_.pageCount();
    for (const PendingCount& pc : pendingCounts_)
        doc_.pages[pc.page].items[pc.item].text = withAffixes(formatValue(count, *pc.source), *pc.source);
    return std::move(doc_);
}

Document Report::render()
{
    ReportRenderer renderer(*this);
    return renderer.run();
}

}  // namespace kv
