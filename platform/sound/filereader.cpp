// A decoder outside the graph, read by the one worker that owns it.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/sound/decoder.h"
#include "platform/sound/errorstate.h"
#include "platform/sound/sound.h"

namespace sound {

struct FileReader::Impl {
    std::unique_ptr<Decoder> decoder;
    std::vector<float> block = std::vector<float>(std::size_t(Stream::kMaxBlock) * 2);
};

FileReader::FileReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

FileReader::~FileReader() = default;

std::unique_ptr<FileReader> FileReader::open(const std::string& path, const OpenOptions& options)
{
    if (path.empty()) { setError(Error::FileOpen); return nullptr; }
    Error err = Error::Ok;
    OpenOptions o = options;
    o.flags |= Decode;
    std::unique_ptr<Decoder> d(Decoder::open(path, nullptr, 0, o, err));
    if (!d) { setError(err == Error::Ok ? Error::FileOpen : err); return nullptr; }
    auto impl = std::make_unique<Impl>();
    impl->decoder = std::move(d);
    setError(Error::Ok);
    return std::unique_ptr<FileReader>(new FileReader(std::move(impl)));
}

std::int64_t FileReader::lengthBytes() const { return impl_->decoder->lengthFrames() * 4; }

int FileReader::rate() const { return impl_->decoder->rate; }

int FileReader::fileChannels() const { return impl_->decoder->fileChannels; }

int FileReader::read(void* buffer, int bytes)
{
    if (!buffer || bytes < 0) { setError(Error::Param); return -1; }
    auto* out = static_cast<std::int16_t*>(buffer);
    const int frames = bytes / 4;
    int done = 0;
    while (done < frames) {
        const int k = std::min(frames - done, Stream::kMaxBlock);
        const int got = impl_->decoder->read(impl_->block.data(), k);
        if (got <= 0) break;
        for (int i = 0; i < 2 * got; ++i) {
            const float x = std::nearbyint(impl_->block[std::size_t(i)] * 32768.0f);
            out[2 * done + i] = std::int16_t(std::clamp(x, -32768.0f, 32767.0f));
        }
        done += got;
        if (got < k) break;
    }
    setError(Error::Ok);
    return done * 4;
}

}  // namespace sound
