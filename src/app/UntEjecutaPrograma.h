#pragma once
// The dispatcher of the module tree: a program number (PROGRAMASPOS.PROGRAMA) opens its screen
// modally and returns when the screen closes. The screens live in the catalogue, sales, orders
// and back-office folders, which register an opener for their numbers at start-up
// (registerProgram in common/ProgramRegistry.h). A number is a program when it has a row in
// kProgramTable and an opener; a new screen needs only those two. Group entries of the tree
// (number 0) open nothing; any other number without a screen says so.
#include "common/ProgramRegistry.h"

#include <QString>

namespace kv {

// What each number opens: the screen's class and its window caption.
struct ProgramEntry {
    int number;
    const char* screen;
    const char* caption;
};
inline constexpr ProgramEntry kProgramTable[] = {
    {1, "TFrmSucursales", "Sucursales"},
    {2, "TFrmCajeros", "Cajeros"},
    {3, "TFrmCajas", "Cajas"},
    {4, "TFrmLineasFacturas", "Linea Facturas"},
    {5, "TFrmParametros", "Parametros POS"},
    {6, "TFrmMesas", "Mesas"},
    {7, "TFrmMeseros", "Meseros"},
    {8, "TFrmProductos", "Productos"},
    {9, "TFrmPedido", "Login Cajero"},
    {10, "TFrmVenta", "Login Cajero"},
    {11, "TFrmVentaReportes", "Reportes de Ventas"},
    {12, "TFrmVentasContabilidad", "Asiento Para Contabilidad Ventas Diarias"},
    {13, "TFrmImprimeEtiquetas", "Impresion de Etiquetas"},
    {20, "TFrmDocumentosElectronicos", "Documentos Electronicos"},
    {21, "TFrmBitacora", "Bitacora de Cambios"},
    {22, "TFrmTableroVentas", "Tablero de Ventas"},
};

// The table's row of a number, or nullptr when the number is not a program.
const ProgramEntry* programEntry(int numero);

// What the user is told when an entry of the tree carries a number without a screen.
QString noScreenText(int numero);

// Opens the screen of the number and returns when it closes.
void EjecutaPrograma(int numero);

}  // namespace kv
