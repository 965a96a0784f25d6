#pragma once
// Invoice header and footer lines (POSLINEATOP, POSLINEABOTTOM) and the business logo
// (REGISTRO.LOGO): program 4 of the module menu. The receipts print the lines by their number;
// the page invoices print the logo.
#include "platform/DataScreen.h"

#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;

namespace kv {

class TFrmLineasFacturas : public DataScreen {
    Q_OBJECT
public:
    explicit TFrmLineasFacturas(Connection& db, QWidget* parent = nullptr);

    Dataset& TTop() { return top_; }
    Dataset& TBotton() { return bottom_; }
    Dataset& TRegistro() { return registro_; }

    QGroupBox* GroupBox1;     // "Lineas Arriba"
    DbGrid* DBGrid1;
    QGroupBox* GroupBox2;     // "Lineas Abajo"
    DbGrid* DBGrid2;
    QGroupBox* GroupBox3;     // "Logo"
    QPushButton* SpeedButton1;  // "Carga Logo"
    QLabel* Image1;           // the logo, stretched to the box

    // The picture-open dialog; returns the chosen file or an empty text when cancelled.
    // Replaceable so that the logo can be loaded without a person at the screen.
    std::function<QString()> OpenPictureDialog1;

    void FormCreate();
    void TTopAfterInsert(Dataset& ds);
    void TBottonAfterInsert(Dataset& ds);
    void SpeedButton1Click();
    // Shows REGISTRO.LOGO in Image1 (empty when there is none or it is not a picture).
    void showLogo();

    // The texts of the "Tipo" pick list; the one-letter column keeps their first letter.
    static const QStringList& tipoItems();
    // The next number of a new line of table: the highest plus one, 1 on an empty table.
    static int nextLinea(Connection& db, const QString& table);

private:
    DbGrid* linesGrid(Dataset& lines, const QString& name, const QString& caption, const QString& detailTitle,
                      QWidget* parent);

    Dataset& top_;
    Dataset& bottom_;
    Dataset& registro_;
};

}  // namespace kv
