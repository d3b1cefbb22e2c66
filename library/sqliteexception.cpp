#include "library/sqliteexception.h"

QString SQLiteErrorStr(int code)
{
    static const char* const texts[] = {
        "Successful result",
        "SQL error or missing database",
        "An internal logic error in SQLite",
        "Access permission denied",
        "Callback routine requested an abort",
        "The database file is locked",
        "A table in the database is locked",
        "A malloc() failed",
        "Attempt to write a readonly database",
        "Operation terminated by sqlite3_interrupt()",
        "Some kind of disk I/O error occurred",
        "The database disk image is malformed",
        "(Internal Only) Table or record not found",
        "Insertion failed because database is full",
        "Unable to open the database file",
        "Database lock protocol error",
        "Database is empty",
        "The database schema changed",
        "Too much data for one row of a table",
        "Abort due to contraint violation",
        "Data type mismatch",
        "Library used incorrectly",
        "Uses OS features not supported on host",
        "Authorization denied",
        "Auxiliary database format error",
        "2nd parameter to sqlite3_bind out of range",
        "File opened that is not a database file",
    };
    if (code >= 0 && code <= 26) return QString::fromLatin1(texts[code]);
    if (code == 100) return QStringLiteral("sqlite3_step() has another row ready");
    if (code == 101) return QStringLiteral("sqlite3_step() has finished executing");
    return QStringLiteral("Unknown SQLite Error Code \"%1\"").arg(code);
}
