#pragma once
// The dispatcher of the module tree: a program number (PROGRAMASPOS.PROGRAMA) opens its screen
// modally and returns when the screen closes. The screens live in the catalogue, sales, orders
// and back-office folders, which register an opener for their numbers at start-up
// (registerProgram in common/ProgramRegistry.h); a number without an opener, or outside 1 to 13,
// opens nothing.
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
    {22, "TFrmTableroVentas", "Tablero de Ventas"},
};
inline constexpr int kFirstProgram = 1;
inline constexpr int kLastProgram = 13;

// Opens the screen of the number and returns when it closes.
void EjecutaPrograma(int numero);

}  // namespace kv
