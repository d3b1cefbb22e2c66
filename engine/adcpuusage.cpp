#include "engine/adcpuusage.h"

#include <mutex>
#include <vector>

#include "platform/sys/proccpustat.h"

namespace {

struct Sample {
    uint64_t idle = 0, time = 0;
};

std::mutex lock;
QString source = QStringLiteral("/proc/stat");
int count = -1;                       // instances, -1 until the first sample
std::vector<Sample> current, previous;

void collectLocked()
{
    std::vector<std::optional<CpuTimes>> cpus;
    CpuTimes total;
    switch (ProcCpuStat::read(source, cpus, total)) {
    case ProcCpuStat::Result::Unreadable:
        throw CpuUsageError("Unable to locate the \"Processor\" performance object");
    case ProcCpuStat::Result::NoCounters:
        throw CpuUsageError("Unable to locate the \"% of CPU usage\" performance counter");
    case ProcCpuStat::Result::Ok:
        break;
    }
    if (count < 0) {
        count = int(cpus.size()) + 1;
        current.assign(size_t(count), Sample{});
        previous.assign(size_t(count), Sample{});
    }
    for (int i = 0; i < count; ++i) {
        previous[size_t(i)] = current[size_t(i)];
        if (i == count - 1) {
            current[size_t(i)] = {total.idle, total.total};
        } else if (size_t(i) < cpus.size() && cpus[size_t(i)]) {
            current[size_t(i)] = {cpus[size_t(i)]->idle, cpus[size_t(i)]->total};
        }
        // a processor gone offline keeps its values: no time passes for it
    }
}

}  // namespace

void CollectCPUData()
{
    std::lock_guard<std::mutex> l(lock);
    collectLocked();
}

int GetCPUCount()
{
    std::lock_guard<std::mutex> l(lock);
    if (count < 0) collectLocked();
    return count;
}

double GetCPUUsage(int index)
{
    std::lock_guard<std::mutex> l(lock);
    if (count < 0) collectLocked();
    if (index < 0 || index >= count) throw CpuUsageError("CPU index out of bounds");
    const Sample& c = current[size_t(index)];
    const Sample& p = previous[size_t(index)];
    if (c.time <= p.time) return 0;
    const double idle = c.idle >= p.idle ? double(c.idle - p.idle) : 0.0;
    const double usage = 1.0 - idle / double(c.time - p.time);
    return usage < 0 ? 0 : usage > 1 ? 1 : usage;
}

void ReleaseCPUData()
{
    std::lock_guard<std::mutex> l(lock);
    count = -1;
    current.clear();
    previous.clear();
}

void SetCPUDataSource(const QString& path)
{
    std::lock_guard<std::mutex> l(lock);
    source = path;
    count = -1;
    current.clear();
    previous.clear();
}
