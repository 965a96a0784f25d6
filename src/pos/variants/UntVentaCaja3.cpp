#include "pos/variants/UntVentaCaja3.h"

#include "common/Numbers.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "pos/PermissionWindow.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaPermiso.h"
#include "pos/variants/DocumentLookup.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>

namespace kv {

TFrmVentaCaja3::TFrmVentaCaja3(TDmVentas& dm, QWidget* parent)
    : ItemEntryScreen(dm, QStringLiteral("FrmVentaCaja3"), QStringLiteral("Caja Tres"), QStringLiteral("Factura a Cargar"),
                      parent)
{
    Edit1->setToolTip(QStringLiteral("Número de la factura y Enter; Esc: salir"));
    DBEditTasa = new DbEdit(dm_.TIniFac, QStringLiteral("TASA"), GroupCliente);
    DBEditTasa->setObjectName(QStringLiteral("DBEditTasa"));
    clienteLayout()->addWidget(captionFor(QStringLiteral("Tasa de Cambio "), DBEditTasa, GroupCliente), 2, 2);
    clienteLayout()->addWidget(DBEditTasa, 2, 3);
    // The rate is stored with the document as soon as it is typed.
    connect(DBEditTasa, &QLineEdit::editingFinished, this, [this] {
        guarded([this] {
            if (dm_.TIniFac.isEditing())
                dm_.TIniFac.Post();
        });
    });
    buildLayout(false);
    resize(900, 600);
}

void TFrmVentaCaja3::showEvent(QShowEvent* e)
{
    ItemEntryScreen::showEvent(e);
    if (e->spontaneous())
        return;
    guarded([this] {
        showCashier();
        toWaiting();
    });
}

void TFrmVentaCaja3::Edit1Enter()
{
    showMessagePanel(QStringLiteral("Ventas"));
    bool number = false;
    const int numero = Edit1->text().trimmed().toInt(&number);
    const std::optional<bool> closed = number ? documentClosed(dm_, numero) : std::nullopt;
    if (!closed) {
        showMessagePanel(QStringLiteral("Factura No Existe"));
        Edit1->setFocus();
        return;
    }
    if (*closed) {
        showMessagePanel(QStringLiteral("Factura Ya Impresa"));
        Edit1->setFocus();
        return;
    }
    if (!dm_.openDocument(dm_.Parametros[QStringLiteral("EMPRESA")].value(), dm_.Parametros[QStringLiteral("DOCUMENTO")].value(),
                          numero)) {
        showMessagePanel(QStringLiteral("Factura No Existe"));
        Edit1->setFocus();
        return;
    }
    dm_.TFac.Refresh();
    GroupCliente->setEnabled(false);
    toSelling();
}

void TFrmVentaCaja3::DBGrid1DblClick()
{
    if (dm_.TFac.IsEmpty())
        return;
    // A roaming seller changes a line only with a supervisor signed on.
    TFrmVentaPermiso::Pedir(dm_, this);
    showCashier();
    if (supervisorSignedOn(dm_))
        showPriceBox();
}

void TFrmVentaCaja3::afterPriceChange()
{
    // The supervisor hands back: the seller signs in again before going on, however the change
    // ended.
    if (!supervisorSignedOn(dm_))
        return;
    TFrmVentaPermiso1::Devolver(dm_, this);
    showCashier();
}

void TFrmVentaCaja3::finishDocument()
{
    dm_.TFac.Refresh();
    toWaiting();
}

}  // namespace kv
