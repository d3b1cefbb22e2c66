// The Groups panel's logic and what both panels share: the tree, listing order, sorting,
// node commands, drops from other grids, deck marks, keys and the visual step.
#include <QFileInfo>

#include "library/visualpacer.h"
#include "tests/library/panelfixture.h"

namespace {
struct LibraryGroupsPanel : PanelRig {
    void addEntry(double group, double root, const QString& path, const QString& artist, const QString& title)
    {
        Ttagsong t;
        t.alfichero = path;
        t.Artist = artist;
        t.Title = title;
        t.Bpm = "000.000";
        ASSERT_GT(sql->altadecancion(0, t, group, root), 0);
    }
};
}  // namespace

// Subgroups show newest first; a subgroup whose group is gone sorts by its old root and
// stands at the top as a node of its own.
TEST_F(LibraryGroupsPanel, TheTreeIsBuiltFromTheTable)
{
    TSQLiteDatabase& db = sql->db();
    const QString ins = "INSERT INTO grupos(Tipo, id, grupo, descripcio, parentid, rootid, orden) VALUES (0,?,?,?,?,?,?)";
    db.ExecSQL(ins, {5.0, "House", "House", 0.0, 5.0, 5});
    db.ExecSQL(ins, {6.0, "Deep", "Deep", 5.0, 5.0, 6});
    db.ExecSQL(ins, {8.0, "Acid", "Acid", 5.0, 5.0, 8});
    db.ExecSQL(ins, {7.0, "Techno", "Techno", 0.0, 7.0, 7});
    db.ExecSQL(ins, {4.0, "Orphan", "Orphan", 3.0, 3.0, 4});  // its group 3 was deleted
    groups->init();
    const auto& top = groups->tree().top();
    ASSERT_EQ(top.size(), 4u);
    EXPECT_EQ(top[0].caption, "Group");  // rootid 1
    EXPECT_EQ(top[1].caption, "Orphan");
    EXPECT_EQ(top[1].data.mxsubgroup, -1);
    EXPECT_EQ(top[1].data.orden, 2);
    EXPECT_EQ(top[2].caption, "House");
    ASSERT_EQ(top[2].children.size(), 2u);
    EXPECT_EQ(top[2].children[0].caption, "Acid");
    EXPECT_EQ(top[2].children[1].caption, "Deep");
    EXPECT_EQ(top[2].children[0].data.mxsubgroup, 5);
    EXPECT_EQ(top[2].children[0].data.mxgroup, 8);
    EXPECT_EQ(top[3].caption, "Techno");
    EXPECT_EQ(groups->tree().selectedId(), 1);
    EXPECT_EQ(groups->myid, 1);
    EXPECT_TRUE(groups->buscaroot);
}

TEST_F(LibraryGroupsPanel, HeaderClicksCycleTheSortAndTheListingOrder)
{
    addEntry(1, 1, "/b.mp3", "Beta", "Zulu");
    addEntry(1, 1, "/a.mp3", "alpha", "Yankee");
    addEntry(1, 1, "/c.mp3", "Charlie", "Xray");
    groups->init();
    EXPECT_EQ(groups->orderBy(), " ORDER BY ARTISTA ");
    EXPECT_EQ(column(groupsGrid, gridcol::artist), QStringList({"alpha", "Beta", "Charlie"}));
    groups->headerClicked(3);
    EXPECT_EQ(groups->sortTag, -3);
    EXPECT_EQ(groupsGrid.sortIndicator, -3);
    EXPECT_EQ(column(groupsGrid, gridcol::artist), QStringList({"Charlie", "Beta", "alpha"}));
    EXPECT_EQ(groups->orderBy(), " ORDER BY ARTISTA DESC ");
    groups->listSelected();
    EXPECT_EQ(column(groupsGrid, gridcol::artist), QStringList({"Charlie", "Beta", "alpha"}));
    groups->headerClicked(3);
    EXPECT_EQ(groups->sortTag, 3);
    groups->headerClicked(4);
    EXPECT_EQ(column(groupsGrid, gridcol::title), QStringList({"Xray", "Yankee", "Zulu"}));
    EXPECT_EQ(groups->orderBy(), " ORDER BY CANCION ");
    groups->headerClicked(1);  // the "   V" header sorts by play count
    EXPECT_EQ(groups->sortTag, 22);
    EXPECT_EQ(groups->orderBy(), "");
    groups->headerClicked(0);
    EXPECT_EQ(groups->sortTag, 22);
    groups->listSelected();  // stored order
    EXPECT_EQ(column(groupsGrid, gridcol::path), QStringList({"/b.mp3", "/a.mp3", "/c.mp3"}));
}

