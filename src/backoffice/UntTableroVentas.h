#pragma once
// "Tablero de Ventas": the owner's view of the shop. A period (today, yesterday, this week, this
// month or a range of days) and the company, branch and register; the totals beside the previous
// period's; charts of the sales by hour, by day, the best products, the product groups, cashiers,
// sellers, payment types and the electronic documents by state. A click on a bar lists the rows
// behind it; the whole dashboard prints (through the report output dialog) and each chart saves
// as a PNG picture. The figures come from backoffice/SalesDashboard.
#include "backoffice/SalesDashboard.h"

#include <QDialog>
#include <QHash>

#include <map>

class QComboBox;
class QDateEdit;
class QGridLayout;
class QLabel;
class QPushButton;
class QTabWidget;

class QChart;
class QChartView;

namespace kv {

class TFrmTableroVentas : public QDialog {
    Q_OBJECT
public:
    // `today` is the day the period choices count from.
    explicit TFrmTableroVentas(Connection& db, QWidget* parent = nullptr, const QDate& today = QDate::currentDate());

    QComboBox* CmbPeriodo;    // "Periodo": Hoy, Ayer, Esta semana, Este mes, Rango de fechas
    QDateEdit* EditDesde;     // "Desde" and "Hasta": the range, shown for the other choices
    QDateEdit* EditHasta;
    QComboBox* CmbEmpresa;    // "Empresa": Todas or one
    QComboBox* CmbSucursal;   // "Sucursal": Todas or one branch
    QComboBox* CmbCaja;       // "Caja": Todas or one register
    QPushButton* BtnActualizar;
    QPushButton* BtnImprimir;
    QLabel* LblPeriodo;       // the days shown and the days compared with
    QTabWidget* PageGraficos;

    DashboardFilter filter() const;
    DashboardPeriod period() const;
    const DashboardFigures& figures() const { return figures_; }
    QChartView* chartView(DashboardChart chart) const;
    // The bars of a chart in the order its categories show them.
    const std::vector<DashboardBar>& barsShown(DashboardChart chart) const;

    // The chart drawn afresh as a picture file (PNG) of `size` pixels, for printing and saving.
    QByteArray chartPng(DashboardChart chart, const QSize& size = QSize(1900, 1000)) const;
    // Writes it; says why and returns false when the file cannot be written.
    bool saveChartPng(DashboardChart chart, const QString& path);
    // The rows behind the bar at `index` of the chart's set `set` (the previous period's set of the
    // hours is 1) in a window of their own, which stays open beside the dashboard.
    QDialog* drillDown(DashboardChart chart, int index, int set = 0);
    // The dashboard as printed.
    std::unique_ptr<Report> buildReport() const;

public slots:
    void BtnActualizarClick();
    void BtnImprimirClick();
    void CmbPeriodoChange();

private:
    void fillChoices();
    void showTotals();
    void showCharts();
    QChart* makeChart(DashboardChart chart) const;
    QWidget* chartPanel(DashboardChart chart, QWidget* parent);
    void askAndSavePng(DashboardChart chart);
    QString alcance() const;

    Connection& db_;
    QDate today_;
    DashboardFigures figures_;
    QGridLayout* tiles_;
    std::map<DashboardChart, QChartView*> views_;
    std::map<DashboardChart, std::vector<DashboardBar>> shown_;
};

}  // namespace kv
