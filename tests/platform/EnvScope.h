#pragma once
// Sets (or removes) an environment variable for the length of a scope, then puts it back.
#include <QByteArray>
#include <QtGlobal>

#include <optional>

class EnvScope {
public:
    EnvScope(const char* name, std::optional<QByteArray> value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name))
    {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~EnvScope()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};
