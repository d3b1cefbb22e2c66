// libFuzzer target: the MPEG frame walk over any image; every packet it lists lies inside the
// image and the kept samples add up to the length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/sound/mpegframewalker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    sound::MpegIndex index;
    if (!sound::walkMpegFrames(data, size, index))
        return 0;
    std::int64_t total = 0;
    for (const sound::MpegPacket& p : index.packets) {
        if (p.offset < 0 || p.size <= 0 || std::size_t(p.offset) + std::size_t(p.size) > size || p.outStart != total ||
            p.trimFront + p.outLen > index.samplesPerFrame)
            std::abort();
        total += p.outLen;
    }
    if (total != index.frames || index.rate <= 0 || index.channels < 1 || index.channels > 2)
        std::abort();
    return 0;
}
