// The display-free pieces of the main window: the panel arrangement, the stored panel layout,
// the text size, dropped file names and drop zones, stored devices found by name, the
// configuration row's fallback, the profile folder and the main loop's pause.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "engine/psoundconfig.h"
#include "library/tmsql.h"
#include "mainwindow/logic/configrow.h"
#include "mainwindow/logic/droppedfile.h"
#include "mainwindow/logic/loadsource.h"
#include "mainwindow/logic/mainloop.h"
#include "mainwindow/logic/panelarrangement.h"
#include "mainwindow/logic/profilefolder.h"
#include "mainwindow/logic/storeddevices.h"
#include "tests/mainwindow/logic/loadrig.h"
#include "tests/mainwindow/support/fakeviews.h"

namespace {

// The browser area of a given height with its three hosts, buttons and panels.
struct Browser {
    explicit Browser(int height)
    {
        todo.bounds_ = QRect(0, 441, 1012, height);
        arrange.todo = &todo;
        arrange.playlist = &playlist;
        arrange.grupos = &grupos;
        arrange.explorer = &explorer;
        arrange.bpplaylist = &bpplaylist;
        arrange.bggrupos = &bggrupos;
        arrange.bpexplorer = &bpexplorer;
        arrange.ep3 = &pl;
        arrange.ep = &gr;
        arrange.ep2 = &ex;
        arrange.focusWindow = [this] { ++windowFocus; };
        for (FakePanel* p : {&pl, &gr, &ex}) p->grid_.focusedGrids = &grids;
    }
    // the side button as the user presses it: it flips, then its click handler runs
    void press(FakeButton& b, void (PanelArrangement::*click)())
    {
        b.down_ = !b.down_;
        (arrange.*click)();
    }
    QString shown() const
    {
        QString s;
        if (arrange.vpl) s += 'P';
        if (arrange.vgr) s += 'G';
        if (arrange.vex) s += 'E';
        return s;
    }

    LoadSource source;
    PanelArrangement arrange{source};
    FakeControl todo, playlist, grupos, explorer;
    FakeButton bpplaylist, bggrupos, bpexplorer;
    FakePanel pl{QStringLiteral("sg")}, gr{QStringLiteral("sggroups")}, ex{QStringLiteral("sgexplorer")};
    std::vector<FakeSongGrid*> grids{&pl.grid_, &gr.grid_, &ex.grid_};
    int windowFocus = 0;
};

}  // namespace

TEST(PanelArrangement, PanelsFitByTheBrowserHeight)
{
    const struct {
        int height;
        int fit;
        QString afterGroups;  // Playlists and Explorer shown, then Groups pressed
    } table[] = {{300, 1, "G"}, {400, 2, "PE"}, {500, 3, "PGE"}};
    for (const auto& c : table) {
        SCOPED_TRACE(c.height);
        Browser b(c.height);
        b.arrange.vpl = b.arrange.vex = true;
        b.arrange.vgr = false;
        b.arrange.alineopanels();
        b.press(b.bggrupos, &PanelArrangement::bggruposClick);
        EXPECT_EQ(b.arrange.muestropanel, c.fit);
        EXPECT_EQ(b.shown(), c.afterGroups);
        EXPECT_EQ(b.bggrupos.down(), c.afterGroups.contains('G'));
    }
}

TEST(PanelArrangement, TheShownPanelsShareTheAreaTopToBottom)
{
    Browser b(600);
    b.arrange.vpl = b.arrange.vgr = b.arrange.vex = true;
    b.arrange.alineopanels();
    EXPECT_EQ(b.playlist.bounds(), QRect(0, 0, 1007, 200));
    EXPECT_EQ(b.grupos.bounds(), QRect(0, 200, 1007, 200));
    EXPECT_EQ(b.explorer.bounds(), QRect(0, 400, 1007, 200));
    EXPECT_EQ(b.arrange.lastcontrol, b.pl.grid());

    b.arrange.vpl = false;
    b.arrange.alineopanels();
    EXPECT_EQ(b.playlist.bounds(), QRect(0, 0, 0, 0));
    EXPECT_FALSE(b.bpplaylist.down());
    EXPECT_EQ(b.grupos.bounds(), QRect(0, 0, 1007, 300));
    EXPECT_EQ(b.explorer.bounds(), QRect(0, 300, 1007, 300));
    EXPECT_EQ(b.arrange.lastcontrol, b.gr.grid());
}

