#include "mainwindow/logic/configrow.h"

#include <cstdio>

#include "library/sqliteexception.h"
#include "library/tmsql.h"

bool ConfigRow::read(Tmsql& sql, PSoundConfig& c)
{
    try {
        sql.asignoconfig(c);
        return true;
    } catch (const ESQLiteException& e) {
        std::fprintf(stderr, "configuration row: %s; the default row replaces it\n", qPrintable(e.message()));
    }
    sql.restoreconfig();
    try {
        sql.asignoconfig(c);
    } catch (const ESQLiteException&) {
        // the file refuses the write as well: the default row of a database of our own
        Tmsql defaults(QStringLiteral(":memory:"));
        defaults.asignoconfig(c);
    }
    return false;
}
