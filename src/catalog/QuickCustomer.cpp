#include "catalog/QuickCustomer.h"

#include "catalog/ThirdParties.h"
#include "catalog/UntCalendario.h"
#include "common/Dates.h"
#include "common/Dialogs.h"
#include "common/Errors.h"
#include "platform/DbControls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

QuickCustomerDialog::QuickCustomerDialog(Connection& db, Kind kind, QWidget* parent)
    : QDialog(parent), TbProveedores(db), db_(db), kind_(kind)
{
    setWindowTitle(QStringLiteral("Datos del Cliente"));
    setAccessibleName(QStringLiteral("Datos del Cliente"));
    TbProveedores.setObjectName(QStringLiteral("TbProveedores"));
    TbProveedores.setTableName(QStringLiteral("PROVEEDORES"));
    // Only the new row matters here: no need to read the table's rows.
    TbProveedores.setFilter(QStringLiteral("1 = 0"));
    TbProveedores.Open();
    Field& nit = TbProveedores.FieldByName(QStringLiteral("NIT"));
    nit.displayLabel = QStringLiteral("Nit");
    nit.OnValidate = CheckNitValue;
    TbProveedores.BeforePost = [this](Dataset&) { beforePost(); };

    const bool names = kind_ == Kind::Names;
    auto* grid = new QGridLayout;
    int row = 0;
    DbEdit* nitBox = addEdit(grid, row, 0, QStringLiteral("Nit"), QStringLiteral("NIT"));
    nitBox->setReadOnly(true);
    nitBox->setDisplayFormat(QStringLiteral("###,###."));
    DbEdit* dv = addEdit(grid, row++, 2, QStringLiteral("Dv"), QStringLiteral("DV"));
    dv->setEnabled(!names);
    DbEdit* nombre = addEdit(grid, row++, 0, QStringLiteral("Nombre  :"), QStringLiteral("NOMBRE"), 3);
    nombre->setCharCase(CharCase::Upper);
    nombre->setEnabled(!names);  // built from the surnames and names when they are asked for
    if (names) {
        addEdit(grid, row, 0, QStringLiteral("Apellidos  :"), QStringLiteral("APELLIDO1"))->setCharCase(CharCase::Upper);
        DbEdit* a2 = addEdit(grid, row++, 2, QString(), QStringLiteral("APELLIDO2"));
        a2->setCharCase(CharCase::Upper);
        a2->setAccessibleName(QStringLiteral("Segundo apellido"));
        addEdit(grid, row, 0, QStringLiteral("Nombres  :"), QStringLiteral("NOMBRE1"))->setCharCase(CharCase::Upper);
        DbEdit* n2 = addEdit(grid, row++, 2, QString(), QStringLiteral("NOMBRE2"));
        n2->setCharCase(CharCase::Upper);
        n2->setAccessibleName(QStringLiteral("Segundo nombre"));
    }
    addEdit(grid, row++, 0, QStringLiteral("Direcciòn  :"), QStringLiteral("DIRECCION"), 3);
    addEdit(grid, row, 0, QStringLiteral("Tèlefono  :"), QStringLiteral("TELEFONO"));
    addEdit(grid, row++, 2, QStringLiteral("Fax :"), QStringLiteral("FAX"));
    addEdit(grid, row++, 0, QStringLiteral("E Mail  :"), QStringLiteral("EMAIL"), 3)->setCharCase(CharCase::Lower);
    addEdit(grid, row++, 0, QStringLiteral("Contacto :"), QStringLiteral("CONTACTO"), 3);
    addEdit(grid, row, 0, QStringLiteral("Ciudad  :"), QStringLiteral("CIUDAD"));
    addEdit(grid, row++, 2, QStringLiteral("Pais :"), QStringLiteral("PAIS"));
    DbEdit* fecha = addEdit(grid, row++, 0, QStringLiteral("Fecha Nacimiento:"), QStringLiteral("FECHANACIMIENTO"));
    fecha->setToolTip(QStringLiteral("dd/mm/aaaa; doble click abre el calendario"));
    connect(fecha, &DbEdit::doubleClicked, this, &QuickCustomerDialog::FechaNacimientoDblClick);

    TipoTercero = new DbRadioGroup(TbProveedores, QStringLiteral("TIPOTERCERO"), QStringLiteral("Tipo Tercero"),
                                   {QStringLiteral("Compañia"), QStringLiteral("P. Natural")},
                                   {QStringLiteral("C"), QStringLiteral("P")}, 2, this);
    TipoTercero->setObjectName(QStringLiteral("DBRadioGroupTIPOTERCERO"));
    grid->addWidget(TipoTercero, row++, 0, 1, 4);

    auto* lay = new QVBoxLayout(this);
    lay->addLayout(grid);
    if (names) {
        GroupOdontologo = new QGroupBox(QStringLiteral("Datos Odontologo"), this);
        GroupOdontologo->setObjectName(QStringLiteral("GroupOdontologo"));
        GroupOdontologo->setAccessibleName(QStringLiteral("Datos Odontologo"));
        auto* g = new QGridLayout(GroupOdontologo);
        DbEdit* padre = addEdit(g, 0, 0, QStringLiteral("Odontologo  :"), QStringLiteral("PADRE"));
        padre->setDisplayFormat(QStringLiteral("###,###."));
        padre->setToolTip(QStringLiteral("Doble click para buscar el odontologo"));
        DbEdit* vendedor = addEdit(g, 0, 2, QStringLiteral("Vendedor  :"), QStringLiteral("VENDEDOR"));
        vendedor->setToolTip(QStringLiteral("Doble click para buscar el vendedor"));
        lay->addWidget(GroupOdontologo);
    }
    BitBtn1 = new QPushButton(QStringLiteral("&OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAccessibleName(QStringLiteral("OK"));
    BitBtn1->setAutoDefault(false);  // Enter in a box does not close the window by accident
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    lay->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

QuickCustomerDialog::~QuickCustomerDialog() { deleteChildWidgets(this); }

DbEdit* QuickCustomerDialog::addEdit(QGridLayout* grid, int row, int col, const QString& caption, const QString& column,
                                     int span)
{
    auto* e = new DbEdit(TbProveedores, column, this);
    e->setObjectName(QStringLiteral("DBEdit") + column);
    if (!caption.isEmpty()) {
        auto* l = new QLabel(caption, this);
        l->setBuddy(e);
        grid->addWidget(l, row, col);
        e->setAccessibleName(caption.trimmed());
    }
    grid->addWidget(e, row, col + 1, 1, span);
    edits_.insert(column, e);
    return e;
}

void QuickCustomerDialog::NuevoCliente(double nit)
{
    TbProveedores.Insert();
    TbProveedores.FieldByName(QStringLiteral("NIT")).setValue(nit);
    TbProveedores.FieldByName(QStringLiteral("CUENTACONTABLEC")).setValue(PurchaseAccount());
    TbProveedores.FieldByName(QStringLiteral("CUENTACONTABLEV")).setValue(SalesAccount());
}

bool QuickCustomerDialog::runQuickCreation(QuickCustomerDialog& dlg, const QString& typedNit)
{
    double nit = 0;
    if (!guarded([&] { nit = NitFromText(typedNit); }))
        return false;
    if (!guarded([&] { dlg.NuevoCliente(nit); }))
        return false;
    dlg.exec();
    return true;
}

void QuickCustomerDialog::beforePost()
{
    Dataset& t = TbProveedores;
    // The birthday is the birth date's day and month. Without a birth date there is no birthday:
    // the column stays empty rather than holding a made-up day.
    const QDateTime birth = t.FieldByName(QStringLiteral("FECHANACIMIENTO")).asDateTime();
    Field& cumple = t.FieldByName(QStringLiteral("FECHACUMPLEANOS"));
    if (birth.isValid())
        cumple.setValue(FormatDateTime(QStringLiteral("dd/mm"), birth));
    else
        cumple.clear();
}

void QuickCustomerDialog::FechaNacimientoDblClick() { pickDateInto(TbProveedores, QStringLiteral("FECHANACIMIENTO")); }

void QuickCustomerDialog::done(int r)
{
    // OK, Esc and the close box all end here: the row is saved, never dropped.
    if (!PostBeforeClosing(TbProveedores))
        return;
    QDialog::done(r);
}

void QuickCustomerDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (DbEdit* first = edit(kind_ == Kind::Names ? QStringLiteral("APELLIDO1") : QStringLiteral("NOMBRE")))
        first->setFocus();
}

}  // namespace kv
