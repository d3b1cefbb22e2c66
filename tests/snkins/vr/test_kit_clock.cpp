// The LED clock and the kit's timer: the digits and second dots for a time, 12-hour format,
// slant, the events of a tick, and both timer modes.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <cmath>
#include <numbers>

#include "snkins/vr/tvrledclock.h"
#include "snkins/vr/tvrtimer.h"
#include "tests/snkins/vr/kittesthelpers.h"

namespace {

struct FakeTime {
    QDateTime now{QDate(2024, 5, 17), QTime(9, 5, 0)};
    TVrLedClock::TimeSource source()
    {
        return [this] { return now; };
    }
};

// Whether the second dot i is lit on the picture (its centre has the seconds colour).
bool secondDot(const TVrLedClock& c, const QImage& img, int i)
{
    const int cx = c.width() / 2, cy = c.height() / 2;
    const int R = std::min(cx, cy) - 10 - 2 * (2 * c.SecWidth() + c.TickWidth());
    const int r = R - 2 * c.SecWidth() - c.TickWidth();
    const double a = (i + 15) * 2 * std::numbers::pi / 60;
    const int x = cx - int(std::nearbyint(r * std::cos(a))), y = cy - int(std::nearbyint(r * std::sin(a)));
    return qBlue(img.pixel(x, y)) > 200 && qRed(img.pixel(x, y)) < 60;
}

}  // namespace

TEST(KitClock, ShowsHoursAndMinutesAndOneSecondDotAPastSecond)
{
    FakeTime t;
    TVrLedClock clock(nullptr, t.source());
    clock.SetSecHandColor(clBlue);
    clock.SetSecOutline(clBlue);
    EXPECT_EQ(clock.TimeText(), QStringLiteral("09:05"));
    QImage img = clock.RenderImage();
    EXPECT_TRUE(secondDot(clock, img, 0));  // twelve o'clock
    EXPECT_FALSE(secondDot(clock, img, 1));
    EXPECT_FALSE(secondDot(clock, img, 30));
    t.now = t.now.addSecs(59);
    clock.OnTimerEvent();
    img = clock.RenderImage();
    for (int i = 0; i < 60; ++i) EXPECT_TRUE(secondDot(clock, img, i)) << i;
}

TEST(KitClock, DigitsAreRedDotsInTheMiddle)
{
    FakeTime t;
    TVrLedClock clock(nullptr, t.source());
    clock.SetHourMarks(false);
    clock.SetSecondsIndicator(false);
    const QImage img = clock.RenderImage();
    const int red = countColour(img, img.rect(), 0xFF0000);
    EXPECT_GT(red, 100);
    EXPECT_EQ(countColour(img, QRect(0, 0, 200, 60), 0xFF0000), 0);  // nothing above the digits
    t.now = QDateTime(t.now.date(), QTime(8, 8, 0));                 // "08:08" lights more dots than "09:05"
    clock.OnTimerEvent();
    EXPECT_GT(countColour(clock.RenderImage(), clock.rect(), 0xFF0000), red);
}

TEST(KitClock, TwelveHourFormatTakesTwelveOffAfternoonsOnly)
{
    FakeTime t;
    TVrLedClock clock(nullptr, t.source());
    clock.SetHourFormat(hfmt12h);
    struct Case {
        QTime time;
        const char* shown;
    } cases[] = {{QTime(13, 7), "01:07"}, {QTime(12, 30), "12:30"}, {QTime(0, 15), "00:15"}, {QTime(23, 59), "11:59"}};
    for (const Case& c : cases) {
        clock.SetTime(QDateTime(t.now.date(), c.time));
        EXPECT_EQ(clock.TimeText(), QLatin1String(c.shown));
    }
    clock.SetHourFormat(hfmt24h);
    EXPECT_EQ(clock.TimeText(), QStringLiteral("23:59"));
}

TEST(KitClock, SlantIsUprightAtZeroAndWhereTheTangentFails)
{
    TVrLedClock clock;
    clock.SetTextAngle(0);
    EXPECT_EQ(clock.Slide(3 * 8), 0);
    clock.SetTextAngle(90);
    EXPECT_EQ(clock.Slide(3 * 8), 0);
    clock.SetTextAngle(10);
    EXPECT_EQ(clock.Slide(3 * 8), 4);  // tan 10° × 24 = 4.23
    clock.SetTextAngle(45);
    EXPECT_EQ(clock.Slide(5), 5);
}

