// The 25 ms deck tick: end guards, the tempo hand-over to the library and the grids,
// progress, state mirror and the time texts.
#include <gtest/gtest.h>

#include "tests/engine/deck/deckrig.h"
#include "engine/decktime.h"

#include <QTimer>

using namespace deckrig;

namespace {

TEST(DecodeTime, Table)
{
    struct Case { int64_t ms; const char* remain; int rem; };
    const Case cases[] = {{0, "0:00:00:00", -1},          {-20, "0:00:00:00", -1},
                          {59996, "0:00:59:99", 59},      {61000, "0:01:01:00", 61},
                          {205000, "0:03:25:00", 205},    {43200000, "2:00:00:00", 43200},
                          {3599999, "0:59:59:99", 3599},  {36000000 + 5, "0:00:00:00", 36000}};
    for (const Case& c : cases) {
        int rem = 12345;
        EXPECT_EQ(decode_time(c.ms, 'R', &rem), QString::fromLatin1(c.remain)) << c.ms;
        EXPECT_EQ(rem, c.rem) << c.ms;
        int untouched = 7;
        decode_time(c.ms, 'E', &untouched);
        EXPECT_EQ(untouched, 7);
    }
}

class Tick : public ::testing::Test {
protected:
    QString make(const char* name, double secs)
    {
        const QString f = dir.filePath(QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(name));
        EXPECT_TRUE(tone(f, 44100, secs, 440));
        return f;
    }
    QTemporaryDir dir;
};

TEST_F(Tick, EndGuardStopsDecksFiftyThousandBytesBeforeTheEnd)
{
    const QString f = make("end.wav", 3);
    struct Case { int nc; int hotcue; bool reverse; };
    for (const Case c : {Case{1, 0, false}, Case{2, 0, false}, Case{1, 2, false}, Case{2, 0, true}, Case{1, 3, true}}) {
        Rig rig(c.nc);
        ASSERT_TRUE(rig.load(f));
        rig.unity();
        carga& d = *rig.deck;
        const int64_t length = d.basseqfx->length;
        d.basseqfx->tag[c.hotcue] = 8000;
        d.cargacue = c.hotcue;
        d.fcue1 = 4000;
        d.Play();
        d.SetPosition(length - 60000);
        if (c.reverse) {
            d.Reverse2(1);
            d.SetPosition(length - 40000);
        }
        d.fchangetimerTimer();
        if (!c.reverse) {
            EXPECT_EQ(d.basseqfx->Fstatus, sPlay);
            rig.render(10000 / 4 + 10);
            d.fchangetimerTimer();
        }
        EXPECT_EQ(d.basseqfx->Fstatus, sStop) << c.nc << " " << c.hotcue << " " << c.reverse;
        EXPECT_FALSE(d.reversing);
        EXPECT_EQ(d.fcue1, c.hotcue ? 8000 : 0);
        EXPECT_EQ(d.Getposition(), d.fcue1);
    }
}

TEST_F(Tick, ReverseAtTheStartTurnsForward)
{
    Rig rig(1);
    ASSERT_TRUE(rig.load(make("start.wav", 2)));
    rig.unity();
    carga& d = *rig.deck;
    d.Play();
    rig.render(1000);
    d.Reverse2(1);
    rig.render(2000);  // runs back to 0
    d.fchangetimerTimer();
    EXPECT_FALSE(d.reversing);
    EXPECT_EQ(d.basseqfx->Fstatus, sPlay);
    rig.render(100);
    EXPECT_GT(d.Getposition(), 4);
}

TEST_F(Tick, SamplersPlayTheirPadToTheEnd)
{
    for (double secs : {0.2, 1.0}) {  // 0.2 s is shorter than 50,000 bytes
        const QString f = make(secs < 0.5 ? "pad-short.wav" : "pad.wav", secs);
        for (int nc : {3, 4}) {
            Rig rig(nc);
            ASSERT_TRUE(rig.load(f));
            carga& d = *rig.deck;
            d.Play();
            const int64_t frames = int64_t(secs * 44100);
            int64_t heard = 0, last = -1;
            while (heard < frames + 4410) {
                const auto out = rig.render(1102);
                for (size_t i = 0; i < out.size(); i += 2)
                    if (out[i] != 0) last = heard + int64_t(i / 2);
                heard += int64_t(out.size() / 2);
                d.fchangetimerTimer();
                if (heard < frames - 1102) {
                    EXPECT_EQ(d.basseqfx->Fstatus, sPlay) << nc << " at " << heard;
                }
            }
            EXPECT_GE(last, frames - 50) << "pad cut short: " << secs << " s on " << nc;
            EXPECT_EQ(d.basseqfx->Fstatus, sStop);
            EXPECT_EQ(d.Getposition(), 0);
        }
    }
}

TEST_F(Tick, TempoHandOverReachesRecordLibraryAndGrids)
{
    const QString f = make("handover.wav", 1);
    Rig rig(1);
    ASSERT_TRUE(rig.load(f, 2));
    carga& d = *rig.deck;
    rig.unity();
    PRecord& r = *d.basseqfx;
    r.tag[1] = 1234;
    r.tag[10] = 2.5;
    r.tag[11] = 99;
    r.tag[12] = 100000;
    QString upper = f;
    upper.replace("handover", "HANDOVER");
    FakeGrid files({f, "/other.mp3", f}), play({upper}), explo({f});
    msgfiles = &files;
    msgplay = &play;
    msgexplo = &explo;
    d.wdpics[1] = 42.6;
    d.fchangetimerTimer();
    EXPECT_TRUE(rig.progress.visible);
    EXPECT_EQ(rig.progress.pos, 43);
    EXPECT_TRUE(rig.library.files.isEmpty());

    d.wdpics[0] = 125.5;
    d.fchangetimerTimer();
    msgfiles = nullptr;
    msgplay = nullptr;
    msgexplo = nullptr;
    EXPECT_DOUBLE_EQ(d.fbpm, 125.5);
    EXPECT_DOUBLE_EQ(r.tag[0], 125.5);
    EXPECT_EQ(d.wdpics[0], 0.0);
    EXPECT_EQ(d.wdpics[1], 0.0);
    EXPECT_EQ(r.bpm.get(), QStringLiteral("125.500"));
    EXPECT_EQ(r.bpmn, 1255);
    ASSERT_EQ(rig.library.files, QStringList{f});
    EXPECT_DOUBLE_EQ(rig.library.bpms[0], 125.5);
    EXPECT_FALSE(rig.progress.visible);
    EXPECT_EQ(rig.progress.pos, 0);
    for (int row : {1, 3}) {
        EXPECT_EQ(files.rows[row][2], QStringLiteral("125.500"));
        EXPECT_EQ(files.rows[row][5], r.duration.get());
        EXPECT_EQ(files.rows[row][7], QStringLiteral("1234"));
        EXPECT_EQ(files.rows[row][16], QStringLiteral("2.5"));
        EXPECT_EQ(files.rows[row][8], QStringLiteral("0"));
        EXPECT_EQ(files.rows[row][23], QStringLiteral("99"));
        EXPECT_EQ(files.rows[row][24], QStringLiteral("100000"));
    }
    EXPECT_TRUE(files.rows[2][2].isEmpty());
    EXPECT_TRUE(play.rows[1][2].isEmpty());  // differs in letter case only
    EXPECT_EQ(explo.rows[1][2], QStringLiteral("125.500"));
    EXPECT_GE(files.repaints, 1);
    // taken once
    d.fchangetimerTimer();
    EXPECT_EQ(rig.library.files.size(), 1);
}

TEST_F(Tick, TimeTextsAndStateMirror)
{
    Rig rig(1);
    ASSERT_TRUE(rig.load(make("times.wav", 3)));
    rig.unity();
    carga& d = *rig.deck;
    PRecord& r = *d.basseqfx;
    EXPECT_EQ(r.remain.get(), QStringLiteral("0:00:03:00"));
    d.Play();
    rig.render(44100);
    d.fchangetimerTimer();
    EXPECT_EQ(r.tiempopos, 1000);
    EXPECT_EQ(r.elapsed.get(), QStringLiteral("0:00:01:00"));
    EXPECT_EQ(r.remain.get(), QStringLiteral("0:00:02:00"));
    EXPECT_EQ(d.rem, 2);
    EXPECT_EQ(r.oldlstatus, sPlay);
    d.Play();
    d.fchangetimerTimer();
    EXPECT_EQ(r.oldlstatus, sPause);
}

TEST_F(Tick, NothingBeforeTheFirstLoad)
{
    Rig rig(1);
    rig.deck->wdpics[0] = 120;
    rig.deck->fchangetimerTimer();
    EXPECT_EQ(rig.deck->wdpics[0], 120.0);
    EXPECT_EQ(rig.progress.pos, -1);
}

}  // namespace

namespace {

// The tick is a 25 ms timer on the thread that made the deck, running from construction.
TEST(TickTimer, RunsOnTheEventLoop)
{
    int argc = 1;
    char name[] = "test_deck";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString f = dir.filePath("timer.wav");
    ASSERT_TRUE(tone(f, 44100, 2, 440));
    Rig rig(1);
    ASSERT_TRUE(rig.deck->fchangetimer->isActive());
    EXPECT_EQ(rig.deck->fchangetimer->interval(), 25);
    ASSERT_TRUE(rig.load(f));
    rig.unity();
    rig.deck->Play();
    rig.render(44100 / 2);
    rig.deck->wdpics[1] = 10;
    QTimer::singleShot(200, &app, &QCoreApplication::quit);
    app.exec();
    EXPECT_EQ(rig.deck->basseqfx->elapsed.get(), QStringLiteral("0:00:00:50"));
    EXPECT_EQ(rig.progress.pos, 10);
}

}  // namespace
