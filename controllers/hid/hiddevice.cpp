#include "controllers/hid/hiddevice.h"


#include "platform/hid/devicethread.h"

HidDevice::HidDevice(hid::Backend& backend, const hid::DeviceInfo& info, std::shared_ptr<HidMailbox> mailbox)
    : backend_(backend), info_(info), mailbox_(std::move(mailbox))
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
    const std::shared_ptr<HidMailbox> mailbox = mailbox_;
    thread_ = std::make_unique<hid::DeviceThread>(
        std::move(device),
        [weak, mailbox, generation](std::vector<uint8_t> report) {
            mailbox->post({weak, generation, false, std::move(report)});
        },
        [weak, mailbox, generation] { mailbox->post({weak, generation, true, {}}); });
    return true;
}

void HidDevice::deliver(const HidMailbox::Item& item)
{
    if (item.generation != generation_) return;
    if (item.gone) {
        // a copy: the handler may unbind itself or release the device
        if (const UnplugHandler handler = onUnplug_) handler(*this);
        return;
    }
    if (!thread_ || item.report.empty()) return;
    if (const DataHandler handler = onData_) handler(*this, item.report[0], item.report.data() + 1, int(item.report.size()) - 1);
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
