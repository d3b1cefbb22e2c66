#include "platform/hid/fakehidbackend.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace hid {

class FakeHidBackend::FakeDevice : public Device {
public:
    FakeDevice(const FakeHidBackend& owner, std::shared_ptr<State> state) : owner_(owner), state_(std::move(state)) {}

    int read(uint8_t* buffer, size_t size, int timeoutMs) override
    {
        std::unique_lock<std::mutex> lock(owner_.m_);
        owner_.cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            return state_->gone || state_->failNext || !state_->reports.empty();
        });
        if (state_->gone || state_->failNext) {
            state_->failNext = false;
            return -1;
        }
        if (state_->reports.empty()) return 0;
        std::vector<uint8_t> r = std::move(state_->reports.front());
        state_->reports.pop_front();
        owner_.cv_.notify_all();
        const size_t n = std::min(size, r.size());
        std::memcpy(buffer, r.data(), n);
        return int(n);
    }

    bool write(const uint8_t* bytes, size_t size) override
    {
        std::lock_guard<std::mutex> lock(owner_.m_);
        if (state_->gone) return false;
        state_->writes.emplace_back(bytes, bytes + size);
        owner_.cv_.notify_all();
        return true;
    }

private:
    const FakeHidBackend& owner_;
    std::shared_ptr<State> state_;
};

std::shared_ptr<FakeHidBackend::State> FakeHidBackend::state(const std::string& path) const
{
    const auto it = all_.find(path);
    return it == all_.end() ? nullptr : it->second;
}

void FakeHidBackend::plug(const DeviceInfo& info)
{
    std::lock_guard<std::mutex> lock(m_);
    auto s = std::make_shared<State>();
    s->info = info;
    const auto old = std::find_if(list_.begin(), list_.end(), [&](const auto& p) { return p->info.path == info.path; });
    if (old != list_.end()) {
        (*old)->gone = true;
        *old = s;
    } else {
        list_.push_back(s);
    }
    all_[info.path] = s;
    cv_.notify_all();
}

void FakeHidBackend::unplug(const std::string& path)
{
    std::lock_guard<std::mutex> lock(m_);
    list_.erase(std::remove_if(list_.begin(), list_.end(),
                               [&](const auto& p) {
                                   if (p->info.path != path) return false;
                                   p->gone = true;
                                   return true;
                               }),
                list_.end());
    cv_.notify_all();
}

void FakeHidBackend::failRead(const std::string& path)
{
    std::lock_guard<std::mutex> lock(m_);
    if (auto s = state(path)) s->failNext = true;
    cv_.notify_all();
}

void FakeHidBackend::inject(const std::string& path, std::vector<uint8_t> report)
{
    std::lock_guard<std::mutex> lock(m_);
    if (auto s = state(path)) s->reports.push_back(std::move(report));
    cv_.notify_all();
}

void FakeHidBackend::setRefuseOpen(bool refuse)
{
    std::lock_guard<std::mutex> lock(m_);
    refuse_ = refuse;
}

std::vector<std::vector<uint8_t>> FakeHidBackend::written(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(m_);
    const auto s = state(path);
    return s ? s->writes : std::vector<std::vector<uint8_t>>{};
}

bool FakeHidBackend::waitWritten(const std::string& path, size_t count, int ms) const
{
    std::unique_lock<std::mutex> lock(m_);
    return cv_.wait_for(lock, std::chrono::milliseconds(ms), [&] {
        const auto s = state(path);
        return s && s->writes.size() >= count;
    });
}

bool FakeHidBackend::waitLastWritten(const std::string& path, const std::vector<uint8_t>& report, int ms) const
{
    std::unique_lock<std::mutex> lock(m_);
    return cv_.wait_for(lock, std::chrono::milliseconds(ms), [&] {
        const auto s = state(path);
        return s && !s->writes.empty() && s->writes.back() == report;
    });
}

bool FakeHidBackend::waitDrained(const std::string& path, int ms) const
{
    std::unique_lock<std::mutex> lock(m_);
    return cv_.wait_for(lock, std::chrono::milliseconds(ms), [&] {
        const auto s = state(path);
        return !s || s->reports.empty();
    });
}

int FakeHidBackend::openCount(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(m_);
    const auto s = state(path);
    return s ? s->opens : 0;
}

int FakeHidBackend::enumerateCount() const
{
    std::lock_guard<std::mutex> lock(m_);
    return enumerations_;
}

std::vector<DeviceInfo> FakeHidBackend::enumerate()
{
    std::lock_guard<std::mutex> lock(m_);
    ++enumerations_;
    std::vector<DeviceInfo> out;
    for (const auto& s : list_) out.push_back(s->info);
    return out;
}

std::unique_ptr<Device> FakeHidBackend::open(const DeviceInfo& info, std::string* error)
{
    std::lock_guard<std::mutex> lock(m_);
    const auto s = state(info.path);
    if (refuse_ || !s || s->gone) {
        if (error) *error = "cannot open " + info.path;
        return nullptr;
    }
    ++s->opens;
    return std::make_unique<FakeDevice>(*this, s);
}

}  // namespace hid
