// libFuzzer target: open a file image, read it, seek in it and play it backwards.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/sound/sound.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
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
