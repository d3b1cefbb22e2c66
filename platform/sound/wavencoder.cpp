#include "platform/sound/wavencoder.h"

#include "platform/sound/realtime.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace sound {

namespace {
constexpr double kRingSeconds = 4.0;
constexpr auto kWriterPeriod = std::chrono::milliseconds(50);

// Rounds to the nearest, ties to even, as nearbyint does in the default rounding mode: below
// 2^22, adding and taking away 1.5 * 2^23 leaves the float rounded to a whole number.
std::int16_t toPcm(float v)
{
    const float x = v * 32768.0f;
    if (!(x > -32768.0f)) return x < 0 ? -32768 : 0;  // NaN is silence
    if (x >= 32767.0f) return 32767;
    return std::int16_t((x + 0x1.8p23f) - 0x1.8p23f);
}
}  // namespace

WavEncoder::WavEncoder(int rate)
    : rate_(rate > 0 ? rate : 44100)
{
    capacity_ = std::size_t(kRingSeconds * rate_);
    ring_ = std::make_unique<std::atomic<std::int16_t>[]>(capacity_ * 2);
    chunk_.resize(capacity_ * 2);
}

WavEncoder::~WavEncoder() { finish(); }

bool WavEncoder::start(const std::string& utf8Path)
{
    if (writer_.open(utf8Path, rate_, 2) != WavWriter::Result::Ok) {
        failed_ = true;
        return false;
    }
    running_ = true;
    thread_ = std::thread([this] { writerLoop(); });
    return true;
}

bool WavEncoder::finish()
{
    if (thread_.joinable()) {
        forbidOnAudioThread("joining a thread");
        quit_ = true;
        thread_.join();
    }
    std::lock_guard<std::mutex> l(drainMutex_);
    running_ = false;
    if (writer_.isOpen() && writer_.close() != WavWriter::Result::Ok) failed_ = true;
    return !failed_;
}

bool WavEncoder::flush()
{
    forbidOnAudioThread("flushing an encoder");
    std::lock_guard<std::mutex> l(drainMutex_);
    if (!running_ || failed_) return !failed_;
    if (!drain()) {
        failed_ = true;
        writer_.close();
    }
    return !failed_;
}

void WavEncoder::process(float* frames, int frameCount, int)
{
    if (!running_.load(std::memory_order_relaxed) || failed_.load(std::memory_order_relaxed)) return;
    const std::uint64_t head = head_.load(std::memory_order_relaxed);
    const std::uint64_t tail = tail_.load(std::memory_order_acquire);
    const std::size_t room = capacity_ - std::size_t(head - tail);
    const std::size_t n = std::min<std::size_t>(room, std::size_t(frameCount));
    if (n < std::size_t(frameCount)) dropped_.fetch_add(std::size_t(frameCount) - n, std::memory_order_relaxed);
    std::size_t at = std::size_t(head % capacity_);
    for (std::size_t i = 0; i < n; ++i) {
        ring_[2 * at].store(toPcm(frames[2 * i]), std::memory_order_relaxed);
        ring_[2 * at + 1].store(toPcm(frames[2 * i + 1]), std::memory_order_relaxed);
        if (++at == capacity_) at = 0;
    }
    head_.store(head + n, std::memory_order_release);
}

bool WavEncoder::drain()
{
    const std::uint64_t tail = tail_.load(std::memory_order_relaxed);
    const std::uint64_t head = head_.load(std::memory_order_acquire);
    const std::size_t n = std::size_t(head - tail);
    if (n == 0) return true;
    std::size_t at = std::size_t(tail % capacity_);
    for (std::size_t i = 0; i < 2 * n; ++i) {
        chunk_[i] = ring_[2 * at + (i & 1)].load(std::memory_order_relaxed);
        if ((i & 1) && ++at == capacity_) at = 0;
    }
    tail_.store(head, std::memory_order_release);
    return writer_.write(chunk_.data(), n) == WavWriter::Result::Ok;
}

void WavEncoder::writerLoop()
{
    for (;;) {
        const bool last = quit_.load();
        {
            std::lock_guard<std::mutex> l(drainMutex_);
            if (!failed_ && !drain()) {
                failed_ = true;
                writer_.close();
            }
        }
        if (last) return;
        std::this_thread::sleep_for(kWriterPeriod);
    }
}

}  // namespace sound
