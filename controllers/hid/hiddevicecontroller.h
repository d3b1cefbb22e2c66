// The HID device layer's controller component that each HID driver derives from: it lists the
// plugged-in devices, hands one out to its user (checks it out), and watches for arrivals and
// removals. Hot-plug: the device list is read again every second, and the device-change event is
// raised only when the set of device nodes changed (the driver's handler releases and checks out
// its device again, so it must not run on every poll). UI thread only.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QTimer>

class QSocketNotifier;

#include "controllers/hid/hiddevice.h"

class HidDeviceController {
public:
    using EnumerateHandler = std::function<bool(HidDevice& device, int index)>;
    using CheckOutTest = std::function<bool(HidDevice& device)>;

    static constexpr int kPollMs = 1000;

    explicit HidDeviceController(hid::Backend& backend);
    virtual ~HidDeviceController();
    HidDeviceController(const HidDeviceController&) = delete;
    HidDeviceController& operator=(const HidDeviceController&) = delete;

    // Reads are waited for 10 ms by the device threads whatever is set; kept for its callers.
    void SetDevThreadSleepTime(int ms) { sleepMs_ = ms; }
    int DevThreadSleepTime() const { return sleepMs_; }

    // Reads the device list afresh and calls OnEnumerate for each device in list order until it
    // returns false.
    void Enumerate();
    // Offers each device not checked out to `test`, in list order; the first accepted is checked
    // out (its thread started) into `device`. False when none was accepted or it would not open.
    bool CheckOutByCallback(std::shared_ptr<HidDevice>& device, const CheckOutTest& test);
    // Gives a checked-out device back: its thread is stopped and its handlers unbound.
    void CheckIn(std::shared_ptr<HidDevice>& device);

    EnumerateHandler OnEnumerate;
    std::function<void()> OnDeviceChange;
    std::function<void(HidDevice& device)> OnRemoval;

    // One hot-plug check: reads the list; when the set of nodes changed, raises OnRemoval for each
    // device gone and then OnDeviceChange. True when it changed. The timer calls it every second.
    bool poll();
    void startPolling();
    void stopPolling();

    const std::vector<std::shared_ptr<HidDevice>>& devices() const { return devices_; }
    // Hands every report and unplug notice waiting in the mailbox to its device; the mailbox's
    // notifier calls it on the UI thread.
    void deliverPending();
    hid::Backend& backend() { return backend_; }

private:
    // Brings the list in line with `infos`: devices still there keep their objects (and Tags),
    // new ones get new objects with Tag 0; the ones gone are returned.
    std::vector<std::shared_ptr<HidDevice>> sync(const std::vector<hid::DeviceInfo>& infos);

    hid::Backend& backend_;
    std::shared_ptr<HidMailbox> mailbox_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<std::shared_ptr<HidDevice>> devices_;
    std::set<std::string> nodes_;
    QTimer timer_;
    int sleepMs_ = 10;
};
