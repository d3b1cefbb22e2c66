// The main window on an X server (run by screen.sh under xvfb-run), its output on a JACK server
// of the test's own, driven by pointer clicks through the X server: a track on each deck, PLAY
// on deck A, PLAY and SYNC on deck B, a hot cue set and recalled on deck A, a 4-beat loop on
// deck B and the crossfader dragged from deck A's end to deck B's. A JACK client of the test
// records the program's output: deck A's beats, then deck B's at deck A's tempo.
#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <cmath>

#include "engine/audiobase.h"
#include "engine/carga.h"
#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "mainwindow/logic/positionview.h"
#include "snkins/quor/tquorgrid.h"
#include "snkins/vs/tvsbutton.h"
#include "snkins/vs/tvsslider.h"
#include "tests/engine/deck/deckrig.h"
#include "tests/mainwindow/support/jackwindowrig.h"
#include "tests/support/jackprobe.h"

namespace {

constexpr int kRate = 44100;

// beats of 10 ms bursts of 1 kHz at `bpm`, `amp` of full scale
bool beats(const QString& path, double bpm, double amp, double seconds)
{
    const double period = kRate * 60.0 / bpm;
    return deckrig::writeWav(path, kRate, int64_t(seconds * kRate), [&](int64_t i, int16_t& l, int16_t& r) {
        const double into = std::fmod(double(i), period);
        l = r = into < 441 ? int16_t(std::lround(amp * 32767 * std::sin(2 * M_PI * 1000 * into / kRate))) : 0;
    });
}

// xdotool's commands against the X server; the event loop runs meanwhile
bool xdo(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForStarted(5000)) return false;
    waitUntil([&] { return p.state() == QProcess::NotRunning; }, 10000);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QPoint centre(QWidget* w) { return w->mapToGlobal(w->rect().center()); }

bool clickAt(QPoint at)
{
    const bool ok = xdo({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
    waitUntil([] { return false; }, 150);
    return ok;
}

bool click(Tform1& f, const char* name)
{
    auto* w = f.get<QWidget>(QLatin1String(name));
    return w && clickAt(centre(w));
}

bool drag(QPoint from, QPoint to)
{
    const bool ok = xdo({"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1", "sleep",
                         "0.1", "mousemove", QString::number((from.x() + to.x()) / 2), QString::number(to.y()), "sleep",
                         "0.1", "mousemove", QString::number(to.x()), QString::number(to.y()), "sleep", "0.1",
                         "mouseup", "1"});
    waitUntil([] { return false; }, 200);
    return ok;
}

struct Heard {
    double peak = 0;      // the loudest sample
    double interval = 0;  // the mean distance of the beats, in frames
    int beats = 0;
};

// the beats in a recorded channel: onsets above half the peak, 100 ms apart at least
Heard listen(const std::vector<float>& s, size_t frames)
{
    Heard h;
    for (size_t i = 0; i < frames; ++i) h.peak = std::max(h.peak, double(std::fabs(s[i])));
    std::vector<size_t> onsets;
    for (size_t i = 0; i < frames; ++i)
        if (std::fabs(s[i]) > h.peak / 2 && (onsets.empty() || i - onsets.back() > size_t(kRate / 10))) onsets.push_back(i);
    // the mean distance: the output's clock matching drops or repeats a frame now and then
    h.beats = int(onsets.size());
    if (onsets.size() > 1) h.interval = double(onsets.back() - onsets.front()) / double(onsets.size() - 1);
    return h;
}

// what the program's first output pair played, both channels together
Heard record(JackProbe& probe, size_t frames)
{
    probe.restart();
    waitUntil([&] { return probe.frames() >= frames; }, 20000);
    frames = std::min(frames, probe.frames());
    std::vector<float> mix(frames);
    for (size_t i = 0; i < frames; ++i) mix[i] = probe.channel(0)[i] + probe.channel(1)[i];
    return listen(mix, frames);
}

// a spot of the skin that is no control and not see-through
QPoint inertSpot(Tform1& f)
{
    const QRegion shape = f.mask().isEmpty() ? QRegion(f.rect()) : f.mask();
    auto* skin = f.get<QWidget>(QStringLiteral("VsSkin1"));
    for (int y = 5; y < f.height(); y += 7)
        for (int x = 5; x < f.width(); x += 7)
            if (shape.contains(QPoint(x, y)) && f.childAt(x, y) == skin) return f.mapToGlobal(QPoint(x, y));
    return {};
}

}  // namespace

TEST(TransportOnJack, TwoDecksMixedByTheCrossfader)
{
    JackWindowRig rig;
    ASSERT_TRUE(rig.start(0));
    Tform1& f = rig.form();
    ASSERT_FALSE(f.showpanel) << "the output started";
    ASSERT_TRUE(rig.exposed());
    waitUntil([] { return false; }, 500);
    // without a window manager the window is activated by a click only
    const QPoint inert = inertSpot(f);
    ASSERT_FALSE(inert.isNull());
    ASSERT_TRUE(clickAt(inert)) << "xdotool";
    EXPECT_TRUE(waitUntil([&] { return f.isActiveWindow(); }, 3000));

    // deck A: loud beats at 120 BPM; deck B: soft beats at 132 BPM
    const QString a = rig.filePath(QStringLiteral("A - Loud.wav")), b = rig.filePath(QStringLiteral("B - Soft.wav"));
    ASSERT_TRUE(beats(a, 120, 0.8, 40));
    ASSERT_TRUE(beats(b, 132, 0.3, 40));
    TquorGrid* sg = f.ep3->sg();
    sg->setRowCount(3);
    const struct {
        int row;
        QString path, artist, bpm;
    } rows[] = {{1, a, "A", "120.000"}, {2, b, "B", "132.000"}};
    for (const auto& r : rows) {
        sg->setCells(gridcol::path, r.row, r.path);
        sg->setCells(gridcol::artist, r.row, r.artist);
        sg->setCells(gridcol::title, r.row, QStringLiteral("Beats"));
        sg->setCells(gridcol::bpm, r.row, r.bpm);
        sg->setCells(gridcol::order, r.row, QStringLiteral("%1").arg(r.row, 4, 10, QLatin1Char('0')));
    }
    f.PlaylistEnter();
    ASSERT_EQ(f.source.msender, f.ep3->grid());
    for (int deck = 1; deck <= 2; ++deck) {
        sg->setRow(deck);
        ASSERT_TRUE(click(f, deck == 1 ? "btnload1" : "btnload2"));
        carga* p = deck == 1 ? f.adj->carga1 : f.adj->carga2;
        ASSERT_TRUE(waitUntil([&] { return p->loaded && !f.loader.loading(deck); })) << deck;
    }

    // the crossfader's thumb dragged to deck A's end
    auto* cross = f.get<TVsSlider>(QStringLiteral("crossfader"));
    ASSERT_TRUE(cross);
    PositionView* xf = f.mixer.crossfader;
    const auto thumb = [&] { return cross->mapToGlobal(cross->ThumbRect().center()); };
    ASSERT_TRUE(drag(thumb(), cross->mapToGlobal(QPoint(-40, cross->height() / 2))));
    EXPECT_LE(xf->position(), 1);
    EXPECT_GE(f.adj->carga2->basseqfx->crossfader.load(), 100) << "deck B silent";

    ASSERT_TRUE(click(f, "btnplay1"));
    EXPECT_EQ(f.adj->carga1->basseqfx->Fstatus.load(), sPlay);
    ASSERT_TRUE(click(f, "btnplay2"));
    EXPECT_EQ(f.adj->carga2->basseqfx->Fstatus.load(), sPlay);
    ASSERT_TRUE(click(f, "match2"));
    EXPECT_TRUE(f.adj->enlace2.load()) << "deck B follows deck A";

    // a hot cue on deck A, then recalled
    waitUntil([] { return false; }, 500);
    ASSERT_TRUE(click(f, "memory1"));
    ASSERT_TRUE(click(f, "cue11"));
    const double cue = f.adj->carga1->basseqfx->tag[1];
    EXPECT_GT(cue, 0);
    EXPECT_EQ(f.get<TVsButton>(QStringLiteral("cue11"))->GraphicName(), QStringLiteral("ca1.bmp"));
    waitUntil([] { return false; }, 700);
    ASSERT_TRUE(click(f, "cue11"));
    EXPECT_LT(std::abs(double(f.adj->carga1->Getposition()) - cue), 0.3 * kRate * 4) << "back at the cue";
    EXPECT_EQ(f.adj->carga1->basseqfx->Fstatus.load(), sPlay) << "hot mode plays on";

    // a 4-beat loop on deck B
    ASSERT_TRUE(click(f, "l5"));
    EXPECT_TRUE(f.adj->carga2->basseqfx->loop.load());
    EXPECT_EQ(f.deckB.loop, 5);

    JackProbe probe("mixprobe", 4, size_t(kRate) * 12);
    ASSERT_TRUE(probe.ok());
    ASSERT_GE(probe.connectFrom("ostrelkorvanta"), 2);
    const Heard heardA = record(probe, size_t(kRate) * 6);

    ASSERT_TRUE(drag(thumb(), cross->mapToGlobal(QPoint(cross->width() + 40, cross->height() / 2))));
    EXPECT_GE(xf->position(), 126);
    EXPECT_GE(f.adj->carga1->basseqfx->crossfader.load(), 100) << "deck A silent";
    waitUntil([] { return false; }, 200);
    const Heard heardB = record(probe, size_t(kRate) * 6);

    // the surface as it stands: both decks playing, deck B looping, hot cue 1 of deck A set
    f.Timer1Timer();
    rig.shot(QStringLiteral("mainwindow-mix.png"));
    std::printf("deck A: peak %.3f, %d beats, %.0f frames apart; deck B: peak %.3f, %d beats, %.0f frames apart\n",
                heardA.peak, heardA.beats, heardA.interval, heardB.peak, heardB.beats, heardB.interval);
    EXPECT_GT(heardA.peak, 0.5);
    // the dummy server on a busy machine runs late now and then: a few per cent of slack, and
    // deck B's own tempo lies 10 % away
    EXPECT_NEAR(heardA.interval, kRate / 2.0, kRate / 2.0 * 0.04) << "120 BPM";
    EXPECT_LT(heardB.peak, 0.45);
    EXPECT_GT(heardB.peak, 0.1);
    EXPECT_NEAR(heardB.interval, heardA.interval, heardA.interval * 0.04) << "deck B at deck A's tempo";
    EXPECT_NEAR(-double(f.adj->carga2->dmcslider), kRate * 120.0 / 132.0, kRate * 0.005) << "deck B's rate matched";
    EXPECT_GE(heardB.beats, 8);
}
