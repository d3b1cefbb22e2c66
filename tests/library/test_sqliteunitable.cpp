// The connection's row-by-row query: results, errors, and no statement left behind by one
// that fails.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QTemporaryDir>

#include "library/sqliteexception.h"
#include "library/tsqlitedatabase.h"
#include "library/tsqliteunitable.h"

namespace {
int openStatements(sqlite3* db)
{
    int n = 0;
    for (sqlite3_stmt* s = sqlite3_next_stmt(db, nullptr); s; s = sqlite3_next_stmt(db, s)) ++n;
    return n;
}
}  // namespace

TEST(GetUniTable, WalksTheRowsAndReportsErrors)
{
    QTemporaryDir dir;
    TSQLiteDatabase db(dir.filePath("u.db"));
    db.ExecSQL("CREATE TABLE songs ([id] INTEGER, [cancion] VARCHAR (512), [bpm] FLOAT)");
    for (int i = 1; i <= 4; ++i) db.ExecSQL("INSERT INTO songs VALUES (?, ?, ?)", {i, QString("s%1").arg(i), 120.5 + i});

    const int before = openStatements(db.handle());
    {
        auto u = db.GetUniTable("SELECT id, cancion, bpm FROM songs WHERE id > ? ORDER BY id", {1});
        ASSERT_FALSE(u->GetEOF());
        EXPECT_EQ(u->GetFieldIndex("CANCION"), 1);
        QStringList names;
        do names << u->FieldAsString(1);
        while (u->Next());
        EXPECT_EQ(names, QStringList({"s2", "s3", "s4"}));
        EXPECT_TRUE(u->GetEOF());
        EXPECT_EQ(openStatements(db.handle()), before + 1);
    }
    EXPECT_EQ(openStatements(db.handle()), before);

    auto empty = db.GetUniTable("SELECT id FROM songs WHERE id > 99");
    EXPECT_TRUE(empty->GetEOF());
    EXPECT_FALSE(empty->Next());
    empty.reset();

    try {
        db.GetUniTable("SELECT nothing FROM nowhere");
        FAIL() << "no error";
    } catch (const ESQLiteException& e) {
        EXPECT_TRUE(e.message().startsWith("Error executing SQL")) << e.message().toStdString();
    }
    EXPECT_EQ(openStatements(db.handle()), before);
}

TEST(GetUniTable, AValueThatCannotBeBoundLeavesNoStatementOpen)
{
    QTemporaryDir dir;
    TSQLiteDatabase db(dir.filePath("u.db"));
    db.ExecSQL("CREATE TABLE t ([s] VARCHAR (20))");
    const int before = openStatements(db.handle());
    sqlite3_limit(db.handle(), SQLITE_LIMIT_LENGTH, 64);
    try {
        db.GetUniTable("SELECT s FROM t WHERE s=?", {QString(200, QLatin1Char('x'))});
        FAIL() << "no error";
    } catch (const ESQLiteException& e) {
        EXPECT_TRUE(e.message().startsWith("Could not bind")) << e.message().toStdString();
    }
    EXPECT_EQ(openStatements(db.handle()), before);
}
