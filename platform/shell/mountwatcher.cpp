#include "platform/shell/mountwatcher.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "platform/shell/volumesource.h"

MountWatcher::MountWatcher(VolumeSource& source, QObject* parent)
    : QObject(parent), source_(source), known_(browsableVolumes(source.mounts()))
{
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

MountWatcher::~MountWatcher()
{
    stop();
    if (wakeFd_ >= 0) ::close(wakeFd_);
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
            QMetaObject::invokeMethod(this, [this, now = std::move(now)] { apply(now); }, Qt::QueuedConnection);
        }
    });
}

void MountWatcher::stop()
{
    if (!worker_.joinable()) return;
    stopping_ = true;
    const uint64_t one = 1;
    if (wakeFd_ >= 0) [[maybe_unused]] auto n = ::write(wakeFd_, &one, sizeof one);
    worker_.join();
    uint64_t count = 0;
    if (wakeFd_ >= 0) [[maybe_unused]] auto n = ::read(wakeFd_, &count, sizeof count);
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
