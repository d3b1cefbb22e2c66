#include "platform/hid/devicethread.h"

namespace hid {

DeviceThread::DeviceThread(std::unique_ptr<Device> device, ReportCallback onReport, GoneCallback onGone)
    : device_(std::move(device)), onReport_(std::move(onReport)), onGone_(std::move(onGone))
{
    thread_ = std::thread([this] { run(); });
}

DeviceThread::~DeviceThread()
{
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
    device_.reset();
}

void DeviceThread::write(std::vector<uint8_t> report)
{
    std::lock_guard<std::mutex> lock(m_);
    writes_.push_back(std::move(report));
}

void DeviceThread::run()
{
    std::vector<uint8_t> buffer(kMaxReport);
    while (!stop_.load()) {
        std::deque<std::vector<uint8_t>> pending;
        {
            std::lock_guard<std::mutex> lock(m_);
            pending.swap(writes_);
        }
        // a failed write goes unnoticed; a gone device shows at the next read
        for (const auto& report : pending) device_->write(report.data(), report.size());

        const int n = device_->read(buffer.data(), buffer.size(), kReadWaitMs);
        if (n < 0) {
            ended_.store(true);
            if (onGone_) onGone_();
            return;
        }
        if (n > 0 && onReport_) onReport_(std::vector<uint8_t>(buffer.begin(), buffer.begin() + n));
    }
    ended_.store(true);
}

}  // namespace hid
