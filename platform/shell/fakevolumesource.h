// A mount table set by hand, for tests: set() replaces the list and wakes a waiting watcher.
#pragma once

#include <mutex>

#include "platform/shell/volumesource.h"

class FakeVolumeSource : public VolumeSource {
public:
    FakeVolumeSource();
    explicit FakeVolumeSource(std::vector<Volume> mounts);
    ~FakeVolumeSource() override;
    FakeVolumeSource(const FakeVolumeSource&) = delete;
    FakeVolumeSource& operator=(const FakeVolumeSource&) = delete;

    void set(std::vector<Volume> mounts);  // any thread
    void add(const Volume& v);             // mounted last
    void remove(const QString& mountPoint);

    std::vector<Volume> mounts() override;
    void waitForChange(std::chrono::milliseconds limit, int wakeFd) override;

    // a browsable volume of a kind, for short tests
    static Volume volume(const QString& mountPoint, const QString& label = QString(),
                         const QString& fsType = QStringLiteral("ext4"), bool removable = false);

private:
    void changed();
    std::mutex m_;
    std::vector<Volume> mounts_;
    int eventFd_ = -1;
};
