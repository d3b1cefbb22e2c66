// Writes that meet a busy file, writes that fail, and the positions of playlist entries
// around them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "library/sqliteexception.h"
#include "library/walcheckpointer.h"
#include "tests/library/libraryfixture.h"

namespace {
using Clock = std::chrono::steady_clock;

// a second connection to the file that holds its write lock until release()
struct WriteLock {
    explicit WriteLock(const QString& path) : db(path) { db.BeginWriteTransaction(); }
    ~WriteLock() { release(); }
    void release()
    {
        if (db.InTransaction()) db.Rollback();
    }
    TSQLiteDatabase db;
};

// a playlist entry refused by the file itself, whatever statement inserts it
void refuseInserts(TSQLiteDatabase& db, const QString& file)
{
    db.ExecSQL(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON songs WHEN new.fichero = '%1' "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                   .arg(file));
}
}  // namespace

TEST_F(LibraryDb, AWriteWaitsForAnotherCopyThatHoldsTheFile)
{
    WriteLock other(path());
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.release();
    });
    const auto t0 = Clock::now();
    const double id = sql->altadecancion(0, tags("/m/wait.mp3", "a", "b"), 1, 1);
    const auto waited = Clock::now() - t0;
    releaser.join();
    EXPECT_GT(id, 0);
    EXPECT_EQ(value("SELECT count(*) FROM songs WHERE id = ? AND fichero = '/m/wait.mp3'", {id}), 1);
    EXPECT_GE(waited, std::chrono::milliseconds(250));
}

// A new id is read inside the inserting transaction: rows another copy added meanwhile are
// never given a second time.
TEST_F(LibraryDb, IdsFollowRowsAnotherCopyAdded)
{
    const double first = sql->altadecancion(0, tags("/m/1.mp3", "a", "b"), 1, 1);
    {
        Tmsql other(path());
        for (int i = 0; i < 3; ++i) other.altadecancion(0, tags(QString("/m/o%1.mp3").arg(i), "a", "b"), 1, 1);
        EXPECT_GT(other.altadegrupo(0, "Theirs", true, 0), 0);
    }
    const double next = sql->altadecancion(0, tags("/m/2.mp3", "a", "b"), 1, 1);
    EXPECT_EQ(next, first + 4);
    EXPECT_EQ(value("SELECT count(DISTINCT id) FROM songs"), 5);
    EXPECT_EQ(sql->altadegrupo(0, "Mine", true, 0), 4);
    const double p = sql->altadegrupo(1, "List", true, 0);
    double a = 0, b = 0;
    ASSERT_TRUE(sql->altadesg(row("/m/x.mp3"), 1, 1, p, p, &a));
    ASSERT_TRUE(sql->altadesg2(row("/m/y.mp3"), 1, 1, p, p, &b));
    EXPECT_EQ(a, next + 1);
    EXPECT_EQ(b, next + 2);
}

TEST_F(LibraryDb, WritesThatStillFailAreReported)
{
    const double p = sql->altadegrupo(1, "List", true, 0);
    for (int i = 1; i <= 3; ++i) sql->altadesg(row(QString("/m/%1.mp3").arg(i)), 1, i, p, p);
    sql->db().SetTimeout(50);
    WriteLock other(path());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(sql->altadecancion(0, tags("/m/busy.mp3", "a", "b"), 1, 1), 0);
    EXPECT_EQ(sql->altadecancion(1, tags("/m/busy.mp3", "a", "b", 1), p, p), 0);
    EXPECT_FALSE(sql->altadesg(row("/m/busy.mp3"), 0, 0, 1, 1));
    EXPECT_FALSE(sql->altadesg2(row("/m/busy.mp3"), 1, 1, p, p));
    EXPECT_EQ(sql->altadegrupo(0, "Busy", true, 0), 0);
    EXPECT_EQ(sql->altadesubgrupo(0, "Busy", true, 1), 0);
    bool inserted = true;
    EXPECT_EQ(sql->altaencurrent(row("/m/busy.mp3"), p, &inserted), "0000");
    EXPECT_FALSE(inserted);
    sql->beginBatch();
    sql->altadecancion(0, tags("/m/busy2.mp3", "a", "b"), 1, 1);
    EXPECT_TRUE(sql->endBatch());  // nothing was begun, nothing to lose
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("locked"), std::string::npos) << err;
    other.release();
    EXPECT_EQ(value("SELECT count(*) FROM songs WHERE fichero LIKE '%busy%'"), 0);
    EXPECT_EQ(value("SELECT count(*) FROM grupos WHERE grupo = 'Busy'"), 0);
    EXPECT_EQ(positions(p), QList<qint64>({1, 2, 3}));
}

