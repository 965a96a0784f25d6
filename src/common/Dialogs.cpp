#include "common/Dialogs.h"

namespace kv {

namespace {
ScriptedDialogs& silent()
{
    static ScriptedDialogs s;
    return s;
}
Dialogs* g_dialogs = nullptr;
}  // namespace

Dialogs& dialogs() { return g_dialogs ? *g_dialogs : silent(); }
void installDialogs(Dialogs* d) { g_dialogs = d; }

DialogsScope::DialogsScope(Dialogs* d) : previous_(g_dialogs) { g_dialogs = d; }
DialogsScope::~DialogsScope() { g_dialogs = previous_; }

std::optional<QString> ScriptedDialogs::input(const QString& caption, const QString& prompt, const QString&, bool)
{
    shown.push_back({QStringLiteral("input"), prompt.isEmpty() ? caption : prompt});
    if (inputs.empty())
        return std::nullopt;
    const bool given = inputs.front().has_value();
    const QString text = given ? *inputs.front() : QString();
    inputs.pop_front();
    if (!given)
        return std::nullopt;
    return text;
}

bool ScriptedDialogs::answer(const QString& kind, const QString& t)
{
    shown.push_back({kind, t});
    if (answers.empty())
        return false;
    bool a = answers.front();
    answers.pop_front();
    return a;
}

Reply ScriptedDialogs::yesNoCancel(const QString& t)
{
    shown.push_back({QStringLiteral("yesNoCancel"), t});
    if (replies.empty())
        return Reply::No;
    const Reply r = replies.front();
    replies.pop_front();
    return r;
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const auto& s : shown)
        out << s.text;
    return out;
}

QStringList ScriptedDialogs::texts(const QString& kind) const
{
    QStringList out;
    for (const auto& s : shown)
        if (s.kind == kind)
            out << s.text;
    return out;
}

}  // namespace kv
