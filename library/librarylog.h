// Errors the library swallows by design still leave a line on standard error.
#pragma once

#include <cstdio>

#include <QString>

inline void logError(const char* where, const QString& what)
{
    std::fprintf(stderr, "korvanta library: %s: %s\n", where,
                 qPrintable(QString(what).replace(QLatin1Char('\r'), QLatin1Char(' '))));
}
