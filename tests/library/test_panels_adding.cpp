// Adding through the panels: the folder scan, drops, "File Add" and "Add from Dir" on the
// worker, with their order, duplicates, progress, cancel and the files not added.
#include <QFileInfo>

#include "library/folderscan.h"
#include "library/tid3v1tag.h"
#include "tests/library/panelfixture.h"

namespace {
struct LibraryAdding : PanelRig {
    QList<QPair<int, int>> progress;
    QStringList labels;
    std::optional<TrackAdder::Outcome> outcome;
    std::function<void(int, int)> onProgress;

    void SetUp() override
    {
        PanelRig::SetUp();
        for (LibraryPanelLogic* p : {static_cast<LibraryPanelLogic*>(groups.get()), static_cast<LibraryPanelLogic*>(play.get())}) {
            p->adding.label = [this](const QString& t) { labels << t; };
            p->adding.progress = [this](int pos, int max) {
                progress << qMakePair(pos, max);
                if (onProgress) onProgress(pos, max);
            };
            p->adding.finished = [this](const TrackAdder::Outcome& o) { outcome = o; };
        }
        groups->init();
        play->init();
    }
    bool finished() { return runUntil([this] { return outcome.has_value(); }); }
    QString tagged(const QString& name, const QByteArray& title, const QByteArray& artist)
    {
        return file(name, mp3::frames(2) + mp3::id3v1(title, artist));
    }
};
}  // namespace

TEST(LibraryFolderScan, OrderLinksAndPseudoFileSystems)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("music");
    auto make = [&](const QString& rel) {
        const QString p = root + "/" + rel;
        QDir().mkpath(QFileInfo(p).path());
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    };
    for (const char* f : {"b.wav", "c.mp3", "A.MP3", "d.Flac", "notes.txt", "e.ogg", "Zed/z.mp3", "sub/x.aiff",
                          "sub/Y.mp3", "sub/deeper/w.wma", "Vol.1/v.mp2", "cover.jpg", ".hidden.mp3"})
        make(f);
    QDir().mkpath(root + "/empty.mp3");  // a folder named like a file: entered, not listed
    make("empty.mp3/in.mp3");
    ASSERT_TRUE(QFile::link(root, root + "/sub/up"));              // an ancestor
    ASSERT_TRUE(QFile::link(root + "/c.mp3", root + "/link.mp3"));  // a file: taken
    ASSERT_TRUE(QFile::link(root + "/gone.mp3", root + "/broken.mp3"));
    QStringList seen;
    const QStringList got = FolderScan::files(root, nullptr, [&](const QString& f) { seen << f; });
    QStringList want;
    for (const char* f : {".hidden.mp3", "A.MP3", "c.mp3", "link.mp3", "b.wav", "e.ogg", "d.Flac", "empty.mp3/in.mp3",
                          "sub/Y.mp3", "sub/x.aiff", "sub/deeper/w.wma", "Vol.1/v.mp2", "Zed/z.mp3"})
        want << root + "/" + f;
    EXPECT_EQ(got, want);
    EXPECT_EQ(seen.value(0), root);
    EXPECT_EQ(seen.size(), 6);  // every folder once, the link not followed

    // a link to a folder given as the folder itself is followed, once
    ASSERT_TRUE(QFile::link(root, dir.filePath("alias")));
    EXPECT_EQ(FolderScan::files(dir.filePath("alias")).size(), want.size());
    EXPECT_TRUE(FolderScan::files("/proc").isEmpty());
    EXPECT_TRUE(FolderScan::files("/sys").isEmpty());
    EXPECT_TRUE(FolderScan::files(dir.filePath("nothing")).isEmpty());
    std::atomic<bool> stop{true};
    EXPECT_TRUE(FolderScan::files(root, &stop).isEmpty());
}

