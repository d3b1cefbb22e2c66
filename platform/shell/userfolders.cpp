#include "platform/shell/userfolders.h"

#include <QDir>
#include <QStandardPaths>

QString desktopFolder()
{
    QString path = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (path.isEmpty()) path = QDir::homePath() + QStringLiteral("/Desktop");
    return QDir::cleanPath(path);
}
