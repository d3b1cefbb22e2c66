// Processor load for the main window's CPU indicator, from the kernel's processor time
// counters. Instances are the processors, the total of all of them last; the instance count
// is fixed by the first sample. Unit-level state behind a lock: callable from any thread.
// Failures throw CpuUsageError with the texts below.
#pragma once

#include <stdexcept>

#include <QString>

class CpuUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Takes a new sample. Throws "Unable to locate the \"Processor\" performance object" when the
// counters cannot be read, "Unable to locate the \"% of CPU usage\" performance counter" when
// they hold no usable total.
void CollectCPUData();

// Number of instances (processors + 1); samples first when not yet known.
int GetCPUCount();

// Load of instance `index` between the last two samples, 0..1; samples first when the count
// is not yet known. Right after the first sample it is the load since boot; 0 when the two
// samples cover no time. Throws "CPU index out of bounds" for an index outside 0..count - 1.
double GetCPUUsage(int index);

// Frees the samples; the next call starts over.
void ReleaseCPUData();

// Where the counters are read from ("/proc/stat" unless set); resets the samples. For tests.
void SetCPUDataSource(const QString& path);
