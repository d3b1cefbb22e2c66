#include <gtest/gtest.h>

#include <thread>

#include "engine/precord.h"
#include "engine/psoundconfig.h"

TEST(Records, EnumerationOrder)
{
    EXPECT_EQ(int(sStop), 0);
    EXPECT_EQ(int(sLoop), 4);
    EXPECT_EQ(int(sMenos), 1);
    EXPECT_EQ(int(sStRear), 5);
}

TEST(Records, DeckRecordDefaults)
{
    PRecord r;
    EXPECT_EQ(r.surface, 0);  // the deck constructor sets the width
    EXPECT_EQ(r.remain.get(), "0:00:00:00");
    EXPECT_EQ(r.elapsed.get(), "0:00:00:00");
    EXPECT_EQ(r.fduratotal.get(), "00:00:00");
    EXPECT_EQ(r.percgain, 1.0);
    EXPECT_EQ(r.volheadphones, 100);
    EXPECT_EQ(r.tbrake, 140);
    EXPECT_EQ(r.Fstatus, sStop);
    EXPECT_FALSE(r.loaded);
    EXPECT_EQ(r.length, 0);
    for (auto& t : r.tag) EXPECT_EQ(t, 0.0);
    for (auto& c : r.cue) EXPECT_EQ(c, 0);
    EXPECT_EQ(r.wavebufL.get(), nullptr);
    EXPECT_TRUE(r.peaks.get().isEmpty());
}

TEST(Records, TagSlotsMapToGridColumns)
{
    const std::pair<int, int> table[] = {
        {0, 2}, {1, 7}, {2, 8}, {5, 11}, {9, 15}, {10, 16}, {11, 23}, {12, 24}, {13, 21},
    };
    for (auto [slot, col] : table) {
        EXPECT_EQ(tagSlotColumn(slot), col) << slot;
        EXPECT_EQ(columnTagSlot(col), slot) << col;
    }
    for (int slot = 14; slot <= 20; ++slot) EXPECT_EQ(tagSlotColumn(slot), -1);
    for (int col : {0, 1, 3, 4, 5, 6, 17, 18, 19, 20, 22}) EXPECT_EQ(columnTagSlot(col), -1) << col;
}

TEST(Records, ConfigStartsEmptyAndCopiesWhole)
{
    PSoundConfig c;
    EXPECT_EQ(c.devicework, 0);
    EXPECT_EQ(c.dsname[0].get(), "");
    EXPECT_FALSE(c.usekeylock);
    c.dsnum[2] = 7;
    c.dsname[1] = QString("Card \"B\"");
    c.usekeylock = true;
    PSoundConfig copy = c;
    c.dsnum[2] = 1;
    EXPECT_EQ(copy.dsnum[2], 7);
    EXPECT_EQ(copy.dsname[1].get(), "Card \"B\"");
    EXPECT_TRUE(copy.usekeylock);
    EXPECT_EQ(c.sample(0), nullptr);
    EXPECT_EQ(c.sample(6), &c.s6);
}

TEST(Records, FieldsSurviveConcurrentWriters)
{
    // a 64-bit position and a text written by one thread while another reads them
    PRecord r;
    std::atomic<bool> stop{false};
    std::thread w([&] {
        for (int64_t i = 0; i < 200000; ++i) {
            r.tiempopcm = i % 2 ? int64_t(0x7fffffff00000000) : int64_t(0x00000000ffffffff);
            r.bpm = i % 2 ? QString("128.000") : QString("095.500");
        }
        stop = true;
    });
    while (!stop) {
        const int64_t v = r.tiempopcm;
        ASSERT_TRUE(v == 0 || v == int64_t(0x7fffffff00000000) || v == int64_t(0x00000000ffffffff));
        const QString b = r.bpm;
        ASSERT_TRUE(b.isEmpty() || b == "128.000" || b == "095.500");
    }
    w.join();
}
