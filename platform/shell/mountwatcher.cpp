#include "platform/shell/mountwatcher.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include <QSocketNotifier>

#include "platform/shell/volumesource.h"

namespace {
void ring(int fd)
{
    const uint64_t one = 1;
    if (fd >= 0) [[maybe_unused]] auto n = ::write(fd, &one, sizeof one);
}

void drain(int fd)
{
    uint64_t count = 0;
    if (fd >= 0) [[maybe_unused]] auto n = ::read(fd, &count, sizeof count);
}
}  // namespace

MountWatcher::MountWatcher(VolumeSource& source, QObject* parent)
    : QObject(parent), source_(source), known_(browsableVolumes(source.mounts()))
{
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    readyFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (readyFd_ >= 0) {
        ready_ = new QSocketNotifier(readyFd_, QSocketNotifier::Read, this);
        connect(ready_, &QSocketNotifier::activated, this, [this] {
            drain(readyFd_);
            collect();
        });
    }
}

MountWatcher::~MountWatcher()
{
    stop();
    delete ready_;
    if (wakeFd_ >= 0) ::close(wakeFd_);
    if (readyFd_ >= 0) ::close(readyFd_);
}

void MountWatcher::start(std::chrono::milliseconds interval)
{
    if (worker_.joinable()) return;
    stopping_ = false;
    worker_ = std::thread([this, interval, last = known_]() mutable {
        while (!stopping_.load()) {
            source_.waitForChange(interval, wakeFd_);
            if (stopping_.load()) break;
            std::vector<Volume> now = browsableVolumes(source_.mounts());
            if (now == last) continue;
            last = now;
            {
                std::lock_guard<std::mutex> g(mailbox_);
                latest_ = std::move(now);  // a list not yet collected is replaced: only the newest counts
            }
            ring(readyFd_);
        }
    });
}

void MountWatcher::stop()
{
    if (!worker_.joinable()) return;
    stopping_ = true;
    ring(wakeFd_);
    worker_.join();
    drain(wakeFd_);
}

void MountWatcher::collect()
{
    std::optional<std::vector<Volume>> now;
    {
        std::lock_guard<std::mutex> g(mailbox_);
        now.swap(latest_);
    }
    if (now) apply(*now);
}

void MountWatcher::check()
{
    apply(browsableVolumes(source_.mounts()));
}

void MountWatcher::apply(const std::vector<Volume>& now)
{
    const std::vector<Volume> before = std::exchange(known_, now);
    auto find = [](const std::vector<Volume>& list, const QString& mountPoint) -> const Volume* {
        for (const Volume& v : list)
            if (v.mountPoint == mountPoint) return &v;
        return nullptr;
    };
    for (const Volume& old : before) {
        const Volume* still = find(now, old.mountPoint);
        if (!still || *still != old) emit removed(old);
    }
    for (const Volume& v : now) {
        const Volume* was = find(before, v.mountPoint);
        if (!was || *was != v) emit arrived(v);
    }
}
