#pragma once
// The shelf labels: one label per row of ETIQUETAS, three across on a roll 102.4 mm wide, each
// strip 24.1 mm long. A label holds the product's EAN-13 or EAN-8 bars with their digits, its
// number, its name and its price with IVA.
#include "data/Dataset.h"
#include "report/Report.h"

namespace kv {

class TFrmImprimeEtiquetasRpt {
public:
    explicit TFrmImprimeEtiquetasRpt(Connection& db);

    // The price on the label: IVA is added only to a price that does not already include it.
    static double precio(double valorUnidad, double iva, bool ivaIncluido);

    Report& report() { return rpt_; }
    Document render();

    // The label rows: products joined to ETIQUETAS, in product and label order.
    static QString sql();

private:
    Dataset q_;
    Report rpt_;
};

}  // namespace kv
