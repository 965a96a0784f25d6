#pragma once
// Sets (or removes) an environment variable for the length of a scope, then puts it back.
#include <QByteArray>
#include <QtGlobal>

#include <ctime>
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

// Puts the process in another time zone (TZ, read again by the C library that Qt asks) for the
// length of a scope, then back in its own.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone) : tz_(std::in_place, "TZ", QByteArray(zone)) { tzset(); }
    ~ZoneScope()
    {
        tz_.reset();
        tzset();
    }
    ZoneScope(const ZoneScope&) = delete;
    ZoneScope& operator=(const ZoneScope&) = delete;

private:
    std::optional<EnvScope> tz_;
};