TEST_F(LibraryGroupsPanel, GroupsListTheirSubgroupsEntriesAndSubgroupsTheirOwn)
{
    groups->init();
    prompts.typed = "Detroit";
    groups->newSubGroup();
    const double sub = groups->myid;
    EXPECT_FALSE(groups->buscaroot);
    EXPECT_EQ(groups->myparentid, 1);
    addEntry(sub, 1, "/sub.mp3", "S", "S");
    addEntry(1, 1, "/own.mp3", "O", "O");
    groups->listSelected();
    EXPECT_EQ(column(groupsGrid, gridcol::path), QStringList({"/sub.mp3"}));
    groups->nodeClicked(1);
    EXPECT_EQ(column(groupsGrid, gridcol::path), QStringList({"/own.mp3", "/sub.mp3"}));
    groups->nodeClicked(sub);
    prompts.typed = "x";
    groups->newSubGroup();
    EXPECT_EQ(prompts.warned.last(), "You must be in Group node..");
    // a group with a subgroup cannot go; clearing it keeps the subgroup's entries
    groups->nodeClicked(1);
    groups->deleteNode();
    EXPECT_EQ(prompts.warned.last(), "You must delete childs nodes....");
    groups->clearNode();
    EXPECT_EQ(sql->db().GetTableStrings("SELECT fichero FROM songs"), QStringList({"/sub.mp3"}));
    EXPECT_TRUE(groupsGrid.blankRow(1));
    groups->listSelected();
    EXPECT_EQ(column(groupsGrid, gridcol::path), QStringList({"/sub.mp3"}));
}

TEST_F(LibraryGroupsPanel, NamesAreStoredAndFoundExactly)
{
    groups->init();
    const QString names[] = {"it's", "say \"hi\"", "100%", "a_b", "back\\slash", "x'; DROP TABLE songs;--"};
    for (const QString& n : names) {
        prompts.typed = n;
        groups->newGroup();
        const double id = groups->myid;
        EXPECT_EQ(groups->tree().find(id)->caption, n);
        EXPECT_EQ(sql->db().GetTableString("SELECT grupo FROM grupos WHERE id = ?", {id}), n);
        addEntry(id, id, "/m/" + n + ".mp3", n, "t");
    }
    for (const QString& n : names) {
        groups->search(n);
        ASSERT_EQ(groupsGrid.rowCount(), 2) << n.toStdString();
        EXPECT_EQ(groupsGrid.cell(gridcol::artist, 1), n);
    }
    groups->nodeClicked(1);
    EXPECT_FALSE(groups->busqueda);
    prompts.typed = "it's \"renamed\"";
    groups->gtext = "it's";
    const double first = groups->tree().top()[1].data.mxid;
    groups->nodeClicked(first);
    groups->renameNode();
    EXPECT_EQ(prompts.asked.last(), "Modify Group / Please type Group name / it's");
    EXPECT_EQ(sql->db().GetTableString("SELECT descripcio FROM grupos WHERE id = ?", {first}), "it's \"renamed\"");
    EXPECT_EQ(groups->tree().find(first)->caption, "it's \"renamed\"");
}

