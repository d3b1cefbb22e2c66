// A child program in a process group of its own: the group ends as a whole, SIGKILL follows a
// SIGTERM that is ignored, and no other process is touched.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/platform/sys/coreapp.h"

#include <unistd.h>

#include "platform/sys/processgroup.h"

TEST(ProcessGroup, ChildLeadsAGroupOfItsOwn)
{
    coreApp();
    ProcessGroup group;
    ASSERT_TRUE(group.start("/bin/sh", {"-c", "sleep 30 & echo started; wait"}, QDir::tempPath()));
    QSignalSpy out(&group, &ProcessGroup::standardOutputReady);
    ASSERT_TRUE(out.wait(5000));
    EXPECT_EQ(group.readStandardOutput(), "started\n");
    EXPECT_NE(group.groupId(), qint64(getpgrp()));
    EXPECT_EQ(ProcessGroup::members(group.groupId()).size(), 2);
    EXPECT_FALSE(group.start("/bin/true", {}, QDir::tempPath()));  // one run at a time
    QSignalSpy ended(&group, &ProcessGroup::ended);
    group.terminate();
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_TRUE(ProcessGroup::members(group.groupId()).isEmpty());
}

TEST(ProcessGroup, IgnoredTermIsFollowedByKill)
{
    coreApp();
    ProcessGroup group;
    // the shell and its child both ignore SIGTERM
    ASSERT_TRUE(group.start("/bin/sh", {"-c", "trap '' TERM; sleep 30 & echo started; wait"}, QDir::tempPath()));
    QSignalSpy out(&group, &ProcessGroup::standardOutputReady);
    ASSERT_TRUE(out.wait(5000));
    QSignalSpy ended(&group, &ProcessGroup::ended);
    QElapsedTimer clock;
    clock.start();
    group.terminate(258);
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_TRUE(ended.at(0).at(1).toBool());  // ended by a signal
    EXPECT_TRUE(ProcessGroup::members(group.groupId()).isEmpty());
}

TEST(ProcessGroup, OtherProcessesAreNotTouched)
{
    coreApp();
    ProcessGroup other, group;
    ASSERT_TRUE(other.start("/bin/sleep", {"30"}, QDir::tempPath()));
    ASSERT_TRUE(group.start("/bin/sleep", {"30"}, QDir::tempPath()));
    QSignalSpy ended(&group, &ProcessGroup::ended);
    group.terminate();
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_EQ(ProcessGroup::members(other.groupId()), QList<qint64>{other.groupId()});
    EXPECT_TRUE(other.running());
}

TEST(ProcessGroup, LeftoversOfALeaderThatEndedAreEnded)
{
    coreApp();
    ProcessGroup group;
    ASSERT_TRUE(group.start("/bin/sh", {"-c", "sleep 30 & exit 4"}, QDir::tempPath()));
    QSignalSpy ended(&group, &ProcessGroup::ended);
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_EQ(ended.at(0).at(0).toInt(), 4);
    EXPECT_TRUE(ProcessGroup::members(group.groupId()).isEmpty());
}

TEST(ProcessGroup, DestroyingARunningGroupKillsIt)
{
    coreApp();
    qint64 id = 0;
    {
        ProcessGroup group;
        ASSERT_TRUE(group.start("/bin/sh", {"-c", "sleep 30 & wait"}, QDir::tempPath()));
        id = group.groupId();
        QTRY_COMPARE_WITH_TIMEOUT(ProcessGroup::members(id).size(), 2, 5000);
    }
    QTRY_VERIFY_WITH_TIMEOUT(ProcessGroup::members(id).isEmpty(), 2000);
}
