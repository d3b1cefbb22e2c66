// The action families: hot cues and loops, pitch, bend, jog and search, the mixer, effects and
// samplers, pad modes and selectors, and browser navigation; each from its edge cases, as tables
// of events against the recording surface.
#include <gtest/gtest.h>

#include <climits>

#include "controllers/controllertables.h"
#include "controllers/dispatch/actiondispatcher.h"
#include "controllers/dispatch/controllervalues.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "tests/controllers/fakesurface.h"

namespace {

using Calls = std::vector<std::string>;

class CtlActions : public ::testing::Test {
protected:
    CtlActions() : surface(&values), dispatcher(surface, values, state, tables) {}

    // one event; the calls it made
    Calls send(int code, int valor, int value = 127, int range = 0, int rangelo = 0, int rangeup = 0)
    {
        surface.calls.clear();
        bp.accion = code;
        bp.valor = valor;
        bp.value = value;
        bp.range = range;
        bp.rangelo = rangelo;
        bp.rangeup = rangeup;
        dispatcher.updatecontroler(bp);
        return surface.calls;
    }
    Calls press(int code) { return send(code, 127); }
    Calls alternate(int code) { return send(code, 63); }

    ControllerTables tables;
    ControllerValues values;
    DispatcherState state;
    FakeSurface surface;
    ActionDispatcher dispatcher;
    TInfo bp;
};

}  // namespace

// ---- hot cues and loops

TEST_F(CtlActions, LoopButtons)
{
    const struct {
        int code, valor;
        bool manual, active;
        int lo;
        Calls expected;
        int loAfter;
    } cases[] = {
        {8, 127, false, false, 4, {"MouseDown loop1a"}, 4},
        {8, 127, true, false, 4, {}, 4},
        {8, 127, true, true, 4, {"MouseDown r3"}, 3},
        {9, 127, false, false, 4, {"MouseDown loop1b"}, 4},
        {9, 127, true, true, 4, {"MouseDown loop1reloop"}, 4},
        {9, 127, true, false, 6, {"MouseDown r4"}, 4},
        {9, 63, false, true, 4, {"MouseDown loop1reloop"}, 4},
        {9, 63, false, false, 4, {"MouseDown loop1b"}, 4},
        {9, 63, true, true, 4, {}, 4},  // alternate press with the manual form: nothing
        {10, 127, false, false, 4, {"MouseDown loop1reloop"}, 4},
        {10, 127, true, true, 8, {"MouseDown r8"}, 8},
        {42, 127, true, true, 4, {"MouseDown loop2a"}, 4},  // deck B has no manual form
        {43, 63, true, true, 4, {"MouseDown loop2reloop"}, 4},
        {44, 127, true, true, 4, {"MouseDown loop2reloop"}, 4},
    };
    for (const auto& c : cases) {
        state.loopmanuala = state.loopmanualb = c.manual;
        surface.loopActive[0] = surface.loopActive[1] = c.active;
        state.lo1 = state.lo2 = c.lo;
        EXPECT_EQ(send(c.code, c.valor), c.expected) << c.code << " " << c.valor;
        EXPECT_EQ(c.code < 42 ? state.lo1 : state.lo2, c.loAfter) << c.code;
    }
}

TEST_F(CtlActions, AutoloopLengths)
{
    const struct {
        int code, valor;
        bool active;
        int lo;
        Calls expected;
        int loAfter;
    } cases[] = {
        {11, 127, false, 4, {"MouseDown r1"}, 1},
        {11, 0, false, 4, {"MouseUp r1"}, 4},
        {11, 63, true, 1, {"MouseDown r1"}, 1},  // no lower length: length 1 again
        {11, 63, false, 3, {"MouseDown r5"}, 5},  // no loop: the 4-beat loop
        {17, 63, false, 2, {"MouseDown r5"}, 5},
        {17, 63, true, 7, {"MouseDown r8"}, 8},
        {14, 63, true, 4, {"MouseDown loop1reloop"}, 4},
        {14, 63, false, 4, {"MouseDown r5"}, 5},
        {14, 0, false, 4, {}, 4},
        {246, 127, false, 4, {"MouseDown r8"}, 8},
        {247, 0, false, 4, {"MouseUp l8"}, 4},
        {49, 127, false, 4, {"MouseDown l5"}, 5},
        {12, 64, false, 4, {}, 4},
    };
    for (const auto& c : cases) {
        surface.loopActive[0] = surface.loopActive[1] = c.active;
        state.lo1 = state.lo2 = c.lo;
        EXPECT_EQ(send(c.code, c.valor), c.expected) << c.code << " " << c.valor;
        EXPECT_EQ(c.code < 45 || c.code == 246 ? state.lo1 : state.lo2, c.loAfter) << c.code;
    }
}