TEST(PanelArrangement, OnePanelAlwaysStaysShown)
{
    Browser b(300);
    b.arrange.vpl = true;
    b.arrange.vgr = b.arrange.vex = false;
    b.arrange.alineopanels();
    ASSERT_TRUE(b.bpplaylist.down());
    b.press(b.bpplaylist, &PanelArrangement::bpplaylistClick);
    EXPECT_EQ(b.shown(), "P");
    EXPECT_TRUE(b.bpplaylist.down());
    EXPECT_EQ(b.arrange.lastexplorer, 2);
}

TEST(PanelArrangement, TheStoredLayoutNamesThePanels)
{
    const struct {
        int wexp;
        QString shown;
    } table[] = {{0, "E"}, {1, "E"}, {2, "G"}, {3, "P"}, {4, "PE"}, {5, "G"}, {6, "GE"}, {7, "G"}, {8, "PG"}, {9, "PGE"}, {42, "G"}};
    for (const auto& c : table) {
        SCOPED_TRACE(c.wexp);
        Browser b(500);
        b.arrange.vex = b.arrange.vpl = false;
        b.arrange.vgr = true;  // 2, 7 and others leave the flags as they are
        b.arrange.applyWexp(c.wexp);
        EXPECT_EQ(b.shown(), c.shown);
        if (c.wexp != 2 && c.wexp != 7 && c.wexp != 42) {
            EXPECT_EQ(b.arrange.wexp(), c.wexp == 0 ? 1 : c.wexp);
        }
    }
}

TEST(PanelArrangement, TextSizeOfThePanels)
{
    Browser b(500);
    b.arrange.setzoom(2);
    EXPECT_EQ(b.gr.size.font, 10);
    EXPECT_EQ(b.gr.size.rowHeight, 19);
    EXPECT_EQ(b.gr.size.titleHeight, 24);
    EXPECT_EQ(b.gr.size.titleFont, 12);
    EXPECT_EQ(b.gr.size.statusHeight, 28);
    EXPECT_EQ(b.gr.size.searchFont, 10);
    FakePosition nzoom(0, 6, 0);
    b.arrange.nzoom = &nzoom;
    nzoom.setPosition(6);
    b.arrange.nzoomchange();
    for (FakePanel* p : {&b.pl, &b.gr, &b.ex}) {
        EXPECT_EQ(p->size.font, 14);
        EXPECT_EQ(p->size.rowHeight, 27);
        EXPECT_EQ(p->size.titleHeight, 32);
        EXPECT_EQ(p->size.titleFont, 16);
        EXPECT_EQ(p->size.statusHeight, 36);
        EXPECT_EQ(p->size.searchFont, 14);
    }
}

TEST(PanelArrangement, TheEnteredPanelIsTheLoadSource)
{
    Browser b(500);
    b.arrange.gruposEnter();
    EXPECT_EQ(b.source.msender, b.gr.grid());
    EXPECT_EQ(b.source.msenderold, b.gr.grid());
    EXPECT_EQ(b.source.loadfrom, "Grupos");
    EXPECT_TRUE(b.gr.grid_.tienefoco());
    EXPECT_FALSE(b.pl.grid_.tienefoco());
    b.arrange.PlaylistEnter();
    EXPECT_EQ(b.source.loadfrom, "Playlist");
    EXPECT_FALSE(b.gr.grid_.tienefoco());
    b.arrange.explorerEnter();
    EXPECT_EQ(b.source.loadfrom, "Explorer");
    b.arrange.devuelvofoco();
    EXPECT_TRUE(b.ex.grid_.focused());
}

TEST(PanelArrangement, TheMouseAcrossAGridGivesTheFocusBack)
{
    Browser b(500);
    b.pl.grid_.takeFocus();
    b.arrange.epMouseEnter();
    EXPECT_TRUE(b.gr.grid_.focused());
    EXPECT_EQ(b.gr.grid_.nfocus(), "False");
    b.arrange.epMouseleave();
    EXPECT_TRUE(b.pl.grid_.focused()) << "no cell chosen: the grid that had the focus gets it back";

    b.arrange.epMouseEnter();
    b.gr.grid_.setnfocus(QStringLiteral("True"));  // a cell was selected
    b.arrange.epMouseleave();
    EXPECT_TRUE(b.gr.grid_.focused());
}

