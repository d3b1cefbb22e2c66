// The centre of the window between the jog wheels shows one of four sections, chosen by the
// selectors bmix (the mixer), bfx (effects), bax (automix) and bsampler (samplers): the shown
// section is the one whose selector has Tag 1. The effects, automix and sampler panels wait at
// their markers (bifx, biautomix, bisampler) and come to the centre marker pancentral when
// shown. UI thread only.
#pragma once

#include <functional>

class ButtonView;
class ControlView;

class CentreSelectors {
public:
    ButtonView *bmix = nullptr, *bfx = nullptr, *bax = nullptr, *bsampler = nullptr;
    ControlView *effects = nullptr, *pautomix = nullptr, *sampler = nullptr;
    ControlView *bifx = nullptr, *biautomix = nullptr, *bisampler = nullptr, *pancentral = nullptr;

    // Brings a control to the front (by the view it is bound to); puts a parked panel back
    // under what covers its marker (the browser area).
    std::function<void(ControlView*)> raise;
    std::function<void(ControlView*)> lower;
    // PANELRELOJ, the headphone controls, to the front
    std::function<void()> raiseClock;
    // The browser shows the Playlists panel alone, rearranged (baxMouseDown)
    std::function<void()> playlistsAlone;

    void bmixMouseDown();
    void bfxMouseDown();
    void baxMouseDown();
    void bsamplerMouseDown();

private:
    void tags(ButtonView* on);
    void park(ControlView* panel, ControlView* marker);
    void centre(ControlView* panel);
};
