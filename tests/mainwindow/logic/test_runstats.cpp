// The figures printed at exit with OSTREL_STATS: the timer lateness meter, the printed line,
// and a stall of the UI thread seen by the running meter.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <thread>
#include <vector>

#include "mainwindow/logic/latenessmeter.h"
#include "mainwindow/logic/runstats.h"
#include "tests/mainwindow/logic/loadrig.h"

namespace {

TEST(RunStats, LongestLatenessOfATenMsTimer)
{
    const struct {
        std::vector<double> fires;
        bool measured;
        double longest;
    } cases[] = {
        {{}, false, 0},
        {{0}, false, 0},
        {{0, 10, 20, 30}, true, 0},
        {{0, 9, 18, 27.5}, true, 0},             // early fires are not late
        {{0, 10, 45, 55}, true, 25},
        {{0, 10, 20, 80, 90, 160, 170}, true, 60},  // the longest of two stalls
        {{5, 15.25}, true, 0.25},
    };
    for (const auto& c : cases) {
        LatenessMeter m(10);
        for (double t : c.fires) m.fired(t);
        EXPECT_EQ(m.measured(), c.measured) << c.fires.size() << " fires";
        EXPECT_NEAR(m.longestMs(), c.longest, 1e-9) << c.fires.size() << " fires";
    }
}

TEST(RunStats, TheLineAtExit)
{
    LatenessMeter none(10);
    EXPECT_EQ(RunStats::line(none, 0, 0),
              "ostrelkorvanta stats: ui stall ms (max): -, jack late callbacks: 0 (xruns: 0, late starts: 0)");
    LatenessMeter stalled(10);
    for (double t : {0.0, 10.0, 53.04, 63.0}) stalled.fired(t);
    EXPECT_EQ(RunStats::line(stalled, 2, 5),
              "ostrelkorvanta stats: ui stall ms (max): 33.0, jack late callbacks: 7 (xruns: 2, late starts: 5)");
}

// The UI thread blocked for 60 ms between two fires: the running meter's lateness is at least
// the block less one interval. Nothing is measured after stop().
TEST(RunStats, AStalledEventLoopIsMeasuredUntilStop)
{
    loadrig::app();
    RunStats stats;
    stats.start();
    QEventLoop loop;
    QTimer::singleShot(30, &loop, [] { std::this_thread::sleep_for(std::chrono::milliseconds(60)); });
    QTimer::singleShot(150, &loop, &QEventLoop::quit);
    loop.exec();
    stats.stop();
    ASSERT_TRUE(stats.ui().measured());
    const double seen = stats.ui().longestMs();
    EXPECT_GE(seen, 60.0 - RunStats::kIntervalMs);
    QTimer::singleShot(20, &loop, [] { std::this_thread::sleep_for(std::chrono::milliseconds(200)); });
    QTimer::singleShot(260, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(stats.ui().longestMs(), seen);
    // a second start does not start it again
    stats.start();
    QTimer::singleShot(20, &loop, [] { std::this_thread::sleep_for(std::chrono::milliseconds(200)); });
    QTimer::singleShot(260, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(stats.ui().longestMs(), seen);
}

}  // namespace
