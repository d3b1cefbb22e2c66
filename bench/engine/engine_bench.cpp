// The engine under full load, offline: both decks playing with key lock, EQ, echo, flanger
// and auto-wah, both samplers, the headphone bus and a WAV recording, for 60 s of sound.
// The peer, measured in the same run, is one deck playing bare through the same engine.
// Prints the times and last "engine realtime factor: X": seconds of sound per CPU second of the
// process while it renders (the WAV fixtures are written before the clock starts; the
// recording is flushed by the renderer, so wall time is close to CPU time).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include <QFile>
#include <QTemporaryDir>

#include "engine/audiobase.h"
#include "engine/cargaasio.h"
#include "engine/mainservices.h"
#include "engine/hintmailbox.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 60;

// CPU seconds of the whole process (every thread: the encoder's writer too)
double cpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double threadSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct Services : MainServices {
    bool mmain(bool) override { return true; }
    bool mainRunning() const override { return true; }
    HintMailbox& hint() override { return box; }
    QObject* owner() override { return nullptr; }
    HintMailbox box;
};

bool writeTone(const QString& path, double seconds, double hz)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const uint32_t frames = uint32_t(seconds * kRate), bytes = frames * 4;
    auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF", 4); u32(36 + bytes); f.write("WAVEfmt ", 8); u32(16); u16(1); u16(2);
    u32(kRate); u32(kRate * 4); u16(4); u16(16); f.write("data", 4); u32(bytes);
    std::vector<int16_t> s(size_t(frames) * 2);
    for (uint32_t i = 0; i < frames; ++i)
        s[2 * i] = s[2 * i + 1] = int16_t(std::lround(12000 * std::sin(2 * M_PI * hz * i / kRate)));
    f.write(reinterpret_cast<const char*>(s.data()), qint64(s.size() * 2));
    return true;
}

struct Engine {
    explicit Engine(bool keylock)
    {
        engine = std::make_unique<audiobase>(&services);
        engine->offlinerender = true;
        engine->soundcfg->usekeylock = keylock;
        engine->soundcfg->devicework = 3;
        for (int n = 1; n <= 4; ++n) {
            decks.push_back(std::make_unique<cargaasio>(engine->soundcfg.get(), n));
            decks.back()->offlinerender = true;
            decks.back()->basseqfx->vol = 100;
            decks.back()->basseqfx->gain = 10;
        }
        engine->carga1 = decks[0].get();
        engine->carga2 = decks[1].get();
        engine->carga3 = decks[2].get();
        engine->carga4 = decks[3].get();
        engine->initds();
    }
    ~Engine()
    {
        engine->graba(QString(), 0);
        engine.reset();
    }
    void load(int n, const QString& path)
    {
        cargaasio& d = *decks[size_t(n - 1)];
        d.filename = path;
        d.Load(path);
        d.SetDmcSlider(-int(std::lround(d.freq * 1.04)));
    }
    // seconds of wall time to render `seconds` of sound
    double run(int seconds)
    {
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < seconds * 200; ++i) {
            engine->render(i % 2 ? 221 : 220);
            if (i % 5 == 0)
                for (auto& d : decks) d->fchangetimerTimer();
            engine->OnChangeTimer();
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    Services services;
    std::unique_ptr<audiobase> engine;
    std::vector<std::unique_ptr<cargaasio>> decks;
};

}  // namespace

int main()
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.wav"), b = dir.filePath("b.wav"), s = dir.filePath("s.wav");
    if (!writeTone(a, kSeconds + 10, 440) || !writeTone(b, kSeconds + 10, 550) || !writeTone(s, 2, 880)) return 1;

    double peer = 0;
    {
        Engine e(false);
        e.load(1, a);
        e.decks[0]->Play();
        const double c0 = cpuSeconds();
        e.run(kSeconds);
        peer = cpuSeconds() - c0;
    }

    double full = 0, wall = 0, mixing = 0;
    {
        Engine e(true);
        e.load(1, a);
        e.load(2, b);
        e.load(3, s);
        e.load(4, s);
        for (int n = 1; n <= 2; ++n) {
            cargaasio& d = *e.decks[size_t(n - 1)];
            d.setkeylock(true);
            d.SetDmcSlider(-int(std::lround(d.freq * 1.04)));
            d.Setfbas(4);
            d.Setfmid(-6);
            d.Setftre(3);
            d.UpdateEcho(0.5f, 0, 0.25f, true);
            d.UpdateFlange(0, 0.01f, true);
            d.UpdateWah(0.5f, 200, true);
            d.Play();
        }
        e.engine->setheadphones(true, 1);
        e.engine->setheadphones(true, 2);
        e.engine->graba(dir.filePath("bench.wav"), 1);
        // the samplers fire again every two seconds
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = cpuSeconds(), m0 = threadSeconds();
        for (int sec = 0; sec < kSeconds; sec += 2) {
            for (int n = 3; n <= 4; ++n) {
                e.decks[size_t(n - 1)]->Stop();
                e.decks[size_t(n - 1)]->Play();
            }
            e.run(2);
        }
        full = cpuSeconds() - c0;
        mixing = threadSeconds() - m0;
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        e.engine->graba(QString(), 0);
    }

    std::printf("engine full load, %d s of sound: %.3f s of CPU (%.3f s on the rendering thread, %.3f s wall)\n",
                kSeconds, full, mixing, wall);
    std::printf("engine one bare deck (peer), %d s of sound: %.3f s of CPU\n", kSeconds, peer);
    std::printf("full load / peer: %.2f\n", full / peer);
    std::printf("engine realtime factor: %.1f\n", kSeconds / full);
    return 0;
}
