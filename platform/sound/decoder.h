// A file decoded whole by FFmpeg into 16-bit stereo at the file's rate. Reads and seeks are
// copies out of that buffer, so positions are exact and cost nothing on the mixing thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stream.h"

namespace sound {

// FFmpeg's names of the demuxers a file may go through: audio containers only, none of the
// playlist or script demuxers that open other files.
inline constexpr const char* kAudioContainers =
    "mp3,wav,w64,ogg,asf,flac,aiff,aac,mov,matroska,caf,au,wv,ape,tta,loas,mpc,mpc8,dsf,voc,amr";

class Decoder : public Stream {
public:
    // Decodes path (or the image data/size when data is not null). Runs without the graph
    // lock. Returns nullptr and sets err on failure.
    static Decoder* open(const std::string& path, const void* data, std::size_t size,
                         const OpenOptions& options, Error& err);

    std::int64_t positionFrames() const override { return pos_; }
    bool seekFrames(std::int64_t frame) override;
    std::int64_t lengthFrames() const override { return frames_; }

    int fileChannels = 0;
    std::string codec;

protected:
    int produce(float* out, int n) override;
    bool atEnd() const override { return pos_ >= frames_; }

private:
    Decoder(int rate, unsigned flags) : Stream(Kind::Decoder, rate, flags) {}
    std::vector<std::int16_t> pcm_;   // interleaved stereo
    std::int64_t frames_ = 0;
    std::int64_t pos_ = 0;
};

}  // namespace sound
