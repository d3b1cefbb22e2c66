// The runner with the fake engine: lines of both streams, the group ended as a whole, and the
// unfinished files of this run (and of no other) deleted by a cancel.
#include <QSignalSpy>
#include <QTest>

#include "tests/vidtool/vidtestsupport.h"
#include "vidtool/ytdlrunner.h"

using vidtest::PrivateRoot;


TEST(VidRunner, StreamsAreReadApartAndLinesJoinedAcrossReads)
{
    vidtest::app();
    PrivateRoot root;
    const QString fake = root.installFake({
        QStringLiteral("dir %1").arg(root.downloads),
        QStringLiteral("out %1 41 5").arg(vidtest::fixture(QStringLiteral("download.out"))),
        QStringLiteral("warn WARNING: a note"),
        QStringLiteral("exit 0"),
    });
    YtdlRunner runner;
    ASSERT_TRUE(runner.start(fake, {}, root.profile, root.downloads));
    QSignalSpy done(&runner, &YtdlRunner::finished);
    QStringList out, err;
    QObject::connect(&runner, &YtdlRunner::line, [&](const QString& t, bool e) { (e ? err : out) << t; });
    ASSERT_TRUE(done.wait(20000));
    EXPECT_EQ(done.at(0).at(0).toInt(), 0);
    EXPECT_FALSE(done.at(0).at(2).toBool());
    EXPECT_EQ(err, QStringList{"WARNING: a note"});
    // every line whole, in order, although it came 41 bytes at a time
    ASSERT_GE(out.size(), 6);
    EXPECT_TRUE(out.first().startsWith("[generic] Extracting URL: ")) << out.first().toStdString();
    EXPECT_TRUE(out.contains("[download] Destination: " + root.downloads + "tone.mp4"));
    EXPECT_TRUE(out.contains("[ExtractAudio] Destination: " + root.downloads + "tone.mp3"));
    EXPECT_GE(out.filter("[download]").filter("%").size(), 3);
}

TEST(VidRunner, ExitCodeAndUnstartableProgram)
{
    vidtest::app();
    PrivateRoot root;
    const QString fake = root.installFake({QStringLiteral("exit 3")});
    YtdlRunner runner;
    ASSERT_TRUE(runner.start(fake, {}, root.profile, root.downloads));
    QSignalSpy done(&runner, &YtdlRunner::finished);
    ASSERT_TRUE(done.wait(10000));
    EXPECT_EQ(done.at(0).at(0).toInt(), 3);
    EXPECT_FALSE(runner.start(root.path("no-such-program"), {}, root.profile, root.downloads));
    EXPECT_FALSE(runner.running());
}

TEST(VidRunner, CancelEndsTheWholeGroupAndDeletesOnlyThisRunsUnfinishedFiles)
{
    vidtest::app();
    PrivateRoot root;
    // files of an earlier, finished run and of the user: they stay
    vidtest::writeFile(root.downloads + "older.mp3", "mp3");
    vidtest::writeFile(root.downloads + "older.mp4.part", "part of another run");
    vidtest::writeFile(root.profile + "song.mp4.part", "outside the download folder");
    const QString fake = root.installFake({
        QStringLiteral("dir %1").arg(root.downloads),
        QStringLiteral("say [download] Destination: %1song.mp4").arg(root.downloads),
        QStringLiteral("write 1000 %1song.mp4.part").arg(root.downloads),
        QStringLiteral("write 10 %1song.mp4.ytdl").arg(root.downloads),
        QStringLiteral("say [download]  50.0% of 2.00KiB"),
        QStringLiteral("child 30000"),
        QStringLiteral("sleep 30000"),
    });
    YtdlRunner runner;
    QSignalSpy lines(&runner, &YtdlRunner::line);
    ASSERT_TRUE(runner.start(fake, {}, root.profile, root.downloads));
    const qint64 group = runner.groupId();
    QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 2, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(ProcessGroup::members(group).size() >= 3, 5000);  // bash, its sleep, the child
    QSignalSpy done(&runner, &YtdlRunner::finished);
    runner.cancel();
    ASSERT_TRUE(done.wait(5000));
    EXPECT_TRUE(done.at(0).at(2).toBool());
    EXPECT_TRUE(ProcessGroup::members(group).isEmpty());
    EXPECT_EQ(root.downloadFiles(), (QStringList{"older.mp3", "older.mp4.part"}));
    EXPECT_TRUE(QFile::exists(root.profile + "song.mp4.part"));
}

