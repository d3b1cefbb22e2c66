// The main window as the controllers see it, offscreen with fake MIDI and HID devices: every
// button's down state and press, the light text built from the window's own state (hot cues from
// the decks' tag blocks, the delete modes), the light timer sending only what changed, the HID
// driver made and set up by the activation, and every light going out at the close.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "controllers/controllerset.h"
#include "controllers/tcontroladora.h"
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "engine/precord.h"
#include "engine/psoundconfig.h"
#include "library/tmsql.h"
#include "snkins/vs/tvsbutton.h"
#include "tests/controllers/definitionxml.h"
#include "tests/controllers/hiddevice.h"
#include "tests/mainwindow/support/windowrig.h"

namespace {

using B = SurfaceButton;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

char light(Tform1& f, int code) { return f.set->lights.lightText().at(code - 1).toLatin1(); }

// a MIDI controller "pad" on the fake ports whose definition lights output codes on notes
void setUpMidi(WindowRig& rig, std::initializer_list<std::pair<int, int>> codeNotes)
{
    Tform1& f = *rig.form;
    rig.midi.setInputs(midi::Api::Jack, {"pad:out"});
    rig.midi.setOutputs(midi::Api::Jack, {"pad:in"});
    TControladora names(f.set->tables, f, rig.profile);
    QByteArray xml = "<DATAPACKET>";
    for (const auto& [code, number] : codeNotes) {
        const std::string note = std::to_string(number);
        xml += rowXml({"OUTPUT", note.c_str(), "144", names.midiconstl[size_t(code)].toLatin1().constData(), "127"});
    }
    writeFile(rig.profile + QStringLiteral("Devices/pad.xml"), xml + "</DATAPACKET>");
    f.adj->soundcfg->controler = QStringLiteral("pad.xml");
    f.set->midi.loaderPauseMs = 0;
    f.set->midi.inicializamidifile(QStringLiteral("PAD0"));
    ASSERT_TRUE(f.adj->soundcfg->inicializada);
}

std::vector<std::vector<uint8_t>> sentToPad(WindowRig& rig) { return rig.midi.sent(midi::Api::Jack, 0); }

}  // namespace

TEST(MainWindowControllers, EveryButtonShowsItsDownStateAndIsPressedThroughItsOwnEvent)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    for (int i = 0; i <= int(B::bggrupos); ++i) {
        const auto b = SurfaceButton(i);
        if (!f.buttonView(QLatin1String(surfaceButtonName(b)))) continue;
        const bool was = f.Down(b);
        f.SetDown(b, !was);
        EXPECT_EQ(f.Down(b), !was) << surfaceButtonName(b);
        f.SetDown(b, was);
    }
    // a button outside the controllers' own table: its press and click events carry the press
    auto* cue = f.get<TVsButton>(QStringLiteral("bpexplorer"));
    ASSERT_TRUE(cue);
    std::vector<QString> seen;
    QObject::connect(cue, &TVsButton::OnMouseDown, &f,
                     [&](QObject* sender, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
                         EXPECT_EQ(b, Qt::LeftButton);
                         EXPECT_EQ(x, 1);
                         EXPECT_EQ(y, 1);
                         seen.push_back(QStringLiteral("down ") + sender->objectName());
                     });
    QObject::connect(cue, &TVsButton::OnMouseUp, &f, [&](QObject* sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        seen.push_back(QStringLiteral("up ") + sender->objectName());
    });
    QObject::connect(cue, &TVsButton::OnClick, &f, [&](QObject* sender) { seen.push_back(QStringLiteral("click ") + sender->objectName()); });
    f.MouseDown(B::bpexplorer);
    f.MouseUp(B::bpexplorer);
    f.Click(B::bpexplorer);
    EXPECT_EQ(seen, (std::vector<QString>{"down bpexplorer", "up bpexplorer", "click bpexplorer"}));
}

TEST(MainWindowControllers, LightTextFollowsTheWindowsOwnState)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    PRecord& deckA = *f.adj->carga1->basseqfx;
    PRecord& deckB = *f.adj->carga2->basseqfx;

    // hot cues from the tag block: slot n holds A in tag slot n and B in tag slot n + 6
    struct Case {
        double a, b;
        HotCueLook look;
    };
    const Case cases[] = {{0, 0, HotCueLook::empty},     {0, 5000, HotCueLook::empty}, {-1, 0, HotCueLook::empty},
                          {1000, 0, HotCueLook::cue},    {1000, -3, HotCueLook::cue},  {1000, 9000, HotCueLook::loop}};
    for (const Case& c : cases) {
        deckA.tag[2] = c.a;
        deckA.tag[8] = c.b;
        EXPECT_EQ(f.hotCue(0, 2), c.look) << c.a << " " << c.b;
        EXPECT_EQ(light(f, 153), c.look != HotCueLook::empty ? '1' : '0') << c.a << " " << c.b;  // SSCUESAM2A
        EXPECT_EQ(light(f, 159), c.look == HotCueLook::loop ? '1' : '0') << c.a << " " << c.b;   // SSSAMCUE2A
        EXPECT_EQ(light(f, 213), c.look != HotCueLook::empty ? '1' : '0') << c.a << " " << c.b;  // SFCSELA2
    }
    // deck B's sixth slot: A in tag slot 6, B in tag slot 12
    deckB.tag[6] = 4000;
    deckB.tag[12] = 8000;
    EXPECT_EQ(f.hotCue(1, 6), HotCueLook::loop);
    EXPECT_EQ(light(f, 181), '1');  // SSCUESAM6B
    EXPECT_EQ(light(f, 187), '1');  // SSSAMCUE6B
    EXPECT_EQ(f.hotCue(1, 7), HotCueLook::empty);

    // the buttons' down states, including those the window's concerns draw
    for (const auto& [button, code] : std::vector<std::pair<B, int>>{
             {B::cue11, 8}, {B::r3, 19}, {B::loop2b, 65}, {B::kb2, 78}, {B::vr7, 99}, {B::REC, 205}}) {
        EXPECT_EQ(light(f, code), '0') << surfaceButtonName(button);
        f.SetDown(button, true);
        EXPECT_EQ(light(f, code), '1') << surfaceButtonName(button);
        f.SetDown(button, false);
    }
    // the delete modes
    EXPECT_EQ(light(f, 200), '0');
    f.deckA.borrar = true;
    EXPECT_EQ(light(f, 200), '1');
    EXPECT_EQ(light(f, 201), '0');
    f.deckB.borrar = true;
    EXPECT_EQ(light(f, 201), '1');
}

