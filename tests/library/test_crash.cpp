#include <gtest/gtest.h>

#include <csignal>

#include <QProcess>
#include <QTemporaryDir>

#include "library/tmsql.h"

// A process killed in the middle of a bulk add leaves a database that opens, passes the
// integrity check and holds every row whose insert had returned.
class LibraryCrash : public ::testing::TestWithParam<const char*> {};

TEST_P(LibraryCrash, KilledDuringBulkAddKeepsEveryCommittedRow)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("korvanta.db");
    QProcess p;
    p.start(BULKADD_HELPER, {db, "10000", GetParam()});
    ASSERT_TRUE(p.waitForStarted());
    QByteArray out;
    auto lastId = [&out] {
        const QList<QByteArray> lines = out.left(out.lastIndexOf('\n')).split('\n');
        return lines.isEmpty() ? 0 : lines.last().toLongLong();
    };
    while (lastId() < 2500 && p.state() == QProcess::Running) {
        p.waitForReadyRead(5000);
        out += p.readAllStandardOutput();
    }
    ASSERT_EQ(p.state(), QProcess::Running) << "the helper ended before it was killed";
    ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
    out += p.readAllStandardOutput();

    const qint64 last = lastId();
    ASSERT_GE(last, 2500);
    ASSERT_LT(last, 10000);

    Tmsql sql(db);
    EXPECT_EQ(sql.db().GetTableString("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(sql.db().GetTableValue("SELECT count(*) FROM songs WHERE id <= ?", {double(last)}), last);
    EXPECT_GE(sql.songid, double(last));
    EXPECT_EQ(sql.db().GetTableString("SELECT artista FROM songs WHERE id = ?", {double(last)}),
              QString("Artist %1").arg((last - 1) % 97));
}

// one commit per track, and batches of 100
INSTANTIATE_TEST_SUITE_P(Commits, LibraryCrash, ::testing::Values("0", "100"));
