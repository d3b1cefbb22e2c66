#include "platform/sound/reversestream.h"

#include <algorithm>

namespace sound {

ReverseStream::ReverseStream(Stream* src, unsigned f)
    : Stream(Kind::Reverse, src->rate, f | Decode), tmp_(std::size_t(kMaxBlock) * 2)
{
    source = src;
    src->owner = this;
}

ReverseStream::ReverseStream(int r, unsigned f)
    : Stream(Kind::Reverse, r, f | Decode), tmp_(std::size_t(kMaxBlock) * 2)
{
}

void ReverseStream::attach(Stream* src)
{
    source = src;
    src->owner = this;
    if (src->rate != rate) {
        rate = src->rate;
        freq.set(float(rate));
    }
}

int ReverseStream::produce(float* out, int n)
{
    if (dir >= 0) {
        int got = source->read(out, n);
        if (got == 0 && (flags & Loop) && source->lengthFrames() > 0 && source->seek(0))
            got = source->read(out, n);
        return got;
    }
    std::int64_t p = source->positionFrames();
    if (p <= 0 && (flags & Loop) && source->lengthFrames() > 0) {
        source->seek(source->lengthFrames());
        p = source->positionFrames();
    }
    int k = int(std::min<std::int64_t>(n, p));
    if (k <= 0)
        return 0;
    if (!source->seek(p - k))
        return 0;
    int got = source->read(tmp_.data(), k);
    for (int i = 0; i < got; ++i) {
        out[2 * i] = tmp_[2 * std::size_t(got - 1 - i)];
        out[2 * i + 1] = tmp_[2 * std::size_t(got - 1 - i) + 1];
    }
    source->seek(p - k);
    return got;
}

bool ReverseStream::atEnd() const
{
    std::int64_t p = source->positionFrames();
    return dir >= 0 ? p >= source->lengthFrames() : p <= 0;
}

}  // namespace sound
