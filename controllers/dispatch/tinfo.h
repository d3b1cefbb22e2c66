// One input event: what the keyboard, the MIDI and the HID input routines hand to the action
// dispatcher. Two live for the whole run: bp (keyboard, MIDI controller 1, both HID controllers)
// and bp2 (MIDI controller 2); each routine overwrites the fields it knows, the others keep what
// the previous writer left.
#pragma once

#include <cstdint>

class TInfo {
public:
    int32_t accion = 0;    // control code 0..267 (0: no control)
    int32_t valor = 0;     // buttons 127 press, 63 alternate press, 32 third press, 0 release; pots: the value
    int32_t oldvalor = 0;  // previous valor of an endless control; written by the dispatcher only
    int32_t range = 0;     // centre of a relative control; steps per turn of an absolute jog
    int32_t rangelo = 0;
    int32_t rangeup = 0;
    int32_t invert = 0;
    int32_t value = 0;     // full scale of absolute pots, step of relative wheels, a key's value
    int32_t alto = 0;
    int32_t bajo = 0;
    int32_t treshold = 0;  // never used
};
