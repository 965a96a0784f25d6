#include "pos/UntVentaCajaSupervisor.h"

namespace kv {

TFrmVentaCajaSupervisor::TFrmVentaCajaSupervisor(DocumentModule& dm, std::function<void()> openChanges, QWidget* parent)
    : PermissionWindow(dm, {QStringLiteral("Ventas"), QStringLiteral("SUPERVISOR"), true, QStringLiteral("Nivel Bajo"), true, true,
                            QStringLiteral("Supervisor")},
                       parent),
      openChanges_(std::move(openChanges))
{
    setObjectName(QStringLiteral("FrmVentaCajaSupervisor"));
}

void TFrmVentaCajaSupervisor::afterGranted()
{
    if (openChanges_)
        openChanges_();
}

}  // namespace kv
