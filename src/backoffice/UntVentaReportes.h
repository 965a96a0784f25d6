#pragma once
// "Reportes de Ventas": the back office's hub for a day's sales. A day (and, for the IVA report,
// a last day), a register and a cashier to report on; the daily listings and "Iva Generado" in a
// print preview; the exports and transfers; and "Conectar..." for the removable database the
// transfers use.
#include "data/Connection.h"
#include "pos/CashReports.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

namespace kv {

class TFrmVentaReportes : public QDialog {
    Q_OBJECT
public:
    // pos: the sales; removable: the connection "Conectar..." points at the chosen file.
    TFrmVentaReportes(Connection& pos, Connection& removable, QWidget* parent = nullptr);

    QDateEdit* DateTimePicker1;  // "Fecha del reporte "
    QDateEdit* DateTimePicker2;  // "Hasta": the last day of "Iva Generado"
    QComboBox* DBLookupComboBox1;  // registers, by name
    QComboBox* DBLookupComboBox2;  // cashiers, by name
    QPushButton* BtnPorCaja;       // "Reporte Por Caja"
    QPushButton* BtnPorCajero;     // "Reporte Por Cajero" (first)
    QPushButton* BtnPorCajero2;    // "Reporte Por Cajero" (second)
    QPushButton* BtnCierreDiario;  // "Cierre Diario"
    QPushButton* BtnExcel;         // "A Excel"
    QPushButton* BtnCuadre;        // "Cuadre de Caja Diario"
    QPushButton* BtnIva;           // "Iva Generado"
    QPushButton* BtnConsolidado;   // "Consolidado Ventas Por producto a Excel"
    QPushButton* BtnCopiarKorvela;    // "Copiar Korvela"
    QPushButton* BtnCopiarTerceros;   // "Copiar Terceros"
    QPushButton* BtnCopiarProductos;  // "Copiar Productos"
    QLineEdit* Edit1;              // "Dirección Base Datos Removible :"
    QPushButton* BtnConectar;      // "Conectar..."

    // The chosen register (POSCAJAS.CAJA) and cashier (POSCAJEROS.CEDULA); null when none.
    QVariant caja() const;
    QVariant cajero() const;
    // The company and document type the chosen register sells under: its parameter row's.
    QString empresa() const;
    QString documento() const;

public slots:
    void BtnPorCajaClick();
    void BtnPorCajeroClick();
    void BtnPorCajero2Click();
    void BtnIvaClick();
    void BtnExcelClick();
    void BtnConsolidadoClick();
    void BtnCierreDiarioClick();
    void BtnCopiarKorvelaClick();
    void BtnCopiarTercerosClick();
    void BtnCopiarProductosClick();
    void BtnConectarClick();
    void Edit1DblClick();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QString parameter(const QString& column) const;
    // The chosen day, with the company and document type of the chosen register.
    CashReportParams day() const;
    Connection& pos_;
    Connection& removable_;
};

}  // namespace kv
