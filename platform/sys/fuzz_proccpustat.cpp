// libFuzzer target: the /proc/stat reader on any text.
#include <cstdint>

#include <QFile>
#include <QTemporaryFile>

#include "platform/sys/proccpustat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), int(size));
    for (const QByteArray& line : text.split('\n')) ProcCpuStat::parseCounters(line);
    static QTemporaryFile file;
    if (!file.isOpen() && !file.open()) return 0;
    file.resize(0);
    file.seek(0);
    file.write(text);
    file.flush();
    std::vector<std::optional<CpuTimes>> cpus;
    CpuTimes total;
    ProcCpuStat::read(file.fileName(), cpus, total);
    return 0;
}
