#include "controllers/midi/midiinputring.h"

#include <chrono>

#include <sys/eventfd.h>
#include <unistd.h>

MidiInputRing::MidiInputRing()
{
    for (size_t i = 0; i < kCapacity; ++i) cells_[i].sequence.store(i, std::memory_order_relaxed);
    fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

MidiInputRing::~MidiInputRing()
{
    if (fd_ >= 0) close(fd_);
}

int64_t MidiInputRing::nowNs() noexcept
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A bounded queue of sequence-numbered cells: a pusher claims a position with a compare-exchange
// and publishes the cell by its sequence number; the reader sees cells in position order.
bool MidiInputRing::push(const MidiRingMessage& m) noexcept
{
    size_t pos = enqueue_.load(std::memory_order_relaxed);
    for (;;) {
        Cell& cell = cells_[pos % kCapacity];
        const size_t seq = cell.sequence.load(std::memory_order_acquire);
        const intptr_t diff = intptr_t(seq) - intptr_t(pos);
        if (diff == 0) {
            if (enqueue_.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
                cell.message = m;
                cell.sequence.store(pos + 1, std::memory_order_release);
                break;
            }
        } else if (diff < 0) {
            dropped_.fetch_add(1, std::memory_order_relaxed);
            return false;
        } else {
            pos = enqueue_.load(std::memory_order_relaxed);
        }
    }
    // one wake per batch: the reader clears the flag before it pops
    if (!wakePending_.exchange(true, std::memory_order_acq_rel) && fd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(fd_, &one, sizeof one);
    }
    return true;
}

bool MidiInputRing::pop(MidiRingMessage& m) noexcept
{
    Cell& cell = cells_[dequeue_ % kCapacity];
    const size_t seq = cell.sequence.load(std::memory_order_acquire);
    if (intptr_t(seq) - intptr_t(dequeue_ + 1) < 0) return false;
    m = cell.message;
    cell.sequence.store(dequeue_ + kCapacity, std::memory_order_release);
    ++dequeue_;
    return true;
}

void MidiInputRing::acknowledge() noexcept
{
    uint64_t count = 0;
    if (fd_ >= 0) {
        [[maybe_unused]] const ssize_t n = read(fd_, &count, sizeof count);
    }
    wakePending_.exchange(false, std::memory_order_acq_rel);
}
