#include "platform/sys/proccpustat.h"

#include <QFile>
#include <QList>

std::optional<CpuTimes> ProcCpuStat::parseCounters(const QByteArray& fields)
{
    const QList<QByteArray> parts = fields.simplified().split(' ');
    std::vector<uint64_t> v;
    for (const QByteArray& p : parts) {
        if (p.isEmpty()) continue;
        bool ok = false;
        const qulonglong x = p.toULongLong(&ok);
        if (!ok) break;
        v.push_back(x);
    }
    if (v.size() < 4) return std::nullopt;
    // user nice system idle iowait irq softirq steal guest guest_nice
    CpuTimes t;
    t.idle = v[3] + (v.size() > 4 ? v[4] : 0);
    for (size_t i = 0; i < v.size() && i < 8; ++i) t.total += v[i];
    return t;
}

ProcCpuStat::Result ProcCpuStat::read(const QString& path, std::vector<std::optional<CpuTimes>>& cpus,
                                      CpuTimes& total)
{
    cpus.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return Result::Unreadable;
    // /proc files report size 0: read until the end
    const QByteArray all = f.readAll();
    if (f.error() != QFile::NoError) return Result::Unreadable;
    bool haveTotal = false;
    for (const QByteArray& line : all.split('\n')) {
        if (!line.startsWith("cpu")) continue;
        const int sp = line.indexOf(' ');
        if (sp < 0) continue;
        const QByteArray label = line.left(sp);
        const auto counters = parseCounters(line.mid(sp + 1));
        if (label == "cpu") {
            if (!counters) return Result::NoCounters;
            total = *counters;
            haveTotal = true;
            continue;
        }
        bool ok = false;
        const int n = label.mid(3).toInt(&ok);
        if (!ok || n < 0 || n > 65535) continue;
        if (cpus.size() <= size_t(n)) cpus.resize(size_t(n) + 1);
        cpus[size_t(n)] = counters;
    }
    return haveTotal ? Result::Ok : Result::NoCounters;
}