TEST_F(CtlActions, TimeFxRaisesTheLengthAndAutoloopInUsesIt)
{
    state.lo1 = 4;
    EXPECT_TRUE(press(177).empty());
    EXPECT_EQ(state.lo1, 5);
    EXPECT_EQ(press(199), Calls{"MouseDown r5"});
    surface.loopActive[0] = true;
    EXPECT_EQ(press(199), Calls{"MouseDown loop1reloop"});
    EXPECT_EQ(press(178), Calls{"MouseDown r4"});
    // with the effect-beat form the same buttons step the second beat index
    press(171);
    EXPECT_EQ(state.selefxloopa, 1);
    EXPECT_EQ(press(177), Calls{"MouseDown t1"});  // LF1 starts at 0: up gives 1
    EXPECT_EQ(press(177), Calls{"MouseDown t2"});
    EXPECT_EQ(press(178), Calls{"MouseDown t1"});
    EXPECT_EQ(press(178), Calls{"MouseDown t1"});
    EXPECT_EQ(state.LF1, 1);
}

TEST_F(CtlActions, NextAndPreviousHotCue)
{
    const struct {
        int code, cargacue;
        Calls expected;
        int after;
    } cases[] = {
        {69, 6, {"MouseDown cue11"}, 1},  {70, 1, {"MouseDown CUE16"}, 6},  {69, 2, {"MouseDown cue13"}, 3},
        {69, 0, {"MouseDown cue12"}, 2},  // none active counts as 1
        {69, 9, {"MouseDown cue11"}, 1},  // a slot above 6 counts as 6
        {70, 12, {"MouseDown cue15"}, 5}, {72, 1, {"MouseDown CUE26"}, 6},  {71, 3, {"MouseDown cue24"}, 4},
        {70, -4, {"MouseDown CUE16"}, 6},
    };
    for (const auto& c : cases) {
        const int deck = c.code <= 70 ? 0 : 1;
        surface.cargacue[deck] = c.cargacue;
        EXPECT_EQ(press(c.code), c.expected) << c.code << " " << c.cargacue;
        EXPECT_EQ(surface.cargacue[deck], c.after);
    }
}

TEST_F(CtlActions, AutoloopPot)
{
    const struct {
        int valor, length;
    } absolute[] = {{0, 1}, {13, 1}, {14, 2}, {28, 2}, {29, 3}, {127, 8}, {-50, 1}};
    for (const auto& c : absolute)
        EXPECT_EQ(send(167, c.valor, 127), Calls{"MouseDown r" + std::to_string(c.length)}) << c.valor;
    // every event presses, also when the index stays
    EXPECT_EQ(send(167, 127, 127), Calls{"MouseDown r8"});
    EXPECT_EQ(state.vauta, 8);  // 128 / 15
    // relative: valor equal to the centre steps up; no loop gives the 2-beat loop
    state.lo1 = 3;
    surface.loopActive[0] = true;
    EXPECT_EQ(send(167, 64, 1, 64, 1, 127), Calls{"MouseDown r4"});
    EXPECT_EQ(send(167, 63, 1, 64, 1, 127), Calls{"MouseDown r3"});
    surface.loopActive[0] = false;
    EXPECT_EQ(send(168, 63, 1, 64, 1, 127), Calls{"MouseDown l4"});
}

