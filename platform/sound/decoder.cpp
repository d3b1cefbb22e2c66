#include "decoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace sound {

namespace {

// A file image read by FFmpeg through its I/O callbacks.
struct MemoryReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;

    static int read(void* opaque, std::uint8_t* buf, int n)
    {
        auto* m = static_cast<MemoryReader*>(opaque);
        std::size_t left = m->size - m->pos;
        if (left == 0)
            return AVERROR_EOF;
        std::size_t k = std::min<std::size_t>(left, std::size_t(n));
        std::memcpy(buf, m->data + m->pos, k);
        m->pos += k;
        return int(k);
    }
    static std::int64_t seek(void* opaque, std::int64_t off, int whence)
    {
        auto* m = static_cast<MemoryReader*>(opaque);
        whence &= ~AVSEEK_FORCE;
        if (whence == AVSEEK_SIZE)
            return std::int64_t(m->size);
        std::int64_t base = whence == SEEK_CUR ? std::int64_t(m->pos) : whence == SEEK_END ? std::int64_t(m->size) : 0;
        std::int64_t p = base + off;
        if (p < 0 || p > std::int64_t(m->size))
            return -1;
        m->pos = std::size_t(p);
        return p;
    }
};

struct Ffmpeg {
    AVFormatContext* fmt = nullptr;
    AVIOContext* io = nullptr;
    AVCodecContext* ctx = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* pkt = nullptr;
    AVFrame* frame = nullptr;
    MemoryReader mem{nullptr, 0};

    ~Ffmpeg()
    {
        swr_free(&swr);
        av_frame_free(&frame);
        av_packet_free(&pkt);
        avcodec_free_context(&ctx);
        avformat_close_input(&fmt);
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }
};

// Converts decoded frames to 16-bit stereo at the rate of the first frame.
class Converter {
public:
    bool push(Ffmpeg& f, const AVFrame* fr, std::vector<std::int16_t>& out, std::uint64_t maxFrames, Error& err)
    {
        if (fr->nb_samples <= 0 || fr->sample_rate <= 0 || fr->ch_layout.nb_channels <= 0)
            return true;
        if (rate_ == 0)
            rate_ = fr->sample_rate;
        if (!f.swr || fr->format != inFormat_ || fr->sample_rate != inRate_ ||
            av_channel_layout_compare(&fr->ch_layout, &inLayout_) != 0) {
            if (!configure(f, fr)) {
                err = Error::Format;
                return false;
            }
        }
        int outMax = int(swr_get_out_samples(f.swr, fr->nb_samples));
        if (outMax <= 0)
            return true;
        if (!append(f, const_cast<const std::uint8_t**>(fr->extended_data), fr->nb_samples, outMax, out, maxFrames, err))
            return false;
        return true;
    }

    bool flush(Ffmpeg& f, std::vector<std::int16_t>& out, std::uint64_t maxFrames, Error& err)
    {
        if (!f.swr || inRate_ == rate_)
            return true;
        int outMax = int(swr_get_out_samples(f.swr, 0));
        if (outMax <= 0)
            return true;
        return append(f, nullptr, 0, outMax, out, maxFrames, err);
    }

    int rate() const { return rate_; }
    int channels() const { return fileChannels_; }

    ~Converter() { av_channel_layout_uninit(&inLayout_); }

private:
    bool configure(Ffmpeg& f, const AVFrame* fr)
    {
        swr_free(&f.swr);
        av_channel_layout_uninit(&inLayout_);
        if (av_channel_layout_copy(&inLayout_, &fr->ch_layout) < 0)
            return false;
        inFormat_ = fr->format;
        inRate_ = fr->sample_rate;
        if (fileChannels_ == 0)
            fileChannels_ = fr->ch_layout.nb_channels;
        mono_ = fr->ch_layout.nb_channels == 1;
        AVChannelLayout outLayout{};
        if (mono_)
            av_channel_layout_copy(&outLayout, &fr->ch_layout);
        else
            av_channel_layout_default(&outLayout, 2);
        AVChannelLayout inLayout{};
        av_channel_layout_copy(&inLayout, &fr->ch_layout);
        if (inLayout.order == AV_CHANNEL_ORDER_UNSPEC && inLayout.nb_channels > 0) {
            int n = inLayout.nb_channels;
            av_channel_layout_uninit(&inLayout);
            av_channel_layout_default(&inLayout, n);
        }
        int r = swr_alloc_set_opts2(&f.swr, &outLayout, AV_SAMPLE_FMT_S16, rate_, &inLayout,
                                    AVSampleFormat(fr->format), fr->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&outLayout);
        av_channel_layout_uninit(&inLayout);
        if (r < 0 || swr_init(f.swr) < 0) {
            swr_free(&f.swr);
            return false;
        }
        return true;
    }

