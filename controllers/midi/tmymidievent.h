// One MIDI message as the input path processes it and the output ports send it.
#pragma once

#include <cstdint>

class TMyMidiEvent {
public:
    uint8_t MidiMessage = 0;  // the status byte
    uint8_t Data1 = 0;
    uint8_t Data2 = 0;
    uint32_t Time = 0;              // never set
    uint16_t SysexLength = 0;
    const uint8_t* Sysex = nullptr;  // a system exclusive block to send, not owned; none for short messages
};
