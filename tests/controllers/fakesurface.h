// A recording stand-in for the main window's surface: every handler call is written down as
// "MouseDown btnplay1", controls keep positions within their bounds and, like the window's change
// handlers, write a changed position back into its controller value global.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QString>

#include "controllers/dispatch/controllersurface.h"
#include "controllers/dispatch/controllervalues.h"
#include "controllers/dispatch/controlvaluecopy.h"

class FakeSurface : public ControllerSurface {
public:
    explicit FakeSurface(ControllerValues* values = nullptr) : values_(values)
    {
        using C = SurfaceControl;
        const std::pair<C, std::pair<int, int>> bounds[] = {
            {C::trackfrequency, {0, 127}}, {C::trackfrequency2, {0, 127}}, {C::trackvolume, {0, 127}},
            {C::trackvolume2, {0, 127}}, {C::crossfader, {-1, 127}}, {C::bas1, {0, 30}}, {C::bas2, {0, 30}},
            {C::mid1, {0, 30}}, {C::mid2, {0, 30}}, {C::tre1, {0, 30}}, {C::tre2, {0, 30}}, {C::gain1, {0, 20}},
            {C::gain2, {0, 20}}, {C::dry1, {0, 1000}}, {C::wet1, {100, 950}}, {C::dry2, {0, 1000}},
            {C::wet2, {100, 950}}, {C::samplevolume, {0, 100}}, {C::samplevolume2, {0, 100}},
            {C::volhead1, {0, 100}}, {C::volhead2, {0, 100}}, {C::volrec, {0, 100}}, {C::RLed3, {0, 33768}},
            {C::vrwheela, {0, 36000}}, {C::vrWheelb, {0, 36000}}, {C::xl, {0, 33768}}, {C::xr, {0, 33768}},
            {C::xl1, {0, 33768}}, {C::xr1, {0, 33768}}};
        for (const auto& [c, b] : bounds) bounds_[c] = b;
        if (values_)
            for (const auto& [c, global] : ControlValueCopy::kPairs) position_[c] = values_->*global;
    }

    // ---- buttons
    void MouseDown(SurfaceButton b) override
    {
        record("MouseDown", b);
        if (onMouseDown) onMouseDown(b);
    }
    void MouseUp(SurfaceButton b) override { record("MouseUp", b); }
    void Click(SurfaceButton b) override { record("Click", b); }
    bool Down(SurfaceButton b) const override { return down_.count(b) && down_.at(b); }
    void SetDown(SurfaceButton b, bool d) override { down_[b] = d; }
    bool Enabled(SurfaceButton b) const override { return !disabled_.count(b); }

    // ---- controls
    int Position(SurfaceControl c) const override { return position_.count(c) ? position_.at(c) : 0; }
    void SetPosition(SurfaceControl c, int v) override
    {
        ++setPositionCalls;
        const auto [lo, hi] = bounds_.at(c);
        v = std::max(lo, std::min(hi, v));
        if (Position(c) == v) return;
        position_[c] = v;
        changeHandler(c, v);
    }
    int Min(SurfaceControl c) const override { return bounds_.at(c).first; }
    int Max(SurfaceControl c) const override { return bounds_.at(c).second; }
    // a mouse move: the control moves and its change handler runs
    void mouseMove(SurfaceControl c, int v) { SetPosition(c, v); }

    // ---- labels
    QString Caption(SurfaceLabel l) const override { return captions.count(l) ? captions.at(l) : QString(); }
    void SetCaption(SurfaceLabel l, const QString& t) override { captions[l] = t; }

    // ---- decks
    bool deckPlaying(int deck) const override { return playing[deck]; }
    bool deckSearchMode(int deck) const override { return searching[deck]; }
    void setvalorbend(int deck, int v) override
    {
        valorbend[deck] = v;
        if (onValorbend) onValorbend();
    }
    int grabapeak() const override { return peak; }
    JogMouse jogMouse(int deck) const override { return jog[deck]; }

