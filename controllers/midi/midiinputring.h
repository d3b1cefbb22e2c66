// The hand-over of MIDI input from the service's thread to the UI thread: a fixed ring of 4,096
// plain messages shared by both controllers, and an eventfd that wakes the UI thread. push() runs
// on the service's thread (for JACK inside the process cycle, in our own output's graph): it copies
// the message, never allocates, locks or waits, and when the ring is full drops the newest message
// and counts it. The UI thread pops them in arrival order. Any number of pushing threads, one
// popping thread.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

struct MidiRingMessage {
    uint8_t controller = 0;  // 1 or 2
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    int64_t arrivalNs = 0;   // steady clock when our callback took it
};

class MidiInputRing {
public:
    static constexpr size_t kCapacity = 4096;

    MidiInputRing();
    ~MidiInputRing();
    MidiInputRing(const MidiInputRing&) = delete;
    MidiInputRing& operator=(const MidiInputRing&) = delete;

    // False when the ring was full: the message is dropped and counted.
    bool push(const MidiRingMessage& m) noexcept;
    // The oldest message; false when none waits. The reader only.
    bool pop(MidiRingMessage& m) noexcept;

    // Becomes readable when messages wait; watch it (QSocketNotifier) and call acknowledge()
    // before popping them all.
    int wakeHandle() const { return fd_; }
    void acknowledge() noexcept;

    uint64_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

    static int64_t nowNs() noexcept;

private:
    struct Cell {
        std::atomic<size_t> sequence;
        MidiRingMessage message;
    };

    std::array<Cell, kCapacity> cells_;
    alignas(64) std::atomic<size_t> enqueue_{0};
    alignas(64) size_t dequeue_ = 0;
    alignas(64) std::atomic<bool> wakePending_{false};
    std::atomic<uint64_t> dropped_{0};
    int fd_ = -1;
};
