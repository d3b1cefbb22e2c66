// Starts a JACK server of our own and opens the sound layer's device for its "system" client
// (the dummy driver's playback ports), found in a fresh device list. What fails is said on
// stderr and the device's index is then -1.
#pragma once

#include <cstdio>

#include "platform/sound/sound.h"
#include "tests/support/jackserver.h"

inline sound::DeviceRef openJackSystemDevice(JackServer& server)
{
    const sound::DeviceRef none{sound::DeviceApi::Jack, -1};
    if (!server.start()) {
        std::fprintf(stderr, "the JACK server did not start\n");
        return none;
    }
    sound::refreshDevices();
    int sys = -1;
    for (int i = 0; i < sound::deviceCount(sound::DeviceApi::Jack); ++i) {
        sound::DeviceInfo info;
        if (sound::getDeviceInfo({sound::DeviceApi::Jack, i}, info) && info.name == "system") sys = i;
    }
    const sound::DeviceRef dev{sound::DeviceApi::Jack, sys};
    if (sys < 0 || !sound::initDevice(dev)) {
        std::fprintf(stderr, "cannot open the JACK device: %s\n", sound::errorText(sound::lastError()));
        return none;
    }
    return dev;
}