// A failed insert takes back the shift that made room for it.
TEST_F(LibraryDb, AFailedInsertAtAPositionLeavesThePositions)
{
    const double p = sql->altadegrupo(1, "List", true, 0);
    for (int i = 1; i <= 3; ++i) sql->altadesg(row(QString("/m/%1.mp3").arg(i)), 1, i, p, p);
    refuseInserts(sql->db(), "/m/refused.mp3");
    ::testing::internal::CaptureStderr();
    double id = -1;
    EXPECT_FALSE(sql->altadesg2(row("/m/refused.mp3"), 1, 2, p, p, &id));
    EXPECT_EQ(id, -1);
    EXPECT_EQ(sql->altadecancion(1, tags("/m/refused.mp3", "a", "b", 1), p, p), 0);
    bool inserted = true;
    EXPECT_EQ(sql->altaencurrent(row("/m/refused.mp3"), p, &inserted, &id), "0000");
    EXPECT_FALSE(inserted);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("refused"), std::string::npos);
    EXPECT_EQ(positions(p), QList<qint64>({1, 2, 3}));

    // inside a batch only the failed entry's own statements are taken back
    sql->beginBatch();
    EXPECT_GT(sql->altadecancion(1, tags("/m/4.mp3", "a", "b", 1), p, p), 0);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(sql->altadesg2(row("/m/refused.mp3"), 1, 1, p, p));
    ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(sql->endBatch());
    EXPECT_EQ(positions(p), QList<qint64>({2, 3, 4, 1}));
}

