// libFuzzer target: the container length readers over any image (every answer inside the
// image), then open the image, read it, seek in it and play it backwards.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/sound/containerlength.h"
#include "platform/sound/sound.h"

namespace {

void checkLength(const std::uint8_t* data, std::size_t size)
{
    sound::ContainerLength cl;
    if (!sound::readContainerLength(data, size, cl))
        return;
    const auto n = std::int64_t(size);
    bool ok = true;
    switch (cl.container) {
    case sound::Container::Wav:
    case sound::Container::Aiff:
        ok = cl.dataOffset >= 0 && cl.dataOffset < cl.dataEnd && cl.dataEnd <= n;
        break;
    case sound::Container::Flac:
        ok = cl.flacFirst >= 0 && cl.flacSamples >= cl.flacFirst && cl.partialOffset < n &&
             (cl.partialOffset < 0 || cl.partialSamples > 0);
        break;
    case sound::Container::Ogg:
        ok = cl.oggEnd >= 0;
        break;
    case sound::Container::Mp4:
        for (const auto& t : cl.tracks)
            ok = ok && t.length > 0 && t.timescale > 0;
        break;
    case sound::Container::Adts:
        ok = cl.adtsFrames > 0 && cl.adtsFrames <= n / 7 && cl.partialOffset < n;
        break;
    case sound::Container::Asf:
        ok = cl.wmaFrames > 0 && cl.wmaFrameLength > 0 && cl.wmaFrames <= n * 15;
        break;
    default:
        ok = false;
    }
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    checkLength(data, size);
    sound::OpenOptions o;
    o.maxBytes = 16u << 20;
    sound::Handle h = sound::openMemory(data, size, o);
    if (!h)
        return 0;
    std::int64_t len = sound::getLength(h);
    std::vector<std::int16_t> buf(4096);
    sound::getData(h, buf.data(), 8192);
    if (len > 0) {
        sound::setPosition(h, (len / 2) & ~std::int64_t(3));
        sound::getData(h, buf.data(), 8192);
    }
    sound::Handle rev = sound::createReverse(h);
    if (rev) {
        sound::setAttribute(rev, sound::Attribute::Direction, -1);
        sound::getData(rev, buf.data(), 8192);
        sound::freeStream(rev);
    } else {
        sound::freeStream(h);
    }
    return 0;
}
