#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "engine/precord.h"
#include "library/tdamefiles.h"
#include "platform/shell/fakevolumesource.h"
#include "tests/library/explorer/explorertree.h"

namespace {

// What a search handed over: rows per pass, and the "Finish" words.
struct Seen {
    std::vector<std::pair<int, QStringList>> rows;  // pass, row
    std::vector<int> finishes;
    QStringList paths(int pass = -1) const
    {
        QStringList out;
        for (const auto& [p, r] : rows)
            if (pass < 0 || p == pass) out << r[gridcol::path];
        return out;
    }
    void attach(tdamefiles& t)
    {
        t.onRows = [this](int pass, QList<QStringList> batch) {
            for (QStringList& r : batch) rows.emplace_back(pass, std::move(r));
        };
        t.FMyEvent = [this](int pass, const QString& word) {
            EXPECT_EQ(word, QStringLiteral("Finish"));
            finishes.push_back(pass);
        };
    }
};

// A search whose worker waits at the folders the test holds, until the test lets it go.
class HeldSearch : public tdamefiles {
public:
    using tdamefiles::tdamefiles;
    ~HeldSearch() override
    {
        release();
        shutdown();
    }
    void hold(const QString& folder)
    {
        std::lock_guard<std::mutex> g(m);
        held = folder;
        open = false;
    }
    bool waitHeld()
    {
        std::unique_lock<std::mutex> l(m);
        return cv.wait_for(l, std::chrono::seconds(10), [this] { return reached; });
    }
    void release()
    {
        {
            std::lock_guard<std::mutex> g(m);
            open = true;
        }
        cv.notify_all();
    }

protected:
    void entering(const QString& folder) override
    {
        std::unique_lock<std::mutex> l(m);
        if (folder != held) return;
        reached = true;
        cv.notify_all();
        cv.wait(l, [this] { return open; });
    }

private:
    std::mutex m;
    std::condition_variable cv;
    QString held;
    bool open = true, reached = false;
};

class ExplorerSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        explorerApp();
        ASSERT_TRUE(tree.dir.isValid());
    }
    FolderTree tree;
    Seen seen;
};

TEST_F(ExplorerSearch, FindsNamesInAnyCaseAndAnyAudioType)
{
    tree.file("MIX.mp3");
    tree.file("other.mp3");
    tree.file("mixtape.txt");
    tree.file("sub/Remix-Edit.FLAC");
    tree.file("sub/deeper/final MiX.mp4");
    tree.file("sub/deeper/mix.aac");
    tree.file("sub/deeper/mix.m4a");
    tree.file(".hidden/mix.wav");
    tdamefiles search;
    seen.attach(search);
    const int pass = search.init("mix", tree.path(), true);
    EXPECT_EQ(search.wdpics[0], 0);
    ASSERT_TRUE(waitUntil([&] { return !seen.finishes.empty(); }));
    EXPECT_EQ(seen.finishes, std::vector<int>{pass});
    EXPECT_EQ(search.wdpics[0], 1);
    // a folder's files (by name), then its subfolders, depth first
    EXPECT_EQ(seen.paths(), (QStringList{tree.path("MIX.mp3"), tree.path(".hidden/mix.wav"),
                                         tree.path("sub/Remix-Edit.FLAC"), tree.path("sub/deeper/final MiX.mp4"),
                                         tree.path("sub/deeper/mix.aac")}));
    const QStringList& mix = seen.rows[0].second;
    EXPECT_EQ(mix[gridcol::artist], "MIX");
    EXPECT_EQ(mix[gridcol::title], "MIX");
    const QStringList& remix = seen.rows[2].second;
    EXPECT_EQ(remix[gridcol::artist], "Remix");
    EXPECT_EQ(remix[gridcol::title], "Edit.");
    EXPECT_EQ(remix[gridcol::gain], "10");
    EXPECT_EQ(remix[gridcol::deck], "");

    // not recursive: the folder's own files only
    seen = {};
    seen.attach(search);
    search.init("MIX", tree.path("sub/deeper"), false);
    ASSERT_TRUE(waitUntil([&] { return !seen.finishes.empty(); }));
    EXPECT_EQ(seen.paths(), (QStringList{tree.path("sub/deeper/final MiX.mp4"), tree.path("sub/deeper/mix.aac")}));
}

