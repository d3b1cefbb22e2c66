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

// Opens the file's demuxer and the decoder of its best audio stream, as every path here
// does. Returns the stream's index, or -1 with err set.
int openStream(Ffmpeg& f, const std::string& path, const void* data, std::size_t size, Error& err)
{
    if (data && size == 0) { err = Error::Format; return -1; }
    int r = f.open(path, data, size);
    if (r == AVERROR(ENOMEM)) { err = Error::Memory; return -1; }
    if (r < 0) {
        err = (r == AVERROR(ENOENT) || r == AVERROR(EACCES) || r == AVERROR(EISDIR)) ? Error::FileOpen : Error::Format;
        return -1;
    }
    // demuxers that open files of their own (image sequences, playlists) are not audio files
    if (!f.fmt->pb || (f.fmt->iformat->flags & AVFMT_NOFILE)) { err = Error::Format; return -1; }
    if (avformat_find_stream_info(f.fmt, nullptr) < 0) { err = Error::Format; return -1; }
    const AVCodec* codec = nullptr;
    int idx = av_find_best_stream(f.fmt, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (idx < 0 || !codec) { err = Error::Format; return -1; }
    AVStream* st = f.fmt->streams[idx];
    for (unsigned i = 0; i < f.fmt->nb_streams; ++i)
        if (int(i) != idx)
            f.fmt->streams[i]->discard = AVDISCARD_ALL;
    f.ctx = avcodec_alloc_context3(codec);
    if (!f.ctx || avcodec_parameters_to_context(f.ctx, st->codecpar) < 0) { err = Error::Format; return -1; }
    f.ctx->pkt_timebase = st->time_base;
    f.ctx->thread_count = 1;
    if (avcodec_open2(f.ctx, codec, nullptr) < 0) { err = Error::Format; return -1; }
    f.pkt = av_packet_alloc();
    f.frame = av_frame_alloc();
    if (!f.pkt || !f.frame) { err = Error::Memory; return -1; }
    return idx;
}

bool isMov(const Ffmpeg& f) { return std::strncmp(f.fmt->iformat->name, "mov,", 4) == 0; }

// The start skip a packet carries (encoder delay), in decoded samples.
std::int64_t skipOf(const AVPacket* pkt)
{
    std::size_t size = 0;
    const std::uint8_t* sd = av_packet_get_side_data(pkt, AV_PKT_DATA_SKIP_SAMPLES, &size);
    if (!sd || size < 4)
        return 0;
    std::uint32_t a;
    std::memcpy(&a, sd, 4);
    return std::int64_t(a);
}

}  // namespace

