#include "platform/sound/outputdevice.h"
#include "platform/sound/realtime.h"

#include <algorithm>
#include <cstring>
#include <ctime>

namespace sound {

namespace {

// route word: bit 0 used, bit 1 paused, bit 2 mono mode, bit 3 mono stream,
// bits 8..15 first channel, bits 32..63 stream handle
constexpr std::uint64_t kUsed = 1, kPaused = 2, kMonoMode = 4, kMonoStream = 8;

std::uint64_t pack(Handle h, int first, OutputDevice::Mode mode, bool monoStream, bool paused)
{
    return kUsed | (paused ? kPaused : 0) | (mode == OutputDevice::Mode::Mono ? kMonoMode : 0) |
           (monoStream ? kMonoStream : 0) | (std::uint64_t(first & 0xFF) << 8) | (std::uint64_t(h) << 32);
}

std::int64_t nowNs(clockid_t clock)
{
    timespec ts;
    clock_gettime(clock, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

}  // namespace

int OutputDevice::addRoute(Handle stream, int streamChannels, int first, Mode mode, bool paused)
{
    const int needed = first + (mode == Mode::Stereo ? 2 : 1);
    if (first < 0 || needed > channels_) return -1;
    for (int i = 0; i < kMaxRoutes; ++i) {
        std::uint64_t expected = 0;
        if (routes_[i].compare_exchange_strong(expected, pack(stream, first, mode, streamChannels == 1, paused),
                                               std::memory_order_acq_rel))
            return i;
    }
    return -1;
}

void OutputDevice::removeRoute(int slot)
{
    if (slot >= 0 && slot < kMaxRoutes) routes_[slot].store(0, std::memory_order_release);
}

void OutputDevice::pauseRoute(int slot, bool paused)
{
    if (slot < 0 || slot >= kMaxRoutes) return;
    std::uint64_t r = routes_[slot].load(std::memory_order_acquire);
    while ((r & kUsed) && !routes_[slot].compare_exchange_weak(r, paused ? (r | kPaused) : (r & ~kPaused),
                                                                 std::memory_order_acq_rel)) {}
}

void OutputDevice::stats(DeviceStats& out) const
{
    out.callbacks = callbacks_.load();
    out.lateCallbacks = late_.load();
    out.lateCpuCallbacks = lateCpu_.load();
    out.frames = frames_.load();
    out.cpuSeconds = double(cpuNs_.load()) / 1e9;
    out.busySeconds = double(wallNs_.load()) / 1e9;
    out.rate = rate_;
    out.channels = channels_;
    out.latency = latency_;
    out.period = period_;
    out.lost = lost();
}

void OutputDevice::render(float* out, int frames)
{
    const std::int64_t wall0 = nowNs(CLOCK_MONOTONIC), cpu0 = nowNs(CLOCK_THREAD_CPUTIME_ID);
    const bool wasRealTime = renderingInRealTime;
    renderingInRealTime = true;
    mix(out, frames);
    renderingInRealTime = wasRealTime;
    const std::int64_t wall = nowNs(CLOCK_MONOTONIC) - wall0, cpu = nowNs(CLOCK_THREAD_CPUTIME_ID) - cpu0;
    callbacks_.fetch_add(1, std::memory_order_relaxed);
    frames_.fetch_add(std::uint64_t(frames), std::memory_order_relaxed);
    cpuNs_.fetch_add(std::uint64_t(cpu), std::memory_order_relaxed);
    wallNs_.fetch_add(std::uint64_t(wall), std::memory_order_relaxed);
    const double period = double(frames) * 1e9 / rate_;
    if (double(wall) > period) late_.fetch_add(1, std::memory_order_relaxed);
    if (double(cpu) > period) lateCpu_.fetch_add(1, std::memory_order_relaxed);
}

void OutputDevice::mix(float* out, int frames)
{
    const int chans = channels_;
    std::memset(out, 0, sizeof(float) * size_t(frames) * size_t(chans));
    for (auto& slot : routes_) {
        const std::uint64_t r = slot.load(std::memory_order_acquire);
        if (!(r & kUsed) || (r & kPaused)) continue;
        const Handle h = Handle(r >> 32);
        const int first = int((r >> 8) & 0xFF);
        const bool monoMode = r & kMonoMode, monoStream = r & kMonoStream;
        for (int done = 0; done < frames;) {
            const int n = std::min(kScratchFrames, frames - done);
            if (renderFloat(h, scratch_, n) < 0) break;
            float* o = out + size_t(done) * chans + first;
            const float* s = scratch_;
            if (monoStream && monoMode) {
                for (int i = 0; i < n; ++i, o += chans) o[0] += s[i];
            } else if (monoStream) {
                for (int i = 0; i < n; ++i, o += chans) { o[0] += s[i]; o[1] += s[i]; }
            } else if (monoMode) {
                for (int i = 0; i < n; ++i, o += chans, s += 2) o[0] += 0.5f * (s[0] + s[1]);
            } else {
                for (int i = 0; i < n; ++i, o += chans, s += 2) { o[0] += s[0]; o[1] += s[1]; }
            }
            done += n;
        }
    }
}

}  // namespace sound