TEST_F(CtlActions, ManualLoopPadsModesAndSwitches)
{
    EXPECT_EQ(press(217), Calls{"MouseDown loop1a"});
    EXPECT_EQ(press(218), Calls{"MouseDown loop1b"});
    EXPECT_EQ(press(219), Calls{"MouseDown loop1reloop"});
    press(216);
    EXPECT_EQ(state.selefxmanuala, 1);
    EXPECT_EQ(press(218), Calls{"MouseDown r5"});
    surface.loopActive[0] = true;
    EXPECT_EQ(press(218), Calls{"MouseDown loop1reloop"});
    EXPECT_EQ(press(219), Calls{"MouseDown r6"});
    EXPECT_EQ(press(217), Calls{"MouseDown r5"});
    EXPECT_EQ(press(18), Calls{"MouseDown memory1"});
    EXPECT_EQ(press(197), Calls{"MouseDown delete2"});
    EXPECT_EQ(press(21), Calls{"MouseDown cue13"});
    EXPECT_EQ(press(58), Calls{"MouseDown CUE26"});
    EXPECT_TRUE(alternate(109).empty());
    EXPECT_TRUE(state.loopmanuala);
    EXPECT_TRUE(press(109).empty());
    EXPECT_TRUE(state.loopmanuala);
    alternate(115);
    EXPECT_TRUE(state.loopmanualb);
    EXPECT_TRUE(press(264).empty());
    EXPECT_TRUE(surface.Down(SurfaceButton::nhcue1));
    press(264);
    EXPECT_FALSE(surface.Down(SurfaceButton::nhcue1));
}

// ---- pitch, bend, jog, search

TEST_F(CtlActions, RelativeJogDeckAForm)
{
    const struct {
        int count, valor, range, value, ajuste;
        bool touched;
        int expected;
    } cases[] = {
        {1000, 65, 64, 100, 0, false, 1200},  // two steps
        {1000, 64, 64, 100, 0, false, 1000},
        {35950, 65, 64, 100, 0, false, 100},  // 36050 -> 0, then + 100
        {35950, 64 + 0, 63, 100, 0, false, 100},
        {50, 63, 64, 100, 0, false, 35900},    // 50 - 100 -> 36000, then - 100
        {1000, 66, 64, 10, 3, false, 1000},    // below the adjustment
        {1000, 66, 64, 10, 3, true, 1030},     // a touched wheel ignores it
        {1000, 67, 64, 10, 3, false, 1040},
    };
    for (const auto& c : cases) {
        values.quorwhel1 = c.count;
        tables.ajustea = c.ajuste;
        state.botonscra = c.touched;
        state.actjoga = state.controlera = false;
        send(142, c.valor, c.value, c.range, 1, 127);
        EXPECT_EQ(values.quorwhel1, c.expected) << c.count << " " << c.valor;
        EXPECT_TRUE(state.actjoga);
        EXPECT_TRUE(state.controlera);
    }
}

TEST_F(CtlActions, RelativeJogCheckFirstForm)
{
    values.quorwhel2 = 50;
    send(143, 63, 100, 64, 1, 127);
    EXPECT_EQ(values.quorwhel2, -150);  // 50 - 100 = -50, not 0: no wrap; -50 - 100
    values.quorwhel2 = 0;
    send(212, 64, 100, 65, 1, 127);
    EXPECT_EQ(values.quorwhel2, 35800);
    values.quorwhel1 = 36000;
    send(211, 64, 100, 64, 1, 127);
    EXPECT_EQ(values.quorwhel1, 100);
    // a negative bound makes the check-first jogs absolute
    values.quorwhel2 = 1000;
    bp.oldvalor = 10;
    send(143, 11, 1, 360, -1, 127);
    EXPECT_EQ(values.quorwhel2, 1100);
    // a huge step count is cut, not run for minutes
    values.quorwhel1 = 0;
    send(142, INT_MAX, 1, 0, 1, 127);
    EXPECT_GE(values.quorwhel1, 0);
}

TEST_F(CtlActions, AbsoluteJogThreshold)
{
    bp.oldvalor = 10;
    values.quorwhel1 = 1000;
    for (int v : {11, 12}) {
        send(142, v, 2, 360, 3, 0);
        EXPECT_EQ(values.quorwhel1, 1000) << v;
        EXPECT_EQ(bp.oldvalor, 10);
    }
    send(142, 13, 2, 360, 3, 0);
    EXPECT_EQ(values.quorwhel1, 1200);
    EXPECT_EQ(bp.oldvalor, 13);
    send(142, 5, 1, 360, 0, 0);
    EXPECT_EQ(values.quorwhel1, 1100);
    values.quorwhel1 = 50;
    send(142, 4, 1, 360, 0, 0);
    EXPECT_EQ(values.quorwhel1, 36000);
}

