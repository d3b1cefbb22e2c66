// A write transaction of its own (BEGIN IMMEDIATE), or a savepoint inside the caller's
// open transaction (a batch). Rolled back unless committed; the constructor throws when the
// database stays busy past the busy timeout.
#pragma once

#include "library/librarylog.h"
#include "library/sqliteexception.h"
#include "library/tsqlitedatabase.h"

class WriteTransaction {
public:
    explicit WriteTransaction(TSQLiteDatabase& db) : db_(db), nested_(db.InTransaction())
    {
        if (nested_) db_.ExecSQL(QStringLiteral("SAVEPOINT korvanta"));
        else db_.BeginWriteTransaction();
        open_ = true;
    }
    ~WriteTransaction()
    {
        if (open_) rollback();
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    // false when the commit failed; everything since the start is then rolled back
    bool commit()
    {
        try {
            if (nested_) db_.ExecSQL(QStringLiteral("RELEASE korvanta"));
            else db_.Commit();
            open_ = false;
            return true;
        } catch (const ESQLiteException& e) {
            logError("commit", e.message());
            rollback();
            return false;
        }
    }
    void rollback()
    {
        open_ = false;
        try {
            if (nested_) {
                db_.ExecSQL(QStringLiteral("ROLLBACK TO korvanta"));
                db_.ExecSQL(QStringLiteral("RELEASE korvanta"));
            } else {
                db_.Rollback();
            }
        } catch (const ESQLiteException& e) {
            logError("rollback", e.message());
        }
    }

private:
    TSQLiteDatabase& db_;
    bool nested_;
    bool open_ = false;
};
