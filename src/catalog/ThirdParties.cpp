#include "catalog/ThirdParties.h"

#include "common/Dialogs.h"
#include "common/Errors.h"
#include "common/Numbers.h"
#include "platform/DbControls.h"

#include <cmath>

namespace kv {

double NitFromText(const QString& text)
{
    const QString t = text.trimmed();
    bool digits = !t.isEmpty() && t.size() <= 15;  // beyond 15 digits a double no longer holds it exactly
    for (QChar ch : t)
        digits = digits && ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
    if (t.isEmpty())
        throw ConversionError(QStringLiteral("Falta el Nit o Cédula"));
    if (!digits)
        throw ConversionError(
            QStringLiteral("'%1' no es un Nit o Cédula válido: escriba solo los números, sin puntos, letras ni espacios")
                .arg(text));
    const double nit = t.toDouble();
    if (nit <= 0)
        throw ConversionError(QStringLiteral("El Nit o Cédula no puede ser cero"));
    return nit;
}

bool IsNitText(const QString& text)
{
    try {
        NitFromText(text);
        return true;
    } catch (const ConversionError&) {
        return false;
    }
}

void CheckNitValue(Field&, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return;
    const double nit = value.toDouble();
    if (nit <= 0 || nit != std::floor(nit))
        throw ConversionError(
            QStringLiteral("El Nit o Cédula debe ser un número entero mayor que cero, sin puntos ni decimales"));
}

QString SupplierHasOrdersText() { return QStringLiteral("El Proveedor tiene Ordenes de Compra, no se puede Borrar"); }

QString ThirdPartyHasDocumentsText()
{
    return QStringLiteral("El Tercero tiene Facturas, Pedidos o Movimientos de Inventario, no se puede Borrar");
}

QString ThirdPartyInUse(Connection& c, double nit)
{
    const QVariantMap p{{QStringLiteral("CLIENTE"), nit}};
    if (c.scalar(QStringLiteral("SELECT COUNT(PROVEEDOR) FROM ORDENCOMPRA WHERE PROVEEDOR=:CLIENTE"), p).toInt() > 0)
        return SupplierHasOrdersText();
    // One row is enough to know; FIRST 1 stops the read there.
    for (const char* table : {"POSMOVIMIENTO", "POSREMISIONES", "MOVIMIENTO"}) {
        const QVariant hit = c.scalar(
            QStringLiteral("SELECT FIRST 1 1 FROM %1 WHERE CLIENTE = :CLIENTE").arg(QLatin1String(table)), p);
        if (hit.isValid() && !hit.isNull())
            return ThirdPartyHasDocumentsText();
    }
    return QString();
}

QString ThirdPartyName(Connection& c, double nit)
{
    const QVariant v =
        c.scalar(QStringLiteral("SELECT NOMBRE FROM PROVEEDORES WHERE NIT = :NIT"), {{QStringLiteral("NIT"), nit}});
    return v.isNull() ? QString() : v.toString().trimmed();
}

QString LeaveWithoutSavingText() { return QStringLiteral("Los datos no se pudieron grabar. ¿Desea salir sin grabarlos?"); }

bool PostBeforeClosing(Dataset& ds)
{
    if (!ds.active())
        return true;
    const bool posted = guarded([&ds] {
        updateRecord(ds);
        if (ds.isEditing())
            ds.Post();
    });
    if (posted)
        return true;
    if (!AskYesNo(LeaveWithoutSavingText()))
        return false;
    ds.Cancel();
    return true;
}

}  // namespace kv
