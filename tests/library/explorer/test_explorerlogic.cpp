#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include <QTemporaryDir>

#include "engine/hintmailbox.h"
#include "engine/microsf.h"
#include "engine/precord.h"
#include "library/explorerlogic.h"
#include "library/explorerrow.h"
#include "library/explorerrowlist.h"
#include "library/songgridrow.h"
#include "library/tmsql.h"
#include "library/ttagsong.h"
#include "tests/library/explorer/explorertree.h"
#include "tests/support/fakemainservices.h"

namespace {

// A folder of audio files and a library that knows some of them.
class ExplorerListing : public ::testing::Test {
protected:
    void SetUp() override
    {
        explorerApp();
        ASSERT_TRUE(tree.dir.isValid());
        ASSERT_TRUE(dbDir.isValid());
        sql = std::make_unique<Tmsql>(dbDir.filePath("korvanta.db"));
        makeLogic();
    }
    void makeLogic()
    {
        logic.reset();
        logic = std::make_unique<ExplorerLogic>(sql.get(), grid, &main);
        logic->listener.listing = [this](bool on) { listingSeen.push_back(on); };
        logic->listener.searching = [this](bool on) { searchingSeen.push_back(on); };
    }
    // A file the library knows, with a BPM, a time, cues and a play count. A row inserted in
    // this run has no play count (album is NULL) until one is stored or the database is
    // opened again, and the library look-up does not take such a row: the database is
    // reopened after the insert, then the deck's values are stored.
    void known(const QString& path, const QString& artist, const QString& title, int veces)
    {
        Ttagsong t;
        t.alfichero = path;
        t.Artist = artist;
        t.Title = title;
        t.Bpm = "128.000";
        ASSERT_GT(sql->altadecancion(0, t, 1, 1), 0);
        logic.reset();
        sql.reset();
        sql = std::make_unique<Tmsql>(dbDir.filePath("korvanta.db"));
        makeLogic();
        PRecord r;
        r.tag[tagslot::bpm] = 128;
        for (int slot = tagslot::cue1; slot <= tagslot::cue11; ++slot) r.tag[size_t(slot)] = 1000.5 * slot;
        r.bas = 3;
        r.tre = 4;
        r.mid = 5;
        r.gain = 12;
        r.veces = veces;
        r.duration = "0:03:30";
        sql->salvatag(r, path);
    }
    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 1; r < grid.rowCount(); ++r) out << grid.cell(c, r);
        return out;
    }
    int rowOf(const QString& path) const { return grid.find(gridcol::path, path); }

    FolderTree tree;
    QTemporaryDir dbDir;
    std::unique_ptr<Tmsql> sql;
    ExplorerRowList grid{songgridrow::headers(songgridrow::Kind::Explorer)};
    FakeMainServices main;
    std::unique_ptr<ExplorerLogic> logic;
    std::vector<bool> listingSeen, searchingSeen;
};

TEST_F(ExplorerListing, FolderFilesByNameAnyCaseWithoutHiddenOrOtherTypes)
{
    for (const char* name : {"b.mp3", "A.wav", "c.MP3", "d.ogg", "e.wma", "f.flac", "g.mp1", "h.mp2", "i.aiff",
                             "j.aac", "k.mp4", "cover.jpg", ".hidden.mp3", "noext"})
        tree.file(QString("f/") + name);
    tree.folder("f/sub.mp3");  // a folder is no file
    EXPECT_EQ(ExplorerLogic::folderFiles(tree.path("f")),
              (QStringList{"A.wav", "b.mp3", "c.MP3", "d.ogg", "e.wma", "f.flac", "g.mp1", "h.mp2", "i.aiff"}));
}

