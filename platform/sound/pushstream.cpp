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
    refilling_ = true;
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
    // Empty at first, or after running dry, the ring fills to a quarter before it gives frames:
    // a stall of the producer leaves one gap, not seconds of repeated frames while the fill
    // climbs back.
    if (refilling_) {
        if (count_ < std::min(capacity, std::max(n, capacity / 4))) {
            std::memset(out, 0, sizeof(float) * 2 * std::size_t(n));
            consumed_ += n;
            return n;
        }
        refilling_ = false;
    }
    // Keep the fill between an eighth and five eighths of the ring: above, drop a frame; below, repeat one.
    if (count_ > capacity * 5 / 8 && count_ > n + 1) {
        float skip[2];
        take(skip, 1);
        ++dropped;
    }
    int k = std::min(n, count_);
    if (k == n && count_ - n < capacity / 8 && count_ > 0 && n > 1 && count_ >= n) {
        // running low: give n - 1 fresh frames and repeat the last one
        take(out, n - 1);
        out[2 * (n - 1)] = last_[0];
        out[2 * (n - 1) + 1] = last_[1];
        ++repeated;
    } else {
        take(out, k);
        if (k < n) {
            std::memset(out + 2 * k, 0, sizeof(float) * 2 * std::size_t(n - k));
            refilling_ = true;
        }
    }
    consumed_ += n;
    return n;
}

}  // namespace sound
