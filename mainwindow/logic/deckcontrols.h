// One deck's controls and state as the main window's handlers see them: one implementation for
// deck A (deck 1) and deck B (deck 2). Each view member is named after deck A's control without
// its number; the binding tables below give both names (btnload1 / btnload2), so every control
// of both decks is findable by its own name.
//
// The window binds the views (ButtonView, PositionView, LabelView, ControlView) to its controls
// by these tables; tests bind fakes. Members left null are skipped by the handlers that can do
// without them. UI thread only.
#pragma once

#include <array>
#include <vector>

#include <QString>

#include "engine/shared.h"
#include "mainwindow/logic/jogstate.h"

class ButtonView;
class ControlView;
class ControllerValues;
class DispatcherState;
class LabelView;
class PositionView;
class audiobase;
class carga;

class DeckControls {
public:
    explicit DeckControls(int deck);

    const int deck;  // 1 deck A, 2 deck B

    // ---- the engine and the controller values, set by the window
    audiobase* adj = nullptr;
    ControllerValues* values = nullptr;
    // the flags shared with the controllers (DeckFlags gives this deck's)
    DispatcherState* state = nullptr;
    // adj.carga1 / adj.carga2 (null before the engine exists)
    carga* player() const;
    // adj.enlace2 / adj.enlace1: the other deck's beat-match link to this deck
    Shared<bool>* followsThis() const;

    // ---- loading: btnload1, artist1, title1, track1, panelwheel1, display1grande, displaypeq1,
    // progres1 (deck B: the same ending in 2)
    ButtonView* btnload = nullptr;
    LabelView* artist = nullptr;
    LabelView* title = nullptr;
    LabelView* track = nullptr;
    ControlView* panelwheel = nullptr;
    ControlView* displaygrande = nullptr;
    ControlView* displaypeq = nullptr;
    ControlView* progres = nullptr;

    // ---- transport: btnplay1, btnpause1, btncue1, reverse, brake, key1, key11, bendmas1,
    // bendmenos1, match1, scratch1, search1, effects1, trackfrequency, dmcslider1, lpitp1, pro1
    // (deck B: btnplay2 ... reverse2, brake2, key2, key22, BendMas2, Bendmenos2, match2, ...,
    // trackfrequency2, dmcslider2, lpitp2, pro2)
    ButtonView* btnplay = nullptr;
    ButtonView* btnpause = nullptr;
    ButtonView* btncue = nullptr;
    ButtonView* reverse = nullptr;
    ButtonView* brake = nullptr;
    ButtonView* key = nullptr;
    ButtonView* keyhidden = nullptr;
    ButtonView* bendmas = nullptr;
    ButtonView* bendmenos = nullptr;
    ButtonView* match = nullptr;
    ButtonView* scratch = nullptr;
    ButtonView* search = nullptr;
    ButtonView* effects = nullptr;
    PositionView* trackfrequency = nullptr;
    PositionView* dmcslider = nullptr;
    LabelView* lpitp = nullptr;
    ControlView* pro = nullptr;

    // ---- hot cues and loops: cue11 .. cue15, CUE16 (cue21 .. CUE26); memory1, delete1, nhcue1;
    // loop1a, loop1b, loop1reloop; the loop lengths r1 .. r8 (deck B l1 .. l8)
    std::array<ButtonView*, 6> cue{};
    ButtonView* memory = nullptr;
    ButtonView* delete_ = nullptr;
    ButtonView* nhcue = nullptr;
    ButtonView* loopa = nullptr;
    ButtonView* loopb = nullptr;
    ButtonView* loopreloop = nullptr;
    std::array<ButtonView*, 8> looplength{};

    // ---- mixer: trackvolume, gain1, tre1, mid1, bas1, kh1, km1, kb1, volhead1, heada, headaa
    // (deck B: trackvolume2, gain2, ..., volhead2, headb, headbb)
    PositionView* trackvolume = nullptr;
    PositionView* gain = nullptr;
    PositionView* tre = nullptr;
    PositionView* mid = nullptr;
    PositionView* bas = nullptr;
    ButtonView* kh = nullptr;
    ButtonView* km = nullptr;
    ButtonView* kb = nullptr;
    PositionView* volhead = nullptr;
    ButtonView* head = nullptr;
    ButtonView* headhidden = nullptr;

    // ---- effects: echo, flange, wah, dry1, wet1, t1 .. t5, LFX1 (deck B: echo2, flange2, wah2,
    // dry2, wet2, t12 .. t52, lfx2)
    ButtonView* echo = nullptr;
    ButtonView* flange = nullptr;
    ButtonView* wah = nullptr;
    PositionView* dry = nullptr;
    PositionView* wet = nullptr;
    std::array<ButtonView*, 5> beat{};
    LabelView* lfx = nullptr;

    // ---- status: lbpm1, lpit1, lelapsed1, lremain1 (deck B: lbpm2, ...)
    LabelView* lbpm = nullptr;
    LabelView* lpit = nullptr;
    LabelView* lelapsed = nullptr;
    LabelView* lremain = nullptr;

    // ---- the deck's state shared by the handlers
    bool diseq = false;       // diseq1 / diseq2: a load holds the EQ knobs off the deck
    QString fichero;          // fichero / fichero2: the file of the deck's track
    int loop = 0;             // loop1 / loop2: the selected loop-length button, 0 none
    bool memorizar = false;   // memorizar1 / memorizar2: the next hot cue press stores its slot
    bool borrar = false;      // borrar1 / borrar2: the next hot cue press empties its slot
    bool loadPending = false; // a load of this deck is under way; a second LOAD is refused
    JogState jog;             // the jog wheel between main loop passes

    // The deck's name of a control: a for deck A, b for deck B.
    const char* name(const char* a, const char* b) const { return deck == 1 ? a : b; }

    // Binding tables: deck A's and deck B's control names and the member each binds to.
    template <class V>
    struct Slot {
        const char* a;
        const char* b;
        V*& (*ref)(DeckControls&);
    };
    static const std::vector<Slot<ButtonView>>& buttonSlots();
    static const std::vector<Slot<PositionView>>& positionSlots();
    static const std::vector<Slot<LabelView>>& labelSlots();
    static const std::vector<Slot<ControlView>>& controlSlots();
};
