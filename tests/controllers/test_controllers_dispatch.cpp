// The action dispatcher's frame and transport actions, the pot rules and the 10 ms value copy.
#include <gtest/gtest.h>

#include <climits>

#include "controllers/controllertables.h"
#include "controllers/dispatch/actiondispatcher.h"
#include "controllers/dispatch/controllervalues.h"
#include "controllers/dispatch/controlvaluecopy.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/potrules.h"
#include "tests/controllers/fakesurface.h"

namespace {

using Calls = std::vector<std::string>;

class CtlDispatcher : public ::testing::Test {
protected:
    CtlDispatcher() : surface(&values), dispatcher(surface, values, state, tables) {}

    Calls send(int code, int valor)
    {
        surface.calls.clear();
        bp.accion = code;
        bp.valor = valor;
        dispatcher.updatecontroler(bp);
        return surface.calls;
    }

    ControllerTables tables;
    ControllerValues values;
    DispatcherState state;
    FakeSurface surface;
    ActionDispatcher dispatcher;
    TInfo bp;
};

}  // namespace

TEST_F(CtlDispatcher, CodesWithoutActionChangeNothing)
{
    const int codes[] = {0, 104, 105, 106, 107, 110, 111, 112, 113, 114, 116, 117, 118, 119, 120, 152, 181, 235,
                         268, 1000, -1, INT_MIN, INT_MAX};
    for (int code : codes) {
        EXPECT_TRUE(ActionDispatcher::hasNoAction(code)) << code;
        for (int valor : {127, 63, 32, 0, 64}) {
            EXPECT_TRUE(send(code, valor).empty()) << code;
        }
    }
    EXPECT_EQ(state.revmodea, 127);
    EXPECT_FALSE(ActionDispatcher::hasNoAction(1));
    EXPECT_FALSE(ActionDispatcher::hasNoAction(267));
}

TEST_F(CtlDispatcher, ButtonValuesOtherThanTheListedOnesDoNothing)
{
    for (int code = 1; code <= 7; ++code)
        for (int valor : {64, 100, 1, -127, 128}) EXPECT_TRUE(send(code, valor).empty()) << code << " " << valor;
    for (int code : {3, 5, 7, 35, 37, 39, 41}) EXPECT_TRUE(send(code, 0).empty()) << code;
}

TEST_F(CtlDispatcher, TransportPressesTheDecksButtons)
{
    const struct {
        int code, valor;
        bool playing, searching;
        int seledirectorio;
        Calls expected;
    } cases[] = {
        {1, 127, false, false, 0, {"MouseDown btnplay1"}},
        {35, 127, false, false, 0, {"MouseDown btnplay2"}},
        {1, 63, false, false, 0, {"MouseDown btnplay1"}},   // stopped: starts
        {1, 63, true, false, 0, {"MouseDown btnpause1"}},   // playing: pauses
        {1, 63, true, true, 0, {"MouseDown btnplay1"}},     // playing in search mode: play handler
        {35, 63, true, false, 0, {"MouseDown btnpause2"}},
        {2, 127, false, false, 0, {"MouseDown btncue1"}},
        {2, 63, false, false, 0, {"Click btncue1"}},
        {2, 0, false, false, 0, {"MouseUp btncue1"}},
        {36, 0, false, false, 0, {"MouseUp btncue2"}},
        {36, 63, false, false, 0, {"Click btncue2"}},
        {3, 127, false, false, 0, {"MouseDown btnpause1"}},
        {37, 63, false, false, 0, {}},
        {4, 127, false, false, 0, {"MouseDown btnload1"}},
        {4, 63, false, false, 0, {"MouseDown btnload1"}},
        {38, 63, false, false, 0, {"MouseDown btnload2"}},
        {4, 63, false, false, 1, {}},                       // the tree's load select
        {4, 127, false, false, 1, {"MouseDown btnload1"}},
        {5, 127, false, false, 0, {"MouseDown match1"}},
        {39, 127, false, false, 0, {"MouseDown match2"}},
        {7, 127, false, false, 0, {"MouseDown brake"}},
        {41, 127, false, false, 0, {"MouseDown brake2"}},
        {41, 63, false, false, 0, {}},
    };
    for (const auto& c : cases) {
        surface.playing[0] = surface.playing[1] = c.playing;
        surface.searching[0] = surface.searching[1] = c.searching;
        state.seledirectorio = c.seledirectorio;
        EXPECT_EQ(send(c.code, c.valor), c.expected) << c.code << " " << c.valor;
    }
}

