#include "catalog/UntCrearClientes.h"

#include "catalog/UntBuscarTercero.h"
#include "common/Numbers.h"
#include "platform/DbControls.h"

namespace kv {

TFrmCrearClientes::TFrmCrearClientes(Connection& db, QWidget* parent) : QuickCustomerDialog(db, Kind::Names, parent)
{
    setObjectName(QStringLiteral("FrmCrearClientes"));
    TbProveedores.OnNewRecord = [](Dataset& t) {
        t.FieldByName(QStringLiteral("CIUDAD")).setValue(QStringLiteral("BOGOTA"));
        t.FieldByName(QStringLiteral("PAIS")).setValue(QStringLiteral("COLOMBIA"));
    };
    connect(edit(QStringLiteral("PADRE")), &DbEdit::doubleClicked, this, &TFrmCrearClientes::DBEditPADREDblClick);
    connect(edit(QStringLiteral("VENDEDOR")), &DbEdit::doubleClicked, this,
            &TFrmCrearClientes::DBEditVENDEDORDblClick);
}

bool TFrmCrearClientes::CrearCliente(Connection& db, const QString& typedNit, QWidget* parent)
{
    TFrmCrearClientes dlg(db, parent);
    return runQuickCreation(dlg, typedNit);
}

QString TFrmCrearClientes::NombreCompleto(const QString& apellido1, const QString& apellido2, const QString& nombre1,
                                          const QString& nombre2)
{
    return apellido1 + QLatin1Char(' ') + apellido2 + QLatin1Char(' ') + nombre1 + QLatin1Char(' ') + nombre2;
}

void TFrmCrearClientes::beforePost()
{
    QuickCustomerDialog::beforePost();
    Dataset& t = TbProveedores;
    // The column takes the first 40 characters.
    t.FieldByName(QStringLiteral("NOMBRE"))
        .setValue(NombreCompleto(t.FieldByName(QStringLiteral("APELLIDO1")).asString(),
                                 t.FieldByName(QStringLiteral("APELLIDO2")).asString(),
                                 t.FieldByName(QStringLiteral("NOMBRE1")).asString(),
                                 t.FieldByName(QStringLiteral("NOMBRE2")).asString()));
}

void TFrmCrearClientes::DBEditPADREDblClick()
{
    {
        TFrmBuscarTercero search(db_, this);
        search.exec();
    }
    // The dentist's own referrer becomes the grandparent: a two-level referral chain.
    guarded([this] {
        if (!TbProveedores.isEditing())
            TbProveedores.Edit();
        TbProveedores.FieldByName(QStringLiteral("PADRE")).setValue(NitTerceroElegido);
        TbProveedores.FieldByName(QStringLiteral("ABUELO")).setValue(PadreTerceroElegido);
    });
}

void TFrmCrearClientes::DBEditVENDEDORDblClick()
{
    {
        TFrmBuscarTercero search(db_, this);
        search.exec();
    }
    // VENDEDOR holds 5 characters: a longer NIT keeps its first five digits.
    guarded([this] {
        if (!TbProveedores.isEditing())
            TbProveedores.Edit();
        TbProveedores.FieldByName(QStringLiteral("VENDEDOR")).setValue(FloatToStr(NitTerceroElegido));
    });
}

}  // namespace kv
