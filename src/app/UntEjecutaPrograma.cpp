#include "app/UntEjecutaPrograma.h"

#include "common/Dialogs.h"

namespace kv {

const ProgramEntry* programEntry(int numero)
{
    for (const ProgramEntry& e : kProgramTable)
        if (e.number == numero)
            return &e;
    return nullptr;
}

QString noScreenText(int numero)
{
    return QStringLiteral("La opción del menú con el programa %1 no tiene pantalla en esta versión.").arg(numero);
}

void EjecutaPrograma(int numero)
{
    // Group entries of the tree carry 0: they only fold and unfold.
    if (numero == 0)
        return;
    const ScreenOpener open = programEntry(numero) ? programOpener(numero) : ScreenOpener();
    if (!open) {
        // A menu row naming a number this program does not know (a newer menu, a typing error in
        // the table): say so, or the user waits for a screen that never comes.
        ShowMessage(noScreenText(numero));
        return;
    }
    open();
}

}  // namespace kv
