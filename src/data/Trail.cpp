#include "data/Trail.h"

#include "data/Connection.h"

#include <QDateTime>
#include <QSysInfo>

namespace kv {

void recordTrail(Connection& db, const TrailEntry& e)
{
    // The machine's name tells two registers apart where their numbers were set alike by mistake.
    static const QString equipo = QSysInfo::machineHostName().left(60);
    db.exec(QStringLiteral("INSERT INTO POSBITACORA (FECHA, EVENTO, EMPRESA, DOCUMENTO, CONSECUTIVO, CAJA, CAJERO, "
                           "USUARIO, VALORANTES, VALORDESPUES, DETALLE, EQUIPO) VALUES (:FECHA, :EVENTO, :EMPRESA, "
                           ":DOCUMENTO, :CONSECUTIVO, :CAJA, :CAJERO, :USUARIO, :VALORANTES, :VALORDESPUES, :DETALLE, "
                           ":EQUIPO)"),
            {{QStringLiteral("FECHA"), QDateTime::currentDateTime()},
             {QStringLiteral("EVENTO"), e.evento.left(20)},
             {QStringLiteral("EMPRESA"), e.empresa},
             {QStringLiteral("DOCUMENTO"), e.documento},
             {QStringLiteral("CONSECUTIVO"), e.consecutivo},
             {QStringLiteral("CAJA"), e.caja},
             {QStringLiteral("CAJERO"), e.cajero},
             {QStringLiteral("USUARIO"), e.usuario.isEmpty() ? QVariant() : QVariant(e.usuario.left(30))},
             {QStringLiteral("VALORANTES"), e.valorAntes},
             {QStringLiteral("VALORDESPUES"), e.valorDespues},
             {QStringLiteral("DETALLE"), e.detalle.left(400)},
             {QStringLiteral("EQUIPO"), equipo}});
}

}  // namespace kv