TEST_F(ExplorerListing, KnownFilesShowTheLibraryAndOthersTheirNames)
{
    const QString knownPath = tree.file("f/zz known.mp3");
    known(knownPath, "Stored Artist", "Stored Title", 7);
    const QString dash = tree.file("f/Artist - Title.mp3");
    const QString plain = tree.file("f/  noartist.mp3");
    const QString flac = tree.file("f/song.flac");
    const QString multi = tree.file("f/A-B-C.mp3");

    ASSERT_TRUE(logic->OndtChange(tree.path("f")));
    EXPECT_EQ(grid.rowCount(), 6);
    EXPECT_EQ(logic->fl, tree.path("f") + "/");

    struct Case {
        QString path, artist, title;
    };
    for (const Case& c : {Case{dash, "Artist ", "Title"}, Case{plain, "NOARTIST", "NOARTIST"},
                          Case{flac, "SONG.", "SONG."}, Case{multi, "A", "B-C"}}) {
        SCOPED_TRACE(c.path.toStdString());
        const int r = rowOf(c.path);
        ASSERT_GT(r, 0);
        QStringList want = explorerrow::defaults();
        want[gridcol::artist] = c.artist;
        want[gridcol::title] = c.title;
        want[gridcol::path] = c.path;
        EXPECT_EQ(grid.row(r), want);
    }

    const int r = rowOf(knownPath);
    ASSERT_GT(r, 0);
    EXPECT_EQ(grid.cell(gridcol::deck, r), "");
    EXPECT_EQ(grid.cell(gridcol::order, r), "");
    EXPECT_EQ(grid.cell(gridcol::bpm, r), "128.000");
    EXPECT_EQ(grid.cell(gridcol::artist, r), "Stored Artist");
    EXPECT_EQ(grid.cell(gridcol::title, r), "Stored Title");
    EXPECT_EQ(grid.cell(gridcol::time, r), "0:03:30");
    for (int slot = tagslot::cue1; slot <= tagslot::cue11; ++slot)
        EXPECT_EQ(grid.cell(tagSlotColumn(slot), r), FloatText(1000.5 * slot)) << slot;
    EXPECT_EQ(grid.cell(gridcol::bass, r), "3");
    EXPECT_EQ(grid.cell(gridcol::treble, r), "4");
    EXPECT_EQ(grid.cell(gridcol::mid, r), "5");
    EXPECT_EQ(grid.cell(gridcol::gain, r), "12");
    EXPECT_NE(grid.cell(gridcol::id, r), "0");
    EXPECT_EQ(grid.cell(gridcol::veces, r), "7");

    // by artist, ascending
    EXPECT_EQ(column(gridcol::artist), (QStringList{"A", "Artist ", "NOARTIST", "SONG.", "Stored Artist"}));
    EXPECT_EQ(grid.sortIndicator, 3);
    EXPECT_EQ(grid.currentRow(), 1);
    EXPECT_EQ(listingSeen, (std::vector<bool>{true, false}));
}

TEST_F(ExplorerListing, WithoutALibraryEveryFileIsUnknown)
{
    const QString p = tree.file("f/One - Two.mp3");
    ExplorerRowList g{songgridrow::headers(songgridrow::Kind::Explorer)};
    ExplorerLogic bare(nullptr, g);
    ASSERT_TRUE(bare.OndtChange(tree.path("f")));
    EXPECT_EQ(g.row(1), explorerrow::fileRow(p, "One - Two.mp3", explorerrow::Split::Listing));
}

TEST_F(ExplorerListing, EmptyMissingAndSameFolders)
{
    tree.folder("empty");
    tree.file("f/x.mp3");
    ASSERT_TRUE(logic->OndtChange(tree.path("empty")));
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.row(1), explorerrow::defaults());

    ASSERT_TRUE(logic->OndtChange(tree.path("f")));
    EXPECT_EQ(grid.rowCount(), 2);
    // a folder that is not there, and a file, are not listed: the rows stay
    EXPECT_FALSE(logic->OndtChange(tree.path("gone")));
    EXPECT_FALSE(logic->OndtChange(tree.path("f/x.mp3")));
    EXPECT_FALSE(logic->OndtChange(QString()));
    EXPECT_EQ(grid.cell(gridcol::path, 1), tree.path("f/x.mp3"));
    // the folder already listed, with or without its "/", is not listed again
    grid.setCell(gridcol::artist, 1, "kept");
    EXPECT_FALSE(logic->OndtChange(tree.path("f")));
    EXPECT_FALSE(logic->OndtChange(tree.path("f") + "/"));
    EXPECT_EQ(grid.cell(gridcol::artist, 1), "kept");
}