TEST_F(CtlActions, DivisionsByZeroChangeNothing)
{
    const struct {
        int code, value, range;
    } cases[] = {
        {167, 7, 0}, {168, 0, 0},   // autoloop pots below 8
        {182, 4, 0}, {183, 0, 0},   // effect beat pots below 5
        {142, 1, 0}, {143, 1, 0}, {211, 1, 0}, {212, 1, 0}, {252, 1, 0}, {253, 1, 0},  // absolute jogs with range 0
        {122, 0, 0}, {139, 0, 0}, {121, 0, 0}, {127, 0, 0}, {248, 0, 0},
    };
    for (const auto& c : cases) {
        const ControllerValues before = values;
        state.actjoga = state.actjogb = false;
        EXPECT_TRUE(send(c.code, 100, c.value, c.range, 0, 0).empty()) << c.code;
        EXPECT_EQ(values.quorwhel1, before.quorwhel1) << c.code;
        EXPECT_EQ(values.quorwhel2, before.quorwhel2) << c.code;
        EXPECT_EQ(values.quorvol1, before.quorvol1) << c.code;
        EXPECT_EQ(values.quorcross, before.quorcross) << c.code;
        EXPECT_EQ(values.quorfreq1, before.quorfreq1) << c.code;
        EXPECT_FALSE(state.actjoga || state.actjogb) << c.code;
    }
}

TEST_F(CtlActions, Pitch)
{
    // endless: from oldvalor = range any next value moves forward
    bp.oldvalor = 64;
    values.quorfreq1 = 60;
    send(121, 0, 2, 64, 255, 255);
    EXPECT_EQ(values.quorfreq1, 62);
    EXPECT_EQ(bp.oldvalor, 0);
    send(121, 64, 2, 64, 255, 255);  // any rise moves forward, the range included
    EXPECT_EQ(values.quorfreq1, 64);
    send(121, 30, 2, 100, 255, 255);
    EXPECT_EQ(values.quorfreq1, 62);
    values.quorfreq1 = 126;
    send(121, 100, 5, 64, 255, 255);
    EXPECT_EQ(values.quorfreq1, 127);
    // relative
    send(130, 70, 1, 64, 1, 1);
    EXPECT_EQ(values.quorfreq2, 64);
    // absolute, moving to the other deck arms the pick-up while in controller mode 1
    tables.midmodo1 = 1;
    state.midoldpit1 = 2;
    EXPECT_EQ(send(121, 127, 127), Calls{"SetSliders 0 0"});
    EXPECT_EQ(values.quorfreq1, 127);
    EXPECT_EQ(state.midoldpit1, 1);
    EXPECT_TRUE(send(121, 100, 127).empty());  // deck A again: no arming
    EXPECT_EQ(send(130, 0, 127), Calls{"SetSliders 1 0"});
    EXPECT_EQ(state.midoldpit1, 2);
    // an equal position writes nothing
    surface.mouseMove(SurfaceControl::trackfrequency2, 30);
    values.quorfreq2 = 30;
    EXPECT_TRUE(send(130, 30, 127).empty());
}

TEST_F(CtlActions, BendJogPressModesAndRanges)
{
    EXPECT_EQ(press(29), Calls{"MouseDown bendmas1"});
    EXPECT_TRUE(state.bcontrolera);
    EXPECT_TRUE(state.ledbendmas1);
    EXPECT_EQ(send(29, 0), Calls{"MouseUp bendmas1"});
    EXPECT_FALSE(state.ledbendmas1);
    EXPECT_EQ(press(62), Calls{"MouseDown Bendmenos2"});
    EXPECT_TRUE(state.ledbendmenos2);

    surface.SetDown(SurfaceButton::search1, true);
    EXPECT_EQ(press(144), (Calls{"MouseUp bendmas1", "MouseUp bendmenos1"}));
    EXPECT_TRUE(surface.Down(SurfaceButton::scratch1));
    EXPECT_FALSE(surface.Down(SurfaceButton::search1));
    EXPECT_TRUE(state.scratching && state.botonscra);
    EXPECT_EQ(send(144, 0), (Calls{"MouseUp bendmas1", "MouseUp bendmenos1", "SetScratchOff 0"}));
    EXPECT_FALSE(surface.Down(SurfaceButton::scratch1));
    EXPECT_FALSE(state.scratching || state.botonscra);

    EXPECT_EQ(alternate(25), (Calls{"MouseDown scratch1", "MouseDown scratch2"}));
    EXPECT_TRUE(surface.Down(SurfaceButton::scratch1));
    EXPECT_TRUE(surface.Down(SurfaceButton::scratch2));
    EXPECT_EQ(alternate(26), (Calls{"MouseDown search1", "MouseDown search2"}));
    EXPECT_TRUE(alternate(59).empty());
    surface.disabled_[SurfaceButton::key1] = true;
    EXPECT_EQ(alternate(64), Calls{"MouseDown key2"});

    // the first range press gives 8 %, the sixth 4 %
    surface.SetPosition(SurfaceControl::trackfrequency, 127);
    surface.pitchvPosition[0] = 80;
    EXPECT_EQ(press(173), Calls{"SetPitchv 0 8"});
    EXPECT_EQ(surface.Position(SurfaceControl::trackfrequency), 80);
    EXPECT_EQ(surface.Caption(SurfaceLabel::lpitp1), "8%");
    for (int i = 0; i < 5; ++i) press(173);
    EXPECT_EQ(surface.Caption(SurfaceLabel::lpitp1), "4%");
    surface.loaded[1] = false;
    EXPECT_EQ(press(176), Calls{"SetPitchv 1 8"});
    EXPECT_EQ(surface.Position(SurfaceControl::trackfrequency2), 63);

    EXPECT_EQ(press(201), Calls{"MouseDown scratch1"});
    EXPECT_EQ(press(201), Calls{"MouseDown search1"});
    EXPECT_EQ(press(201), Calls{"MouseDown effects1"});
    surface.SetDown(SurfaceButton::scratch1, false);
    EXPECT_EQ(press(201), (Calls{"MouseDown effects1", "MouseDown search1"}));
    EXPECT_EQ(state.tmode1, 0);
}

