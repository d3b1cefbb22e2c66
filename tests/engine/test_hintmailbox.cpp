#include <gtest/gtest.h>

#include <thread>

#include "tests/support/fakemainservices.h"

TEST(HintMailbox, TwoWordsInOneTickBothArriveInOrder)
{
    FakeMainServices main;
    main.postHint("CARGACANCION1");
    main.postHint("CARGACANCION2");
    // one tick of the reader
    EXPECT_EQ(main.hint().takeAll(), QStringList({"CARGACANCION1", "CARGACANCION2"}));
    EXPECT_TRUE(main.hint().empty());
    EXPECT_FALSE(main.hint().take().has_value());
}

TEST(HintMailbox, EveryWordFromManyThreadsIsTakenOnce)
{
    HintMailbox box;
    constexpr int perThread = 5000;
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i) box.post(QString("%1:%2").arg(t).arg(i));
        });
    std::vector<int> next(4, 0);
    int taken = 0;
    while (taken < 4 * perThread) {
        while (auto w = box.take()) {
            const auto parts = w->split(':');
            const int t = parts[0].toInt(), i = parts[1].toInt();
            ASSERT_EQ(i, next[t]) << "words of one writer out of order";
            ++next[t];
            ++taken;
        }
    }
    for (auto& w : writers) w.join();
    EXPECT_TRUE(box.empty());
}

TEST(MainServices, MainLoopFlag)
{
    FakeMainServices main;
    EXPECT_TRUE(main.mmain(false));
    EXPECT_FALSE(main.mainRunning());
    EXPECT_TRUE(main.mmain(true));
    EXPECT_TRUE(main.mainRunning());
    EXPECT_EQ(main.calls, (std::vector<bool>{false, true}));
    EXPECT_NE(main.owner(), nullptr);
}
