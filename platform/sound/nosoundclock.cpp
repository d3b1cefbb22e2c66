#include "platform/sound/nosoundclock.h"

#include <algorithm>
#include <chrono>

#include "platform/sound/graph.h"
#include "platform/sound/realtime.h"
#include "platform/sound/stream.h"

namespace sound {

int renderInto(Stream* s, float* out, int frames, bool applyVolume);

NoSoundClock& NoSoundClock::instance()
{
    static NoSoundClock* c = new NoSoundClock;  // lives to the end of the process
    return *c;
}

void NoSoundClock::start(Handle h)
{
    std::lock_guard<std::mutex> l(m_);
    if (std::find(playing_.begin(), playing_.end(), h) == playing_.end())
        playing_.push_back(h);
    if (!running_) {  // one clock serves the device for the life of the process
        running_ = true;
        std::thread([this] { run(); }).detach();
    }
    cv_.notify_all();
}

void NoSoundClock::stop(Handle h)
{
    std::lock_guard<std::mutex> l(m_);
    playing_.erase(std::remove(playing_.begin(), playing_.end(), h), playing_.end());
}

void NoSoundClock::stopAll()
{
    std::lock_guard<std::mutex> l(m_);
    playing_.clear();
}

void NoSoundClock::run()
{
    using clock = std::chrono::steady_clock;
    constexpr auto period = std::chrono::milliseconds(10);
    std::vector<float> buf(std::size_t(Stream::kMaxBlock) * 2);
    std::vector<Handle> now;
    renderingInRealTime = true;
    auto next = clock::now();
    for (;;) {
        {
            std::unique_lock<std::mutex> l(m_);
            if (playing_.empty()) {
                cv_.wait(l, [this] { return !playing_.empty() || quit_; });
                next = clock::now();
            }
            if (quit_)
                return;
            now = playing_;
        }
        next += period;
        std::this_thread::sleep_until(next);
        GraphLock g(Graph::instance().mutex);
        for (Handle h : now) {
            Object* o = Graph::instance().find(h);
            auto* s = dynamic_cast<Stream*>(o);
            if (!s || s->playState != State::Playing) {
                if (!s) stop(h);
                continue;
            }
            int frames = std::max(1, s->rate / 100);
            while (frames > 0) {
                int k = std::min(frames, Stream::kMaxBlock);
                renderInto(s, buf.data(), k, true);
                frames -= k;
                if (s->dead) break;
            }
        }
    }
}

}  // namespace sound