Decoder* Decoder::openWhole(const std::string& path, const void* data, std::size_t size, const OpenOptions& options,
                            Error& err)
{
    forbidOnAudioThread("opening a file");
    Ffmpeg f;
    const int idx = openStream(f, path, data, size, err);
    if (idx < 0)
        return nullptr;
    const std::int64_t fileSize = data ? std::int64_t(size) : avio_size(f.fmt->pb);
    AVStream* st = f.fmt->streams[idx];
    const AVCodec* codec = f.ctx->codec;

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
    std::int64_t durations = 0, skip = 0;
    for (;;) {
        int r = av_read_frame(f.fmt, f.pkt);
        if (r == AVERROR_EOF || (r < 0 && avio_feof(f.fmt->pb)))
            break;
        if (r < 0) {
            if (++badReads < 64)
                continue;
            break;
        }
        if (f.pkt->stream_index == idx) {
            durations += std::max<std::int64_t>(f.pkt->duration, 0);
            skip += skipOf(f.pkt);
            avcodec_send_packet(f.ctx, f.pkt);
            av_packet_unref(f.pkt);
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
    if (isMov(f) && durations > 0) {
        // the sample tables end the last packet where the encoder's padding begins; FFmpeg
        // decodes it whole
        const std::int64_t end = av_rescale_q(durations, st->time_base, AVRational{1, conv.rate()}) - skip;
        if (end > 0 && std::size_t(end) * 2 < pcm.size())
            pcm.resize(std::size_t(end) * 2);
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

// Fills ranges of decoded frames for the background thread or a sequential reader.
class ChunkDecoder {
public:
    virtual ~ChunkDecoder() = default;
    // Decoded frames [from, to) into dst (interleaved stereo). false when stop() said so.
    virtual bool render(std::int64_t from, std::int64_t to, std::int16_t* dst, const std::function<bool()>& stop) = 0;
    // true: a range may start anywhere; false: ranges come in order from the start.
    virtual bool exactRestart() const = 0;
};

namespace {

// Decodes ranges of a file indexed by packets (MPEG frames, blocks of PCM). A range that
// does not continue the last one starts a few packets early so the decoder's state (bit
// reservoir, overlap, filter bank) is what a linear decode would have at its first packet; a
// decoder whose state never settles that way starts again from the first packet.
class PacketDecoder : public ChunkDecoder {
public:
    PacketDecoder(std::shared_ptr<const MpegIndex> index, std::shared_ptr<const PacketSource> src)
        : index_(std::move(index)), src_(std::move(src)) {}

    // MPEG audio of the index's layer; or, with par, the codec it names (PCM: no state, no
    // warm-up).
    bool init(const AVCodecParameters* par = nullptr)
    {
        const AVCodec* c = avcodec_find_decoder(par ? par->codec_id : codecForLayer(index_->layer));
        if (!c) return false;
        name = c->name ? c->name : "";
        // the fixed-point decoders carry a rounding remainder from the file's start on
        exactRestart_ = par || name.find("float") != std::string::npos;
        warmUp_ = par ? 0 : 40;
        f_.ctx = avcodec_alloc_context3(c);
        f_.pkt = av_packet_alloc();
        f_.frame = av_frame_alloc();
        if (!f_.ctx || !f_.pkt || !f_.frame) return false;
        if (par && avcodec_parameters_to_context(f_.ctx, par) < 0) return false;
        f_.ctx->thread_count = 1;
        return avcodec_open2(f_.ctx, c, nullptr) >= 0;
    }

    bool render(std::int64_t from, std::int64_t to, std::int16_t* dst, const std::function<bool()>& stop) override
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
    bool exactRestart() const override { return exactRestart_; }

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
        const std::size_t warm = std::size_t(warmUp_);
        for (std::size_t q = p > warm && exactRestart_ ? p - warm : 0; q < p; ++q) {
            if (stop && (q & 63) == 63 && stop())
                return false;
            decode(q, false);
        }
        return true;
    }

    // A packet that fails to decode keeps its place as silence.
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
    int warmUp_ = 40;
};

// Decodes a file through its demuxer, in order from the start, as the whole-file decoder
// does. A packet that fails to decode gives silence of its duration.
class DemuxDecoder : public ChunkDecoder {
public:
    // image: the bytes a memory image's demuxer reads, kept while it reads them
    DemuxDecoder(std::unique_ptr<Ffmpeg> f, int idx, std::shared_ptr<const std::vector<std::uint8_t>> image)
        : image_(std::move(image)), f_(std::move(f)), idx_(idx) {}

    // Decodes up to the first frame: rate(), channels() and firstPts are known after it.
    // false: nothing decodes.
    bool start()
    {
        while (pending_.empty() && !eof_)
            more();
        return conv_.rate() > 0 && !pending_.empty();
    }

    int rate() const { return conv_.rate(); }
    int channels() const { return conv_.channels(); }
    std::int64_t firstPts = AV_NOPTS_VALUE;  // in the stream's time base
    std::int64_t origin = 0;                 // the timestamp of the first frame given
    std::int64_t oggFirstGranule = 0;        // set before start() for Ogg streams
    std::int64_t firstFrameSamples = 0;
    const AVStream* stream() const { return f_->fmt->streams[idx_]; }
    const Ffmpeg& ffmpeg() const { return *f_; }

    bool render(std::int64_t from, std::int64_t to, std::int16_t* dst, const std::function<bool()>& stop) override
    {
        // ranges come in order; one that skips ahead drops what lies between, one that goes
        // back reads silence
        if (done_ > from)
            std::memset(dst, 0, std::size_t(std::min(done_, to) - from) * 4);
        while (done_ < to) {
            const std::int64_t have = std::int64_t(pending_.size() - used_) / 2;
            if (have == 0) {
                if (eof_) break;
                if (stop && stop()) return false;
                more();
                continue;
            }
            const std::int64_t a = std::max(done_, from), take = std::min(have, to - done_);
            if (done_ + take > a) {
                const std::int64_t skip = a - done_;
                std::memcpy(dst + (a - from) * 2, pending_.data() + used_ + std::size_t(skip) * 2,
                            std::size_t(take - skip) * 4);
            }
            used_ += std::size_t(take) * 2;
            done_ += take;
            if (used_ > (std::size_t(1) << 20)) {
                pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(used_));
                used_ = 0;
            }
        }
        const std::int64_t filled = std::max(done_, from);
        if (filled < to)
            std::memset(dst + (filled - from) * 2, 0, std::size_t(to - filled) * 4);
        done_ = std::max(done_, to);
        return true;
    }

    bool exactRestart() const override { return false; }

private:
    // Reads and decodes one packet, or flushes the decoder at the end.
    void more()
    {
        Ffmpeg& f = *f_;
        Error err = Error::Ok;
        const int r = av_read_frame(f.fmt, f.pkt);
        if (r == AVERROR_EOF || (r < 0 && (avio_feof(f.fmt->pb) || ++badReads_ >= 64))) {
            avcodec_send_packet(f.ctx, nullptr);
            drain(err);
            conv_.flush(f, pending_, kMaxFrames, err);
            eof_ = true;
            return;
        }
        if (r < 0)
            return;
        if (f.pkt->stream_index != idx_) {
            av_packet_unref(f.pkt);
            return;
        }
        if (firstPts == AV_NOPTS_VALUE && f.pkt->pts != AV_NOPTS_VALUE) {
            firstPts = f.pkt->pts;
            // an Ogg stream starts where its first packet does, unless the demuxer lost the
            // first page of audio
            if (oggFirstGranule > 0 && firstPts > 0 && firstPts < oggFirstGranule)
                origin = firstPts;
        }
        const std::int64_t duration = f.pkt->duration;
        const std::size_t before = pending_.size();
        const bool sent = avcodec_send_packet(f.ctx, f.pkt) >= 0;
        av_packet_unref(f.pkt);
        const bool decoded = drain(err) && sent;
        if (!decoded && pending_.size() == before && duration > 0 && conv_.rate() > 0) {
            const auto n = av_rescale_q(duration, stream()->time_base, AVRational{1, conv_.rate()});
            if (n > 0 && n < (std::int64_t(1) << 24))
                pending_.resize(pending_.size() + std::size_t(n) * 2, 0);
        }
        if (firstFrameSamples == 0 && pending_.size() > before)
            firstFrameSamples = std::int64_t(pending_.size() - before) / 2;
    }

    // false: the decoder reported a damaged frame
    bool drain(Error& err)
    {
        bool ok = true;
        for (;;) {
            const int rr = avcodec_receive_frame(f_->ctx, f_->frame);
            if (rr == AVERROR(EAGAIN) || rr == AVERROR_EOF)
                return ok;
            if (rr < 0) {
                ok = false;
                continue;
            }
            fillGap(f_->frame);
            if (!conv_.push(*f_, f_->frame, pending_, kMaxFrames, err))
                ok = false;
            av_frame_unref(f_->frame);
        }
    }

    // Packets the demuxer dropped (an Ogg page failing its checksum) leave a gap in the
    // timestamps: silence keeps what follows in its place. Only where timestamps count the
    // stream's own samples.
    void fillGap(const AVFrame* fr)
    {
        const AVRational tb = stream()->time_base;
        const std::int64_t ts = fr->best_effort_timestamp;
        if (ts == AV_NOPTS_VALUE || tb.num != 1 || tb.den != conv_.rate() || fr->sample_rate != conv_.rate())
            return;
        const std::int64_t at = origin + done_ + std::int64_t(pending_.size() - used_) / 2;
        if (ts > at && ts - at < (std::int64_t(1) << 24))
            pending_.resize(pending_.size() + std::size_t(ts - at) * 2, 0);
    }

    static constexpr std::uint64_t kMaxFrames = ~0ull >> 8;
    std::shared_ptr<const std::vector<std::uint8_t>> image_;
    std::unique_ptr<Ffmpeg> f_;
    int idx_;
    Converter conv_;
    std::vector<std::int16_t> pending_;
    std::size_t used_ = 0;
    std::int64_t done_ = 0;
    int badReads_ = 0;
    bool eof_ = false;
};

}  // namespace

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
        forbidOnAudioThread("waiting for a background decode");
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
        if (thread.joinable()) {
            forbidOnAudioThread("joining a thread");
            thread.join();
        }
    }

    void run(std::unique_ptr<ChunkDecoder> dec)
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
    forbidOnAudioThread("opening a file");
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
    if (Decoder* d = openMpeg(path, data, size, options, err))
        return d;
    if (err != Error::Ok)
        return nullptr;
    if (Decoder* d = openByContainer(path, data, size, options, err))
        return d;
    if (err != Error::Ok)
        return nullptr;
    return openWhole(path, data, size, options, err);
}

