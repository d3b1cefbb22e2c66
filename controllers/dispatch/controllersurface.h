// The seam through which the controllers reach the main window: its buttons and their handlers,
// its sliders, dials and wheels, a few labels, the deck state it reads through the engine, and its
// message box. The main window implements it; tests use a recording fake. Every call comes on the
// UI thread.
//
// Buttons and controls are named by the window's field names; a handler is reached by pressing
// its button: MouseDown(SurfaceButton::btnplay1) runs btnplay1MouseDown, Click(btncue1) runs
// btncue1Click, MouseUp(btncue1) runs btncue1MouseUp. The window calls them as a left-button press
// at (1, 1) with no shift keys, with the button itself as sender (grouped buttons read its Tag),
// except btncue1Click / btncue2Click, which get the form.
#pragma once

#include <QString>

enum class SurfaceButton {
    // deck transport, deck A then deck B
    btnplay1, btnplay2,    // btnplay1MouseDown: play/pause toggle
    btnpause1, btnpause2,  // btnpause1MouseDown
    btncue1, btncue2,      // btncue1MouseDown / btncue1MouseUp, btncue1Click: back to the cue point and stop
    btnload1, btnload2,    // btnload1MouseDown: loads the source grid's current row
    match1, match2,        // match1MouseDown: takes the other deck's tempo
    reverse, reverse2,     // reverseMouseDown, reverse2MouseDown: reverse toggle
    brake, brake2,         // brakeMouseDown, brake2MouseDown: brake toggle
    // pitch bend, deck A then deck B
    bendmas1, bendmenos1, BendMas2, Bendmenos2,
};

enum class SurfaceControl {
    trackfrequency, trackfrequency2,  // pitch sliders 0..127
    trackvolume, trackvolume2,        // channel volume 0..127
    crossfader,                       // -1..127
    bas1, bas2, mid1, mid2, tre1, tre2,  // EQ dials 0..30
    gain1, gain2,                     // 0..20
    dry1, wet1, dry2, wet2,           // effect dry/wet 0..1000, parameter 100..950
    samplevolume, samplevolume2,      // 0..100
    volhead1, volhead2,               // headphone volumes 0..100
    volrec,                           // recording volume 0..100
    RLed3,                            // recording level bar (hidden in the standard layout)
    vrwheela, vrWheelb,               // jog wheels: the position is the count (TQuorDial.setfcount)
};

enum class SurfaceLabel { track1, track2, laut_t1, laut_t2 };

class ControllerSurface {
public:
    virtual ~ControllerSurface() = default;

    // ---- buttons
    virtual void MouseDown(SurfaceButton b) = 0;
    virtual void MouseUp(SurfaceButton b) = 0;
    virtual void Click(SurfaceButton b) = 0;
    virtual bool Down(SurfaceButton b) const = 0;
    virtual void SetDown(SurfaceButton b, bool down) = 0;
    virtual bool Enabled(SurfaceButton b) const = 0;

    // ---- sliders, dials, level bars and jog wheels
    virtual int Position(SurfaceControl c) const = 0;
    // The control limits the value to its bounds and redraws; when its position changed it runs
    // its change handler, which writes the new position back into the controller value global.
    virtual void SetPosition(SurfaceControl c, int value) = 0;
    virtual int Min(SurfaceControl c) const = 0;
    virtual int Max(SurfaceControl c) const = 0;

    // ---- labels
    virtual QString Caption(SurfaceLabel l) const = 0;
    virtual void SetCaption(SurfaceLabel l, const QString& text) = 0;

    // ---- decks (0 = deck A, 1 = deck B) and the engine, through the window's engine adj
    virtual bool deckPlaying(int deck) const = 0;     // the deck's PRecord has the play status
    virtual bool deckSearchMode(int deck) const = 0;  // the deck player's ssearch
    virtual void setvalorbend(int deck, int value) = 0;  // the deck player's valorbend
    virtual int grabapeak() const = 0;                // the engine's recording peak

    // ---- the main loop's jog handling: botonleft / botonleft2 (mouse held on the wheel),
    // tscratchena / tscratchena2, fscratch / fscratch2 (the deck's scratch speed)
    struct JogMouse {
        bool botonleft = false;
        bool tscratchena = false;
        double fscratch = 0;
    };
    virtual JogMouse jogMouse(int deck) const = 0;

    // ---- the library panels' own keyboard flag (Groups, Playlists, Explorer)
    virtual void setPanelsIskeyboard(bool on) = 0;

    // ---- a plain message with one OK button; shows and returns (it need not wait)
    virtual void ShowMessage(const QString& text) = 0;
};