    bool append(Ffmpeg& f, const std::uint8_t** in, int inCount, int outMax, std::vector<std::int16_t>& out,
                std::uint64_t maxFrames, Error& err)
    {
        std::size_t have = out.size() / 2;
        if (have + std::size_t(outMax) > maxFrames + 4096) {
            // a frame whose rate differs wildly from the first can ask for an absurd amount
            err = Error::TooLarge;
            return false;
        }
        const int outCh = mono_ ? 1 : 2;
        scratch_.resize(std::size_t(outMax) * std::size_t(outCh));
        std::uint8_t* dst = reinterpret_cast<std::uint8_t*>(scratch_.data());
        int got = swr_convert(f.swr, &dst, outMax, in, inCount);
        if (got < 0) {
            err = Error::Format;
            return false;
        }
        if (have + std::size_t(got) > maxFrames) {
            err = Error::TooLarge;
            return false;
        }
        std::size_t base = out.size();
        out.resize(base + std::size_t(got) * 2);
        std::int16_t* o = out.data() + base;
        if (mono_) {
            for (int i = 0; i < got; ++i)
                o[2 * i] = o[2 * i + 1] = scratch_[std::size_t(i)];
        } else {
            std::memcpy(o, scratch_.data(), std::size_t(got) * 4);
        }
        return true;
    }

    int rate_ = 0;
    int inRate_ = 0;
    int inFormat_ = -1;
    int fileChannels_ = 0;
    bool mono_ = false;
    AVChannelLayout inLayout_{};
    std::vector<std::int16_t> scratch_;
};

}  // namespace

