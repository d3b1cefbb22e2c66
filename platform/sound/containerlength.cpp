#include "platform/sound/containerlength.h"

#include <algorithm>
#include <cstring>

namespace sound {

namespace {

// Bounded reads over the image: bytes outside it read as zero, and has() says whether a
// range lies inside.
struct Bytes {
    const std::uint8_t* d;
    std::int64_t n;

    bool has(std::int64_t at, std::int64_t len) const { return at >= 0 && len >= 0 && at <= n && len <= n - at; }
    std::uint32_t u8(std::int64_t at) const { return at >= 0 && at < n ? d[at] : 0; }
    std::uint32_t be16(std::int64_t at) const { return u8(at) << 8 | u8(at + 1); }
    std::uint32_t be24(std::int64_t at) const { return u8(at) << 16 | be16(at + 1); }
    std::uint32_t be32(std::int64_t at) const { return u8(at) << 24 | be24(at + 1); }
    std::uint64_t be64(std::int64_t at) const { return std::uint64_t(be32(at)) << 32 | be32(at + 4); }
    std::uint32_t le16(std::int64_t at) const { return u8(at) | u8(at + 1) << 8; }
    std::uint32_t le32(std::int64_t at) const { return le16(at) | le16(at + 2) << 16; }
    std::uint64_t le64(std::int64_t at) const { return le32(at) | std::uint64_t(le32(at + 4)) << 32; }
    bool is(std::int64_t at, const char* tag) const
    {
        const std::int64_t len = std::int64_t(std::strlen(tag));
        return has(at, len) && std::memcmp(d + at, tag, std::size_t(len)) == 0;
    }
    bool is(std::int64_t at, const std::uint8_t* bytes, std::int64_t len) const
    {
        return has(at, len) && std::memcmp(d + at, bytes, std::size_t(len)) == 0;
    }
};

// Where the audio starts after the ID3v2 tags at the front, as the demuxers skip them.
std::int64_t skipId3v2(const Bytes& b)
{
    std::int64_t at = 0;
    while (b.has(at, 10) && b.is(at, "ID3") && b.u8(at + 3) != 0xFF && b.u8(at + 4) != 0xFF &&
           !((b.u8(at + 6) | b.u8(at + 7) | b.u8(at + 8) | b.u8(at + 9)) & 0x80)) {
        std::int64_t len = std::int64_t(b.u8(at + 6)) << 21 | b.u8(at + 7) << 14 | b.u8(at + 8) << 7 | b.u8(at + 9);
        at += 10 + len + ((b.u8(at + 5) & 0x10) ? 10 : 0);
    }
    return at;
}

// ---- WAV and AIFF: where the data chunk lies

bool readWav(const Bytes& b, ContainerLength& out)
{
    const bool rf64 = b.is(0, "RF64") || b.is(0, "BW64");
    if (!(b.is(0, "RIFF") || rf64) || !b.is(8, "WAVE"))
        return false;
    std::int64_t at = 12, ds64Data = -1;
    bool fmt = false;
    while (b.has(at, 8)) {
        const std::int64_t size = b.le32(at + 4), body = at + 8;
        if (b.is(at, "ds64") && b.has(body, 16))
            ds64Data = std::int64_t(std::min<std::uint64_t>(b.le64(body + 8), std::uint64_t(b.n)));
        if (b.is(at, "fmt "))
            fmt = true;
        if (b.is(at, "data")) {
            if (!fmt)
                return false;
            std::int64_t end = b.n;
            if (rf64) {
                if (ds64Data < 0) return false;
                end = body + ds64Data;
            } else if (size != 0 && size != 0xFFFFFFFF) {
                end = body + size;
            }
            out.container = Container::Wav;
            out.dataOffset = body;
            out.dataEnd = std::min(end, b.n);
            return out.dataEnd > out.dataOffset;
        }
        at = body + size + (size & 1);
    }
    return false;
}

bool readAiff(const Bytes& b, ContainerLength& out)
{
    if (!b.is(0, "FORM") || !(b.is(8, "AIFF") || b.is(8, "AIFC")))
        return false;
    std::int64_t at = 12;
    bool comm = false;
    while (b.has(at, 8)) {
        const std::int64_t size = b.be32(at + 4), body = at + 8;
        if (b.is(at, "COMM"))
            comm = true;
        if (b.is(at, "SSND")) {
            if (!comm || !b.has(body, 8))
                return false;
            out.container = Container::Aiff;
            out.dataOffset = body + 8 + std::int64_t(b.be32(body));
            out.dataEnd = std::min(body + size, b.n);
            return out.dataEnd > out.dataOffset;
        }
        at = body + size + (size & 1);
    }
    return false;
}

// ---- FLAC: STREAMINFO and the last frame

std::uint8_t crc8(const Bytes& b, std::int64_t at, std::int64_t len)
{
    std::uint8_t c = 0;
    for (std::int64_t i = 0; i < len; ++i) {
        c ^= std::uint8_t(b.u8(at + i));
        for (int k = 0; k < 8; ++k)
            c = std::uint8_t(c & 0x80 ? (c << 1) ^ 0x07 : c << 1);
    }
    return c;
}

std::uint16_t crc16(const Bytes& b, std::int64_t at, std::int64_t len)
{
    static const auto table = [] {
        struct T { std::uint16_t v[256]; } t{};
        for (int i = 0; i < 256; ++i) {
            std::uint16_t c = std::uint16_t(i << 8);
            for (int k = 0; k < 8; ++k)
                c = std::uint16_t(c & 0x8000 ? (c << 1) ^ 0x8005 : c << 1);
            t.v[i] = c;
        }
        return t;
    }();
    std::uint16_t c = 0;
    for (std::int64_t i = 0; i < len; ++i)
        c = std::uint16_t((c << 8) ^ table.v[((c >> 8) ^ b.u8(at + i)) & 0xFF]);
    return c;
}

struct FlacInfo {
    int minBlock = 0, maxBlock = 0, rate = 0, channels = 0, bits = 0;
    std::int64_t total = 0;
};

// The frame header at `at`: its first sample and its block size. false when the bytes there
// are no header of this stream (sync, reserved values, CRC-8, the stream's own layout).
bool flacFrame(const Bytes& b, std::int64_t at, const FlacInfo& si, std::int64_t& first, int& block)
{
    if (!b.has(at, 6) || b.u8(at) != 0xFF || (b.u8(at + 1) & 0xFE) != 0xF8)
        return false;
    const bool variable = b.u8(at + 1) & 1;
    const int bsCode = int(b.u8(at + 2) >> 4), rateCode = int(b.u8(at + 2) & 15);
    const int chCode = int(b.u8(at + 3) >> 4), sizeCode = int((b.u8(at + 3) >> 1) & 7);
    if (bsCode == 0 || rateCode == 15 || chCode > 10 || sizeCode == 3 || (b.u8(at + 3) & 1))
        return false;
    if ((chCode < 8 ? chCode + 1 : 2) != si.channels)
        return false;
    static const int kRates[12] = {0, 88200, 176400, 192000, 8000, 16000, 22050, 24000, 32000, 44100, 48000, 96000};
    if (rateCode >= 1 && rateCode <= 11 && kRates[rateCode] != si.rate)
        return false;
    static const int kBits[8] = {0, 8, 12, 0, 16, 20, 24, 32};
    if (sizeCode != 0 && kBits[sizeCode] != si.bits)
        return false;
    // the frame or sample number, UTF-8 coded
    std::int64_t p = at + 4;
    std::uint32_t lead = b.u8(p++);
    int more = 0;
    std::uint64_t num = 0;
    if (lead < 0x80) { num = lead; }
    else if ((lead & 0xE0) == 0xC0) { num = lead & 0x1F; more = 1; }
    else if ((lead & 0xF0) == 0xE0) { num = lead & 0x0F; more = 2; }
    else if ((lead & 0xF8) == 0xF0) { num = lead & 0x07; more = 3; }
    else if ((lead & 0xFC) == 0xF8) { num = lead & 0x03; more = 4; }
    else if ((lead & 0xFE) == 0xFC) { num = lead & 0x01; more = 5; }
    else if (lead == 0xFE) { num = 0; more = 6; }
    else return false;
    for (int i = 0; i < more; ++i) {
        std::uint32_t c = b.u8(p++);
        if ((c & 0xC0) != 0x80) return false;
        num = num << 6 | (c & 0x3F);
    }
    if (bsCode == 1) block = 192;
    else if (bsCode <= 5) block = 576 << (bsCode - 2);
    else if (bsCode == 6) block = int(b.u8(p++)) + 1;
    else if (bsCode == 7) { block = int(b.be16(p)) + 1; p += 2; }
    else block = 256 << (bsCode - 8);
    if (rateCode == 12) p += 1;
    else if (rateCode == 13 || rateCode == 14) p += 2;
    if (!b.has(p, 1) || crc8(b, at, p - at) != b.u8(p))
        return false;
    if (!variable && si.maxBlock <= 0)
        return false;
    first = variable ? std::int64_t(num) : std::int64_t(num) * si.maxBlock;
    return first >= 0 && first < (std::int64_t(1) << 40);
}

bool readFlac(const Bytes& b, ContainerLength& out)
{
    std::int64_t at = skipId3v2(b);
    if (!b.is(at, "fLaC"))
        return false;
    at += 4;
    FlacInfo si;
    bool streamInfo = false, last = false;
    while (!last) {
        if (!b.has(at, 4)) return false;
        last = b.u8(at) & 0x80;
        const int type = int(b.u8(at) & 0x7F);
        const std::int64_t len = b.be24(at + 1), body = at + 4;
        if (type == 0) {
            if (len < 34 || !b.has(body, 34)) return false;
            si.minBlock = int(b.be16(body));
            si.maxBlock = int(b.be16(body + 2));
            si.rate = int(b.be24(body + 10) >> 4);
            si.channels = int((b.u8(body + 12) >> 1) & 7) + 1;
            si.bits = int(((b.u8(body + 12) & 1) << 4 | b.u8(body + 13) >> 4) + 1);
            si.total = std::int64_t(b.u8(body + 13) & 15) << 32 | b.be32(body + 14);
            streamInfo = true;
        }
        at = body + len;
    }
    if (!streamInfo || si.rate <= 0)
        return false;
    const std::int64_t audio = at;
    std::int64_t firstSample = 0;
    int firstBlock = 0;
    if (!flacFrame(b, audio, si, firstSample, firstBlock))
        return false;  // the demuxer would look for the first frame further on
    // the last frame header, searched from the end over at most a few of the largest frames
    const std::int64_t window = std::int64_t(1) << 21;
    for (std::int64_t p = b.n - 2; p >= std::max(audio, b.n - window); --p) {
        std::int64_t first = 0;
        int block = 0;
        if (b.u8(p) != 0xFF || !flacFrame(b, p, si, first, block))
            continue;
        if ((si.total > 0 && first >= si.total + firstSample) || first < firstSample)
            continue;  // not a frame of this stream after all
        out.container = Container::Flac;
        out.flacFirst = firstSample;
        if (b.n - p >= 8 && crc16(b, p, b.n - p - 2) == b.be16(b.n - 2)) {
            out.flacSamples = first + block;
            out.partialOffset = -1;
        } else {
            // cut short, or followed by something else: a decode of it tells
            out.flacSamples = first;
            out.partialOffset = p;
            out.partialSamples = block;
        }
        return out.flacSamples > firstSample || out.partialOffset >= 0;
    }
    return false;
}

// ---- Ogg: the last granule of its one logical stream

bool readOgg(const Bytes& b, ContainerLength& out)
{
    std::int64_t at = 0;
    bool first = true, eos = false;
    std::int64_t lastGranule = -1, preSkip = 0;
    while (b.has(at, 27)) {
        if (!b.is(at, "OggS") || b.u8(at + 4) != 0)
            return false;  // junk between pages
        const int segs = int(b.u8(at + 26));
        if (!b.has(at + 27, segs))
            break;
        std::int64_t body = 0;
        for (int i = 0; i < segs; ++i)
            body += b.u8(at + 27 + i);
        const std::int64_t data = at + 27 + segs;
        if (!b.has(data, body))
            break;  // the last page is cut short: its packets are lost
        const std::uint32_t flags = b.u8(at + 5), serial = b.le32(at + 14);
        const auto granule = std::int64_t(b.le64(at + 6));
        if (first) {
            if (!(flags & 2)) return false;
            out.oggSerial = serial;
            if (b.is(data, "\x01vorbis") && body >= 30) {
                out.opus = false;
            } else if (b.is(data, "OpusHead") && body >= 19) {
                out.opus = true;
                preSkip = b.le16(data + 10);
            } else {
                return false;
            }
            first = false;
        } else if (serial != out.oggSerial || (flags & 2)) {
            return false;  // multiplexed or chained streams: decoded whole
        }
        if (eos)
            return false;  // pages after the end of the stream
        if (granule != -1)
            lastGranule = granule;
        if (granule > 0 && out.oggFirstGranule == 0)
            out.oggFirstGranule = granule;
        eos = flags & 4;
        at = data + body;
    }
    if (first || !eos || lastGranule < preSkip)
        return false;  // a stream cut short has no end the demuxer trims to
    out.container = Container::Ogg;
    out.oggEnd = lastGranule - preSkip;
    return true;
}

// ---- MP4 / M4A: sample tables and edit list

// No decodable track comes near this many samples; a table past it is a lie.
constexpr std::int64_t kMostSamples = std::int64_t(1) << 40;

struct Box {
    std::int64_t at = 0, body = 0, end = 0;
    char type[5] = {};
};

// Iterates over the boxes of [from, to).
struct BoxWalk {
    const Bytes& b;
    std::int64_t at, to;
    bool bad = false;

