#include "platform/sound/mpegframewalker.h"

#include <algorithm>
#include <cstring>

namespace sound {

namespace {

struct Header {
    int lsf = 0;        // MPEG-2 or 2.5
    int layer = 0;
    int rate = 0;
    int channels = 0;
    int size = 0;       // bytes, header included
    int spf = 0;        // samples per frame
};

const int kBitrates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
};
const int kRates[3] = {44100, 48000, 32000};

// The mask of the header fields two neighbouring frames of one stream share.
constexpr std::uint32_t kSameStream = 0xFFFE0CCF;

enum class Parse { Ok, Bad, FreeFormat };

Parse parseHeader(std::uint32_t h, Header& o)
{
    if ((h & 0xFFE00000u) != 0xFFE00000u) return Parse::Bad;
    if ((h & (3u << 19)) == 1u << 19) return Parse::Bad;
    if ((h & (3u << 17)) == 0) return Parse::Bad;
    if ((h & (0xFu << 12)) == 0xFu << 12) return Parse::Bad;
    if ((h & (3u << 10)) == 3u << 10) return Parse::Bad;
    const bool mpeg25 = !(h & (1u << 20));
    o.lsf = (h & (1u << 19)) ? 0 : 1;
    o.layer = 4 - int((h >> 17) & 3);
    o.rate = kRates[(h >> 10) & 3] >> (o.lsf + (mpeg25 ? 1 : 0));
    o.channels = ((h >> 6) & 3) == 3 ? 1 : 2;
    const int brIndex = int((h >> 12) & 15);
    const int pad = int((h >> 9) & 1);
    if (brIndex == 0) return Parse::FreeFormat;
    const int br = kBitrates[o.lsf][o.layer - 1][brIndex] * 1000;
    switch (o.layer) {
    case 1: o.size = (12 * br / o.rate + pad) * 4; o.spf = 384; break;
    case 2: o.size = 144 * br / o.rate + pad; o.spf = 1152; break;
    default: o.size = (o.lsf ? 72 : 144) * br / o.rate + pad; o.spf = o.lsf ? 576 : 1152; break;
    }
    return Parse::Ok;
}

// Bytes past the end read as zero, as a short read would leave them.
struct Bytes {
    const std::uint8_t* d;
    std::size_t n;
    std::uint32_t u8(std::int64_t at) const { return at >= 0 && std::size_t(at) < n ? d[at] : 0; }
    std::uint32_t be16(std::int64_t at) const { return u8(at) << 8 | u8(at + 1); }
    std::uint32_t be24(std::int64_t at) const { return u8(at) << 16 | be16(at + 1); }
    std::uint32_t be32(std::int64_t at) const { return u8(at) << 24 | be24(at + 1); }
    bool has(std::int64_t at, std::int64_t len) const { return at >= 0 && at + len <= std::int64_t(n); }
};

// Frame size at `at`, or -1: no frame, or a free-format one.
int frameAt(const Bytes& b, std::int64_t at, Header& h)
{
    if (!b.has(at, 4)) return -1;
    return parseHeader(b.be32(at), h) == Parse::Ok ? h.size : -1;
}

std::int64_t skipId3v2(const Bytes& b)
{
    std::int64_t at = 0;
    while (b.has(at, 10) && b.u8(at) == 'I' && b.u8(at + 1) == 'D' && b.u8(at + 2) == '3' && b.u8(at + 3) != 0xFF &&
           b.u8(at + 4) != 0xFF && !((b.u8(at + 6) | b.u8(at + 7) | b.u8(at + 8) | b.u8(at + 9)) & 0x80)) {
        std::int64_t len = std::int64_t(b.u8(at + 6)) << 21 | b.u8(at + 7) << 14 | b.u8(at + 8) << 7 | b.u8(at + 9);
        at += 10 + len + ((b.u8(at + 5) & 0x10) ? 10 : 0);
    }
    return at;
}

// The Xing/Info or VBRI frame at `at`: true when it is to be skipped; its LAME delays in g.
bool readInfoFrame(const Bytes& b, std::int64_t at, MpegIndex::Gapless& g, int& skipBytes)
{
    Header h;
    if (!b.has(at, 4)) return false;
    Parse p = parseHeader(b.be32(at), h);
    if (p == Parse::Bad || h.layer != 3) return false;
    skipBytes = p == Parse::Ok ? h.size : 0;
    const int spf = h.lsf ? 576 : 1152;
    static const int offsets[2][2] = {{32, 17}, {17, 9}};
    std::int64_t q = at + 4 + offsets[h.lsf][h.channels == 1];
    std::uint32_t tag = b.be32(q);
    std::uint32_t frames = 0, bytes = 0;
    if (tag == 0x58696E67 /* Xing */ || tag == 0x496E666F /* Info */) {
        std::uint32_t flags = b.be32(q + 4);
        q += 8;
        if (flags & 1) { frames = b.be32(q); q += 4; }
        if (flags & 2) { bytes = b.be32(q); q += 4; }
        if (flags & 4) q += 100;
        if (flags & 8) q += 4;
        std::uint32_t encoder = b.be32(q);
        std::uint32_t delays = b.be24(q + 9 + 12);
        if (encoder == 0x4C414D45 /* LAME */ || encoder == 0x4C617666 /* Lavf */ || encoder == 0x4C617663 /* Lavc */) {
            g.startSkip = (delays >> 12) + 528 + 1;
            if (frames) {
                g.firstDiscard = -std::int64_t(delays & 4095) + 528 + 1 + std::int64_t(frames) * spf;
                g.lastDiscard = std::int64_t(frames) * spf;
            }
        }
    }
    q = at + 4 + 32;
    if (b.be32(q) == 0x56425249 /* VBRI */ && b.be16(q + 4) == 1) {
        bytes = b.be32(q + 10);
        frames = b.be32(q + 14);
    }
    return frames || bytes;
}

}  // namespace