TEST_F(LibraryAdding, AddFromDirIntoGroupsTakesEveryFileWithItsTagsAndPointBpm)
{
    tagged("dir/one.mp3", "First", "Band");
    tagged("dir/TRACK.MP3", "", "");  // empty tag: the name is written into it
    file("dir/Artist - Title.Flac", "fLaC");
    file("dir/sub/a.wav", "RIFF");
    file("dir/skip.txt", "x");
    ASSERT_TRUE(groups->addFromDir(dir.filePath("dir")));
    EXPECT_FALSE(groups->addFromDir(dir.filePath("dir"))) << "one run at a time";
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->added, 4);
    EXPECT_TRUE(outcome->notAdded.isEmpty());
    EXPECT_FALSE(outcome->cancelled);
    EXPECT_EQ(sql->db().GetTableStrings("SELECT DISTINCT bpm FROM songs"), QStringList({"000.000"}));
    EXPECT_EQ(sql->db().GetTableString("SELECT artista FROM songs WHERE cancion = 'First'"), "Band");
    EXPECT_EQ(sql->db().GetTableString("SELECT artista FROM songs WHERE fichero LIKE '%Flac'"), "Artist ");
    TID3v1Tag tag;
    tag.LoadFromFile(dir.filePath("dir/TRACK.MP3"));
    EXPECT_EQ(tag.fTitle, "TRACK");
    // every file counted, the labels as the dialog shows them, the list again, last row current
    EXPECT_EQ(progress.first(), qMakePair(0, 4));
    EXPECT_EQ(progress.last(), qMakePair(4, 4));
    EXPECT_EQ(progress.size(), 5);
    EXPECT_EQ(labels.value(0), "Adding songs");
    EXPECT_TRUE(labels.contains("Scanning directory and folders"));
    EXPECT_TRUE(labels.contains("Scanning " + dir.filePath("dir/sub")));
    EXPECT_EQ(labels.last(), "Adding 4/4");
    EXPECT_EQ(groupsGrid.rowCount(), 5);
    EXPECT_EQ(groupsGrid.currentRow(), 4);
    EXPECT_EQ(sql->db().GetTableValue("SELECT count(*) FROM songs WHERE grupo = 1 AND rootid = 1 AND tipo = 0"), 4);

    // a second run passes over the files the grid lists
    outcome.reset();
    tagged("dir/new.mp3", "New", "Band");
    ASSERT_TRUE(groups->addFromDir(dir.filePath("dir")));
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->added, 1);
    EXPECT_EQ(sql->db().GetTableValue("SELECT count(*) FROM songs"), 5);
}

TEST_F(LibraryAdding, ThreeFilesDroppedOnPlaylistsLandLastFirst)
{
    const double current = play->myid;
    sql->altadesg(row("/m/old.mp3"), 1, 1, current, current);
    play->listSelected();
    const QString a = tagged("a.mp3", "A", "x"), b = tagged("b.MP3", "B", "x"), c = tagged("c.wav", "C", "x");
    play->dropFiles({a, dir.path(), b, dir.filePath("missing.mp3"), c, file("d.txt", "x")});
    ASSERT_TRUE(finished());
    EXPECT_EQ(entries(current), QStringList({c, b, a, "/m/old.mp3"}));
    EXPECT_EQ(positions(current), oneTo(4));
    expectGridMirrors(current);
    EXPECT_EQ(playGrid.currentRow(), 1);
    EXPECT_EQ(sql->db().GetTableValue("SELECT count(*) FROM songs WHERE rootid = 0 AND grupo = ?", {current}), 3);
    // a drop adds again what the playlist holds; a drop during a run follows it
    outcome.reset();
    int runs = 0;
    play->adding.finished = [&](const TrackAdder::Outcome& o) {
        outcome = o;
        ++runs;
    };
    play->dropFiles({a});
    play->dropFiles({b});
    ASSERT_TRUE(runUntil([&] { return runs == 2; }));
    EXPECT_EQ(entries(current).mid(0, 2), QStringList({b, a}));
    EXPECT_EQ(entries(current).size(), 6);
}

TEST_F(LibraryAdding, ADuplicateDropOnGroupsSelectsTheRowItHas)
{
    const QString a = tagged("a.mp3", "A", "x"), b = tagged("b.mp3", "B", "x");
    groups->dropFiles({a, b});
    ASSERT_TRUE(finished());
    ASSERT_EQ(groupsGrid.rowCount(), 3);
    const int rowB = groups->rowOf(b);
    ASSERT_GT(rowB, 0);
    groupsGrid.setCurrentRow(3 - rowB);
    outcome.reset();
    groups->dropFiles({b});
    EXPECT_EQ(groupsGrid.currentRow(), rowB);
    EXPECT_FALSE(groups->addingRunning());
    // with a new file before it, the duplicate is still the row selected at the end
    const QString c = tagged("c.mp3", "C", "x");
    groups->dropFiles({c, b});
    ASSERT_TRUE(finished());
    EXPECT_EQ(sql->db().GetTableValue("SELECT count(*) FROM songs"), 3);
    EXPECT_EQ(groupsGrid.currentRow(), groups->rowOf(b));
}

