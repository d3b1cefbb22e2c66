// The controller pages, headless: the port lists through the real MIDI port objects over the
// fake MIDI service (listed names, a stored port found again), the check-change rules of the
// eight lists, the definition-file lists, the HID page with and without its driver, and the
// re-created port objects.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "controllers/controllerset.h"
#include "mainwindow/config/midicontrollersports.h"
#include "platform/midi/fakemidibackend.h"
#include "tests/controllers/fakesurface.h"
#include "tests/mainwindow/config/dialogrig.h"

namespace {

using M = ConfigDialogModel;
using P = ControllerPages;
using midi::Api;

// ---- the port list through MidiControllers

struct MidiRig {
    MidiRig() : set(surface, config, backend, profile.path()), ports(set.midi, backend) {}
    TestProfile profile;
    PSoundConfig config;
    midi::FakeMidiBackend backend;
    FakeSurface surface;
    ControllerSet set;
    MidiControllersPorts ports;
};

QStringList texts(const std::vector<MidiPortEntry>& v) {
    QStringList l;
    for (const MidiPortEntry& e : v)
        l << e.text;
    return l;
}

TEST(ControllerPageMidi, TwoPortsOfOneNameAndANameEndingInADigit) {
    MidiRig r;
    r.backend.setInputs(Api::Alsa, {"Dev:Dev MIDI 1 20:0", "Dev:Dev MIDI 1 24:0", "Dev:Dev MIDI 11 28:0"});
    r.backend.setInputs(Api::Jack, {"pad:out", "ostrelkorvanta:in"});
    const MidiPortList read = r.ports.readPorts();
    r.ports.recreatePorts(read);
    const std::vector<MidiPortEntry> listed = r.ports.inputPorts(read);
    EXPECT_EQ(texts(listed), (QStringList{"Dev:Dev MIDI 10", "Dev:Dev MIDI 11", "Dev:Dev MIDI 110", "pad0"}));
    for (const MidiPortEntry& e : listed)
        EXPECT_TRUE(e.selectable);

    // the stored name is the second port, found by the whole text, and the set-up opens that one
    r.backend.setOutputs(Api::Alsa, {"Dev:Dev MIDI 1 20:0", "Dev:Dev MIDI 1 24:0", "Dev:Dev MIDI 11 28:0"});
    r.set.midi.inicializamidifile(QStringLiteral("Dev:Dev MIDI 11"));
    EXPECT_EQ(r.set.midi.portin, 1);
}

TEST(ControllerPageMidi, AStoredPortIsFoundAgainAfterReplugging) {
    MidiRig r;
    r.backend.setInputs(Api::Alsa, {"Other:Other 1 20:0", "Dev:Dev MIDI 1 24:0", "Dev:Dev MIDI 1 28:0"});
    DialogRig rig;
    rig.engine.cfg.portconin = QStringLiteral("Dev:Dev MIDI 11");
    ConfigDialogModel::Services s;
    s.engine = &rig.engine;
    s.prompts = &rig.prompts;
    s.midi = &r.ports;
    s.main = &rig.services;
    s.pending = &rig.pending;
    s.profile = rig.profile.path();
    {
        ConfigDialogModel m(s);
        m.create();
        m.activate();
        const CheckList& l = m.controllers.list(P::listview1);
        ASSERT_EQ(l.items, (QStringList{"Other:Other 10", "Dev:Dev MIDI 10", "Dev:Dev MIDI 11"}));
        EXPECT_TRUE(l.isChecked(2));
        EXPECT_FALSE(l.isChecked(1));
    }
    // plugged again in another order, with other client numbers
    r.backend.setInputs(Api::Alsa, {"Dev:Dev MIDI 1 40:0", "Dev:Dev MIDI 1 44:0"});
    ConfigDialogModel m(s);
    m.create();
    m.activate();
    const CheckList& l = m.controllers.list(P::listview1);
    ASSERT_EQ(l.items, (QStringList{"Dev:Dev MIDI 10", "Dev:Dev MIDI 11"}));
    EXPECT_TRUE(l.isChecked(1));
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.portconin, QStringLiteral("Dev:Dev MIDI 11"));
}

// Replaced port objects are freed, and an input closed while its port delivers stops taking
// messages before it goes (run under the sanitizers).
TEST(ControllerPageMidi, ReplacedPortObjectsAreFreedWhileMessagesArrive) {
    MidiRig r;
    r.backend.setInputs(Api::Jack, {"pad:out"});
    r.backend.setOutputs(Api::Jack, {"pad:in"});
    std::atomic<bool> stop{false};
    std::thread sender([&] {
        while (!stop.load())
            r.backend.deliver(Api::Jack, 0, {0x90, 36, 100});
    });
    for (int i = 0; i < 50; ++i) {
        TMidiInput* in = r.set.midi.MidiInput1.get();
        in->SetDeviceID(0);
        in->Open();
        in->Start();
        ASSERT_TRUE(in->abierto());
        r.ports.recreatePorts(r.ports.readPorts());
        EXPECT_EQ(r.backend.openInputCount(), 0);
        EXPECT_FALSE(r.set.midi.MidiInput1->abierto());
    }
    stop = true;
    sender.join();
}