TEST_F(ExplorerListing, DeckMarks)
{
    const QString a = tree.file("f/a.mp3"), b = tree.file("f/b.mp3"), c = tree.file("f/c.mp3");
    logic->loada = a;
    logic->loadb = a;
    ASSERT_TRUE(logic->OndtChange(tree.path("f")));
    EXPECT_EQ(grid.cell(gridcol::deck, rowOf(a)), "AB");
    EXPECT_EQ(grid.cell(gridcol::deck, rowOf(b)), "");

    struct Case {
        QString loada, loadb, markA, markB, markC;
    };
    for (const Case& k : {Case{b, c, "", "A", "B"}, Case{"", b, "", "B", ""}, Case{c, c, "", "", "AB"},
                          Case{"", "", "", "", ""}}) {
        logic->loada = k.loada;
        logic->loadb = k.loadb;
        const int before = grid.repaints;
        logic->load();
        EXPECT_EQ(grid.cell(gridcol::deck, rowOf(a)), k.markA);
        EXPECT_EQ(grid.cell(gridcol::deck, rowOf(b)), k.markB);
        EXPECT_EQ(grid.cell(gridcol::deck, rowOf(c)), k.markC);
        EXPECT_GT(grid.repaints, before);
    }
    // an empty loada marks no row, not even the blank one
    tree.folder("empty");
    ASSERT_TRUE(logic->OndtChange(tree.path("empty")));
    logic->load();
    EXPECT_EQ(grid.cell(gridcol::deck, 1), "");
}

TEST_F(ExplorerListing, HeaderClicksSortAndReverse)
{
    const QString x = tree.file("f/x.mp3"), y = tree.file("f/y.mp3"), z = tree.file("f/z.mp3");
    ASSERT_TRUE(logic->OndtChange(tree.path("f")));
    grid.setCell(gridcol::veces, rowOf(x), "9");
    grid.setCell(gridcol::veces, rowOf(y), "10");
    grid.setCell(gridcol::veces, rowOf(z), "2");

    logic->headerClicked(1);  // "   V": by the play count's text, so 10 before 2 before 9
    EXPECT_EQ(logic->sortTag, 1);
    EXPECT_EQ(column(gridcol::veces), (QStringList{"10", "2", "9"}));
    logic->headerClicked(1);
    EXPECT_EQ(logic->sortTag, -1);
    EXPECT_EQ(grid.sortIndicator, -1);
    EXPECT_EQ(column(gridcol::veces), (QStringList{"9", "2", "10"}));
    logic->headerClicked(4);
    EXPECT_EQ(logic->sortTag, 4);
    EXPECT_EQ(column(gridcol::title), (QStringList{"X", "Y", "Z"}));
    logic->headerClicked(0);  // not sortable
    EXPECT_EQ(logic->sortTag, 4);

    // a descending sort stays for the next listing
    logic->headerClicked(4);
    tree.file("g/a.mp3");
    tree.file("g/b.mp3");
    ASSERT_TRUE(logic->OndtChange(tree.path("g")));
    EXPECT_EQ(column(gridcol::title), (QStringList{"B", "A"}));
}

TEST_F(ExplorerListing, SalvatagRefreshesTheDecksFileRows)
{
    const QString a = tree.file("f/a.mp3"), b = tree.file("f/b.mp3");
    ASSERT_TRUE(logic->OndtChange(tree.path("f")));
    PRecord deck;
    deck.tag[tagslot::bpm] = 97.25;
    for (int slot = tagslot::cue1; slot <= tagslot::cue11; ++slot) deck.tag[size_t(slot)] = 10.5 * slot;
    deck.duration = "0:04:01";
    const QStringList before = grid.row(rowOf(b));
    logic->salvatag(a, deck, 3);
    const int r = rowOf(a);
    EXPECT_EQ(grid.cell(gridcol::bpm, r), "097.250");
    EXPECT_EQ(grid.cell(gridcol::veces, r), "3");
    EXPECT_EQ(grid.cell(gridcol::time, r), "0:04:01");
    for (int slot = tagslot::cue1; slot <= tagslot::cue11; ++slot)
        EXPECT_EQ(grid.cell(tagSlotColumn(slot), r), FloatText(10.5 * slot)) << slot;
    EXPECT_EQ(grid.row(rowOf(b)), before);
}

TEST_F(ExplorerListing, TheVisualStepIsPacedWhileListing)
{
    for (int i = 0; i < 400; ++i) tree.file(QString("f/track %1.mp3").arg(i));
    int steps = 0;
    logic->setVisualStep([&steps] { ++steps; });
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(logic->OndtChange(tree.path("f")));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(steps, 1);
    // at most one step per 15 ms, never one per file
    EXPECT_LE(steps, 1 + ms / 15 + 1);
}

TEST_F(ExplorerListing, TypedKeysAndFocusWords)
{
    EXPECT_EQ(logic->typedKey('0'), std::nullopt);
    EXPECT_EQ(logic->typedKey(' '), std::nullopt);
    EXPECT_EQ(logic->typedKey('1'), QString("1"));
    EXPECT_EQ(logic->typedKey('A'), QString("A"));
    EXPECT_EQ(logic->typedKey(Qt::Key_F1), std::nullopt);
    logic->iskeyboard = true;
    EXPECT_EQ(logic->typedKey('A'), std::nullopt);
    logic->edit1focus();
    logic->edit1nofocus();
    EXPECT_EQ(main.hint().takeAll(), (QStringList{"NOKEY", "KEY"}));
}

