// A HID device as the fake device layer lists it.
#pragma once

#include <string>

#include "platform/hid/hidbackend.h"

inline hid::DeviceInfo device(const std::string& path, const std::string& product, int in = 20, int out = 9)
{
    hid::DeviceInfo d;
    d.path = path;
    d.product = product;
    d.inputLength = in;
    d.outputLength = out;
    d.capsOk = true;
    return d;
}
