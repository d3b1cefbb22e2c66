// The downloader's window on the offscreen platform, with the fake engine: its settings file,
// the folder choice, the buttons of a run, the title check, progress, update texts, cancel and
// close, and the address reaching the engine as one argument.
#include <QClipboard>
#include <QMessageBox>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include "snkins/quor/tquorswitch1.h"
#include "snkins/vr/tvrprogressbar.h"
#include "tests/vidtool/vidtestsupport.h"
#include "vidtool/tdownload.h"
#include "vidtool/ytdlrunner.h"

using vidtest::PrivateRoot;

namespace {

// A window on a private profile whose "yt-dlp" is the fake engine.
struct Rig {
    PrivateRoot root;
    QString fake;
    std::unique_ptr<tdownload> w;
    QList<int> positions;

    explicit Rig(const QStringList& scenario = {QStringLiteral("exit 0")}, bool inProfile = true)
    {
        vidtest::app();
        fake = root.installFake(scenario);
        make(VideoEngine{fake, inProfile});
    }
    void make(const VideoEngine& engine)
    {
        w = std::make_unique<tdownload>(root.profile, engine);
        QObject::connect(w->mprogress, &TVrProgressBar::OnChange, [this] { positions << w->mprogress->Position(); });
    }
    bool click(void (tdownload::*handler)(), int timeoutMs = 20000)
    {
        QSignalSpy done(w.get(), &tdownload::runFinished);
        (w.get()->*handler)();
        return done.wait(timeoutMs);
    }
    QString log() const { return w->Memo1->toPlainText(); }
};

}  // namespace

TEST(VidWindow, FirstStartWritesCfgWithTheDownloadsFolder)
{
    Rig rig;
    EXPECT_EQ(rig.w->downloadto->text(), rig.root.downloads);
    EXPECT_EQ(vidtest::readAll(rig.w->cfgPath()), rig.root.downloads + "\n");
    EXPECT_EQ(rig.w->windowTitle(), "OSTREL Clipwell");
    EXPECT_EQ(rig.w->size(), QSize(1000, 422));
}

TEST(VidWindow, ProfileFolderIsMadeWhenMissing)
{
    vidtest::app();
    PrivateRoot root;
    const QString profile = root.path("home/Elsewhere/OSTREL_KORVANTA/");
    tdownload w(profile, VideoEngine{});
    EXPECT_TRUE(QDir(profile + "Downloads").exists());
    EXPECT_EQ(vidtest::readAll(profile + "cfg.txt"), profile + "Downloads/\n");
    EXPECT_EQ(w.openMessage(), nullptr);
}

