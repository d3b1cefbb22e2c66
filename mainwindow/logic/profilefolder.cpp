#include "mainwindow/logic/profilefolder.h"

#include <QDir>

bool ProfileFolder::prepare(const QString& folder)
{
    if (QDir(folder).exists()) return false;
    QDir().mkpath(folder);
    for (const char* sub : {"Downloads", "Samples", "Devices", "Devices/hid", "Skin"})
        QDir().mkdir(QDir(folder).filePath(QLatin1String(sub)));
    return true;
}
