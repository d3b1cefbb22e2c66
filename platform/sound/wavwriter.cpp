#include "platform/sound/wavwriter.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace sound {

namespace {

static_assert(std::endian::native == std::endian::little, "samples are written as they lie in memory");

// RIFF sizes are 32-bit: stop before the data chunk would overflow them
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - WavWriter::kHeaderBytes;
std::atomic<uint64_t> dataLimit{kMaxDataBytes};

void put16(unsigned char* p, uint16_t v) { p[0] = v & 0xFF; p[1] = v >> 8; }
void put32(unsigned char* p, uint32_t v) { for (int i = 0; i < 4; ++i) p[i] = (v >> (8 * i)) & 0xFF; }

// false on failure, with what did go in counted in done
bool writeAll(int fd, const void* data, size_t n, int& err, size_t& done)
{
    auto p = static_cast<const char*>(data);
    done = 0;
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        p += w;
        n -= size_t(w);
        done += size_t(w);
    }
    return true;
}

bool pwriteAll(int fd, const void* data, size_t n, off_t at)
{
    auto p = static_cast<const char*>(data);
    while (n > 0) {
        ssize_t w = ::pwrite(fd, p, n, at);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= size_t(w);
        at += w;
    }
    return true;
}

}  // namespace

WavWriter::~WavWriter() { close(); }

WavWriter::Result WavWriter::open(const std::string& path, int rate, int channels)
{
    close();
    failure_ = Result::Ok;
    dataBytes_ = headerBytes_ = 0;
    if (rate <= 0 || channels <= 0 || channels > 8 || path.empty()) return failure_ = Result::CannotCreate;
    rate_ = rate;
    channels_ = channels;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) return failure_ = Result::CannotCreate;

    unsigned char h[kHeaderBytes];
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, 36);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);  // PCM
    put16(h + 22, uint16_t(channels));
    put32(h + 24, uint32_t(rate));
    put32(h + 28, uint32_t(rate) * frameBytes());
    put16(h + 32, uint16_t(frameBytes()));
    put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, 0);
    int err = 0;
    size_t done = 0;
    if (!writeAll(fd_, h, sizeof h, err, done)) {
        ::close(fd_);
        fd_ = -1;
        return failure_ = (err == ENOSPC || err == EDQUOT) ? Result::DiskFull : Result::CannotCreate;
    }
    headerTime_ = std::chrono::steady_clock::now();
    return Result::Ok;
}

bool WavWriter::updateHeader()
{
    unsigned char riff[4], data[4];
    put32(riff, uint32_t(dataBytes_ + 36));
    put32(data, uint32_t(dataBytes_));
    if (!pwriteAll(fd_, riff, 4, 4) || !pwriteAll(fd_, data, 4, 40)) return false;
    headerBytes_ = dataBytes_;
    headerTime_ = std::chrono::steady_clock::now();
    return true;
}

WavWriter::Result WavWriter::fail(Result r)
{
    failure_ = r;
    // drop a partly written frame and make the header tell the truth about the rest
    if (ftruncate(fd_, off_t(kHeaderBytes + dataBytes_)) != 0) { /* the header still bounds the data */ }
    updateHeader();
    return r;
}

WavWriter::Result WavWriter::write(const int16_t* interleaved, size_t frames)
{
    if (fd_ < 0) return failure_ == Result::Ok ? Result::NotOpen : failure_;
    if (failure_ != Result::Ok) return failure_;
    if (frames == 0) return Result::Ok;

    uint64_t bytes = uint64_t(frames) * frameBytes();
    bool tooLarge = false;
    const uint64_t limit = dataLimit.load(std::memory_order_relaxed);
    if (dataBytes_ + bytes > limit) {
        bytes = (limit - std::min(limit, dataBytes_)) / frameBytes() * frameBytes();
        tooLarge = true;
    }
    int err = 0;
    size_t done = 0;
    if (!writeAll(fd_, interleaved, size_t(bytes), err, done)) {
        // keep the whole frames that went in
        dataBytes_ += done / frameBytes() * frameBytes();
        return fail((err == ENOSPC || err == EDQUOT || err == EFBIG) ? Result::DiskFull : Result::WriteFailed);
    }
    dataBytes_ += bytes;
    if (tooLarge) return fail(Result::TooLarge);

    const uint64_t second = uint64_t(rate_) * frameBytes();
    if (dataBytes_ - headerBytes_ >= second ||
        std::chrono::steady_clock::now() - headerTime_ >= std::chrono::seconds(1)) {
        if (!updateHeader()) return fail(Result::WriteFailed);
    }
    return Result::Ok;
}

WavWriter::Result WavWriter::close()
{
    if (fd_ < 0) return failure_;
    if (failure_ == Result::Ok && !updateHeader()) failure_ = Result::WriteFailed;
    if (::close(fd_) != 0 && failure_ == Result::Ok) failure_ = Result::WriteFailed;
    fd_ = -1;
    return failure_;
}

void WavWriter::setDataLimitForTests(uint64_t bytes)
{
    dataLimit = bytes ? std::min(bytes, kMaxDataBytes) : kMaxDataBytes;
}

}  // namespace sound
