// The controller lights: the light-state text built from a full window state and sent to a fake
// MIDI output 10,000 times with one light changing each time; once with the deck-level outputs
// (115, 118) mapped, which go out with every change, and once without. The peer is the full
// resend the lights make after every set-up (every mapped light, changed or not), measured in the
// same run. The last line is the case without the deck levels.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "controllers/controllerset.h"
#include "controllers/tcontroladora.h"
#include "engine/psoundconfig.h"
#include "platform/hid/fakehidbackend.h"
#include "platform/midi/fakemidibackend.h"
#include "tests/controllers/definitionxml.h"
#include "tests/controllers/fakesurface.h"

namespace {

constexpr int kChanges = 10000;
constexpr int kButtons = int(SurfaceButton::bggrupos) + 1;

// the window's buttons as plain flags, as the window keeps them
class WindowState : public FakeSurface {
public:
    bool Down(SurfaceButton b) const override { return down_[size_t(b)]; }
    void SetDown(SurfaceButton b, bool d) override { down_[size_t(b)] = d; }

private:
    std::array<bool, kButtons> down_{};
};

struct Result {
    double buildUs = 0, updateUs = 0, perChange = 0;
};

Result run(bool levels, bool fullResend)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/Devices");
    WindowState surface;
    PSoundConfig config;
    midi::FakeMidiBackend backend;
    backend.setInputs(midi::Api::Jack, {"pad:out"});
    backend.setOutputs(midi::Api::Jack, {"pad:in"});
    hid::FakeHidBackend hidBackend;
    ControllerSet set(surface, config, backend, dir.path(), hidBackend);
    set.midi.loaderPauseMs = 0;

    // every output code on a note of its own: codes 1..127 on channel 1, the rest on channel 2
    QByteArray xml = "<DATAPACKET>";
    TControladora names(set.tables, surface, dir.path());
    for (int code = 1; code <= 242; ++code) {
        if (!levels && (code == 115 || code == 118)) continue;
        const std::string note = std::to_string(code <= 127 ? code : code - 127);
        const char* status = code <= 127 ? "144" : "145";
        xml += rowXml({"OUTPUT", note.c_str(), status, names.midiconstl[size_t(code)].toLatin1().constData(), "127"});
    }
    QFile f(dir.path() + "/Devices/pad.xml");
    f.open(QIODevice::WriteOnly);
    f.write(xml + "</DATAPACKET>");
    f.close();
    config.controler = QStringLiteral("pad.xml");
    set.midi.inicializamidifile("PAD0");
    if (!config.inicializada) std::fprintf(stderr, "set-up failed\n");

    // a full window: half the buttons down, hot cues set, levels moving
    for (int i = 0; i < kButtons; i += 2) surface.SetDown(SurfaceButton(i), true);
    for (int s = 1; s <= 6; ++s) surface.hotCues[{0, s}] = s % 2 ? HotCueLook::cue : HotCueLook::loop;
    surface.SetPosition(SurfaceControl::xl, 20000);
    surface.SetPosition(SurfaceControl::xr1, 9000);
    set.lights.updatemidilights();

    // the buttons whose change turns exactly one light
    std::vector<SurfaceButton> single;
    for (int i = 0; i < kButtons; ++i) {
        const SurfaceButton b = SurfaceButton(i);
        const QString was = set.lights.lightText();
        surface.SetDown(b, !surface.Down(b));
        const QString now = set.lights.lightText();
        surface.SetDown(b, !surface.Down(b));
        int changed = 0;
        for (int k = 0; k < was.size(); ++k) changed += was[k] != now[k];
        if (changed == 1) single.push_back(b);
    }

    using Clock = std::chrono::steady_clock;
    Clock::duration build{}, update{};
    const uint64_t before = set.lights.sentCount();
    volatile int sink = 0;
    for (int i = 0; i < kChanges; ++i) {
        // on, then off again: every change turns one light from the same full state
        const SurfaceButton b = single[size_t(i / 2) % single.size()];
        surface.SetDown(b, !surface.Down(b));
        const auto t0 = Clock::now();
        sink = sink + int(set.lights.lightText().size());
        const auto t1 = Clock::now();
        if (fullResend) set.state.luces.clear();
        set.lights.updatemidilights();
        const auto t2 = Clock::now();
        build += t1 - t0;
        update += t2 - t1;
    }
    Result r;
    r.buildUs = std::chrono::duration<double, std::micro>(build).count() / kChanges;
    r.updateUs = std::chrono::duration<double, std::micro>(update).count() / kChanges;
    r.perChange = double(set.lights.sentCount() - before) / kChanges;
    return r;
}

}  // namespace

int main()
{
    const Result mapped = run(true, false);
    const Result full = run(false, true);
    const Result plain = run(false, false);
    std::printf("controller lights, %d changes of one light, one MIDI output of 242 mapped lights\n", kChanges);
    std::printf("  deck levels mapped      build %6.2f us  update %7.2f us  messages per change %6.2f\n", mapped.buildUs,
                mapped.updateUs, mapped.perChange);
    std::printf("  full resend (peer)      build %6.2f us  update %7.2f us  messages per change %6.2f\n", full.buildUs,
                full.updateUs, full.perChange);
    std::printf("  changed lights only     build %6.2f us  update %7.2f us  messages per change %6.2f\n", plain.buildUs,
                plain.updateUs, plain.perChange);
    std::printf("  ratio ours/peer         update %.3f  messages %.4f\n", full.updateUs > 0 ? plain.updateUs / full.updateUs : 0,
                full.perChange > 0 ? plain.perChange / full.perChange : 0);
    std::printf("with deck levels mapped: lights build us: %.1f, messages per change: %.2f\n", mapped.buildUs,
                mapped.perChange);
    std::printf("lights build us: %.1f, messages per change: %.2f\n", plain.buildUs, plain.perChange);
    return 0;
}
