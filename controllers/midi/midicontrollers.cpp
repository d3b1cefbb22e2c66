#include "controllers/midi/midicontrollers.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include <QCoreApplication>
#include <QSocketNotifier>

#include "controllers/controllertables.h"
#include "controllers/dispatch/controllersurface.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/tinfo.h"
#include "controllers/tcontroladora.h"
#include "engine/psoundconfig.h"
#include "platform/midi/midiportcatalog.h"

namespace {

constexpr int kBtnShiftA = 250, kBtnShiftB = 251, kBtnToThru = 235;

// wide arithmetic wrapped to the event's 32 bits
int32_t wrap32(int64_t v) { return int32_t(v); }

}  // namespace

MidiControllers::MidiControllers(ControllerTables& tables, DispatcherState& state, ControllerSurface& surface,
                                 PSoundConfig& config, TInfo& bp, TInfo& bp2,
                                 std::function<void(TInfo&)> updatecontroler, midi::Backend& backend,
                                 const QString& profile)
    : tables_(tables), state_(state), surface_(surface), config_(config), bp_(bp), bp2_(bp2),
      updatecontroler_(std::move(updatecontroler)), backend_(backend), profile_(profile)
{
    // the ports count their devices when first asked: start-up reads no port list
    MidiInput1 = std::make_unique<TMidiInput>(backend_, ring_, 1);
    MidiInput2 = std::make_unique<TMidiInput2>(backend_, ring_, 2);
    MidiOutput1 = std::make_unique<TMidiOutput>(backend_);
    MidiOutput2 = std::make_unique<TMidiOutput>(backend_);
    if (QCoreApplication::instance() && ring_.wakeHandle() >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(ring_.wakeHandle(), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { processPending(); });
    }
}

MidiControllers::~MidiControllers()
{
    // ports first: once they are gone no callback writes the ring
    MidiInput1.reset();
    MidiInput2.reset();
    MidiOutput1.reset();
    MidiOutput2.reset();
}

void MidiControllers::recreatePorts()
{
    if (MidiInput1) MidiInput1->Close();
    if (MidiInput2) MidiInput2->Close();
    if (MidiOutput1) MidiOutput1->Close();
    if (MidiOutput2) MidiOutput2->Close();
    // no list read here: every read opens a client of each MIDI service
    MidiInput1 = std::make_unique<TMidiInput>(backend_, ring_, 1);
    MidiInput2 = std::make_unique<TMidiInput2>(backend_, ring_, 2);
    MidiOutput1 = std::make_unique<TMidiOutput>(backend_);
    MidiOutput2 = std::make_unique<TMidiOutput>(backend_);
}

void MidiControllers::recreatePorts(const std::vector<midi::ListedPort>& inputs)
{
    recreatePorts();
    MidiInput1->NumDevs(inputs);
    MidiInput2->NumDevs(inputs);
}

void MidiControllers::inicializamidifile(const QString& port) { inicializa(1, port); }

void MidiControllers::inicializamidifile2(const QString& port) { inicializa(2, port); }

void MidiControllers::inicializa(int n, const QString& port)
{
    TMidiInput& in = n == 1 ? *MidiInput1 : *MidiInput2;
    TMidiOutput& out = n == 1 ? *MidiOutput1 : *MidiOutput2;
    int& portIn = n == 1 ? portin : portin2;
    int& portOut = n == 1 ? portout : portout2;
    out.Close();
    in.Close();

    // the input of that listed name, then the output of the same product name and index
    // every listed name ends in its index, so "-" (no port) and an empty name are never listed:
    // the lists, whose every read opens a client of each MIDI service, are not read for them
    const QString wanted = port.toUpper();
    const bool none = wanted.isEmpty() || wanted == QLatin1String("-");
    std::vector<midi::ListedPort> inputs, outputs;
    if (!none) std::tie(inputs, outputs) = midi::MidiPortCatalog::inputsAndOutputs(backend_);
    portIn = -1;
    portOut = -1;
    for (size_t i = 0; i < inputs.size() && portIn < 0; ++i)
        if (QString::fromStdString(inputs[i].listedName).toUpper() == wanted) portIn = int(i);
    if (portIn >= 0) {
        const midi::ListedPort& found = inputs[size_t(portIn)];
        for (size_t j = 0; j < outputs.size() && portOut < 0; ++j)
            if (outputs[j].product == found.product && outputs[j].productIndex == found.productIndex) portOut = int(j);
    }
    const bool found = portIn >= 0 && portOut >= 0;
    (n == 1 ? inicializada_controladora : inicializada_controladora2) = found;
    if (!found) return;

    tables_.nobenda = false;
    tables_.nobendb = false;
    (n == 1 ? tables_.delchana : tables_.delchanb) = 0;
    POWERON1 = false;
    POWERON2 = false;

    controla = std::make_unique<TControladora>(tables_, surface_, profile_);
    controla->pauseMs = loaderPauseMs;
    if (n == 1) controla->loadcontroller(config_.controler);
    else controla->loadcontroller2(config_.controler2);

    const auto& flags = n == 1 ? controla->ignore : controla->ignore2;
    in.selectPort(inputs[size_t(portIn)], portIn);
    for (size_t i = 0; i < flags.size(); ++i) in.ignore[i].store(flags[i]);
    in.Open();
    in.Start();
    out.selectPort(outputs[size_t(portOut)], portOut);
    out.Open();

    const int delchan = n == 1 ? tables_.delchana : tables_.delchanb;
    if (delchan > 0) apagacanal(n, delchan);

    (n == 1 ? config_.initcontroler : config_.initcontroler2) = false;
    (n == 1 ? config_.inicializada : config_.inicializada2) = in.abierto() && out.abierto();
    POWERON1 = true;
    POWERON2 = true;
    if (!in.abierto())
        surface_.ShowMessage(QStringLiteral("Can't open the MIDI input ") + port + QStringLiteral(": ") + in.lastError());
    if (!out.abierto())
        surface_.ShowMessage(QStringLiteral("Can't open the MIDI output ") + port + QStringLiteral(": ") + out.lastError());
}

