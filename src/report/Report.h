#pragma once
// Band reports. A Report is a page set-up in millimetres and a set of bands (title, page header,
// column header, group headers and footers, detail, sub-detail, summary, page footer), each band
// holding items placed in millimetres. render() walks the rows, runs each band's before-print
// hook, lays the bands out page by page and returns a Document.
//
// Typical use:
//     kv::Report rpt(QStringLiteral("CAJEROS"));
//     rpt.page() = kv::PageSetup::letter();
//     rpt.pageHeader().setHeight(20).addText(0, 0, 195.9, 5, QStringLiteral("SISTEMA P.O.S.")).centre();
//     auto& d = rpt.detail().setHeight(4.5);
//     d.addField(0, 0, 30, 4.5, QStringLiteral("CEDULA"), QStringLiteral("###,###."));
//     rpt.setSource(cursor);
//     kv::preview(rpt.render());
#include "report/Document.h"
#include "report/RowSource.h"

#include <QByteArray>
#include <QDateTime>
#include <QVariant>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace kv {

class Band;
class Report;

struct PageSetup {
    double width = 215.9;    // mm, of the sheet in portrait
    double height = 279.4;
    double top = 10, bottom = 10, left = 10, right = 10;
    bool landscape = false;  // swaps width and height when printing
    int columns = 1;         // column bands (detail, groups, sub-details) fill this many columns
    double columnGap = 0;    // mm between columns
    bool columnsAcross = false;  // fill a row of columns before moving down (labels); else fill
                                 // a column to the bottom before starting the next
    // Receipt roll: the paper is one long strip cut into pages of this size. Content continues on
    // further pages of the same size, and the page footer follows the last band instead of being
    // pushed to the bottom of the page, so a printer that trims blank paper feeds no more than
    // was printed.
    bool roll = false;

    static PageSetup letter();                         // 215.9 x 279.4, 10 mm margins
    static PageSetup halfLetter();                     // 215.9 x 139.7
    static PageSetup rollPaper(double width, double length);  // no margins, roll = true

    double sheetWidth() const { return landscape ? height : width; }
    double sheetHeight() const { return landscape ? width : height; }
    double printableWidth() const { return sheetWidth() - left - right; }
    double columnWidth() const;
};

enum class ItemKind { Text, Field, Line, Rectangle, Image, Barcode };

// What a Field item prints.
enum class ValueSource {
    Row,           // the column `field` of the band's current row
    Total,         // the running total named `field`
    PageNumber,    // the page the band lands on, from 1
    PageCount,     // the number of pages of the whole document
    PrintTime,     // the moment the report was rendered (dates use datePicture)
    RecordNumber,  // the number of detail rows printed so far
};

struct ReportItem {
    ItemKind kind = ItemKind::Text;
    QString name;
    QRectF rect;  // mm from the band's top-left; a Line runs from topLeft to bottomRight

    QString text;  // Text: the caption. Barcode without a field: the code
    ValueSource source = ValueSource::Row;
    QString field;  // column (or total) that Field, Image and Barcode items read
    // A value set in code (typically in a hook); while set, it is printed instead of the field.
    QVariant value;
    bool hasValue = false;

    QString picture;      // numbers: FormatFloat picture; empty prints the plain form
    QString datePicture;  // dates: FormatDateTime picture; empty gives dd/mm/yyyy
    QString prefix, suffix;  // printed around a non-empty formatted value
    bool nullAsZero = false;  // a null number prints as 0 through the picture instead of blank

    ReportFont font;
    Qt::Alignment alignment = Qt::AlignLeft;  // within the item's width
    bool wordWrap = false;  // break into lines at the item's width; more lines grow the band
    bool visible = true;

    double penWidth = 0.2;  // mm, lines and rectangles
    bool filled = false;
    QByteArray imageData;   // Image: the bytes of a picture file (PNG, JPEG, BMP, ...)
    bool keepAspect = true;

