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

// Every button the controllers press or read, by the window's field name. The handler a press runs
// is named beside it; grouped buttons share a handler that reads the button's Tag.
#define OSTREL_SURFACE_BUTTONS(X)                                                                     \
    /* deck transport, deck A then deck B */                                                          \
    X(btnplay1) X(btnplay2)    /* btnplay1MouseDown: play/pause toggle */                             \
    X(btnpause1) X(btnpause2)  /* btnpause1MouseDown */                                               \
    X(btncue1) X(btncue2)      /* btncue1MouseDown / MouseUp, btncue1Click: to the cue point, stop */ \
    X(btnload1) X(btnload2)    /* btnload1MouseDown: loads the source grid's current row */           \
    X(match1) X(match2)        /* match1MouseDown: takes the other deck's tempo */                     \
    X(reverse) X(reverse2)     /* reverseMouseDown, reverse2MouseDown: reverse toggle */               \
    X(brake) X(brake2)         /* brakeMouseDown, brake2MouseDown: brake toggle */                     \
    /* pitch bend: bendmas1MouseDown / MouseUp ... */                                                  \
    X(bendmas1) X(bendmenos1) X(BendMas2) X(Bendmenos2)                                               \
    /* loop lengths 1/4 .. 32 beats, Tag 1..8: R1MouseDown / R1MouseUp; l1MouseDown / l1MouseUp */    \
    X(r1) X(r2) X(r3) X(r4) X(r5) X(r6) X(r7) X(r8)                                                   \
    X(l1) X(l2) X(l3) X(l4) X(l5) X(l6) X(l7) X(l8)                                                   \
    /* hot cues, Tag 1..6: cue11MouseDown, cue21MouseDown */                                           \
    X(cue11) X(cue12) X(cue13) X(cue14) X(cue15) X(CUE16)                                             \
    X(cue21) X(cue22) X(cue23) X(cue24) X(cue25) X(CUE26)                                             \
    /* loop in, loop out, reloop/exit: loop1aMouseDown, loop1bMouseDown, loop1reloopMouseDown */      \
    X(loop1a) X(loop1b) X(loop1reloop) X(loop2a) X(loop2b) X(loop2reloop)                             \
    /* hot cue memory and delete modes: memory1MouseDown, delete1MouseDown */                         \
    X(memory1) X(memory2) X(delete1) X(delete2)                                                       \
    /* hot/normal cue switches: no handler, the down state only */                                    \
    X(nhcue1) X(nhcue2)                                                                               \
    /* jog modes and key lock: scratch1MouseDown, search1MouseDown, effects1MouseDown, key1MouseDown */ \
    X(scratch1) X(search1) X(effects1) X(scratch2) X(search2) X(effects2) X(key1) X(key2)             \
    /* EQ kills: kb1MouseDown ...; headphone cue: headaMouseDown, headbMouseDown */                   \
    X(kb1) X(km1) X(kh1) X(kb2) X(km2) X(kh2) X(heada) X(headb)                                       \
    /* effects: echoMouseDown (sender echo, flange or wah), echo2MouseDown */                         \
    X(echo) X(flange) X(wah) X(echo2) X(flange2) X(wah2)                                              \
    /* effect beats, Tag 1..5: t1MouseDown, t12MouseDown */                                            \
    X(t1) X(t2) X(t3) X(t4) X(t5) X(t12) X(t22) X(t32) X(t42) X(t52)                                  \
    /* sampler pads, Tag 1..6: vl1MouseDown, vr1MouseDown; stop pads vl7MouseDown, vr7MouseDown */    \
    X(vl1) X(vl2) X(vl3) X(vl4) X(vl5) X(vl6) X(vl7) X(vr1) X(vr2) X(vr3) X(vr4) X(vr5) X(vr6) X(vr7) \
    /* automix and recording: auto_enableMouseDown, recMouseDown */                                   \
    X(auto_enable) X(REC)                                                                             \
    /* the side buttons, read by the lights only */                                                   \
    X(bfx) X(bsampler) X(bconfig) X(bmix) X(bax) X(bpexplorer) X(bpplaylist) X(bggrupos)

enum class SurfaceButton {
#define OSTREL_SURFACE_ENUM(name) name,
    OSTREL_SURFACE_BUTTONS(OSTREL_SURFACE_ENUM)
#undef OSTREL_SURFACE_ENUM
};

// The field name of a button ("btnplay1").
const char* surfaceButtonName(SurfaceButton b);

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
    xl, xr, xl1, xr1,                 // level bars of deck A (left, right) and deck B, 0..33768
};

enum class SurfaceLabel {
    track1, track2,        // track numbers ("----" when none)
    laut_t1, laut_t2,      // automix track numbers
    lelapsed1, lelapsed2,  // elapsed times, h:mm:ss:cc
    lpitp1, lpitp2,        // pitch ranges ("16%")
};