    bool next(Box& x)
    {
        if (bad || !b.has(at, 8) || at + 8 > to)
            return false;
        std::int64_t size = b.be32(at), hdr = 8;
        if (size == 1) {
            if (!b.has(at, 16)) { bad = true; return false; }
            const std::uint64_t big = b.be64(at + 8);
            size = big > std::uint64_t(to - at) ? -1 : std::int64_t(big);
            hdr = 16;
        } else if (size == 0) {
            size = to - at;
        }
        if (size < hdr || size > to - at) {
            bad = true;
            return false;
        }
        x.at = at;
        x.body = at + hdr;
        x.end = at + size;
        std::memcpy(x.type, b.d + at + 4, 4);
        at += size;
        return true;
    }
};

bool isType(const Box& x, const char* t) { return std::memcmp(x.type, t, 4) == 0; }

// The timescale of an mvhd or mdhd box.
std::int64_t timescaleOf(const Bytes& b, const Box& x)
{
    const std::int64_t off = b.u8(x.body) == 1 ? 20 : 12;
    return x.body + off + 4 <= x.end ? std::int64_t(b.be32(x.body + off)) : 0;
}

bool readTrack(const Bytes& b, const Box& trak, std::int64_t movieScale, ContainerLength::Track& t)
{
    Box x, y, z, w;
    std::int64_t total = -1, mediaTime = 0, editDuration = -1;
    bool sound = false, codecOk = false;
    int edits = 0;
    for (BoxWalk a{b, trak.body, trak.end}; a.next(x);) {
        if (isType(x, "tkhd") && x.body + 24 <= x.end) {
            t.id = b.be32(x.body + (b.u8(x.body) == 1 ? 20 : 12));
        } else if (isType(x, "edts")) {
            for (BoxWalk e{b, x.body, x.end}; e.next(y);) {
                if (!isType(y, "elst") || !b.has(y.body, 8)) continue;
                const bool v1 = b.u8(y.body) == 1;
                const std::int64_t count = b.be32(y.body + 4), entry = v1 ? 20 : 12;
                if (count < 0 || count > (y.end - y.body - 8) / entry) return false;
                edits = int(count);
                if (count != 1) continue;
                const std::int64_t p = y.body + 8;
                editDuration = v1 ? std::int64_t(b.be64(p) & 0x7FFFFFFFFFFFFFFFull) : std::int64_t(b.be32(p));
                mediaTime = v1 ? std::int64_t(b.be64(p + 8)) : std::int64_t(std::int32_t(b.be32(p + 4)));
            }
        } else if (isType(x, "mdia")) {
            for (BoxWalk m{b, x.body, x.end}; m.next(y);) {
                if (isType(y, "mdhd")) t.timescale = timescaleOf(b, y);
                if (isType(y, "hdlr") && y.body + 12 <= y.end) sound = b.is(y.body + 8, "soun");
                if (!isType(y, "minf")) continue;
                for (BoxWalk n{b, y.body, y.end}; n.next(z);) {
                    if (!isType(z, "stbl")) continue;
                    for (BoxWalk s{b, z.body, z.end}; s.next(w);) {
                        if (isType(w, "stsd") && w.body + 16 <= w.end)
                            codecOk = b.is(w.body + 12, "mp4a") || b.is(w.body + 12, "alac");
                        if (!isType(w, "stts") || !b.has(w.body, 8)) continue;
                        const std::int64_t count = b.be32(w.body + 4);
                        if (count > (w.end - w.body - 8) / 8) return false;
                        total = 0;
                        for (std::int64_t i = 0; i < count && total <= kMostSamples; ++i)
                            total += std::int64_t(std::min<std::uint64_t>(
                                std::uint64_t(b.be32(w.body + 8 + 8 * i)) * b.be32(w.body + 12 + 8 * i),
                                std::uint64_t(kMostSamples) + 1));
                    }
                }
            }
        }
    }
    if (!sound || !codecOk || total <= 0 || total > kMostSamples || t.timescale <= 0 || edits > 1 || mediaTime < 0 ||
        mediaTime >= total)
        return false;
    t.length = total - mediaTime;
    if (editDuration >= 0 && movieScale > 0) {
        // an edit that ends well before the media: the demuxer's cut is not predicted here
        const long double edit = (long double)editDuration * t.timescale / movieScale;
        if (edit + (long double)t.timescale / movieScale + 1 < t.length)
            return false;
    }
    return true;
}

bool readMp4(const Bytes& b, ContainerLength& out)
{
    if (!b.is(4, "ftyp"))
        return false;
    Box x, y;
    bool moov = false;
    for (BoxWalk top{b, 0, b.n}; top.next(x);) {
        if (isType(x, "moof"))
            return false;  // fragmented: lengths live in the fragments
        if (!isType(x, "moov"))
            continue;
        if (moov) return false;
        moov = true;
        std::int64_t movieScale = 0;
        for (BoxWalk m{b, x.body, x.end}; m.next(y);)
            if (isType(y, "mvhd")) movieScale = timescaleOf(b, y);
        for (BoxWalk m{b, x.body, x.end}; m.next(y);) {
            ContainerLength::Track t;
            if (isType(y, "trak") && readTrack(b, y, movieScale, t))
                out.tracks.push_back(t);
        }
    }
    if (!moov || out.tracks.empty())
        return false;
    out.container = Container::Mp4;
    return true;
}

// ---- ADTS AAC: a walk over the frame headers

bool readAdts(const Bytes& b, ContainerLength& out)
{
    const std::int64_t start = skipId3v2(b);
    std::int64_t at = start, frames = 0;
    std::uint32_t fixed = 0;
    while (b.has(at, 7)) {
        const std::uint32_t h = b.be32(at);
        if ((h & 0xFFF60000u) != 0xFFF00000u)
            break;
        const std::uint32_t fix = (h >> 6) & 0x3FFF;  // profile, rate, channel layout
        if (frames == 0)
            fixed = fix;
        else if (fix != fixed)
            return false;
        if (((h >> 10) & 15) >= 13)
            return false;
        const std::int64_t len = std::int64_t(b.u8(at + 3) & 3) << 11 | b.u8(at + 4) << 3 | b.u8(at + 5) >> 5;
        const bool crc = !(b.u8(at + 1) & 1);
        if (len < (crc ? 9 : 7) || (b.u8(at + 6) & 3) != 0)
            return false;  // several raw data blocks in one frame: not decoded by FFmpeg
        if (!b.has(at, len)) {
            out.partialOffset = at;  // cut short: a decode of it tells
            break;
        }
        ++frames;
        at += len;
    }
    if (frames == 0)
        return false;
    // what follows the frames must hold none (a tag at the end)
    for (std::int64_t p = at + 1; out.partialOffset < 0 && p + 1 < b.n; ++p)
        if (b.u8(p) == 0xFF && (b.u8(p + 1) & 0xF6) == 0xF0)
            return false;
    out.container = Container::Adts;
    out.adtsFrames = frames;
    return true;
}

// ---- ASF / WMA: superframes counted from their headers

const std::uint8_t kAsfHeader[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                     0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const std::uint8_t kAsfData[16] = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                   0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const std::uint8_t kAsfFileProps[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                        0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const std::uint8_t kAsfStreamProps[16] = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                          0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const std::uint8_t kAsfAudio[16] = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                                    0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

struct WmaStream {
    int number = -1;
    int blockAlign = 0;
    bool reservoir = false;
    int frameLength = 0;
    int span = 1, chunk = 0;
};

bool readAsfHeader(const Bytes& b, std::int64_t& packetSize, WmaStream& ws, std::int64_t& dataAt)
{
    if (!b.is(0, kAsfHeader, 16) || !b.has(0, 30))
        return false;
    const std::uint64_t headerSize = b.le64(16);
    if (headerSize < 30 || headerSize > std::uint64_t(b.n))
        return false;
    const std::int64_t end = std::int64_t(headerSize);
    packetSize = 0;
    int audioStreams = 0;
    for (std::int64_t at = 30; b.has(at, 24) && at + 24 <= end;) {
        const std::uint64_t size = b.le64(at + 16);
        if (size < 24 || size > std::uint64_t(end - at))
            return false;
        const std::int64_t body = at + 24;
        if (b.is(at, kAsfFileProps, 16) && size >= 24 + 80) {
            const std::uint32_t minSize = b.le32(body + 68), maxSize = b.le32(body + 72);
            if (minSize != maxSize || minSize < 16)
                return false;
            packetSize = minSize;
        } else if (b.is(at, kAsfStreamProps, 16) && size >= 24 + 54 && b.is(body, kAsfAudio, 16)) {
            ++audioStreams;
            const std::int64_t typeLen = b.le32(body + 40), ecLen = b.le32(body + 44);
            const std::int64_t wf = body + 54;
            if (typeLen < 18 || ecLen < 0 || wf + typeLen + ecLen > at + std::int64_t(size))
                return false;
            const std::uint32_t tag = b.le16(wf), rate = b.le32(wf + 4);
            const std::int64_t extra = std::min<std::int64_t>(b.le16(wf + 16), typeLen - 18);
            if ((tag != 0x160 && tag != 0x161) || rate == 0)
                return false;
            const int version = tag == 0x160 ? 1 : 2;
            std::uint32_t flags2 = 0;
            if (version == 1 && extra >= 4) flags2 = b.le16(wf + 18 + 2);
            if (version == 2 && extra >= 6) flags2 = b.le16(wf + 18 + 4);
            ws.number = int(b.le16(body + 48) & 0x7F);
            ws.blockAlign = int(b.le16(wf + 12));
            ws.reservoir = flags2 & 2;
            ws.frameLength = rate <= 16000 ? 512 : (rate <= 22050 || (rate <= 32000 && version == 1)) ? 1024 : 2048;
            if (ecLen >= 5) {
                const std::int64_t ec = wf + typeLen;
                ws.span = int(b.u8(ec));
                ws.chunk = int(b.le16(ec + 3));
            }
        }
        at += std::int64_t(size);
    }
    if (audioStreams != 1 || packetSize <= 0 || ws.blockAlign <= 0)
        return false;
    if (ws.span > 1 && ws.chunk != ws.blockAlign)
        return false;  // descrambling would move the superframe headers
    if (ws.reservoir)
        return false;  // a superframe's frame count then hangs on bits the decode leaves over
    if (!b.is(end, kAsfData, 16) || !b.has(end, 50))
        return false;
    dataAt = end;
    return true;
}

// The superframes of the media objects of one stream, reassembled from their fragments.
struct WmaObjects {
    const Bytes& b;
    const WmaStream& ws;
    std::int64_t frames = 0, superframes = 0;
    bool bad = false;
    // the object being gathered
    int number = -1;
    std::int64_t size = 0, got = 0, pending = 0, pendingSupers = 0;

    void fragment(int obj, std::int64_t objSize, std::int64_t offset, std::int64_t data, std::int64_t len)
    {
        if (offset == 0) {
            number = obj;
            size = objSize;
            got = pending = pendingSupers = 0;
            if (size <= 0 || size % ws.blockAlign != 0) { bad = true; return; }
        } else if (obj != number || offset != got) {
            number = -1;  // a fragment of an object whose start is lost: FFmpeg drops it too
            return;
        }
        if (len <= 0 || got + len > size) { bad = true; return; }
        const std::int64_t ba = ws.blockAlign;
        for (std::int64_t k = (offset + ba - 1) / ba * ba; k < offset + len; k += ba) {
            const int n = ws.reservoir ? int(b.u8(data + (k - offset)) & 15) : 1;
            if (n == 0) { bad = true; return; }
            pending += n;
            ++pendingSupers;
        }
        got += len;
        if (got == size) {
            frames += pending;
            superframes += pendingSupers;
            number = -1;
        }
    }
};

std::int64_t asfVar(const Bytes& b, std::int64_t& p, int type)
{
    std::int64_t v = 0;
    switch (type) {
    case 1: v = b.u8(p); p += 1; break;
    case 2: v = b.le16(p); p += 2; break;
    case 3: v = b.le32(p); p += 4; break;
    default: break;
    }
    return v;
}

bool readAsf(const Bytes& b, ContainerLength& out)
{
    std::int64_t packetSize = 0, dataAt = 0;
    WmaStream ws;
    if (!readAsfHeader(b, packetSize, ws, dataAt))
        return false;
    const std::uint64_t dataSize = b.le64(dataAt + 16);
    std::int64_t end = b.n;
    if (dataSize >= 50 && dataSize <= std::uint64_t(b.n - dataAt))
        end = dataAt + std::int64_t(dataSize);
    else if (dataSize != 0)
        return false;  // cut short: what the demuxer makes of the last packet is not told here
    if ((end - dataAt - 50) % packetSize != 0)
        return false;
    WmaObjects objects{b, ws};
    for (std::int64_t pk = dataAt + 50; pk + packetSize <= end && !objects.bad; pk += packetSize) {
        std::int64_t p = pk;
        const std::int64_t pend = pk + packetSize;
        std::uint32_t f = b.u8(p);
        if (f & 0x80) {
            if (f & 0x60) return false;
            p += 1 + (f & 0x0F);
            f = b.u8(p);
        }
        const std::uint32_t lenFlags = b.u8(p), prop = b.u8(p + 1);
        p += 2;
        std::int64_t length = asfVar(b, p, int((lenFlags >> 5) & 3));
        asfVar(b, p, int((lenFlags >> 1) & 3));
        std::int64_t padding = asfVar(b, p, int((lenFlags >> 3) & 3));
        p += 6;  // send time, duration
        if (length > 0 && length < packetSize)
            padding += packetSize - length;
        if (padding < 0 || padding > packetSize)
            return false;
        const std::int64_t payloadEnd = pend - padding;
        int payloads = 1, lenType = 0;
        const bool multiple = lenFlags & 1;
        if (multiple) {
            const std::uint32_t pf = b.u8(p++);
            payloads = int(pf & 0x3F);
            lenType = int(pf >> 6);
            if (payloads == 0) return false;
        }
        for (int i = 0; i < payloads; ++i) {
            if (p >= payloadEnd) return false;
            const int stream = int(b.u8(p++) & 0x7F);
            const std::int64_t obj = asfVar(b, p, int((prop >> 4) & 3));
            const std::int64_t offset = asfVar(b, p, int((prop >> 2) & 3));
            const std::int64_t rep = asfVar(b, p, int(prop & 3));
            std::int64_t objSize = 0;
            if (rep == 1) {
                p += 1;  // presentation time delta
            } else {
                if (rep >= 8) objSize = b.le32(p);
                else if (rep != 0) return false;
                p += rep;
            }
            const std::int64_t len = multiple ? asfVar(b, p, lenType) : payloadEnd - p;
            if (len < 0 || p + len > payloadEnd) return false;
            if (stream == ws.number) {
                if (rep == 1) {
                    for (std::int64_t q = p; q < p + len;) {
                        const std::int64_t sub = b.u8(q++);
                        if (q + sub > p + len) return false;
                        objects.fragment(int(obj), sub, 0, q, sub);
                        q += sub;
                    }
                } else if (rep >= 8) {
                    objects.fragment(int(obj & 0xFF), objSize, offset, p, len);
                } else {
                    return false;
                }
            }
            p += len;
        }
    }
    if (objects.bad || objects.superframes == 0)
        return false;
    // the decoder drops its first two frames (the transform's overlap) and gives one more
    // when flushed at the end
    const std::int64_t frames = objects.frames - 1;
    if (frames <= 0)
        return false;
    out.container = Container::Asf;
    out.wmaFrames = frames;
    out.wmaFrameLength = ws.frameLength;
    out.wmaStream = ws.number;
    return true;
}

}  // namespace

bool readContainerLength(const std::uint8_t* data, std::size_t size, ContainerLength& out)
{
    out = ContainerLength{};
    if (!data || size == 0 || size > (std::size_t(1) << 62))
        return false;
    const Bytes b{data, std::int64_t(size)};
    bool ok = false;
    if (b.is(0, "RIFF") || b.is(0, "RF64") || b.is(0, "BW64")) ok = readWav(b, out);
    else if (b.is(0, "FORM")) ok = readAiff(b, out);
    else if (b.is(0, "OggS")) ok = readOgg(b, out);
    else if (b.is(4, "ftyp")) ok = readMp4(b, out);
    else if (b.is(0, kAsfHeader, 16)) ok = readAsf(b, out);
    else {
        const std::int64_t at = skipId3v2(b);
        if (b.is(at, "fLaC")) ok = readFlac(b, out);
        else if (b.u8(at) == 0xFF && (b.u8(at + 1) & 0xF6) == 0xF0) ok = readAdts(b, out);
    }
    if (!ok)
        out = ContainerLength{};
    return ok;
}

}  // namespace sound
