// Folding, combining and snapping the tempo libraries' answers; "no tempo" for the deck.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/bpmresult.h"

namespace {

struct Finish {
    bool hasMine;
    float mine;
    bool hasOwn;
    float own;
    float stored;
};

TEST(BpmResult, FinishTable)
{
    const Finish cases[] = {
        {true, 120.3f, true, 120.6f, 120.5f},  // mean 120.45, to the half
        {true, 120.0f, true, 124.0f, 124.0f},  // more than 2.6 apart: the worker's own
        {true, 175.0f, true, 88.0f, 87.5f},    // folded to 87.5 and 88: 0.5 apart, mine stays
        {true, 40.0f, false, 0, 80.0f},        // doubled once
        {true, 400.0f, false, 0, 200.0f},      // halved once
        {true, 121.0f, true, 122.5f, 121.0f},  // 1.5 apart: mine
        {true, 0, true, 128.0f, 128.0f},
        {true, 127.39f, false, 0, 127.0f},
        {true, 127.4f, false, 0, 127.5f},
        {true, 127.69f, false, 0, 127.5f},
        {true, 127.71f, false, 0, 128.0f},
        {false, 0, false, 0, bpmresult::kNoTempo},
        {true, 0, true, 0, bpmresult::kNoTempo},
        {true, std::numeric_limits<float>::quiet_NaN(), false, 0, bpmresult::kNoTempo},
        {true, 150.0f, false, 0, 150.0f},
        {true, 150.01f, false, 0, 75.0f},
        {true, 59.9f, false, 0, 120.0f},  // 119.8 to the next whole
    };
    for (const Finish& c : cases)
        EXPECT_FLOAT_EQ(bpmresult::finish(c.hasMine, c.mine, c.hasOwn, c.own), c.stored)
            << c.mine << " / " << c.own;
}

TEST(BpmResult, KnownTellsAFoundTempoFromTheNoTempoMark)
{
    EXPECT_FALSE(bpmresult::known(0));
    EXPECT_FALSE(bpmresult::known(bpmresult::kNoTempo));
    EXPECT_FALSE(bpmresult::known(-120));
    EXPECT_FALSE(bpmresult::known(std::nan("")));
    EXPECT_FALSE(bpmresult::known(std::numeric_limits<double>::infinity()));
    EXPECT_TRUE(bpmresult::known(60));
    EXPECT_TRUE(bpmresult::known(127.5));
}

}  // namespace
