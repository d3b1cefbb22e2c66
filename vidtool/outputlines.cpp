#include "vidtool/outputlines.h"

#include <QString>

QStringList OutputLines::add(const QByteArray& bytes)
{
    QStringList lines;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!pending.isEmpty()) lines.append(QString::fromUtf8(pending));
            pending.clear();
            continue;
        }
        pending.append(c);
        if (pending.size() >= kMaxLine) {
            lines.append(QString::fromUtf8(pending));
            pending.clear();
        }
    }
    return lines;
}

QStringList OutputLines::finish()
{
    QStringList lines;
    if (!pending.isEmpty()) lines.append(QString::fromUtf8(pending));
    pending.clear();
    return lines;
}