Decoder* Decoder::open(const std::string& path, const void* data, std::size_t size, const OpenOptions& options,
                       Error& err)
{
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
    Ffmpeg f;
    f.fmt = avformat_alloc_context();
    if (!f.fmt) { err = Error::Memory; return nullptr; }
    std::int64_t fileSize = 0;
    if (data) {
        if (size == 0) { err = Error::Format; return nullptr; }
        f.mem = MemoryReader{static_cast<const std::uint8_t*>(data), size};
        auto* buf = static_cast<std::uint8_t*>(av_malloc(32768));
        f.io = avio_alloc_context(buf, 32768, 0, &f.mem, &MemoryReader::read, nullptr, &MemoryReader::seek);
        if (!f.io) { av_free(buf); err = Error::Memory; return nullptr; }
        f.fmt->pb = f.io;
        f.fmt->flags |= AVFMT_FLAG_CUSTOM_IO;
        fileSize = std::int64_t(size);
    }
    // only plain files and memory, and only audio containers: no protocols, no playlists
    // (hls, concat, ...) reaching out to other files
    AVDictionary* opts = nullptr;
    av_dict_set(&opts, "protocol_whitelist", "file", 0);
    av_dict_set(&opts, "format_whitelist", kAudioContainers, 0);
    const char* url = data ? "" : path.c_str();
    int r = avformat_open_input(&f.fmt, url, nullptr, &opts);
    av_dict_free(&opts);
    if (r < 0) {
        err = (r == AVERROR(ENOENT) || r == AVERROR(EACCES) || r == AVERROR(EISDIR)) ? Error::FileOpen : Error::Format;
        return nullptr;
    }
    // demuxers that open files of their own (image sequences, playlists) are not audio files
    if (!f.fmt->pb || (f.fmt->iformat->flags & AVFMT_NOFILE)) { err = Error::Format; return nullptr; }
    if (!data)
        fileSize = avio_size(f.fmt->pb);
    if (avformat_find_stream_info(f.fmt, nullptr) < 0) { err = Error::Format; return nullptr; }
    const AVCodec* codec = nullptr;
    int idx = av_find_best_stream(f.fmt, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (idx < 0 || !codec) { err = Error::Format; return nullptr; }
    AVStream* st = f.fmt->streams[idx];
    for (unsigned i = 0; i < f.fmt->nb_streams; ++i)
        if (int(i) != idx)
            f.fmt->streams[i]->discard = AVDISCARD_ALL;
    f.ctx = avcodec_alloc_context3(codec);
    if (!f.ctx || avcodec_parameters_to_context(f.ctx, st->codecpar) < 0) { err = Error::Format; return nullptr; }
    f.ctx->pkt_timebase = st->time_base;
    f.ctx->thread_count = 1;
    if (avcodec_open2(f.ctx, codec, nullptr) < 0) { err = Error::Format; return nullptr; }
    f.pkt = av_packet_alloc();
    f.frame = av_frame_alloc();
    if (!f.pkt || !f.frame) { err = Error::Memory; return nullptr; }

    const std::uint64_t maxFrames = options.maxBytes / 4;
    std::vector<std::int16_t> pcm;
    {
        // reserve what the container announces, but never trust it beyond a sane bound
        double secs = f.fmt->duration > 0 ? double(f.fmt->duration) / AV_TIME_BASE : 0;
        int rate = st->codecpar->sample_rate > 0 ? st->codecpar->sample_rate : 44100;
        double est = secs * rate * 1.01 + 8192;
        double bound = std::min<double>(double(maxFrames), 1e6 + double(fileSize) * 64.0);
        if (est > 0 && est < bound)
            pcm.reserve(std::size_t(est) * 2);
    }
    Converter conv;
    auto drain = [&]() -> bool {
        for (;;) {
            int rr = avcodec_receive_frame(f.ctx, f.frame);
            if (rr == AVERROR(EAGAIN) || rr == AVERROR_EOF)
                return true;
            if (rr < 0)
                return true;  // a damaged frame: skip it, as a linear decode would
            bool ok = conv.push(f, f.frame, pcm, maxFrames, err);
            av_frame_unref(f.frame);
            if (!ok)
                return false;
        }
    };
    int badReads = 0;
    for (;;) {
        r = av_read_frame(f.fmt, f.pkt);
        if (r == AVERROR_EOF || (r < 0 && avio_feof(f.fmt->pb)))
            break;
        if (r < 0) {
            if (++badReads < 64)
                continue;
            break;
        }
        if (f.pkt->stream_index == idx) {
            int s = avcodec_send_packet(f.ctx, f.pkt);
            av_packet_unref(f.pkt);
            if (s == AVERROR(EAGAIN)) {
                // cannot happen with our draining, but keep the packet flow safe
            }
            if (!drain())
                return nullptr;
        } else {
            av_packet_unref(f.pkt);
        }
    }
    avcodec_send_packet(f.ctx, nullptr);
    if (!drain() || !conv.flush(f, pcm, maxFrames, err))
        return nullptr;
    if (pcm.empty() || conv.rate() <= 0) {
        err = Error::Format;
        return nullptr;
    }
    if (pcm.capacity() > pcm.size() + pcm.size() / 100 + 4096)
        pcm.shrink_to_fit();
    auto* d = new Decoder(conv.rate(), options.flags | Decode);
    d->pcm_ = std::move(pcm);
    d->frames_ = std::int64_t(d->pcm_.size() / 2);
    d->fileChannels = conv.channels();
    d->codec = codec->name ? codec->name : "";
    err = Error::Ok;
    return d;
}

bool Decoder::seekFrames(std::int64_t frame)
{
    if (frame < 0 || frame > frames_)
        return false;
    pos_ = frame;
    return true;
}

int Decoder::produce(float* out, int n)
{
    if (pos_ >= frames_ && (flags & Loop) && frames_ > 0)
        pos_ = 0;
    std::int64_t k = std::min<std::int64_t>(n, frames_ - pos_);
    if (k <= 0)
        return 0;
    const std::int16_t* src = pcm_.data() + pos_ * 2;
    constexpr float scale = 1.0f / 32768.0f;
    for (std::int64_t i = 0; i < k * 2; ++i)
        out[i] = float(src[i]) * scale;
    pos_ += k;
    return int(k);
}

}  // namespace sound