// The search box's search through the grid.
TEST_F(ExplorerListing, SearchFindsNamesInAnyCaseUnderTheFolder)
{
    tree.file("music/MIX.mp3");
    tree.file("music/deep/Club Mix - Edit.aac");
    tree.file("music/deep/other.mp3");
    tree.file("music/remix.jpg");
    ASSERT_TRUE(logic->OndtChange(tree.path("music")));
    logic->buscar("mix", tree.path("music"));
    EXPECT_TRUE(logic->searching());
    ASSERT_TRUE(waitUntil([&] { return !logic->searching(); }));
    EXPECT_EQ(column(gridcol::path), (QStringList{tree.path("music/MIX.mp3"), tree.path("music/deep/Club Mix - Edit.aac")}));
    EXPECT_EQ(grid.cell(gridcol::artist, 1), "MIX");
    EXPECT_EQ(grid.cell(gridcol::artist, 2), "Club Mix ");
    EXPECT_EQ(grid.cell(gridcol::title, 2), " Edit");
    EXPECT_EQ(grid.currentRow(), 1);
    EXPECT_EQ(searchingSeen, (std::vector<bool>{true, false}));
    // choosing the listed folder again keeps the results
    EXPECT_FALSE(logic->OndtChange(tree.path("music")));
    EXPECT_EQ(grid.rowCount(), 3);
}

TEST_F(ExplorerListing, ASearchFindingNothingLeavesTheDefaultRow)
{
    tree.file("music/a.mp3");
    ASSERT_TRUE(logic->OndtChange(tree.path("music")));
    logic->buscar("nothing like it", tree.path("music"));
    EXPECT_EQ(grid.rowCount(), 2);  // emptied at once
    ASSERT_TRUE(waitUntil([&] { return !logic->searching(); }));
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.row(1), explorerrow::defaults());
}

TEST_F(ExplorerListing, ANewSearchShowsNoRowOfTheOldOne)
{
    for (int i = 0; i < 300; ++i) tree.file(QString("music/d%1/old %2.mp3").arg(i % 30).arg(i));
    tree.file("music/new one.mp3");
    logic->buscar("old", tree.path("music"));
    logic->buscar("new", tree.path("music"));
    ASSERT_TRUE(waitUntil([&] { return !logic->searching(); }));
    waitUntil([] { return false; }, 100);  // anything of the old pass still on its way
    EXPECT_EQ(column(gridcol::path), QStringList{tree.path("music/new one.mp3")});
    EXPECT_EQ(searchingSeen.back(), false);
}

TEST_F(ExplorerListing, StopKeepsWhatWasFoundAndListingStopsASearch)
{
    for (int i = 0; i < 2000; ++i) tree.file(QString("music/d%1/track %2.mp3").arg(i % 200).arg(i));
    logic->buscar("", tree.path("music"));
    ASSERT_TRUE(waitUntil([&] { return grid.rowCount() > 2; }));
    logic->bclick0();
    EXPECT_FALSE(logic->searching());
    waitUntil([] { return false; }, 100);
    const int kept = grid.rowCount();
    EXPECT_GT(kept, 2);
    for (int r = 1; r < kept; ++r) ASSERT_TRUE(grid.cell(gridcol::path, r).startsWith(tree.path("music/d"))) << r;

    // a listing while a search runs stops it: its rows do not join the folder's
    tree.file("other/only.mp3");
    logic->buscar("", tree.path("music"));
    ASSERT_TRUE(logic->OndtChange(tree.path("other")));
    EXPECT_FALSE(logic->searching());
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(column(gridcol::path), QStringList{tree.path("other/only.mp3")});
}

TEST_F(ExplorerListing, AFolderHoldingALinkToItsParentIsSearchedToTheEnd)
{
    tree.file("music/a/track.mp3");
    tree.file("music/z.mp3");
    tree.link(tree.path("music"), "music/a/up");
    logic->buscar("", tree.path("music"));
    ASSERT_TRUE(waitUntil([&] { return !logic->searching(); }));
    EXPECT_EQ(column(gridcol::path), (QStringList{tree.path("music/z.mp3"), tree.path("music/a/track.mp3")}));
}

}  // namespace
