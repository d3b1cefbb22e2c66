// The sound layer's device for the "system" client of the JACK server this process talks to
// (the dummy driver's playback ports), found in a fresh device list and initialised. Its
// index is -1 when there is none or it does not open.
#pragma once

#include "platform/sound/sound.h"

inline sound::DeviceRef openJackSystemDevice()
{
    sound::refreshDevices();
    int sys = -1;
    for (int i = 0; i < sound::deviceCount(sound::DeviceApi::Jack); ++i) {
        sound::DeviceInfo info;
        if (sound::getDeviceInfo({sound::DeviceApi::Jack, i}, info) && info.name == "system") sys = i;
    }
    const sound::DeviceRef dev{sound::DeviceApi::Jack, sys};
    if (sys < 0 || !sound::initDevice(dev)) return {sound::DeviceApi::Jack, -1};
    return dev;
}
