// Where the mounted volumes come from: the system's mount table (MountTable) or, in tests, a
// list set by hand (FakeVolumeSource). MountWatcher polls one for arrivals and removals.
#pragma once

#include <chrono>
#include <vector>

#include "platform/shell/volume.h"

class VolumeSource {
public:
    virtual ~VolumeSource() = default;

    // Every mount, pseudo file systems included, in mount order. Safe from any thread.
    virtual std::vector<Volume> mounts() = 0;

    // Blocks until the mount table may have changed, `limit` has passed, or `wakeFd` (an
    // eventfd or pipe, -1 for none) becomes readable. Called by one thread at a time.
    virtual void waitForChange(std::chrono::milliseconds limit, int wakeFd) = 0;
};
