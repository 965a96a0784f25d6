#include "pos/UntCondicionesFactura.h"

#include "catalog/UntCrearClientes.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/DialogParts.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaVp.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

TFrmCondicionesFactura::TFrmCondicionesFactura(TDmVentas& dm, QWidget* parent) : QDialog(parent), dm_(dm)
{
    setObjectName(QStringLiteral("FrmCondicionesFactura"));
    setWindowTitle(QStringLiteral("Condiciones de Factura"));
    setAccessibleName(QStringLiteral("Condiciones de Factura"));

    DBTextNombreCliente = new DbText(dm_.TIniFac, QStringLiteral("NombreCliente"), this);
    DBTextNombreCliente->setObjectName(QStringLiteral("DBTextNombreCliente"));
    DBTextNombreCliente->setAccessibleName(QStringLiteral("Cliente"));
    DBEditPlazo = new DbEdit(dm_.TIniFac, QStringLiteral("PLAZO"), this);
    DBEditPlazo->setObjectName(QStringLiteral("DBEditPlazo"));
    DBEditFactura = new DbEdit(dm_.TIniFac, QStringLiteral("FACTURA"), this);
    DBEditFactura->setObjectName(QStringLiteral("DBEditFactura"));
    DBEditCliente = new DbEdit(dm_.TIniFac, QStringLiteral("CLIENTE"), this);
    DBEditCliente->setObjectName(QStringLiteral("DBEditCliente"));
    DBGrid1 = new DbGrid(dm_.TFac, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Lineas"));
    QVector<GridColumn> cols;
    for (const char* f : {"LINEA", "PRODUCTO", "PRECIOUNIDAD", "PORCENTAJEDESCUENTO"}) {
        GridColumn c;
        c.field = QLatin1String(f);
        c.readOnly = true;
        cols << c;
    }
    DBGrid1->setColumns(cols);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    BitBtn1 = new QPushButton(QStringLiteral("&OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAccessibleName(QStringLiteral("OK"));
    BitBtn1->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(DBTextNombreCliente);
    form->addRow(captionFor(QStringLiteral("Plazo (Credito)"), DBEditPlazo, this), DBEditPlazo);
    form->addRow(captionFor(QStringLiteral("Referencia"), DBEditFactura, this), DBEditFactura);
    form->addRow(captionFor(QStringLiteral("Nit O C.C."), DBEditCliente, this), DBEditCliente);
    auto* main = new QVBoxLayout(this);
    main->addLayout(form);
    main->addWidget(DBGrid1, 1);
    main->addWidget(BitBtn1, 0, Qt::AlignRight);
    DBEditCliente->installEventFilter(this);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    resize(520, 380);
}

TFrmCondicionesFactura::~TFrmCondicionesFactura() { deleteChildWidgets(this); }

bool TFrmCondicionesFactura::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBEditCliente && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
            !(k->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
            guarded([this] { DBEditClienteEnter(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmCondicionesFactura::DBEditClienteEnter()
{
    const QString typed = DBEditCliente->text().trimmed();
    if (!findCustomer(dm_, typed) && TFrmCrearClientes::CrearCliente(dm_.DbPos, typed, this))
        findCustomer(dm_, typed);
    DBEditCliente->updateRecord();
    DBEditPlazo->setFocus();
}

void TFrmCondicionesFactura::done(int r)
{
    // However the window closes, what was typed is stored on the document now, in one operation
    // that takes the header like every other sale action. When the database refuses it, its text
    // is shown and the document keeps what it had.
    const bool stored = guarded([this] {
        updateRecord(dm_.TIniFac);
        if (dm_.TIniFac.isEditing())
            dm_.TIniFac.Post();
    });
    if (!stored && dm_.TIniFac.isEditing())
        dm_.TIniFac.Cancel();
    QDialog::done(r);
}

}  // namespace kv
