#include "controllers/hid/hiddevice.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "platform/hid/devicethread.h"

HidDevice::HidDevice(hid::Backend& backend, const hid::DeviceInfo& info)
    : backend_(backend), info_(info)
{
}

HidDevice::~HidDevice() { thread_.reset(); }

bool HidDevice::GetCaps(int& inputLength, int& outputLength) const
{
    inputLength = info_.inputLength;
    outputLength = info_.outputLength;
    return info_.capsOk;
}

bool HidDevice::start()
{
    if (thread_) return true;
    std::string error;
    std::unique_ptr<hid::Device> device = backend_.open(info_, &error);
    if (!device) return false;
    const unsigned generation = ++generation_;
    const std::weak_ptr<HidDevice> weak = weak_from_this();
    // the application object lives on the UI thread for the whole run: the calls run there
    QObject* ui = QCoreApplication::instance();
    thread_ = std::make_unique<hid::DeviceThread>(
        std::move(device),
        [weak, ui, generation](std::vector<uint8_t> report) {
            if (!ui) return;
            QMetaObject::invokeMethod(
                ui,
                [weak, generation, report = std::move(report)] {
                    const std::shared_ptr<HidDevice> self = weak.lock();
                    if (!self || generation != self->generation_ || !self->onData_ || report.empty()) return;
                    // a copy: the handler may unbind itself
                    const DataHandler handler = self->onData_;
                    handler(*self, report[0], report.data() + 1, int(report.size()) - 1);
                },
                Qt::QueuedConnection);
        },
        [weak, ui, generation] {
            if (!ui) return;
            QMetaObject::invokeMethod(
                ui,
                [weak, generation] {
                    const std::shared_ptr<HidDevice> self = weak.lock();
                    if (!self || generation != self->generation_ || !self->onUnplug_) return;
                    const UnplugHandler handler = self->onUnplug_;
                    handler(*self);
                },
                Qt::QueuedConnection);
        });
    return true;
}

void HidDevice::stop()
{
    thread_.reset();
    ++generation_;
}

bool HidDevice::WriteFile(const uint8_t* bytes, int length)
{
    if (!thread_ || length <= 0) return false;
    thread_->write(std::vector<uint8_t>(bytes, bytes + length));
    return true;
}
