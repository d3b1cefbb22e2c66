// The installed yt-dlp against an HTTP server of the test's own on 127.0.0.1, serving media
// made with ffmpeg: the output that the fake engine replays, one real download, a cancel during
// the download and a cancel during the conversion, each checked on the download folder and on
// no process of the run's group being left.
//
// OSTREL_VID_WRITE_FIXTURES=1 writes the captured output into tests/vidtool/fixtures (the
// download folder as "@DIR@", the server as "@URL@"); otherwise the fixtures are checked to
// have the same lines, in the same order, as what the engine prints now.
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include "snkins/quor/tquorswitch1.h"
#include "snkins/vr/tvrprogressbar.h"
#include "tests/support/toolprocess.h"
#include "tests/vidtool/testhttpserver.h"
#include "tests/vidtool/vidtestsupport.h"
#include "vidtool/tdownload.h"
#include "vidtool/ytdlrunner.h"

using vidtest::PrivateRoot;

namespace {

// The media, made once per run of the tests.
struct Media {
    QTemporaryDir dir;
    bool ok = false;
    QString path(const char* name) const { return dir.path() + u'/' + QLatin1String(name); }

    Media()
    {
        const QString ffmpeg = QStringLiteral("ffmpeg");
        ok = testsupport::runTool(ffmpeg, {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                           "sine=frequency=440:duration=5", "-f", "lavfi", "-i",
                                           "color=c=blue:s=160x120:d=5", "-shortest", "-c:v", "libx264",
                                           "-c:a", "aac", path("tone.mp4")}) == 0 &&
             // forty minutes at 11025 Hz, 8 bits: a small file whose conversion lasts seconds
             testsupport::runTool(ffmpeg, {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                           "sine=frequency=440:sample_rate=11025:duration=2400", "-ac", "1",
                                           "-c:a", "pcm_u8", path("tone40.wav")}) == 0;
        QFile page(path("page.txt"));
        ok = ok && page.open(QIODevice::WriteOnly) && page.write("hello\n") == 6;
    }
};

Media& media()
{
    static Media* m = new Media;
    return *m;
}

QString engine() { return QStandardPaths::findExecutable(QStringLiteral("yt-dlp")); }

#define NEED_ENGINE()                                                              \
    do {                                                                           \
        vidtest::app();                                                            \
        if (engine().isEmpty()) GTEST_SKIP() << "yt-dlp is not installed";         \
        ASSERT_TRUE(media().ok) << "ffmpeg could not make the media";              \
    } while (0)

struct Captured {
    QByteArray out, err;
    int code = -1;
};

Captured capture(const QStringList& args, const QString& workFolder)
{
    Captured c;
    ProcessGroup group;
    QObject::connect(&group, &ProcessGroup::standardOutputReady, [&] { c.out += group.readStandardOutput(); });
    QObject::connect(&group, &ProcessGroup::standardErrorReady, [&] { c.err += group.readStandardError(); });
    QSignalSpy ended(&group, &ProcessGroup::ended);
    EXPECT_TRUE(group.start(engine(), args, workFolder));
    EXPECT_TRUE(ended.wait(60000));
    c.out += group.readStandardOutput();
    c.err += group.readStandardError();
    if (!ended.isEmpty()) c.code = ended.at(0).at(0).toInt();
    return c;
}

// The lines in order, progress lines (whose figures change from run to run) folded into one.
QStringList skeleton(const QByteArray& bytes)
{
    QStringList lines;
    static const QRegularExpression progress(QStringLiteral("^\\[download\\] +[0-9.]+% "));
    for (const QByteArray& raw : bytes.split('\n')) {
        for (const QByteArray& piece : raw.split('\r')) {
            QString line = QString::fromUtf8(piece).trimmed();
            if (line.isEmpty()) continue;
            if (progress.match(line).hasMatch()) line = QStringLiteral("[download] N%");
            if (lines.isEmpty() || lines.last() != line) lines << line;
        }
    }
    return lines;
}

void compareWithFixture(const QString& name, const QByteArray& live)
{
    QFile f(vidtest::fixture(name));
    if (qEnvironmentVariableIsSet("OSTREL_VID_WRITE_FIXTURES")) {
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(live);
        return;
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    EXPECT_EQ(skeleton(f.readAll()).join(u'\n').toStdString(), skeleton(live).join(u'\n').toStdString())
        << name.toStdString();
}

QByteArray normalised(QByteArray bytes, const QString& folder, const QString& base)
{
    bytes.replace(folder.toUtf8(), "@DIR@");
    bytes.replace(base.toUtf8(), "@URL@");
    return bytes;
}

struct Window {
    PrivateRoot root;
    std::unique_ptr<tdownload> w;
    int maxProgress = 0;
    bool sawSaving = false;

    Window()
    {
        w = std::make_unique<tdownload>(root.profile, VideoEngine{engine(), false});
        QObject::connect(w->mprogress, &TVrProgressBar::OnChange, [this] {
            maxProgress = qMax(maxProgress, w->mprogress->Position());
        });
    }
    bool run(void (tdownload::*click)())
    {
        QSignalSpy done(w.get(), &tdownload::runFinished);
        (w.get()->*click)();
        return done.wait(60000);
    }
};

}  // namespace

TEST(VidRealEngine, OutputMatchesTheReplayedFixtures)
{
    NEED_ENGINE();
    TestHttpServer server;
    server.serve("/tone.mp4", media().path("tone.mp4"));
    server.serve("/page.txt", media().path("page.txt"));
    PrivateRoot root;
    tdownload w(root.profile, VideoEngine{engine(), false});
    const QString dir = root.downloads;

    const struct {
        const char* name;
        QStringList args;
        int code;
    } cases[] = {
        {"title", w.titleArgs(server.url("/tone.mp4")), 0},
        {"download", w.downloadArgs(server.url("/tone.mp4")), 0},
        {"notfound", w.titleArgs(server.url("/missing.mp4")), 1},
        {"warning", w.titleArgs(server.url("/page.txt")), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Captured got = capture(c.args, root.profile);
        EXPECT_EQ(got.code, c.code);
        compareWithFixture(QLatin1String(c.name) + QStringLiteral(".out"), normalised(got.out, dir, server.base()));
        compareWithFixture(QLatin1String(c.name) + QStringLiteral(".err"), normalised(got.err, dir, server.base()));
        for (const QString& f : QDir(dir).entryList(QDir::Files)) QFile::remove(dir + f);
    }
}

TEST(VidRealEngine, DownloadSavesTheMp3)
{
    NEED_ENGINE();
    TestHttpServer server;
    server.serve("/tone.mp4", media().path("tone.mp4"));
    Window win;
    win.w->txtLink->setText(server.url("/tone.mp4"));
    ASSERT_TRUE(win.run(&tdownload::bffd1Click));
    EXPECT_EQ(win.w->txtVideoTitle->text(), "tone");
    EXPECT_TRUE(win.w->bffd3->isEnabled());
    ASSERT_TRUE(win.run(&tdownload::bffd3Click));
    const qint64 group = win.w->runner()->groupId();
    EXPECT_TRUE(ProcessGroup::members(group).isEmpty());
    EXPECT_EQ(win.root.downloadFiles(), QStringList{"tone.mp3"});
    EXPECT_GT(QFileInfo(win.root.downloads + "tone.mp3").size(), 10000);
    EXPECT_EQ(win.maxProgress, 100);
    // the window is ready for the next one
    EXPECT_EQ(win.w->mstat->text(), "STATUS:");
    EXPECT_TRUE(win.w->txtLink->text().isEmpty());
    EXPECT_EQ(win.w->mprogress->Position(), 0);
}

TEST(VidRealEngine, CancelDuringTheDownload)
{
    NEED_ENGINE();
    TestHttpServer server;
    server.serve("/tone40.wav", media().path("tone40.wav"), 2'000'000);  // 13 s at this pace
    Window win;
    win.w->txtLink->setText(server.url("/tone40.wav"));
    QSignalSpy done(win.w.get(), &tdownload::runFinished);
    win.w->bffd3Click();
    QTRY_VERIFY_WITH_TIMEOUT(win.maxProgress >= 3, 30000);
    EXPECT_TRUE(QFile::exists(win.root.downloads + "tone40.wav.part"));
    const qint64 group = win.w->runner()->groupId();
    win.w->bffd2Click();
    ASSERT_TRUE(done.wait(10000));
    EXPECT_TRUE(ProcessGroup::members(group).isEmpty());
    EXPECT_TRUE(win.root.downloadFiles().isEmpty()) << win.root.downloadFiles().join(' ').toStdString();
}

TEST(VidRealEngine, CancelDuringTheConversion)
{
    NEED_ENGINE();
    TestHttpServer server;
    server.serve("/tone40.wav", media().path("tone40.wav"));
    Window win;
    win.w->txtLink->setText(server.url("/tone40.wav"));
    QSignalSpy done(win.w.get(), &tdownload::runFinished);
    win.w->bffd3Click();
    QTRY_VERIFY_WITH_TIMEOUT(win.w->mstat->text().contains("Saving audio"), 60000);
    // the converter has begun to write the mp3
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(win.root.downloads + "tone40.mp3").size() > 0, 10000);
    const qint64 group = win.w->runner()->groupId();
    EXPECT_GE(ProcessGroup::members(group).size(), 2);  // yt-dlp and its ffmpeg
    win.w->bffd2Click();
    ASSERT_TRUE(done.wait(10000));
    EXPECT_TRUE(ProcessGroup::members(group).isEmpty());
    EXPECT_TRUE(win.root.downloadFiles().isEmpty()) << win.root.downloadFiles().join(' ').toStdString();
}