TEST_F(LibraryDb, AppendedEntriesFollowTheLastStoredPosition)
{
    const double p = sql->altadegrupo(1, "List", true, 0);
    const double q = sql->altadegrupo(1, "Other", true, 0);
    sql->altadecancion(1, tags("/q.mp3", "a", "b", 1), q, q);
    // appends (orden 0) interleaved with the history's inserts at position 1
    for (int i = 0; i < 6; ++i) {
        EXPECT_GT(sql->altadecancion(1, tags(QString("/m/add%1.mp3").arg(i), "a", "b", 0), p, p), 0);
        if (i % 2 == 0) sql->altaencurrent(row(QString("/m/load%1.mp3").arg(i)), p);
    }
    QList<qint64> pos = positions(p);
    std::sort(pos.begin(), pos.end());
    EXPECT_EQ(pos, QList<qint64>({1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(value("SELECT orden FROM songs WHERE fichero = '/m/add5.mp3'"), 9);
    EXPECT_EQ(positions(q), QList<qint64>({1}));
}

// The moved and the deleted entry are found by id: their stored position counts, not the
// one the caller saw (a track loaded meanwhile moved every entry down).
TEST_F(LibraryDb, MoveAndDeleteTakeThePositionFromTheStoredRow)
{
    const double p = 2;
    double ids[6] = {};
    for (int i = 1; i <= 5; ++i) sql->altadesg(row(QString("/m/%1.mp3").arg(i)), 1, i, p, p, &ids[i]);
    sql->altaencurrent(row("/m/loaded.mp3"), p);  // 1..5 are now at 2..6
    EXPECT_EQ(sql->muevecancion(2, 5, p, ids[2]), 3);
    auto at = [&](double id) { return value("SELECT orden FROM songs WHERE id = ?", {id}); };
    EXPECT_EQ(at(ids[2]), 5);
    EXPECT_EQ(at(ids[3]), 3);
    EXPECT_EQ(at(ids[4]), 4);
    EXPECT_EQ(at(ids[5]), 6);
    EXPECT_EQ(sql->muevecancion(1, 5, p, 999), 0);  // no such entry: nothing moves
    sql->borracancion(1, 1, p, FloatText(ids[3]));     // stored at 3, not 1
    QList<qint64> pos = positions(p);
    std::sort(pos.begin(), pos.end());
    EXPECT_EQ(pos, QList<qint64>({1, 2, 3, 4, 5}));
    EXPECT_EQ(at(ids[1]), 2);
    EXPECT_EQ(at(ids[2]), 4);
}

// Whatever the user types, a search answers the rows that hold the text and never throws.
TEST_F(LibraryDb, SearchFindsExactlyTheRowsHoldingAnyText)
{
    const QString stored[] = {
        QString("a") + QChar(0) + "b", "a", "ab", QString(QChar(0)), "plain words", "QUOTE\"D", "x*y", "NEAR(a b)",
        QString::fromUtf8("Mötley Crüe"), QString(QChar(0xD800)) + "lone", "^start", "a -b", "tab\there",
    };
    const QString asked[] = {
        QString(QChar(0)), QString("a") + QChar(0) + "b", QString("A") + QChar(0), "a", "AB", "\"", "\"\"", "*", "x*",
        "NEAR", "(a", "^", "-b", QString(QChar(0xD800)), QString::fromUtf8("ötl"), "\t", "", "zzz", "' OR 1=1 --",
        QString(QChar(0)) + QChar(0) + QChar(0),
    };
    for (int i = 0; i < int(std::size(stored)); ++i)
        sql->altadesg(row("/m/" + stored[i], stored[i], QString::number(i)), 0, 0, 1, 1);
    // an unpaired surrogate is stored, and looked for, as U+FFFD
    auto asStored = [](QString t) {
        for (QChar& c : t)
            if (c.isSurrogate()) c = QChar::ReplacementCharacter;
        return t;
    };
    auto holds = [&](const QString& hay, const QString& needle) {
        // ASCII letters match in either case, as LIKE does
        auto fold = [&](QString t) {
            for (QChar& c : t)
                if (c.unicode() < 128) c = c.toLower();
            return asStored(t);
        };
        return fold(hay).contains(fold(needle));
    };
    EXPECT_EQ(text("SELECT artista FROM songs WHERE cancion = '9'"), asStored(stored[9]));
    for (const QString& q : asked) {
        SCOPED_TRACE(q.toUcs4().size() == 1 ? std::to_string(q.toUcs4()[0]) : q.toStdString());
        QStringList expected;
        for (int i = 0; i < int(std::size(stored)); ++i)
            if (holds(stored[i], q) || holds(QString::number(i), q) || holds("120.000", q))
                expected << QString::number(i);
        std::unique_ptr<TSQLiteTable> t;
        ASSERT_NO_THROW(t = sql->buscacanciones(q));
        QStringList found;
        for (; !t->GetEOF(); t->Next()) found << t->FieldAsString(t->GetFieldIndex("cancion"));
        std::sort(expected.begin(), expected.end());
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected);
    }
}

// The write-ahead log is copied back by a thread of its own: commits keep it bounded
// without checkpointing themselves.
TEST(LibraryCheckpoints, TheLogIsCopiedBackOffTheCommittingThread)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("wal.db");
    TSQLiteDatabase db(path);
    ASSERT_EQ(db.GetTableString("PRAGMA journal_mode=WAL"), "wal");
    db.ExecSQL("CREATE TABLE t (x BLOB)");
    WalCheckpointer checkpointer(db.handle(), path);
    const QByteArray blob(400 * 1024, 'x');  // about 100 pages a commit
    // bursts of commits with a pause between them, as a DJ's session writes
    for (int i = 0; i < 60; ++i) {
        db.BeginWriteTransaction();
        db.ExecSQL("INSERT INTO t VALUES (?)", {blob});
        db.Commit();
        if (i % 15 != 14) continue;
        const auto until = Clock::now() + std::chrono::seconds(10);
        while (checkpointer.busy() && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_GE(checkpointer.checkpoints(), 4);
    EXPECT_LT(QFileInfo(path + "-wal").size(), qint64(12) << 20) << "60 commits of 400 kB each";
    EXPECT_EQ(db.GetTableValue("SELECT count(*) FROM t"), 60);
}
