#pragma once
// The machine's clock set to a zone for the life of the object (TZ, as the C library reads it), so
// that a test of a time printed in Colombian time does not depend on where it runs.
#include <QByteArray>
#include <QtGlobal>
#include <ctime>

namespace kvtest {

class TimeZoneScope {
public:
    explicit TimeZoneScope(const char* zone) : had_(qEnvironmentVariableIsSet("TZ")), old_(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZoneScope()
    {
        if (had_)
            qputenv("TZ", old_);
        else
            qunsetenv("TZ");
        tzset();
    }
    TimeZoneScope(const TimeZoneScope&) = delete;
    TimeZoneScope& operator=(const TimeZoneScope&) = delete;

private:
    bool had_;
    QByteArray old_;
};

}  // namespace kvtest
