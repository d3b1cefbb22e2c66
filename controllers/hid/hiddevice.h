// One HID device as the device controller lists it (the layer's device object): its product name
// and report lengths, the Tag its user keeps, and, once checked out, the thread that owns the open
// device. Reports reach OnData on the UI thread through the controller's mailbox, once each, in
// the order read; writes are queued to the device's thread. The UI thread never calls the device
// itself. Made with std::make_shared: a report finds its device through a weak reference, so a
// handler may release the last reference to it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QString>

#include "controllers/hid/hidmailbox.h"
#include "platform/hid/hidbackend.h"

namespace hid {
class DeviceThread;
}

class HidDevice : public std::enable_shared_from_this<HidDevice> {
public:
    using DataHandler = std::function<void(HidDevice& device, int reportId, const uint8_t* data, int size)>;
    using UnplugHandler = std::function<void(HidDevice& device)>;

    // Reports and the unplug notice go through `mailbox` (the controller's) to deliver().
    HidDevice(hid::Backend& backend, const hid::DeviceInfo& info, std::shared_ptr<HidMailbox> mailbox);
    ~HidDevice();
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // The input and output report lengths, each counting the report ID byte; false when the
    // descriptor could not be read.
    bool GetCaps(int& inputLength, int& outputLength) const;
    QString ProductName() const { return QString::fromStdString(info_.product); }
    const hid::DeviceInfo& info() const { return info_; }
    int Tag = 0;

    // Opens the device and starts its thread; false (and the device stays closed) when it cannot
    // be opened. Reports and the unplug notice are delivered only while a handler is bound.
    bool start();
    // Stops the thread (joined) and closes the device; reports still queued are dropped.
    void stop();
    bool started() const { return thread_ != nullptr; }
    unsigned generation() const { return generation_; }

    // UI thread: hands one item of the mailbox to the bound handler, when it comes from the
    // device's current opening.
    void deliver(const HidMailbox::Item& item);

    void setOnData(DataHandler handler) { onData_ = std::move(handler); }
    void setOnUnplug(UnplugHandler handler) { onUnplug_ = std::move(handler); }
    bool dataBound() const { return bool(onData_); }

    // Queues one output report (report ID in byte 0) to the device's thread; false when the
    // device is not open.
    bool WriteFile(const uint8_t* bytes, int length);
    // Every report is delivered once, in order: there is nothing to drop.
    void FlushQueue() {}

    bool checkedOut = false;

private:
    hid::Backend& backend_;
    hid::DeviceInfo info_;
    std::shared_ptr<HidMailbox> mailbox_;
    DataHandler onData_;
    UnplugHandler onUnplug_;
    std::unique_ptr<hid::DeviceThread> thread_;
    unsigned generation_ = 0;  // reports of an earlier opening are not delivered
};
