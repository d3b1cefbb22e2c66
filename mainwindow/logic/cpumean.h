// The CPU level of the window's meter (GetCPUUsage of the window): the mean load of all
// processors since the last call, in percent, from the kernel's counters (engine/adcpuusage). A
// processor at 0 % counts in the mean; counters that cannot be read or hold no processor give 0.
#pragma once

// Takes a new sample and returns the mean over the processors between it and the last one.
double cpuMean();