// The state of a hot cue slot, which its button shows: empty (cb1.bmp), a hot cue (ca1.bmp) or a
// hot loop (cr1.bmp); deck B's cbv/cav/crv likewise.
enum class HotCueLook { empty, cue, loop };

// The state of hot cue slot n (1..6) from its two points in the deck's tag block, A in tag slot
// n and B in tag slot n + 6: no point A (0, or below as a broken row gives) is an empty slot,
// A alone a hot cue, A and B a hot loop from A to B.
HotCueLook hotCueLook(double a, double b);

// The library panels, by their song grid's component name: "sggroups" the Groups panel (ep, tree
// dt), "sg" the Playlists panel (ep3), "sgexplorer" the Explorer panel (ep2, folder tree ep2.dt).
enum class LibraryPanel { groups, playlists, explorer };

// What the browser actions give the focus to (through focusea, which focuses only a control that
// can take it, is enabled and visible).
enum class FocusTarget {
    grupos, explorer, playlist,  // the panel containers
    sggroups, sgexplorer, sg,    // their grids
    dt,                          // the Groups tree
};

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

    // ---- decks (0 = deck A, 1 = deck B) and the engine, through the window's engine adj and its
    // deck-controls layer
    virtual bool deckPlaying(int deck) const = 0;     // the deck's PRecord has the play status
    virtual bool deckSearchMode(int deck) const = 0;  // the deck player's ssearch
    virtual void setvalorbend(int deck, int value) = 0;  // the deck player's valorbend
    virtual int grabapeak() const = 0;                // the engine's recording peak
    virtual bool deckLoaded(int deck) const = 0;      // a track is loaded
    virtual bool deckLoopActive(int deck) const = 0;  // the deck's PRecord has its loop flag set
    virtual int deckcargacue(int deck) const = 0;     // the deck player's active hot cue, slot 0..12
    virtual void setdeckcargacue(int deck, int slot) = 0;
    virtual bool deckHeadphones(int deck) const = 0;  // the deck player's headphones flag is 1
    virtual QString deckDuration(int deck) const = 0; // the deck's total time h:mm:ss:cc, empty before timing
    virtual int deckBpmn(int deck) const = 0;         // BPM in tenths
    virtual int deckPitchn(int deck) const = 0;       // pitch change in tenths of a percent, signed
    // carga.SetPositions(delta, value): one jog search step, forward when delta > 0
    virtual void deckSetPositions(int deck, int delta, int value) = 0;
    // carga.SetPositionm(x, width): seek to x / width of the track
    virtual void deckSetPositionm(int deck, int x, int width) = 0;
    // carga.SetPitchv(range): the new pitch range in percent; the slider position keeping the rate
    virtual int deckSetPitchv(int deck, int range) = 0;
    // carga.SetSliders(on): gives the pitch slider back (true) or arms its pick-up (false)
    virtual void deckSetSliders(int deck, bool on) = 0;
    // the deck player's sliders flag, set directly
    virtual void setdecksliders(int deck, bool on) = 0;
    virtual void deckSetScratchOff(int deck) = 0;     // carga.SetScratchOff: ends scratching
    // audiobase.setheadphones(enable, canal): the cue of deck canal (1 A, 2 B) on or off
    virtual void setheadphones(bool enable, int canal) = 0;
    virtual bool bmutemic() const = 0;                // the engine's microphone mute flag is set

    // ---- what the lights read that is not a button's down state
    virtual HotCueLook hotCue(int deck, int slot) const = 0;  // slot 1..6
    virtual bool blink(int deck) const = 0;           // the 200 ms blink phase blinka / blinkb
    virtual bool borrar(int deck) const = 0;          // hot cue delete mode borrar1 / borrar2

    // ---- the library panels (browser actions). The load source msender names a grid by its
    // component name; empty while no panel has set it.
    virtual QString msenderName() const = 0;
    virtual int sourceRow() const = 0;                // msender's current row (row 0 is the title)
    virtual int sourceRowCount() const = 0;
    virtual void setSourceRow(int row) = 0;
    virtual void dtabajo(LibraryPanel p) = 0;         // tree down: next node or playlist
    virtual void dtarriba(LibraryPanel p) = 0;        // tree up
    // tree select: Tnskinfiles.setselected, Tnskinplay.setselected, TDirectoryTree2.SetSelected
    virtual void setselected(LibraryPanel p) = 0;
    virtual void focusea(FocusTarget t) = 0;
    virtual bool panelShown(LibraryPanel p) const = 0;  // vgr, vpl, vex
    virtual void setPanelShown(LibraryPanel p, bool shown) = 0;
    virtual void alineopanels() = 0;

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
