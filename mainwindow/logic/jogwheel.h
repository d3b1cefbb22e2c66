// The jog wheels: what each wheel did since the last main loop pass, turned into a smoothed
// speed and applied by the deck's jog mode (scratch, search, effect amount, pitch bend while
// playing, browsing the load source while stopped); the wheels' and the big waveform displays'
// mouse handlers; the actjo timer that ends a controller's drive. One implementation for both
// decks (vrwheela / vrWheelb, display1grande / display2grande). UI thread only.
#pragma once

#include <functional>

class DeckControls;
class LoadSource;
class Transport;

class JogWheel {
public:
    JogWheel(DeckControls& deckA, DeckControls& deckB, LoadSource& source, Transport& transport);

    struct Hooks {
        std::function<int(int deck)> wheelCount;              // quorwhel1 / quorwhel2 div the wheel's step
        std::function<bool(int deck)> nobend;                 // nobenda / nobendb
        std::function<void(int deck, float rotacion)> rotate; // ScaleRot(wheel, vrwheela, rotacion)
    };
    Hooks hooks;
    int wheelWidth = 187, wheelHeight = 187;

    // ---- pure pieces
    // factor <= 1: now; else old - (old - now) / factor
    static double dbCurveValue(double factor, double old, double now);
    // The angle in degrees of the cursor (x, y) measured from straight below the centre of a
    // w x h wheel, negated: clockwise increases it; it jumps by 360 at the top of the wheel.
    static double wheelAngle(double x, double y, double w, double h);
    // An angle step brought into -180 .. 180 (a step across the seam counts 360 less or more).
    static double seamDelta(double delta);
    // The search step of a pass: the step across the seam taken the short way, rounded (halves
    // to even), div 2 truncating toward zero. Its sign is the direction.
    static int searchBeats(double newangle, double oldangle);
    // The effect dial for an angle: 950 - angle x 850 / 360 rounded (halves to even).
    static int effectsDial(double angle);
    // rotacion kept within 1 .. 360: above 360 it becomes 1, below 1 it becomes 360
    static float wrapRotation(float r);

    // ---- one main loop pass (doPlaying: deck A, then deck B)
    void doPlaying();
    void pass(DeckControls& d);

    // ---- mouse on the wheel and on the big waveform display
    void wheelMouseDown(DeckControls& d, bool left, int x, int y);
    void wheelMouseMove(DeckControls& d, int x, int y);
    void wheelMouseUp(DeckControls& d);
    void displayMouseDown(DeckControls& d, bool left, int x);
    void displayMouseMove(DeckControls& d, int x);
    void displayMouseUp(DeckControls& d);

    // actjoTimer for one wheel, with its count now
    void actjo(DeckControls& d, int position);

private:
    void leaveLoop(DeckControls& d);
    DeckControls& a_;
    DeckControls& b_;
    LoadSource& source_;
    Transport& transport_;
};
