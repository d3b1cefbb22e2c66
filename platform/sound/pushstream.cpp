#include "platform/sound/pushstream.h"

#include <algorithm>
#include <cstring>

namespace sound {

PushStream::PushStream(int r, int ch, unsigned f, int cap)
    : Stream(Kind::Push, r, f), channels(ch), capacity(std::max(cap, 64)), ring_(std::size_t(capacity) * 2, 0.0f)
{
}

bool PushStream::seekFrames(std::int64_t frame)
{
    if (frame < 0)
        return false;
    head_ = count_ = 0;
    consumed_ = frame;
    primed_ = false;
    return true;
}

int PushStream::push(const float* in, int n)
{
    if (n >= capacity) {
        dropped += count_ + (n - capacity);
        in += 2 * std::size_t(n - capacity);
        n = capacity;
        head_ = count_ = 0;
    } else if (count_ + n > capacity) {
        int over = count_ + n - capacity;
        head_ = (head_ + over) % capacity;
        count_ -= over;
        dropped += over;
    }
    int tail = (head_ + count_) % capacity;
    int first = std::min(n, capacity - tail);
    std::memcpy(&ring_[2 * std::size_t(tail)], in, sizeof(float) * 2 * std::size_t(first));
    if (n > first)
        std::memcpy(&ring_[0], in + 2 * first, sizeof(float) * 2 * std::size_t(n - first));
    count_ += n;
    return count_;
}

void PushStream::take(float* out, int n)
{
    int first = std::min(n, capacity - head_);
    std::memcpy(out, &ring_[2 * std::size_t(head_)], sizeof(float) * 2 * std::size_t(first));
    if (n > first)
        std::memcpy(out + 2 * first, &ring_[0], sizeof(float) * 2 * std::size_t(n - first));
    head_ = (head_ + n) % capacity;
    count_ -= n;
    if (n > 0) {
        last_[0] = out[2 * (n - 1)];
        last_[1] = out[2 * (n - 1) + 1];
    }
}

int PushStream::produce(float* out, int n)
{
    if (!primed_) {
        // A reader that took each frame as it came would run dry at every block of a producer
        // on another clock: it waits for its cushion first.
        if (count_ < startLevel()) {
            std::memset(out, 0, sizeof(float) * 2 * std::size_t(n));
            consumed_ += n;
            return n;
        }
        // a reader that started late keeps no more than half the ring
        if (count_ > capacity / 2) {
            const int over = count_ - capacity / 2;
            head_ = (head_ + over) % capacity;
            count_ -= over;
            dropped += over;
        }
        primed_ = true;
        level_ = count_;
    }
    // The fill the reader started at is the one it keeps. The blocks of producer and reader
    // move the fill around it; only clocks that drift apart move it away for good, and a whole
    // frame dropped or repeated per block brings it back.
    if (count_ > level_ + capacity / 4 && count_ > n + 1) {
        float skip[2];
        take(skip, 1);
        ++dropped;
    }
    int k = std::min(n, count_);
    if (k == n && count_ < level_ - capacity / 8 && n > 1) {
        // running low: give n - 1 fresh frames and repeat the last one
        take(out, n - 1);
        out[2 * (n - 1)] = last_[0];
        out[2 * (n - 1) + 1] = last_[1];
        ++repeated;
    } else {
        take(out, k);
        if (k < n) {
            std::memset(out + 2 * k, 0, sizeof(float) * 2 * std::size_t(n - k));
            primed_ = false;
        }
    }
    consumed_ += n;
    return n;
}

}  // namespace sound
