#include "engine/dsdevicename.h"

QString dsdevicename(const std::vector<QString>& earlier, const QString& name)
{
    int j = 1;
    for (const QString& e : earlier)
        if (e.startsWith(name)) ++j;
    return j == 1 ? name : QStringLiteral("%1 (%2)").arg(name).arg(j);
}