TEST(ControllerPageMidi, EveryActivationAndTheRefreshReplaceThePortObjects) {
    DialogRig rig;
    rig.midi.set({"A0", "B0"});
    M& m = rig.open();
    EXPECT_EQ(rig.midi.closedFirst, 1);
    EXPECT_EQ(rig.midi.recreated, 1);
    rig.midi.set({"A0", "B0", "C0"});
    m.controllers.JvHTButton12Click();
    EXPECT_EQ(rig.midi.recreated, 2);
    EXPECT_EQ(m.controllers.list(P::listview1).items, (QStringList{"A0", "B0", "C0"}));
    EXPECT_EQ(m.controllers.list(P::ListView4).items, (QStringList{"A0", "B0", "C0"}));
}

// ---- the check-change rules

TEST(ControllerPageChecks, APortListActsAsASingleChoice) {
    DialogRig rig;
    rig.midi.set({"A0", "B0", "C0"});
    M& m = rig.open();
    m.controllers.setCheck(P::listview1, 0, true);
    EXPECT_EQ(rig.pending.portconin, "A0");
    m.controllers.setCheck(P::listview1, 2, true);
    EXPECT_EQ(rig.pending.portconin, "C0");
    EXPECT_FALSE(m.controllers.list(P::listview1).isChecked(0));
    // one port cannot serve both controllers
    m.controllers.setCheck(P::ListView4, 2, true);
    EXPECT_FALSE(m.controllers.list(P::ListView4).isChecked(2));
    EXPECT_EQ(rig.pending.portconin2, "");
    m.controllers.setCheck(P::ListView4, 1, true);
    EXPECT_EQ(rig.pending.portconin2, "B0");
    // unchecking empties the choice
    m.controllers.setCheck(P::ListView4, 1, false);
    EXPECT_EQ(rig.pending.portconin2, "");
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.portconin.get(), "C0");
    EXPECT_EQ(rig.engine.cfg.portconin2.get(), "-");
}

TEST(ControllerPageChecks, MapListsKeepTheLastCheckedMidiMapButNotTheHidMap) {
    DialogRig rig;
    rig.profile.file("Devices/pad.xml");
    rig.profile.file("Devices/Mixer.XML");
    rig.profile.file("Devices/notes.txt");
    rig.profile.file("Devices/hid/Deck.xml");
    M& m = rig.open();
    EXPECT_EQ(m.controllers.list(P::ListView3).items, (QStringList{"MIXER.XML", "PAD.XML"}));
    EXPECT_EQ(m.controllers.list(P::ListView5).items, (QStringList{"MIXER.XML", "PAD.XML"}));
    EXPECT_EQ(m.controllers.list(P::ListView6).items, QStringList{"DECK.XML"});
    m.controllers.setCheck(P::ListView3, 1, true);
    m.controllers.setCheck(P::ListView3, 1, false);
    EXPECT_EQ(rig.pending.controladora, "PAD.XML");
    m.controllers.setCheck(P::ListView6, 0, true);
    m.controllers.setCheck(P::ListView6, 0, false);
    m.controllers.setCheck(P::ListView8, 0, true);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.controler.get(), "PAD.XML");
    EXPECT_EQ(rig.engine.cfg.hid.get(), "-");
    EXPECT_EQ(rig.engine.cfg.hid2.get(), "DECK.XML");

    // the stored names come back checked; a lower-case stored name matches nothing
    rig.engine.cfg.controler2 = QStringLiteral("mixer.xml");
    M& again = rig.open();
    EXPECT_TRUE(again.controllers.list(P::ListView3).isChecked(1));
    EXPECT_TRUE(again.controllers.list(P::ListView8).isChecked(0));
    EXPECT_FALSE(again.controllers.list(P::ListView5).isChecked(0));
    EXPECT_FALSE(again.controllers.list(P::ListView5).isChecked(1));
}

TEST(ControllerPageChecks, AMissingStoredMapStoresNoneForMap1AndTheEarlierChoiceForMap2) {
    DialogRig rig;
    rig.profile.file("Devices/pad.xml");
    M& first = rig.open();
    first.controllers.setCheck(P::ListView3, 0, true);
    first.controllers.setCheck(P::ListView5, 0, true);
    ASSERT_TRUE(first.ok());
    ASSERT_EQ(rig.engine.cfg.controler2.get(), "PAD.XML");
    QFile::remove(rig.profile.dir.filePath("Devices/pad.xml"));
    M& m = rig.open();
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.controler.get(), "-");
    EXPECT_EQ(rig.engine.cfg.controler2.get(), "PAD.XML");
}

TEST(ControllerPageChecks, PendingChoicesSurviveIntoTheNextDialog) {
    DialogRig rig;
    rig.midi.set({"A0", "B0"});
    M& first = rig.open();
    first.controllers.setCheck(P::listview1, 1, true);
    first.cancel();
    first.closed();
    EXPECT_EQ(rig.engine.cfg.portconin.get(), "-");

    M& next = rig.open();
    EXPECT_TRUE(next.controllers.list(P::listview1).isChecked(1));
    ASSERT_TRUE(next.ok());
    EXPECT_EQ(rig.engine.cfg.portconin.get(), "B0");
}

