#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "library/sqliteexception.h"
#include "library/tsqlitedatabase.h"
#include "library/tsqlitetable.h"
#include "library/tsqliteunitable.h"

namespace {
struct Layer : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<TSQLiteDatabase> db;
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db = std::make_unique<TSQLiteDatabase>(dir.filePath("t.db"));
        db->ExecSQL("CREATE TABLE t ([n] INTEGER, [f] FLOAT, [s] VARCHAR (20), [b] BLOB, [cue1] FLOAT)");
    }
    QString messageOf(const std::function<void()>& fn)
    {
        try {
            fn();
        } catch (const ESQLiteException& e) {
            return e.message();
        }
        return "no error";
    }
};
}  // namespace

TEST_F(Layer, EmptyResult)
{
    auto t = db->GetTable("SELECT * FROM t");
    EXPECT_EQ(t->GetCount(), 0);
    EXPECT_TRUE(t->GetEOF());
    EXPECT_FALSE(t->MoveFirst());
    EXPECT_EQ(messageOf([&] { t->GetFieldIndex("cue1"); }), "Field cue1 Not found. Empty dataset");
    EXPECT_EQ(messageOf([&] { t->FieldAsString(0); }), "Table is at End of File");
}

TEST_F(Layer, StorageTypesAndNulls)
{
    db->ExecSQL("INSERT INTO t (n, f, s, b, cue1) VALUES (?, ?, ?, ?, ?)",
                {QVariant(), 12.5, QString("x'y\"z"), QByteArray("h\xc3\xa9"), 3.0});
    auto t = db->GetTable("SELECT * FROM t");
    ASSERT_EQ(t->GetCount(), 1);
    EXPECT_EQ(t->GetFieldIndex("CUE1"), 4);
    EXPECT_EQ(t->GetFieldIndex("cue1"), 4);
    EXPECT_EQ(t->FieldAsInteger(0), 0);
    EXPECT_EQ(t->FieldAsDouble(0), 0);
    EXPECT_EQ(t->FieldAsString(0), "");
    EXPECT_EQ(t->FieldAsDouble(1), 12.5);
    EXPECT_EQ(t->FieldAsString(1), "12.5");
    EXPECT_EQ(t->FieldAsInteger(1), 12);
    EXPECT_EQ(t->FieldAsString(2), "x'y\"z");
    EXPECT_EQ(t->FieldAsString(3), QString::fromUtf8("h\xc3\xa9"));
    EXPECT_EQ(t->FieldAsString(4), "3");
    EXPECT_EQ(messageOf([&] { t->FieldAsDouble(2); }), "Not an integer or numeric field");
    EXPECT_EQ(messageOf([&] { t->GetFieldIndex("nope"); }), "Field not found in dataset: nope");
    EXPECT_FALSE(t->Next());
    EXPECT_EQ(messageOf([&] { t->FieldAsString(1); }), "Table is at End of File");
}

TEST_F(Layer, NegativeRealTruncatesTowardZero)
{
    db->ExecSQL("INSERT INTO t (f) VALUES (?)", {-2.75});
    auto t = db->GetTable("SELECT f FROM t");
    EXPECT_EQ(t->FieldAsInteger(0), -2);
}

TEST_F(Layer, SyntaxErrorCarriesCodeTextStatementAndMessage)
{
    const QString m = messageOf([&] { db->ExecSQL("INSERT INTO t VALUES (1,,2)"); });
    EXPECT_TRUE(m.startsWith("Error executing SQL")) << m.toStdString();
    EXPECT_TRUE(m.contains("Error [1]: SQL error or missing database")) << m.toStdString();
    EXPECT_TRUE(m.contains("\"INSERT INTO t VALUES (1,,2)\"")) << m.toStdString();
    EXPECT_TRUE(m.contains("syntax error")) << m.toStdString();
    EXPECT_EQ(messageOf([&] { db->ExecSQL("   "); }), "Could not prepare SQL statement");
}

TEST_F(Layer, TableExistsIgnoresCase)
{
    db->ExecSQL("CREATE TABLE SONGS (a)");
    EXPECT_TRUE(db->TableExists("songs"));
    EXPECT_TRUE(db->TableExists("Songs"));
    EXPECT_TRUE(db->TableExists("T"));
    EXPECT_FALSE(db->TableExists("grupos"));
    EXPECT_FALSE(db->TableExists("x' or '1'='1"));
}

