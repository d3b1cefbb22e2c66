// HID devices through hidapi's hidraw back end. hidapi 0.13 gives no report descriptor, so each
// device's is read from sysfs (/sys/class/hidraw/hidrawN/device/report_descriptor, readable
// without any udev rule) and parsed here for the report lengths. Opening a device needs read and
// write access to its /dev/hidrawN (scripts/70-ostrelkorvanta-hid.rules gives it to the seat user).
#pragma once

#include <string>

#include "platform/hid/hidbackend.h"

namespace hid {

class HidapiBackend : public Backend {
public:
    // The process's one instance; hidapi is initialised on its first use.
    static HidapiBackend& instance();

    std::vector<DeviceInfo> enumerate() override;
    std::unique_ptr<Device> open(const DeviceInfo& info, std::string* error) override;

    // The descriptor's file for a device node (/dev/hidraw3 -> /sys/class/hidraw/hidraw3/device/
    // report_descriptor); `sysfsRoot` stands for /sys in tests.
    static std::string descriptorPath(const std::string& node, const std::string& sysfsRoot = "/sys");
    // The lengths of the descriptor at `file`; a missing or unreadable one gives capsOk false and
    // 9 data bytes.
    static void readLengths(const std::string& file, DeviceInfo& info);

private:
    HidapiBackend();
    bool initialised_ = false;
};

}  // namespace hid
