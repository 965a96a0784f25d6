#include "common/ProgramRegistry.h"

#include <QHash>

namespace kv {

namespace {
QHash<int, ScreenOpener>& programs()
{
    static QHash<int, ScreenOpener> p;
    return p;
}
QHash<QString, ScreenOpener>& screens()
{
    static QHash<QString, ScreenOpener> s;
    return s;
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

void registerScreen(const QString& name, ScreenOpener opener)
{
    if (opener)
        screens().insert(name, std::move(opener));
    else
        screens().remove(name);
}

ScreenOpener screenOpener(const QString& name) { return screens().value(name); }

bool openScreen(const QString& name)
{
    // A copy: the opener may register or remove screens while it runs.
    const ScreenOpener open = screenOpener(name);
    if (!open)
        return false;
    open();
    return true;
}

}  // namespace kv
