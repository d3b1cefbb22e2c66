// The CPU meter over counter files the test writes, and over the real /proc/stat.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "engine/adcpuusage.h"
#include "platform/sys/proccpustat.h"

namespace {

class CpuMeter : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("stat"));
        SetCPUDataSource(path);
    }
    void TearDown() override { SetCPUDataSource(QStringLiteral("/proc/stat")); }
    void write(const QByteArray& text)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    std::string errorOf(void (*call)())
    {
        try {
            call();
        } catch (const CpuUsageError& e) {
            return e.what();
        }
        return {};
    }
    QTemporaryDir dir;
    QString path;
};

// user nice system idle iowait irq softirq steal guest guest_nice
TEST_F(CpuMeter, InstancesArePerProcessorThenTheTotal)
{
    write("cpu  100 0 100 800 0 0 0 0 50 0\n"
          "cpu0 30 0 20 50 0 0 0 0 0 0\n"
          "cpu1 70 0 80 750 0 0 0 0 0 0\n"
          "intr 1 2 3\n");
    EXPECT_EQ(GetCPUCount(), 3);
    // first sample: the load since boot (the guest column is not counted twice)
    EXPECT_DOUBLE_EQ(GetCPUUsage(0), 0.5);
    EXPECT_NEAR(GetCPUUsage(1), 150.0 / 900, 1e-12);
    EXPECT_DOUBLE_EQ(GetCPUUsage(2), 0.2);

    write("cpu  160 0 140 900 0 0 0 0 0 0\n"
          "cpu0 60 0 50 50 0 0 0 0 0 0\n"
          "cpu1 100 0 90 850 0 0 0 0 0 0\n");
    CollectCPUData();
    EXPECT_DOUBLE_EQ(GetCPUUsage(0), 1.0);  // 60 busy of 60
    EXPECT_NEAR(GetCPUUsage(1), 40.0 / 140, 1e-12);
    EXPECT_DOUBLE_EQ(GetCPUUsage(2), 0.5);

    // two samples over no time: 0
    CollectCPUData();
    EXPECT_EQ(GetCPUUsage(2), 0.0);
}

TEST_F(CpuMeter, ErrorsCarryTheirTexts)
{
    EXPECT_EQ(errorOf(CollectCPUData), "Unable to locate the \"Processor\" performance object");
    write("cpu  1 2\nintr 0\n");
    EXPECT_EQ(errorOf(CollectCPUData), "Unable to locate the \"% of CPU usage\" performance counter");
    write("intr 0\n");
    EXPECT_EQ(errorOf(CollectCPUData), "Unable to locate the \"% of CPU usage\" performance counter");
    write("cpu 1 1 1 1\ncpu0 1 1 1 1\n");
    EXPECT_EQ(GetCPUCount(), 2);
    EXPECT_EQ(errorOf([] { GetCPUUsage(2); }), "CPU index out of bounds");
    EXPECT_EQ(errorOf([] { GetCPUUsage(-1); }), "CPU index out of bounds");
}

TEST_F(CpuMeter, AProcessorGoneOfflineReadsAsIdleAndTheCountStays)
{
    write("cpu 10 0 10 80\ncpu0 5 0 5 40\ncpu1 5 0 5 40\n");
    CollectCPUData();
    write("cpu 20 0 20 90\ncpu0 15 0 15 40\n");
    CollectCPUData();
    EXPECT_EQ(GetCPUCount(), 3);
    EXPECT_EQ(GetCPUUsage(1), 0.0);
    EXPECT_DOUBLE_EQ(GetCPUUsage(0), 1.0);
    ReleaseCPUData();
    write("cpu 1 0 1 8\n");
    EXPECT_EQ(GetCPUCount(), 1);
}

TEST(CpuMeterLive, ReadsTheKernelCounters)
{
    ReleaseCPUData();
    const int n = GetCPUCount();
    EXPECT_GE(n, 2);
    CollectCPUData();
    for (int i = 0; i < n; ++i) {
        const double u = GetCPUUsage(i);
        EXPECT_GE(u, 0.0);
        EXPECT_LE(u, 1.0);
    }
}

TEST(ProcCpuStat, ParsesCounterLines)
{
    const auto t = ProcCpuStat::parseCounters(" 1 2 3 4 5 6 7 8 9 10");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->idle, 9u);
    EXPECT_EQ(t->total, 36u);
    EXPECT_FALSE(ProcCpuStat::parseCounters("1 2 3"));
    EXPECT_FALSE(ProcCpuStat::parseCounters("a b c d"));
    const auto old = ProcCpuStat::parseCounters("1 2 3 4");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->idle, 4u);
    EXPECT_EQ(old->total, 10u);
}

}  // namespace
