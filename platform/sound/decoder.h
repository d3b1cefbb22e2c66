// A file decoded by FFmpeg into 16-bit stereo at the file's rate, held whole in memory so
// that reads and seeks are copies and positions are exact.
//
// A file opens with its exact length known without decoding: MPEG audio by a walk over its
// frame headers, the other containers by what they state (containerlength.h). A background
// thread then fills the frames in chunks: MPEG audio and PCM the chunks ahead of the reader
// first, other codecs in order from the start. A real-time reader (renderingInRealTime)
// never waits and never touches the file: a frame not decoded yet reads as silence and the
// position still advances. Any other reader waits for the frames it reads. Files whose
// length cannot be told that way are decoded whole at open. The length never changes after
// open: a packet that fails to decode plays as silence of its length.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound/bigbuffer.h"
#include "platform/sound/containerlength.h"
#include "platform/sound/stream.h"

namespace sound {

// FFmpeg's names of the demuxers a file may go through: audio containers only, none of the
// playlist or script demuxers that open other files.
inline constexpr const char* kAudioContainers =
    "mp3,wav,w64,ogg,asf,flac,aiff,aac,mov,matroska,caf,au,wv,ape,tta,loas,mpc,mpc8,dsf,voc,amr";

struct Background;
class ChunkDecoder;

class Decoder : public Stream {
public:
    // Opens path (or the image data/size when data is not null). Runs without the graph
    // lock. Returns nullptr and sets err on failure.
    static Decoder* open(const std::string& path, const void* data, std::size_t size,
                         const OpenOptions& options, Error& err);
    ~Decoder() override;

    // Decodes the whole file at open, whatever its format: the reference the frame walk's
    // lengths and the background decode are held to.
    static Decoder* openWhole(const std::string& path, const void* data, std::size_t size,
                              const OpenOptions& options, Error& err);

    // For a reader that is not real-time: waits, with no lock held, until the decoders under
    // stream h have decoded what a read of `bytes` from their current positions needs.
    static void awaitAhead(Handle h, int bytes);

    std::int64_t positionFrames() const override { return pos_; }
    bool seekFrames(std::int64_t frame) override;
    std::int64_t lengthFrames() const override { return frames_; }

    // false: decoded whole at open
    bool decodesInBackground() const { return bg_ || seq_; }

    int fileChannels = 0;
    std::string codec;

protected:
    int produce(float* out, int n) override;
    bool atEnd() const override { return pos_ >= frames_; }

private:
    Decoder(int rate, unsigned flags);
    static Decoder* openMpeg(const std::string& path, const void* data, std::size_t size,
                             const OpenOptions& options, Error& err);
    static Decoder* openByContainer(const std::string& path, const void* data, std::size_t size,
                                    const OpenOptions& options, Error& err);
    bool startBackground(std::unique_ptr<ChunkDecoder> dec, Error& err);

    BigVector<std::int16_t> pcm_;            // interleaved stereo, whole-file decoders
    std::shared_ptr<Background> bg_;         // filled in the background
    std::unique_ptr<ChunkDecoder> seq_;      // MPEG audio or PCM decoded as it is read
    std::vector<std::int16_t> seqBlock_;
    std::int64_t frames_ = 0;
    std::int64_t pos_ = 0;
};

}  // namespace sound
