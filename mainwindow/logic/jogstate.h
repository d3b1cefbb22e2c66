// One jog wheel's state between main loop passes (deck A's names; deck B's end in 2 or b where
// they differ: botonleft2, vr2xx, tscratchena2, posini2, mousex2, newangle2, ...).
#pragma once

struct JogState {
    bool botonleft = false;      // the left button is held on the wheel
    int vrxx = 0, vryy = 0;      // vr1xx, vr1yy: the cursor over the wheel
    bool tscratchena = false;    // the waveform display is being dragged
    int posini = 0, mousex = 0;  // previous and current cursor x of that drag
    double newangle = 0, oldangle = 0;
    double angle = 0;            // 180 - newangle
    float scangle = 0;           // scangle1 / scangle: angle before this pass
    double a = 0;                // smoothed angle step per pass, degrees
    double b = 0;                // jog speed: a x 10000
    float rotacion = 0;          // drawn angle of the platter, 1 .. 360
    int beats = 0;               // search step of this pass
    int vwhel = 0;               // vwhel1 / vwhel2: the wheel count remembered by actjo
    int xposit = 0, oldposition = 0;
};
