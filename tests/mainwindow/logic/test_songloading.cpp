// Song loading without a display: the LOAD steps on a real engine rendering offline, with fake
// views, grids and panels.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "engine/hintmailbox.h"
#include "mainwindow/logic/droppedfile.h"
#include "tests/mainwindow/logic/loadrig.h"

using loadrig::CountingDeck;
using loadrig::Rig;
using loadrig::waitFor;

namespace {
QStringList words(HintMailbox& box) { return box.takeAll(); }
}  // namespace

TEST(SongLoading, LoadsTheSourceRowOntoAnEmptyDeck)
{
    Rig rig;
    const QString a = rig.tone(QStringLiteral("a.wav"));
    Rig::put(rig.groups.grid_, 1, a, QStringLiteral("Artist A"), QStringLiteral("Title A"), QStringLiteral("128.500"));
    rig.source.msender = rig.source.msenderold = rig.groups.grid();
    rig.engine->enlace2 = true;

    ASSERT_TRUE(rig.load(1));
    CountingDeck& d = rig.deck(1);
    EXPECT_EQ(d.loads, 2) << "an empty deck is loaded twice";
    EXPECT_TRUE(d.loaded);
    EXPECT_EQ(d.basseqfx->Fstatus.load(), sStop);
    EXPECT_EQ(d.filename.get(), a);
    EXPECT_EQ(rig.deckA.fichero, a);
    EXPECT_EQ(rig.viewsA.label("artist1", "").caption(), "Artist A");
    EXPECT_EQ(rig.viewsA.label("title1", "").caption(), "Title A");
    EXPECT_DOUBLE_EQ(d.basseqfx->tag[0], 128.5);
    EXPECT_EQ(d.basseqfx->gain.load(), 10);
    EXPECT_EQ(d.basseqfx->bas.load(), 0);
    EXPECT_EQ(d.basseqfx->vol.load(), 100) << "kept in 0..100";
    EXPECT_FALSE(rig.engine->enlace2.load()) << "deck B no longer follows deck A";
    EXPECT_FALSE(rig.deckA.diseq);
    EXPECT_FALSE(rig.loader->loading(1));
    // marks in the three panels, the history, the knobs' controller values
    for (FakePanel* p : {&rig.playlists, &rig.groups, &rig.explorer}) {
        EXPECT_EQ(p->loada, a);
        EXPECT_EQ(p->loads, 1);
    }
    ASSERT_EQ(rig.playlists.history.size(), 1u);
    EXPECT_EQ(rig.playlists.history[0].first, 1);
    EXPECT_EQ(rig.playlists.history[0].second.value(gridcol::path), a);
    EXPECT_EQ(rig.playlists.ntrack1, 0);
    EXPECT_EQ(rig.values.quorgain1, 10);
    EXPECT_EQ(rig.values.quorbass1, 15);
    EXPECT_EQ(rig.values.quortre1, 15);
    EXPECT_EQ(rig.steps, (QStringList{"lights", "pitch1", "pitch1", "cues1", "loops1"}));
    EXPECT_TRUE(rig.viewsA.control("panelwheel1", "").visible());
    EXPECT_EQ(rig.viewsA.control("display1grande", "").filled, 1);
    const char* cues[] = {"cue11", "cue12", "cue13", "cue14", "cue15", "CUE16"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(rig.viewsA.button(cues[i], "").graphicName(), QStringLiteral("cb%1.bmp").arg(i + 1));
    EXPECT_TRUE(words(rig.services.hint()).isEmpty());
}

TEST(SongLoading, LoadsOnceOntoADeckThatHeldATrack)
{
    Rig rig;
    Rig::put(rig.groups.grid_, 1, rig.tone(QStringLiteral("a.wav")));
    Rig::put(rig.groups.grid_, 2, rig.tone(QStringLiteral("b.wav")), QStringLiteral("B"), QStringLiteral("Second"));
    rig.source.msender = rig.source.msenderold = rig.groups.grid();
    rig.groups.grid_.setCurrentRow(1);
    ASSERT_TRUE(rig.load(2));
    EXPECT_EQ(rig.deck(2).loads, 2);
    rig.groups.grid_.setCurrentRow(2);
    ASSERT_TRUE(rig.load(2));
    EXPECT_EQ(rig.deck(2).loads, 3);
    EXPECT_EQ(rig.viewsB.label("", "title2").caption(), "Second");
    EXPECT_TRUE(rig.deck(2).filename.get().endsWith("b.wav"));
    // deck B's own names
    EXPECT_EQ(rig.viewsB.button("", "cue21").graphicName(), "cbv1.bmp");
}

// What LOAD leaves alone, and what it empties.
struct Refusal {
    const char* name;
    std::function<void(Rig&)> setUp;  // before the second LOAD of deck A
    bool automix;
    bool unloads;      // the old track goes
    QString word;      // the mailbox word, if any
};

class SongLoadingRefusal : public ::testing::TestWithParam<int> {};

TEST_P(SongLoadingRefusal, LeavesTheDeckAsItWas)
{
    auto missing = [](Rig& r) { Rig::put(r.groups.grid_, 2, r.dir.filePath(QStringLiteral("gone.wav"))); };
    auto playing = [](Rig& r) {
        r.deck(1).Play();
        Rig::put(r.groups.grid_, 2, r.tone(QStringLiteral("b.wav")));
    };
    auto paused = [](Rig& r) {
        r.deck(1).Play();
        r.deck(1).Pause();
        Rig::put(r.groups.grid_, 2, r.tone(QStringLiteral("b.wav")));
    };
    auto refused = [](const char* name) {
        return [name](Rig& r) {
            const QString p = r.dir.filePath(QLatin1String(name));
            QFile f(p);
            f.open(QIODevice::WriteOnly);
            f.write("not loaded");
            f.close();
            Rig::put(r.groups.grid_, 2, p, QStringLiteral("Video"), QStringLiteral("Clip"));
        };
    };
    const std::vector<Refusal> table = {
        {"missing file, automix off", missing, false, false, {}},
        {"missing file, automix on", missing, true, false, QStringLiteral("ECARGACANCION1")},
        {"playing deck", playing, false, false, {}},
        {"paused deck", paused, true, false, {}},
        {"avi", refused("clip.avi"), false, true, {}},
        {"AVI", refused("clip.AVI"), false, true, {}},
        {"mpg", refused("clip.mpg"), false, true, {}},
        {"mpga", refused("clip.mpga"), true, true, {}},
    };
    const Refusal& c = table[size_t(GetParam())];
    SCOPED_TRACE(c.name);

    Rig rig;
    const QString a = rig.tone(QStringLiteral("a.wav"));
    Rig::put(rig.groups.grid_, 1, a, QStringLiteral("Old"), QStringLiteral("Track"));
    rig.source.msender = rig.source.msenderold = rig.groups.grid();
    ASSERT_TRUE(rig.load(1));
    const int loads = rig.deck(1).loads;
    c.setUp(rig);
    rig.engine->autoenable = c.automix;
    const TBassStatus status = rig.deck(1).basseqfx->Fstatus;
    rig.steps.clear();

    ASSERT_TRUE(rig.load(1));
    EXPECT_EQ(rig.deck(1).loads, loads) << "Load is not called";
    EXPECT_EQ(words(rig.services.hint()), c.word.isEmpty() ? QStringList() : QStringList{c.word});
    EXPECT_FALSE(rig.loader->loading(1));
    if (c.unloads) {
        EXPECT_FALSE(rig.deck(1).loaded);
        EXPECT_EQ(rig.viewsA.label("artist1", "").caption(), "Video") << "the row's names are shown";
        EXPECT_EQ(rig.deck(1).basseqfx->Fstatus.load(), sStop);
    } else {
        EXPECT_TRUE(rig.deck(1).loaded);
        EXPECT_EQ(rig.deck(1).filename.get(), a);
        EXPECT_EQ(rig.viewsA.label("artist1", "").caption(), "Old");
        EXPECT_EQ(rig.deck(1).basseqfx->Fstatus.load(), status);
        EXPECT_FALSE(rig.steps.contains("pitch1"));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SongLoadingRefusal, ::testing::Range(0, 8));

TEST(SongLoading, DeckBPostsItsOwnMissingFileWord)
{
    Rig rig;
    Rig::put(rig.groups.grid_, 1, rig.dir.filePath(QStringLiteral("gone.wav")));
    rig.source.msender = rig.groups.grid();
    rig.engine->autoenable = true;
    ASSERT_TRUE(rig.load(2));
    EXPECT_EQ(words(rig.services.hint()), QStringList{"ECARGACANCION2"});
    EXPECT_EQ(rig.deck(2).loads, 0);
}

TEST(SongLoading, TwoDecksLoadAtOnce)
{
    Rig rig;
    const QString a = rig.tone(QStringLiteral("a.wav"), 4, 500);
    const QString b = rig.tone(QStringLiteral("b.wav"), 4, 1300);
    Rig::put(rig.groups.grid_, 1, a, QStringLiteral("A"), QStringLiteral("First"));
    Rig::put(rig.groups.grid_, 2, b, QStringLiteral("B"), QStringLiteral("Second"));
    rig.source.msender = rig.source.msenderold = rig.groups.grid();
    rig.groups.grid_.setCurrentRow(1);
    rig.loader->btnloadMouseDown(1);
    rig.groups.grid_.setCurrentRow(2);
    rig.loader->btnloadMouseDown(2);
    ASSERT_TRUE(waitFor([&] { return rig.finishedCount() == 2; }));
    EXPECT_EQ(rig.deck(1).filename.get(), a);
    EXPECT_EQ(rig.deck(2).filename.get(), b);
    EXPECT_EQ(rig.viewsA.label("title1", "").caption(), "First");
    EXPECT_EQ(rig.viewsB.label("", "title2").caption(), "Second");
    EXPECT_EQ(rig.groups.loada, a);
    EXPECT_EQ(rig.groups.loadb, b);
    EXPECT_TRUE(rig.deck(1).loaded);
    EXPECT_TRUE(rig.deck(2).loaded);
    ASSERT_EQ(rig.playlists.history.size(), 2u);
}

TEST(SongLoading, ASecondLoadOfALoadingDeckIsRefused)
{
    Rig rig;
    Rig::put(rig.groups.grid_, 1, rig.tone(QStringLiteral("a.wav")));
    rig.source.msender = rig.groups.grid();
    rig.loader->btnloadMouseDown(1);
    EXPECT_TRUE(rig.loader->loading(1));
    rig.loader->btnloadMouseDown(1);
    ASSERT_TRUE(waitFor([&] { return rig.finishedCount() == 1; }));
    waitFor([] { return false; }, 100);
    EXPECT_EQ(rig.finishedCount(), 1u);
    EXPECT_EQ(rig.deck(1).loads, 2);
}

TEST(SongLoading, AFailedLoadWithAutomixLeavesTheDeckFreeForItsWord)
{
    Rig rig;
    const QString bad = rig.dir.filePath(QStringLiteral("bad.mp3"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    Rig::put(rig.groups.grid_, 1, bad);
    Rig::put(rig.groups.grid_, 2, rig.tone(QStringLiteral("next.wav")), QStringLiteral("N"), QStringLiteral("Next"));
    rig.groups.grid_.setCurrentRow(1);
    rig.source.msender = rig.source.msenderold = rig.groups.grid();
    rig.engine->autoenable = true;
    // the word's reader presses LOAD again at once, as the status timer does
    QStringList seen;
    bool freeWhenSeen = false;
    rig.loader->onLoadFinished = [&](int deck, bool ok) {
        rig.finished.push_back({deck, ok});
        if (!ok) {
            seen = rig.services.hint().takeAll();
            freeWhenSeen = !rig.loader->loading(1);
            rig.groups.grid_.setCurrentRow(2);
            rig.loader->btnloadMouseDown(1);
        }
    };
    rig.loader->btnloadMouseDown(1);
    ASSERT_TRUE(waitFor([&] { return rig.finishedCount() == 2; }))
        << rig.finishedCount() << " loads " << rig.deck(1).loads;
    EXPECT_EQ(seen, QStringList{"CARGACANCION1"});
    EXPECT_TRUE(freeWhenSeen);
    EXPECT_TRUE(rig.deck(1).loaded);
    EXPECT_EQ(rig.viewsA.label("title1", "").caption(), "Next");
    EXPECT_FALSE(rig.deckA.diseq);
}

TEST(SongLoading, AFreshTrackPlaysAtUnityGain)
{
    Rig rig;
    EXPECT_EQ(rig.deck(1).basseqfx->gain.load(), 0) << "a new deck's record starts at 0: silence";
    Rig::put(rig.groups.grid_, 1, rig.tone(QStringLiteral("a.wav"), 3, 500));
    rig.source.msender = rig.groups.grid();
    rig.crossfader.at_ = 0;  // deck A alone
    ASSERT_TRUE(rig.load(1));
    rig.deck(1).Play();
    std::vector<float> out;
    rig.engine->render(44100 / 2, &out);
    ASSERT_GT(out.size(), 2u * 8820u);
    // the last part, past any ramp in
    float peak = 0;
    for (size_t i = out.size() / 2; i < out.size(); ++i) peak = std::max(peak, std::abs(out[i]));
    EXPECT_GT(peak, 0.3f) << "the tone plays at its own level";
    EXPECT_LT(peak, 0.5f);
}

TEST(SongLoading, TheLoadSwitchesLoopsAndEffectsOff)
{
    Rig rig;
    Rig::put(rig.groups.grid_, 1, rig.tone(QStringLiteral("a.wav")));
    rig.source.msender = rig.source.msenderold = rig.groups.grid();
    ASSERT_TRUE(rig.load(1));
    CountingDeck& d = rig.deck(1);
    d.UpdateEcho(0.5f, 0, 0.25f, true);
    d.UpdateFlange(0, 0.01f, true);
    d.UpdateWah(0.5f, 100, true);
    ASSERT_TRUE(d.echo2 && d.flanger && d.autowah3);
    for (const char* b : {"echo", "flange", "wah", "loop1a", "loop1b", "loop1reloop"}) rig.viewsA.button(b, "").setTag(1);
    rig.deckA.loop = 3;
    d.basseqfx->freloop = true;
    ASSERT_TRUE(rig.load(1));
    EXPECT_FALSE(d.echo2);
    EXPECT_FALSE(d.flanger);
    EXPECT_FALSE(d.autowah3);
    for (const char* b : {"echo", "flange", "wah", "loop1a", "loop1b", "loop1reloop"})
        EXPECT_EQ(rig.viewsA.button(b, "").tag(), 0) << b;
    EXPECT_EQ(rig.deckA.loop, 0);
    EXPECT_FALSE(d.basseqfx->freloop);
}

TEST(SongLoading, APlaylistsRowIsNotAddedAgainAndACdromFileNeither)
{
    Rig rig;
    Rig::put(rig.playlists.grid_, 1, rig.tone(QStringLiteral("a.wav")));
    rig.source.msender = rig.playlists.grid();
    ASSERT_TRUE(rig.load(1));
    EXPECT_TRUE(rig.playlists.history.empty());
    EXPECT_EQ(rig.playlists.ntrack1, 7);
    EXPECT_EQ(rig.viewsA.label("track1", "").caption(), "0007");

    rig.cdrom = rig.dir.path();
    Rig::put(rig.explorer.grid_, 1, rig.tone(QStringLiteral("b.wav")));
    rig.source.msender = rig.explorer.grid();
    ASSERT_TRUE(rig.load(2));
    EXPECT_TRUE(rig.playlists.history.empty());
    EXPECT_EQ(rig.playlists.ntrack2, 0);
}

TEST(SongLoading, ANewTimeIsWrittenBackToTheGridAndTheLibrary)
{
    Rig rig;
    const QString a = rig.tone(QStringLiteral("a.wav"), 3);
    Rig::put(rig.groups.grid_, 1, a);
    rig.groups.grid_.setCell(gridcol::time, 1, QStringLiteral("9:99:99:99"));
    rig.source.msender = rig.groups.grid();
    ASSERT_TRUE(rig.load(1));
    EXPECT_EQ(rig.groups.grid_.cell(gridcol::time, 1), rig.deck(1).basseqfx->duration.get());
    EXPECT_NE(rig.groups.grid_.cell(gridcol::time, 1), "9:99:99:99");
    EXPECT_TRUE(rig.library.files.contains(a));
}

TEST(SongLoading, AutomixStartsTheDeckItWasWaitingFor)
{
    Rig rig;
    Rig::put(rig.playlists.grid_, 1, rig.tone(QStringLiteral("a.wav")));
    rig.source.msender = rig.playlists.grid();
    rig.engine->autoenable = true;
    rig.loader->primeraautomix = 1;
    ASSERT_TRUE(rig.load(1));
    EXPECT_EQ(rig.deck(1).basseqfx->Fstatus.load(), sPlay);
    EXPECT_EQ(rig.loader->primeraautomix, 0);
}

TEST(SongLoading, AfterALoadTheSourceIsTheGridEnteredLast)
{
    Rig rig;
    Rig::put(rig.groups.grid_, 1, rig.tone(QStringLiteral("a.wav")));
    rig.source.msender = rig.source.msenderold = rig.groups.grid();
    rig.loader->dropFiles({rig.tone(QStringLiteral("Dropped - Song.wav"))}, QPoint(530, 100));
    EXPECT_EQ(rig.source.msender, &rig.sgdrag) << "the dropped file is the source until a load ends";
    EXPECT_EQ(rig.finishedCount(), 0u);
    ASSERT_TRUE(rig.load(1));
    EXPECT_EQ(rig.viewsA.label("artist1", "").caption(), "Dropped ");
    EXPECT_EQ(rig.viewsA.label("title1", "").caption(), "Song");
    EXPECT_EQ(rig.source.msender, rig.groups.grid());
}

TEST(SongLoading, FilesDroppedInADeckZoneLoadThere)
{
    const struct {
        QPoint at;
        int deck;
    } table[] = {{{100, 100}, 1}, {{700, 100}, 2}, {{530, 100}, 0}, {{100, 380}, 0}, {{700, 500}, 0}};
    for (const auto& c : table) {
        SCOPED_TRACE(QStringLiteral("%1,%2").arg(c.at.x()).arg(c.at.y()).toStdString());
        Rig rig;
        const QString path = rig.tone(QStringLiteral("song.wav"));
        rig.loader->dropFiles({path, rig.tone(QStringLiteral("second.wav"))}, c.at);
        EXPECT_EQ(rig.sgdrag.cell(gridcol::path, 1), path) << "only the first file";
        EXPECT_EQ(rig.sgdrag.currentRow(), 1);
        if (c.deck) {
            ASSERT_TRUE(waitFor([&] { return rig.finishedCount() == 1; }));
            EXPECT_EQ(rig.deck(c.deck).filename.get(), path);
            EXPECT_EQ(rig.views(c.deck).label("artist1", "artist2").caption(), "SONG");
        } else {
            waitFor([] { return false; }, 50);
            EXPECT_EQ(rig.finishedCount(), 0u);
        }
    }
}

TEST(SongLoading, ARowDraggedFromThePlaylistsLoadsTheRowWhereTheDragStarted)
{
    Rig rig;
    for (int r = 1; r <= 4; ++r)
        Rig::put(rig.playlists.grid_, r, rig.tone(QStringLiteral("t%1.wav").arg(r)), QStringLiteral("A"),
                 QStringLiteral("T%1").arg(r));
    rig.playlists.grid_.setCurrentRow(4);
    rig.playlists.originaldrag_ = 2;
    rig.source.msender = rig.source.msenderold = rig.groups.grid();
    rig.loader->dragDrop(2, rig.playlists.grid());
    ASSERT_TRUE(waitFor([&] { return rig.finishedCount() == 1; }));
    EXPECT_EQ(rig.viewsB.label("", "title2").caption(), "T2");
    EXPECT_TRUE(rig.playlists.grid_.focused());
    EXPECT_EQ(rig.source.msender, rig.groups.grid()) << "the load ends on the grid entered last";
}

TEST(SongLoading, DemoSongsGoThroughTheHiddenGrid)
{
    Rig rig;
    rig.source.msender = rig.groups.grid();
    const QString profile = rig.dir.filePath(QStringLiteral("profile/"));
    QDir().mkpath(profile + QStringLiteral("demosongs"));
    for (const char* n : {"Band - One.mp3", "two.mp3"}) {
        QFile f(profile + QStringLiteral("demosongs/") + QLatin1String(n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    rig.loader->altademosongs(profile);
    ASSERT_EQ(rig.playlists.demos.size(), 2u);
    EXPECT_EQ(rig.playlists.demos[0].value(gridcol::artist), "Band ");
    EXPECT_EQ(rig.playlists.demos[0].value(gridcol::title), " One") << "a demo song keeps its blanks";
    EXPECT_EQ(rig.playlists.demos[1].value(gridcol::title), "TWO");
    EXPECT_EQ(rig.sgdrag.rowCount(), 3);
    EXPECT_EQ(rig.source.msender, &rig.sgdrag);
    EXPECT_EQ(rig.source.msenderold, rig.groups.grid());

    Rig none;
    none.loader->altademosongs(none.dir.filePath(QStringLiteral("nothing/")));
    EXPECT_TRUE(none.playlists.demos.empty());
    EXPECT_EQ(none.source.msender, nullptr);
}
