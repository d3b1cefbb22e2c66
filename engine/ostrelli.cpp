#include "engine/ostrelli.h"

#include <QStandardPaths>

QString RemoveBackslash(const QString& s)
{
    if (s.size() <= 2) return s;
    QString rest = s.mid(2);
    rest.replace(QStringLiteral("//"), QStringLiteral("/"));
    return s.left(2) + rest;
}

QString GetUserProfile()
{
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty()) docs = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    return RemoveBackslash(docs + QStringLiteral("/OSTREL_KORVANTA/"));
}
