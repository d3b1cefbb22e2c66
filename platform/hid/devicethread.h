// The thread that owns one open HID device: it reads with a 10 ms wait, hands every report to
// `onReport` by value, writes the reports queued to it, in order, and on a read error calls
// `onGone` once and ends. Nothing else touches the device (hidapi keeps its error text per handle
// without a lock). Destroying the thread stops it, joins it and only then closes the device.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/hid/hidbackend.h"

namespace hid {

class DeviceThread {
public:
    // Both callbacks run on the device's thread.
    using ReportCallback = std::function<void(std::vector<uint8_t> report)>;
    using GoneCallback = std::function<void()>;

    static constexpr int kReadWaitMs = 10;
    static constexpr size_t kMaxReport = 4096;

    DeviceThread(std::unique_ptr<Device> device, ReportCallback onReport, GoneCallback onGone);
    ~DeviceThread();
    DeviceThread(const DeviceThread&) = delete;
    DeviceThread& operator=(const DeviceThread&) = delete;

    // Queues one output report; the thread writes it before its next read.
    void write(std::vector<uint8_t> report);
    bool running() const { return !ended_.load(); }

private:
    void run();

    std::unique_ptr<Device> device_;
    ReportCallback onReport_;
    GoneCallback onGone_;
    std::mutex m_;
    std::deque<std::vector<uint8_t>> writes_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

}  // namespace hid
