#pragma once
// "Impresion de Etiquetas": program 13 of the module menu. The user picks up to 20 products per
// block from the product list (double click or Enter) with a number of labels for each; "Imprimir"
// writes the block to ETIQUETAS and shows the labels in a print preview. The block stays after
// printing, so printing again prints it again; a new screen starts an empty block.
#include "platform/DataScreen.h"

class QLabel;
class QTableWidget;

namespace kv {

class TFrmImprimeEtiquetas : public DataScreen {
    Q_OBJECT
public:
    explicit TFrmImprimeEtiquetas(Connection& db, QWidget* parent = nullptr);
    ~TFrmImprimeEtiquetas() override;

    static constexpr int kBlock = 20;

    Dataset& TbProductos() { return productos_; }

    QPushButton* BtnImprimir;  // "Imprimir"
    QLineEdit* Edit1;          // "Buscar Por Nombre"
    QLineEdit* Edit2;          // "Buscar Por Codigo"
    DbGrid* DBGrid1;           // the products, "Doble Click Para Seleccionar"
    QTableWidget* StringGrid1; // the block: "Producto", "Numero Etiquetas"

    // Entries of the block so far (0 to 20).
    int entries() const { return count_; }

public slots:
    // Adds the product the list stands on to the block, asking how many labels.
    void DBGrid1DblClick();
    void BtnImprimirClick();
    void Edit1Click();
    void Edit2Click();
    void Edit1Change(const QString& text);
    void Edit2Change(const QString& text);

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    // The block's products whose stored barcode no scanner reads (a wrong check digit, or not
    // digits), one line each; empty when all are fine.
    QStringList unreadableBarcodes();
    Dataset& productos_;
    int count_ = 0;
};

}  // namespace kv
