// A statement prepared by TSQLiteDatabase::PrepareSQL and freed by ReleaseSQL.
#pragma once

#include <QString>

struct sqlite3_stmt;

struct TSQLiteQuery {
    QString SQL;
    sqlite3_stmt* Statement = nullptr;
};