    // Chainable set-up.
    ReportItem& named(const QString& n) { name = n; return *this; }
    ReportItem& setText(const QString& t) { text = t; return *this; }
    ReportItem& setValue(const QVariant& v) { value = v; hasValue = true; return *this; }
    ReportItem& clearValue() { value.clear(); hasValue = false; return *this; }
    ReportItem& withPicture(const QString& p) { picture = p; return *this; }
    ReportItem& withDatePicture(const QString& p) { datePicture = p; return *this; }
    ReportItem& withPrefix(const QString& p) { prefix = p; return *this; }
    ReportItem& withSuffix(const QString& s) { suffix = s; return *this; }
    ReportItem& zeroWhenNull(bool on = true) { nullAsZero = on; return *this; }
    ReportItem& left() { alignment = Qt::AlignLeft; return *this; }
    ReportItem& centre() { alignment = Qt::AlignHCenter; return *this; }
    ReportItem& right() { alignment = Qt::AlignRight; return *this; }
    ReportItem& bold(bool on = true) { font.bold = on; return *this; }
    ReportItem& italic(bool on = true) { font.italic = on; return *this; }
    ReportItem& size(double points) { font.size = points; return *this; }
    ReportItem& family(const QString& f) { font.family = f; return *this; }
    ReportItem& wrap(bool on = true) { wordWrap = on; return *this; }
    ReportItem& pen(double mm) { penWidth = mm; return *this; }
    ReportItem& fill(bool on = true) { filled = on; return *this; }
    ReportItem& show(bool on) { visible = on; return *this; }
};

enum class BandType {
    Title,            // once, on the first page, below the page header
    PageHeader,       // top of every page
    ColumnHeader,     // below the page header (and title), once per column
    GroupHeader,      // when a group's value changes
    Detail,           // once per row
    SubDetailHeader,  // before the rows of a sub-detail, when it has any
    SubDetail,        // once per row of a second source
    SubDetailFooter,  // after the rows of a sub-detail, when it has any
    GroupFooter,      // after the last row of a group, with that row current
    Summary,          // once, after everything else
    PageFooter,       // bottom of every page
};

// What a before-print hook receives. Setting print to false suppresses the band this time.
struct BandEvent {
    Band& band;
    const RowSource& row;   // the band's current row (for a group footer: the group's last row)
    Report& report;
    int page;               // the page being filled, from 1
    const RowSource* master = nullptr;  // sub-detail bands: the detail row they belong to
    bool print = true;
};
using BeforePrint = std::function<void(BandEvent&)>;

class Band {
public:
    explicit Band(BandType type, double height = 0) : type_(type), height_(height) {}
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;

    BandType type() const { return type_; }
    double height() const { return height_; }
    Band& setHeight(double mm) { height_ = mm; return *this; }

    QString name;
    BeforePrint beforePrint;
    bool enabled = true;        // a disabled band never prints (its hook does not run either)
    bool forceNewPage = false;  // column bands: start a new page unless the page is still empty
    bool onFirstPage = true;    // page header and footer: print on the first page
    bool onLastPage = true;     // page footer: print on the last page

    ReportItem& add(ItemKind kind, const QRectF& mm);
    ReportItem& addText(double x, double y, double w, double h, const QString& text);
    ReportItem& addField(double x, double y, double w, double h, const QString& field,
                         const QString& picture = QString());
    // A field showing a running total, the page number, the page count, the print time or the
    // record number.
    ReportItem& addSystem(double x, double y, double w, double h, ValueSource source,
                          const QString& totalName = QString());
    ReportItem& addLine(double x1, double y1, double x2, double y2, double penMm = 0.2);
    ReportItem& addRect(double x, double y, double w, double h, double penMm = 0.2);
    ReportItem& addImage(double x, double y, double w, double h, const QByteArray& pictureFile);
    ReportItem& addImageField(double x, double y, double w, double h, const QString& field);
    // A barcode of the code in the column `field`; with an empty field the item's text (or a
    // value set on it) is the code.
    ReportItem& addBarcode(double x, double y, double w, double h, const QString& field);

    // The item with that name; raises std::out_of_range naming it when there is none.
    ReportItem& item(const QString& name);
    ReportItem* find(const QString& name);
    std::deque<ReportItem>& items() { return items_; }
    const std::deque<ReportItem>& items() const { return items_; }

private:
    BandType type_;
    double height_;
    std::deque<ReportItem> items_;  // a deque keeps references valid while items are added
};