TEST_F(CtlDispatcher, ReverseHoldSequence)
{
    // the reverse handler toggles reverse and shows it in its button
    surface.onMouseDown = [&](SurfaceButton b) {
        if (b == SurfaceButton::reverse || b == SurfaceButton::reverse2) surface.SetDown(b, !surface.Down(b));
    };
    const Calls toggle = {"MouseDown reverse"};

    // at first only the press toggles
    EXPECT_EQ(send(6, 127), toggle);
    EXPECT_TRUE(surface.Down(SurfaceButton::reverse));
    EXPECT_TRUE(send(6, 0).empty());
    EXPECT_EQ(send(6, 127), toggle);
    EXPECT_FALSE(surface.Down(SurfaceButton::reverse));

    // an alternate press switches the mode for good: press on, release off
    EXPECT_EQ(send(6, 63), toggle);
    EXPECT_EQ(state.revmodea, 63);
    EXPECT_TRUE(surface.Down(SurfaceButton::reverse));
    EXPECT_TRUE(send(6, 63).empty());  // already down
    EXPECT_EQ(send(6, 0), toggle);
    EXPECT_FALSE(surface.Down(SurfaceButton::reverse));
    EXPECT_TRUE(send(6, 0).empty());   // already up

    // in that mode a plain press runs the handler twice, and the release with the button down
    // still switches reverse off
    EXPECT_EQ(send(6, 63), toggle);
    EXPECT_EQ(send(6, 127), (Calls{"MouseDown reverse", "MouseDown reverse"}));
    EXPECT_TRUE(surface.Down(SurfaceButton::reverse));
    EXPECT_EQ(send(6, 0), toggle);
    EXPECT_FALSE(surface.Down(SurfaceButton::reverse));
    EXPECT_EQ(state.revmodea, 63);

    // deck B keeps its own mode
    EXPECT_EQ(state.revmodeb, 127);
    EXPECT_EQ(send(40, 127), Calls{"MouseDown reverse2"});
    EXPECT_TRUE(send(40, 0).empty());
}

TEST_F(CtlDispatcher, TheActionKeepsTheValuesItWasCalledWith)
{
    surface.onMouseDown = [&](SurfaceButton b) {
        if (b == SurfaceButton::reverse) surface.SetDown(b, !surface.Down(b));
        // another input routine writes the shared event meanwhile
        bp.accion = 0;
        bp.valor = 0;
    };
    state.revmodea = 63;
    bp.accion = 6;
    bp.valor = 127;
    surface.calls.clear();
    dispatcher.updatecontroler(bp);
    EXPECT_EQ(surface.calls, (Calls{"MouseDown reverse", "MouseDown reverse"}));
}

TEST(CtlPotRules, RelativeStepsAndTheirLimits)
{
    TInfo e;
    e.rangelo = 1;
    e.rangeup = 127;
    e.range = 64;
    EXPECT_TRUE(PotRules::relative(e));
    e.valor = 65;
    EXPECT_TRUE(PotRules::up(e));
    e.valor = 64;
    EXPECT_FALSE(PotRules::up(e));  // equal to the centre steps down
    e.rangelo = -1;
    EXPECT_TRUE(PotRules::relative(e));
    EXPECT_FALSE(PotRules::relativeStrict(e));
    e.rangelo = 0;
    EXPECT_FALSE(PotRules::relative(e));
    e.rangelo = e.rangeup = 255;
    EXPECT_TRUE(PotRules::endless(e));

    EXPECT_EQ(PotRules::step(126, true, 1, 0, 127), 127);
    EXPECT_EQ(PotRules::step(127, true, 1, 0, 127), 127);
    EXPECT_EQ(PotRules::step(0, false, 1, 0, 127), 0);
    EXPECT_EQ(PotRules::step(940, true, 20, 100, 950, true), 100);  // wraps to the minimum
    EXPECT_EQ(PotRules::step(930, true, 20, 100, 950, true), 950);
    EXPECT_EQ(PotRules::step(0, false, 1, 0, 100, true), 100);     // wraps to the maximum
    EXPECT_EQ(PotRules::step(INT_MAX, true, 20, 0, INT_MAX), INT_MAX);
    EXPECT_EQ(PotRules::step(INT_MIN, false, 20, INT_MIN, 0), INT_MIN);
}

