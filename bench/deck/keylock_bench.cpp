// A 440 Hz tone through one deck at +8 % with keylock on, rendered offline on this thread:
// the measured pitch and how many times faster than real time it renders. The peer is the
// same render with keylock off, in the same run.
//   keylock_bench [SECONDS]   (default 120)
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QFile>
#include <QTemporaryDir>

#include "engine/cargaasio.h"
#include "engine/psoundconfig.h"
#include "platform/sound/sound.h"
#include "tests/support/tonemeter.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 44100;

bool writeTone(const QString& path, int seconds)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const uint32_t frames = uint32_t(seconds) * kRate, bytes = frames * 4;
    auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF", 4); u32(36 + bytes); f.write("WAVE", 4); f.write("fmt ", 4); u32(16); u16(1); u16(2);
    u32(kRate); u32(kRate * 4); u16(4); u16(16); f.write("data", 4); u32(bytes);
    std::vector<int16_t> block(2 * kRate);
    for (uint32_t s = 0; s < frames; s += kRate) {
        for (int i = 0; i < kRate; ++i)
            block[2 * i] = block[2 * i + 1] = int16_t(std::lround(16000 * std::sin(2 * M_PI * 440.0 * (s + i) / kRate)));
        f.write(reinterpret_cast<const char*>(block.data()), qint64(block.size() * 2));
    }
    return true;
}

struct Result { double hz, factor; };

Result run(const QString& file, bool keylock, int seconds)
{
    PSoundConfig cfg;
    cfg.usekeylock = true;
    cargaasio deck(&cfg, 1);
    deck.offlinerender = true;
    deck.tpitch = 8;
    deck.basseqfx->vol = 100;
    deck.basseqfx->gain = 10;
    deck.filename = file;
    if (!deck.Load(file)) return {0, 0};
    deck.SetSlider(0);  // +8 %
    deck.setkeylock(keylock);
    deck.Play();
    const int64_t frames = int64_t(seconds) * kRate;
    std::vector<int16_t> tail;
    std::vector<int16_t> buf(4096);
    int64_t done = 0;
    const auto t0 = Clock::now();
    while (done < frames) {
        const int got = sound::getData(deck.CMaster, buf.data(), int(buf.size() * 2));
        if (got <= 0) break;
        done += got / 4;
        if (frames - done < 2 * kRate) tail.insert(tail.end(), buf.begin(), buf.begin() + got / 2);
    }
    const double secs = std::chrono::duration<double>(Clock::now() - t0).count();
    return {testsupport::toneFrequency(tail, 2, kRate), double(done) / kRate / secs};
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 120;
    QTemporaryDir dir;
    qputenv("HOME", dir.path().toLocal8Bit());
    const QString file = dir.filePath("a440.wav");
    // the track is longer than the render: +8 % plays it faster
    if (!writeTone(file, seconds * 2)) return 1;
    const Result off = run(file, false, seconds);
    const Result on = run(file, true, seconds);
    std::printf("keylock off pitch Hz: %.2f   realtime factor: %.0f\n", off.hz, off.factor);
    std::printf("keylock pitch Hz: %.2f\n", on.hz);
    std::printf("keylock cost against keylock off: %.2fx\n", on.factor > 0 ? off.factor / on.factor : 0.0);
    std::printf("keylock realtime factor: %.0f\n", on.factor);
    return 0;
}