    bool deckLoaded(int deck) const override { return loaded[deck]; }
    bool deckLoopActive(int deck) const override { return loopActive[deck]; }
    int deckcargacue(int deck) const override { return cargacue[deck]; }
    void setdeckcargacue(int deck, int slot) override { cargacue[deck] = slot; }
    bool deckHeadphones(int deck) const override { return headphones[deck]; }
    QString deckDuration(int deck) const override { return duration[deck]; }
    int deckBpmn(int deck) const override { return bpmn[deck]; }
    int deckPitchn(int deck) const override { return pitchn[deck]; }
    void deckSetPositions(int deck, int delta, int value) override { note("SetPositions", deck, delta, value); }
    void deckSetPositionm(int deck, int x, int width) override { note("SetPositionm", deck, x, width); }
    int deckSetPitchv(int deck, int range) override
    {
        note("SetPitchv", deck, range);
        return pitchvPosition[deck];
    }
    void deckSetSliders(int deck, bool on) override { note("SetSliders", deck, on); }
    void setdecksliders(int deck, bool on) override { note("sliders", deck, on); }
    void deckSetScratchOff(int deck) override { note("SetScratchOff", deck); }
    void setheadphones(bool enable, int canal) override
    {
        note("setheadphones", enable, canal);
        if (canal == 1 || canal == 2) headphones[canal - 1] = enable;
    }
    bool bmutemic() const override { return mutemic; }
    HotCueLook hotCue(int deck, int slot) const override
    {
        const auto it = hotCues.find({deck, slot});
        return it == hotCues.end() ? HotCueLook::empty : it->second;
    }
    bool blink(int deck) const override { return blinking[deck]; }
    bool borrar(int deck) const override { return deleting[deck]; }

    QString msenderName() const override { return msender; }
    int sourceRow() const override { return row; }
    int sourceRowCount() const override { return rowCount; }
    void setSourceRow(int r) override { row = r; }
    void dtabajo(LibraryPanel p) override { calls.push_back("dtabajo " + panelName(p)); }
    void dtarriba(LibraryPanel p) override { calls.push_back("dtarriba " + panelName(p)); }
    void setselected(LibraryPanel p) override { calls.push_back("setselected " + panelName(p)); }
    void focusea(FocusTarget t) override
    {
        static const char* names[] = {"grupos", "explorer", "playlist", "sggroups", "sgexplorer", "sg", "dt"};
        calls.push_back(std::string("focusea ") + names[int(t)]);
    }
    bool panelShown(LibraryPanel p) const override { return shown[int(p)]; }
    void setPanelShown(LibraryPanel p, bool on) override { shown[int(p)] = on; }
    void alineopanels() override { calls.push_back("alineopanels"); }

    static std::string panelName(LibraryPanel p)
    {
        return p == LibraryPanel::groups ? "groups" : p == LibraryPanel::playlists ? "playlists" : "explorer";
    }

    void setPanelsIskeyboard(bool on) override { panelsKeyboard.push_back(on); }
    void ShowMessage(const QString& text) override { messages.push_back(text); }

    static std::string name(SurfaceButton b) { return surfaceButtonName(b); }

    std::vector<std::string> calls;
    std::function<void(SurfaceButton)> onMouseDown;
    std::function<void()> onValorbend;
    std::map<SurfaceLabel, QString> captions;
    bool playing[2] = {false, false};
    bool searching[2] = {false, false};
    int valorbend[2] = {0, 0};
    int peak = 0;
    JogMouse jog[2];
    std::vector<bool> panelsKeyboard;
    std::vector<QString> messages;
    int setPositionCalls = 0;
    std::map<SurfaceButton, bool> disabled_;
    bool loaded[2] = {true, true};
    bool loopActive[2] = {false, false};
    int cargacue[2] = {0, 0};
    bool headphones[2] = {false, false};
    QString duration[2];
    int bpmn[2] = {0, 0};
    int pitchn[2] = {0, 0};
    int pitchvPosition[2] = {63, 63};
    bool mutemic = false;
    std::map<std::pair<int, int>, HotCueLook> hotCues;
    bool blinking[2] = {false, false};
    bool deleting[2] = {false, false};
    QString msender;
    int row = 1, rowCount = 1;
    bool shown[3] = {false, true, false};  // groups, playlists, explorer

    // "SetPositions 0 2 1020": a deck call with its arguments
    template <typename... A>
    void note(const char* what, A... args)
    {
        std::string s = what;
        ((s += " " + std::to_string(int(args))), ...);
        calls.push_back(s);
    }

private:
    void record(const char* what, SurfaceButton b) { calls.push_back(std::string(what) + " " + name(b)); }
    void changeHandler(SurfaceControl c, int v)
    {
        if (!values_) return;
        for (const auto& [control, global] : ControlValueCopy::kPairs)
            if (control == c) values_->*global = v;
    }

    ControllerValues* values_;
    std::map<SurfaceButton, bool> down_;
    std::map<SurfaceControl, int> position_;
    std::map<SurfaceControl, std::pair<int, int>> bounds_;
};