TEST(CtlPotRules, AbsoluteScalingAndItsDivisionsByZero)
{
    TInfo e;
    e.value = 127;
    const struct {
        int valor, span, expected;
    } cases[] = {{127, 127, 127}, {63, 127, 63}, {0, 128, 0}, {63, 128, 63}, {127, 128, 128}, {64, 30, 15}, {100, 20, 15}};
    for (const auto& c : cases) {
        e.valor = c.valor;
        EXPECT_EQ(PotRules::absolute(e, c.span), c.expected) << c.valor << " " << c.span;
    }
    e.value = 0;
    EXPECT_FALSE(PotRules::absolute(e, 127));
    e.value = 1;
    e.valor = INT_MAX;
    EXPECT_TRUE(PotRules::absolute(e, 1000).has_value());  // wide arithmetic, no overflow

    // autoloop index: value below 8 gives nothing, negative values too
    e.valor = 13;
    for (int v : {0, 7, -1, -8, INT_MIN}) {
        e.value = v;
        EXPECT_FALSE(PotRules::autoloopIndex(e)) << v;
    }
    e.value = 127;
    EXPECT_EQ(PotRules::autoloopIndex(e), 0);
    e.valor = 14;
    EXPECT_EQ(PotRules::autoloopIndex(e), 1);
    e.valor = 127;
    EXPECT_EQ(PotRules::autoloopIndex(e), 8);

    // effect beat index: value below 5 gives nothing
    e.valor = 23;
    EXPECT_EQ(PotRules::effectBeatIndex(e), 0);
    e.valor = 24;
    EXPECT_EQ(PotRules::effectBeatIndex(e), 1);
    for (int v : {0, 4, -4}) {
        e.value = v;
        EXPECT_FALSE(PotRules::effectBeatIndex(e)) << v;
    }

    // absolute jog step: range 0 gives nothing
    e.range = 0;
    EXPECT_FALSE(PotRules::jogStep(e));
    e.range = 100;
    EXPECT_EQ(PotRules::jogStep(e), 360);
    e.range = -1;
    EXPECT_EQ(PotRules::jogStep(e), -36000);
}

TEST(CtlPotRules, ApplyWritesOnlyWhatMoved)
{
    int global = 70;
    TInfo e;
    e.value = 127;
    e.valor = 64;
    // the control already stands where the controller points: nothing is written
    PotRules::apply(global, e, 127, 1, 0, 127, 64);
    EXPECT_EQ(global, 70);
    PotRules::apply(global, e, 127, 1, 0, 127, 10);
    EXPECT_EQ(global, 64);
    // a zero full scale changes nothing
    e.value = 0;
    global = 5;
    PotRules::apply(global, e, 127, 1, 0, 127, 10);
    EXPECT_EQ(global, 5);
    // relative
    e.rangelo = 1;
    e.rangeup = 127;
    e.range = 64;
    e.valor = 70;
    PotRules::apply(global, e, 127, 1, 0, 127, 10);
    EXPECT_EQ(global, 6);
}

namespace {

class CtlTimer2 : public ::testing::Test {
protected:
    CtlTimer2() : surface(&values), copy(surface, values, state) {}

    ControllerValues values;
    DispatcherState state;
    FakeSurface surface;
    ControlValueCopy copy;
};

}  // namespace