TEST(KitClock, ATickFiresTheChangedPartsInOrderAndTheAlarmWhenDue)
{
    FakeTime t;
    TVrLedClock clock(nullptr, t.source());
    QStringList events;
    QObject::connect(&clock, &TVrLedClock::OnHoursChanged, [&](QObject*, int h) { events << QStringLiteral("h%1").arg(h); });
    QObject::connect(&clock, &TVrLedClock::OnMinutesChanged, [&](QObject*, int m) { events << QStringLiteral("m%1").arg(m); });
    QObject::connect(&clock, &TVrLedClock::OnSecondsChanged, [&](QObject*, int s) { events << QStringLiteral("s%1").arg(s); });
    QObject::connect(&clock, &TVrLedClock::OnAlarm, [&] { events << QStringLiteral("alarm"); });
    clock.SetAlarmTime(QDateTime(t.now.date(), QTime(10, 0, 0)));
    clock.SetEnableAlarm(true);
    t.now = QDateTime(t.now.date(), QTime(10, 0, 0));
    clock.OnTimerEvent();
    EXPECT_EQ(events, (QStringList{"h10", "m0", "alarm"}));
    events.clear();
    clock.OnTimerEvent();  // same second again: nothing changed, the alarm still matches
    EXPECT_EQ(events, QStringList{"alarm"});
    events.clear();
    clock.SetAlarmTime(QDateTime(t.now.date().addDays(1), QTime(10, 0, 1)));
    t.now = t.now.addSecs(1);
    clock.OnTimerEvent();
    EXPECT_EQ(events, QStringList{"s1"});  // tomorrow's alarm is not today's
}

TEST(KitClock, AnInactiveClockKeepsTheTimeOfItsCreation)
{
    FakeTime t;
    TVrLedClock clock(nullptr, t.source());
    t.now = t.now.addSecs(3600);
    QTest::qWait(50);
    EXPECT_EQ(clock.TimeText(), QStringLiteral("09:05"));
    EXPECT_TRUE(clock.Threaded());
}

TEST(KitClock, AnActiveClockFollowsItsTimeSourceOnItsOwnThreadOrOnAQTimer)
{
    for (bool threaded : {true, false}) {
        std::atomic<int> calls{0};
        QDateTime start(QDate(2024, 5, 17), QTime(9, 5, 0));
        TVrLedClock clock(nullptr, [&] { return start.addSecs(60 * calls++); });
        clock.SetThreaded(threaded);
        clock.SetActive(true);
        EXPECT_TRUE(QTest::qWaitFor([&] { return clock.Minutes() != 5; }, 3000)) << threaded;
        clock.SetActive(false);
    }
}

namespace {
struct TimerRig {
    TVrTimer timer;
    int ticks = 0;
    Qt::HANDLE thread = nullptr;
    TimerRig(TVrTimerType type, bool sync = true)
    {
        QObject::connect(&timer, &TVrTimer::OnTimer, &timer,
                         [this] {
                             ++ticks;
                             thread = QThread::currentThreadId();
                         },
                         Qt::DirectConnection);
        timer.SetSyncEvent(sync);
        timer.SetTimerType(type);
        timer.SetInterval(10);
    }
    // every handler is connected before the timer thread starts
    void start() { timer.Loaded(); }
};
}  // namespace

TEST(KitTimer, BothModesTickOnTheOwnersThreadAndStopTickingWhenDisabled)
{
    for (TVrTimerType type : {ttSystem, ttThread}) {
        TimerRig rig(type);
        rig.start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.ticks >= 3; }, 2000)) << type;
        EXPECT_EQ(rig.thread, QThread::currentThreadId()) << type;
        rig.timer.SetEnabled(false);
        QTest::qWait(30);  // a tick already handed over may still arrive
        const int stopped = rig.ticks;
        QTest::qWait(60);
        EXPECT_EQ(rig.ticks, stopped) << type;
        rig.timer.SetEnabled(true);
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.ticks > stopped; }, 2000)) << type;
    }
}

TEST(KitTimer, WithoutSyncEventTheThreadTicksByItself)
{
    TimerRig rig(ttThread, false);
    std::atomic<int> seen{0};
    std::atomic<Qt::HANDLE> where{nullptr};
    QObject::connect(&rig.timer, &TVrTimer::OnTimer, &rig.timer,
                     [&] {
                         where = QThread::currentThreadId();
                         ++seen;
                     },
                     Qt::DirectConnection);
    rig.start();
    for (int i = 0; i < 200 && seen < 2; ++i) QThread::msleep(5);  // no event loop needed
    EXPECT_GE(seen.load(), 2);
    EXPECT_NE(where.load(), QThread::currentThreadId());
    rig.timer.SetEnabled(false);
}

TEST(KitTimer, AnExceptionInTheHandlerDoesNotStopTheTimer)
{
    TVrTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &TVrTimer::OnTimer, &timer, [&] {
        if (++ticks == 1) throw std::runtime_error("handler failed");
    });
    timer.SetTimerType(ttSystem);
    timer.SetInterval(10);
    timer.Loaded();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 2000));
}

TEST(KitTimer, ChangingTheIntervalOrTypeKeepsItRunning)
{
    TimerRig rig(ttThread);
    rig.start();
    rig.timer.SetInterval(1000000);
    rig.timer.SetInterval(5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.ticks >= 2; }, 2000));
    rig.timer.SetTimerType(ttSystem);
    const int before = rig.ticks;
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.ticks >= before + 2; }, 2000));
    rig.timer.SetInterval(0);  // an interval of 0 stops it
    QTest::qWait(20);
    const int stopped = rig.ticks;
    QTest::qWait(40);
    EXPECT_EQ(rig.ticks, stopped);
}
