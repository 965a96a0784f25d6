#include "backoffice/UntTableroVentas.h"

#include "common/Dates.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "data/Dataset.h"
#include "platform/DbGrid.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "platform/ReportOutput.h"
#include "pos/CashReports.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QGraphicsScene>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>

#include <cmath>

namespace kv {

namespace {

const QString kMoney = QStringLiteral("###,##0.00");

const QColor kNow(31, 119, 180);
const QColor kBefore(190, 190, 190);

// The charts whose bars carry units or documents rather than money.
bool countsUnits(DashboardChart c)
{
    return c == DashboardChart::TopCantidad || c == DashboardChart::DocumentosElectronicos;
}

// Long names (products, people) are read along a horizontal bar.
bool horizontal(DashboardChart c)
{
    return c == DashboardChart::TopValor || c == DashboardChart::TopCantidad || c == DashboardChart::PorGrupo ||
           c == DashboardChart::PorCajero || c == DashboardChart::PorVendedor;
}

QString objectKey(DashboardChart c)
{
    switch (c) {
    case DashboardChart::PorHora: return QStringLiteral("PorHora");
    case DashboardChart::PorDia: return QStringLiteral("PorDia");
    case DashboardChart::TopValor: return QStringLiteral("TopValor");
    case DashboardChart::TopCantidad: return QStringLiteral("TopCantidad");
    case DashboardChart::PorGrupo: return QStringLiteral("PorGrupo");
    case DashboardChart::PorCajero: return QStringLiteral("PorCajero");
    case DashboardChart::PorVendedor: return QStringLiteral("PorVendedor");
    case DashboardChart::PorPago: return QStringLiteral("PorPago");
    case DashboardChart::DocumentosElectronicos: return QStringLiteral("DocumentosElectronicos");
    }
    return QString();
}

const DashboardChart kCharts[] = {DashboardChart::PorHora,  DashboardChart::PorDia,   DashboardChart::TopValor,
                                  DashboardChart::TopCantidad, DashboardChart::PorGrupo, DashboardChart::PorPago,
                                  DashboardChart::PorCajero, DashboardChart::PorVendedor,
                                  DashboardChart::DocumentosElectronicos};

QString shortCaption(const QString& s)
{
    return s.size() > 28 ? s.left(27).trimmed() + QStringLiteral("…") : s;
}

// The amount axis with the shop's number format: a round step, five or so labels.
QCategoryAxis* amountAxis(double low, double high, bool whole)
{
    low = std::min(0.0, low);
    high = std::max(high, low + (whole ? 1.0 : 1.0));
    const double raw = (high - low) / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double n = raw / magnitude;
    double step = (n <= 1 ? 1 : n <= 2 ? 2 : n <= 5 ? 5 : 10) * magnitude;
    if (whole)
        step = std::max(1.0, std::round(step));
    const double first = std::floor(low / step) * step;
    const double last = std::ceil(high / step) * step;
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setStartValue(first);
    for (double v = first + step; v <= last + step / 2; v += step)
        axis->append(FormatFloat(QStringLiteral("###,##0."), v), v);
    axis->setRange(first, last);
    axis->setGridLineVisible(true);
    return axis;
}

QString setName(const DashboardFilter& f)
{
    return FormatDateTime(QStringLiteral("dd/mm/yyyy"), f.first) +
           (f.last != f.first ? QStringLiteral(" al ") + FormatDateTime(QStringLiteral("dd/mm/yyyy"), f.last) : QString());
}

// The bars a chart draws, in the order of its categories: horizontal charts bottom up, so the
// largest stands at the top; the hours from the first to the last that sold in either period, so
// the opening hours fill the chart. `before` takes the previous period's hours alongside.
std::vector<DashboardBar> chartBars(const DashboardFigures& f, DashboardChart chart,
                                    std::vector<DashboardBar>* before = nullptr)
{
    std::vector<DashboardBar> bars = dashboardBars(f, chart);
    if (chart == DashboardChart::PorHora) {
        size_t lo = 0, hi = bars.size();
        auto busy = [&](size_t h) {
            return bars[h].valor != 0 || bars[h].cantidad != 0 ||
                   (h < f.porHoraAnterior.size() && f.porHoraAnterior[h].valor != 0);
        };
        while (lo < hi && !busy(lo))
            ++lo;
        while (hi > lo && !busy(hi - 1))
            --hi;
        if (lo == hi) {
            lo = 0;
            hi = bars.size();
        }
        if (before)
            before->assign(f.porHoraAnterior.begin() + long(std::min(lo, f.porHoraAnterior.size())),
                           f.porHoraAnterior.begin() + long(std::min(hi, f.porHoraAnterior.size())));
        return std::vector<DashboardBar>(bars.begin() + long(lo), bars.begin() + long(hi));
    }
    if (horizontal(chart))
        std::reverse(bars.begin(), bars.end());
    return bars;
}

}  // namespace

TFrmTableroVentas::TFrmTableroVentas(Connection& db, QWidget* parent, const QDate& today)
    : QDialog(parent), db_(db), today_(today)
{
    setObjectName(QStringLiteral("FrmTableroVentas"));
    setWindowTitle(QStringLiteral("Tablero de Ventas"));
    // A dashboard is read at a glance: as much of the screen as the smallest register's gives.
    resize(1340, 720);
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(4);

    auto* choices = new QHBoxLayout;
    CmbPeriodo = new QComboBox(this);
    CmbPeriodo->setObjectName(QStringLiteral("CmbPeriodo"));
    CmbPeriodo->addItems({QStringLiteral("Hoy"), QStringLiteral("Ayer"), QStringLiteral("Esta semana"),
                          QStringLiteral("Este mes"), QStringLiteral("Rango de fechas")});
    EditDesde = makeDateBox(QStringLiteral("EditDesde"), this);
    EditHasta = makeDateBox(QStringLiteral("EditHasta"), this);
    EditDesde->setDate(today_);
    EditHasta->setDate(today_);
    CmbEmpresa = new QComboBox(this);
    CmbEmpresa->setObjectName(QStringLiteral("CmbEmpresa"));
    CmbSucursal = new QComboBox(this);
    CmbSucursal->setObjectName(QStringLiteral("CmbSucursal"));
    CmbCaja = new QComboBox(this);
    CmbCaja->setObjectName(QStringLiteral("CmbCaja"));
    // Narrow enough for the whole row on a 1366 pixel screen; long names show in the open list.
    CmbEmpresa->setMaximumWidth(190);
    CmbSucursal->setMaximumWidth(160);
    CmbCaja->setMaximumWidth(160);
    choices->addWidget(captionFor(QStringLiteral("&Periodo"), CmbPeriodo, this));
    choices->addWidget(CmbPeriodo);
    choices->addWidget(captionFor(QStringLiteral("&Desde"), EditDesde, this));
    choices->addWidget(EditDesde);
    choices->addWidget(captionFor(QStringLiteral("&Hasta"), EditHasta, this));
    choices->addWidget(EditHasta);
    choices->addSpacing(12);
    choices->addWidget(captionFor(QStringLiteral("&Empresa"), CmbEmpresa, this));
    choices->addWidget(CmbEmpresa);
    choices->addWidget(captionFor(QStringLiteral("&Sucursal"), CmbSucursal, this));
    choices->addWidget(CmbSucursal);
    choices->addWidget(captionFor(QStringLiteral("&Caja"), CmbCaja, this));
    choices->addWidget(CmbCaja);
    choices->addStretch(1);
    BtnActualizar = makeActionButton(QStringLiteral("BtnActualizar"), QStringLiteral("&Actualizar"), this,
                                     [this] { BtnActualizarClick(); });
    BtnImprimir = makeActionButton(QStringLiteral("BtnImprimir"), QStringLiteral("&Imprimir / PDF"), this,
                                   [this] { BtnImprimirClick(); });
    choices->addWidget(BtnActualizar);
    choices->addWidget(BtnImprimir);
    layout->addLayout(choices);

    LblPeriodo = new QLabel(this);
    LblPeriodo->setObjectName(QStringLiteral("LblPeriodo"));
    layout->addWidget(LblPeriodo);

    auto* tilesFrame = new QWidget(this);
    tilesFrame->setObjectName(QStringLiteral("Totales"));
    tiles_ = new QGridLayout(tilesFrame);
    tiles_->setContentsMargins(0, 0, 0, 0);
    tiles_->setSpacing(4);
    layout->addWidget(tilesFrame);

    PageGraficos = new QTabWidget(this);
    PageGraficos->setObjectName(QStringLiteral("PageGraficos"));
    PageGraficos->setAccessibleName(QStringLiteral("Gráficos"));
    auto page = [this](const QString& caption, std::initializer_list<DashboardChart> charts) {
        auto* w = new QWidget(PageGraficos);
        auto* row = new QHBoxLayout(w);
        row->setContentsMargins(2, 2, 2, 2);
        for (DashboardChart c : charts)
            row->addWidget(chartPanel(c, w), 1);
        PageGraficos->addTab(w, caption);
    };
    page(QStringLiteral("Horas y días"), {DashboardChart::PorHora, DashboardChart::PorDia});
    page(QStringLiteral("Productos"), {DashboardChart::TopValor, DashboardChart::TopCantidad});
    page(QStringLiteral("Grupos y formas de pago"), {DashboardChart::PorGrupo, DashboardChart::PorPago});
    page(QStringLiteral("Cajeros y vendedores"), {DashboardChart::PorCajero, DashboardChart::PorVendedor});
    page(QStringLiteral("Documentos electrónicos"), {DashboardChart::DocumentosElectronicos});
    layout->addWidget(PageGraficos, 1);

    fillChoices();
    CmbPeriodo->setCurrentIndex(int(DashboardPeriod::Today));
    CmbPeriodoChange();
    connect(CmbPeriodo, &QComboBox::activated, this, [this] { guarded([this] { CmbPeriodoChange(); }); });
    for (QComboBox* c : {CmbEmpresa, CmbSucursal, CmbCaja})
        connect(c, &QComboBox::activated, this, [this] { guarded([this] { BtnActualizarClick(); }); });
}

void TFrmTableroVentas::fillChoices()
{
    CmbEmpresa->addItem(QStringLiteral("Todas"), QVariant());
    for (const QVariantMap& r : queryRows(db_, QStringLiteral("SELECT EMPRESA, NOMBRE FROM EMPRESAS ORDER BY EMPRESA")))
        CmbEmpresa->addItem(r.value(QStringLiteral("EMPRESA")).toString() + QStringLiteral(" ") +
                                r.value(QStringLiteral("NOMBRE")).toString(),
                            r.value(QStringLiteral("EMPRESA")));
    CmbSucursal->addItem(QStringLiteral("Todas"), QVariant());
    for (const QVariantMap& r : queryRows(db_, QStringLiteral("SELECT BODEGA, NOMBRE FROM BODEGAS ORDER BY BODEGA")))
        CmbSucursal->addItem(r.value(QStringLiteral("BODEGA")).toString() + QStringLiteral(" ") +
                                 r.value(QStringLiteral("NOMBRE")).toString(),
                             r.value(QStringLiteral("BODEGA")));
    CmbCaja->addItem(QStringLiteral("Todas"), QVariant());
    for (const QVariantMap& r : queryRows(db_, QStringLiteral("SELECT CAJA, NOMBRE FROM POSCAJAS ORDER BY CAJA")))
        CmbCaja->addItem(r.value(QStringLiteral("NOMBRE")).toString(), r.value(QStringLiteral("CAJA")));
}

DashboardPeriod TFrmTableroVentas::period() const { return DashboardPeriod(CmbPeriodo->currentIndex()); }

DashboardFilter TFrmTableroVentas::filter() const
{
    DashboardFilter f;
    const auto [first, last] = periodDays(period(), today_, EditDesde->date(), EditHasta->date());
    f.first = first;
    f.last = last;
    f.empresa = CmbEmpresa->currentData().toString();
    f.bodega = CmbSucursal->currentData();
    f.caja = CmbCaja->currentData();
    return f;
}

void TFrmTableroVentas::CmbPeriodoChange()
{
    const bool range = period() == DashboardPeriod::Range;
    EditDesde->setEnabled(range);
    EditHasta->setEnabled(range);
    if (!range) {
        const auto [first, last] = periodDays(period(), today_);
        EditDesde->setDate(first);
        EditHasta->setDate(last);
    }
    BtnActualizarClick();
}

void TFrmTableroVentas::BtnActualizarClick()
{
    const DashboardFilter f = filter();
    if (period() == DashboardPeriod::Range && EditDesde->date() > EditHasta->date()) {
        ShowMessage(QStringLiteral("La fecha \"Desde\" es posterior a la fecha \"Hasta\"."));
        return;
    }
    figures_ = readDashboard(db_, f, period());
    LblPeriodo->setText(QStringLiteral("Ventas del %1, comparadas con el %2.  %3")
                            .arg(setName(f), setName(figures_.previousFilter), alcance()));
    showTotals();
    showCharts();
}

QString TFrmTableroVentas::alcance() const
{
    return QStringLiteral("Empresa: %1 · Sucursal: %2 · Caja: %3")
        .arg(CmbEmpresa->currentText(), CmbSucursal->currentText(), CmbCaja->currentText());
}

void TFrmTableroVentas::showTotals()
{
    while (QLayoutItem* item = tiles_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QList<QVariantMap> rows = totalsRows(figures_);
    const int perRow = (int(rows.size()) + 1) / 2;
    int i = 0;
    for (const QVariantMap& r : rows) {
        const QString concepto = r.value(QStringLiteral("CONCEPTO")).toString();
        auto* tile = new QFrame(tiles_->parentWidget());
        tile->setFrameShape(QFrame::StyledPanel);
        tile->setObjectName(QStringLiteral("Tile%1").arg(i));
        tile->setAccessibleName(concepto);
        auto* v = new QVBoxLayout(tile);
        v->setContentsMargins(6, 3, 6, 3);
        v->setSpacing(0);
        auto* caption = new QLabel(concepto, tile);
        auto* value = new QLabel(r.value(QStringLiteral("ACTUAL")).toString(), tile);
        value->setObjectName(QStringLiteral("Valor"));
        value->setAccessibleName(concepto);
        QFont big = value->font();
        big.setBold(true);
        big.setPointSizeF(big.pointSizeF() * 1.35);
        value->setFont(big);
        QString before = QStringLiteral("Anterior: ") + r.value(QStringLiteral("ANTERIOR")).toString();
        const QString change = r.value(QStringLiteral("VARIACION")).toString();
        if (!change.isEmpty())
            before += QStringLiteral("  (") + change + QLatin1Char(')');
        auto* previous = new QLabel(before, tile);
        previous->setObjectName(QStringLiteral("Anterior"));
        previous->setAccessibleName(concepto + QStringLiteral(" anterior"));
        v->addWidget(caption);
        v->addWidget(value);
        v->addWidget(previous);
        tiles_->addWidget(tile, i / perRow, i % perRow);
        ++i;
    }
}

QWidget* TFrmTableroVentas::chartPanel(DashboardChart chart, QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    auto* view = new QChartView(panel);
    view->setObjectName(QStringLiteral("Chart") + objectKey(chart));
    view->setAccessibleName(dashboardChartTitle(chart));
    view->setRenderHint(QPainter::Antialiasing);
    views_[chart] = view;
    auto* png = makeActionButton(QStringLiteral("BtnPng") + objectKey(chart), QStringLiteral("Guardar imagen..."),
                                 panel, [this, chart] { askAndSavePng(chart); });
    png->setToolTip(QStringLiteral("Guarda este gráfico como imagen PNG"));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(png);
    v->addWidget(view, 1);
    v->addLayout(row);
    return panel;
}

const std::vector<DashboardBar>& TFrmTableroVentas::barsShown(DashboardChart chart) const
{
    static const std::vector<DashboardBar> none;
    const auto it = shown_.find(chart);
    return it == shown_.end() ? none : it->second;
}

QChartView* TFrmTableroVentas::chartView(DashboardChart chart) const
{
    const auto it = views_.find(chart);
    return it == views_.end() ? nullptr : it->second;
}

QChart* TFrmTableroVentas::makeChart(DashboardChart chart) const
{
    const DashboardFigures& f = figures_;
    std::vector<DashboardBar> previousHours;
    const std::vector<DashboardBar> bars = chartBars(f, chart, &previousHours);
    const bool across = horizontal(chart);

    auto* c = new QChart;
    c->setTitle(dashboardChartTitle(chart));
    QFont titleFont = c->titleFont();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    c->setTitleFont(titleFont);
    c->setAnimationOptions(QChart::NoAnimation);
    c->setMargins(QMargins(4, 4, 4, 4));

    const bool units = countsUnits(chart);
    auto* now = new QBarSet(chart == DashboardChart::PorHora ? setName(f.filter) : QStringLiteral("Periodo"));
    now->setColor(kNow);
    QStringList categories;
    double low = 0, high = 0;
    for (const DashboardBar& b : bars) {
        const double v = units ? b.cantidad : b.valor;
        now->append(v);
        // The axis takes each caption once and drops a repeated one, which would leave its bar
        // without a place: two products whose names begin alike (or two cashiers of one name) are
        // told apart by their key.
        QString caption = across ? shortCaption(b.caption) : b.caption;
        if (categories.contains(caption))
            caption = shortCaption(b.caption).left(22) + QStringLiteral(" (") + b.key.toString() + QLatin1Char(')');
        categories << caption;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    QAbstractBarSeries* series = across ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                        : static_cast<QAbstractBarSeries*>(new QBarSeries);
    series->append(now);
    if (chart == DashboardChart::PorHora) {
        // The same hours of the period compared with, beside each bar.
        auto* before = new QBarSet(setName(f.previousFilter));
        before->setColor(kBefore);
        for (const DashboardBar& b : previousHours) {
            before->append(b.valor);
            high = std::max(high, b.valor);
        }
        series->append(before);
    }
    series->setBarWidth(0.8);
    c->addSeries(series);
    c->legend()->setVisible(chart == DashboardChart::PorHora);
    c->legend()->setAlignment(Qt::AlignBottom);

    auto* categoryAxis = new QBarCategoryAxis;
    categoryAxis->append(categories);
    categoryAxis->setTruncateLabels(false);  // names are already cut to 28 characters
    QCategoryAxis* valueAxis = amountAxis(low, high, units);
    c->addAxis(categoryAxis, across ? Qt::AlignLeft : Qt::AlignBottom);
    c->addAxis(valueAxis, across ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(categoryAxis);
    series->attachAxis(valueAxis);
    if (chart == DashboardChart::PorDia && categories.size() > 16)
        categoryAxis->setLabelsAngle(-90);
    return c;
}

void TFrmTableroVentas::showCharts()
{
    for (DashboardChart chart : kCharts) {
        QChartView* view = views_.at(chart);
        QChart* old = view->chart();
        QChart* c = makeChart(chart);
        view->setChart(c);
        delete old;  // setChart leaves the old chart to its caller

        shown_[chart] = chartBars(figures_, chart);

        const auto sets = static_cast<QAbstractBarSeries*>(c->series().first())->barSets();
        for (int s = 0; s < sets.size(); ++s) {
            QBarSet* set = sets[s];
            connect(set, &QBarSet::clicked, this, [this, chart, s](int index) {
                guarded([&] { drillDown(chart, index, s); });
            });
            connect(set, &QBarSet::hovered, this, [this, chart, set](bool on, int index) {
                if (!on || index < 0 || index >= set->count())
                    return;
                const auto& shown = barsShown(chart);
                const QString caption = index < int(shown.size()) ? shown[size_t(index)].caption : QString();
                QToolTip::showText(QCursor::pos(),
                                   caption + QStringLiteral(": ") +
                                       FormatFloat(countsUnits(chart) ? QStringLiteral("###,##0.##") : kMoney,
                                                   set->at(index)) +
                                       QStringLiteral("\nClic para ver el detalle"));
            });
        }
    }
}

QByteArray TFrmTableroVentas::chartPng(DashboardChart chart, const QSize& size) const
{
    // Laid out at half the size and drawn at twice the scale: the texts keep their proportion to
    // the bars and print sharp.
    QGraphicsScene scene;
    QChart* c = makeChart(chart);
    scene.addItem(c);  // the scene owns it from here
    const QSizeF layout(size.width() / 2.0, size.height() / 2.0);
    c->resize(layout);
    scene.setSceneRect(QRectF(QPointF(0, 0), layout));
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    scene.render(&p, QRectF(QPointF(0, 0), QSizeF(size)), scene.sceneRect());
    p.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

bool TFrmTableroVentas::saveChartPng(DashboardChart chart, const QString& path)
{
    QSaveFile f(path);
    const QByteArray png = chartPng(chart);
    if (!f.open(QIODevice::WriteOnly) || f.write(png) != png.size() || !f.commit()) {
        ShowMessage(QStringLiteral("No se pudo guardar la imagen en %1.").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
}

void TFrmTableroVentas::askAndSavePng(DashboardChart chart)
{
    QFileDialog dlg(this, QStringLiteral("Guardar gráfico como imagen"));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setOptions(QFileDialog::DontUseNativeDialog);
    dlg.setNameFilter(QStringLiteral("Imagen PNG (*.png)"));
    dlg.setDefaultSuffix(QStringLiteral("png"));
    dlg.selectFile(objectKey(chart) + QStringLiteral(".png"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    saveChartPng(chart, dlg.selectedFiles().first());
}

QDialog* TFrmTableroVentas::drillDown(DashboardChart chart, int index, int set)
{
    const auto& bars = barsShown(chart);
    if (index < 0 || index >= int(bars.size()))
        return nullptr;
    const DashboardBar& bar = bars[size_t(index)];
    const DashboardFilter& f = set == 1 ? figures_.previousFilter : figures_.filter;
    const DashboardDrill drill = drillStatement(f, chart, bar.key);

    auto* dlg = new QDialog(this);
    dlg->setObjectName(QStringLiteral("FrmDetalleTablero"));
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->setWindowTitle(dashboardChartTitle(chart) + QStringLiteral(": ") + bar.caption);
    auto* ds = new Dataset(db_, dlg);
    ds->setObjectName(QStringLiteral("QDetalle"));
    ds->setSql(drill.sql);
    for (auto it = drill.params.cbegin(); it != drill.params.cend(); ++it)
        ds->setParam(it.key(), it.value());
    ds->Open();

    QVector<GridColumn> columns;
    const bool lines = chart == DashboardChart::TopValor || chart == DashboardChart::TopCantidad ||
                       chart == DashboardChart::PorGrupo;
    if (chart == DashboardChart::DocumentosElectronicos)
        columns = {gridColumn(QStringLiteral("FECHA"), QStringLiteral("Fecha")),
                   gridColumn(QStringLiteral("CONSECUTIVO"), QStringLiteral("Factura")),
                   gridColumn(QStringLiteral("TIPO"), QStringLiteral("Tipo")),
                   gridColumn(QStringLiteral("NUMERO"), QStringLiteral("Documento")),
                   gridColumn(QStringLiteral("ESTADO"), QStringLiteral("Estado"))};
    else if (lines)
        columns = {gridColumn(QStringLiteral("FECHA"), QStringLiteral("Fecha")),
                   gridColumn(QStringLiteral("CONSECUTIVO"), QStringLiteral("Factura")),
                   gridColumn(QStringLiteral("NOMBRE"), QStringLiteral("Producto"), QString(), 30),
                   gridColumn(QStringLiteral("CANTIDAD"), QStringLiteral("Cantidad"), QStringLiteral("###,##0.##")),
                   gridColumn(QStringLiteral("UNIDADMOVIMIENTO"), QStringLiteral("Unidad")),
                   gridColumn(QStringLiteral("VALOR"), QStringLiteral("Valor"), kMoney)};
    else
        columns = {gridColumn(QStringLiteral("FECHA"), QStringLiteral("Fecha")),
                   gridColumn(QStringLiteral("CONSECUTIVO"), QStringLiteral("Factura")),
                   gridColumn(QStringLiteral("NOMBRECLIENTE"), QStringLiteral("Cliente"), QString(), 30),
                   gridColumn(QStringLiteral("CAJA"), QStringLiteral("Caja"), QStringLiteral("###,###.")),
                   gridColumn(QStringLiteral("TIPODEPAGO"), QStringLiteral("Pago")),
                   gridColumn(QStringLiteral("VALOR"), QStringLiteral("Valor"), kMoney)};
    auto* grid = new DbGrid(*ds, dlg);
    grid->setObjectName(QStringLiteral("GridDetalle"));
    grid->setAccessibleName(dlg->windowTitle());
    grid->setColumns(columns);
    grid->datasetModel()->setReadOnly(true);

    int count = 0;
    double total = 0;
    const QList<QVariantMap> sums = queryRows(db_, drill.sumSql, drill.params);
    count = sums.value(0).value(QStringLiteral("N")).toInt();
    total = sums.value(0).value(QStringLiteral("VALOR")).toDouble();
    auto* sum = new QLabel(dlg);
    sum->setObjectName(QStringLiteral("LblTotalDetalle"));
    sum->setText(chart == DashboardChart::DocumentosElectronicos
                     ? QStringLiteral("%1 documentos del %2").arg(count).arg(setName(f))
                     : QStringLiteral("%1 %2 del %3 por %4")
                           .arg(count)
                           .arg(lines ? QStringLiteral("líneas") : QStringLiteral("ventas"), setName(f),
                                FormatFloat(kMoney, total)));
    auto* v = new QVBoxLayout(dlg);
    v->addWidget(grid, 1);
    v->addWidget(sum);
    auto* close = new QPushButton(QStringLiteral("&Cerrar"), dlg);
    close->setObjectName(QStringLiteral("BtnCerrar"));
    connect(close, &QPushButton::clicked, dlg, &QDialog::close);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(close);
    v->addLayout(row);
    dlg->resize(820, 480);
    dlg->show();
    return dlg;
}

std::unique_ptr<Report> TFrmTableroVentas::buildReport() const
{
    std::vector<DashboardPicture> pictures;
    for (DashboardChart c : kCharts)
        pictures.push_back({dashboardChartTitle(c), chartPng(c)});
    return dashboardReport(figures_, readLetterhead(db_), alcance(), pictures);
}

void TFrmTableroVentas::BtnImprimirClick() { outputReport(buildReport(), QStringLiteral("TABLERO"), this); }

}  // namespace kv
