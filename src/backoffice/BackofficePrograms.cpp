#include "backoffice/BackofficePrograms.h"

#include "backoffice/UntBitacora.h"
#include "backoffice/UntDocumentosElectronicos.h"
#include "backoffice/UntImprimeEtiquetas.h"
#include "backoffice/UntTableroVentas.h"
#include "backoffice/UntVentasContabilidad.h"
#include "backoffice/UntVentaReportes.h"
#include "common/ProgramRegistry.h"
#include "data/UntDMGeneral.h"

#include <QApplication>

namespace kv {

void registerBackofficePrograms()
{
    registerProgram(11, [] {
        if (!DMGeneral)
            return;
        TFrmVentaReportes f(DMGeneral->DbPos, DMGeneral->DbPosz, QApplication::activeWindow());
        f.exec();
    });
    registerProgram(12, [] {
        if (!DMGeneral)
            return;
        TFrmVentasContabilidad f(DMGeneral->DbPos, DMGeneral->TavroDb, QApplication::activeWindow());
        f.exec();
    });
    registerProgram(13, [] {
        if (!DMGeneral)
            return;
        TFrmImprimeEtiquetas f(DMGeneral->DbPos, QApplication::activeWindow());
        f.exec();
    });
    registerProgram(20, [] {
        if (!DMGeneral)
            return;
        TFrmDocumentosElectronicos f(DMGeneral->DbPos, QApplication::activeWindow());
        f.exec();
    });
    registerProgram(21, [] {
        if (!DMGeneral)
            return;
        TFrmBitacora f(DMGeneral->DbPos, QApplication::activeWindow());
        f.exec();
    });
    registerProgram(22, [] {
        if (!DMGeneral)
            return;
        TFrmTableroVentas f(DMGeneral->DbPos, QApplication::activeWindow());
        f.exec();
    });
}

}  // namespace kv
