#include "platform/shell/fakevolumesource.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

FakeVolumeSource::FakeVolumeSource() : eventFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

FakeVolumeSource::FakeVolumeSource(std::vector<Volume> mounts) : FakeVolumeSource()
{
    mounts_ = std::move(mounts);
}

FakeVolumeSource::~FakeVolumeSource()
{
    if (eventFd_ >= 0) ::close(eventFd_);
}

void FakeVolumeSource::set(std::vector<Volume> mounts)
{
    {
        std::lock_guard<std::mutex> g(m_);
        mounts_ = std::move(mounts);
    }
    changed();
}

void FakeVolumeSource::add(const Volume& v)
{
    {
        std::lock_guard<std::mutex> g(m_);
        mounts_.push_back(v);
    }
    changed();
}

void FakeVolumeSource::remove(const QString& mountPoint)
{
    {
        std::lock_guard<std::mutex> g(m_);
        std::erase_if(mounts_, [&](const Volume& v) { return v.mountPoint == mountPoint; });
    }
    changed();
}

void FakeVolumeSource::changed()
{
    const uint64_t one = 1;
    if (eventFd_ >= 0) [[maybe_unused]] auto n = ::write(eventFd_, &one, sizeof one);
}

std::vector<Volume> FakeVolumeSource::mounts()
{
    std::lock_guard<std::mutex> g(m_);
    return mounts_;
}

void FakeVolumeSource::waitForChange(std::chrono::milliseconds limit, int wakeFd)
{
    pollfd fds[2] = {{eventFd_, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    if (::poll(fds, 2, int(limit.count())) > 0 && (fds[0].revents & POLLIN)) {
        uint64_t count = 0;
        [[maybe_unused]] auto n = ::read(eventFd_, &count, sizeof count);
    }
}

Volume FakeVolumeSource::volume(const QString& mountPoint, const QString& label, const QString& fsType, bool removable)
{
    Volume v;
    v.mountPoint = mountPoint;
    v.device = QStringLiteral("/dev/fake");
    v.fsType = fsType;
    v.label = label;
    v.removable = removable;
    return v;
}
