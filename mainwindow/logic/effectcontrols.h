// One deck's effects section: the dry and wet dials, the echo, flanger and auto-wah switches and
// the five beat-fraction buttons (deck A: dry1, wet1, echo, flange, wah, t1 .. t5; deck B: dry2,
// wet2, echo2, flange2, wah2, t12 .. t52). Reached through the deck's views (DeckControls) and
// an EffectTarget, the deck player's effect setters. UI thread only.
#pragma once

#include <optional>

class ButtonView;
class DeckControls;

// What the effects section sends to a deck: its tempo and the effect setters, arguments in the
// deck player's own order (values first, the switch last).
class EffectTarget {
public:
    virtual ~EffectTarget() = default;
    // the loaded track's tempo; 0 or a mark below 1 when it has none
    virtual double bpm() const = 0;
    virtual void UpdateWah(float mix, float input, bool on) = 0;
    virtual void UpdateFlange(float level, float speed, bool on) = 0;
    virtual void UpdateEcho(float mix, float level, float delay, bool on) = 0;
};

class EffectControls {
public:
    EffectControls(DeckControls& deck, EffectTarget* target) : deck_(deck), target_(target) {}

    // fx1 / fx2: the selected beat fraction 1..5 (3 at start). The window points it at the
    // controllers' copy, which the controller actions set before they press a fraction button.
    int ownFx = 3;
    int* fx = &ownFx;
    // mdel / mdel2: the echo delay in seconds last sent
    float mdel = 0.0f;

    // The beats of fraction 1..5 (4, 2, 1, 1/2, 1/4); none outside 1..5.
    static std::optional<double> beatsOf(int fraction);
    // The echo delay in seconds: the beat length at `bpm` times the fraction's beats; 0 when
    // the tempo is unknown; none for a fraction outside 1..5.
    static std::optional<float> echoDelay(double bpm, int fraction);

    // dry1Change / dry2Change (the dry and the wet dial alike)
    void dryChange();
    // updateecho / updateecho2
    void updateecho();
    // echoMouseDown / echo2MouseDown: `sender` is the deck's echo, flange or wah switch
    void effectMouseDown(ButtonView* sender);
    // t1MouseDown / t12MouseDown: `sender` is a beat-fraction button, its Tag the fraction
    void beatMouseDown(ButtonView* sender);

    void setTarget(EffectTarget* t) { target_ = t; }

private:
    static bool on(const ButtonView* b);
    DeckControls& deck_;
    EffectTarget* target_;
};
