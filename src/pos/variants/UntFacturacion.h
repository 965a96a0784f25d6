#pragma once
// "Ventas", the restaurant's sale screen (cashier level "2"). Every dining table keeps one open
// sale document: the waiter picks a table by area, a free table gets a new document for the
// customer typed, "&+" adds the dishes of a batch through the item picker and sends the kitchen its
// ticket, and "&Facturar" collects the document through the register's payment window and frees the
// table.
//
// A table is free when it points at no document, or at one that is closed (collected or voided,
// here or at another register) or gone. A new document is given only to a free table, and the
// table is taken with one statement that changes it only if it still points where it did when it
// was read, so two stations opening the same table never leave a bill behind. Several stations may
// add to one table's document at once: every line goes through the sales module's operations.
#include "data/Dataset.h"
#include "print/InvoicePrinting.h"

#include <QDialog>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace kv {

class DbEdit;
class DbGrid;
class DbLookupComboBox;
class DbText;
class TDmVentas;

class TFrmFacturacion : public QDialog {
    Q_OBJECT
public:
    explicit TFrmFacturacion(TDmVentas& dm, QWidget* parent = nullptr);
    ~TFrmFacturacion() override;

    static constexpr int kAreas = 4;

    Dataset TPedido;            // MESAS
    Dataset QGrupoM;            // the areas
    Dataset QMesas1, QMesas2, QMesas3, QMesas4;  // the tables of one area each
    Dataset* QMesas[kAreas];
    Dataset TMesero;            // MESERO

    QLabel* LabelCaja;
    QLabel* LabelCajero;
    QGroupBox* GroupMesas;      // "Mesas"
    QTabWidget* PageMesas;
    DbGrid* DBGridMesas[kAreas];
    QGroupBox* GroupCliente;    // "Cliente"
    QLineEdit* EditCliente;     // "Nit o Cèdula Cliente"
    DbText* DBTextMesa;         // "Mesa"
    QWidget* PanelFactura;      // the open document's values
    DbText* DBTextCliente;      // "Cliente"
    DbText* DBTextFactura;      // "Factura"
    DbLookupComboBox* DBLookupMesero;  // "Mesero"
    DbEdit* DBEditPersonas;     // "Personas"
    DbText* DBTextNeto;         // "Valor a Pagar"
    QPushButton* BtnFacturar;   // "&Facturar"
    QPushButton* BtnMas;        // "&+"
    DbGrid* DBGrid1;            // the document's lines
    QStatusBar* StatusBar1;
    QLabel* PanelMensaje;
    QAction* Informes1;
    QAction* ReimprimeFactura1;
    QAction* CambiaFactura1;
    QAction* EgresoCaja1;
    QAction* AnulaFacturas1;

    // True while the current table's document is shown.
    bool documentOpen() const { return documentOpen_; }

    // The screen's steps, as its keys call them.
    void selectTable(int area);  // the current row of that area's grid
    void EditClienteEnter();
    void EditClienteSearch();
    void BtnMasClick();
    void BtnFacturarClick();
    void Informes1Click();
    void ReimprimeFactura1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void FormCreate();
    // Shows the current table's document, or the table as free (after re-reading the table's row).
    void showTable();
    void showDocument(bool open);
    // The table's document when it is open; 0 when the table is free (its document closed or gone:
    // then the table is also set free, unless it changed meanwhile).
    int openDocumentOfTable();
    // The key of the current table's bill as the table stores it (a table occupied before the
    // company and document type were stored with it: those of the parameter row in force).
    SaleDocumentKey tableBill();
    // Sets the current table's PEDIDO from `from` to `to` (with the key of the module's current
    // document when `to` is one, none when the table is set free); false when another station
    // changed it first.
    bool moveTable(const QVariant& from, int to);
    // The same statement alone, inside whatever transaction is open, without reading the table again.
    bool markTable(const QVariant& from, int to);
    // The area followed by "Mesa " and the table's number.
    QString tableText();
    void showMessagePanel(const QString& text);

    static constexpr int kRowsAround = 4;

    TDmVentas& dm_;
    int headerPageSize_ = 0;  // of the module's headers, given back on closing
    bool tableChosen_ = false;
    bool documentOpen_ = false;
};

}  // namespace kv