void MidiControllers::processPending()
{
    ring_.acknowledge();
    MidiRingMessage m;
    while (ring_.pop(m)) {
        current_ = m;
        TMyMidiEvent e;
        e.MidiMessage = m.status;
        e.Data1 = m.data1;
        e.Data2 = m.data2;
        if (m.controller == 2) procesamidiin2(e);
        else procesamidiin1(e);
    }
    const uint64_t dropped = ring_.dropped();
    if (dropped != droppedLogged_) {
        std::fprintf(stderr, "korvanta controllers: MIDI input ring full, %llu messages dropped so far\n",
                     static_cast<unsigned long long>(dropped));
        droppedLogged_ = dropped;
    }
}

void MidiControllers::procesamidiin1(const TMyMidiEvent& event) { procesamidiin(1, event); }

void MidiControllers::procesamidiin2(const TMyMidiEvent& event) { procesamidiin(2, event); }

void MidiControllers::procesamidiin(int n, TMyMidiEvent e)
{
    if (e.MidiMessage == 0) return;
    TInfo& bp = n == 1 ? bp_ : bp2_;
    const std::vector<MappingEntry>& table = n == 1 ? tables_.midiinbut : tables_.midiinbut2;
    const int modo = (n == 1 ? tables_.hdm : tables_.hdm2).modo;

    // A note off is a release on every channel, looked up under its own channel's note on.
    int v = e.Data2;
    const int type = e.MidiMessage & 0xF0;
    if (type == 0x80) {
        v = 0;
        e.Data2 = 0;
        e.MidiMessage = uint8_t(0x90 | (e.MidiMessage & 0x0F));
    }

    // the alternate layer: +100 on data byte 1 (pitch bend: every alternate key is 65,535)
    const bool pitchBend = type == 0xE0;
    const int plainKey = e.MidiMessage * 256 + (pitchBend ? e.MidiMessage : e.Data1);
    bool alternate;
    if (modo == 0) {
        alternate = state_.mhidcarga != 0;
    } else if (n == 1) {
        // the shift controls themselves are always found at their plain key
        const int plainCode = table[size_t(plainKey)][0];
        alternate = state_.shifton == 1 && (pitchBend || (plainCode != kBtnShiftA && plainCode != kBtnShiftB));
    } else {
        // the second controller looks a release up at the plain key
        alternate = state_.shifton == 1 && e.Data2 > 0;
    }
    int key = plainKey;
    if (alternate) key = pitchBend ? 65535 : e.MidiMessage * 256 + ((e.Data1 + 100) % 256);
    const MappingEntry& en = table[size_t(key)];

    if (type == 0x80 || type == 0x90) {
        bp.accion = en[0];
        bp.value = en[2];
        if (n == 1) {
            bp.range = en[3];
            bp.rangelo = en[4];
            bp.rangeup = en[5];
        }
        if (en[0] == kBtnToThru) thru(n, e, en[2]);
        const bool press = n == 1 ? v >= 64 : v > 64;
        bp.valor = press ? std::min<int32_t>(en[2], 127) : v;
        if (updatecontroler_) updatecontroler_(bp);
        return;
    }

    const bool continuous = type == 0xB0 || type == 0xE0 || (n == 1 && (type == 0xC0 || type == 0xD0 || type == 0xF0));
    if (!continuous) return;  // key pressure; on controller 2 also program change, pressure, system
    bp.accion = en[0];
    bp.invert = en[6];
    bp.value = en[2];
    bp.range = en[3];
    bp.rangelo = en[4];
    bp.rangeup = en[5];
    bp.bajo = en[4];
    bp.alto = en[5];
    bp.valor = v;
    // reversed bounds: the value runs the other way between them
    if (en[4] != 0 && en[5] != 0 && en[4] > en[5]) {
        bp.alto = en[4];
        bp.bajo = en[5];
        v = int((v > en[3] ? int64_t(en[4]) + en[5] - v : int64_t(v) + en[4] - en[5]) & 0xFF);
    }
    if (en[0] == kBtnToThru) thru(n, e, en[2]);
    if (en[1] == 144) bp.valor = v == 127 ? en[2] : v;  // a control row of the button kind
    else bp.valor = en[6] > 0 ? v : wrap32(int64_t(en[2]) - v);
    if (updatecontroler_) updatecontroler_(bp);
}

// BTNTOTHRU: the message goes back out through the controller's output with the row's value.
void MidiControllers::thru(int n, TMyMidiEvent e, int32_t data2)
{
    TMidiOutput& out = n == 1 ? *MidiOutput1 : *MidiOutput2;
    e.Data2 = uint8_t(data2 & 0xFF);
    if (out.DeviceID() > -1) out.PutMidiEvent(e);
}

void MidiControllers::apagacanal(int output, int status)
{
    TMidiOutput& out = output == 1 ? *MidiOutput1 : *MidiOutput2;
    TMyMidiEvent thiseventou;
    for (int data1 = 1; data1 <= 127; ++data1) {
        thiseventou.MidiMessage = uint8_t(status);
        thiseventou.Data1 = uint8_t(data1);
        thiseventou.Data2 = 0;
        out.PutMidiEvent(thiseventou);
    }
}