TEST_F(Layer, CursorMoves)
{
    for (int i = 1; i <= 3; ++i) db->ExecSQL("INSERT INTO t (n) VALUES (?)", {i});
    auto t = db->GetTable("SELECT n FROM t ORDER BY n");
    EXPECT_TRUE(t->MoveLast());
    EXPECT_EQ(t->FieldAsInteger(0), 3);
    EXPECT_TRUE(t->GetIsLastRow());
    EXPECT_TRUE(t->Previous());
    EXPECT_EQ(t->FieldAsInteger(0), 2);
    EXPECT_TRUE(t->MoveFirst());
    EXPECT_TRUE(t->GetBOF());
    EXPECT_EQ(db->GetTableValue("SELECT count(*) FROM t"), 3);
    EXPECT_EQ(db->GetTableStrings("SELECT n FROM t ORDER BY n"), QStringList({"1", "2", "3"}));
}

TEST_F(Layer, TransactionsAndNamedParameters)
{
    db->BeginTransaction();
    EXPECT_EQ(messageOf([&] { db->BeginTransaction(); }), "Transaction already open");
    db->AddParamText(":s", "it's");
    db->AddParamInt(":n", 7);
    db->ExecSQL("INSERT INTO t (n, s) VALUES (:n, :s)");
    db->Rollback();
    EXPECT_EQ(db->GetTableValue("SELECT count(*) FROM t"), 0);
    db->BeginTransaction();
    db->AddParamText(":s", "it's");
    db->AddParamNull(":n");
    db->ExecSQL("INSERT INTO t (n, s) VALUES (:n, :s)");
    db->Commit();
    EXPECT_EQ(db->GetTableString("SELECT s FROM t WHERE n IS NULL"), "it's");
}

TEST_F(Layer, OpenFailureNamesTheFile)
{
    const QString bad = dir.filePath("missing/folder/x.db");
    try {
        TSQLiteDatabase d(bad);
        FAIL() << "opened";
    } catch (const ESQLiteException& e) {
        EXPECT_TRUE(e.message().startsWith("Failed to open database \"" + bad + "\" : ")) << e.message().toStdString();
    }
}

TEST(SQLiteErrorText, Codes)
{
    EXPECT_EQ(SQLiteErrorStr(0), "Successful result");
    EXPECT_EQ(SQLiteErrorStr(19), "Abort due to contraint violation");
    EXPECT_EQ(SQLiteErrorStr(101), "sqlite3_step() has finished executing");
    EXPECT_EQ(SQLiteErrorStr(77), "Unknown SQLite Error Code \"77\"");
}

TEST_F(Layer, RowByRowResult)
{
    for (int i = 1; i <= 3; ++i) db->ExecSQL("INSERT INTO t (n, s) VALUES (?, ?)", {i, QString("r%1").arg(i)});
    TSQLiteUniTable u(*db, "SELECT n, s, f FROM t WHERE n >= ? ORDER BY n", {2});
    EXPECT_EQ(u.GetFieldIndex("S"), 1);
    EXPECT_FALSE(u.GetEOF());
    EXPECT_EQ(u.FieldAsInteger(0), 2);
    EXPECT_EQ(u.FieldAsString(1), "r2");
    EXPECT_TRUE(u.FieldIsNull(2));
    EXPECT_TRUE(u.Next());
    EXPECT_EQ(u.FieldAsString(1), "r3");
    EXPECT_FALSE(u.Next());
    EXPECT_TRUE(u.GetEOF());
    EXPECT_EQ(messageOf([&] { u.FieldAsString(0); }), "Table is at End of File");
}

TEST_F(Layer, PreparedStatementsBlobsBackupAndCollation)
{
    TSQLiteQuery q = db->PrepareSQL("INSERT INTO t (n, s) VALUES (?, ?)");
    for (int i = 0; i < 3; ++i) {
        db->BindSQL(q, 1, qint64(i));
        db->BindSQL(q, 2, QString("x'%1").arg(i));
        db->ExecSQL(q);
    }
    db->ReleaseSQL(q);
    EXPECT_EQ(q.Statement, nullptr);
    EXPECT_EQ(db->GetTableValue("SELECT count(*) FROM t WHERE s LIKE 'x''%'"), 3);

    db->UpdateBlob("UPDATE t SET b = ? WHERE n = 1", QByteArray("\x00\x01\x02", 3));
    EXPECT_EQ(db->GetTable("SELECT b FROM t WHERE n = 1")->FieldAsBlob(0), QByteArray("\x00\x01\x02", 3));
    EXPECT_EQ(messageOf([&] { db->UpdateBlob("UPDATE t SET b = 1", {}); }), "SQL must include a ? parameter");

    TSQLiteDatabase copy(dir.filePath("copy.db"));
    db->Backup(copy);
    EXPECT_EQ(copy.GetTableValue("SELECT count(*) FROM t"), 3);

    db->AddSystemCollate();
    EXPECT_EQ(db->GetTableStrings("SELECT s FROM t ORDER BY s COLLATE SYSTEM DESC").first(), "x'2");
}