TEST(PanelArrangement, FocusGoesToTheWindowWhenAControlRefusesIt)
{
    Browser b(500);
    b.ex.grid_.canFocus_ = true;
    struct Refusing : Focusable {
        bool canFocus() const override { return true; }
        bool takeFocus() override { return false; }
        bool focused() const override { return false; }
    } refusing;
    b.arrange.focusea(&refusing);
    EXPECT_EQ(b.windowFocus, 1);
    b.arrange.focusea(nullptr);
    b.ex.grid_.canFocus_ = false;
    b.arrange.focusea(b.ex.grid());
    EXPECT_EQ(b.windowFocus, 1);
    EXPECT_FALSE(b.ex.grid_.focused());
}

TEST(DroppedFile, NamesOfADroppedFile)
{
    QTemporaryDir dir;
    auto make = [&](const QString& name) {
        const QString p = dir.filePath(name);
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        return p;
    };
    const struct {
        QString name;
        bool demo;
        QString artist, title;
    } table[] = {
        {QStringLiteral("Artist - Title.mp3"), false, QStringLiteral("Artist "), QStringLiteral("Title")},
        {QStringLiteral("Artist - Title.mp3"), true, QStringLiteral("Artist "), QStringLiteral(" Title")},
        {QStringLiteral("song.mp3"), false, QStringLiteral("SONG"), QStringLiteral("SONG")},
        {QStringLiteral("song.flac"), false, QStringLiteral("SONG."), QStringLiteral("SONG.")},
        {QStringLiteral("  lead.wav"), false, QStringLiteral("LEAD"), QStringLiteral("LEAD")},
        {QStringLiteral("a-b-c.ogg"), false, QStringLiteral("a"), QStringLiteral("b-c")},
        {QStringLiteral(".mp3"), false, QString(), QString()},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.name.toStdString());
        const QString path = make(c.name);
        const QStringList row = DroppedFile::row(path, c.demo);
        ASSERT_EQ(row.size(), gridcol::count);
        EXPECT_EQ(row[gridcol::artist], c.artist);
        EXPECT_EQ(row[gridcol::title], c.title);
        EXPECT_EQ(row[gridcol::path], path);
        EXPECT_EQ(row[gridcol::gain], "10");
        EXPECT_EQ(row[gridcol::cue1], "0");
        EXPECT_EQ(row[gridcol::cue11], "0");
        EXPECT_TRUE(row[gridcol::deck].isEmpty());
    }
    EXPECT_TRUE(DroppedFile::row(dir.filePath(QStringLiteral("gone.mp3")))[gridcol::path].isEmpty());
}

TEST(DroppedFile, DropZones)
{
    const struct {
        QPoint at;
        int deck;
    } table[] = {{{100, 100}, 1}, {{499, 379}, 1}, {{500, 100}, 0}, {{530, 100}, 0}, {{560, 100}, 0},
                 {{561, 100}, 2}, {{700, 100}, 2}, {{100, 380}, 0}, {{700, 380}, 0}};
    for (const auto& c : table) EXPECT_EQ(DroppedFile::zone(c.at), c.deck) << c.at.x() << "," << c.at.y();
}

TEST(StoredDevices, DevicesAreFoundAgainByName)
{
    // ALSA names by device number (entry 0 unused); JACK by index
    const std::vector<QString> alsa{QString(), "default", "USB Audio", "HDA Intel", "HDA Intel (2)"};
    const std::vector<QString> jack{"system", "firewire"};
    PSoundConfig c;
    auto set = [&](size_t row, int num, const QString& name, int asnum, const QString& asname) {
        c.dsnum[row] = num;
        c.dsname[row] = name;
        c.asnum[row] = asnum;
        c.asname[row] = asname;
    };
    set(0, 0, "HDA Intel", 1, "firewire");  // moved: now at position 2, JACK unchanged
    set(1, 3, "HDA Intel (2)", 0, "gone");  // unchanged; JACK device gone
    set(2, -1, "USB Audio", 7, "-");        // -1 and "-" are not looked up; 7 is past the JACK list
    StoredDevices::Outcome out = StoredDevices::resolve(c, alsa, 4, jack, 1);
    EXPECT_EQ(c.dsnum[0].load(), 2);
    EXPECT_EQ(c.dsnum[1].load(), 3);
    EXPECT_EQ(c.dsnum[2].load(), -1);
    EXPECT_EQ(c.asnum[0].load(), 1);
    EXPECT_EQ(c.asnum[1].load(), 0);
    EXPECT_EQ(c.asnum[2].load(), 0);
    EXPECT_FALSE(out.alsaGone);
    EXPECT_TRUE(out.jackGone);

    PSoundConfig d;
    d.dsnum[0] = 3;
    d.dsname[0] = "Unplugged Card";
    d.dsnum[1] = 9;
    d.dsname[1] = "-";  // not named: only past the list's end
    out = StoredDevices::resolve(d, alsa, 4, jack, 1);
    EXPECT_EQ(d.dsnum[0].load(), 0);
    EXPECT_EQ(d.dsnum[1].load(), 0);
    EXPECT_TRUE(out.alsaGone);
    EXPECT_FALSE(out.jackGone);
}

