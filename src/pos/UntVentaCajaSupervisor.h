#pragma once
// "Ventas" / "SUPERVISOR": the order screen's way into "Cambios a la Factura". A Supervisor or Jefe
// signs in; then the change window opens on the document, and this window closes with it. Esc
// closes it granting nothing.
#include "pos/PermissionWindow.h"

#include <functional>

namespace kv {

class TFrmVentaCajaSupervisor : public PermissionWindow {
    Q_OBJECT
public:
    // openChanges: opens the change window once the supervisor is signed on.
    TFrmVentaCajaSupervisor(DocumentModule& dm, std::function<void()> openChanges, QWidget* parent = nullptr);
    void reject() override { leave(); }

protected:
    void afterGranted() override;

private:
    std::function<void()> openChanges_;
};

}  // namespace kv