TEST_F(CtlTimer2, GlobalOutsideTheRangeMovesTheControlToItsEndAndIsWrittenBack)
{
    surface.mouseMove(SurfaceControl::trackvolume, 100);
    values.quorvol1 = 130;
    values.quorcross = -5;
    copy.Timer2Timer();
    EXPECT_EQ(surface.Position(SurfaceControl::trackvolume), 127);
    EXPECT_EQ(values.quorvol1, 127);
    EXPECT_EQ(surface.Position(SurfaceControl::crossfader), -1);
    EXPECT_EQ(values.quorcross, -1);

    // a control already at its end does not change, so its handler does not run
    values.quorvol1 = 130;
    copy.Timer2Timer();
    EXPECT_EQ(surface.Position(SurfaceControl::trackvolume), 127);
    EXPECT_EQ(values.quorvol1, 130);
}

TEST_F(CtlTimer2, MouseMoveIsNotUndoneAndIdleTicksWriteNothing)
{
    values.quorfreq1 = 40;
    copy.Timer2Timer();
    EXPECT_EQ(surface.Position(SurfaceControl::trackfrequency), 40);
    surface.mouseMove(SurfaceControl::trackfrequency, 80);
    EXPECT_EQ(values.quorfreq1, 80);
    copy.Timer2Timer();
    EXPECT_EQ(surface.Position(SurfaceControl::trackfrequency), 80);

    // an idle tick only feeds the recording level bar
    const int before = surface.setPositionCalls;
    copy.Timer2Timer();
    EXPECT_EQ(surface.setPositionCalls, before + 1);
    surface.peak = 1234;
    copy.Timer2Timer();
    EXPECT_EQ(surface.Position(SurfaceControl::RLed3), 1234);
}

TEST_F(CtlTimer2, AutomixTrackNumbers)
{
    const struct {
        const char* track;
        const char* shown;
    } cases[] = {{"----", "000"}, {"NEW", "000"}, {"new", "000"}, {"nEw", "000"}, {"A012B", "012"}, {"#7", "7"}, {"", ""}};
    for (const auto& c : cases) {
        surface.captions[SurfaceLabel::track1] = c.track;
        surface.captions[SurfaceLabel::track2] = c.track;
        copy.Timer2Timer();
        EXPECT_EQ(surface.Caption(SurfaceLabel::laut_t1), c.shown) << c.track;
        EXPECT_EQ(surface.Caption(SurfaceLabel::laut_t2), c.shown) << c.track;
    }
}

TEST_F(CtlTimer2, JogWheelsFollowTheControllerOnlyWhileItDrivesThem)
{
    values.quorwhel1 = 500;
    copy.Timer2Timer();
    EXPECT_EQ(surface.Position(SurfaceControl::vrwheela), 0);
    state.controlera = true;
    copy.Timer2Timer();
    EXPECT_EQ(surface.Position(SurfaceControl::vrwheela), 500);

    // caught up: a held bend button's lit text goes out, once
    state.actjoga = true;
    state.ledbendmas1 = true;
    state.ledbendmenos1 = true;
    surface.SetDown(SurfaceButton::bendmas1, true);
    copy.Timer2Timer();
    EXPECT_FALSE(state.ledbendmas1);
    EXPECT_TRUE(state.ledbendmenos1);  // its button is up
    EXPECT_FALSE(state.actjoga);

    values.quorwhel2 = 36000;
    state.controlerb = true;
    copy.Timer2Timer();
    EXPECT_EQ(surface.Position(SurfaceControl::vrWheelb), 36000);
}

TEST_F(CtlTimer2, BendLightsGoOutWhileTheWheelIsHeldWithTheMouse)
{
    surface.SetDown(SurfaceButton::Bendmenos2, true);
    state.ledbendmenos2 = true;
    copy.Timer2Timer();
    EXPECT_TRUE(state.ledbendmenos2);  // wheel not held

    surface.jog[1].botonleft = true;
    surface.jog[1].fscratch = 1.5;
    copy.Timer2Timer();
    EXPECT_TRUE(state.ledbendmenos2);  // scratching fast

    surface.jog[1].fscratch = -0.5;
    state.searena2 = true;
    surface.searching[1] = true;
    copy.Timer2Timer();
    EXPECT_TRUE(state.ledbendmenos2);  // searching on a deck in search mode

    surface.searching[1] = false;
    copy.Timer2Timer();
    EXPECT_FALSE(state.ledbendmenos2);
}
