#pragma once
// "Caja Tres", the roaming seller's register (cashier level "8"): it loads an open document by its
// number and adds items to it; the document is collected later at the collection register. The
// document is looked for under the company and document type of the parameter row in force.
#include "pos/variants/ItemEntryScreen.h"

namespace kv {

class DbEdit;

class TFrmVentaCaja3 : public ItemEntryScreen {
    Q_OBJECT
public:
    explicit TFrmVentaCaja3(TDmVentas& dm, QWidget* parent = nullptr);

    DbEdit* DBEditTasa;  // "Tasa de Cambio "

    void Edit1Enter() override;
    void DBGrid1DblClick() override;

protected:
    void finishDocument() override;
    bool addAfterSearch() const override { return false; }
    void afterPriceChange() override;
    void showEvent(QShowEvent* e) override;
};

}  // namespace kv
