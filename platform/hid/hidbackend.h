// What the HID controllers need of the system's HID devices: the list of plugged-in devices with
// their product names and report lengths, and an open device that reads and writes reports.
// HidapiBackend is the real one (hidraw), FakeHidBackend the tests' one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hid {

struct DeviceInfo {
    std::string path;     // the device node, e.g. /dev/hidraw3; unique while it is plugged in
    std::string product;  // the product name, UTF-8
    // Report lengths in bytes, each counting the report ID byte (numbered or not); 0 when the
    // device has no report of that kind. A descriptor that cannot be read gives capsOk false and
    // an input length of 10 (9 data bytes).
    int inputLength = 0;
    int outputLength = 0;
    bool capsOk = false;
    bool numbered = false;  // the descriptor holds a Report ID item
};

// An open device. Used by one thread at a time (the device's own thread).
class Device {
public:
    virtual ~Device() = default;
    // Waits at most timeoutMs for one input report and copies it into `buffer`, report ID first
    // (0 for an unnumbered device). Returns its length, 0 when none came, -1 on an error (the
    // device is gone).
    virtual int read(uint8_t* buffer, size_t size, int timeoutMs) = 0;
    // Writes one output report, report ID in byte 0. False on an error.
    virtual bool write(const uint8_t* bytes, size_t size) = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    // The devices plugged in now, one entry per device node, in the system's order.
    virtual std::vector<DeviceInfo> enumerate() = 0;
    // Opens the device `info` names; nullptr and the reason in *error when it cannot be opened.
    virtual std::unique_ptr<Device> open(const DeviceInfo& info, std::string* error) = 0;
};

}  // namespace hid
