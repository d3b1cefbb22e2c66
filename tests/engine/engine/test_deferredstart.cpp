// The recorder's deferred start: the caller never waits for the condition, the start runs
// once it holds (or at the time limit), and a cancel leaves nothing to run.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine/deferredstart.h"

using namespace std::chrono_literals;

namespace {

bool eventually(const std::function<bool()>& f)
{
    for (int i = 0; i < 5000 && !f(); ++i) std::this_thread::sleep_for(1ms);
    return f();
}

}  // namespace

TEST(DeferredStart, RunsOnceTheConditionHoldsWithoutTheCallerWaiting)
{
    DeferredStart s;
    std::atomic<bool> fed{false};
    std::atomic<int> started{0}, checks{0};
    // a caller that waited for the condition would never get past launch()
    s.launch([&] { ++checks; return fed.load(); }, [&] { ++started; }, 60s);
    ASSERT_TRUE(eventually([&] { return checks.load() >= 3; }));
    EXPECT_EQ(started.load(), 0);
    EXPECT_FALSE(s.settled());
    fed = true;
    ASSERT_TRUE(eventually([&] { return s.settled(); }));
    EXPECT_EQ(started.load(), 1);
}

TEST(DeferredStart, RunsAtTheTimeLimitWhenTheConditionNeverHolds)
{
    DeferredStart s;
    std::atomic<int> started{0};
    s.launch([] { return false; }, [&] { ++started; }, 20ms);
    ASSERT_TRUE(eventually([&] { return s.settled(); }));
    EXPECT_EQ(started.load(), 1);
}

TEST(DeferredStart, ACancelOrANewLaunchLeavesThePendingStartUnrun)
{
    std::atomic<int> first{0}, second{0};
    {
        DeferredStart s;
        s.launch([] { return false; }, [&] { ++first; }, 60s);
        s.launch([] { return true; }, [&] { ++second; }, 60s);  // a new take before the first started
        ASSERT_TRUE(eventually([&] { return s.settled(); }));
        s.launch([] { return false; }, [&] { ++first; }, 60s);
        s.cancel();
        EXPECT_TRUE(s.settled());
        s.launch([] { return false; }, [&] { ++first; }, 60s);
    }  // the end of its owner cancels too
    EXPECT_EQ(first.load(), 0);
    EXPECT_EQ(second.load(), 1);
}