// Rows are grouped while `key` keeps its value; the header prints before the first row of a
// group, the footer after its last row.
class Group {
public:
    std::function<QVariant(const RowSource&)> key;
    QString name;

    Band& header();
    Band& footer();
    bool hasHeader() const { return header_ != nullptr; }
    bool hasFooter() const { return footer_ != nullptr; }

private:
    std::unique_ptr<Band> header_, footer_;
};

// Rows of a second source printed for each detail row (a document's lines, say), or once after
// all detail rows when `afterDetails` is set (a receipt's tax summary after its lines).
class SubDetail {
public:
    RowSource* source = nullptr;
    bool afterDetails = false;
    // Called before the rows are walked, with the detail row they belong to (or the last row
    // when afterDetails): the place to set a query's parameters and open it.
    std::function<void(const RowSource& master)> prepare;

    Band& band();
    Band& header();
    Band& footer();
    Band* bandPtr() const { return band_.get(); }
    Band* headerPtr() const { return header_.get(); }
    Band* footerPtr() const { return footer_.get(); }

private:
    friend class Report;
    std::unique_ptr<Band> band_, header_, footer_;
    std::unique_ptr<RowSource> owned_;
};

// A sum (or a count) over the printed detail rows. It starts at 0 with each rendering and, when it
// belongs to a group, goes back to 0 after that group's footer.
struct Total {
    QString name;
    std::function<double(const RowSource&)> expression;  // null: counts rows
    int group = -1;  // index of the group it resets with; -1: runs over the whole report
    double value = 0;
};

class Report {
public:
    explicit Report(const QString& title = QString());
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    QString title;
    PageSetup& page() { return page_; }
    const PageSetup& page() const { return page_; }

    // The single bands; each is created, with height 0, on first use.
    Band& band(BandType type);
    Band& titleBand() { return band(BandType::Title); }
    Band& pageHeader() { return band(BandType::PageHeader); }
    Band& columnHeader() { return band(BandType::ColumnHeader); }
    Band& detail() { return band(BandType::Detail); }
    Band& summary() { return band(BandType::Summary); }
    Band& pageFooter() { return band(BandType::PageFooter); }
    Band* findBand(BandType type) const;

    // Groups nest in the order they are added: the first is the outermost.
    Group& addGroup(const QString& field);
    Group& addGroup(std::function<QVariant(const RowSource&)> key);
    Group& group(int index) { return *groups_.at(index); }
    int groupCount() const { return int(groups_.size()); }

    SubDetail& addSubDetail(RowSource& source, bool afterDetails = false);
    SubDetail& addSubDetail(QList<QVariantMap> rows, bool afterDetails = false);

    // Sums a column (null counts as 0), an expression, or counts rows.
    Total& addTotal(const QString& name, const QString& field, int group = -1);
    Total& addTotal(const QString& name, std::function<double(const RowSource&)> expression, int group = -1);
    Total& addCount(const QString& name, int group = -1);
    // The current value of a total; hooks may read it. Raises std::out_of_range for a wrong name.
    double total(const QString& name) const;

    // Where the rows come from. Without a source the report prints its title, headers and summary.
    void setSource(RowSource& source);
    void setRows(QList<QVariantMap> rows);
    RowSource* source() const { return source_; }

    // The moment printed by PrintTime fields; the time of rendering unless set.
    void setPrintTime(const QDateTime& t) { printTime_ = t; }

    Document render();

private:
    friend class ReportRenderer;
    PageSetup page_;
    std::vector<std::unique_ptr<Band>> bands_;
    std::vector<std::unique_ptr<Group>> groups_;
    std::vector<std::unique_ptr<SubDetail>> subDetails_;
    std::vector<Total> totals_;
    RowSource* source_ = nullptr;
    std::unique_ptr<RowSource> ownedSource_;
    QDateTime printTime_;
};

// How a value prints in a Field item: numbers through the picture, dates through the date
// picture, null as blank (or 0 through the picture when nullAsZero), text as it is.
QString formatValue(const QVariant& value, const ReportItem& item);

}  // namespace kv
