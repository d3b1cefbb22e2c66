// Test rig for the deck players: fixture files written by the test (WAV by hand, the other
// formats through ffmpeg), a deck wired to fakes and rendered offline through its output mixer.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include "engine/audiodjbase.h"
#include "engine/cargaasio.h"
#include "tests/engine/deck/deckfakes.h"
#include "engine/psoundconfig.h"
#include "platform/sound/sound.h"
#include "tests/support/toolprocess.h"

namespace deckrig {

// 16-bit stereo WAV; gen(frame, &left, &right).
inline bool writeWav(const QString& path, int rate, int64_t frames,
                     const std::function<void(int64_t, int16_t&, int16_t&)>& gen)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const uint32_t dataBytes = uint32_t(frames * 4);
    auto u32 = [&](uint32_t v) { char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; f.write(b, 4); };
    auto u16 = [&](uint16_t v) { char b[2] = {char(v), char(v >> 8)}; f.write(b, 2); };
    f.write("RIFF", 4); u32(36 + dataBytes); f.write("WAVE", 4);
    f.write("fmt ", 4); u32(16); u16(1); u16(2); u32(uint32_t(rate)); u32(uint32_t(rate * 4)); u16(4); u16(16);
    f.write("data", 4); u32(dataBytes);
    std::vector<int16_t> buf;
    buf.reserve(65536);
    for (int64_t i = 0; i < frames; ++i) {
        int16_t l = 0, r = 0;
        gen(i, l, r);
        buf.push_back(l);
        buf.push_back(r);
        if (buf.size() >= 65536) { f.write(reinterpret_cast<const char*>(buf.data()), qint64(buf.size() * 2)); buf.clear(); }
    }
    f.write(reinterpret_cast<const char*>(buf.data()), qint64(buf.size() * 2));
    return true;
}

// One-sample clicks every `interval` frames starting at `first`.
inline bool clickTrack(const QString& path, int rate, int64_t frames, int64_t interval, int64_t first = 0)
{
    return writeWav(path, rate, frames, [&](int64_t i, int16_t& l, int16_t& r) {
        const bool click = i >= first && (i - first) % interval == 0;
        l = r = click ? 20000 : 0;
    });
}

inline bool tone(const QString& path, int rate, double seconds, double hz, double amp = 0.5)
{
    return writeWav(path, rate, int64_t(seconds * rate), [&](int64_t i, int16_t& l, int16_t& r) {
        l = r = int16_t(std::lround(amp * 32767 * std::sin(2 * M_PI * hz * double(i) / rate)));
    });
}

// Converts with ffmpeg; the codec follows the extension.
inline bool convert(const QString& src, const QString& dst, const QStringList& codec = {})
{
    QStringList args{"-v", "error", "-y", "-i", src};
    args << codec << dst;
    return testsupport::runTool("ffmpeg", args) == 0 && QFile::exists(dst);
}

// Frames of `samples` (interleaved stereo) whose left value exceeds `threshold`, taking the
// first of a run.
inline std::vector<int64_t> clicks(const std::vector<int16_t>& samples, int threshold = 8000)
{
    std::vector<int64_t> out;
    bool in = false;
    for (size_t i = 0; i + 1 < samples.size(); i += 2) {
        const bool hot = std::abs(samples[i]) > threshold;
        if (hot && !in) out.push_back(int64_t(i / 2));
        in = hot;
    }
    return out;
}

inline float attr(sound::Handle h, sound::Attribute a)
{
    float v = -1;
    sound::getAttribute(h, a, v);
    return v;
}

struct Rig {
    explicit Rig(int nc = 1, bool keylock = true)
    {
        cfg.usekeylock = keylock;
        cfg.brake = 5;
        deck = std::make_unique<cargaasio>(&cfg, nc);
        deck->offlinerender = true;
        deck->message1 = &box;
        deck->vdmcslider = &slider;
        deck->progress = &progress;
        deck->mquorsql = &library;
        deck->creo_onda = &worker;
        deck->creo_onda2 = &worker;
        deck->device = 0;
        deck->basseqfx->vol = 100;
        deck->basseqfx->gain = 10;
    }
    ~Rig()
    {
        deck.reset();
        sound::freeStream(cmaster);
    }

    bool load(const QString& path, int times = 1)
    {
        bool ok = false;
        for (int i = 0; i < times; ++i) {
            deck->filename = path;
            ok = deck->Load(path);
        }
        cmaster = deck->CMaster;
        return ok;
    }

    // Plays the file at its own rate: speed exactly the file's rate.
    void unity() { deck->SetDmcSlider(-int(std::lround(deck->freq))); }

    std::vector<int16_t> render(int64_t frames)
    {
        std::vector<int16_t> out(size_t(frames) * 2);
        int64_t done = 0;
        while (done < frames) {
            const int64_t chunk = std::min<int64_t>(frames - done, 1024);
            const int got = sound::getData(deck->CMaster, out.data() + done * 2, int(chunk * 4));
            if (got <= 0) break;
            done += got / 4;
        }
        out.resize(size_t(done) * 2);
        rendered += done;
        return out;
    }

    PSoundConfig cfg;
    FakeMessageBox box;
    FakeSpeedSlider slider;
    FakeProgress progress;
    FakeLibrary library;
    FakePeaksWorker worker;
    std::unique_ptr<cargaasio> deck;
    sound::Handle cmaster = 0;
    int64_t rendered = 0;
};

}  // namespace deckrig
