#include "vidtool/videoengine.h"

#include <QFileInfo>
#include <QStandardPaths>

VideoEngine VideoEngine::find(const QString& profile)
{
    for (const char* name : {"yt-dlp", "youtube-dl"}) {
        const QFileInfo local(profile + QLatin1String(name));
        if (local.isFile() && local.isExecutable()) return {local.absoluteFilePath(), true};
    }
    return {QStandardPaths::findExecutable(QStringLiteral("yt-dlp")), false};
}