TEST_F(LibraryGroupsPanel, ADeletionActsOnTheNodeSelectedWhenItWasAsked)
{
    groups->init();
    prompts.typed = "One";
    groups->newGroup();
    const double one = groups->myid;
    prompts.typed = "Two";
    groups->newGroup();
    addEntry(one, one, "/one.mp3", "a", "b");
    groups->nodeClicked(one);
    prompts.autoAnswer.reset();
    groups->deleteNode();
    groups->dtabajo();  // a controller browses while the box is open
    EXPECT_NE(groups->tree().selectedId(), one);
    prompts.answer(true);
    EXPECT_FALSE(groups->tree().find(one));
    EXPECT_EQ(sql->db().GetTableValue("SELECT count(*) FROM grupos WHERE id = ?", {one}), 0);
    EXPECT_EQ(sql->db().GetTableValue("SELECT count(*) FROM songs"), 0);
    EXPECT_EQ(groups->tree().top().size(), 2u);
}

TEST_F(LibraryGroupsPanel, RowsDroppedFromOtherGrids)
{
    groups->init();
    QStringList r = row("/x/one.mp3", "Art", "Tit");
    r[gridcol::order] = "0004";
    r[gridcol::cue1] = "1234.5";
    groups->dropRow(r);
    ASSERT_EQ(groupsGrid.rowCount(), 2);  // the blank row took it
    EXPECT_EQ(groupsGrid.cell(gridcol::path, 1), "/x/one.mp3");
    EXPECT_EQ(groupsGrid.cell(gridcol::order, 1), "");
    EXPECT_EQ(groupsGrid.cell(gridcol::id, 1), sql->db().GetTableString("SELECT id FROM songs"));
    EXPECT_EQ(sql->db().GetTableValue("SELECT cue1 * 10 FROM songs"), 12345);
    groups->dropRow(r);  // already listed: nothing
    EXPECT_EQ(sql->db().GetTableValue("SELECT count(*) FROM songs"), 1);
    groups->dropRow(row("/x/two.mp3"));
    EXPECT_EQ(groupsGrid.rowCount(), 3);
    EXPECT_EQ(groupsGrid.currentRow(), 2);

    sql->db().ExecSQL("CREATE TRIGGER refuse BEFORE INSERT ON songs WHEN new.fichero = '/x/bad.mp3' "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    ::testing::internal::CaptureStderr();
    groups->dropRow(row("/x/bad.mp3"));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(groupsGrid.rowCount(), 3);
    ASSERT_EQ(prompts.warned.size(), 1);
    EXPECT_TRUE(prompts.warned[0].contains("/x/bad.mp3"));
}

TEST_F(LibraryGroupsPanel, FileDeleteAndFileInfo)
{
    groups->init();
    addEntry(1, 1, dir.filePath("gone.mp3"), "a", "b");
    addEntry(1, 1, "/two.mp3", "c", "d");
    groups->listSelected();
    groupsGrid.setCurrentRow(1);
    auto info = groups->fileInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->file, dir.filePath("gone.mp3"));  // missing: the path itself
    info->bpm = "128.000";
    info->artist = "New 'A'";
    groups->saveFileInfo(*info);
    EXPECT_EQ(groupsGrid.cell(gridcol::artist, 1), "New 'A'");
    EXPECT_EQ(sql->db().GetTableString("SELECT bpm FROM songs WHERE id = ?", {info->id.toDouble()}), "128.000");
    groups->deleteEntry();
    EXPECT_EQ(column(groupsGrid, gridcol::path), QStringList({"/two.mp3"}));
    groups->deleteEntry();
    EXPECT_TRUE(groupsGrid.blankRow(1));
    EXPECT_FALSE(groups->fileInfo());
    EXPECT_EQ(sql->db().GetTableValue("SELECT count(*) FROM songs"), 0);
}

TEST_F(LibraryGroupsPanel, BrowsingTheTreeSkipsHiddenSubgroups)
{
    groups->init();
    prompts.typed = "Sub";
    groups->newSubGroup();
    const double sub = groups->myid;
    prompts.typed = "Next";
    groups->newGroup();
    const double next = groups->myid;
    groups->nodeClicked(1);
    groups->tree().find(1)->expanded = false;
    groups->dtabajo();
    EXPECT_EQ(groups->tree().selectedId(), next);
    groups->dtabajo();
    EXPECT_EQ(groups->tree().selectedId(), next);
    groups->dtarriba();
    EXPECT_EQ(groups->tree().selectedId(), 1);
    groups->setselected();  // expands and lists
    EXPECT_TRUE(groups->tree().find(1)->expanded);
    groups->dtabajo();
    EXPECT_EQ(groups->tree().selectedId(), sub);
    groups->dtarriba();
    groups->setselected();
    EXPECT_FALSE(groups->tree().find(1)->expanded);
}

