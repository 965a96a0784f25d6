#include "pos/UntVentaCajaCambio.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "einvoice/ElectronicDocument.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/DialogParts.h"
#include "pos/DocumentCorrections.h"
#include "pos/LineGridRules.h"
#include "pos/UntDmVentas.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

namespace {
const QStringList kFields{QStringLiteral("LINEA"),          QStringLiteral("BUSCADOR"),       QStringLiteral("NombreArticulo"),
                          QStringLiteral("CANTIDAD"),       QStringLiteral("PRECIOUNIDAD"),   QStringLiteral("PORCENTAJEDESCUENTO"),
                          QStringLiteral("VALORDESCUENTO"), QStringLiteral("IVA"),            QStringLiteral("VALORIVA"),
                          QStringLiteral("SUBTOTAL")};
}  // namespace

TFrmVentaCajaCambio::TFrmVentaCajaCambio(DocumentModule& dm, QWidget* parent)
    : QDialog(parent), dm_(dm), correction_(dm)
{
    setObjectName(QStringLiteral("FrmVentaCajaCambio"));
    setWindowTitle(QStringLiteral("Cambios a  la Factura"));
    setAccessibleName(windowTitle());
    resize(1100, 400);
    auto* main = new QVBoxLayout(this);
    DBGrid1 = new DbGrid(dm_.TFac, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Lineas"));
    // Titles as the sale screen's grid words them; widths in characters.
    const QStringList titles{QStringLiteral("Linea"),     QStringLiteral("Producto"),   QStringLiteral("Articulo"),
                             QStringLiteral("Cantidad"),  QStringLiteral("Valor Unidad"), QStringLiteral("%Descuento"),
                             QStringLiteral("Descuento"), QStringLiteral("% Iva"),      QStringLiteral("Valor Iva"),
                             QStringLiteral("Valor Articulo")};
    const int widths[] = {5, 14, 30, 8, 12, 9, 10, 6, 10, 13};
    QVector<GridColumn> columns;
    for (int i = 0; i < kFields.size(); ++i) {
        const QString& f = kFields[i];
        // The line number, the name and the amounts the module computes are shown, not typed.
        const bool readOnly = f == QLatin1String("LINEA") || f == QLatin1String("NombreArticulo") || f == QLatin1String("IVA") ||
                              f == QLatin1String("VALORIVA") || f == QLatin1String("SUBTOTAL") ||
                              f == QLatin1String("VALORDESCUENTO");
        columns.append({f, titles[i], QString(), readOnly, widths[i]});
    }
    DBGrid1->setColumns(columns);
    main->addWidget(DBGrid1);
    DBGrid1->installEventFilter(this);
    DBGrid1->viewport()->installEventFilter(this);

    LineGridRules::Setup rules;
    rules.completionField = QStringLiteral("CANTIDAD");
    rules.nameField.clear();  // the name shown is the product's own
    rules.arrowsMoveRight = true;
    rules.complete = [this](Dataset& line, Dataset& product) {
        // The catalogue price is a unit's: the line becomes one of units, without discount,
        // stored at once with its document's totals.
        const QString buscador = LineGridRules::codeOf(product);
        // The line takes the new product's tax rates, Ipoconsumo included.
        QVariantMap values{{QStringLiteral("BUSCADOR"), buscador},
                           {QStringLiteral("PRODUCTO"), product[QStringLiteral("PRODUCTO")].value()},
                           {QStringLiteral("PRECIOUNIDAD"), product[QStringLiteral("VALORUNIDAD")].asFloat()},
                           {QStringLiteral("UNIDADMOVIMIENTO"), QStringLiteral("UN")},
                           {QStringLiteral("DESCUENTO"), 0.0},
                           {QStringLiteral("VALORIVA"), 0.0},
                           {QStringLiteral("VALORDESCUENTO"), 0.0},
                           {QStringLiteral("SUBTOTAL"), 0.0},
                           {QStringLiteral("PORCENTAJEDESCUENTO"), 0.0}};
        values.insert(TDmVentas::taxRatesOf(product));
        line.Cancel();
        dm_.changeLine(values);
    };
    rules_ = new LineGridRules(dm_, DBGrid1, rules, this);
    DBGrid1->setFocus();
}

TFrmVentaCajaCambio::~TFrmVentaCajaCambio() { deleteChildWidgets(this); }

int TFrmVentaCajaCambio::column(const QString& field) const { return int(kFields.indexOf(field)); }

bool TFrmVentaCajaCambio::eventFilter(QObject* o, QEvent* e)
{
    if (o == DBGrid1 && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && dm_.TFac.isEditing()) {
            guarded([this] { dm_.TFac.Post(); });
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            if (dm_.TFac.isEditing())
                dm_.TFac.Cancel();
            else
                QDialog::done(Rejected);
            return true;
        }
    }
    if (o == DBGrid1->viewport() && e->type() == QEvent::MouseButtonDblClick &&
        DBGrid1->currentIndex().column() == column(QStringLiteral("CANTIDAD"))) {
        TFrmAutorizacionSupervisor dlg(dm_, this);
        dlg.exec();
        return true;
    }
    return QDialog::eventFilter(o, e);
}

void TFrmVentaCajaCambio::done(int r)
{
    // A line still being edited is stored before the window goes; if it cannot be, the window
    // stays with the line as typed.
    if (dm_.TFac.isEditing() && !guarded([this] { dm_.TFac.Post(); }))
        return;
    QDialog::done(r);
}

