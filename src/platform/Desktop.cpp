#include "platform/Desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace kv {

bool openFile(const QString& path)
{
    if (qEnvironmentVariable("KORVELA_NO_OPEN") == QLatin1String("1"))
        return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

}  // namespace kv
