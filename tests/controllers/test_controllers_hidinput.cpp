// The HID controllers as the window connects them: the set-up from the configuration, the button
// handler in single and fixed mode with deck B's layer, reversed and inverted value rows, the
// display fields and texts, and the lights that mirror the surface.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "controllers/controllertables.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/tinfo.h"
#include "controllers/hid/hidcontrollers.h"
#include "engine/psoundconfig.h"
#include "platform/hid/fakehidbackend.h"
#include "tests/controllers/definitionxml.h"
#include "tests/controllers/fakesurface.h"
#include "tests/controllers/hiddevice.h"
#include "tests/controllers/qtapp.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Sent {
    int accion, valor, value, range, rangelo, rangeup, invert;
    bool operator==(const Sent&) const = default;
};

class CtlHidInput : public ::testing::Test {
protected:
    CtlHidInput()
        : hid(tables, state, surface, config, bp, [this](TInfo& e) {
              sent.push_back({e.accion, e.valor, e.value, e.range, e.rangelo, e.rangeup, e.invert});
          }, backend, dir.path())
    {
        ensureApp();
        hid.loaderPauseMs = 0;
        QDir().mkpath(dir.path() + "/Devices/hid");
        backend.plug(device("/dev/hidraw1", "Deck", 20, 65));
    }

    void setUp(const QByteArray& xml)
    {
        QFile f(dir.path() + "/Devices/hid/deck.xml");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(xml);
        f.close();
        config.hid = QStringLiteral("deck.xml");
        config.porthid = QStringLiteral("Deck");
        config.porthid2 = QStringLiteral("-");
        hid.createDrivers();
        hid.setUp();
        ASSERT_TRUE(hid.live(1));
    }
    std::vector<Sent> button(int channel, int a1, int a2)
    {
        sent.clear();
        hid.hIDCONTROL1Button(hid.hidcontrol1.get(), true, channel, a1, a2);
        return sent;
    }
    QString light(int p) const { return hid.hidcontrol1->lights[size_t(p)]; }

    QTemporaryDir dir;
    ControllerTables tables;
    DispatcherState state;
    FakeSurface surface;
    PSoundConfig config;
    TInfo bp;
    hid::FakeHidBackend backend;
    std::vector<Sent> sent;
    HidControllers hid;
};

const Row kButtons[] = {{"INPUT", "5", "144", "BTNPLAYA", "127"}, {"INPUT", "305", "144", "BTNPLAYB", "63"}};

}  // namespace

TEST_F(CtlHidInput, SetUpLoadsTheFileAndSendsTheFirstLights)
{
    setUp(definition({{"FIXED", "8", "0"}, {"CADENAINI", nullptr, nullptr, "B001"}}));
    EXPECT_EQ(light(8), "1");
    EXPECT_EQ(hid.hidcontrol1->leds[1], "176");
    ASSERT_TRUE(backend.waitWritten("/dev/hidraw1", 1, 5000));
    EXPECT_EQ(backend.written("/dev/hidraw1")[0][1], 0x01);  // light 8 is the first byte's lowest bit
    EXPECT_TRUE(surface.Down(SurfaceButton::heada));
    EXPECT_FALSE(surface.Down(SurfaceButton::headb));
    // the second controller is configured "-": switched off, no device
    EXPECT_FALSE(hid.Hidcontrol2->fenabled);
    EXPECT_FALSE(hid.live(2));
}

TEST_F(CtlHidInput, SingleModeDeckBTakesTheAlternateLayerWithTheBaseValue)
{
    setUp(definition({kButtons[0], kButtons[1], {"MODO", nullptr, nullptr, "SINGLE"}}));
    EXPECT_EQ(button(144, 5, 127), (std::vector<Sent>{{1, 127, 127, 0, 0, 0, 0}}));
    state.hidcarga = 1;
    EXPECT_EQ(button(144, 5, 127), (std::vector<Sent>{{35, 127, 127, 0, 0, 0, 0}}));
    EXPECT_EQ(button(144, 5, 0), (std::vector<Sent>{{35, 0, 127, 0, 0, 0, 0}}));
    EXPECT_TRUE(button(144, 0, 127).empty());
    EXPECT_TRUE(button(145, 5, 127).empty());
}

TEST_F(CtlHidInput, FixedModeIgnoresTheAlternateLayer)
{
    setUp(definition({kButtons[0], kButtons[1], {"MODO", nullptr, nullptr, "CARGAB"}}));
    state.hidcarga = 1;
    EXPECT_EQ(button(144, 5, 127), (std::vector<Sent>{{1, 127, 127, 0, 0, 0, 0}}));
}

TEST_F(CtlHidInput, ValueRowsReversedAndInverted)
{
    setUp(definition({{"INPUT", "3", "176", "POTVOLUMENA", "127", "60", "100", "20", "Ctrl"},
                      {"INPUT", "4", "176", "POTVOLUMENB", "127", "0", "0", "0", "CtrlI"}}));
    EXPECT_EQ(button(176, 3, 70)[0].valor, 50);
    EXPECT_EQ(button(176, 3, 40)[0].valor, 120);
    EXPECT_EQ(button(176, 4, 27)[0].valor, 100);
    EXPECT_EQ(button(176, 4, 27)[0].invert, 0);
    // a position past the tables is ignored
    EXPECT_TRUE(button(176, 400, 27).empty());
}

