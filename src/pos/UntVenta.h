#pragma once
// The cashier sign-on "Login Cajero" behind program 10: identity number, password and the document
// type new documents take. A right sign-on puts the sales module on the cashier, his register and
// the parameter row of the register's company, then opens the sale screen of his level. When that
// screen closes the window is ready for the next person.
#include "pos/CashierSignOn.h"

#include <functional>

class QComboBox;

namespace kv {

class TDmVentas;

class TFrmVenta : public CashierSignOn {
    Q_OBJECT
public:
    explicit TFrmVenta(TDmVentas& dm, QWidget* parent = nullptr);
    ~TFrmVenta() override;

    QComboBox* DBLookupComboBox1;  // "Documento : "

    // Opens the sale screen of the signed-on cashier's level and returns when it closes
    // (openSaleScreenForLevel unless a test puts something else here).
    std::function<void(const QString& nivel)> openScreen;

public slots:
    void FormActivate();
    void BitBtn1Click() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    // Stores the document type chosen in the list on the parameter row now in force.
    void storeChosenDocument();
    // The list of document types, on the first parameter row's type, nothing chosen yet.
    void fillDocumentTypes();

    TDmVentas& dm_;
    bool documentChosen_ = false;
    bool filling_ = false;
};

// Opens the sale screen of a cashier level ("V", "1": the main register; the other registers' screens
// live in later folders and register themselves with registerSaleScreen at start-up; a level with
// no screen yet says so; "S", "J" and anything else open nothing).
void openSaleScreenForLevel(TDmVentas& dm, const QString& nivel, QWidget* parent);

// The screen a cashier level opens, modal, returning when it closes.
using SaleScreenOpener = std::function<void(TDmVentas& dm, QWidget* parent)>;
// An empty opener takes the level's screen away again.
void registerSaleScreen(const QString& nivel, SaleScreenOpener opener);

// Program 10 of the module tree.
void registerPosPrograms();

}  // namespace kv
