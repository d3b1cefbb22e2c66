// The Playlists panel's logic: CURRENT, the automatic history, positions, drops, moves,
// deletion, shuffle and search, over a real library file.
#include <algorithm>
#include <thread>
#include <vector>

#include <QSet>

#include "library/queuedcaller.h"
#include "tests/library/panelfixture.h"

namespace {
struct LibraryPlaylistsPanel : PanelRig {
    double current = 2;  // the first playlist of a new library
    QStringList labels;  // every label change, "A:0005"
    PlaylistsLogic::DeckTrack decks[2];

    void SetUp() override
    {
        PanelRig::SetUp();
        play->onTrackLabel = [this](int deck, const QString& t) { labels << QString(deck == 1 ? "A:" : "B:") + t; };
        play->deckTrack = [this](int deck) { return decks[deck - 1]; };
        play->init();
    }
    // n entries /m/1.mp3 .. /m/n.mp3 at positions 1..n of playlist p
    void fillPlaylist(double p, int n)
    {
        for (int i = 1; i <= n; ++i) ASSERT_TRUE(sql->altadesg(row(QString("/m/%1.mp3").arg(i)), 1, i, p, p));
    }
    void loadOnDeck(int deck, const QString& path)
    {
        decks[deck - 1] = {true, path, 0};
        (deck == 1 ? play->loada : play->loadb) = path;
        play->altadeplaylist(deck, row(path));
    }
    void refuseInserts(const QString& path)
    {
        sql->db().ExecSQL(QString("CREATE TRIGGER refuse BEFORE INSERT ON songs WHEN new.fichero = '%1' "
                                  "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                              .arg(path));
    }
};
}  // namespace

TEST_F(LibraryPlaylistsPanel, AFileAlreadyInCurrentShowsItsPositionAndAddsNothing)
{
    fillPlaylist(current, 6);
    play->listSelected();
    labels.clear();
    loadOnDeck(1, "/m/5.mp3");
    EXPECT_EQ(labels, QStringList({"A:0005"}));
    EXPECT_EQ(play->track1, "0005");
    EXPECT_EQ(positions(current), oneTo(6));
    EXPECT_EQ(playGrid.rowCount(), 7);
}

TEST_F(LibraryPlaylistsPanel, ANewFileBecomesEntryOneAndTheLabelGoesNewThenOne)
{
    fillPlaylist(current, 3);
    play->listSelected();
    labels.clear();
    loadOnDeck(1, "/m/new.mp3");
    EXPECT_EQ(labels.mid(0, 2), QStringList({"A:New", "A:0001"}));
    EXPECT_EQ(entries(current), QStringList({"/m/new.mp3", "/m/1.mp3", "/m/2.mp3", "/m/3.mp3"}));
    expectGridMirrors(current);
    EXPECT_EQ(playGrid.cell(gridcol::id, 1), sql->db().GetTableString("SELECT id FROM songs WHERE fichero = '/m/new.mp3'"));
    EXPECT_EQ(playGrid.cell(gridcol::deck, 1), "   A");

    // with another playlist listed, CURRENT still takes the track, the grid does not
    const double other = sql->altadegrupo(1, "Other", true, 0);
    play->buildTree();
    play->nodeClicked(other);
    play->mygcurrent = current;  // as while a drop goes on: CURRENT is not the listed one
    const int rows = playGrid.rowCount();
    loadOnDeck(2, "/m/other.mp3");
    EXPECT_EQ(entries(current).value(0), "/m/other.mp3");
    EXPECT_EQ(playGrid.rowCount(), rows);
    EXPECT_TRUE(entries(other).isEmpty());
}

TEST_F(LibraryPlaylistsPanel, AFailedHistoryInsertChangesNothing)
{
    fillPlaylist(current, 3);
    play->listSelected();
    play->setTrackLabel(1, "0002");
    refuseInserts("/m/refused.mp3");
    const QStringList before = column(playGrid, gridcol::path);
    labels.clear();
    ::testing::internal::CaptureStderr();
    loadOnDeck(1, "/m/refused.mp3");
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("/m/refused.mp3"), std::string::npos) << err;
    EXPECT_EQ(positions(current), oneTo(3));
    EXPECT_EQ(column(playGrid, gridcol::path), before);
    EXPECT_TRUE(labels.isEmpty());
    EXPECT_EQ(play->track1, "0002");
    EXPECT_TRUE(prompts.warned.isEmpty()) << "no box during a load";
}

// Both decks' loaders hand their rows to the UI thread by queued calls; however they
// interleave, CURRENT ends with positions 1..n+2 per pair, none shared, none missing.
TEST_F(LibraryPlaylistsPanel, LoadsFromBothDecksThroughQueuedCallsKeepPositionsContiguous)
{
    fillPlaylist(current, 5);
    play->listSelected();
    QueuedCaller ui;
    const int each = 40;
    std::vector<QStringList> rows[2];  // the rows each loader copied when its load began
    for (int deck = 1; deck <= 2; ++deck)
        for (int i = 0; i < each; ++i) rows[deck - 1].push_back(row(QString("/m/deck%1-%2.mp3").arg(deck).arg(i)));
    auto loader = [&](int deck) {
        for (int i = 0; i < each; ++i) ui.post([this, &rows, deck, i] { play->altadeplaylist(deck, rows[deck - 1][size_t(i)]); });
    };
    std::thread a(loader, 1), b(loader, 2);
    a.join();
    b.join();
    ASSERT_TRUE(runUntil([&] { return entries(current).size() == 5 + 2 * each; }));
    EXPECT_EQ(positions(current), oneTo(5 + 2 * each));
    expectGridMirrors(current);
}

TEST_F(LibraryPlaylistsPanel, AHistoryInsertWhileTheDeleteBoxIsOpenDeletesTheEntryConfirmed)
{
    fillPlaylist(current, 5);
    play->listSelected();
    playGrid.setCurrentRow(3);
    const QString confirmedId = playGrid.cell(gridcol::id, 3);
    prompts.autoAnswer.reset();
    play->deleteEntry();
    ASSERT_EQ(prompts.waiting.size(), 1u);
    loadOnDeck(1, "/m/loaded.mp3");  // every entry moves down; row 3 now holds entry 2
    prompts.answer(true);
    EXPECT_EQ(sql->db().GetTableValue("SELECT count(*) FROM songs WHERE id = ?", {confirmedId.toDouble()}), 0);
    EXPECT_EQ(entries(current), QStringList({"/m/loaded.mp3", "/m/1.mp3", "/m/2.mp3", "/m/4.mp3", "/m/5.mp3"}));
    EXPECT_EQ(positions(current), oneTo(5));
    expectGridMirrors(current);
    EXPECT_TRUE(main.mainRunning());
}

TEST_F(LibraryPlaylistsPanel, DeletingAnEntryRenumbersGridAndDatabase)
{
    fillPlaylist(current, 5);
    play->listSelected();
    playGrid.setCurrentRow(3);
    play->deleteEntry();
    EXPECT_EQ(prompts.asked.last(), "Are you sure to delete this song from playlist ?");
    EXPECT_EQ(entries(current), QStringList({"/m/1.mp3", "/m/2.mp3", "/m/4.mp3", "/m/5.mp3"}));
    EXPECT_EQ(positions(current), oneTo(4));
    expectGridMirrors(current);
    // No leaves everything
    prompts.autoAnswer = false;
    play->deleteEntry();
    EXPECT_EQ(positions(current), oneTo(4));
    EXPECT_EQ(main.calls.back(), true);
}

TEST_F(LibraryPlaylistsPanel, MovingAnEntryInsideTheGrid)
{
    fillPlaylist(current, 5);
    play->listSelected();
    play->pressRow(2);
    play->moveDrop(5);  // entry 0002 onto the row of entry 0005
    EXPECT_EQ(entries(current), QStringList({"/m/1.mp3", "/m/3.mp3", "/m/4.mp3", "/m/5.mp3", "/m/2.mp3"}));
    expectGridMirrors(current);
    EXPECT_EQ(playGrid.currentRow(), 5);
    play->pressRow(4);
    play->moveDrop(0);  // onto the title row: to the top
    EXPECT_EQ(entries(current).value(0), "/m/5.mp3");
    expectGridMirrors(current);

    // a track loaded during the drag moves the pressed row down; the stored position counts
    play->pressRow(3);  // /m/3.mp3, stored at 3
    loadOnDeck(1, "/m/loaded.mp3");
    play->moveDrop(6);  // the row of position 6
    EXPECT_EQ(entries(current), QStringList({"/m/loaded.mp3", "/m/5.mp3", "/m/1.mp3", "/m/4.mp3", "/m/2.mp3",
                                             "/m/3.mp3"}));
    EXPECT_EQ(positions(current), oneTo(6));
    expectGridMirrors(current);
}

TEST_F(LibraryPlaylistsPanel, RowsDroppedFromAnotherGridGoWhereTheyAreDropped)
{
    fillPlaylist(current, 4);
    play->listSelected();
    play->dropRow(row("/g/last.mp3"), 4);  // on the last row: appended
    EXPECT_EQ(entries(current).value(4), "/g/last.mp3");
    play->dropRow(row("/g/second.mp3"), 2);
    EXPECT_EQ(entries(current).value(1), "/g/second.mp3");
    play->dropRow(row("/g/top.mp3"), 0);  // not on a row: the top
    EXPECT_EQ(entries(current).value(0), "/g/top.mp3");
    EXPECT_EQ(positions(current), oneTo(7));
    expectGridMirrors(current);
    EXPECT_EQ(sql->db().GetTableValue("SELECT rootid FROM songs WHERE fichero = '/g/top.mp3'"), current);

    // a drop whose insert fails adds no row, names the file once, and CURRENT stays
    refuseInserts("/g/refused.mp3");
    const double other = sql->altadegrupo(1, "Other", true, 0);
    play->mygcurrent = other;
    ::testing::internal::CaptureStderr();
    play->dropRow(row("/g/refused.mp3"), 2);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(playGrid.rowCount(), 8);
    EXPECT_EQ(positions(current), oneTo(7));
    ASSERT_EQ(prompts.warned.size(), 1);
    EXPECT_TRUE(prompts.warned[0].contains("/g/refused.mp3"));
    EXPECT_EQ(play->mygcurrent, other);
}

TEST_F(LibraryPlaylistsPanel, CurrentIsTheFirstPlaylistAfterARestart)
{
    prompts.typed = "Friday";
    play->newPlaylist();
    const double friday = play->myid;
    EXPECT_NE(friday, current);
    EXPECT_EQ(play->mygcurrent, friday);  // listed, so CURRENT
    sql->pongocurrent(friday);
    play.reset();
    sql = std::make_unique<Tmsql>(dir.filePath("korvanta.db"));
    play = std::make_unique<PlaylistsLogic>(*sql, playGrid, &prompts, &main);
    play->init();
    EXPECT_EQ(play->mygcurrent, current);
    EXPECT_EQ(play->myid, current);
    EXPECT_EQ(play->tree().top().size(), 2u);
    EXPECT_EQ(play->tree().top()[1].caption, "Friday");
}

TEST_F(LibraryPlaylistsPanel, WhichPlaylistsCanBeDeleted)
{
    play->deletePlaylist();
    EXPECT_EQ(prompts.warned, QStringList({"Cannot empty Playlists !"}));

    prompts.typed = "CURRENT MIX";
    play->newPlaylist();
    const double mix = play->myid;
    play->deletePlaylist();
    EXPECT_EQ(prompts.warned.last(), "Cannot delete Current Playlist !");
    EXPECT_TRUE(play->tree().find(mix));

    prompts.typed = "Friday";
    play->newPlaylist();
    const double friday = play->myid;
    fillPlaylist(friday, 2);
    prompts.autoAnswer = false;
    play->deletePlaylist();
    EXPECT_TRUE(play->tree().find(friday));
    EXPECT_TRUE(main.mainRunning());
    prompts.autoAnswer = true;
    play->deletePlaylist();
    EXPECT_EQ(prompts.asked.last(), "Are you sure to delete this Playlist  ?");
    EXPECT_FALSE(play->tree().find(friday));
    EXPECT_EQ(sql->db().GetTableValue("SELECT count(*) FROM songs WHERE grupo = ?", {friday}), 0);
    EXPECT_EQ(play->mygcurrent, play->tree().selectedId());  // the playlist selected now is CURRENT
    EXPECT_EQ(play->mygcurrent, mix);
    EXPECT_TRUE(main.mainRunning());
}

TEST_F(LibraryPlaylistsPanel, ShuffleIsAPermutationAndOffRestoresTheOrder)
{
    fillPlaylist(current, 30);
    play->listSelected();
    const QStringList stored = column(playGrid, gridcol::path);
    play->random.seed(11);
    play->shuttlepress(true);
    EXPECT_TRUE(play->busqueda);
    EXPECT_TRUE(play->shuttle);
    QStringList shown = column(playGrid, gridcol::order);
    QStringList sorted = shown;
    std::sort(sorted.begin(), sorted.end());
    QStringList want;
    for (int i = 1; i <= 30; ++i) want << songgridrow::order(i);
    EXPECT_EQ(shown, want);  // sorted by the new numbers
    QStringList paths = column(playGrid, gridcol::path);
    EXPECT_NE(paths, stored);
    std::sort(paths.begin(), paths.end());
    QStringList storedSorted = stored;
    std::sort(storedSorted.begin(), storedSorted.end());
    EXPECT_EQ(paths, storedSorted);
    // nothing is added while the shuffle view shows
    play->dropRow(row("/g/x.mp3"), 1);
    EXPECT_EQ(positions(current), oneTo(30));
    play->shuttlepress(false);
    EXPECT_FALSE(play->busqueda);
    EXPECT_EQ(column(playGrid, gridcol::path), stored);
    EXPECT_EQ(positions(current), oneTo(30));
}

TEST_F(LibraryPlaylistsPanel, SearchShowsEveryPlaylistsEntriesWithTheirOwnPositions)
{
    fillPlaylist(current, 3);
    const double other = sql->altadegrupo(1, "Other", true, 0);
    sql->altadesg(row("/x/a.mp3", "Quote's 100%_\\", "t"), 1, 7, other, other);
    play->search("'s 100%_\\");
    EXPECT_TRUE(play->busqueda);
    ASSERT_EQ(playGrid.rowCount(), 2);
    EXPECT_EQ(playGrid.cell(gridcol::order, 1), "0007");
    EXPECT_EQ(playGrid.cell(gridcol::artist, 1), "Quote's 100%_\\");
    play->search("%");
    EXPECT_EQ(playGrid.rowCount(), 2);
    play->setselected();
    EXPECT_FALSE(play->busqueda);
    EXPECT_EQ(playGrid.rowCount(), 4);
}

TEST_F(LibraryPlaylistsPanel, DeckValuesAreStoredAndShown)
{
    fillPlaylist(current, 2);
    play->listSelected();
    PRecord deck;
    deck.tag[tagslot::bpm] = 128.5;
    deck.tag[tagslot::cue1] = 4410;
    deck.duration = "00:03:00";
    play->salvatag("/m/2.mp3", deck, 3, true);
    EXPECT_EQ(playGrid.cell(gridcol::veces, 2), "3");
    EXPECT_EQ(playGrid.cell(gridcol::bpm, 2), "120.000");  // only the play count is shown
    EXPECT_EQ(sql->db().GetTableString("SELECT bpm FROM songs WHERE fichero = '/m/2.mp3'"), "128.500");
    EXPECT_EQ(deck.veces.load(), 3);
    play->salvatag("/m/2.mp3", deck, 4, false);
    EXPECT_EQ(playGrid.cell(gridcol::bpm, 2), "128.500");
    EXPECT_EQ(playGrid.cell(7, 2), "4410");
    EXPECT_EQ(playGrid.cell(gridcol::time, 2), "00:03:00");
    EXPECT_EQ(playGrid.cell(gridcol::veces, 2), "3");
}

TEST_F(LibraryPlaylistsPanel, TheLabelsFollowTheDecks)
{
    fillPlaylist(current, 4);
    play->listSelected();
    decks[0] = {true, "/m/3.mp3", 0};
    decks[1] = {false, "", 0};
    play->loada = "/m/3.mp3";
    play->setTrackLabel(2, "0004");
    play->actualizotracks();
    EXPECT_EQ(play->track1, "0003");
    EXPECT_EQ(play->track2, "0001");  // no file on deck B
    EXPECT_EQ(playGrid.cell(gridcol::deck, 3), "   A");
    EXPECT_EQ(playGrid.cell(gridcol::deck, 2), "   ");
}

// Start-up demo tracks join CURRENT while its grid holds at most one row.
TEST_F(LibraryPlaylistsPanel, DemoTracksFillAnAlmostEmptyCurrent)
{
    play->altademosong(row("/demo/1.mp3"));
    play->altademosong(row("/demo/1.mp3"));  // already there
    play->altademosong(row("/demo/2.mp3"));
    play->altademosong(row("/demo/3.mp3"));  // two rows now: not taken
    EXPECT_EQ(entries(current), QStringList({"/demo/2.mp3", "/demo/1.mp3"}));
    expectGridMirrors(current);
}
