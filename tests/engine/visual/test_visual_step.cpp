// The visual step on synthetic deck records: the schedule, the waveform window at every zoom,
// cue and loop marks, the overview and its end-of-track blinking, meters, state words, the view
// switch, and reads that stay inside the buffers whatever the record says.
#include <gtest/gtest.h>

#include <thread>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "engine/audiodjbase.h"
#include "engine/cargaasio.h"
#include "tests/engine/visual/visualrig.h"

using namespace visualrig;

namespace {

constexpr int kPoints = 20000;
constexpr int kAt = 1002;  // the current point: even, and 2 more is a multiple of 4

// Columns of a box whose column shows more than the one-row band of a silent point in colour c.
std::vector<int> loudColumns(const FakeBox& box, TColor c)
{
    std::vector<int> out;
    for (int x = 0; x < box.w; ++x)
        if (box.count(x, c) > 1) out.push_back(x);
    return out;
}

// Steps deck A until its overview has been drawn once more.
void drawOverview(Rig& rig)
{
    const int before = rig.over1.changes;
    for (int i = 0; i < 20 && rig.over1.changes == before; ++i) rig.v.moveit();
    ASSERT_EQ(rig.over1.changes, before + 1);
}

TEST(VisualStep, StepsDrawDeckAThenDeckB)
{
    Rig rig;
    track(rig.deckA, 480, kPoints, [](int) { return 20; });
    track(rig.deckB, 480, kPoints, [](int) { return 20; });
    rig.start();
    rig.v.muevelo();
    EXPECT_EQ(rig.box1.changes, 1);
    EXPECT_EQ(rig.box2.changes, 0);
    rig.v.muevelo();
    EXPECT_EQ(rig.box1.changes, 1);
    EXPECT_EQ(rig.box2.changes, 1);

    // a deck without a wave draws nothing in the waveform view
    rig.deckB.showwave = false;
    rig.v.muevelo();
    rig.v.muevelo();
    EXPECT_EQ(rig.box1.changes, 2);
    EXPECT_EQ(rig.box2.changes, 1);
}

struct ZoomCase {
    int width, zoom, offset;  // a loud point `offset` points after the current one
    int firstColumn, columns;
};

class VisualZoom : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(VisualZoom, TheCurrentPointStaysInTheCentreColumn)
{
    const ZoomCase c = GetParam();
    Rig rig(c.width);
    const int loud = kAt + 2 + c.offset;
    track(rig.deckA, c.width, kPoints, [&](int p) { return p == loud ? 80 : 0; });
    rig.deckA.zoom = c.zoom;
    at(rig.deckA, kAt);
    rig.start();
    rig.v.moveit();
    const TColor wave = through565(kBackA);
    std::vector<int> want;
    for (int i = 0; i < c.columns; ++i) want.push_back(c.firstColumn + i);
    EXPECT_EQ(loudColumns(rig.box1, wave), want);
    // the centre line in the centre column, the wave's silent band elsewhere
    // the centre line: its end point left out, and the clip ends at the last row
    EXPECT_EQ(rig.box1.count(c.width / 2, 0x0000FF), 73);
    EXPECT_EQ(rig.box1.count(10, wave), 1);
}

// At zoom 0 a point 40 away shows 20 columns from the centre, at zoom 1 40: twice the span.
INSTANTIATE_TEST_SUITE_P(Table, VisualZoom,
                         ::testing::Values(ZoomCase{480, 1, 40, 280, 1}, ZoomCase{480, 1, -40, 200, 1},
                                           ZoomCase{480, 0, 40, 260, 1}, ZoomCase{480, 0, -40, 220, 1},
                                           ZoomCase{480, -1, 40, 250, 1}, ZoomCase{480, 2, 40, 320, 2},
                                           ZoomCase{480, 3, 40, 360, 3}, ZoomCase{480, 4, 40, 400, 4},
                                           ZoomCase{480, 4, -40, 80, 4},
                                           // another width: the centring offsets follow it
                                           ZoomCase{320, 2, 40, 240, 2}, ZoomCase{320, 4, 20, 240, 4},
                                           ZoomCase{320, 1, 40, 200, 1}));

TEST(VisualStep, CueMarksLandInTheirPointsColumn)
{
    for (const int zoom : {1, 0}) {
        Rig rig;
        track(rig.deckA, 480, kPoints, [](int) { return 30; });
        rig.deckA.zoom = zoom;
        at(rig.deckA, kAt);
        // marks are point + surface / 2: cue 1 on point +40, cue 3 a loop cue on point -60
        rig.deckA.cue[0] = kAt + 2 + 40 + 240;
        rig.deckA.cue[2] = kAt + 2 - 60 + 240;
        rig.deckA.cue[8] = 1;
        rig.deckA.cue[1] = 0;  // unset: no mark
        rig.start();
        rig.v.moveit();
        const int cueColumn = zoom == 1 ? 280 : 260, loopColumn = zoom == 1 ? 180 : 210;
        EXPECT_EQ(rig.cues1.clears, 1);
        // at zoom 0 a mark's window of points reaches into the next column too: the flag
        // is drawn again one column on
        const size_t each = zoom == 1 ? 1 : 2;
        ASSERT_EQ(rig.cues1.marks.size(), 2 * each) << zoom;
        ASSERT_EQ(rig.cues1.texts.size(), 2 * each);
        const auto& loopMark = rig.cues1.marks[0];
        const auto& cueMark = rig.cues1.marks[each];
        const auto& loopText = rig.cues1.texts[0];
        const auto& cueText = rig.cues1.texts[each];
        // the marker's left edge 5 columns before the point (the flag is 9 wide), the number
        // beside it
        const int shift = zoom == 1 ? 0 : 1;
        EXPECT_EQ(loopMark.x, loopColumn + shift - 5);
        EXPECT_TRUE(loopMark.loop);
        EXPECT_EQ(loopText.text, QStringLiteral("LOOP 3"));
        EXPECT_EQ(loopText.color, 0x00D500u);
        EXPECT_EQ(cueMark.x, cueColumn + shift - 5);
        EXPECT_EQ(cueMark.y, 1);
        EXPECT_FALSE(cueMark.loop);
        EXPECT_EQ(cueText.text, QStringLiteral("CUE 1"));
        EXPECT_EQ(cueText.x, cueColumn + shift + 5);
        EXPECT_EQ(cueText.y, -2);
        EXPECT_EQ(cueText.color, rig.v.cg[2]);
        if (each == 2) {
            EXPECT_EQ(rig.cues1.marks[each + 1].x, cueMark.x + 1);
        }
    }
}

TEST(VisualStep, LoopShowsItsBackgroundBetweenItsMarksAndHidesCues)
{
    Rig rig;
    track(rig.deckA, 480, kPoints, [](int) { return 50; });
    at(rig.deckA, kAt);
    rig.deckA.loop = true;
    rig.deckA.loo[0] = kAt + 2 - 20 + 240;  // columns 221 .. 259 inside
    rig.deckA.loo[1] = kAt + 2 + 20 + 240;
    rig.deckA.cue[0] = kAt + 2 + 240;
    rig.start();
    rig.v.moveit();
    const TColor inside = through565(kBackLoop);
    const int band = 50 * 37 / 100 * 2 + 1;
    for (int x : {100, 220, 260, 400}) {
        EXPECT_EQ(rig.box1.count(x, rig.v.cp[2]), band) << x;
        EXPECT_EQ(rig.box1.count(x, 0x000000), 74 - band) << x;
    }
    for (int x : {221, 230, 259}) {
        EXPECT_EQ(rig.box1.count(x, inside), band) << x;
        EXPECT_EQ(rig.box1.count(x, rig.v.cg[8]), 74 - band) << x;
    }
    EXPECT_TRUE(rig.cues1.marks.empty());
}

TEST(VisualStep, MissingBackgroundDrawsTheWaveFromTheCentreInTheDecksColour)
{
    Rig rig;
    rig.v.bmp3.reset();
    track(rig.deckA, 480, kPoints, [](int) { return 50; });
    at(rig.deckA, kAt);
    rig.start();
    EXPECT_FALSE(rig.v.bmpfondo);
    rig.v.moveit();
    const TColor amber = rig.v.cg[2];
    // full colour in the middle half, half of it a quarter from the left edge (rounded up)
    EXPECT_EQ(rig.box1.count(200, amber), 18 + 18 + 1);
    EXPECT_EQ(rig.box1.count(200, 0), 74 - 37);
    EXPECT_EQ(rig.box1.at(60, 37), 0x05597Fu);
    EXPECT_EQ(rig.box1.at(0, 37), 0u);
    // switched on again without its pictures: still the drawn wave
    rig.v.bmpfondo = true;
    rig.v.moveit2();
    rig.v.moveit();
    EXPECT_EQ(rig.box1.count(200, amber), 37);
}

TEST(VisualStep, OverviewEveryTwentiethStepWithPlayHeadCuesAndPlayedPart)
{
    Rig rig;
    track(rig.deckA, 480, kPoints, [](int) { return 50; });
    at(rig.deckA, kPoints / 2);
    rig.deckA.cuep[0] = 100;
    rig.deckA.cuep[1] = 300;
    rig.deckA.cue[7] = 1;  // cue 2 is a loop cue
    rig.start();
    for (int i = 0; i < 19; ++i) rig.v.moveit();
    EXPECT_EQ(rig.over1.changes, 0);
    rig.v.moveit();
    EXPECT_EQ(rig.over1.changes, 1);
    const int head = 240 + 2;
    EXPECT_EQ(rig.deckA.gfx_posp, head);
    EXPECT_EQ(rig.v.pmpos, head);
    EXPECT_EQ(rig.over1.count(head, 0xFFFFFF), 30);
    const int bar = 50 * 30 / 75;
    EXPECT_EQ(rig.over1.count(50, 0xA57A58), bar - 2);  // played; the two progress lines below
    EXPECT_EQ(rig.over1.count(50, 0xFFFFFF), 2);
    EXPECT_EQ(rig.over1.count(400, rig.v.cp[2]), bar);  // not played yet
    // cue lines at pixel + 3 (the clip ends them at the last row, left out as an end point)
    EXPECT_EQ(rig.over1.count(103, rig.v.cp[12]), 28);  // and the progress line over it
    EXPECT_EQ(rig.over1.count(303, rig.v.cp[6]), 29);
    EXPECT_EQ(rig.over1.count(200, 0), 30 - bar);

    // a loop: its box and its bars in the loop colour
    rig.deckA.loop = true;
    rig.deckA.loo[2] = 200;
    rig.deckA.loo[3] = 260;
    drawOverview(rig);
    EXPECT_EQ(rig.over1.count(230, rig.v.cp[6]), bar + 1);  // and the box's top edge
    EXPECT_EQ(rig.over1.count(150, rig.v.cp[2]), bar);
    EXPECT_EQ(rig.over1.count(202, rig.v.cp[6]), 30);  // its edge line and the box's bottom row
}

struct BlinkCase {
    const char* name;
    int secondsLeft;
    TBassStatus status;
    bool loaded;
    const char* pattern;  // per drawn overview: 1 warning shown
};

class VisualBlink : public ::testing::TestWithParam<BlinkCase> {};

TEST_P(VisualBlink, PlayedPartFollowsTheSchedule)
{
    const BlinkCase c = GetParam();
    Rig rig;
    track(rig.deckA, 480, 200000, [](int) { return 0; });
    rig.deckA.tiempopcm = rig.deckA.length - int64_t(c.secondsLeft * kBytesPerSecond) + 1000;
    rig.deckA.Fstatus = c.status;
    rig.start();
    rig.deckA.loaded = c.loaded;
    const TColor warn = rig.v.cp[7];
    std::string seen;
    for (int i = 0; i < 8; ++i) {
        drawOverview(rig);
        const bool on = rig.over1.at(5, 5) == warn;
        seen += on ? '1' : '0';
        if (on) {
            EXPECT_TRUE(rig.end1.visible);
            EXPECT_EQ(rig.lab1.color, warn);
            EXPECT_EQ(rig.lab2.color, warn);
            EXPECT_EQ(rig.vu1.remainColor, warn);
        } else if (c.pattern[0] == '0' && std::string(c.pattern).find('1') != std::string::npos) {
            EXPECT_FALSE(rig.end1.visible);
            EXPECT_EQ(rig.lab1.color, 0xDDDDDDu);
        }
    }
    EXPECT_EQ(seen, c.pattern) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, VisualBlink,
                         ::testing::Values(BlinkCase{"25 s", 25, sPlay, true, "00110011"},
                                           BlinkCase{"10 s", 10, sPlay, true, "01010101"},
                                           BlinkCase{"paused 10 s", 10, sPause, true, "01010101"},
                                           BlinkCase{"40 s", 40, sPlay, true, "00000000"},
                                           BlinkCase{"stopped", 10, sStop, true, "00000000"},
                                           BlinkCase{"unloaded", 10, sPlay, false, "00000000"}));

TEST(VisualStep, AWarningEndsWhenTheDeckStops)
{
    Rig rig;
    track(rig.deckA, 480, 200000, [](int) { return 0; });
    rig.deckA.tiempopcm = rig.deckA.length - int64_t(5 * kBytesPerSecond);
    rig.deckA.Fstatus = sPlay;
    rig.start();
    drawOverview(rig);
    drawOverview(rig);
    ASSERT_TRUE(rig.end1.visible);
    rig.deckA.Fstatus = sStop;
    drawOverview(rig);
    EXPECT_FALSE(rig.end1.visible);
    EXPECT_EQ(rig.lab2.color, 0xDDDDDDu);
    EXPECT_EQ(rig.vu1.remainColor, 0xDDDDDDu);
}

TEST(VisualStep, MetersFollowTheWavePeaks)
{
    Rig rig;
    // the point under the meters is 2 * surface + gfx_pos: values 0, 50, 79 in turn
    track(rig.deckA, 480, kPoints, [](int p) { return p == 100 ? 50 : p == 101 ? 79 : 0; });
    track(rig.deckB, 480, kPoints, [](int p) { return p == 100 ? 50 : 0; });
    rig.deckA.percgain = 0.5;
    rig.start();
    at(rig.deckA, 100);
    at(rig.deckB, 100);
    rig.v.moveit();
    rig.v.moveit2();
    EXPECT_EQ(rig.l1.picos.back(), 10501);  // (50 * 420 + 1 + 1) * 0.5
    EXPECT_EQ(rig.r1.picos.back(), 10501);
    EXPECT_EQ(rig.l2.picos.back(), 21001);  // deck B: 50 * 420 + 1
    EXPECT_EQ(rig.vu2.picos.back(), 21001);
    EXPECT_FALSE(rig.led2.on);
    // the same point again: the frame did not move, the meters get 0
    rig.v.moveit();
    EXPECT_EQ(rig.l1.picos.back(), 0);
    EXPECT_EQ(rig.vu1.picos.back(), 0);
    rig.deckA.percgain = 1.0;
    at(rig.deckA, 101);
    rig.v.moveit();
    EXPECT_EQ(rig.vu1.picos.back(), 79 * 420 + 2);
    EXPECT_TRUE(rig.led1.on);  // the needle above 28000
    // one platter turn a second: 0.25 s into a second points right
    rig.deckB.tiempopcm = int64_t(3.25 * kBytesPerSecond);
    rig.v.moveit2();
    rig.v.moveit2();
    EXPECT_EQ(rig.platter2.heading, 90);
}

struct WordCase {
    bool loop, searching;
    TBassStatus status;
    bool enabled;
    const char* word;
    TColor color;
};

class VisualStateWord : public ::testing::TestWithParam<WordCase> {};

TEST_P(VisualStateWord, OnTheNeedleMeter)
{
    const WordCase c = GetParam();
    PSoundConfig cfg;
    cargaasio deck(&cfg, 1);  // a deck player, for its search mode
    Rig rig;
    track(*deck.basseqfx, 480, kPoints, [](int) { return 10; });
    rig.start(deck.basseqfx);
    deck.basseqfx->loop = c.loop;
    deck.basseqfx->Fstatus = c.status;
    deck.ssearch = c.searching;
    rig.vu1.enabled = c.enabled;
    rig.v.moveit();
    EXPECT_EQ(rig.vu1.word, QString::fromLatin1(c.word));
    EXPECT_EQ(rig.vu1.wordColor, c.color);
}

INSTANTIATE_TEST_SUITE_P(Table, VisualStateWord,
                         ::testing::Values(WordCase{true, true, sPlay, true, "LOOP", 0x91328D},
                                           WordCase{false, true, sPlay, true, "SEARCHING", 0x21BDFF},
                                           WordCase{false, true, sStop, false, "SEARCHING", 0x0082B9},
                                           WordCase{false, false, sPlay, true, "PLAY", 0x1CD089},
                                           WordCase{false, false, sPlay, false, "PLAY", 0x008000},
                                           WordCase{false, false, sPause, true, "PAUSE", 0x0AB1FC},
                                           WordCase{false, false, sPause, false, "PAUSE", 0x0AB1FC},
                                           WordCase{false, false, sStop, true, "CUE", 0x0000FF},
                                           WordCase{false, false, sStop, false, "CUE", 0x000080}));

TEST(VisualStep, ViewSwitchShowsPositionBarsClearsCueStripsAndSetsTheCadence)
{
    Rig rig;
    rig.start();
    EXPECT_TRUE(rig.v.running());
    EXPECT_EQ(rig.v.dormir(), 2);
    rig.v.setdisplayspec(true);
    EXPECT_TRUE(rig.pro1.visible);
    EXPECT_TRUE(rig.pro2.visible);
    EXPECT_EQ(rig.cues1.clears, 1);
    EXPECT_EQ(rig.cues2.clears, 1);
    EXPECT_EQ(rig.v.dormir(), 25);
    rig.v.setdisplayspec(false);
    EXPECT_FALSE(rig.pro1.visible);
    EXPECT_FALSE(rig.pro2.visible);
    EXPECT_EQ(rig.v.dormir(), 2);
    rig.v.suspender();
    EXPECT_FALSE(rig.v.running());
    EXPECT_FALSE(rig.v.visualing);
}

TEST(VisualStep, TheTimerStepsBothDecks)
{
    Rig rig;
    track(rig.deckA, 480, kPoints, [](int) { return 10; });
    track(rig.deckB, 480, kPoints, [](int) { return 10; });
    rig.start();
    QElapsedTimer t;
    t.start();
    while ((rig.box1.changes < 3 || rig.box2.changes < 3) && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GE(rig.box2.changes, 3);
    EXPECT_LE(std::abs(rig.box1.changes - rig.box2.changes), 1);
}

TEST(VisualStep, SpectrumViewPositionBarAndDecayingMeters)
{
    Rig rig;
    track(rig.deckA, 480, kPoints, [](int p) { return p == 100 ? 60 : 0; });
    rig.start();
    rig.v.setdisplayspec(true);
    at(rig.deckA, 100);
    rig.v.moveit();
    // 60 * 420 + 1 is above 21999: the level is taken at once
    EXPECT_EQ(rig.l1.positions.back(), 60 * 420 + 1);
    EXPECT_EQ(rig.vu1.picos.back(), 60 * 420 + 1);
    EXPECT_TRUE(rig.led1.on);
    EXPECT_EQ(rig.pro1.pos, rig.deckA.gfx_posp);
    // standing still, the levels fall 750 a frame
    rig.v.moveit();
    rig.v.moveit();
    EXPECT_EQ(rig.l1.positions.back(), 60 * 420 + 1 - 1500);
    // a paused deck shows the zero frame
    EXPECT_EQ(rig.v.mspectrum->FFTFallOff[12], 0);
    // nothing for an unloaded deck
    rig.deckA.loaded = false;
    const int shown = rig.box1.changes;
    rig.v.moveit();
    EXPECT_EQ(rig.box1.changes, shown);
}

TEST(VisualStep, AStoppedDecksBarsFallThreeAndPeaksOneAFrame)
{
    Rig rig;
    track(rig.deckA, 480, kPoints, [](int) { return 0; });
    rig.start();
    rig.v.setdisplayspec(true);
    rig.deckA.Fstatus = sStop;
    rig.v.mspectrum->FFTFallOff.fill(40);
    rig.v.mspectrum->FFTPeacks.fill(40);
    for (int f = 1; f <= 5; ++f) {
        rig.v.moveit();
        EXPECT_EQ(rig.v.mspectrum->FFTFallOff[12], 40 - 3 * f);
        EXPECT_EQ(rig.v.mspectrum->FFTPeacks[12], 40 - f);
    }
    // bar 12 on the box: 25 rows of the deck's colour, the peak mark 10 rows above them
    const int x = 12 * 16 + 3;
    EXPECT_EQ(rig.box1.count(x, rig.v.cg[2]), 25);
    EXPECT_EQ(rig.box1.at(x, 74 - 35), 0x00FFFFu);
}

struct BoundsCase {
    const char* name;
    int boxWidth, surface, waveSize, zoom;
    int64_t point, length;
};

class VisualBounds : public ::testing::TestWithParam<BoundsCase> {};

// Every read stays inside the buffers (the sanitizer builds check it); an empty length draws
// an empty deck.
TEST_P(VisualBounds, ReadsStayInsideTheBuffers)
{
    const BoundsCase c = GetParam();
    Rig rig(c.boxWidth);
    PRecord& r = rig.deckA;
    track(r, c.surface, 1000, [](int) { return 70; });
    r.wavebufL = std::make_shared<PeakBuffer>(size_t(c.waveSize));
    r.wavebufR = std::make_shared<PeakBuffer>(size_t(c.waveSize));
    for (int i = 0; i < c.waveSize; ++i) r.wavebufL.get()->set(size_t(i), 70);
    r.pnewl = std::make_shared<PeakBuffer>(size_t(c.waveSize));
    r.length = c.length;
    r.zoom = c.zoom;
    r.tiempopcm = c.point;
    r.cue[0] = 5;
    r.cuep[0] = 1 << 30;
    rig.start();
    for (int i = 0; i < 40; ++i) rig.v.moveit();
    rig.v.setdisplayspec(true);
    rig.v.moveit();
    EXPECT_GE(r.gfx_pos, 0);
    if (c.length == 0) {
        EXPECT_EQ(r.gfx_pos, 0);
        EXPECT_EQ(r.gfx_posp, 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, VisualBounds,
    ::testing::Values(BoundsCase{"past the end", 480, 480, 2000, 1, int64_t(1) << 40, 1000 * 2048},
                      BoundsCase{"before the start", 480, 480, 2000, -1, -(int64_t(1) << 40), 1000 * 2048},
                      BoundsCase{"empty length", 480, 480, 2000, 4, 5000, 0},
                      BoundsCase{"wider box", 700, 480, 2000, 0, 900 * 2048, 1000 * 2048},
                      BoundsCase{"narrow box", 40, 480, 2000, 3, 900 * 2048, 1000 * 2048},
                      BoundsCase{"tiny buffers", 480, 480, 3, 2, 500 * 2048, 1000 * 2048},
                      BoundsCase{"zoom beyond", 480, 480, 2000, 9, 500 * 2048, 1000 * 2048},
                      BoundsCase{"zoom below", 480, 480, 2000, -7, 500 * 2048, 1000 * 2048}));

TEST(VisualStep, PaintEventCopiesTheSurfaceOntoItsBox)
{
    Rig rig;
    track(rig.deckA, 480, kPoints, [](int) { return 10; });
    rig.start();
    rig.v.moveit();
    const std::vector<uint32_t> drawn = rig.box1.pixels;
    std::fill(rig.box1.pixels.begin(), rig.box1.pixels.end(), 0xFF000000u);
    ASSERT_TRUE(rig.box1.OnPaint);
    rig.box1.OnPaint();
    EXPECT_EQ(rig.box1.pixels, drawn);
}

TEST(VisualStep, StepsAskedFromAnotherThreadRunOnTheDisplaysThread)
{
    Rig rig;
    track(rig.deckA, 480, kPoints, [](int) { return 10; });
    rig.start();
    std::thread worker([&] { rig.v.muevelo(); });
    worker.join();
    EXPECT_EQ(rig.box1.changes, 0);  // handed over, not drawn on the worker
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(rig.box1.changes, 1);
}

TEST(VisualStep, InitStoresThePlattersForTheEngine)
{
    Rig rig;
    rig.start();
    EXPECT_EQ(mdisa.load(), &rig.platter1);
    EXPECT_EQ(mdisb.load(), &rig.platter2);
}

}  // namespace