TEST_F(ExplorerSearch, EmptyTextFindsEveryAudioFileAndNothingFoundGivesOnlyFinish)
{
    for (int i = 0; i < 600; ++i) tree.file(QStringLiteral("f%1/t%2.mp3").arg(i % 7).arg(i));
    tree.file("notes.txt");
    tdamefiles search;
    seen.attach(search);
    search.init("", tree.path(), true);
    ASSERT_TRUE(waitUntil([&] { return !seen.finishes.empty(); }));
    EXPECT_EQ(seen.rows.size(), 600u);
    EXPECT_EQ(seen.paths().removeDuplicates(), 0);

    seen = {};
    seen.attach(search);
    search.init("nothing like it", tree.path(), true);
    ASSERT_TRUE(waitUntil([&] { return !seen.finishes.empty(); }));
    EXPECT_TRUE(seen.rows.empty());
    EXPECT_EQ(seen.finishes.size(), 1u);
}

TEST_F(ExplorerSearch, StoppedMidwayKeepsWhatItFound)
{
    tree.file("a/one mix.mp3");
    tree.file("a/two mix.mp3");
    tree.file("b/three mix.mp3");
    tree.file("c/four mix.mp3");
    HeldSearch search;
    seen.attach(search);
    search.hold(tree.path("b"));
    const int pass = search.init("mix", tree.path(), true);
    ASSERT_TRUE(search.waitHeld());
    search.fin();  // "Stop Search"
    EXPECT_EQ(seen.finishes, std::vector<int>{pass}) << "Finish at the press";
    EXPECT_EQ(search.wdpics[1], 0);
    search.release();
    ASSERT_TRUE(waitUntil([&] { return seen.finishes.size() == 2; })) << "and once more when the pass ends";
    EXPECT_EQ(seen.paths(), (QStringList{tree.path("a/one mix.mp3"), tree.path("a/two mix.mp3")}));
    EXPECT_FALSE(search.buscando());
}

TEST_F(ExplorerSearch, ANewSearchWhileOneRunsShowsNoRowOfTheOldOne)
{
    tree.file("old/a mix.mp3");
    tree.file("old/held/b mix.mp3");
    tree.file("new/c mix.mp3");
    tree.file("new/d.mp3");
    HeldSearch search;
    seen.attach(search);
    search.hold(tree.path("old/held"));
    const int first = search.init("mix", tree.path("old"), true);
    ASSERT_TRUE(search.waitHeld());
    EXPECT_TRUE(search.buscando());
    const int second = search.init("mix", tree.path("new"), true);  // returns at once
    EXPECT_GT(second, first);
    search.release();
    ASSERT_TRUE(waitUntil([&] { return !seen.finishes.empty(); }));
    waitUntil([] { return false; }, 100);  // anything else queued comes in now
    EXPECT_EQ(seen.finishes, std::vector<int>{second}) << "the old pass's Finish is dropped";
    EXPECT_EQ(seen.paths(), QStringList{tree.path("new/c mix.mp3")});
    for (const auto& [pass, row] : seen.rows) EXPECT_EQ(pass, second);
}