TEST_F(CtlActions, SearchSeekAndShift)
{
    EXPECT_EQ(send(205, 65, 1, 64, 1, 127), Calls{"SetPositions 0 2 1020"});
    EXPECT_EQ(send(206, 64, 1, 64, 1, 127), Calls{"SetPositions 1 -2 1020"});
    EXPECT_TRUE(send(205, 65, 1, 64, 0, 0).empty());  // absolute: nothing
    EXPECT_EQ(send(248, 64, 127), Calls{"SetPositionm 0 64 127"});
    EXPECT_TRUE(send(248, 0, 127).empty());
    send(251, 127);
    EXPECT_EQ(state.shifton, 1);
    send(250, 0);
    EXPECT_EQ(state.shifton, 0);
}

// ---- mixer

TEST_F(CtlActions, MixerPots)
{
    const struct {
        int code, valor, value;
        int ControllerValues::*global;
        int expected;
    } cases[] = {
        {122, 100, 100, &ControllerValues::quorvol1, 127},
        {122, 120, 100, &ControllerValues::quorvol1, 127},  // 152 limited
        {131, 50, 127, &ControllerValues::quorvol2, 50},
        {123, 127, 127, &ControllerValues::quorbass1, 30},
        {126, 100, 100, &ControllerValues::quorgain1, 20},
        {135, 100, 100, &ControllerValues::quorgain2, 15},  // deck B's gain scales by 127
        {139, 0, 127, &ControllerValues::quorcross, -1},
        {139, 127, 127, &ControllerValues::quorcross, 127},
        {139, 63, 127, &ControllerValues::quorcross, 62},
        {213, 64, 128, &ControllerValues::quorvolrec, 50},
    };
    for (const auto& c : cases) {
        values = ControllerValues();
        surface.mouseMove(SurfaceControl::crossfader, 30);
        send(c.code, c.valor, c.value);
        EXPECT_EQ(values.*c.global, c.expected) << c.code << " " << c.valor;
    }
    send(155, 64, 128);
    EXPECT_EQ(values.quorheada, 50);
    EXPECT_EQ(values.quorheadb, 50);
    send(155, 127, 127);
    EXPECT_EQ(values.quorheada, 0);
    EXPECT_EQ(values.quorheadb, 100);
    send(156, 30, 100);
    EXPECT_EQ(values.quorheada, 30);
    EXPECT_EQ(values.quorheadb, 30);
    send(156, 70, 1, 64, 1, 127);
    EXPECT_EQ(values.quorheada, 31);
    EXPECT_EQ(values.quorheadb, 31);
    send(155, 10, 1, 64, 1, 127);
    EXPECT_EQ(values.quorheada, 30);
    EXPECT_EQ(values.quorheadb, 32);
    send(139, 70, 5, 64, 1, 127);
    EXPECT_EQ(values.quorcross, 68);
}

