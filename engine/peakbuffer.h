// A peaks buffer that the peaks worker fills while the visual side reads it.
// Elements are relaxed atomics: a reader sees each value either old or new, never torn.
// A deck replaces a whole buffer (new length) by swapping the shared pointer.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

class PeakBuffer {
public:
    explicit PeakBuffer(size_t n) : n_(n), v_(new std::atomic<int16_t>[n]) {
        for (size_t i = 0; i < n; ++i) v_[i].store(0, std::memory_order_relaxed);
    }
    size_t size() const { return n_; }
    int16_t get(size_t i) const { return i < n_ ? v_[i].load(std::memory_order_relaxed) : 0; }
    void set(size_t i, int16_t x) { if (i < n_) v_[i].store(x, std::memory_order_relaxed); }

private:
    size_t n_;
    std::unique_ptr<std::atomic<int16_t>[]> v_;
};

using PeakBufferPtr = std::shared_ptr<PeakBuffer>;
