// The hand-over of HID reports from the devices' threads to the UI thread: a queue behind a lock,
// and an eventfd that wakes the UI thread's notifier. Items keep the order they were posted in,
// across all devices of one controller; each is delivered once. Anything that crosses threads
// crosses here, under the lock.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class HidDevice;

class HidMailbox {
public:
    struct Item {
        std::weak_ptr<HidDevice> device;
        unsigned generation = 0;  // the opening of the device that read it
        bool gone = false;        // the unplug notice, else a report
        std::vector<uint8_t> report;
    };

    HidMailbox();
    ~HidMailbox();
    HidMailbox(const HidMailbox&) = delete;
    HidMailbox& operator=(const HidMailbox&) = delete;

    // Any thread: queues the item and wakes the reader.
    void post(Item item);
    // The reader: every item waiting, oldest first; clears the wake-up.
    std::deque<Item> take();
    // The descriptor that becomes readable while items wait; -1 when none could be made.
    int wakeHandle() const { return fd_; }

private:
    std::mutex m_;
    std::deque<Item> items_;
    int fd_ = -1;
};
