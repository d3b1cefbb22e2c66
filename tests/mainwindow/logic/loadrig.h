// Test rig for song loading: an engine rendering offline with its four decks (deck A and B
// count their Load calls), fake views for both decks and the mixer, the three panels with fake
// grids, the hidden grid and the loader, all on the test's UI thread.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "controllers/dispatch/controllervalues.h"
#include "engine/audiobase.h"
#include "engine/cargaasio.h"
#include "mainwindow/logic/deckcontrols.h"
#include "mainwindow/logic/loadsource.h"
#include "mainwindow/logic/mixercontrols.h"
#include "mainwindow/logic/songloader.h"
#include "tests/engine/deck/deckfakes.h"
#include "tests/engine/deck/deckrig.h"
#include "tests/mainwindow/support/fakeviews.h"
#include "tests/support/fakemainservices.h"

namespace loadrig {

inline QCoreApplication& app()
{
    static int argc = 1;
    static char arg0[] = "mainlogic_test";
    static char* argv[] = {arg0, nullptr};
    static QCoreApplication* a = QCoreApplication::instance() ? QCoreApplication::instance()
                                                               : new QCoreApplication(argc, argv);
    return *static_cast<QCoreApplication*>(a);
}

// Handles events until pred holds or ms pass; whether it holds.
inline bool waitFor(const std::function<bool()>& pred, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// A deck player that counts its Load calls.
class CountingDeck : public cargaasio {
public:
    using cargaasio::cargaasio;
    bool Load(const QString& path) override
    {
        ++loads;
        if (onLoad) onLoad();
        return cargaasio::Load(path);
    }
    std::atomic<int> loads{0};
    std::function<void()> onLoad;  // runs on the loading thread
};

// A speed slider written from the loading thread.
struct SafeSpeedSlider : SpeedSlider {
    void setRange(int, int) override {}
    void setPosition(int p) override { pos = p; }
    int position() const override { return pos; }
    std::atomic<int> pos{0};
};

struct Rig {
    Rig()
    {
        app();
        engine = std::make_unique<audiobase>(&services);
        engine->offlinerender = true;
        engine->ShowMessage = [](const QString&) {};
        engine->adjmessage = &enginebox;
        engine->mquorsql = &library;
        PSoundConfig& c = *engine->soundcfg;
        c.devicework = 3;
        c.usekeylock = false;
        for (int n = 1; n <= 4; ++n) {
            auto d = std::make_unique<CountingDeck>(engine->soundcfg.get(), n);
            d->offlinerender = true;
            d->message1 = &deckbox;
            d->vdmcslider = &sliders[n - 1];
            d->mquorsql = &library;
            d->creo_onda = &worker;
            d->creo_onda2 = &worker;
            decks.push_back(std::move(d));
        }
        engine->carga1 = decks[0].get();
        engine->carga2 = decks[1].get();
        engine->carga3 = decks[2].get();
        engine->carga4 = decks[3].get();
        engine->initds();

        for (DeckControls* d : {&deckA, &deckB}) {
            d->adj = engine.get();
            d->values = &values;
        }
        mixer.adj = engine.get();
        mixer.values = &values;
        mixer.crossfader = &crossfader;
        loader = std::make_unique<SongLoader>(deckA, deckB, mixer, source, services);
        loader->ep3 = &playlists;
        loader->ep = &groups;
        loader->ep2 = &explorer;
        loader->sgdrag = &sgdrag;
        loader->isCdrom = [this](const QString& p) { return p.startsWith(cdrom); };
        loader->onLoadFinished = [this](int deck, bool ok) { finished.push_back({deck, ok}); };
        loader->hooks.trackfrequencyChange = [this](int deck) { steps << QStringLiteral("pitch%1").arg(deck); };
        loader->hooks.lucescues = [this](int deck) { steps << QStringLiteral("cues%1").arg(deck); };
        loader->hooks.lucesloop = [this](int deck) { steps << QStringLiteral("loops%1").arg(deck); };
        loader->hooks.updatemidilights = [this] { steps << QStringLiteral("lights"); };
    }
    ~Rig()
    {
        loader->shutdown();
        loader.reset();
        engine->desinit();
        engine.reset();
        decks.clear();
    }

    QString tone(const QString& name, double seconds = 3, double hz = 500)
    {
        const QString path = dir.filePath(name);
        deckrig::tone(path, 44100, seconds, hz, 0.4);
        return path;
    }

    // row r of grid g holds the file with the given artist, title and BPM
    static void put(FakeSongGrid& g, int r, const QString& path, const QString& artist = QStringLiteral("Artist"),
                    const QString& title = QStringLiteral("Title"), const QString& bpm = QStringLiteral("120.000"))
    {
        g.setRow(r, {{gridcol::path, path}, {gridcol::artist, artist}, {gridcol::title, title}, {gridcol::bpm, bpm},
                     {gridcol::order, QStringLiteral("0007")}, {gridcol::time, QStringLiteral("0:00:03:00")}});
        g.setCurrentRow(r);
    }

    CountingDeck& deck(int n) { return *decks[size_t(n - 1)]; }
    FakeDeckViews& views(int n) { return n == 1 ? viewsA : viewsB; }
    size_t finishedCount() const { return finished.size(); }
    // presses LOAD of deck n on the row and waits until the load ends
    bool load(int n)
    {
        const size_t before = finished.size();
        loader->btnloadMouseDown(n);
        return waitFor([&] { return finished.size() > before; });
    }

    QTemporaryDir dir;
    QString cdrom = QStringLiteral("/media/cdrom/");
    FakeMainServices services;
    FakeMessageBox enginebox, deckbox;
    SafeSpeedSlider sliders[4];
    FakeLibrary library;
    FakePeaksWorker worker;
    std::unique_ptr<audiobase> engine;
    std::vector<std::unique_ptr<CountingDeck>> decks;
    ControllerValues values;
    DeckControls deckA{1}, deckB{2};
    FakeDeckViews viewsA{deckA}, viewsB{deckB};
    MixerControls mixer;
    FakePosition crossfader{-1, 127, 63};
    LoadSource source;
    FakePanel playlists{QStringLiteral("sg")}, groups{QStringLiteral("sggroups")}, explorer{QStringLiteral("sgexplorer")};
    FakeSongGrid sgdrag{QStringLiteral("sgdrag")};
    std::unique_ptr<SongLoader> loader;
    std::vector<std::pair<int, bool>> finished;
    QStringList steps;
};

}  // namespace loadrig