TEST_F(CtlHidInput, DisplayFieldsOfTheShownDeck)
{
    setUp(definition({{"MODO", nullptr, nullptr, "SINGLE"}, {"DMINA", "10"}, {"DSECA", "11"}, {"DMSECA", "12"},
                      {"DMINATOT", "13"}, {"DTRACKA", "14"}, {"DBPMA", "2", "3"}, {"DPITCHA", "4", "5"},
                      {"DPITCHSIGNAMAS", "15"}, {"DPITCHSIGNAMENOS", "16"}, {"DSELECTORA", "50"}}));
    surface.captions[SurfaceLabel::lelapsed1] = "0:03:27:45";
    surface.captions[SurfaceLabel::track1] = "new";
    surface.duration[0] = "0:05:10:00";
    surface.bpmn[0] = 1280;
    surface.pitchn[0] = 25;  // +2.5 %
    state.selectora = 2;
    hid.updatehiddisplay(0);
    EXPECT_EQ(light(10), "03");
    EXPECT_EQ(light(11), "27");
    EXPECT_EQ(light(12), "45");
    EXPECT_EQ(light(13), "05");
    EXPECT_EQ(light(14), "0");
    EXPECT_EQ(light(17), "0");    // BPM 128: high byte to output byte 3
    EXPECT_EQ(light(25), "128");  // low byte to output byte 4
    EXPECT_EQ(light(33), "0");    // pitch 250 hundredths
    EXPECT_EQ(light(41), "250");
    EXPECT_EQ(light(15), "1");
    EXPECT_EQ(light(16), "0");
    EXPECT_EQ(light(50), "2");
    surface.pitchn[0] = 0;
    surface.captions[SurfaceLabel::track1] = "012";
    hid.updatehiddisplay(0);
    EXPECT_EQ(light(15), "0");
    EXPECT_EQ(light(16), "1");
    EXPECT_EQ(light(14), "012");
    // any other deck number: nothing
    surface.captions[SurfaceLabel::lelapsed1] = "0:09:09:09";
    hid.updatehiddisplay(2);
    EXPECT_EQ(light(10), "03");
}

TEST_F(CtlHidInput, ScrollingTextStartsAtTheRoundedPosition)
{
    setUp(definition({{"MODO", nullptr, nullptr, "SINGLE"}, {"DTEXTOA", "1", "6"}}));
    state.selectatxt = "";
    state.scroll1 = "ABCDEFGHIJ";
    const struct {
        double pos;
        const char* shown;
    } cases[] = {{0, "ABCDE"}, {0.5, "ABCDE"}, {1, "ABCDE"}, {1.5, "BCDEF"}, {2, "BCDEF"}, {2.5, "BCDEF"}, {3, "CDEFG"}};
    for (const auto& c : cases) {
        state.scrollpos1 = c.pos;
        hid.updatehiddisplay(0);
        QString shown;
        for (int p = 1; p <= 5; ++p) shown += QChar(hid.hidcontrol1->leds[size_t(p)].toInt());
        EXPECT_EQ(shown, c.shown) << c.pos;
        EXPECT_EQ(hid.hidcontrol1->leds[6], "32");
    }
}

TEST_F(CtlHidInput, FixedModeDrawsTheSelectionOnceAndNothingWithoutADeck)
{
    setUp(definition({{"MODO", nullptr, nullptr, "CARGAA"}, {"SPACES", nullptr, nullptr, nullptr, "5"},
                      {"DTEXTOA", "1", "12"}, {"DMINA", "10"}}));
    state.selectatxt = "A CUES    ";
    hid.updatehiddisplay(0);
    EXPECT_EQ(state.changedis1, 1);
    EXPECT_EQ(hid.hidcontrol1->leds[1], "65");  // "A"
    hid.hidcontrol1->leds[1] = "0";
    hid.updatehiddisplay(0);
    EXPECT_EQ(hid.hidcontrol1->leds[1], "0");  // not drawn again until the flag is cleared

    tables.hd.cargasingle.clear();
    surface.captions[SurfaceLabel::lelapsed1] = "0:01:02:03";
    hid.updatehiddisplay(0);
    EXPECT_NE(light(10), "01");
}

TEST_F(CtlHidInput, LightsMirrorTheSurfaceThroughTheOutputRows)
{
    setUp(definition({{"MODO", nullptr, nullptr, "SINGLE"}, {"OUTPUT", "9", "0", "SPLAYA"}, {"OUTPUT", "309", "0", "SPLAYB"},
                      {"OUTPUT", "12", "0", "SHEADPHONESA"}, {"OUTPUT", "313", "0", "SHEADPHONESB"}}));
    QString text(242, QLatin1Char('0'));
    text[3 - 1] = '1';  // SPLAYA on
    hid.mirrorLights(text);
    EXPECT_EQ(light(9), "1");
    state.hidcarga = 1;
    text[3 - 1] = '0';
    text[53 - 1] = '1';  // SPLAYB on
    hid.hidcontrol1->lights[13] = "1";
    hid.mirrorLights(text);
    EXPECT_EQ(light(9), "1");
    EXPECT_EQ(light(12), "0");  // deck A's headphone light goes off while deck B is served
    hid.mirrorLights(QString(242, QLatin1Char('0')));
    EXPECT_EQ(light(9), "0");
}

TEST_F(CtlHidInput, TimerStepSendsLightsOrAdvancesTheDisplays)
{
    setUp(definition({{"FIXED", "1", "0"}}));
    ASSERT_TRUE(backend.waitWritten("/dev/hidraw1", 1, 5000));  // the set-up's report, out of the count
    const size_t before = backend.written("/dev/hidraw1").size();
    hid.Timer3Step();
    ASSERT_TRUE(backend.waitWritten("/dev/hidraw1", before + 1, 5000));
    tables.CHARDISPLAY1 = 1;
    state.scroll1 = "AB";
    state.scrollpos1 = 16.5;
    hid.Timer3Step();
    EXPECT_EQ(state.scrollpos1, 17);  // the length of "AB" + 15
    hid.Timer3Step();
    EXPECT_EQ(state.scrollpos1, 0);
    EXPECT_EQ(state.scrollpos2, 1);
}
