#include "catalog/CatalogPrograms.h"

#include "catalog/UntCajas.h"
#include "catalog/UntCajeros.h"
#include "catalog/UntLineasFacturas.h"
#include "catalog/UntMesas.h"
#include "catalog/UntMeseros.h"
#include "catalog/UntParametros.h"
#include "catalog/UntProductos.h"
#include "catalog/UntSucursales.h"
#include "common/ProgramRegistry.h"
#include "data/UntDMGeneral.h"

#include <QApplication>

namespace kv {

namespace {

// Creates the screen on the POS database, shows it modally over the active window and frees it
// when it closes.
template <class Screen>
ScreenOpener opener()
{
    return [] {
        if (!DMGeneral)
            return;
        Screen screen(DMGeneral->DbPos, QApplication::activeWindow());
        screen.exec();
    };
}

}  // namespace

void registerCatalogPrograms()
{
    registerProgram(1, opener<TFrmSucursales>());
    registerProgram(2, opener<TFrmCajeros>());
    registerProgram(3, opener<TFrmCajas>());
    registerProgram(4, opener<TFrmLineasFacturas>());
    registerProgram(5, opener<TFrmParametros>());
    registerProgram(6, opener<TFrmMesas>());
    registerProgram(7, opener<TFrmMeseros>());
    registerProgram(8, opener<TFrmProductos>());
}

}  // namespace kv
