// A logical output: a stream summed into a route of a device's callback.
#pragma once

#include <memory>

#include "platform/sound/graph.h"
#include "platform/sound/outputdevice.h"

namespace sound {

class LogicalOutput : public Object {
public:
    LogicalOutput(std::shared_ptr<OutputDevice> d, DeviceRef ref, Handle s, int slot)
        : Object(Kind::Output), device(std::move(d)), deviceRef(ref), stream(s), slot(slot) {}
    ~LogicalOutput() override
    {
        if (device) device->removeRoute(slot);
    }

    std::shared_ptr<OutputDevice> device;
    DeviceRef deviceRef;
    Handle stream;
    int slot;
};

}  // namespace sound
