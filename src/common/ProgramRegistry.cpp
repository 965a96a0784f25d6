#include "common/ProgramRegistry.h"

#include <QHash>

namespace kv {

namespace {
QHash<int, ScreenOpener>& programs()
{
    static QHash<int, ScreenOpener> p;
    return p;
}
}  // namespace

void registerProgram(int number, ScreenOpener opener)
{
    if (opener)
        programs().insert(number, std::move(opener));
    else
        programs().remove(number);
}

ScreenOpener programOpener(int number) { return programs().value(number); }

}  // namespace kv
