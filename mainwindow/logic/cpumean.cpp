#include "mainwindow/logic/cpumean.h"

#include "engine/adcpuusage.h"

double cpuMean()
{
    try {
        CollectCPUData();
        const int n = GetCPUCount();
        if (n < 2) return 0.0;
        double sum = 0.0;
        for (int i = 0; i < n - 1; ++i) {
            const double u = GetCPUUsage(i) * 100.0;
            if (u > 0) sum += u;
        }
        return sum / (n - 1);
    } catch (const CpuUsageError&) {
        return 0.0;
    }
}
