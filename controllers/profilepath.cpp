#include "controllers/profilepath.h"

#include <QDir>
#include <QFileInfo>

QString ProfilePath::find(const QString& base, const QString& relative)
{
    QString path = base;
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = 0; i < parts.size(); ++i) {
        QString part = parts[i];
        if (!QFileInfo::exists(path + part)) {
            const QStringList entries = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString& e : entries) {
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    part = e;
                    break;
                }
            }
        }
        path += part;
        if (i + 1 < parts.size()) path += QLatin1Char('/');
    }
    return path;
}
