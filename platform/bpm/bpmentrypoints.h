// The three entry points of a tempo library, as the engine and the peaks workers hold them.
// An empty function is an entry point that was not found: its calls are skipped.
#pragma once

#include <cstdint>
#include <functional>

struct BpmEntryPoints {
    std::function<int(int channels, int rate)> Init;
    std::function<int(const int16_t* block, int count)> Decode;
    std::function<float()> DameBpm;
};
