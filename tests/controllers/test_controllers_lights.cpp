// The controller lights: the light-state text built from the window's state, the MIDI messages of
// the lights that changed (forms, the shared headphone light, single-deck mode with deck B's rows
// 100 above), the deck levels, the HID mirror and all lights off at the close.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "controllers/controllerset.h"
#include "engine/psoundconfig.h"
#include "platform/hid/fakehidbackend.h"
#include "platform/midi/fakemidibackend.h"
#include "tests/controllers/definitionxml.h"
#include "tests/controllers/fakesurface.h"
#include "tests/controllers/hiddevice.h"
#include "tests/controllers/qtapp.h"

namespace {

using Msg = std::vector<uint8_t>;
using Msgs = std::vector<Msg>;

class CtlLights : public ::testing::Test {
protected:
    CtlLights() : set(surface, config, backend, dir.path(), hidBackend)
    {
        ensureApp();
        QDir().mkpath(dir.path() + "/Devices");
        backend.setInputs(midi::Api::Jack, {"pad:out", "pad2:out"});
        backend.setOutputs(midi::Api::Jack, {"pad:in", "pad2:in"});
        set.midi.loaderPauseMs = 0;
    }

    // MIDI controller `n` set up with these rows
    void setUp(int n, std::initializer_list<Row> rows)
    {
        const QString name = n == 1 ? "pad.xml" : "pad2.xml";
        QFile f(dir.path() + "/Devices/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(definition(rows));
        f.close();
        if (n == 1) {
            config.controler = name;
            set.midi.inicializamidifile("PAD0");
            ASSERT_TRUE(config.inicializada);
        } else {
            config.controler2 = name;
            set.midi.inicializamidifile2("PAD20");
            ASSERT_TRUE(config.inicializada2);
        }
    }
    // what the lights sent to controller `n` since the last look
    Msgs sent(int n)
    {
        const auto all = backend.sent(midi::Api::Jack, unsigned(n - 1));
        Msgs fresh(all.begin() + long(seen_[n - 1]), all.end());
        seen_[n - 1] = all.size();
        return fresh;
    }
    Msgs update(int n = 1)
    {
        sent(n);
        set.lights.updatemidilights();
        return sent(n);
    }
    std::string text() const { return set.lights.lightText().toStdString(); }

    QTemporaryDir dir;
    FakeSurface surface;
    PSoundConfig config;
    midi::FakeMidiBackend backend;
    hid::FakeHidBackend hidBackend;
    ControllerSet set;
    size_t seen_[2] = {0, 0};
};

}  // namespace

TEST_F(CtlLights, TextFollowsTheButtonsAndModes)
{
    using B = SurfaceButton;
    std::string expected(242, '0');
    const auto lit = [&](int code) { expected[code - 1] = '1'; };
    // defaults: mic on air, pad modes sampler, first options of each selector, browse rows
    for (int code : {112, 127, 131, 132, 134, 136, 138, 140, 146, 164 + 3, 188 + 3, 211, 220, 225}) lit(code);
    EXPECT_EQ(text(), expected);

    surface.SetDown(B::btnplay1, true);
    lit(3);
    lit(237);
    surface.SetDown(B::btnpause2, true);  // paused deck B: its play light blinks
    lit(52);
    lit(53);
    surface.SetDown(B::l8, true);
    lit(236);
    lit(122);
    lit(203);
    surface.SetDown(B::vl2, true);
    lit(44);
    lit(228);  // generic pad 2 in sampler mode
    surface.hotCues[{0, 2}] = HotCueLook::loop;
    lit(153);  // SSCUESAM2A: hot cue 2 set
    lit(159);  // SSSAMCUE2A: and a hot loop
    lit(213);  // SFCSELA2
    surface.hotCues[{0, 1}] = HotCueLook::cue;
    lit(152);
    lit(212);
    surface.deleting[1] = true;
    lit(201);
    surface.mutemic = true;
    expected[112 - 1] = '0';
    set.midi.POWERON2 = true;
    lit(240);
    surface.SetDown(B::nhcue2, true);
    lit(242);
    EXPECT_EQ(text(), expected);
    surface.blinking[1] = true;
    expected[53 - 1] = '0';
    EXPECT_EQ(text(), expected);
    EXPECT_EQ(text().size(), 242u);
}

TEST_F(CtlLights, PadModeOutsideTheFourTurnsTheGenericPadsOff)
{
    surface.SetDown(SurfaceButton::vl1, true);
    set.state.selectora = 7;
    const std::string t = text();
    EXPECT_EQ(t.substr(226, 4), "0000");
    EXPECT_EQ(t.size(), 242u);
    set.state.selectora = 0;
    EXPECT_EQ(text().substr(226, 4), "1000");
}

TEST_F(CtlLights, EveryMappedLightGoesOutFirstThenOnlyChanges)
{
    setUp(1, {{"OUTPUT", "60", "144", "SPLAYA", "127", "5"}, {"OUTPUT", "61", "144", "SCUEA", "100"},
              {"OUTPUT", "62", "144", "SMICONAIR", "127"}});
    surface.SetDown(SurfaceButton::btnplay1, true);
    set.state.luces.clear();
    EXPECT_EQ(update(), (Msgs{{0x90, 61, 0}, {0x90, 60, 127}, {0x90, 62, 127}}));
    EXPECT_TRUE(update().empty());
    surface.SetDown(SurfaceButton::btnplay1, false);
    EXPECT_EQ(update(), (Msgs{{0x90, 60, 5}}));  // off with its off value
    // a light without a row sends nothing
    surface.SetDown(SurfaceButton::brake, true);
    EXPECT_TRUE(update().empty());
}

TEST_F(CtlLights, DeckLevelsGoWithEveryChangeOrEveryTickWithLeds)
{
    setUp(1, {{"OUTPUT", "60", "144", "SPLAYA", "127"}, {"OUTPUT", "70", "176", "SLEDMETERA1"},
              {"OUTPUT", "71", "176", "SLEDMETERB1"}});
    surface.SetPosition(SurfaceControl::xl, 30000);
    surface.SetPosition(SurfaceControl::xr, 30000);
    set.state.luces = set.lights.lightText();
    EXPECT_TRUE(update().empty());  // nothing changed, no resend flag: no levels either
    surface.SetDown(SurfaceButton::btnplay1, true);
    EXPECT_EQ(update(), (Msgs{{0x90, 60, 127}, {0xB0, 70, 127}, {0xB0, 71, 0}}));
    set.tables.showleds = true;
    EXPECT_EQ(update(), (Msgs{{0xB0, 70, 127}, {0xB0, 71, 0}}));
    // single-deck mode reads the left bar alone on 30,000
    surface.SetPosition(SurfaceControl::xl, 15000);
    EXPECT_EQ(set.lights.level(0, 1), 95);
    EXPECT_EQ(set.lights.level(0, 0), 63);
}

TEST_F(CtlLights, SharedHeadphoneLightGoesOffOnlyByAnOnChange)
{
    setUp(1, {{"OUTPUT", "40", "144", "SHEADPHONESA", "127"}, {"OUTPUT", "40", "144", "SHEADPHONESB", "127"}});
    set.state.luces = set.lights.lightText();
    surface.SetDown(SurfaceButton::heada, true);
    EXPECT_EQ(update(), (Msgs{{0x90, 40, 127}}));
    surface.SetDown(SurfaceButton::heada, false);
    surface.SetDown(SurfaceButton::headb, true);
    EXPECT_EQ(update(), (Msgs{{0x90, 40, 127}}));  // A's off change sends nothing
    surface.SetDown(SurfaceButton::headb, false);
    EXPECT_TRUE(update().empty());
}

TEST_F(CtlLights, MessageForms)
{
    setUp(1, {{"OUTPUT", "60", "144", "SPLAYA", "127", "9", "130"}, {"OUTPUT", "61", "144", "SCUEA", "100", "9", "20"},
              {"OUTPUT", "62", "144", "SPAUSEA", "100", "9", "255"}});
    set.state.luces = set.lights.lightText();
    surface.SetDown(SurfaceButton::btnplay1, true);
    surface.SetDown(SurfaceButton::btncue1, true);
    surface.SetDown(SurfaceButton::btnpause1, true);
    EXPECT_EQ(update(), (Msgs{{0x90, 100, 61}, {0x90, 62, 100}}));  // form 130 sends nothing on
    surface.SetDown(SurfaceButton::btnplay1, false);
    surface.SetDown(SurfaceButton::btncue1, false);
    surface.SetDown(SurfaceButton::btnpause1, false);
    EXPECT_EQ(update(), (Msgs{{0x90, 9, 61}, {0x90, 9, 60}}));  // form 255 sends nothing off
    set.tables.hdm.modo = 0;
    surface.SetDown(SurfaceButton::btnplay1, true);
    EXPECT_EQ(update(), (Msgs{{0x90, 127, 60}}));  // in single-deck mode form 130 sends
}

TEST_F(CtlLights, SingleDeckModeDeckBRowsSit100Above)
{
    setUp(1, {{"MODO", nullptr, nullptr, "SINGLE"}, {"OUTPUT", "150", "144", "SPLAYB", "127"},
              {"OUTPUT", "40", "144", "SPLAYA", "127"}, {"OUTPUT", "20", "144", "SCUEB", "127"}});
    ASSERT_EQ(set.tables.hdm.modo, 0);
    set.state.mhidcarga = 1;
    set.state.luces = set.lights.lightText();
    surface.SetDown(SurfaceButton::btnplay2, true);
    surface.SetDown(SurfaceButton::btncue2, true);  // a number below 100 for deck B: nothing
    EXPECT_EQ(update(), (Msgs{{0x90, 50, 127}}));
    surface.SetDown(SurfaceButton::btnplay2, false);
    EXPECT_EQ(update(), (Msgs{{0x90, 50, 0}}));  // deck B's off in form 0 is 0
}

TEST_F(CtlLights, SingleDeckHeadphoneLightOfTheOtherDeck)
{
    setUp(1, {{"MODO", nullptr, nullptr, "SINGLE"}, {"OUTPUT", "40", "144", "SHEADPHONESA", "127"},
              {"OUTPUT", "141", "144", "SHEADPHONESB", "127"}});
    set.state.luces = set.lights.lightText();
    surface.SetDown(SurfaceButton::btnplay1, true);
    EXPECT_EQ(update(), (Msgs{{0x90, 41, 0}}));
    set.state.mhidcarga = 1;
    surface.SetDown(SurfaceButton::btnplay1, false);
    EXPECT_EQ(update(), (Msgs{{0x90, 40, 0}}));
}

TEST_F(CtlLights, SecondControllerFormZeroSendsFixedValues)
{
    setUp(2, {{"OUTPUT", "60", "145", "SPLAYA", "90", "7"}});
    set.state.luces = set.lights.lightText();
    surface.SetDown(SurfaceButton::btnplay1, true);
    EXPECT_EQ(update(2), (Msgs{{0x91, 60, 127}}));
    surface.SetDown(SurfaceButton::btnplay1, false);
    EXPECT_EQ(update(2), (Msgs{{0x91, 60, 0}}));
}

TEST_F(CtlLights, AllOffAtTheCloseSendsOnlyOffsForLitLights)
{
    setUp(1, {{"OUTPUT", "60", "144", "SPLAYA", "127", "5", "20"}, {"OUTPUT", "61", "144", "SCUEA", "127"},
              {"OUTPUT", "62", "144", "SMICONAIR", "127"}});
    setUp(2, {{"OUTPUT", "60", "145", "SPLAYA", "127"}});
    surface.SetDown(SurfaceButton::btnplay1, true);
    set.lights.updatemidilights();
    sent(1);
    sent(2);
    set.lights.apagamidilights();
    EXPECT_EQ(sent(1), (Msgs{{0x90, 60, 0}, {0x90, 62, 0}}));
    EXPECT_EQ(sent(2), (Msgs{{0x91, 60, 0}}));
    EXPECT_EQ(set.state.luces, QString(242, QLatin1Char('0')));
    set.lights.apagamidilights();
    EXPECT_TRUE(sent(1).empty());
}

TEST_F(CtlLights, TimerSendsOnlyWhenSomethingIsSetUp)
{
    set.lights.Timer3Timer();
    EXPECT_TRUE(set.state.luces.isEmpty());
    setUp(1, {{"OUTPUT", "60", "144", "SPLAYA", "127"}});
    set.lights.Timer3Timer();
    EXPECT_EQ(set.state.luces.size(), 242);
}

TEST_F(CtlLights, HidLightsMirrorTheChangedText)
{
    hidBackend.plug(device("/dev/hidraw1", "Deck", 20, 3));
    QDir().mkpath(dir.path() + "/Devices/HID");
    QFile f(dir.path() + "/Devices/HID/deck.xml");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(definition({{"OUTPUT", "1", "0", "SPLAYA"}}));
    f.close();
    config.hid = "deck.xml";
    config.porthid = "Deck";
    set.hid.loaderPauseMs = 0;
    set.hid.createDrivers();
    set.hid.setUp();
    ASSERT_TRUE(set.hid.live(1));
    surface.SetDown(SurfaceButton::btnplay1, true);
    set.lights.Timer3Timer();
    EXPECT_EQ(set.hid.hidcontrol1->lights[1], "1");
    ASSERT_TRUE(hidBackend.waitWritten("/dev/hidraw1", 2, 5000));
    EXPECT_EQ(hidBackend.written("/dev/hidraw1").back(), (std::vector<uint8_t>{0, 0x80, 0}));
    set.lights.apagamidilights();
    EXPECT_EQ(set.hid.hidcontrol1->lights[1], "0");
}