TEST_F(LibraryGroupsPanel, DeckMarksAndDeckValues)
{
    groups->init();
    addEntry(1, 1, "", "a", "b");
    addEntry(1, 1, "/both.mp3", "c", "d");
    groups->loadb = "/both.mp3";
    groups->loada = "/both.mp3";
    groups->listSelected();
    EXPECT_EQ(column(groupsGrid, gridcol::deck), QStringList({" ", " AB"}));
    groups->loada.clear();
    groups->load();
    EXPECT_EQ(column(groupsGrid, gridcol::deck), QStringList({" ", " B"}));
    EXPECT_EQ(songgridrow::deckMarks(songgridrow::Kind::Playlists, "/f", "/f", "/f"), "   AB");
    EXPECT_EQ(songgridrow::deckMarks(songgridrow::Kind::Explorer, "/f", "/f", ""), "A");

    PRecord deck;
    deck.tag[tagslot::bpm] = 95.5;
    deck.duration = "00:04:00";
    groups->salvatag("/both.mp3", deck, 2);
    EXPECT_EQ(groupsGrid.cell(gridcol::bpm, 2), "095.500");
    EXPECT_EQ(groupsGrid.cell(gridcol::veces, 2), "2");
    EXPECT_EQ(groupsGrid.cell(gridcol::time, 2), "00:04:00");
    EXPECT_EQ(sql->db().GetTableString("SELECT bpm FROM songs WHERE fichero = '/both.mp3'"), "000.000");
}

TEST(LibraryPanelsText, KeysThatGoToTheSearchBox)
{
    QTemporaryDir dir;
    Tmsql sql(dir.filePath("k.db"));
    SongRowList grid(songgridrow::headers(songgridrow::Kind::Groups));
    GroupsLogic g(sql, grid);
    const struct {
        const char* key;
        const char* box;  // nullptr: nothing goes to the box
    } cases[] = {{"a", "A"}, {"1", "1"}, {"0", nullptr}, {" ", nullptr}, {"", nullptr},
                 {"\xc3\xa9", "\xc3\x89"}, {"ab", nullptr}, {"\x1b", nullptr}, {"-", "-"}};
    for (const auto& c : cases) {
        const auto got = g.searchKey(QString::fromUtf8(c.key));
        if (c.box) {
            ASSERT_TRUE(got) << c.key;
            EXPECT_EQ(*got, QString::fromUtf8(c.box));
        } else {
            EXPECT_FALSE(got) << c.key;
        }
    }
    g.iskeyboard = true;
    EXPECT_FALSE(g.searchKey("a"));
}

TEST(LibraryPanelsText, BpmTextsAndPositions)
{
    EXPECT_EQ(songgridrow::bpm(95.5), "095.500");
    EXPECT_EQ(songgridrow::bpm(128), "128.000");
    EXPECT_EQ(songgridrow::bpm(1000.25), "1000.250");
    EXPECT_EQ(songgridrow::bpmValue("128,500"), 128.5);
    EXPECT_EQ(songgridrow::bpmValue(" 095.500 "), 95.5);
    EXPECT_EQ(songgridrow::bpmValue("000,000"), 0);
    EXPECT_EQ(songgridrow::bpmValue("fast"), 0);
    EXPECT_EQ(songgridrow::order(7), "0007");
    EXPECT_EQ(songgridrow::order(12345), "12345");
}

TEST(LibraryPanelsPacer, TheVisualStepRunsAtMostEveryFifteenMilliseconds)
{
    VisualPacer p;
    int calls = 0;
    p.tick();  // no step: nothing
    p.setStep([&] { ++calls; });
    const auto t0 = VisualPacer::Clock::now();
    for (int i = 0; i < 200000; ++i) p.tick();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(VisualPacer::Clock::now() - t0).count();
    EXPECT_GE(calls, 1);
    EXPECT_LE(calls, ms / 15 + 1);
}
