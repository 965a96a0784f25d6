#include "platform/Guard.h"

#include "common/Dialogs.h"
#include "common/Errors.h"

#include <exception>

namespace kv {

bool deliverReportingErrors(const std::function<bool()>& deliver)
{
    try {
        return deliver();
    } catch (const Abort&) {
        // A handler called the operation off; it has already told the user whatever it meant to.
    } catch (const Failure& f) {
        dialogs().error(f.text());
    } catch (const std::exception& e) {
        dialogs().error(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

bool guarded(const std::function<void()>& action)
{
    return deliverReportingErrors([&action] {
        action();
        return true;
    });
}

}  // namespace kv
