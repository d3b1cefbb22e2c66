// Test rig for the engine: an engine with its four decks wired to fakes, tone files made by
// the test, and a measure of how much of a tone a run of samples holds.
#pragma once

#include <chrono>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <thread>
#include <vector>

#include <QString>
#include <QTemporaryDir>

#include "engine/audiobase.h"
#include "engine/audiodjbase.h"
#include "engine/cargaasio.h"
#include "tests/engine/deck/deckfakes.h"
#include "tests/engine/deck/deckrig.h"
#include "tests/support/fakemainservices.h"
#include "tests/support/tonemeter.h"

namespace enginerig {

constexpr double kToneA = 500;   // deck A
constexpr double kToneB = 1300;  // deck B

// What a channel carries: bit 1 deck A's tone, bit 2 deck B's.
inline int tones(const std::vector<float>& s, int channels, int ch, size_t from, size_t count, int rate = 44100)
{
    int t = 0;
    if (testsupport::toneAmplitude(s, channels, ch, from, count, kToneA, rate) > 0.02) t |= 1;
    if (testsupport::toneAmplitude(s, channels, ch, from, count, kToneB, rate) > 0.02) t |= 2;
    return t;
}

// The index of a JACK device in the engine's list, -1 when it is not there.
inline int deviceIndex(const audiobase& e, const QString& name)
{
    for (size_t i = 0; i < e.listaasio.size(); ++i)
        if (e.listaasio[i] == name) return int(i);
    return -1;
}

// Reads the JACK list until every name is in it: under load a client can time out while it
// opens, and the list misses it.
inline bool listed(audiobase& e, std::initializer_list<const char*> names)
{
    auto all = [&] {
        for (const char* n : names)
            if (deviceIndex(e, QString::fromUtf8(n)) < 0) return false;
        return true;
    };
    for (int i = 0; i < 10 && !all(); ++i) {
        if (i) std::this_thread::sleep_for(std::chrono::milliseconds(500));
        e.dameasio();
    }
    return all();
}

// ASIO driver mode: the mode, the devices of rows 0 and 1 by name, the channel choices.
inline void useJack(audiobase& e, int mode, const char* dev0, const char* dev1, int chan0, int chan1)
{
    PSoundConfig& cfg = *e.soundcfg;
    cfg.devicemode = 0;
    cfg.devicework = mode;
    cfg.asnum[0] = deviceIndex(e, QString::fromUtf8(dev0));
    cfg.asnum[1] = deviceIndex(e, QString::fromUtf8(dev1));
    cfg.aschan[0] = chan0;
    cfg.aschan[1] = chan1;
}

struct Rig {
    explicit Rig(bool offline = true, bool keylock = false)
    {
        engine = std::make_unique<audiobase>(&services);
        engine->offlinerender = offline;
        engine->ShowMessage = [this](const QString& t) { messages << t; };
        engine->adjmessage = &box;
        engine->mquorsql = &library;
        PSoundConfig& c = *engine->soundcfg;
        c.usekeylock = keylock;
        c.brake = 5;
        c.recinternal = true;
        for (int n = 1; n <= 4; ++n) {
            auto d = std::make_unique<cargaasio>(engine->soundcfg.get(), n);
            d->offlinerender = true;
            d->message1 = &deckbox;
            d->vdmcslider = &slider[n - 1];
            d->progress = &progress;
            d->mquorsql = &library;
            d->creo_onda = &worker;
            d->creo_onda2 = &worker;
            d->device = 0;
            d->basseqfx->vol = 100;
            d->basseqfx->gain = 10;
            decks.push_back(std::move(d));
        }
        engine->carga1 = decks[0].get();
        engine->carga2 = decks[1].get();
        engine->carga3 = decks[2].get();
        engine->carga4 = decks[3].get();
    }
    ~Rig()
    {
        engine->graba(QString(), 0);
        engine.reset();
        decks.clear();
    }

    QString tone(const QString& name, double hz, double seconds = 20)
    {
        const QString path = dir.filePath(name);
        deckrig::tone(path, 44100, seconds, hz, 0.4);
        return path;
    }

    // Loads `path` into deck n at the file's own speed.
    bool load(int n, const QString& path)
    {
        carga& d = *decks[size_t(n - 1)];
        d.filename = path;
        const bool ok = d.Load(path);
        if (ok) d.SetDmcSlider(-int(std::lround(d.freq)));
        return ok;
    }

    // The two main decks with their tones, playing.
    void playtones(double seconds = 20)
    {
        load(1, tone("a.wav", kToneA, seconds));
        load(2, tone("b.wav", kToneB, seconds));
        decks[0]->Play();
        decks[1]->Play();
    }

    carga& deck(int n) { return *decks[size_t(n - 1)]; }

    QTemporaryDir dir;
    FakeMainServices services;
    FakeMessageBox box, deckbox;
    FakeSpeedSlider slider[4];
    FakeProgress progress;
    FakeLibrary library;
    FakePeaksWorker worker;
    QStringList messages;
    std::unique_ptr<audiobase> engine;
    std::vector<std::unique_ptr<cargaasio>> decks;
};

}  // namespace enginerig
