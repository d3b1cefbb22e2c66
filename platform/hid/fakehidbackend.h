// HID devices for tests and benches: a device list the test sets, input reports injected into a
// device's queue, the output reports its thread wrote, and read errors on demand. Thread-safe:
// the devices' threads read and write while the test plugs, injects and looks.
#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "platform/hid/hidbackend.h"

namespace hid {

class FakeHidBackend : public Backend {
public:
    // Adds a device to the list (at its end); replaces one of the same path.
    void plug(const DeviceInfo& info);
    // Takes the device off the list; its open handles fail their next read.
    void unplug(const std::string& path);
    // The device's next read fails while it stays listed (a read error).
    void failRead(const std::string& path);
    // Queues an input report (report ID first) for the device's reads.
    void inject(const std::string& path, std::vector<uint8_t> report);
    // Opens fail from now on while `refuse` is set.
    void setRefuseOpen(bool refuse);

    // The output reports written to the device, in order.
    std::vector<std::vector<uint8_t>> written(const std::string& path) const;
    // Waits at most `ms` until at least `count` reports were written; true when they were.
    bool waitWritten(const std::string& path, size_t count, int ms) const;
    // Waits at most `ms` until the last report written is `report`; true when it is. For a report
    // sent while earlier ones may still be on their way, where a count would be met by those.
    bool waitLastWritten(const std::string& path, const std::vector<uint8_t>& report, int ms) const;
    // Waits at most `ms` until every injected report was read.
    bool waitDrained(const std::string& path, int ms) const;
    int openCount(const std::string& path) const;
    int enumerateCount() const;

    std::vector<DeviceInfo> enumerate() override;
    std::unique_ptr<Device> open(const DeviceInfo& info, std::string* error) override;

private:
    struct State {
        DeviceInfo info;
        std::deque<std::vector<uint8_t>> reports;
        std::vector<std::vector<uint8_t>> writes;
        bool gone = false;
        bool failNext = false;
        int opens = 0;
    };
    class FakeDevice;

    std::shared_ptr<State> state(const std::string& path) const;

    mutable std::mutex m_;
    mutable std::condition_variable cv_;
    std::vector<std::shared_ptr<State>> list_;  // plugged in, in order
    std::map<std::string, std::shared_ptr<State>> all_;
    bool refuse_ = false;
    int enumerations_ = 0;
};

}  // namespace hid
