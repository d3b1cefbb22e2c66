// Reads what a container says of its decoded length, without decoding: WAV and AIFF by their
// headers (capped by the bytes present), FLAC by STREAMINFO checked against its last frame,
// Ogg by its last granule, MP4/M4A by the sample tables and edit list, ADTS AAC by a walk over
// its frame headers and WMA by a walk over the ASF packets counting each superframe's frames
// (only WMA without the bit reservoir, where a superframe's count needs no decode).
//
// The file is untrusted: every read is bounded by the image, every count by the bytes that
// could hold it. A reader answers false whenever its answer might differ from what a whole
// decode gives (junk between frames, chained or multiplexed Ogg streams, several edits, ...);
// such files are decoded whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sound {

enum class Container { Unknown, Wav, Aiff, Flac, Ogg, Mp4, Adts, Asf };

struct ContainerLength {
    Container container = Container::Unknown;

    // Wav, Aiff: the samples lie in [dataOffset, dataEnd), dataEnd capped by the file.
    std::int64_t dataOffset = 0;
    std::int64_t dataEnd = 0;

    // Flac: samples from the first frame's start (flacFirst) to the end of the last whole
    // frame. A last frame cut short starts at partialOffset (-1: none; Adts too) and holds
    // partialSamples if it decodes.
    std::int64_t flacFirst = 0;
    std::int64_t flacSamples = 0;
    std::int64_t partialOffset = -1;
    std::int64_t partialSamples = 0;

    // Ogg: the end of the last page in samples of the output rate (Opus: less its pre-skip),
    // and the granule of the first page that ends a packet of audio.
    std::int64_t oggEnd = 0;
    std::int64_t oggFirstGranule = 0;
    std::uint32_t oggSerial = 0;
    bool opus = false;

    // Mp4: per audio track, its length in its media timescale (sample tables less the edit's
    // start).
    struct Track {
        std::uint32_t id = 0;
        std::int64_t timescale = 0;
        std::int64_t length = 0;
    };
    std::vector<Track> tracks;

    // Adts: whole frames, each of one raw data block; the samples per frame come from a
    // decode. A last frame cut short starts at partialOffset.
    std::int64_t adtsFrames = 0;

    // Asf: WMA frames the superframes hold (each of the codec's frame length).
    std::int64_t wmaFrames = 0;
    int wmaFrameLength = 0;
    int wmaStream = 0;
};

// Fills `out` from a file image. false: not a container read here, or one whose decoded
// length cannot be told without decoding.
bool readContainerLength(const std::uint8_t* data, std::size_t size, ContainerLength& out);

}  // namespace sound