TEST_F(CtlActions, SteppingGain)
{
    values.quorgain1 = 10;
    send(126, 40, 1, 0, 9, 9);
    EXPECT_EQ(values.quorgain1, 11);
    send(126, 40, 1, 0, 9, 9);  // the same raw value again steps down
    EXPECT_EQ(values.quorgain1, 10);
    values.quorgain2 = 20;
    send(135, 70, 1, 64, 1, 127);
    EXPECT_EQ(values.quorgain2, 20);
}

TEST_F(CtlActions, KillsCueAndHeadphoneButtons)
{
    EXPECT_EQ(press(31), Calls{"MouseDown kb1"});
    EXPECT_TRUE(surface.Down(SurfaceButton::kb1));
    EXPECT_EQ(press(67), Calls{"MouseDown kh2"});
    EXPECT_EQ(press(68), Calls{"MouseDown headb"});
    values.quorheada = 97;
    press(237);
    EXPECT_EQ(values.quorheada, 100);
    EXPECT_EQ(values.quorheadb, 100);
    values.quorheada = 3;
    press(236);
    EXPECT_EQ(values.quorheada, 0);
}

TEST_F(CtlActions, PhonesSplitMovesSingleDeckControllers)
{
    // neither deck cued: deck A gets the cue
    EXPECT_EQ(press(108), (Calls{"setheadphones 1 1", "setheadphones 0 2", "SetSliders 1 0", "sliders 1 0"}));
    EXPECT_TRUE(surface.Down(SurfaceButton::heada));
    tables.hd.modo = 0;
    tables.hdm.modo = 0;
    tables.hd2.modo = 1;
    state.luces = "1";
    state.scrollpos1 = state.scrollpos2 = 3;
    EXPECT_EQ(press(108), (Calls{"setheadphones 0 1", "setheadphones 1 2", "SetSliders 0 0", "sliders 0 0"}));
    EXPECT_TRUE(surface.Down(SurfaceButton::headb));
    EXPECT_FALSE(surface.Down(SurfaceButton::heada));
    EXPECT_EQ(state.hidcarga, 1);
    EXPECT_EQ(state.mhidcarga, 1);
    EXPECT_EQ(state.hidcarga2, 0);
    EXPECT_TRUE(state.luces.isEmpty());
    EXPECT_EQ(state.scrollpos1, 0);
    EXPECT_EQ(state.scrollpos2, 0);
}

// ---- effects, samplers, automix, recording

TEST_F(CtlActions, EffectPots)
{
    values.quorpara1 = 940;
    send(128, 70, 1, 64, 1, 127);
    EXPECT_EQ(values.quorpara1, 100);  // passing the maximum wraps to the minimum
    values.quorpara2 = 500;
    send(137, 70, 1, 64, 1, 127);
    EXPECT_EQ(values.quorpara2, 510);
    values.quorsam2 = 0;
    send(138, 10, 1, 64, 1, 127);
    EXPECT_EQ(values.quorsam2, 100);
    values.quorsam1 = 0;
    send(129, 10, 1, 64, 1, 127);
    EXPECT_EQ(values.quorsam1, 0);
    send(129, 50, 100, 0, 2, 0);
    EXPECT_EQ(values.quorsam1, 50);
    EXPECT_EQ(values.quorsam2, 50);
    send(140, 100, 100);
    EXPECT_EQ(values.quorpara1, 925);
    EXPECT_EQ(values.quorpara2, 925);
    send(141, 50, 100);
    EXPECT_EQ(values.quordry2, 500);
    send(207, 25, 100);
    EXPECT_EQ(values.quorsam2, 25);
}

TEST_F(CtlActions, EffectBeatsAndButtons)
{
    state.fx1 = 1;
    EXPECT_EQ(alternate(77), Calls{"MouseDown t1"});
    EXPECT_EQ(alternate(81), Calls{"MouseDown t2"});
    EXPECT_EQ(state.fx1, 2);
    EXPECT_EQ(press(95), Calls{"MouseDown t42"});
    EXPECT_TRUE(alternate(78).empty());
    const struct {
        int valor, beat;
    } pot[] = {{0, 1}, {23, 1}, {24, 2}, {48, 2}, {49, 3}, {99, 5}, {127, 5}};
    for (const auto& c : pot) EXPECT_EQ(send(182, c.valor, 127), Calls{"MouseDown t" + std::to_string(c.beat)}) << c.valor;
    EXPECT_EQ(send(183, 70, 1, 64, 1, 127), Calls{"MouseDown t12"});
    EXPECT_EQ(press(75), Calls{"MouseDown flange"});
    EXPECT_EQ(press(91), Calls{"MouseDown wah2"});
    EXPECT_EQ(press(84), Calls{"MouseDown vl3"});
    EXPECT_EQ(press(88), Calls{"MouseDown vl7"});
    EXPECT_EQ(press(103), Calls{"MouseDown vr7"});
    EXPECT_EQ(press(73), Calls{"MouseDown auto_enable"});
    EXPECT_EQ(press(214), Calls{"MouseDown REC"});
    EXPECT_TRUE(send(214, 0).empty());
}

