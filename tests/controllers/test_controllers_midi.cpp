// MIDI without a device: the input ring, the port list's names and the set-up's choice of ports,
// the ports' filter, and the input path from message to input event.
#include <gtest/gtest.h>

#include <poll.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <thread>

#include "controllers/controllertables.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/tinfo.h"
#include "controllers/midi/midicontrollers.h"
#include "controllers/midi/midiinputring.h"
#include "controllers/tcontroladora.h"
#include "engine/psoundconfig.h"
#include "platform/midi/fakemidibackend.h"
#include "platform/midi/midiportcatalog.h"
#include "tests/controllers/definitionxml.h"
#include "tests/controllers/fakesurface.h"

using midi::Api;

namespace {

bool readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) == 1;
}

MidiRingMessage message(uint8_t controller, uint8_t status, uint8_t d1, uint8_t d2)
{
    MidiRingMessage m;
    m.controller = controller;
    m.status = status;
    m.data1 = d1;
    m.data2 = d2;
    return m;
}

}  // namespace

TEST(CtlMidiRing, KeepsOrderDropsTheNewestWhenFullAndWakesOnce)
{
    MidiInputRing ring;
    EXPECT_FALSE(readable(ring.wakeHandle()));
    for (size_t i = 0; i < MidiInputRing::kCapacity; ++i)
        ASSERT_TRUE(ring.push(message(1, 0x90, uint8_t(i & 0x7F), uint8_t((i >> 7) & 0x7F))));
    EXPECT_TRUE(readable(ring.wakeHandle()));
    EXPECT_FALSE(ring.push(message(1, 0xB0, 1, 1)));
    EXPECT_FALSE(ring.push(message(1, 0xB0, 1, 2)));
    EXPECT_EQ(ring.dropped(), 2u);

    ring.acknowledge();
    EXPECT_FALSE(readable(ring.wakeHandle()));
    MidiRingMessage m;
    for (size_t i = 0; i < MidiInputRing::kCapacity; ++i) {
        ASSERT_TRUE(ring.pop(m));
        ASSERT_EQ(m.data1 | (m.data2 << 7), int(i));
        ASSERT_EQ(m.status, 0x90);  // the dropped ones were the newest
    }
    EXPECT_FALSE(ring.pop(m));
    EXPECT_TRUE(ring.push(message(2, 0xB0, 3, 4)));
    EXPECT_TRUE(readable(ring.wakeHandle()));
    ASSERT_TRUE(ring.pop(m));
    EXPECT_EQ(m.controller, 2);
}

TEST(CtlMidiRing, ManyWritersOneReader)
{
    MidiInputRing ring;
    constexpr int kWriters = 4, kEach = 20000;
    std::atomic<bool> go{false};
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            while (!go) std::this_thread::yield();
            for (int i = 0; i < kEach; ++i) {
                MidiRingMessage m = message(uint8_t(w), 0x90, uint8_t(i & 0x7F), uint8_t((i >> 7) & 0x7F));
                m.arrivalNs = i;
                while (!ring.push(m)) std::this_thread::yield();
            }
        });
    }
    go = true;
    std::vector<int64_t> next(kWriters, 0);
    int got = 0;
    while (got < kWriters * kEach) {
        pollfd p{ring.wakeHandle(), POLLIN, 0};
        poll(&p, 1, 10);
        ring.acknowledge();
        MidiRingMessage m;
        while (ring.pop(m)) {
            ASSERT_EQ(m.arrivalNs, next[m.controller]) << int(m.controller);  // each writer's order holds
            ++next[m.controller];
            ++got;
        }
    }
    for (auto& t : writers) t.join();
    // the drop count counts the writers' retries; nothing was lost
    for (int w = 0; w < kWriters; ++w) EXPECT_EQ(next[size_t(w)], kEach);
}

TEST(CtlMidiPorts, NamesOfAlsaAndJackPortsWithoutOurOwn)
{
    midi::FakeMidiBackend b;
    b.setInputs(Api::Alsa, {"Midi Through:Midi Through Port-0 14:0", "ostrelkorvanta midi in:in 128:0",
                            "Mix Pro:Mix Pro MIDI 1 20:0", "Odd name 3:4 no numbers"});
    b.setInputs(Api::Jack, {"ctl:out", "ostrelkorvanta midi out:out", "ostrelkorvanta midi out-01:out",
                            "a2j:Deck (capture): Deck MIDI 1", "system:midi_capture_1", "ctl:out2"});
    const auto list = midi::MidiPortCatalog::inputs(b);
    std::vector<std::string> names;
    for (const auto& p : list) names.push_back(p.listedName);
    EXPECT_EQ(names, (std::vector<std::string>{"Midi Through:Midi Through Port-00", "Mix Pro:Mix Pro MIDI 10",
                                               "Odd name 3:4 no numbers0", "ctl0", "a2j0", "system0", "ctl1"}));
    EXPECT_EQ(list[3].api, Api::Jack);
    EXPECT_EQ(list[3].rawIndex, 0u);
    EXPECT_EQ(list[6].rawIndex, 5u);
    EXPECT_EQ(list[6].productIndex, 1);
}

