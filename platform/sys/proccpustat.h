// The processor time counters of /proc/stat: per processor ("cpuN" lines) and the total
// ("cpu" line), in clock ticks since boot.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

struct CpuTimes {
    uint64_t idle = 0;   // idle + iowait
    uint64_t total = 0;  // every state except the guest times (already counted in user)
};

class ProcCpuStat {
public:
    enum class Result { Ok, Unreadable, NoCounters };

    // Reads `path` (normally "/proc/stat"). `cpus[N]` gets line "cpuN"; numbers that are missing
    // (processors offline) stay empty. Unreadable: the file cannot be opened or read.
    // NoCounters: no "cpu" total line, or one with fewer than four numbers. Lines of processors
    // that are malformed are left empty.
    static Result read(const QString& path, std::vector<std::optional<CpuTimes>>& cpus, CpuTimes& total);

    // One "cpu..." line without its label; nullopt when it has fewer than four numbers.
    static std::optional<CpuTimes> parseCounters(const QByteArray& fields);
};
