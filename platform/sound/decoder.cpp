#include "platform/sound/decoder.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/sound/graph.h"
#include "platform/sound/mixer.h"
#include "platform/sound/mpegframewalker.h"
#include "platform/sound/realtime.h"

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

    // Opens path, or the image data/size when data is not null. Only plain files and memory,
    // and only audio containers: no protocols, no playlists (hls, concat, ...) reaching out to
    // other files. Returns avformat_open_input's result.
    int open(const std::string& path, const void* data, std::size_t size)
    {
        fmt = avformat_alloc_context();
        if (!fmt) return AVERROR(ENOMEM);
        if (data) {
            mem = MemoryReader{static_cast<const std::uint8_t*>(data), size};
            auto* buf = static_cast<std::uint8_t*>(av_malloc(32768));
            io = avio_alloc_context(buf, 32768, 0, &mem, &MemoryReader::read, nullptr, &MemoryReader::seek);
            if (!io) {
                av_free(buf);
                return AVERROR(ENOMEM);
            }
            fmt->pb = io;
            fmt->flags |= AVFMT_FLAG_CUSTOM_IO;
        }
        AVDictionary* opts = nullptr;
        av_dict_set(&opts, "protocol_whitelist", "file", 0);
        av_dict_set(&opts, "format_whitelist", kAudioContainers, 0);
        const int r = avformat_open_input(&fmt, data ? "" : path.c_str(), nullptr, &opts);
        av_dict_free(&opts);
        return r;
    }

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
    template <class Samples>
    bool push(Ffmpeg& f, const AVFrame* fr, Samples& out, std::uint64_t maxFrames, Error& err)
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

    template <class Samples>
    bool flush(Ffmpeg& f, Samples& out, std::uint64_t maxFrames, Error& err)
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

    template <class Samples>
    bool append(Ffmpeg& f, const std::uint8_t** in, int inCount, int outMax, Samples& out,
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

Decoder* Decoder::openWhole(const std::string& path, const void* data, std::size_t size, const OpenOptions& options,
                            Error& err)
{
    Ffmpeg f;
    std::int64_t fileSize = 0;
    if (data) {
        if (size == 0) { err = Error::Format; return nullptr; }
        fileSize = std::int64_t(size);
    }
    int r = f.open(path, data, size);
    if (r == AVERROR(ENOMEM)) { err = Error::Memory; return nullptr; }
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
    BigVector<std::int16_t> pcm;
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


// ---- MPEG audio: packets read by offset, decoded one by one

namespace {

// Where the packets' bytes come from: the file (read by offset) or the copied image.
struct PacketSource {
    int fd = -1;
    std::vector<std::uint8_t> image;

    ~PacketSource()
    {
        if (fd >= 0)
            ::close(fd);
    }
    // Short reads (a file cut while open) leave zeros.
    void read(std::int64_t offset, std::uint8_t* dst, int size) const
    {
        std::memset(dst, 0, std::size_t(size));
        if (fd < 0) {
            if (offset >= 0 && std::size_t(offset) < image.size())
                std::memcpy(dst, image.data() + offset, std::min<std::size_t>(std::size_t(size), image.size() - std::size_t(offset)));
            return;
        }
        int done = 0;
        while (done < size) {
            ssize_t r = ::pread(fd, dst + done, std::size_t(size - done), offset + done);
            if (r <= 0)
                break;
            done += int(r);
        }
    }
};

AVCodecID codecForLayer(int layer)
{
    return layer == 1 ? AV_CODEC_ID_MP1 : layer == 2 ? AV_CODEC_ID_MP2 : AV_CODEC_ID_MP3;
}

}  // namespace

// Decodes ranges of an indexed MPEG file. A range that does not continue the last one
// starts a few packets early so the decoder's state (bit reservoir, overlap, filter bank)
// is what a linear decode would have at its first packet; a decoder whose state never
// settles that way starts again from the first packet.
class PacketDecoder {
public:
    static constexpr int kWarmUp = 40;

    PacketDecoder(std::shared_ptr<const MpegIndex> index, std::shared_ptr<const PacketSource> src)
        : index_(std::move(index)), src_(std::move(src)) {}

    bool init()
    {
        const AVCodec* c = avcodec_find_decoder(codecForLayer(index_->layer));
        if (!c) return false;
        name = c->name ? c->name : "";
        // the fixed-point decoders carry a rounding remainder from the file's start on
        exactRestart_ = name.find("float") != std::string::npos;
        f_.ctx = avcodec_alloc_context3(c);
        f_.pkt = av_packet_alloc();
        f_.frame = av_frame_alloc();
        if (!f_.ctx || !f_.pkt || !f_.frame) return false;
        f_.ctx->thread_count = 1;
        return avcodec_open2(f_.ctx, c, nullptr) >= 0;
    }

    // Decoded frames [from, to) into dst (interleaved stereo). false when stop() said so.
    bool render(std::int64_t from, std::int64_t to, std::int16_t* dst, const std::function<bool()>& stop)
    {
        const MpegIndex& ix = *index_;
        std::size_t p = ix.packetAt(from);
        while (from < to) {
            if (std::int64_t(p) != cached_) {
                if (stop && stop()) return false;
                if (std::int64_t(p) != next_ && !restartAt(p, stop))
                    return false;
                decode(p, true);
                next_ = std::int64_t(p) + 1;
                cached_ = std::int64_t(p);
            }
            const MpegPacket& pk = ix.packets[p];
            std::int64_t a = std::max(from, pk.outStart), b = std::min(to, pk.outStart + pk.outLen);
            if (b > a) {
                std::memcpy(dst, cache_.data() + (a - pk.outStart) * 2, std::size_t(b - a) * 4);
                dst += (b - a) * 2;
                from = b;
            }
            if (++p >= ix.packets.size()) break;
        }
        if (from < to)
            std::memset(dst, 0, std::size_t(to - from) * 4);
        return true;
    }

    std::string name;
    bool exactRestart() const { return exactRestart_; }

    // Decoded samples packet p gives, before any trimming.
    std::size_t samplesOf(std::size_t p)
    {
        restartAt(p, {});
        decode(p, false);
        next_ = cached_ = -1;
        return raw_.size() / 2;
    }

private:
    bool restartAt(std::size_t p, const std::function<bool()>& stop)
    {
        avcodec_flush_buffers(f_.ctx);
        next_ = cached_ = -1;
        for (std::size_t q = p > kWarmUp && exactRestart_ ? p - kWarmUp : 0; q < p; ++q) {
            if (stop && (q & 63) == 63 && stop())
                return false;
            decode(q, false);
        }
        return true;
    }

    void decode(std::size_t i, bool keep)
    {
        const MpegPacket& pk = index_->packets[i];
        raw_.clear();
        if (!pk.dropped && av_new_packet(f_.pkt, pk.size) >= 0) {
            src_->read(pk.offset, f_.pkt->data, pk.size);
            if (avcodec_send_packet(f_.ctx, f_.pkt) >= 0) {
                Error err = Error::Ok;
                while (avcodec_receive_frame(f_.ctx, f_.frame) >= 0) {
                    conv_.push(f_, f_.frame, raw_, ~0ull >> 8, err);
                    av_frame_unref(f_.frame);
                }
            }
            av_packet_unref(f_.pkt);
        }
        if (!keep)
            return;
        cache_.assign(std::size_t(pk.outLen) * 2, 0);
        std::size_t from = std::size_t(pk.trimFront) * 2;
        if (raw_.size() > from)
            std::memcpy(cache_.data(), raw_.data() + from, std::min(cache_.size(), raw_.size() - from) * 2);
    }

    std::shared_ptr<const MpegIndex> index_;
    std::shared_ptr<const PacketSource> src_;
    Ffmpeg f_;
    Converter conv_;
    std::vector<std::int16_t> raw_, cache_;
    std::int64_t next_ = -1, cached_ = -1;
    bool exactRestart_ = true;
};

// The whole decoded file, filled chunk by chunk by a thread of its own. A chunk is written
// only while it is not ready; once ready it is never written again, so readers copy it
// without a lock.
struct Background {
    static constexpr int kChunkShift = 16;  // 65536 frames, about 1.5 s

    std::int64_t frames = 0;
    std::int64_t chunks = 0;
    BigArray<std::int16_t> pcm;
    std::unique_ptr<std::atomic<bool>[]> ready;
    std::atomic<std::int64_t> want{0};
    std::atomic<std::uint32_t> wake{0};      // bumped on each request the thread must see
    std::atomic<bool> quit{false};
    std::mutex m;
    std::condition_variable done;            // a chunk became ready
    std::thread thread;

    static std::int64_t chunkOf(std::int64_t frame) { return frame >> kChunkShift; }
    bool isReady(std::int64_t c) const { return ready[c].load(std::memory_order_acquire); }

    // Any thread, real-time ones included: no lock, no allocation.
    void request(std::int64_t frame)
    {
        frame = std::clamp<std::int64_t>(frame, 0, frames - 1);
        std::int64_t c = chunkOf(frame);
        if (isReady(c) && wake.load(std::memory_order_relaxed) != 0)
            return;
        want.store(frame, std::memory_order_relaxed);
        wake.fetch_add(1, std::memory_order_release);
        wake.notify_one();
    }

    void waitFor(std::int64_t from, std::int64_t to)
    {
        from = std::max<std::int64_t>(from, 0);
        to = std::min(to, frames);
        if (from >= to) return;
        request(from);
        for (std::int64_t c = chunkOf(from); c <= chunkOf(to - 1); ++c) {
            if (isReady(c)) continue;
            std::unique_lock<std::mutex> l(m);
            done.wait(l, [&] { return isReady(c) || quit.load(); });
        }
    }

    void stop()
    {
        quit = true;
        wake.fetch_add(1);
        wake.notify_all();
        {
            std::lock_guard<std::mutex> l(m);
        }
        done.notify_all();
        if (thread.joinable())
            thread.join();
    }

    void run(std::unique_ptr<PacketDecoder> dec)
    {
        wake.wait(0);
        for (;;) {
            if (quit) return;
            // a decoder that cannot start again mid-file goes through it once, in order
            const bool linear = !dec->exactRestart();
            std::int64_t w = linear ? 0 : chunkOf(want.load(std::memory_order_relaxed));
            // the first chunk left from the reader's position on, then from the start
            std::int64_t next = -1;
            for (std::int64_t k = 0; k < chunks && next < 0; ++k)
                if (!isReady((w + k) % chunks)) next = (w + k) % chunks;
            if (next < 0) return;
            const std::int64_t c = next;
            const std::int64_t a = c << kChunkShift, b = std::min(frames, (c + 1) << kChunkShift);
            auto stop = [&] {
                if (quit) return true;
                if (linear) return false;
                std::int64_t ww = chunkOf(want.load(std::memory_order_relaxed));
                return ww != c && !isReady(ww);
            };
            if (!dec->render(a, b, pcm.get() + a * 2, stop))
                continue;
            ready[c].store(true, std::memory_order_release);
            {
                std::lock_guard<std::mutex> l(m);
            }
            done.notify_all();
        }
    }
};

Decoder::Decoder(int rate, unsigned flags) : Stream(Kind::Decoder, rate, flags) {}

Decoder::~Decoder()
{
    if (bg_)
        bg_->stop();
}

Decoder* Decoder::open(const std::string& path, const void* data, std::size_t size, const OpenOptions& options,
                       Error& err)
{
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
    if (Decoder* d = openMpeg(path, data, size, options, err))
        return d;
    if (err != Error::Ok)
        return nullptr;
    return openWhole(path, data, size, options, err);
}

// nullptr with err Ok: not a file for the frame walk, open it whole.
Decoder* Decoder::openMpeg(const std::string& path, const void* data, std::size_t size, const OpenOptions& options,
                           Error& err)
{
    err = Error::Ok;
    auto src = std::make_shared<PacketSource>();
    auto index = std::make_shared<MpegIndex>();
    if (data) {
        if (!walkMpegFrames(static_cast<const std::uint8_t*>(data), size, *index))
            return nullptr;
        src->image.assign(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
    } else {
        src->fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (src->fd < 0 || ::fstat(src->fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0)
            return nullptr;  // the whole-file path reports why
        void* map = ::mmap(nullptr, std::size_t(st.st_size), PROT_READ, MAP_PRIVATE, src->fd, 0);
        if (map == MAP_FAILED)
            return nullptr;
        ::madvise(map, std::size_t(st.st_size), MADV_SEQUENTIAL);
        bool ok = walkMpegFrames(static_cast<const std::uint8_t*>(map), std::size_t(st.st_size), *index);
        ::munmap(map, std::size_t(st.st_size));
        if (!ok)
            return nullptr;
    }
    // only when FFmpeg itself would read the file as MPEG audio
    {
        Ffmpeg f;
        const int r = f.open(path, data, size);
        if (r == AVERROR(ENOMEM)) { err = Error::Memory; return nullptr; }
        if (r < 0 || std::strcmp(f.fmt->iformat->name, "mp3") != 0)
            return nullptr;
    }
    if (std::uint64_t(index->frames) > options.maxBytes / 4) {
        err = Error::TooLarge;
        return nullptr;
    }
    auto dec = std::make_unique<PacketDecoder>(index, src);
    if (!dec->init())
        return nullptr;
    if (index->partialTail && !index->packets.back().dropped) {
        // a last frame cut short gives a whole frame or nothing, as its decode says
        const std::size_t n = dec->samplesOf(index->packets.size() - 1);
        if (n == 0) {
            index->packets.back().dropped = true;
            index->layout();
        } else if (n != std::size_t(index->samplesPerFrame)) {
            return nullptr;
        }
        if (index->frames <= 0)
            return nullptr;
    }
    auto* d = new Decoder(index->rate, options.flags | Decode);
    d->frames_ = index->frames;
    d->fileChannels = index->channels;
    d->codec = dec->name;
    if (options.sequential) {
        d->seq_ = std::move(dec);
        d->seqBlock_.assign(std::size_t(kMaxBlock) * 2, 0);
        return d;
    }
    auto bg = std::make_shared<Background>();
    bg->frames = index->frames;
    bg->chunks = Background::chunkOf(index->frames - 1) + 1;
    // not touched until decoded: the pages come as the chunks are written
    bg->pcm = BigArray<std::int16_t>(std::size_t(index->frames) * 2);
    bg->ready.reset(new (std::nothrow) std::atomic<bool>[std::size_t(bg->chunks)]);
    if (!bg->pcm || !bg->ready) {
        delete d;
        err = Error::Memory;
        return nullptr;
    }
    for (std::int64_t c = 0; c < bg->chunks; ++c)
        bg->ready[c].store(false, std::memory_order_relaxed);
    Background* raw = bg.get();
    bg->thread = std::thread([raw, p = dec.release()] { raw->run(std::unique_ptr<PacketDecoder>(p)); });
    d->bg_ = std::move(bg);
    return d;
}

void Decoder::awaitAhead(Handle h, int bytes)
{
    struct Wait {
        std::shared_ptr<Background> bg;
        std::int64_t from, to;
    };
    std::vector<Wait> waits;
    {
        GraphLock l(Graph::instance().mutex);
        auto* top = dynamic_cast<Stream*>(Graph::instance().find(h));
        if (!top) return;
        const std::int64_t need = std::int64_t(std::max(bytes, 0) / 4) * 2 + 8192;
        std::function<void(Stream*, int, int)> walk = [&](Stream* s, int dir, int depth) {
            if (!s || depth > 8) return;
            if (s->kind == Kind::Decoder) {
                auto* d = static_cast<Decoder*>(s);
                if (d->bg_) {
                    std::int64_t p = d->pos_ >= d->frames_ && (d->flags & Loop) ? 0 : d->pos_;
                    waits.push_back(dir >= 0 ? Wait{d->bg_, p, p + need} : Wait{d->bg_, p - need, p});
                }
            } else if (s->kind == Kind::Mixer) {
                for (Stream* src : static_cast<Mixer*>(s)->sources())
                    walk(src, 1, depth + 1);
            } else if (s->source) {
                walk(s->source, s->kind == Kind::Reverse ? s->direction() : dir, depth + 1);
            }
        };
        walk(top, 1, 0);
    }
    for (Wait& w : waits)
        w.bg->waitFor(w.from, w.to);
}

bool Decoder::seekFrames(std::int64_t frame)
{
    if (frame < 0 || frame > frames_)
        return false;
    pos_ = frame;
    if (bg_ && frame < frames_)
        bg_->request(frame);
    return true;
}

int Decoder::produce(float* out, int n)
{
    if (pos_ >= frames_ && (flags & Loop) && frames_ > 0)
        pos_ = 0;
    std::int64_t k = std::min<std::int64_t>(n, frames_ - pos_);
    if (k <= 0)
        return 0;
    constexpr float scale = 1.0f / 32768.0f;
    if (bg_) {
        Background& b = *bg_;
        if (!renderingInRealTime)
            b.waitFor(pos_, pos_ + k);  // rare: getData waits ahead of the read, with no lock held
        else
            b.request(pos_);
        std::int64_t done = 0;
        while (done < k) {
            std::int64_t at = pos_ + done, c = Background::chunkOf(at);
            std::int64_t m = std::min(k - done, ((c + 1) << Background::kChunkShift) - at);
            float* o = out + done * 2;
            if (b.isReady(c)) {
                const std::int16_t* src = b.pcm.get() + at * 2;
                for (std::int64_t i = 0; i < m * 2; ++i)
                    o[i] = float(src[i]) * scale;
            } else {
                std::fill(o, o + m * 2, 0.0f);
            }
            done += m;
        }
        pos_ += k;
        return int(k);
    }
    const std::int16_t* src = nullptr;
    if (seq_) {
        seq_->render(pos_, pos_ + k, seqBlock_.data(), {});
        src = seqBlock_.data();
    } else {
        src = pcm_.data() + pos_ * 2;
    }
    for (std::int64_t i = 0; i < k * 2; ++i)
        out[i] = float(src[i]) * scale;
    pos_ += k;
    return int(k);
}

}  // namespace sound
