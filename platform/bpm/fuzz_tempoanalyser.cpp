// libFuzzer target: the tempo analyser on any PCM, channel count, rate and block sizes.
// Byte 0: channels, bytes 1-4: rate, byte 5: block size; the rest is the 16-bit PCM.
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/bpm/tempoanalyser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6) return 0;
    const int channels = int(data[0] % 9);
    int32_t rate;
    std::memcpy(&rate, data + 1, 4);
    const size_t block = size_t(data[5]) * 16 + 1;
    std::vector<int16_t> pcm((size - 6) / 2);
    if (!pcm.empty()) std::memcpy(pcm.data(), data + 6, pcm.size() * 2);
    TempoAnalyser a;
    a.start(channels, 1000 + int(uint32_t(rate) % 19000));  // low rates: long inputs from few bytes
    for (size_t i = 0; i < pcm.size(); i += block) a.feed(pcm.data() + i, std::min(block, pcm.size() - i));
    const float t = a.tempo();
    if (!(t == 0 || (t >= 30 && t <= 300))) __builtin_trap();
    return 0;
}