TEST(VidWindow, SettingsFileCases)
{
    const struct {
        const char* name;
        QByteArray cfg;           // "@D" = an existing folder of the test
        const char* shown;        // "@D" as above, "@S" the Downloads folder
        bool rewritten;
    } cases[] = {
        {"folder given", "@D\n", "@D", false},
        {"folder without line end", "@D", "@D", false},
        {"folder, CR LF", "@D\r\nignored\r\n", "@D", false},
        {"empty first line", "\nsecond\n", "@S", false},
        {"empty file", "", "@S", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vidtest::app();
        PrivateRoot root;
        const QString chosen = root.path("music folder/");
        QDir().mkpath(chosen);
        QByteArray cfg = c.cfg;
        cfg.replace("@D", chosen.toUtf8());
        vidtest::writeFile(root.profile + "cfg.txt", cfg);
        tdownload w(root.profile, VideoEngine{});
        QString shown = QString::fromUtf8(c.shown);
        shown.replace("@D", chosen).replace("@S", root.downloads);
        EXPECT_EQ(w.downloadto->text(), shown);
        EXPECT_EQ(vidtest::readAll(root.profile + "cfg.txt").toUtf8(), cfg);  // not rewritten
        QTest::qWait(1);
        EXPECT_EQ(w.jsd, nullptr);  // no folder dialog
    }
}

TEST(VidWindow, UnwritableSettingsFileShowsAnError)
{
    vidtest::app();
    PrivateRoot root;
    QDir().mkpath(root.profile + "cfg.txt");  // a folder in its place: neither read nor written
    tdownload w(root.profile, VideoEngine{});
    ASSERT_NE(w.openMessage(), nullptr);
    EXPECT_TRUE(w.openMessage()->text().startsWith("I/O error: " + root.profile + "cfg.txt"));
    EXPECT_EQ(w.downloadto->text(), root.downloads);
}

TEST(VidWindow, WithoutEngineItSaysSoAndItsButtonsStayOff)
{
    vidtest::app();
    PrivateRoot root;
    tdownload w(root.profile, VideoEngine{});
    EXPECT_TRUE(w.mstat->text().contains("No video engine")) << w.mstat->text().toStdString();
    EXPECT_FALSE(w.bffd1->isEnabled());
    EXPECT_FALSE(w.bffd3->isEnabled());
    EXPECT_FALSE(w.QuorSwitch12->isEnabled());
    EXPECT_TRUE(w.paste->isEnabled());
    EXPECT_TRUE(w.QuorSwitch11->isEnabled());
    EXPECT_TRUE(w.bffd4->isEnabled());
    w.reinicia();
    EXPECT_TRUE(w.mstat->text().contains("No video engine"));
}

TEST(VidWindow, EngineFoundInProfileFirstThenOnPath)
{
    vidtest::app();
    PrivateRoot root;
    const VideoEngine none = VideoEngine::find(root.profile);
    EXPECT_FALSE(none.inProfile);
    EXPECT_EQ(none.program, QStandardPaths::findExecutable("yt-dlp"));
    root.installFake({});
    const VideoEngine own = VideoEngine::find(root.profile);
    EXPECT_TRUE(own.inProfile);
    EXPECT_EQ(own.program, root.profile + "yt-dlp");
}

TEST(VidWindow, ButtonsDuringARun)
{
    Rig rig({QStringLiteral("say A title"), QStringLiteral("sleep 400"), QStringLiteral("exit 0")});
    auto* w = rig.w.get();
    EXPECT_TRUE(w->bffd1->isEnabled());
    EXPECT_FALSE(w->bffd2->isEnabled());
    EXPECT_FALSE(w->bffd3->isEnabled());
    w->txtLink->setText("https://v.example/watch?v=1");
    QSignalSpy done(w, &tdownload::runFinished);
    w->bffd1Click();
    ASSERT_TRUE(w->running());
    for (QWidget* off : {static_cast<QWidget*>(w->bffd1), static_cast<QWidget*>(w->bffd3),
                         static_cast<QWidget*>(w->paste), static_cast<QWidget*>(w->QuorSwitch11),
                         static_cast<QWidget*>(w->QuorSwitch12)})
        EXPECT_FALSE(off->isEnabled()) << off->metaObject()->className();
    EXPECT_TRUE(w->bffd2->isEnabled());
    EXPECT_TRUE(w->bffd4->isEnabled());
    // a second press during the run starts nothing
    w->bffd1Click();
    w->QuorSwitch12Click();
    ASSERT_TRUE(done.wait(10000));
    EXPECT_EQ(done.size(), 1);
    EXPECT_TRUE(w->bffd1->isEnabled());
    EXPECT_TRUE(w->bffd3->isEnabled());  // a title was found
    EXPECT_FALSE(w->bffd2->isEnabled());
    EXPECT_TRUE(w->paste->isEnabled());
}

TEST(VidWindow, TitleCheckCases)
{
    const struct {
        const char* name;
        QStringList scenario;
        const char* title;
        bool download;
    } cases[] = {
        {"captured title", {"out " + vidtest::fixture("title.out"), "err " + vidtest::fixture("title.err")}, "tone", true},
        {"warnings go to the log", {"out " + vidtest::fixture("warning.out"), "err " + vidtest::fixture("warning.err")},
         "page", true},
        {"captured error", {"out " + vidtest::fixture("notfound.out"), "err " + vidtest::fixture("notfound.err"), "exit 1"},
         "ERROR: Video not found", false},
        {"a title containing error", {"say Terror Error (live)"}, "Terror Error (live)", true},
        {"first line is the title", {"say First", "say Second"}, "First", true},
        {"warning on standard output", {"say WARNING: odd", "say Real"}, "Real", true},
        {"error without a line", {"say Half", "exit 2"}, "ERROR: Video not found", false},
        {"nothing printed", {"exit 0"}, "ERROR: Video not found", false},
        {"error after the title", {"say A title", "warn ERROR: gone", "sleep 5000"}, "ERROR: Video not found", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.scenario);
        rig.w->txtLink->setText("https://v.example/watch?v=1");
        ASSERT_TRUE(rig.click(&tdownload::bffd1Click));
        EXPECT_EQ(rig.w->txtVideoTitle->text(), QString::fromUtf8(c.title));
        EXPECT_EQ(rig.w->bffd3->isEnabled(), c.download);
        EXPECT_TRUE(rig.w->Image2->isHidden());
        EXPECT_TRUE(ProcessGroup::members(rig.w->runner()->groupId()).isEmpty());
    }
    Rig warned({"out " + vidtest::fixture("warning.out"), "err " + vidtest::fixture("warning.err")});
    warned.w->txtLink->setText("https://v.example/x");
    ASSERT_TRUE(warned.click(&tdownload::bffd1Click));
    EXPECT_TRUE(warned.log().contains("WARNING: [generic] Falling back on generic information extractor"));
}

TEST(VidWindow, ThumbnailWrittenByTheEngineIsShown)
{
    Rig rig({QStringLiteral("say Clip"), QStringLiteral("sleep 300")});
    QImage stale(8, 8, QImage::Format_RGB32);
    stale.fill(Qt::red);
    ASSERT_TRUE(stale.save(rig.root.profile + "imagen.jpg", "JPG"));
    rig.w->txtLink->setText("https://v.example/x");
    QSignalSpy done(rig.w.get(), &tdownload::runFinished);
    rig.w->bffd1Click();
    EXPECT_FALSE(QFile::exists(rig.root.profile + "imagen.jpg"));  // the last one goes first
    QImage thumb(160, 90, QImage::Format_RGB32);
    thumb.fill(Qt::blue);
    ASSERT_TRUE(thumb.save(rig.root.profile + "imagen.jpg", "JPG"));
    ASSERT_TRUE(done.wait(10000));
    EXPECT_FALSE(rig.w->Image2->isHidden());
    EXPECT_FALSE(rig.w->Image2->pixmap().isNull());
}

TEST(VidWindow, InvalidAddressIsRefusedWithAMessage)
{
    for (const char* text : {"", "-o /tmp/x https://v.example/a", "v.example/a", "https://v.example/playlist?list=1"}) {
        SCOPED_TRACE(text);
        Rig rig({QStringLiteral("args %1").arg(PrivateRoot().path("never"))});
        rig.w->txtLink->setText(QString::fromUtf8(text));
        rig.w->bffd1Click();
        EXPECT_FALSE(rig.w->running());
        ASSERT_NE(rig.w->openMessage(), nullptr);
        EXPECT_EQ(rig.w->openMessage()->text(), "Not a valid URL");
        EXPECT_EQ(rig.w->openMessage()->windowTitle(), "WARNING");
        EXPECT_EQ(rig.w->openMessage()->icon(), QMessageBox::Warning);
        rig.w->openMessage()->close();
        rig.w->bffd3Click();
        EXPECT_FALSE(rig.w->running());
    }
}

TEST(VidWindow, AddressReachesTheEngineAsOneArgument)
{
    PrivateRoot scratch;
    const QString argsFile = scratch.path("args");
    Rig rig({QStringLiteral("args %1").arg(argsFile), QStringLiteral("say T")});
    const QString url = QStringLiteral("https://v.example/a b;c'd\"$(touch PWNED)`touch PWNED2`&x=1 ");
    rig.w->txtLink->setText("  " + url);
    ASSERT_TRUE(rig.click(&tdownload::bffd1Click));
    const QString sent = url.trimmed();
    EXPECT_EQ(rig.w->txtLink->text(), sent);
    EXPECT_EQ(rig.root.args(argsFile),
              (QStringList{"--ignore-config", "-e", "--write-thumbnail", "-o", rig.root.profile + "imagen.%(ext)s", "--",
                           sent}));
    EXPECT_FALSE(QFile::exists(rig.root.profile + "PWNED"));
    EXPECT_FALSE(QFile::exists(rig.root.profile + "PWNED2"));

    // the download: quality from the list, a folder with blanks and "%" passed whole
    const QString folder = rig.root.path("my 100% music/");
    QDir().mkpath(folder);
    rig.w->downloadto->setText(folder);
    rig.w->ComboBox3->setCurrentIndex(1);
    rig.w->txtLink->setText("https://v.example/watch?v=1&list=PL&index=2");
    ASSERT_TRUE(rig.click(&tdownload::bffd3Click));
    EXPECT_EQ(rig.root.args(argsFile),
              (QStringList{"--ignore-config", "-x", "--audio-format", "mp3", "--audio-quality", "192k", "-o",
                           rig.root.path("my 100%% music/") + "%(title)s.%(ext)s", "--",
                           "https://v.example/watch?v=1"}));
}

TEST(VidWindow, QualityTexts)
{
    Rig rig;
    const char* expected[] = {"320k", "192k", "128k", "96k"};
    for (int i = 0; i < 4; ++i) {
        rig.w->ComboBox3->setCurrentIndex(i);
        EXPECT_EQ(rig.w->quality(), expected[i]);
    }
    rig.w->ComboBox3->setCurrentIndex(-1);
    EXPECT_EQ(rig.w->quality(), "320k");
}

TEST(VidWindow, ProgressLinesMoveTheBarAndTheStatus)
{
    Rig rig;
    auto* w = rig.w.get();
    const struct {
        const char* line;
        int bar;
        const char* status;
    } steps[] = {
        {"[download]  45.3% of 3.00MiB at 1.00MiB/s ETA 00:02", 45, "STATUS : 45% Downloading Temporary Video File..."},
        {"[download] 100% of 3.00MiB in 00:00:03", 45, "STATUS : 45% Downloading Temporary Video File..."},
        {"[download] Destination: /m/x.mp4", 45, "STATUS : 45% Downloading Temporary Video File..."},
        {"[FFMPEG] Destination: /m/x.mp3", 45, "STATUS : Saving audio.... Wait a moment ..."},
        {"[download]   7.0% of 1MiB", 7, "STATUS : 7% Downloading Temporary Video File..."},
        {"[ExtractAudio] Destination: /m/x.mp3", 7, "STATUS : Saving audio.... Wait a moment ..."},
    };
    for (const auto& s : steps) {
        w->mycallback("DOWNLOAD", QString::fromUtf8(s.line));
        EXPECT_EQ(w->mprogress->Position(), s.bar) << s.line;
        EXPECT_EQ(w->mstat->text(), QString::fromUtf8(s.status)) << s.line;
    }
    EXPECT_TRUE(rig.log().contains("[ExtractAudio] Destination: /m/x.mp3"));
}

TEST(VidWindow, ReplayedDownloadFillsTheBarThenResets)
{
    Rig rig;
    rig.root.setScenario({QStringLiteral("dir %1").arg(rig.root.downloads),
                          QStringLiteral("out %1 64 10").arg(vidtest::fixture("download.out")),
                          QStringLiteral("write 900 %1tone.mp3").arg(rig.root.downloads)});
    rig.w->txtLink->setText("https://v.example/watch?v=1");
    rig.w->txtVideoTitle->setText("tone");
    ASSERT_TRUE(rig.click(&tdownload::bffd3Click));
    EXPECT_EQ(rig.positions.mid(0, 7), (QList<int>{2, 5, 13, 29, 61, 100, 0}));
    EXPECT_TRUE(rig.log().contains("[ExtractAudio] Destination: " + rig.root.downloads + "tone.mp3"));
    EXPECT_EQ(rig.w->mstat->text(), "STATUS:");
    EXPECT_TRUE(rig.w->txtLink->text().isEmpty());
    EXPECT_TRUE(rig.w->txtVideoTitle->text().isEmpty());
    EXPECT_FALSE(rig.w->bffd3->isEnabled());
    EXPECT_FALSE(rig.w->bffd2->isEnabled());
    EXPECT_EQ(rig.root.downloadFiles(), QStringList{"tone.mp3"});
}

TEST(VidWindow, FailedDownloadSaysWhy)
{
    Rig rig({QStringLiteral("warn ERROR: Unable to download: HTTP Error 403"), QStringLiteral("exit 1")});
    rig.w->txtLink->setText("https://v.example/watch?v=1");
    ASSERT_TRUE(rig.click(&tdownload::bffd3Click));
    EXPECT_EQ(rig.w->mstat->text(), "STATUS : ERROR: Unable to download: HTTP Error 403");
    rig.root.setScenario({QStringLiteral("exit 9")});
    rig.w->txtLink->setText("https://v.example/watch?v=1");
    ASSERT_TRUE(rig.click(&tdownload::bffd3Click));
    EXPECT_EQ(rig.w->mstat->text(), "STATUS : ERROR: the video engine ended with code 9");
}

TEST(VidWindow, UpdateTextsOfBothPrograms)
{
    Rig rig;
    const struct {
        const char* line;
        const char* status;
    } steps[] = {
        {"Current version: stable@2023.03.04", "STATUS:"},
        {"yt-dlp is up to date (stable@2023.03.04)", "Video Engine is UPDATED.."},
        {"youtube-dl is up-to-date (2021.12.17)", "Video Engine is UPDATED.."},
        {"Updating to version 2021.12.17 ...", "Updating to version 2021.12.17 ..."},
        {"Updated youtube-dl. Restart youtube-dl to use the new version.", "Video Engine has been UPDATED.."},
        {"Updating to stable@2023.07.06 ...", "Updating to stable@2023.07.06 ..."},
        {"Updated yt-dlp to stable@2023.07.06", "Video Engine has been UPDATED.."},
    };
    rig.w->reinicia();
    for (const auto& s : steps) {
        rig.w->mycallback("UPDATE", QString::fromUtf8(s.line));
        EXPECT_EQ(rig.w->mstat->text(), QString::fromUtf8(s.status)) << s.line;
    }
}

TEST(VidWindow, UpdateRunsOnlyTheProfileCopy)
{
    PrivateRoot scratch;
    const QString argsFile = scratch.path("args");
    Rig rig({QStringLiteral("args %1").arg(argsFile), QStringLiteral("say Updating to stable@2099.01.01 ..."),
             QStringLiteral("sleep 200"), QStringLiteral("say Updated yt-dlp to stable@2099.01.01")});
    QStringList seen;
    QObject::connect(rig.w->runner(), &YtdlRunner::line, [&] { seen << rig.w->mstat->text(); });
    ASSERT_TRUE(rig.click(&tdownload::QuorSwitch12Click));
    EXPECT_EQ(rig.root.args(argsFile), (QStringList{"--ignore-config", "-U"}));
    EXPECT_EQ(seen, (QStringList{"Updating to stable@2099.01.01 ...", "Video Engine has been UPDATED.."}));
    EXPECT_EQ(rig.w->mstat->text(), "STATUS:");  // the run ended: reset

    Rig system({QStringLiteral("args %1").arg(argsFile + "2")}, false);
    system.w->QuorSwitch12Click();
    EXPECT_FALSE(system.w->running());
    EXPECT_FALSE(QFile::exists(argsFile + "2"));
    EXPECT_TRUE(system.w->mstat->text().contains("updates come with its packages"));
}

TEST(VidWindow, CancelMidwayDeletesOnlyThisRunsUnfinishedFiles)
{
    Rig rig;
    vidtest::writeFile(rig.root.downloads + "kept.mp3", "an earlier download");
    rig.root.setScenario({QStringLiteral("say [download] Destination: %1clip.webm").arg(rig.root.downloads),
                          QStringLiteral("write 4096 %1clip.webm.part").arg(rig.root.downloads),
                          QStringLiteral("say [download]  12.5% of 32.00KiB"), QStringLiteral("child 30000"),
                          QStringLiteral("sleep 30000")});
    rig.w->txtLink->setText("https://v.example/watch?v=1");
    QSignalSpy done(rig.w.get(), &tdownload::runFinished);
    rig.w->bffd3Click();
    QTRY_COMPARE_WITH_TIMEOUT(rig.w->mprogress->Position(), 12, 10000);
    const qint64 group = rig.w->runner()->groupId();
    rig.w->bffd2Click();
    EXPECT_TRUE(rig.w->cancelFlag());
    EXPECT_EQ(rig.w->mprogress->Position(), 0);
    ASSERT_TRUE(done.wait(5000));
    EXPECT_TRUE(ProcessGroup::members(group).isEmpty());
    EXPECT_EQ(rig.root.downloadFiles(), QStringList{"kept.mp3"});
    EXPECT_EQ(rig.w->mstat->text(), "STATUS:");
    EXPECT_TRUE(rig.w->bffd1->isEnabled());
}

TEST(VidWindow, CloseDuringARunEndsItFirst)
{
    Rig rig({QStringLiteral("say T"), QStringLiteral("child 30000"), QStringLiteral("sleep 30000")});
    rig.w->show();
    rig.w->txtLink->setText("https://v.example/watch?v=1");
    QSignalSpy done(rig.w.get(), &tdownload::runFinished);
    rig.w->bffd1Click();
    QTRY_COMPARE_WITH_TIMEOUT(rig.w->txtVideoTitle->text(), QString("T"), 10000);
    const qint64 group = rig.w->runner()->groupId();
    rig.w->bffd4Click();
    EXPECT_TRUE(rig.w->isVisible());  // until the run's group is gone
    ASSERT_TRUE(done.wait(5000));
    EXPECT_TRUE(ProcessGroup::members(group).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!rig.w->isVisible(), 2000);
}

TEST(VidWindow, PasteUrlTakesTheClipboard)
{
    Rig rig;
    QGuiApplication::clipboard()->setText("https://v.example/watch?v=9");
    rig.w->txtVideoTitle->setText("old");
    rig.w->bffd3->setEnabled(true);
    rig.w->pasteClick();
    EXPECT_EQ(rig.w->txtLink->text(), "https://v.example/watch?v=9");
    EXPECT_TRUE(rig.w->txtVideoTitle->text().isEmpty());
    EXPECT_FALSE(rig.w->bffd3->isEnabled());
    EXPECT_EQ(rig.w->mstat->text(), "STATUS:");
}

TEST(VidWindow, PictureDuringADownload)
{
    Rig rig;
    rig.w->txtLink->setText("https://v.example/watch?v=1");
    rig.w->txtVideoTitle->setText("Tone at 440 Hz (live)");
    rig.w->mycallback("DOWNLOAD", "[download]  45.3% of 3.00MiB at 1.00MiB/s ETA 00:02");
    const QImage shot = rig.w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QDir().mkpath(OSTREL_TEST_BIN_DIR "/../../screenshots");
    shot.save(OSTREL_TEST_BIN_DIR "/../../screenshots/ostrelvid-progress.png");
    // the bar is filled to 45 % in the progress colours, the rest of its well is not
    const QRect bar = rig.w->mprogress->geometry().translated(rig.w->mprogress->parentWidget()->mapTo(rig.w.get(), QPoint()));
    const QRgb filled = shot.pixel(bar.left() + bar.width() / 5, bar.center().y());
    const QRgb empty = shot.pixel(bar.right() - bar.width() / 5, bar.center().y());
    EXPECT_GT(qRed(filled), 150) << std::hex << filled;
    EXPECT_LT(qBlue(filled), 80) << std::hex << filled;
    EXPECT_LT(qRed(empty), 80) << std::hex << empty;
}
