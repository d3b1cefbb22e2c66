// Reading a file without decoding: MPEG audio by the frame walk (its exact decoded length);
// other files by demuxing, with the length their packets announce less the encoder delay and
// padding the container states.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "platform/sound/decoder.h"
#include "platform/sound/errorstate.h"
#include "platform/sound/mpegframewalker.h"
#include "platform/sound/sound.h"

namespace sound {

namespace {

bool walkFile(const std::string& path, ScanResult& out)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    void* map = MAP_FAILED;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        map = ::mmap(nullptr, std::size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED)
        return false;
    ::madvise(map, std::size_t(st.st_size), MADV_SEQUENTIAL);
    MpegIndex index;
    bool ok = walkMpegFrames(static_cast<const std::uint8_t*>(map), std::size_t(st.st_size), index);
    ::munmap(map, std::size_t(st.st_size));
    if (!ok || index.partialTail)
        return false;  // a last frame cut short: its length needs a decode
    out.rate = index.rate;
    out.channels = index.channels;
    out.frames = index.frames;
    out.packets = std::int64_t(index.packets.size());
    return true;
}

}  // namespace

bool prescanFile(const std::string& path, ScanResult& out)
{
    out = ScanResult{};
    if (walkFile(path, out)) {
        setError(Error::Ok);
        return true;
    }
    out = ScanResult{};
    AVFormatContext* fmt = nullptr;
    AVDictionary* opts = nullptr;
    av_dict_set(&opts, "protocol_whitelist", "file", 0);
    av_dict_set(&opts, "format_whitelist", kAudioContainers, 0);
    int r = avformat_open_input(&fmt, path.c_str(), nullptr, &opts);
    av_dict_free(&opts);
    if (r < 0)
        return fail(r == AVERROR(ENOENT) ? Error::FileOpen : Error::Format, false);
    struct Closer {
        AVFormatContext*& f;
        ~Closer() { avformat_close_input(&f); }
    } closer{fmt};
    if (fmt->nb_streams == 0 || fmt->streams[0]->codecpar->sample_rate <= 0)
        if (avformat_find_stream_info(fmt, nullptr) < 0)
            return fail(Error::Format, false);
    int idx = av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (idx < 0)
        return fail(Error::Format, false);
    AVStream* st = fmt->streams[idx];
    for (unsigned i = 0; i < fmt->nb_streams; ++i)
        if (int(i) != idx) fmt->streams[i]->discard = AVDISCARD_ALL;
    out.rate = st->codecpar->sample_rate;
    out.channels = st->codecpar->ch_layout.nb_channels;
    if (out.rate <= 0)
        return fail(Error::Format, false);
    AVPacket* pkt = av_packet_alloc();
    std::int64_t duration = 0, skip = 0;
    while (av_read_frame(fmt, pkt) >= 0) {
        if (pkt->stream_index == idx) {
            ++out.packets;
            if (pkt->duration > 0)
                duration += pkt->duration;
            std::size_t size = 0;
            const std::uint8_t* sd = av_packet_get_side_data(pkt, AV_PKT_DATA_SKIP_SAMPLES, &size);
            if (sd && size >= 8) {
                std::uint32_t a, b;
                std::memcpy(&a, sd, 4);
                std::memcpy(&b, sd + 4, 4);
                skip += std::int64_t(a) + std::int64_t(b);
            }
        }
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    std::int64_t frames = av_rescale_q(duration, st->time_base, AVRational{1, out.rate});
    out.frames = frames > skip ? frames - skip : 0;
    setError(Error::Ok);
    return out.packets > 0 ? true : fail(Error::Format, false);
}

}  // namespace sound
