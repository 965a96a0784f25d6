#include "pos/UntVentaPermiso.h"

#include "common/Dialogs.h"
#include "pos/UntDmVentas.h"

namespace kv {

TFrmVentaPermiso::TFrmVentaPermiso(TDmVentas& dm, QWidget* parent)
    : PermissionWindow(dm,
                       {QStringLiteral("Permiso Para Cambios"), QStringLiteral("Cajero o Vendedor"), true,
                        QStringLiteral("No se pueden hacer Modificaciones Sin Nivel de Supervisor o Jefe"), false, false,
                        QStringLiteral("Permiso Para Cambios")},
                       parent)
{
    setObjectName(QStringLiteral("FrmVentaPermiso"));
}

void TFrmVentaPermiso::identityEscape()
{
    if (AskYesNo(QStringLiteral("Salir Para Cambiar Usuario")))
        leave();
}

bool TFrmVentaPermiso::Pedir(TDmVentas& dm, QWidget* parent)
{
    TFrmVentaPermiso dlg(dm, parent);
    dlg.exec();
    return dlg.granted() && supervisorSignedOn(dm);
}

TFrmVentaPermiso1::TFrmVentaPermiso1(TDmVentas& dm, QWidget* parent)
    : PermissionWindow(dm, {QStringLiteral("Permiso Para Cambios"), QStringLiteral("Cajero o Vendedor"), false, QString(), false, false,
                            QStringLiteral("Regreso del cajero")},
                       parent)
{
    setObjectName(QStringLiteral("FrmVentaPermiso1"));
}

void TFrmVentaPermiso1::Devolver(TDmVentas& dm, QWidget* parent)
{
    TFrmVentaPermiso1 dlg(dm, parent);
    dlg.exec();
}

}  // namespace kv
