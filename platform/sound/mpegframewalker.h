// Walks the frames of an MPEG audio file (layers 1 to 3) by their headers alone, without
// decoding, and works out which samples FFmpeg's demuxer and decoder deliver of each frame:
// the Xing/Info frame is skipped, the LAME encoder delay and padding are trimmed, and a
// frame that follows junk other than zero bytes is dropped, as a linear decode does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sound {

struct MpegPacket {
    std::int64_t offset = 0;     // file offset of the frame header
    std::int32_t size = 0;       // bytes of the frame
    std::uint16_t trimFront = 0; // decoded samples dropped at the frame's start
    std::uint16_t outLen = 0;    // samples kept after them; 0 for a dropped frame
    bool dropped = false;        // never reaches the decoder (junk before it)
    std::int64_t outStart = 0;   // position of the first kept sample in the decoded stream
};

struct MpegIndex {
    int layer = 0;
    int rate = 0;
    int channels = 0;
    int samplesPerFrame = 0;
    std::int64_t frames = 0;     // decoded length
    std::vector<MpegPacket> packets;
    bool partialTail = false;    // the last packet is a frame cut short by the end of the file

    // What the LAME/Xing frame says, in samples of the packets' timeline.
    struct Gapless {
        std::int64_t startSkip = 0;
        std::int64_t firstDiscard = 0;   // 0: none
        std::int64_t lastDiscard = 0;
    } gapless;

    // Works out each packet's kept samples and the decoded length from the packets, their
    // dropped marks and the gapless figures.
    void layout();

    // Index of the packet holding decoded frame `frame` (0 <= frame < frames).
    std::size_t packetAt(std::int64_t frame) const;
};

// Fills `out` from a file image. false when the image is not plain MPEG audio from its
// first byte after the ID3v2 tags, or holds anything the walk cannot predict exactly
// (free-format bit rates, a change of layer, rate or channel count): such files are decoded
// whole. A last frame cut short is counted whole; partialTail tells the caller to check.
bool walkMpegFrames(const std::uint8_t* data, std::size_t size, MpegIndex& out);

}  // namespace sound