TEST(ControllerPageChecks, AnUnpluggedStoredPort) {
    // no dialog before: "-"
    DialogRig rig;
    rig.engine.cfg.portconin = QStringLiteral("Gone0");
    rig.midi.set({"A0"});
    ASSERT_TRUE(rig.open().ok());
    EXPECT_EQ(rig.engine.cfg.portconin.get(), "-");

    // a dialog before chose it: stored again
    DialogRig again;
    again.midi.set({"Gone0", "A0"});
    M& first = again.open();
    first.controllers.setCheck(P::listview1, 0, true);
    ASSERT_TRUE(first.ok());
    again.midi.set({"A0"});
    ASSERT_TRUE(again.open().ok());
    EXPECT_EQ(again.engine.cfg.portconin.get(), "Gone0");
}

TEST(ControllerPageChecks, APortThatCannotBeSelectedIsListedButNeverChecked) {
    DialogRig rig;
    rig.engine.cfg.portconin = QStringLiteral("A0");
    rig.midi.ports = {{QStringLiteral("A0"), false}, {QStringLiteral("B0"), true}};
    M& m = rig.open();
    EXPECT_EQ(m.controllers.list(P::listview1).items, (QStringList{"A0", "B0"}));
    EXPECT_FALSE(m.controllers.list(P::listview1).isChecked(0));
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.portconin.get(), "-");
}

TEST(ControllerPageChecks, StoredPortsOfBothControllersAreChecked) {
    DialogRig rig;
    rig.engine.cfg.portconin = QStringLiteral("A0");
    rig.engine.cfg.portconin2 = QStringLiteral("B0");
    rig.midi.set({"A0", "B0"});
    M& m = rig.open();
    EXPECT_TRUE(m.controllers.list(P::listview1).isChecked(0));
    EXPECT_TRUE(m.controllers.list(P::ListView4).isChecked(1));
    EXPECT_EQ(rig.pending.portconin, "A0");
    EXPECT_EQ(rig.pending.portconin2, "B0");
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.portconin.get(), "A0");
    EXPECT_EQ(rig.engine.cfg.portconin2.get(), "B0");
}

// ---- the HID page

TEST(ControllerPageHid, WithoutADriverTheListsStayEmptyAndTheRefreshOnlyRestoresTheCursor) {
    DialogRig rig;
    rig.engine.cfg.porthid = QStringLiteral("Deck");
    M& m = rig.open(false);
    EXPECT_EQ(m.controllers.list(P::ListView7).size(), 0);
    EXPECT_EQ(m.controllers.list(P::ListView9).size(), 0);
    std::vector<bool> busy;
    QObject::connect(&m, &M::busy, [&](bool b) { busy.push_back(b); });
    m.controllers.JvHTButton10Click();
    EXPECT_EQ(busy, std::vector<bool>{false});
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.porthid.get(), "-");
}

TEST(ControllerPageHid, DevicesOfTheFirstDriver) {
    DialogRig rig;
    rig.hidDriver.devices = {QStringLiteral("Deck"), QString(), QStringLiteral("Deck (2)"),
                             QStringLiteral("Pad")};
    rig.engine.cfg.porthid = QStringLiteral("Deck (2)");
    rig.engine.cfg.porthid2 = QStringLiteral("Deck (2)");
    M& m = rig.open(true);
    EXPECT_EQ(rig.hidDriver.cleared, 1);
    EXPECT_EQ(rig.hidDriver.enumerated, 1);
    const QStringList names{"Deck", "Deck (2)", "Pad"};
    EXPECT_EQ(m.controllers.list(P::ListView7).items, names);
    EXPECT_EQ(m.controllers.list(P::ListView9).items, names);
    EXPECT_TRUE(m.controllers.list(P::ListView7).isChecked(1));
    // one device cannot serve both controllers
    EXPECT_FALSE(m.controllers.list(P::ListView9).isChecked(1));

    rig.hidDriver.devices = {QStringLiteral("Pad")};
    std::vector<bool> busy;
    QObject::connect(&m, &M::busy, [&](bool b) { busy.push_back(b); });
    m.controllers.JvHTButton10Click();
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(m.controllers.list(P::ListView7).items, QStringList{"Pad"});
    m.controllers.setCheck(P::ListView9, 0, true);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.porthid.get(), "-");
    EXPECT_EQ(rig.engine.cfg.porthid2.get(), "Pad");
}

TEST(ControllerPageHid, UncheckingTheOnlyHidMapStoresNone) {
    DialogRig rig;
    rig.profile.file("Devices/hid/deck.xml");
    rig.engine.cfg.hid = QStringLiteral("DECK.XML");
    M& m = rig.open();
    EXPECT_TRUE(m.controllers.list(P::ListView6).isChecked(0));
    m.controllers.setCheck(P::ListView6, 0, false);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(rig.engine.cfg.hid.get(), "-");
}

} // namespace