TFrmAutorizacionSupervisor::TFrmAutorizacionSupervisor(DocumentModule& dm, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmAutorizacionSupervisor"));
    setWindowTitle(QStringLiteral("AUTORIZACION SUPERVISOR"));
    setAccessibleName(windowTitle());
    auto* main = new QVBoxLayout(this);
    auto* who = new QLabel(QStringLiteral("Autoriza: ") + dm.TCajero.FieldByName(QStringLiteral("NOMBRE")).asString(), this);
    who->setObjectName(QStringLiteral("LabelAutoriza"));
    main->addWidget(who);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BtnOK"));
    ok->setDefault(true);
    main->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CambiaFactura(TDmVentas& dm, QWidget* parent)
{
    if (dm.TCajero.FieldByName(QStringLiteral("CAMBIAPRECIO")).asString() != QLatin1String("S")) {
        // Changing an invoice changes its prices: a cashier without that privilege is told why
        // nothing opens, rather than left wondering.
        ShowMessage(QStringLiteral("Usted no tiene permiso para cambiar precios; pida a un supervisor que cambie la "
                                   "factura."));
        return;
    }
    const std::optional<SaleDocumentKey> key = askSaleDocument(dm, QStringLiteral("Modificar"));
    if (!key)
        return;
    // The document the screen stood on (the one being sold, perhaps) is where the module goes back.
    std::optional<SaleDocumentKey> before;
    if (dm.TIniFac.active() && !dm.TIniFac.IsEmpty())
        before = SaleDocumentKey{dm.TIniFac.FieldByName(QStringLiteral("EMPRESA")).asString(),
                                 dm.TIniFac.FieldByName(QStringLiteral("DOCUMENTO")).asString(),
                                 dm.TIniFac.FieldByName(QStringLiteral("CONSECUTIVO")).asInteger()};
    if (!dm.openDocument(key->empresa, key->documento, key->consecutivo)) {
        ShowMessage(QStringLiteral("Factura No Existe"));
        return;
    }
    struct Back {
        TDmVentas& dm;
        const std::optional<SaleDocumentKey>& before;
        // Runs while the change window's own work may be unwinding: a database error here is shown
        // like any other instead of leaving the destructor (which would end the program).
        ~Back()
        {
            if (before)
                guarded([this] { dm.openDocument(before->empresa, before->documento, before->consecutivo); });
        }
    } back{dm, before};
    if (!saleIssued(dm.DbPos, *key)) {
        // Without an electronic document the lines are corrected where they are.
        TFrmVentaCajaCambio dlg(dm, parent);
        dlg.exec();
        return;
    }
    if (storedDocument(dm.DbPos, key->empresa, key->documento, key->consecutivo, kTipoNotaAjuste)) {
        ShowMessage(QStringLiteral("La factura %1 está anulada; no se puede cambiar.").arg(key->consecutivo));
        return;
    }
    // Its document is signed: the corrected lines go into a new sale that replaces it.
    const SaleDocumentKey draft{key->empresa, key->documento, startCorrection(dm, *key)};
    bool replaced = false;
    try {
        {
            TFrmVentaCajaCambio dlg(dm, parent);
            dlg.setWindowTitle(QStringLiteral("Cambios a  la Factura %1 (nueva factura %2)")
                                   .arg(key->consecutivo)
                                   .arg(draft.consecutivo));
            dlg.exec();
        }
        const int lineas = dm.DbPos
                               .scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE EMPRESA = :E AND "
                                                      "DOCUMENTO = :D AND CONSECUTIVO = :C"),
                                       {{QStringLiteral("E"), draft.empresa},
                                        {QStringLiteral("D"), draft.documento},
                                        {QStringLiteral("C"), draft.consecutivo}})
                               .toInt();
        if (correctionChangesNothing(dm, *key, draft)) {
            ShowMessage(QStringLiteral("No se cambió nada: la factura %1 queda como estaba.").arg(key->consecutivo));
        } else if (lineas == 0) {
            ShowMessage(QStringLiteral("La factura no puede quedar sin líneas; para anularla use \"Anula Facturas\"."));
        } else {
            const double nuevo = saleAmount(dm.DbPos, draft);
            if (AskYesNo(QStringLiteral("¿Reemplazar la factura %1 por la factura %2 de %3? La factura %1 se anula con su "
                                        "nota de ajuste.")
                             .arg(key->consecutivo)
                             .arg(draft.consecutivo)
                             .arg(FormatFloat(QStringLiteral("###,###.00"), nuevo)))) {
                const CorrectionOutcome done = replaceSale(dm, *key, draft);
                replaced = true;
                ShowMessage(correctionText(*key, done));
                // The customer takes the new sale's invoice, with its own document.
                if (printInvoice(dm.DbPos, draft, invoicePrintFor(InvoiceCaller::MainReprint, InvoicePaper::Roll), parent) !=
                    PrintResult::Printed)
                    ShowMessage(QStringLiteral("La factura %1 quedó guardada, pero no se imprimió. Puede reimprimirla.")
                                    .arg(draft.consecutivo));
            }
        }
    } catch (...) {
        if (!replaced)
            guarded([&] { dropCorrection(dm, draft); });
        throw;
    }
    if (!replaced)
        dropCorrection(dm, draft);
}

}  // namespace kv