TEST_F(LibraryAdding, CancelStopsBeforeTheNextFileAndKeepsWhatWentIn)
{
    QStringList files;
    for (int i = 0; i < 400; ++i) files << tagged(QString("many/%1.mp3").arg(i, 3, 10, QChar('0')), "t", "a");
    bool cancelled = false;
    int afterCancel = 0;
    onProgress = [&](int pos, int) {
        if (cancelled) ++afterCancel;
        if (pos == 5 && !cancelled) {
            cancelled = true;
            groups->cancelAdding();
        }
    };
    ASSERT_TRUE(groups->addFiles(files));
    ASSERT_TRUE(finished());
    EXPECT_TRUE(outcome->cancelled);
    EXPECT_EQ(afterCancel, 0);
    EXPECT_LT(outcome->added, 400);
    EXPECT_EQ(sql->db().GetTableValue("SELECT count(*) FROM songs"), outcome->added);
    EXPECT_EQ(groupsGrid.rowCount() - 1, std::max(1, outcome->added));
    EXPECT_TRUE(prompts.warned.isEmpty());
}

TEST_F(LibraryAdding, TheFilesNotAddedAreNamedOnce)
{
    const QString a = tagged("a.mp3", "A", "x"), b = tagged("b.mp3", "B", "x"), c = tagged("c.mp3", "C", "x");
    sql->db().ExecSQL(QString("CREATE TRIGGER refuse BEFORE INSERT ON songs WHEN new.fichero IN ('%1', '%2') "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                          .arg(a, c));
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(groups->addFiles({a, b, c}));
    ASSERT_TRUE(finished());
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(outcome->added, 1);
    EXPECT_EQ(outcome->notAdded, QStringList({a, c}));
    ASSERT_EQ(prompts.warned.size(), 1);
    EXPECT_TRUE(prompts.warned[0].startsWith("2 files could not be added")) << prompts.warned[0].toStdString();
    EXPECT_TRUE(prompts.warned[0].contains(a));
    EXPECT_TRUE(prompts.warned[0].contains(c));
    EXPECT_FALSE(prompts.warned[0].contains(b));
    EXPECT_EQ(column(groupsGrid, gridcol::path), QStringList({b}));

    // a dropped file that does not go in on Playlists: named, and CURRENT is kept
    const double current = play->mygcurrent;
    outcome.reset();
    ::testing::internal::CaptureStderr();
    play->dropFiles({a});
    ASSERT_TRUE(finished());
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(prompts.warned.size(), 2);
    EXPECT_EQ(play->mygcurrent, current);
    EXPECT_TRUE(entries(current).isEmpty());
}

// "Add from Dir" appends after the playlist's last stored entry while loads keep coming
// in at the top: the positions stay 1..n.
TEST_F(LibraryAdding, AnAppendRunInterleavedWithHistoryInsertsKeepsThePositions)
{
    const double current = play->myid;
    for (int i = 1; i <= 3; ++i) sql->altadesg(row(QString("/m/%1.mp3").arg(i)), 1, i, current, current);
    play->listSelected();
    for (int i = 0; i < 600; ++i) tagged(QString("run/%1.mp3").arg(i, 3, 10, QChar('0')), "t", "a");
    int loads = 0;
    onProgress = [&](int pos, int) {
        if (pos % 50 != 25) return;
        const int deck = 1 + loads % 2;
        play->altadeplaylist(deck, row(QString("/load/%1.mp3").arg(loads)));
        ++loads;
    };
    ASSERT_TRUE(play->addFromDir(dir.filePath("run")));
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->added, 600);
    EXPECT_EQ(loads, 12);
    EXPECT_EQ(positions(current), oneTo(3 + 600 + 12));
    const QStringList order = entries(current);
    EXPECT_EQ(order.last(), dir.filePath("run/599.mp3"));
    EXPECT_TRUE(order.first().startsWith("/load/"));
    expectGridMirrors(current);
    EXPECT_EQ(playGrid.currentRow(), playGrid.rowCount() - 1);
}

TEST_F(LibraryAdding, SearchModeRefusesWhatThePanelsRefuse)
{
    play->search("x");
    EXPECT_FALSE(play->addFiles({tagged("a.mp3", "A", "x")}));
    EXPECT_FALSE(play->addFromDir(dir.path()));
    groups->search("x");
    EXPECT_FALSE(groups->addFromDir(dir.path()));
    EXPECT_TRUE(groups->addFiles({dir.filePath("a.mp3")}));
    ASSERT_TRUE(finished());
    // a drop on Groups ends the search first
    outcome.reset();
    groups->search("x");
    groups->dropFiles({tagged("b.mp3", "B", "x")});
    EXPECT_FALSE(groups->busqueda);
    ASSERT_TRUE(finished());
    EXPECT_EQ(groupsGrid.rowCount(), 3);
}
