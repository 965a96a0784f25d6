#pragma once
// "Permiso Para Cambios" for a line change on the sale screen by a cashier who may not change
// prices: a Supervisor or Jefe signs in and stays signed on for the change. Esc in the identity
// box, answered Yes to "Salir Para Cambiar Usuario", closes it granting nothing.
#include "pos/PermissionWindow.h"

namespace kv {

class TDmVentas;

class TFrmVentaPermiso : public PermissionWindow {
    Q_OBJECT
public:
    explicit TFrmVentaPermiso(TDmVentas& dm, QWidget* parent = nullptr);
    // Runs the window; true when a supervisor is now signed on.
    static bool Pedir(TDmVentas& dm, QWidget* parent);

protected:
    void identityEscape() override;
};

// "Permiso Para Cambios" after a supervisor's line change: a cashier of any level signs in again
// and becomes the signed-on cashier; the window closes only through "OK".
class TFrmVentaPermiso1 : public PermissionWindow {
    Q_OBJECT
public:
    explicit TFrmVentaPermiso1(TDmVentas& dm, QWidget* parent = nullptr);
    static void Devolver(TDmVentas& dm, QWidget* parent);
};

}  // namespace kv
