#include "controllers/hid/hiddevicecontroller.h"

#include <algorithm>

#include <QCoreApplication>
#include <QSocketNotifier>

HidDeviceController::HidDeviceController(hid::Backend& backend)
    : backend_(backend), mailbox_(std::make_shared<HidMailbox>())
{
    if (QCoreApplication::instance() && mailbox_->wakeHandle() >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(mailbox_->wakeHandle(), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { deliverPending(); });
    }
    timer_.setInterval(kPollMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
}

HidDeviceController::~HidDeviceController()
{
    timer_.stop();
    for (auto& d : devices_) d->stop();
}

void HidDeviceController::deliverPending()
{
    for (const HidMailbox::Item& item : mailbox_->take()) {
        const std::shared_ptr<HidDevice> device = item.device.lock();
        if (!device) continue;
        if (item.gone && item.generation == device->generation()) {
            // A device whose reads failed is off the list at once, so that the next check sees
            // it back even when it comes back under the same node within one poll.
            nodes_.erase(device->info().path);
            devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
        }
        device->deliver(item);
    }
}

std::vector<std::shared_ptr<HidDevice>> HidDeviceController::sync(const std::vector<hid::DeviceInfo>& infos)
{
    std::vector<std::shared_ptr<HidDevice>> kept, gone;
    for (const hid::DeviceInfo& info : infos) {
        const auto it = std::find_if(devices_.begin(), devices_.end(),
                                     [&](const auto& d) { return d && d->info().path == info.path; });
        if (it != devices_.end()) {
            kept.push_back(std::move(*it));
        } else {
            kept.push_back(std::make_shared<HidDevice>(backend_, info, mailbox_));
        }
    }
    for (auto& d : devices_)
        if (d) gone.push_back(std::move(d));
    devices_ = std::move(kept);
    nodes_.clear();
    for (const auto& d : devices_) nodes_.insert(d->info().path);
    return gone;
}

void HidDeviceController::Enumerate()
{
    sync(backend_.enumerate());
    const auto list = devices_;  // a handler may not change the list, but keep the objects alive
    for (size_t i = 0; i < list.size(); ++i)
        if (OnEnumerate && !OnEnumerate(*list[i], int(i))) break;
}

bool HidDeviceController::CheckOutByCallback(std::shared_ptr<HidDevice>& device, const CheckOutTest& test)
{
    for (const auto& d : devices_) {
        if (d->checkedOut || !test(*d)) continue;
        if (!d->start()) return false;
        d->checkedOut = true;
        device = d;
        return true;
    }
    return false;
}

void HidDeviceController::CheckIn(std::shared_ptr<HidDevice>& device)
{
    if (!device) return;
    device->setOnData(nullptr);
    device->setOnUnplug(nullptr);
    device->stop();
    device->checkedOut = false;
    device.reset();
}

bool HidDeviceController::poll()
{
    const std::vector<hid::DeviceInfo> infos = backend_.enumerate();
    std::set<std::string> now;
    for (const auto& i : infos) now.insert(i.path);
    if (now == nodes_) return false;
    const std::vector<std::shared_ptr<HidDevice>> gone = sync(infos);
    for (const auto& d : gone)
        if (OnRemoval) OnRemoval(*d);
    if (OnDeviceChange) OnDeviceChange();
    return true;
}

void HidDeviceController::startPolling()
{
    // without an event loop there is nothing to poll from
    if (!QCoreApplication::instance()) return;
    if (!timer_.isActive()) {
        // the first poll compares against the list as it is now
        if (devices_.empty() && nodes_.empty()) sync(backend_.enumerate());
        timer_.start();
    }
}

void HidDeviceController::stopPolling() { timer_.stop(); }