std::size_t MpegIndex::packetAt(std::int64_t frame) const
{
    auto it = std::upper_bound(packets.begin(), packets.end(), frame,
                               [](std::int64_t f, const MpegPacket& p) { return f < p.outStart; });
    return it == packets.begin() ? 0 : std::size_t(it - packets.begin() - 1);
}

bool walkMpegFrames(const std::uint8_t* data, std::size_t size, MpegIndex& out)
{
    out = MpegIndex{};
    const Bytes b{data, size};
    const std::int64_t base = skipId3v2(b);
    Header first;
    if (frameAt(b, base, first) <= 0)
        return false;
    MpegIndex::Gapless& g = out.gapless;
    int infoBytes = 0;
    std::int64_t start = base;
    if (readInfoFrame(b, base, g, infoBytes))
        start += infoBytes;
    // the demuxer starts at the first frame whose successor agrees with it, within 64 KiB
    for (std::int64_t i = 0; i < 65536; ++i) {
        Header h1, h2;
        int n = frameAt(b, start + i, h1);
        if (n > 0 && frameAt(b, start + i + n, h2) > 0 &&
            (b.be32(start + i) & kSameStream) == (b.be32(start + i + n) & kSameStream)) {
            start += i;
            break;
        }
        if (!b.has(start + i, 4))
            break;
    }
    if (frameAt(b, start, first) <= 0)
        return false;
    out.layer = first.layer;
    out.rate = first.rate;
    out.channels = first.channels;
    out.samplesPerFrame = first.spf;
    out.packets.reserve(std::size_t(size / std::size_t(std::max(first.size, 24))) + 16);

    std::int64_t at = start;
    for (;;) {
        std::int64_t q = at;
        Header h;
        bool zeros = true;
        while (b.has(q, 4) && frameAt(b, q, h) <= 0) {
            zeros = zeros && b.u8(q) == 0;
            ++q;
        }
        if (!b.has(q, 4))
            break;  // what is left holds no frame: no output
        if (h.layer != first.layer || h.rate != first.rate || h.channels != first.channels || h.lsf != first.lsf)
            return false;
        MpegPacket p;
        p.offset = q;
        p.size = h.size;
        if (!b.has(q, h.size)) {
            // cut short by the end of the file: the caller decodes it to learn what it gives
            p.size = std::int32_t(std::int64_t(size) - q);
            out.partialTail = true;
        }
        p.dropped = q != at && !zeros;
        out.packets.push_back(p);
        at = q + h.size;
    }
    if (out.packets.empty())
        return false;
    out.layout();
    return out.frames > 0;
}

void MpegIndex::layout()
{
    // The samples each packet keeps: the delay is skipped from the first packet on, the
    // padding is cut from the packets that reach into it.
    const int spf = samplesPerFrame;
    std::int64_t pts = 0, total = 0, skip = 0;
    for (std::size_t i = 0; i < packets.size(); ++i) {
        MpegPacket& p = packets[i];
        std::int64_t sideSkip = i == 0 ? gapless.startSkip : 0, discard = 0;
        if (gapless.firstDiscard && pts + spf >= gapless.firstDiscard && pts < gapless.lastDiscard)
            discard = std::min<std::int64_t>(pts + spf - gapless.firstDiscard, spf);
        if (sideSkip || discard)
            skip = sideSkip;
        pts += spf;
        p.outStart = total;
        p.trimFront = p.outLen = 0;
        if (p.dropped)
            continue;
        std::int64_t n = spf, front = 0;
        if (skip > 0) {
            if (n <= skip) { skip -= n; n = 0; }
            else { front = skip; n -= skip; skip = 0; }
        }
        if (n > 0 && discard > 0 && discard <= n)
            n -= discard;
        p.trimFront = std::uint16_t(front);
        p.outLen = std::uint16_t(n);
        total += n;
    }
    frames = total;
}

}  // namespace sound