namespace {

// A profile folder with a definition file, the fake MIDI service, a recording dispatcher.
class CtlMidi : public ::testing::Test {
protected:
    CtlMidi()
    {
        QDir().mkpath(dir.path() + "/Devices");
        config.controler = QStringLiteral("ctl.xml");
        config.controler2 = QStringLiteral("ctl2.xml");
    }

    void SetUp() override { make(); }

    void make()
    {
        controllers.reset();
        controllers = std::make_unique<MidiControllers>(tables, state, surface, config, bp, bp2,
                                                        [this](TInfo& e) { events.push_back(e); }, backend, dir.path());
        controllers->loaderPauseMs = 0;
    }

    void writeDefinition(const char* name, const QByteArray& bytes)
    {
        QFile f(dir.path() + "/Devices/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    void load(int controller, std::initializer_list<Row> rows)
    {
        TControladora loader(tables, surface, dir.path());
        loader.pauseMs = 0;
        loader.loadcontrollerData(controller, definition(rows));
    }

    TInfo process(int controller, uint8_t status, uint8_t d1, uint8_t d2)
    {
        events.clear();
        TMyMidiEvent e;
        e.MidiMessage = status;
        e.Data1 = d1;
        e.Data2 = d2;
        if (controller == 1) controllers->procesamidiin1(e);
        else controllers->procesamidiin2(e);
        return events.empty() ? TInfo{} : events.back();
    }

    QTemporaryDir dir;
    ControllerTables tables;
    DispatcherState state;
    FakeSurface surface;
    PSoundConfig config;
    TInfo bp, bp2;
    std::vector<TInfo> events;
    midi::FakeMidiBackend backend;
    std::unique_ptr<MidiControllers> controllers;
};

}  // namespace

TEST_F(CtlMidi, SetUpPairsInputAndOutputOfOneProductByIndex)
{
    backend.setInputs(Api::Alsa, {"Dev:Dev MIDI 1 20:0", "Other:Other 1 22:0", "Dev:Dev MIDI 1 24:0"});
    backend.setOutputs(Api::Alsa, {"Dev:Dev MIDI 1 20:0", "Dev:Dev MIDI 1 24:0", "Other:Other 1 22:0"});
    writeDefinition("ctl.xml", definition({{"INPUT", "60", "144", "BTNPLAYA", "127"}}));
    controllers->inicializamidifile("dev:dev midi 11");  // compared whole, upper-cased
    EXPECT_TRUE(controllers->inicializada_controladora);
    EXPECT_EQ(controllers->portin, 2);
    EXPECT_EQ(controllers->portout, 1);
    EXPECT_TRUE(controllers->MidiInput1->abierto());
    EXPECT_TRUE(controllers->MidiOutput1->abierto());
    EXPECT_TRUE(config.inicializada);
    EXPECT_FALSE(config.initcontroler);
    EXPECT_TRUE(controllers->POWERON1 && controllers->POWERON2);
    EXPECT_TRUE(surface.messages.empty());
    EXPECT_EQ(tables.midiinbut[0x903C][0], 1);

    // messages of the first device of that name do not reach this controller
    EXPECT_EQ(backend.deliver(Api::Alsa, 0, {0x90, 60, 127}), 0);
    EXPECT_EQ(backend.deliver(Api::Alsa, 2, {0x90, 60, 127}), 1);
    controllers->processPending();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].accion, 1);
    EXPECT_EQ(events[0].valor, 127);
}

