// The display layout and mode of one MIDI controller (hdm, hdm2). The loaders write modo, the
// text pairs and the field starts and lengths; nothing writes the rest.
#pragma once

#include <array>
#include <cstdint>

class TMidDisplay {
public:
    int32_t modo = 0;  // 0: the definition's "SINGLE" mode, 1: every other case
    std::array<int32_t, 21> fixedmidi{}, fixedvalue{};
    int32_t dtextmodo = 0;
    std::array<int32_t, 61> dtexta{}, dtexta1{};
    int32_t textlength = 0;
    int32_t dtextamodo = 0;
    int32_t dminAstart = 0, dminAlength = 0, dsecAstart = 0, dsecAlength = 0, dmsecAstart = 0, dmsecAlength = 0;
    int32_t dtrackAstart = 0, dtrackAlength = 0, dbpmAstart = 0, dbpmAlength = 0, dpitchAstart = 0, dpitchAlength = 0;
    std::array<int32_t, 61> dtextb{};
    int32_t dtextbmodo = 0;
    int32_t dminbstart = 0, dminblength = 0, dsecbstart = 0, dsecblength = 0, dmsecbstart = 0, dmsecblength = 0;
    int32_t dtrackbstart = 0, dtrackblength = 0, dbpmbstart = 0, dbpmblength = 0, dpitchbstart = 0, dpitchblength = 0;
    int32_t ajustea = 0, ajusteb = 0;
};
