// The display record of one HID controller (hd, hd2): its display mode, command strings, the
// positions of every display field and the fixed lights. What a start/length pair means depends
// on the field: a light position for the times, track, selector and pitch signs; two byte
// positions (high byte, low byte) for BPM and pitch; first and last display position for texts.
#pragma once

#include <array>
#include <cstdint>

#include <QString>

class THidDisplay {
public:
    static constexpr int kPositions = 521;  // light positions 0..520 (above 300: deck B's layer)

    int32_t modo = 1;  // 0: one display following the selected deck (single); 1: fixed to a deck or none
    QString cadenaini, cadenafin, cadenaled, cadenatexto;
    int32_t dminAstart = 0, dminAlength = 0, dminBstart = 0, dminBlength = 0;
    int32_t dsecAstart = 0, dsecAlength = 0, dsecBstart = 0, dsecBlength = 0;
    int32_t dmsecAstart = 0, dmsecAlength = 0, dmsecBstart = 0, dmsecBlength = 0;
    int32_t dminATotstart = 0, dminATotlength = 0, dminBTotstart = 0, dminBTotlength = 0;
    int32_t dsecATotstart = 0, dsecATotlength = 0, dsecBTotstart = 0, dsecBTotlength = 0;
    int32_t dmsecATotstart = 0, dmsecATotlength = 0, dmsecBTotstart = 0, dmsecBTotlength = 0;
    int32_t dselectorAstart = 0, dselectorAlength = 0, dselectorBstart = 0, dselectorBlength = 0;
    int32_t dpitchsignmasAstart = 0, dpitchsignmasAlength = 0, dpitchsignmasBstart = 0, dpitchsignmasBlength = 0;
    int32_t dpitchsignmenosAstart = 0, dpitchsignmenosAlength = 0, dpitchsignmenosBstart = 0,
            dpitchsignmenosBlength = 0;
    int32_t dtextoAstart = 0, dtextoAlength = 0, dtextoBstart = 0, dtextoBlength = 0;
    int32_t dpitchAstart = 0, dpitchAlength = 0, dpitchBstart = 0, dpitchBlength = 0;
    int32_t dbpmAstart = 0, dbpmAlength = 0, dbpmBstart = 0, dbpmBlength = 0;
    int32_t dtrackAstart = 0, dtrackAlength = 0, dtrackBstart = 0, dtrackBlength = 0;
    std::array<QString, kPositions> fixedA, fixedB, fixed;
    int32_t cargaselected = 0;
    bool scrollamos = true;
    QString cargasingle;  // "A" or "B": the deck a fixed display shows; empty: none
    int32_t sheada = 0, sheadb = 0;  // light positions of the headphone lights
    QString fixtext;
    QString spaces;
    int32_t ajustea = 0, ajusteb = 0;
};