// ---- pad modes and selectors

TEST_F(CtlActions, Selectors)
{
    const char* texts[] = {"A EFFECTS ", "A CUES    ", "A LOOPS   ", "A SAMPLER "};
    for (int i = 0; i < 4; ++i) {
        state.scrollpos1 = 5;
        state.changedis1 = 1;
        press(157);
        EXPECT_EQ(state.selectora, (i + 1) % 4);
        EXPECT_EQ(state.selectatxt, texts[i]);
        EXPECT_EQ(state.scrollpos1, 0);
        EXPECT_EQ(state.changedis1, 0);
    }
    // 63 while in mode 3 gives mode 4: the text stays, the pads do nothing
    state.selectora = 3;
    state.selectatxt = "A LOOPS   ";
    alternate(157);
    EXPECT_EQ(state.selectora, 4);
    EXPECT_EQ(state.selectatxt, "A LOOPS   ");
    for (int code = 159; code <= 162; ++code) EXPECT_TRUE(press(code).empty());
    send(157, 32);
    EXPECT_EQ(state.selectora, 5);
    state.selectorb = 1;
    send(157, 32);
    // a two-position switch with rangelo 2 sets both decks
    state.selectora = 3;
    send(158, 0, 127, 0, 2, 0);
    EXPECT_EQ(state.selectora, 0);
    EXPECT_EQ(state.selectorb, 0);
    EXPECT_EQ(state.selectbtxt, "B SAMPLER ");
    send(158, 127, 127, 0, 2, 0);
    EXPECT_EQ(state.selectatxt, "A EFFECTS ");
    send(158, 127, 127, 0, 1, 0);  // rangelo 1: nothing
    EXPECT_EQ(state.selectorb, 1);
}

TEST_F(CtlActions, DirectModesAndPanelCodes)
{
    press(240);
    EXPECT_EQ(state.selectora, 2);
    EXPECT_EQ(state.selectatxt, "A CUES    ");
    alternate(240);
    EXPECT_EQ(state.selectora, 1);
    alternate(240);
    EXPECT_EQ(state.selectora, 2);
    alternate(238);
    EXPECT_EQ(state.selectora, 0);
    alternate(239);
    EXPECT_EQ(state.selectora, 1);
    EXPECT_EQ(state.selectatxt, "A EFFECTS ");
    send(254, 0);
    EXPECT_EQ(state.selectora, 0);
    EXPECT_EQ(state.selectatxt, "A EFFECTS ");  // the panel codes leave the text
    send(259, 127);
    EXPECT_EQ(state.selectorb, 3);
}

TEST_F(CtlActions, SharedPads)
{
    const struct {
        int mode, code;
        Calls expected;
    } cases[] = {
        {0, 159, {"MouseDown vl1"}}, {1, 160, {"MouseDown flange"}}, {2, 161, {"MouseDown cue13"}},
        {3, 161, {"MouseDown loop1reloop"}}, {1, 162, {}}, {3, 162, {}}, {2, 166, {"MouseDown cue24"}},
        {0, 166, {"MouseDown vr4"}},
    };
    for (const auto& c : cases) {
        state.selectora = state.selectorb = c.mode;
        EXPECT_EQ(press(c.code), c.expected) << c.mode << " " << c.code;
    }
    EXPECT_EQ(press(186), Calls{"MouseDown cue13"});
    press(172);
    EXPECT_EQ(press(186), Calls{"MouseDown vl3"});
    EXPECT_EQ(press(195), Calls{"MouseDown CUE26"});

    state.luces = "x";
    press(220);
    EXPECT_TRUE(state.selefxcuea);
    EXPECT_TRUE(state.luces.isEmpty());
    EXPECT_EQ(press(223), Calls{"MouseDown flange"});
    state.luces = "x";
    send(221, 0);
    EXPECT_TRUE(state.selefxcuea);
    EXPECT_TRUE(state.luces.isEmpty());  // also on a release
    press(221);
    EXPECT_FALSE(state.selefxcuea);
    EXPECT_EQ(press(224), Calls{"MouseDown cue13"});
    alternate(229);
    EXPECT_TRUE(state.selefxcueb);
    EXPECT_EQ(press(231), Calls{"MouseDown echo2"});
}