TEST(MainWindowControllers, TheLightTimerSendsOnlyWhatChangedAndTheCloseSwitchesEveryLightOff)
{
    WindowRig rig;
    Tform1& f = *rig.form;
    f.SetDown(B::btnplay1, false);
    f.SetDown(B::cue12, false);
    f.SetDown(B::reverse, false);
    setUpMidi(rig, {{9, 9}, {26, 26}, {200, 100}});  // SCUE2A, SREVA, SCUEDELA
    f.set->state.luces.clear();
    const size_t base = sentToPad(rig).size();

    f.Timer3Timer();  // after a set-up every mapped light goes out once
    EXPECT_EQ(sentToPad(rig).size(), base + 3);
    f.Timer3Timer();
    EXPECT_EQ(sentToPad(rig).size(), base + 3) << "nothing changed, nothing sent";

    f.SetDown(B::cue12, true);
    f.Timer3Timer();
    ASSERT_EQ(sentToPad(rig).size(), base + 4);
    EXPECT_EQ(sentToPad(rig).back(), (std::vector<uint8_t>{0x90, 9, 127}));
    f.deckA.borrar = true;
    f.Timer3Timer();
    ASSERT_EQ(sentToPad(rig).size(), base + 5);
    EXPECT_EQ(sentToPad(rig).back(), (std::vector<uint8_t>{0x90, 100, 127}));

    rig.form.reset();  // the close: the two lit lights go off before the port closes
    const auto all = sentToPad(rig);
    ASSERT_EQ(all.size(), base + 7);
    std::vector<std::vector<uint8_t>> offs(all.end() - 2, all.end());
    std::sort(offs.begin(), offs.end());
    EXPECT_EQ(offs, (std::vector<std::vector<uint8_t>>{{0x90, 9, 0}, {0x90, 100, 0}}));
}

TEST(MainWindowControllers, TheActivationMakesAndSetsUpTheHidControllerOfTheConfiguration)
{
    const auto prepare = [](const QString& profile) {
        writeFile(profile + QStringLiteral("Devices/hid/deck.xml"),
                  definition({{"INPUT", "9", "144", "BTNPLAYA", "127"}, {"OUTPUT", "8", "0", "SPLAYA"}}));
        QDir().mkpath(profile);
        Tmsql sql(profile + QStringLiteral("korvanta.db"));
        sql.db().ExecSQL(QStringLiteral("UPDATE config SET hid = 'deck.xml', porthid = 'Deck'"));
    };
    WindowRig rig(prepare, true, [](WindowRig& r) { r.hid.plug(device("/dev/hidraw4", "Deck", 20, 3)); });
    Tform1& f = *rig.form;
    ASSERT_TRUE(f.set->hid.hidcontrol1);
    ASSERT_TRUE(f.set->hid.Hidcontrol2);
    TOstrelHid* d = f.set->hid.live(1);
    ASSERT_TRUE(d) << "the configured device is checked out";
    EXPECT_FALSE(f.set->hid.live(2));

    // the light timer sends the window's play light to the device
    f.SetDown(B::btnplay1, true);
    f.Timer3Timer();
    f.Timer3Timer();
    // the set-up's own reports may still be on their way: wait for the light's report to be last
    EXPECT_TRUE(rig.hid.waitLastWritten("/dev/hidraw4", {0, 0x01, 0}, 5000))
        << "reports written: " << ::testing::PrintToString(rig.hid.written("/dev/hidraw4"));

    // a later activation sets it up again; a device name of "-" switches it off
    f.adj->soundcfg->porthid = QStringLiteral("-");
    f.FormActivate();
    EXPECT_FALSE(f.set->hid.live(1));
    f.adj->soundcfg->porthid = QStringLiteral("Deck");
    f.FormActivate();
    EXPECT_TRUE(f.set->hid.live(1));

    f.closeControllers();
    EXPECT_FALSE(f.set->hid.hidcontrol1);
    EXPECT_FALSE(f.adj->soundcfg->inicializada);
    f.closeControllers();  // the window's own end runs it again: nothing more happens
}
