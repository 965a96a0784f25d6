#include "app/UntEjecutaPrograma.h"

namespace kv {

void EjecutaPrograma(int numero)
{
    // Group entries of the tree carry numbers outside the table (0 as a rule): they open nothing.
    if (numero < kFirstProgram || numero > kLastProgram)
        return;
    if (const ScreenOpener open = programOpener(numero))
        open();
}

}  // namespace kv