TEST_F(ExplorerSearch, ManyNewSearchesInARowEndWithTheLast)
{
    for (int i = 0; i < 300; ++i) tree.file(QStringLiteral("d%1/x%2 mix.mp3").arg(i % 30).arg(i));
    tdamefiles search;
    seen.attach(search);
    int last = 0;
    for (int k = 0; k < 50; ++k) last = search.init(k % 2 ? "mix" : "x1", tree.path(), true);
    ASSERT_TRUE(waitUntil([&] { return !seen.finishes.empty(); }));
    waitUntil([] { return false; }, 100);
    EXPECT_EQ(seen.finishes, std::vector<int>{last});
    EXPECT_EQ(seen.rows.size(), 300u);
}

TEST_F(ExplorerSearch, LinksToFoldersAreNotFollowed)
{
    tree.file("music/a/track mix.mp3");
    tree.file("elsewhere/linked mix.mp3");
    tree.link(tree.path("music"), "music/a/up");          // to its parent
    tree.link(tree.path("music/a"), "music/a/self");      // to itself
    tree.link(tree.path("elsewhere"), "music/away");      // to another folder
    tree.link(tree.path("music/a/track mix.mp3"), "music/shortcut mix.mp3");  // to a file
    tree.link(tree.path("nowhere.mp3"), "music/dangling mix.mp3");
    tdamefiles search;
    seen.attach(search);
    search.init("mix", tree.path("music"), true);
    ASSERT_TRUE(waitUntil([&] { return !seen.finishes.empty(); }));
    EXPECT_EQ(seen.paths(), (QStringList{tree.path("music/shortcut mix.mp3"), tree.path("music/a/track mix.mp3")}));
}

TEST_F(ExplorerSearch, PseudoFileSystemMountsAreLeftOut)
{
    tree.file("music/keep mix.mp3");
    tree.file("music/proc/skip mix.mp3");
    tree.file("music/ram/skip mix.mp3");
    tree.file("music/usb/keep mix.wav");
    FakeVolumeSource mounts({FakeVolumeSource::volume("/"),
                             FakeVolumeSource::volume(QFileInfo(tree.path("music/proc")).canonicalFilePath(), "", "proc"),
                             FakeVolumeSource::volume(QFileInfo(tree.path("music/ram")).canonicalFilePath(), "", "tmpfs"),
                             FakeVolumeSource::volume(QFileInfo(tree.path("music/usb")).canonicalFilePath(), "", "vfat")});
    tdamefiles search(&mounts);
    seen.attach(search);
    search.init("mix", tree.path("music") + "/", true);
    ASSERT_TRUE(waitUntil([&] { return !seen.finishes.empty(); }));
    EXPECT_EQ(seen.paths(), (QStringList{tree.path("music/keep mix.mp3"), tree.path("music/usb/keep mix.wav")}));

    // a left-out file system chosen as the folder itself is searched
    seen = {};
    seen.attach(search);
    search.init("mix", tree.path("music/ram"), true);
    ASSERT_TRUE(waitUntil([&] { return !seen.finishes.empty(); }));
    EXPECT_EQ(seen.paths(), QStringList{tree.path("music/ram/skip mix.mp3")});
}

TEST_F(ExplorerSearch, AMissingFolderFinishesEmpty)
{
    tdamefiles search;
    seen.attach(search);
    search.init("", tree.path("gone"), true);
    ASSERT_TRUE(waitUntil([&] { return !seen.finishes.empty(); }));
    EXPECT_TRUE(seen.rows.empty());
}

TEST_F(ExplorerSearch, DestroyedWhileSearching)
{
    for (int i = 0; i < 2000; ++i) tree.file(QStringLiteral("d%1/x%2.mp3").arg(i % 40).arg(i));
    for (int k = 0; k < 10; ++k) {
        auto search = std::make_unique<tdamefiles>();
        seen.attach(*search);
        search->init("", tree.path(), true);
        if (k % 2) waitUntil([&] { return !seen.rows.empty(); }, 2000);
        search.reset();
        QCoreApplication::processEvents();  // nothing of the destroyed search arrives
    }
    EXPECT_TRUE(seen.finishes.empty() || seen.finishes.size() <= 10u);
}

}  // namespace