namespace {

// A file's bytes for the readers that walk it at open: the memory image, or the file mapped
// for the walk and unmapped after it.
class FileImage {
public:
    FileImage(const std::string& path, const void* data, std::size_t size)
    {
        if (data) {
            data_ = static_cast<const std::uint8_t*>(data);
            size_ = size;
            return;
        }
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0)
            return;  // the whole-file path reports why
        void* map = ::mmap(nullptr, std::size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd_, 0);
        if (map == MAP_FAILED)
            return;
        ::madvise(map, std::size_t(st.st_size), MADV_SEQUENTIAL);
        map_ = map;
        data_ = static_cast<const std::uint8_t*>(map);
        size_ = std::size_t(st.st_size);
    }
    ~FileImage()
    {
        unmap();
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileImage(const FileImage&) = delete;
    FileImage& operator=(const FileImage&) = delete;

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    // Ends the walk over a mapped file; a memory image stays readable.
    void unmap()
    {
        if (!map_)
            return;
        ::munmap(map_, size_);
        map_ = nullptr;
        data_ = nullptr;
    }
    // The packets' source from here on: the open file, or a copy of the memory image.
    std::shared_ptr<PacketSource> source()
    {
        auto src = std::make_shared<PacketSource>();
        if (fd_ >= 0) {
            src->fd = fd_;
            fd_ = -1;
        } else if (data_) {
            src->image.assign(data_, data_ + size_);
        }
        return src;
    }

private:
    int fd_ = -1;
    void* map_ = nullptr;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace

// Hands dec to a background thread that fills the decoder's frames.
bool Decoder::startBackground(std::unique_ptr<ChunkDecoder> dec, Error& err)
{
    auto bg = std::make_shared<Background>();
    bg->frames = frames_;
    bg->chunks = Background::chunkOf(frames_ - 1) + 1;
    // not touched until decoded: the pages come as the chunks are written
    bg->pcm = BigArray<std::int16_t>(std::size_t(frames_) * 2);
    bg->ready.reset(new (std::nothrow) std::atomic<bool>[std::size_t(bg->chunks)]);
    if (!bg->pcm || !bg->ready) {
        err = Error::Memory;
        return false;
    }
    for (std::int64_t c = 0; c < bg->chunks; ++c)
        bg->ready[c].store(false, std::memory_order_relaxed);
    Background* raw = bg.get();
    bg->thread = std::thread([raw, p = dec.release()] { raw->run(std::unique_ptr<ChunkDecoder>(p)); });
    // the first chunk is there before open returns, so that a device playing the file at
    // once does not begin with silence
    bg->waitFor(0, 1);
    bg_ = std::move(bg);
    return true;
}

// nullptr with err Ok: not a file for the frame walk, open it whole.
Decoder* Decoder::openMpeg(const std::string& path, const void* data, std::size_t size, const OpenOptions& options,
                           Error& err)
{
    err = Error::Ok;
    auto index = std::make_shared<MpegIndex>();
    FileImage image(path, data, size);
    if (!image.data() || !walkMpegFrames(image.data(), image.size(), *index))
        return nullptr;
    image.unmap();
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
    auto dec = std::make_unique<PacketDecoder>(index, image.source());
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
    std::unique_ptr<Decoder> d(new Decoder(index->rate, options.flags | Decode));
    d->frames_ = index->frames;
    d->fileChannels = index->channels;
    d->codec = dec->name;
    if (options.sequential) {
        d->seq_ = std::move(dec);
        d->seqBlock_.assign(std::size_t(kMaxBlock) * 2, 0);
        return d.release();
    }
    if (!d->startBackground(std::move(dec), err))
        return nullptr;
    return d.release();
}

namespace {

bool isPcm(AVCodecID id)
{
    return id >= AV_CODEC_ID_PCM_S16LE && id < AV_CODEC_ID_ADPCM_IMA_QT && av_get_bits_per_sample(id) > 0;
}

// Frames a last frame cut short by the end of the file gives when decoded alone.
std::int64_t tailSamples(const AVCodecParameters* par, const std::uint8_t* data, std::size_t size)
{
    const AVCodec* c = avcodec_find_decoder(par->codec_id);
    Ffmpeg f;
    if (!c || !(f.ctx = avcodec_alloc_context3(c)) || avcodec_parameters_to_context(f.ctx, par) < 0)
        return -1;
    f.pkt = av_packet_alloc();
    f.frame = av_frame_alloc();
    if (!f.pkt || !f.frame || avcodec_open2(f.ctx, c, nullptr) < 0 || size > (std::size_t(1) << 26) ||
        av_new_packet(f.pkt, int(size)) < 0)
        return -1;
    std::memcpy(f.pkt->data, data, size);
    std::int64_t n = 0;
    if (avcodec_send_packet(f.ctx, f.pkt) >= 0)
        while (avcodec_receive_frame(f.ctx, f.frame) >= 0) {
            n += f.frame->nb_samples;
            av_frame_unref(f.frame);
        }
    return n;
}

}  // namespace

// Every other container the length readers know: the length from the container, the frames
// from a background decode (PCM copied block by block, the rest in order from the start).
// nullptr with err Ok: open it whole.
Decoder* Decoder::openByContainer(const std::string& path, const void* data, std::size_t size,
                                  const OpenOptions& options, Error& err)
{
    err = Error::Ok;
    FileImage image(path, data, size);
    ContainerLength cl;
    if (!image.data() || !readContainerLength(image.data(), image.size(), cl))
        return nullptr;
    // a memory image is read on after open: the demuxer reads a copy of it
    std::shared_ptr<const std::vector<std::uint8_t>> copy;
    if (data) {
        copy = std::make_shared<const std::vector<std::uint8_t>>(image.data(), image.data() + image.size());
        data = copy->data();
    }
    auto f = std::make_unique<Ffmpeg>();
    Error openErr = Error::Ok;
    const int idx = openStream(*f, path, data, size, openErr);
    if (idx < 0) {
        if (openErr == Error::Memory) err = openErr;
        return nullptr;
    }
    static const char* const kDemuxers[] = {"", "wav", "aiff", "flac", "ogg", "mov,", "aac", "asf"};
    const char* want = kDemuxers[int(cl.container)];
    if (std::strncmp(f->fmt->iformat->name, want, std::strlen(want)) != 0)
        return nullptr;
    const AVStream* st = f->fmt->streams[idx];
    const AVCodecParameters* par = st->codecpar;
    const std::uint64_t maxFrames = options.maxBytes / 4;

    if (cl.container == Container::Wav || cl.container == Container::Aiff) {
        // PCM is copied and converted block by block, in any order
        const int bits = av_get_bits_per_sample(par->codec_id);
        const int channels = par->ch_layout.nb_channels;
        const std::int64_t align = std::int64_t(bits) * channels / 8;
        if (!isPcm(par->codec_id) || channels <= 0 || par->sample_rate <= 0 || bits % 8 != 0 ||
            par->block_align != align)
            return nullptr;
        // the demuxer's first packet starts where the reader found the data
        if (av_read_frame(f->fmt, f->pkt) < 0)
            return nullptr;
        const std::int64_t firstAt = f->pkt->pos;
        av_packet_unref(f->pkt);
        if (firstAt != cl.dataOffset)
            return nullptr;
        const std::int64_t frames = (cl.dataEnd - cl.dataOffset) / align;
        if (frames <= 0) return nullptr;
        if (std::uint64_t(frames) > maxFrames) { err = Error::TooLarge; return nullptr; }
        auto index = std::make_shared<MpegIndex>();
        index->rate = par->sample_rate;
        index->channels = channels;
        index->frames = frames;
        constexpr std::int64_t kBlock = 4096;
        index->samplesPerFrame = int(kBlock);
        index->packets.reserve(std::size_t((frames + kBlock - 1) / kBlock));
        for (std::int64_t at = 0; at < frames; at += kBlock) {
            MpegPacket pk;
            pk.offset = cl.dataOffset + at * align;
            pk.outStart = at;
            pk.outLen = std::uint16_t(std::min(kBlock, frames - at));
            pk.size = std::int32_t(pk.outLen * align);
            index->packets.push_back(pk);
        }
        image.unmap();
        auto dec = std::make_unique<PacketDecoder>(index, image.source());
        if (!dec->init(par))
            return nullptr;
        std::unique_ptr<Decoder> d(new Decoder(par->sample_rate, options.flags | Decode));
        d->frames_ = frames;
        d->fileChannels = channels;
        d->codec = dec->name;
        if (options.sequential) {
            d->seq_ = std::move(dec);
            d->seqBlock_.assign(std::size_t(kMaxBlock) * 2, 0);
        } else if (!d->startBackground(std::move(dec), err)) {
            return nullptr;
        }
        return d.release();
    }

    const std::string codecName = f->ctx->codec->name ? f->ctx->codec->name : "";
    auto dec = std::make_unique<DemuxDecoder>(std::move(f), idx, copy);
    dec->oggFirstGranule = cl.oggFirstGranule;
    dec->origin = cl.container == Container::Flac ? cl.flacFirst : 0;
    if (!dec->start())
        return nullptr;
    const int rate = dec->rate();
    std::int64_t frames = -1;
    switch (cl.container) {
    case Container::Flac: {
        frames = cl.flacSamples - cl.flacFirst;
        if (cl.partialOffset >= 0) {
            const std::int64_t n = tailSamples(par, image.data() + cl.partialOffset,
                                                   image.size() - std::size_t(cl.partialOffset));
            if (n == cl.partialSamples) frames += n;
            else if (n != 0) return nullptr;
        }
        if (rate != par->sample_rate) return nullptr;
        break;
    }
    case Container::Ogg: {
        const AVRational tb = st->time_base;
        if (tb.num != 1 || tb.den != rate) return nullptr;
        frames = cl.oggEnd - dec->origin;
        break;
    }
    case Container::Mp4:
        for (const ContainerLength::Track& t : cl.tracks)
            if (std::int64_t(t.id) == st->id && (__int128(t.length) * rate) % t.timescale == 0)
                frames = std::int64_t(__int128(t.length) * rate / t.timescale);
        break;
    case Container::Adts:
        if (codecName != "aac") return nullptr;
        frames = cl.adtsFrames * dec->firstFrameSamples;
        if (cl.partialOffset >= 0) {
            const std::int64_t n = tailSamples(par, image.data() + cl.partialOffset,
                                               image.size() - std::size_t(cl.partialOffset));
            if (n == dec->firstFrameSamples) frames += n;
            else if (n != 0) return nullptr;
        }
        break;
    case Container::Asf:
        if (st->id != cl.wmaStream || rate != par->sample_rate) return nullptr;
        frames = cl.wmaFrames * cl.wmaFrameLength;
        break;
    default:
        break;
    }
    if (frames <= 0)
        return nullptr;
    if (std::uint64_t(frames) > maxFrames) { err = Error::TooLarge; return nullptr; }
    image.unmap();
    std::unique_ptr<Decoder> d(new Decoder(rate, options.flags | Decode));
    d->frames_ = frames;
    d->fileChannels = dec->channels();
    d->codec = codecName;
    if (!d->startBackground(std::move(dec), err))
        return nullptr;
    return d.release();
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
    if (seq_ && renderingInRealTime) {
        // the file is not read on a real-time thread
        std::fill(out, out + k * 2, 0.0f);
        pos_ += k;
        return int(k);
    }
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
