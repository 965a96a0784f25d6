#pragma once
// Opening a file in the application the desktop has registered for its kind (a spreadsheet for
// .xls and .xlsx, a browser for .html). KORVELA_NO_OPEN=1 turns this off for tests and scripted
// runs, which only need the file itself.
#include <QString>

namespace kv {

// True when the desktop accepted the request (or opening is turned off).
bool openFile(const QString& path);

}  // namespace kv