TEST_F(CtlMidi, SetUpFindsIndexTenAndNamesEndingInDigits)
{
    std::vector<std::string> ins, outs;
    for (int i = 0; i < 12; ++i) ins.push_back("Pad:Pad " + std::to_string(30 + i) + ":0");
    outs = ins;
    backend.setInputs(Api::Alsa, ins);
    backend.setOutputs(Api::Alsa, outs);
    // "Port-0" at index 1 is listed "Port-01"; a product "Port-01" at index 0 would be "Port-010"
    backend.setInputs(Api::Jack, {"Port-0:out", "Port-0:out2"});
    backend.setOutputs(Api::Jack, {"Port-0:in", "Port-0:in2"});
    make();

    controllers->inicializamidifile("Pad:Pad10");
    EXPECT_EQ(controllers->portin, 10);
    EXPECT_EQ(controllers->portout, 10);
    controllers->inicializamidifile2("Port-01");
    EXPECT_EQ(controllers->portin2, 13);
    EXPECT_EQ(controllers->portout2, 13);
    EXPECT_TRUE(controllers->MidiInput2->abierto());
    controllers->inicializamidifile2("Port-011");
    EXPECT_FALSE(controllers->inicializada_controladora2);
}

TEST_F(CtlMidi, NoPortOfThatNameLeavesTheControllerClosed)
{
    backend.setInputs(Api::Jack, {"ctl:out"});
    backend.setOutputs(Api::Jack, {"ctl:in"});
    make();
    controllers->inicializamidifile("ctl0");
    ASSERT_TRUE(config.inicializada);
    for (const char* name : {"-", "", "ctl", "ctl00", "ctl1"}) {
        controllers->inicializamidifile(name);
        EXPECT_FALSE(controllers->inicializada_controladora) << name;
        EXPECT_FALSE(controllers->MidiInput1->abierto()) << name;
        EXPECT_TRUE(config.inicializada) << name;  // kept from the last set-up
    }
    EXPECT_TRUE(surface.messages.empty());
    // an input without an output of its name and index is not found either
    backend.setOutputs(Api::Jack, {"other:in"});
    controllers->inicializamidifile("ctl0");
    EXPECT_FALSE(controllers->inicializada_controladora);
}

TEST_F(CtlMidi, PortThatFailsToOpenIsNotSetUpAndTheUserIsTold)
{
    backend.setInputs(Api::Jack, {"ctl:out"});
    backend.setOutputs(Api::Jack, {"ctl:in"});
    make();
    backend.setRefuseOpens(true);
    controllers->inicializamidifile("ctl0");
    EXPECT_TRUE(controllers->inicializada_controladora);
    EXPECT_FALSE(config.inicializada);
    EXPECT_FALSE(controllers->MidiInput1->abierto());
    ASSERT_EQ(surface.messages.size(), 2u);
    EXPECT_TRUE(surface.messages[0].startsWith("Can't open the MIDI input ctl0")) << surface.messages[0].toStdString();
    EXPECT_TRUE(surface.messages[1].startsWith("Can't open the MIDI output ctl0"));
}

TEST_F(CtlMidi, StaleIndexFailsToOpen)
{
    backend.setInputs(Api::Jack, {"ctl:out"});
    backend.setOutputs(Api::Jack, {"ctl:in"});
    make();
    // the port list changes while the definition file loads, between the choice and the open
    surface.onValorbend = [&] {
        backend.setInputs(Api::Jack, {"other:out"});
        backend.setOutputs(Api::Jack, {"other:in"});
    };
    writeDefinition("ctl.xml", definition({{"VALORBENDA", nullptr, nullptr, nullptr, "5"}}));
    controllers->inicializamidifile("ctl0");
    EXPECT_FALSE(controllers->MidiInput1->abierto());
    EXPECT_FALSE(controllers->MidiOutput1->abierto());
    EXPECT_FALSE(config.inicializada);
    EXPECT_EQ(backend.openInputCount(), 0);
    EXPECT_EQ(surface.messages.size(), 2u);
}

TEST_F(CtlMidi, FilterDropsFlaggedControlChangesOnly)
{
    backend.setInputs(Api::Jack, {"ctl:out"});
    backend.setOutputs(Api::Jack, {"ctl:in"});
    make();
    writeDefinition("ctl.xml", definition({{"INPUT", "7", "176", "POTVOLUMENA", "127"},
                                           {"INPUT", "9", "144", "BTNPLAYA", "127"},
                                           {"INPUT", "9", "200", "BTNCUEA", "127"}}));
    controllers->inicializamidifile("ctl0");
    const std::vector<std::vector<uint8_t>> sent = {
        {0xB0, 9, 1},    // flagged: dropped
        {0xB0, 7, 2},    // named by a row: passes
        {0x90, 9, 127},  // the same number on a note passes
        {0xC0, 9},       // program change on channel 1: filtered like a control change
        {0xC8, 9},       // channel 9: passes whatever the flags say
        {0xBF, 9, 3},    // control change on channel 16: filtered
        {0xF0, 1, 0xF7}, // system exclusive never arrives
        {0xF8},          // timing clock passes
        {0xB0, 200, 1},  // a data byte above 127 has no flag: passes (to an empty entry)
    };
    for (const auto& m : sent) backend.deliver(Api::Jack, 0, m);
    events.clear();
    controllers->processPending();
    std::vector<int> codes;
    for (const TInfo& e : events) codes.push_back(e.accion);
    EXPECT_EQ(codes, (std::vector<int>{122, 1, 2, 0, 0}));
}

