// MIDI input from the service's thread to the handler on the UI thread. A thread of its own feeds
// 10,000 messages into our input callback through the fake MIDI service, one every 250 us, each
// timed from the callback's entry to the handler; then 2,000 at once, timed from the first one
// entering to the last one handled. The peer hands the same messages over with one queued Qt call
// each, the usual way across threads, measured in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>

#include "controllers/controllertables.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/tinfo.h"
#include "controllers/midi/midicontrollers.h"
#include "engine/psoundconfig.h"
#include "platform/midi/fakemidibackend.h"
#include "tests/controllers/fakesurface.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPaced = 10000, kBurst = 2000;
constexpr auto kPace = std::chrono::microseconds(250);

struct Result {
    double p50us = 0, p99us = 0, maxus = 0, burstMs = 0;
};

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// Runs the event loop while `feed` sends from its own thread, until `done` handler calls came.
void run(QCoreApplication& app, const std::function<void()>& feed, const std::function<bool()>& done)
{
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) app.quit();
    });
    check.start(5);
    std::thread feeder(feed);
    app.exec();
    feeder.join();
}

void pacedFeed(const std::function<void(int)>& one)
{
    const auto start = Clock::now();
    for (int i = 0; i < kPaced; ++i) {
        std::this_thread::sleep_until(start + i * kPace);
        one(i);
    }
}

// The paced run, then the burst, through `send` (message i, paced or burst); the handler counts
// `handled`, records `latencies` of the paced messages and the time of the last one handled.
Result measure(QCoreApplication& app, const std::function<void(int, bool)>& send, const int& handled,
               const std::vector<double>& latencies, const int64_t& lastHandled)
{
    run(app, [&] { pacedFeed([&](int i) { send(i, true); }); }, [&] { return handled >= kPaced; });
    int64_t firstIn = 0;
    run(app, [&] {
        firstIn = MidiInputRing::nowNs();
        for (int i = 0; i < kBurst; ++i) send(i, false);
    }, [&] { return handled >= kPaced + kBurst; });
    Result r;
    r.p50us = percentile(latencies, 0.5);
    r.p99us = percentile(latencies, 0.99);
    r.maxus = percentile(latencies, 1.0);
    r.burstMs = double(lastHandled - firstIn) / 1e6;
    return r;
}

Result ours(QCoreApplication& app)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/Devices");
    ControllerTables tables;
    DispatcherState state;
    FakeSurface surface;
    PSoundConfig config;
    TInfo bp, bp2;
    midi::FakeMidiBackend backend;
    backend.setInputs(midi::Api::Jack, {"bench:out"});
    backend.setOutputs(midi::Api::Jack, {"bench:in"});

    std::vector<double> latencies;
    latencies.reserve(kPaced);
    int64_t lastHandled = 0;
    int handled = 0;
    MidiControllers* self = nullptr;
    MidiControllers controllers(tables, state, surface, config, bp, bp2, [&](TInfo&) {
        lastHandled = MidiInputRing::nowNs();
        if (handled < kPaced) latencies.push_back(double(lastHandled - self->current().arrivalNs) / 1e3);
        ++handled;
    }, backend, dir.path());
    self = &controllers;
    controllers.loaderPauseMs = 0;
    controllers.inicializamidifile("bench0");
    if (!controllers.MidiInput1->abierto()) {
        std::fprintf(stderr, "midi_bench: the fake port did not open\n");
        return {};
    }

    const Result r = measure(
        app, [&](int i, bool paced) {
            backend.deliver(midi::Api::Jack, 0, {uint8_t(paced ? 0x90 : 0xB0), uint8_t(i % 128), 100});
        },
        handled, latencies, lastHandled);
    if (controllers.ring().dropped() > 0)
        std::printf("  (ring dropped %llu)\n", static_cast<unsigned long long>(controllers.ring().dropped()));
    return r;
}

Result peer(QCoreApplication& app)
{
    QObject receiver;
    std::vector<double> latencies;
    latencies.reserve(kPaced);
    int handled = 0;
    int64_t lastHandled = 0;
    const auto post = [&](int64_t sent, bool paced) {
        QMetaObject::invokeMethod(&receiver, [&, sent, paced] {
            lastHandled = MidiInputRing::nowNs();
            if (paced) latencies.push_back(double(lastHandled - sent) / 1e3);
            ++handled;
        }, Qt::QueuedConnection);
    };
    return measure(app, [&](int, bool paced) { post(MidiInputRing::nowNs(), paced); }, handled, latencies, lastHandled);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Result p = peer(app);
    const Result o = ours(app);
    std::printf("MIDI input, %d messages one every %lld us, then %d at once\n", kPaced,
                static_cast<long long>(kPace.count()), kBurst);
    std::printf("  ring + eventfd        p50 %7.1f us  p99 %7.1f us  max %8.1f us  burst %6.2f ms\n", o.p50us, o.p99us,
                o.maxus, o.burstMs);
    std::printf("  queued call (peer)    p50 %7.1f us  p99 %7.1f us  max %8.1f us  burst %6.2f ms\n", p.p50us, p.p99us,
                p.maxus, p.burstMs);
    std::printf("  ratio ours/peer       p99 %.2f  burst %.2f\n", p.p99us > 0 ? o.p99us / p.p99us : 0,
                p.burstMs > 0 ? o.burstMs / p.burstMs : 0);
    std::printf("midi to handler us: p50 %.0f, p99 %.0f, burst drained ms: %.2f\n", o.p50us, o.p99us, o.burstMs);
    return 0;
}
