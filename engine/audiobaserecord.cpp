// The engine: recording the internal mix to a WAV file.
#include <algorithm>
#include <array>
#include <chrono>
#include <vector>

#include "engine/audiobase.h"
#include "engine/audiodjbase.h"
#include "engine/carga.h"

using sound::Handle;

namespace {
// offline: frames of silence the recording buses start with, so that the recorder, pulled
// right after the decks, never reads a bus dry
constexpr int kOfflineLead = 3072;
// how long a start waits for the decks to fill the buses (nothing may be playing)
constexpr auto kFillWait = std::chrono::milliseconds(200);
}

std::array<Handle, 4> audiobase::recordbuses()
{
    return {changrabacion.load(), changrabacion2.load(), samgrabacion.load(), samgrabacion2.load()};
}

// Each deck's copy of its processed sound into its recording bus.
void audiobase::recordtaps(bool on)
{
    for (int n = 1; n <= 4; ++n) {
        carga* d = deck(n);
        if (!d) continue;
        Shared<Handle>& tap = n == 1 ? d->recdsp : n == 2 ? d->recdsp2 : n == 3 ? d->recsam : d->recsam2;
        const Handle mixer = d->Mixer;
        if (const Handle old = tap.exchange(0)) sound::removeDsp(mixer, old);
        if (!on || !mixer) continue;
        const Handle bus = recordbuses()[size_t(n - 1)];
        sound::lock(mixer, true);
        tap = sound::setDsp(mixer, [bus](Handle, Handle, float* f, int k) { sound::pushFloat(bus, f, k); }, 0);
        sound::lock(mixer, false);
    }
}

void audiobase::graba(const QString& filerec, int grabar)
{
    if (const Handle r = recchan.exchange(0)) sound::stopRecord(r);
    grabando = false;
    if (grabar != 1) {
        grabaas();
        return;
    }
    if (!Grabacion) {
        createbuses();
        buildrecorder();
    }
    const Handle g = Grabacion;
    sound::setAttribute(g, sound::Attribute::Volume, 0);
    for (Handle bus : recordbuses()) {
        sound::setPosition(bus, 0);
        if (offlinerender) {
            const std::vector<float> lead(size_t(kOfflineLead) * 2, 0.0f);
            sound::pushFloat(bus, lead.data(), kOfflineLead);
        }
    }
    if (const Handle old = encoder.exchange(0)) sound::stopEncoder(old);
    const Handle e = sound::encodeToWav(g, filerec.toStdString());
    if (!e) {
        // nothing records: the surface must not show a recording
        message(QStringLiteral("Couldn't start encoding"));
        estagrabando = false;
        return;
    }
    encoder = e;
    grabando = true;
    estagrabando = true;
    recordtaps(true);
    if (!offlinerender) {
        // the recorder runs on its own clock, not the decks': it starts once the buses hold
        // its cushion, so that the take starts with the mix, not with silence; the wait is the
        // starter's, not the caller's
        recorderstart_.launch(
            [] {
                for (Handle bus : recordbuses())
                    if (sound::pushReady(bus)) return true;
                return false;
            },
            [g] {
                if (!sound::play(g)) {
                    // its device does not run: the no-sound clock takes the take
                    sound::setStreamDevice(g, {sound::DeviceApi::NoSound, 0});
                    sound::play(g);
                }
            },
            kFillWait);
    }
    volgrabacion(volgraba);
}

// The end of a take still waits in the buses (the recorder's cushion): with the taps gone and
// the recorder stopped, it is taken through the recorder here, so that the take holds the mix
// up to its stop.
void audiobase::drainrecorder()
{
    int left = 0;
    for (Handle bus : recordbuses()) left = std::max(left, sound::pushQueued(bus));
    std::vector<float> buf(size_t(1024) * 2);
    for (; left > 0; left -= 1024) sound::renderFloat(Grabacion, buf.data(), std::min(left, 1024));
}

void audiobase::volgrabacion(int grvol)
{
    volgraba = std::clamp(grvol, 0, 100);
    const float v = volgraba / 100.0f;
    for (Handle bus : recordbuses()) sound::setAttribute(bus, sound::Attribute::Volume, v);
}
