#include "library/appversion.h"

#include <QStringList>

QString GetAppVersion()
{
    QStringList parts = QStringLiteral(OSTREL_VERSION).split(QLatin1Char('.'));
    while (parts.size() < 4) parts << QStringLiteral("0");
    return parts.mid(0, 4).join(QLatin1Char('.'));
}

bool checkit(const QString& version)
{
    (void)version;
    return true;
}