TEST_F(CtlMidi, OnlyThePortMadeLastOfATwinReceives)
{
    backend.setInputs(Api::Jack, {"ctl:out"});
    midi::ListedPort port = midi::MidiPortCatalog::inputs(backend)[0];
    TMidiInput first(backend, controllers->ring(), 1);
    first.selectPort(port);
    first.Open();
    first.Start();
    EXPECT_EQ(backend.deliver(Api::Jack, 0, {0x90, 1, 1}), 1);
    TMidiInput second(backend, controllers->ring(), 1);
    EXPECT_EQ(backend.deliver(Api::Jack, 0, {0x90, 1, 2}), 1);
    controllers->processPending();
    EXPECT_EQ(events.size(), 1u);
    // a port not started delivers nothing
    second.selectPort(port);
    second.Open();
    backend.deliver(Api::Jack, 0, {0x90, 1, 3});
    controllers->processPending();
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(CtlMidi, PortsRefuseChangesWhileOpenAndClosedOutputsSendNothing)
{
    backend.setInputs(Api::Jack, {"ctl:out"});
    backend.setOutputs(Api::Jack, {"ctl:in"});
    TMidiInput in(backend, controllers->ring(), 1);
    EXPECT_THROW(in.SetDeviceID(1), EMidiInputError);
    EXPECT_THROW(in.SetProductName("nothing"), EMidiInputError);
    in.SetProductName("ctl");
    EXPECT_EQ(in.DeviceID(), 0);
    in.Open();
    EXPECT_THROW(in.SetDeviceID(0), EMidiInputError);
    in.Close();
    EXPECT_EQ(TMidiInput::MidiInErrorString(99), "Specified error number is out of range");

    TMidiOutput out(backend);
    out.SetDeviceID(-1);  // none
    EXPECT_FALSE(out.Open());
    EXPECT_FALSE(out.Close());
    EXPECT_THROW(out.SetDeviceID(1), EmidioutputError);
    out.SetDeviceID(0);
    TMyMidiEvent e;
    e.MidiMessage = 0x90;
    out.PutMidiEvent(e);  // closed: dropped
    EXPECT_TRUE(backend.sent(Api::Jack, 0).empty());
    ASSERT_TRUE(out.Open());
    out.PutMidiEvent(e);
    EXPECT_EQ(backend.sent(Api::Jack, 0).size(), 1u);
    EXPECT_TRUE(out.Close());
    EXPECT_FALSE(out.Close());
}

TEST_F(CtlMidi, DeleteChannelSwitchesItsLightsOff)
{
    backend.setInputs(Api::Jack, {"ctl:out"});
    backend.setOutputs(Api::Jack, {"ctl:in"});
    make();
    writeDefinition("ctl.xml", definition({{"DELCHANNEL", nullptr, nullptr, nullptr, "144"}}));
    controllers->inicializamidifile("ctl0");
    const auto sent = backend.sent(Api::Jack, 0);
    ASSERT_EQ(sent.size(), 127u);
    EXPECT_EQ(sent.front(), (std::vector<uint8_t>{144, 1, 0}));
    EXPECT_EQ(sent.back(), (std::vector<uint8_t>{144, 127, 0}));
}

TEST_F(CtlMidi, NoteOffIsAReleaseUnderItsOwnChannelsNoteOn)
{
    load(1, {{"INPUT", "60", "144", "BTNPLAYA", "127"}, {"INPUT", "60", "145", "BTNPLAYB", "127"},
             {"INPUT", "60", "150", "BTNCUEA", "127"}, {"INPUT", "60", "159", "BTNCUEB", "127"}});
    load(2, {{"INPUT", "60", "145", "BTNPLAYB", "127"}});
    const struct {
        int controller;
        uint8_t status, velocity;
        int code, valor;
    } cases[] = {
        {1, 0x90, 0, 1, 0},   {1, 0x91, 0, 35, 0},   {1, 0x80, 64, 1, 0},  {1, 0x81, 64, 35, 0},
        {1, 0x86, 100, 2, 0}, {1, 0x8F, 127, 36, 0}, {1, 0x9F, 127, 36, 127}, {2, 0x81, 64, 35, 0},
        {2, 0x81, 0, 35, 0},  {2, 0x91, 0, 35, 0},
    };
    for (const auto& c : cases) {
        const TInfo e = process(c.controller, c.status, 60, c.velocity);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(e.accion, c.code) << std::hex << int(c.status);
        EXPECT_EQ(e.valor, c.valor) << std::hex << int(c.status);
    }
}

TEST_F(CtlMidi, NoteVelocityGivesThePressValue)
{
    load(1, {{"INPUT", "1", "144", "BTNPLAYA", "127"}, {"INPUT", "2", "144", "BTNCUEA", "200"},
             {"INPUT", "3", "144", "BTNPAUSEA", "63", "5", "6", "7"}});
    load(2, {{"INPUT", "1", "144", "BTNPLAYB", "127"}, {"INPUT", "3", "144", "BTNPAUSEB", "63", "5", "6", "7"}});
    const struct {
        int controller, note, velocity, valor;
    } cases[] = {{1, 1, 63, 63}, {1, 1, 64, 127}, {1, 1, 100, 127}, {1, 2, 64, 127}, {1, 3, 127, 63},
                 {2, 1, 64, 64}, {2, 1, 65, 127}, {2, 3, 127, 63}};
    for (const auto& c : cases)
        EXPECT_EQ(process(c.controller, 0x90, uint8_t(c.note), uint8_t(c.velocity)).valor, c.valor)
            << c.controller << " " << c.note << " " << c.velocity;
    // controller 1 fills the range fields of a note event, controller 2 only code and value
    TInfo e = process(1, 0x90, 3, 127);
    EXPECT_EQ(e.value, 63);
    EXPECT_EQ(e.range, 5);
    EXPECT_EQ(e.rangelo, 6);
    EXPECT_EQ(e.rangeup, 7);
    bp2.range = 99;
    e = process(2, 0x90, 3, 127);
    EXPECT_EQ(e.value, 63);
    EXPECT_EQ(e.range, 99);
}

TEST_F(CtlMidi, KeysOfPitchBendAndTheAlternateLayers)
{
    tables.midiinbut[0xE0E0][0] = 121;
    tables.midiinbut[65535][0] = 130;
    tables.midiinbut[0x906E][0] = 20;  // note 110, or note 10 on the alternate layer
    tables.midiinbut[0x900A][0] = 19;
    tables.midiinbut[0x9005][0] = 250;  // BTNSHIFTA
    tables.midiinbut[0x9069][0] = 7;    // note 5 + 100
    tables.midiinbut2 = tables.midiinbut;
    tables.hdm.modo = tables.hdm2.modo = 1;

    EXPECT_EQ(process(1, 0xE0, 0, 64).accion, 121);
    EXPECT_EQ(process(1, 0x90, 10, 127).accion, 19);
    state.shifton = 1;
    EXPECT_EQ(process(1, 0xE0, 0, 64).accion, 130);
    EXPECT_EQ(process(1, 0x90, 10, 127).accion, 20);
    EXPECT_EQ(process(1, 0x90, 5, 0).accion, 250);  // the shift control stays at its plain key
    EXPECT_EQ(process(2, 0x90, 10, 127).accion, 20);
    EXPECT_EQ(process(2, 0x90, 10, 0).accion, 19);   // controller 2: a release at the plain key
    EXPECT_EQ(process(2, 0x80, 10, 64).accion, 19);
    EXPECT_EQ(process(2, 0x90, 5, 127).accion, 7);   // controller 2 has no exception for shift
    EXPECT_EQ(process(2, 0xE0, 0, 0).accion, 121);

    // single mode: the layer follows the deck choice, for both controllers
    state.shifton = 0;
    tables.hdm.modo = tables.hdm2.modo = 0;
    EXPECT_EQ(process(1, 0x90, 10, 127).accion, 19);
    state.mhidcarga = 1;
    EXPECT_EQ(process(1, 0x90, 10, 127).accion, 20);
    EXPECT_EQ(process(2, 0x90, 10, 0).accion, 20);
    EXPECT_EQ(process(1, 0xE0, 3, 3).accion, 130);
}

TEST_F(CtlMidi, ControlChangeValues)
{
    load(1, {{"INPUT", "1", "176", "POTVOLUMENA", "127", "60", "100", "20", "Ctrl"},
             {"INPUT", "2", "176", "POTVOLUMENB", "127", nullptr, nullptr, nullptr, "CtrlI"},
             {"INPUT", "3", "176", "BTNPLAYA", "99"},
             {"INPUT", "4", "176", "POTBASSA", "127", "60", "3", "2", "Ctrl"}});
    const struct {
        int number, value, valor;
    } cases[] = {{1, 10, 90}, {1, 70, 50}, {2, 27, 100}, {2, 127, 0}, {3, 127, 99}, {3, 5, 5}, {4, 100, 161}};
    for (const auto& c : cases) EXPECT_EQ(process(1, 0xB0, uint8_t(c.number), uint8_t(c.value)).valor, c.valor) << c.number << " " << c.value;
    const TInfo e = process(1, 0xB0, 1, 10);
    EXPECT_EQ(e.alto, 100);
    EXPECT_EQ(e.bajo, 20);
    EXPECT_EQ(e.invert, 1);
    EXPECT_EQ(e.value, 127);
    EXPECT_EQ(e.range, 60);
}

TEST_F(CtlMidi, MessageTypesEachControllerDispatches)
{
    tables.midiinbut[0xF800][0] = 5;
    tables.midiinbut2[0xF800][0] = 5;
    const struct {
        uint8_t status;
        bool first, second;
    } cases[] = {{0xF8, true, false}, {0xFE, true, false}, {0xC3, true, false}, {0xD0, true, false},
                 {0xB0, true, true},  {0xE0, true, true},  {0xA0, false, false}, {0x40, false, false}};
    for (const auto& c : cases) {
        process(1, c.status, 0, 0);
        EXPECT_EQ(events.size(), c.first ? 1u : 0u) << std::hex << int(c.status);
        process(2, c.status, 0, 0);
        EXPECT_EQ(events.size(), c.second ? 1u : 0u) << std::hex << int(c.status);
    }
    EXPECT_EQ(process(1, 0xF8, 0, 0).accion, 5);
    process(1, 0, 0, 0);  // an empty message
    EXPECT_TRUE(events.empty());
}

TEST_F(CtlMidi, ThruSendsTheMessageBackWithTheRowsValue)
{
    backend.setInputs(Api::Jack, {"ctl:out"});
    backend.setOutputs(Api::Jack, {"ctl:in"});
    make();
    writeDefinition("ctl.xml", definition({{"INPUT", "61", "144", "BTNTOTHRU", "99"},
                                           {"INPUT", "5", "176", "BTNTOTHRU", "300"}}));
    controllers->inicializamidifile("ctl0");
    process(1, 0x90, 61, 127);
    process(1, 0x80, 61, 3);
    process(1, 0xB0, 5, 1);
    EXPECT_EQ(events.back().accion, 235);
    EXPECT_EQ(backend.sent(Api::Jack, 0),
              (std::vector<std::vector<uint8_t>>{{0x90, 61, 99}, {0x90, 61, 99}, {0xB0, 5, 300 & 0xFF}}));
    // without an output device nothing goes out
    controllers->MidiOutput1->Close();
    controllers->MidiOutput1->SetDeviceID(-1);
    process(1, 0x90, 61, 127);
    EXPECT_EQ(backend.sent(Api::Jack, 0).size(), 3u);
}

TEST_F(CtlMidi, FullRingIsCountedAndTheRestProcessedInOrder)
{
    backend.setInputs(Api::Jack, {"ctl:out"});
    backend.setOutputs(Api::Jack, {"ctl:in"});
    make();
    controllers->inicializamidifile("ctl0");
    tables.midiinbut.assign(ControllerTables::kMidiEntries, MappingEntry{});
    for (int n = 0; n < 128; ++n) tables.midiinbut[size_t(0x9000 + n)][0] = n;
    const int total = int(MidiInputRing::kCapacity) + 10;
    for (int i = 0; i < total; ++i) backend.deliver(Api::Jack, 0, {0x90, uint8_t(i % 128), 127});
    EXPECT_EQ(controllers->ring().dropped(), 10u);
    controllers->processPending();
    ASSERT_EQ(events.size(), MidiInputRing::kCapacity);
    for (size_t i = 0; i < events.size(); ++i) ASSERT_EQ(events[i].accion, int(i % 128));
}