// ---- browser

TEST_F(CtlActions, BrowserDoesNothingWithoutALoadSource)
{
    surface.rowCount = 5;
    for (int code : {146, 147, 148, 149, 151, 169, 170, 203, 204, 208, 209, 263, 266, 267}) {
        for (int valor : {127, 63, 32, 65}) {
            if (code == 170 && valor == 63) continue;  // the panel view cycle needs no load source
            EXPECT_TRUE(send(code, valor, 1, 64, 1, 127).empty()) << code;
            EXPECT_EQ(surface.row, 1) << code;
        }
    }
    EXPECT_EQ(state.seledirectorio, 0);
    state.seledirectorio = 1;
    EXPECT_TRUE(alternate(4).empty());
}

TEST_F(CtlActions, BrowserRowsAndTrees)
{
    surface.msender = "sggroups";
    surface.rowCount = 3;
    surface.row = 1;
    press(148);
    EXPECT_EQ(surface.row, 1);  // the title row is not reached
    press(149);
    press(149);
    EXPECT_EQ(surface.row, 2);  // the last row stays
    state.muevoexplorer = "EXPLORER";
    EXPECT_EQ(press(149), Calls{"dtabajo groups"});
    EXPECT_TRUE(alternate(148).empty());
    EXPECT_EQ(surface.row, 1);

    // an absolute browse pot that sends the same value twice moves up on the second event
    surface.msender = "sgexplorer";
    EXPECT_EQ(send(146, 40, 127), Calls{"dtabajo explorer"});
    EXPECT_EQ(send(146, 40, 127), Calls{"dtarriba explorer"});
    EXPECT_EQ(send(209, 70, 1, 64, 1, 127), Calls{"dtabajo explorer"});
    // a load source of another name: no tree moves, rows still do
    surface.msender = "other";
    EXPECT_TRUE(press(204).empty());
    surface.row = 1;
    send(266, 70, 1, 64, 1, 127);
    EXPECT_EQ(surface.row, 2);
}

TEST_F(CtlActions, BrowserSelectAndModes)
{
    surface.msender = "sg";
    EXPECT_EQ(press(147), (Calls{"setselected playlists", "focusea sg"}));
    EXPECT_EQ(state.seledirectorio, 1);
    surface.msender = "sggroups";
    state.seledirectorio = 0;
    EXPECT_TRUE(alternate(147).empty());
    EXPECT_EQ(state.seledirectorio, 1);
    EXPECT_EQ(alternate(147), Calls{"focusea dt"});
    EXPECT_EQ(send(147, 32), Calls{"focusea dt"});
    EXPECT_EQ(press(263), Calls{"setselected groups"});
    EXPECT_EQ(alternate(38), Calls{"setselected groups"});
    EXPECT_EQ(press(151), Calls{"setselected groups"});
    EXPECT_EQ(state.muevoexplorer, "FILES");

    // BTNFILE released only sets the browse mode from seledirectorio
    state.seledirectorio = 1;
    state.muevoexplorer = "FILES";
    send(234, 0);
    EXPECT_EQ(state.seledirectorio, 1);
    EXPECT_EQ(state.muevoexplorer, "EXPLORER");
    press(234);
    EXPECT_EQ(state.muevoexplorer, "FILES");
    press(215);
    EXPECT_EQ(state.seledirectorio, 1);
    alternate(262);
    EXPECT_EQ(state.seledirectorio, 0);
    press(150);
    EXPECT_EQ(state.muevoexplorer, "EXPLORER");
}

TEST_F(CtlActions, PanelViews)
{
    // Playlists -> Groups -> Explorer -> Playlists
    const struct {
        bool gr, pl, ex;
    } next[] = {{true, false, false}, {false, false, true}, {false, true, false}};
    for (const auto& n : next) {
        EXPECT_EQ(press(198), Calls{"alineopanels"});
        EXPECT_EQ(surface.shown[0], n.gr);
        EXPECT_EQ(surface.shown[1], n.pl);
        EXPECT_EQ(surface.shown[2], n.ex);
    }
    EXPECT_EQ(alternate(170), (Calls{"alineopanels", "focusea grupos", "focusea sggroups"}));
}