TEST(ConfigRow, ARowThatCannotBeReadIsReplacedByTheDefaultRow)
{
    const struct {
        const char* name;
        QString sql;
        bool readable;
    } table[] = {
        {"good", QString(), true},
        {"com not a number", QStringLiteral("UPDATE config SET com = 'x', wexp = 9"), false},
        {"no row", QStringLiteral("DELETE FROM config"), false},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        Tmsql sql(dir.filePath(QStringLiteral("k.db")));
        sql.db().ExecSQL(QStringLiteral("UPDATE config SET wexp = 9, pitch = 8"));
        if (!c.sql.isEmpty()) sql.db().ExecSQL(c.sql);
        PSoundConfig cfg;
        EXPECT_EQ(ConfigRow::read(sql, cfg), c.readable);
        EXPECT_EQ(cfg.wexp.load(), c.readable ? 9 : 4);
        EXPECT_EQ(cfg.pitch.load(), c.readable ? 8 : 12);
        EXPECT_EQ(cfg.com.load(), 0);
        EXPECT_EQ(cfg.devicemode.load(), 1);
        // the stored row is the default one now and reads
        PSoundConfig again;
        EXPECT_TRUE(ConfigRow::read(sql, again));
        EXPECT_EQ(again.wexp.load(), cfg.wexp.load());
    }
}

TEST(ProfileFolder, TheFirstRunMakesTheFolderAndItsSubfolders)
{
    QTemporaryDir dir;
    const QString profile = dir.filePath(QStringLiteral("Documents/OSTREL_KORVANTA/"));
    EXPECT_TRUE(ProfileFolder::prepare(profile));
    for (const char* sub : {"Downloads", "Samples", "Devices", "Devices/hid", "Skin"})
        EXPECT_TRUE(QDir(profile + QLatin1String(sub)).exists()) << sub;
    EXPECT_FALSE(QDir(profile + QStringLiteral("Peaks")).exists());

    QDir(profile + QStringLiteral("Skin")).removeRecursively();
    EXPECT_FALSE(ProfileFolder::prepare(profile));
    EXPECT_FALSE(QDir(profile + QStringLiteral("Skin")).exists()) << "a missing subfolder alone is not made";
}

TEST(MainLoop, RunsItsStepOnlyWhileRunning)
{
    loadrig::app();
    MainLoop loop;
    int steps = 0;
    loop.doPlaying = [&] { ++steps; };
    EXPECT_TRUE(loop.MainRunning());
    loop.pass();
    EXPECT_TRUE(loop.mmain(false));
    loop.pass();
    loop.pass();
    EXPECT_TRUE(loop.mmain(true));
    EXPECT_TRUE(loop.mmain(true)) << "switching on a running loop changes nothing";
    loop.pass();
    EXPECT_EQ(steps, 2);

    loop.start();
    EXPECT_TRUE(loadrig::waitFor([&] { return steps >= 5; }, 5000)) << "the loop's timer runs the step";
    loop.mmain(false);
    const int paused = steps;
    loadrig::waitFor([] { return false; }, 60);
    EXPECT_EQ(steps, paused);
    loop.stop();
}

TEST(MainLoop, TheBlinkPhaseToggles)
{
    MainLoop loop;
    loop.TscratchTimer();
    EXPECT_TRUE(loop.blinka);
    EXPECT_TRUE(loop.blinkb);
    loop.TscratchTimer();
    EXPECT_FALSE(loop.blinka);
    EXPECT_EQ(loop.blinkb, loop.blinka);
}