TEST(VidRunner, CancelDuringConversionDeletesTheOriginalAndTheHalfWrittenMp3)
{
    vidtest::app();
    PrivateRoot root;
    vidtest::writeFile(root.downloads + "tone.mp4", "a finished original of an earlier run");
    const QString fake = root.installFake({
        QStringLiteral("dir %1").arg(root.downloads),
        QStringLiteral("out %1").arg(vidtest::fixture(QStringLiteral("download.out"))),
        QStringLiteral("write 5000 %1tone.mp4").arg(root.downloads),
        QStringLiteral("write 700 %1tone.mp3").arg(root.downloads),
        QStringLiteral("child 30000"),
        QStringLiteral("wait"),
    });
    YtdlRunner runner;
    QStringList out;
    QObject::connect(&runner, &YtdlRunner::line, [&](const QString& t, bool) { out << t; });
    ASSERT_TRUE(runner.start(fake, {}, root.profile, root.downloads));
    const qint64 group = runner.groupId();
    QTRY_VERIFY_WITH_TIMEOUT(!out.filter("[ExtractAudio] Destination:").isEmpty(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(root.downloads + "tone.mp3"), 5000);
    EXPECT_EQ(runner.unfinishedFiles(false),
              (QStringList{root.downloads + "tone.mp4.part", root.downloads + "tone.mp4.ytdl",
                           root.downloads + "tone.mp4", root.downloads + "tone.mp3",
                           root.downloads + "tone.temp.mp3"}));
    QSignalSpy done(&runner, &YtdlRunner::finished);
    runner.cancel();
    ASSERT_TRUE(done.wait(5000));
    EXPECT_TRUE(ProcessGroup::members(group).isEmpty());
    EXPECT_TRUE(root.downloadFiles().isEmpty()) << root.downloadFiles().join(' ').toStdString();
}

TEST(VidRunner, FinishedRunKeepsItsFilesAndLeftoversOfItsGroupEnd)
{
    vidtest::app();
    PrivateRoot root;
    const QString fake = root.installFake({
        QStringLiteral("say [download] Destination: %1a.mp4").arg(root.downloads),
        QStringLiteral("write 10 %1a.mp3").arg(root.downloads),
        QStringLiteral("child 30000"),  // left running when the leader ends
        QStringLiteral("exit 0"),
    });
    YtdlRunner runner;
    ASSERT_TRUE(runner.start(fake, {}, root.profile, root.downloads));
    const qint64 group = runner.groupId();
    QSignalSpy done(&runner, &YtdlRunner::finished);
    ASSERT_TRUE(done.wait(5000));
    EXPECT_FALSE(done.at(0).at(2).toBool());
    EXPECT_TRUE(ProcessGroup::members(group).isEmpty());
    EXPECT_EQ(root.downloadFiles(), QStringList{"a.mp3"});
    runner.cancel();  // after the end: nothing to do
    EXPECT_EQ(root.downloadFiles(), QStringList{"a.mp3"});
}

TEST(VidRunner, OutputAfterCancelIsNotReported)
{
    vidtest::app();
    PrivateRoot root;
    const QString fake = root.installFake({
        QStringLiteral("say first"),
        QStringLiteral("sleep 30000"),
    });
    YtdlRunner runner;
    QStringList out;
    QObject::connect(&runner, &YtdlRunner::line, [&](const QString& t, bool) { out << t; });
    ASSERT_TRUE(runner.start(fake, {}, root.profile, root.downloads));
    QTRY_COMPARE_WITH_TIMEOUT(out.size(), 1, 10000);
    QSignalSpy done(&runner, &YtdlRunner::finished);
    runner.cancel();
    ASSERT_TRUE(done.wait(5000));
    EXPECT_EQ(out, QStringList{"first"});
}
