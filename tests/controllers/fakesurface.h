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
            {C::vrwheela, {0, 36000}}, {C::vrWheelb, {0, 36000}}};
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

    void setPanelsIskeyboard(bool on) override { panelsKeyboard.push_back(on); }
    void ShowMessage(const QString& text) override { messages.push_back(text); }

    static std::string name(SurfaceButton b)
    {
        static const char* names[] = {"btnplay1", "btnplay2", "btnpause1", "btnpause2", "btncue1", "btncue2",
                                      "btnload1", "btnload2", "match1",    "match2",    "reverse", "reverse2",
                                      "brake",    "brake2",   "bendmas1",  "bendmenos1", "BendMas2", "Bendmenos2"};
        return names[int(b)];
    }

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
