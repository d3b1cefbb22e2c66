// MIDI end to end on the JACK dummy server: a client "ctl" with ports ctl:in and ctl:out is
// stored as MIDI port 1 ("ctl0"); its messages reach the dispatcher through our JACK input,
// the ring and the UI thread; a BTNTOTHRU note comes back to ctl:in through our output.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iterator>
#include <cstdio>
#include <thread>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "controllers/controllerlights.h"
#include "controllers/controllertables.h"
#include "controllers/dispatch/actiondispatcher.h"
#include "controllers/dispatch/controllervalues.h"
#include "controllers/dispatch/dispatcherstate.h"
#include "controllers/dispatch/tinfo.h"
#include "controllers/midi/midicontrollers.h"
#include "controllers/tcontroladora.h"
#include "engine/psoundconfig.h"
#include "platform/midi/midiportcatalog.h"
#include "platform/midi/rtmidibackend.h"
#include "tests/controllers/definitionxml.h"
#include "tests/controllers/fakesurface.h"
#include "tests/controllers/jackmidipeer.h"
#include "tests/support/jackserver.h"

namespace {

// Under ThreadSanitizer the process callbacks are slow enough that a full buffer overruns a period
// and the burst's tail is lost with it. There the burst goes out 16 messages a period; elsewhere
// all at once.
#if defined(__SANITIZE_THREAD__)
constexpr int kPerPeriod = 16;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr int kPerPeriod = 16;
#else
constexpr int kPerPeriod = 0;
#endif
#else
constexpr int kPerPeriod = 0;
#endif

struct Seen {
    TInfo info;
    MidiRingMessage raw;
    int64_t handledNs;
};

template <class F>
bool waitFor(F done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return done();
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

class CtlMidiJack : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
        // one server for the process: libjack keeps the registry it first mapped
        server = new JackServer;
        up = server->start();
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(up);
        peer = std::make_unique<JackMidiPeer>("ctl", kPerPeriod);
        ASSERT_TRUE(peer->ok());
        QDir().mkpath(dir.path() + "/Devices");
        QFile f(dir.path() + "/Devices/ctl.xml");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(definition({{"INPUT", "60", "144", "BTNPLAYA", "127"},
                            {"INPUT", "7", "176", "POTCROSSFADER", "127", "60", "100", "20", "Ctrl"},
                            {"INPUT", "61", "144", "BTNTOTHRU", "99"}}));
        f.close();
        config.portconin = QStringLiteral("ctl0");
        config.controler = QStringLiteral("ctl.xml");
        controllers = std::make_unique<MidiControllers>(
            tables, state, surface, config, bp, bp2,
            [this](TInfo& e) {
                seen.push_back({e, controllers->current(), MidiInputRing::nowNs()});
                dispatcher.updatecontroler(e);
            },
            midi::RtMidiBackend::instance(), dir.path());
        controllers->loaderPauseMs = 0;
    }

    // Sends `messages` and waits until `done`. JACK drops what a client misses in a late period
    // (an xrun, common on a loaded machine with a server that is not real-time): such a send is
    // repeated; a loss without a late period fails.
    template <class F>
    bool sendUntil(const std::vector<JackMidiPeer::Message>& messages, F done, int64_t* sentNs = nullptr)
    {
        return deliverUntil(
            [&] {
                seen.clear();
                if (sentNs) *sentNs = MidiInputRing::nowNs();
                return peer->send(messages);
            },
            done);
    }

    // The same for a send of either side.
    template <class S, class F>
    bool deliverUntil(S send, F done)
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            const int xruns = peer->xruns();
            if (!send()) return false;
            if (waitFor(done, 2000)) return true;
            if (peer->xruns() == xruns) return false;
            ++lostToLatePeriods;
            waitFor([] { return false; }, 200);  // let late deliveries land before starting over
        }
        return false;
    }

    void TearDown() override
    {
        controllers.reset();
        peer.reset();
    }

    static inline JackServer* server = nullptr;
    static inline bool up = false;
    std::unique_ptr<JackMidiPeer> peer;
    QTemporaryDir dir;
    ControllerTables tables;
    ControllerValues values;
    DispatcherState state;
    FakeSurface surface{&values};
    ActionDispatcher dispatcher{surface, values, state, tables};
    PSoundConfig config;
    TInfo bp, bp2;
    std::vector<Seen> seen;
    int lostToLatePeriods = 0;
    std::unique_ptr<MidiControllers> controllers;
};

}  // namespace

TEST_F(CtlMidiJack, ControllerOnJackDrivesTheDispatcherAndItsThruComesBack)
{
    controllers->inicializamidifile(config.portconin);
    ASSERT_TRUE(controllers->inicializada_controladora);
    ASSERT_TRUE(config.inicializada) << (surface.messages.empty() ? "" : surface.messages[0].toStdString());
    ASSERT_TRUE(peer->waitConnected());
    // our own ports are never listed
    for (const auto& p : midi::MidiPortCatalog::inputs(midi::RtMidiBackend::instance()))
        EXPECT_EQ(p.rawName.find("ostrelkorvanta"), std::string::npos) << p.rawName;
    // both lists at one look are the lists looked at one by one
    const auto names = [](const std::vector<midi::ListedPort>& ports) {
        std::vector<std::string> n;
        for (const auto& p : ports) n.push_back(p.listedName + " " + p.rawName);
        return n;
    };
    const auto [ins, outs] = midi::MidiPortCatalog::inputsAndOutputs(midi::RtMidiBackend::instance());
    EXPECT_EQ(names(ins), names(midi::MidiPortCatalog::inputs(midi::RtMidiBackend::instance())));
    EXPECT_EQ(names(outs), names(midi::MidiPortCatalog::outputs(midi::RtMidiBackend::instance())));
    EXPECT_FALSE(ins.empty());
    EXPECT_FALSE(outs.empty());

    ASSERT_TRUE(sendUntil({{0x90, 60, 127}}, [&] { return !seen.empty(); }));
    EXPECT_EQ(seen[0].info.accion, 1);
    EXPECT_EQ(seen[0].info.valor, 127);
    EXPECT_EQ(surface.calls.back(), "MouseDown btnplay1");

    seen.clear();
    // controller 8 is filtered out: only the first message arrives
    ASSERT_TRUE(sendUntil({{0xB0, 8, 70}, {0xB0, 7, 70}}, [&] { return !seen.empty(); }));
    EXPECT_EQ(seen[0].info.accion, 139);
    EXPECT_EQ(seen[0].info.valor, 50);  // reversed bounds 100..20 around 60
    EXPECT_EQ(seen[0].raw.data1, 7);

    std::vector<JackMidiPeer::Message> back;
    ASSERT_TRUE(sendUntil({{0x90, 61, 127}}, [&] {
        for (const auto& m : peer->received()) back.push_back(m);
        return !back.empty();
    }));
    EXPECT_EQ(back[0], (JackMidiPeer::Message{0x90, 61, 99}));
}

TEST_F(CtlMidiJack, BurstArrivesCompleteAndInOrderAndTheJackLegIsMeasured)
{
    controllers->inicializamidifile(config.portconin);
    ASSERT_TRUE(config.inicializada);
    ASSERT_TRUE(peer->waitConnected());

    // single messages at a pace unrelated to the period: queued at ctl:out to our callback, and
    // to the handler on the UI thread
    std::vector<double> jackLeg, toHandler;
    for (int i = 0; i < 150; ++i) {
        const uint8_t tag = uint8_t(i % 128);
        int64_t sent = 0;
        ASSERT_TRUE(sendUntil({{0x90, tag, 127}}, [&] {
            return std::any_of(seen.begin(), seen.end(), [&](const Seen& x) { return x.raw.data1 == tag; });
        }, &sent)) << "message " << i;
        const Seen& x = *std::find_if(seen.begin(), seen.end(), [&](const Seen& s) { return s.raw.data1 == tag; });
        jackLeg.push_back(double(x.raw.arrivalNs - sent) / 1e6);
        toHandler.push_back(double(x.handledNs - sent) / 1e6);
        seen.clear();
        std::this_thread::sleep_for(std::chrono::microseconds(1000 + 373 * (i % 7)));
    }
    std::printf("JACK leg (queued at ctl:out to our callback) ms: p50 %.2f, p99 %.2f; to the handler p99 %.2f\n",
                percentile(jackLeg, 0.5), percentile(jackLeg, 0.99), percentile(toHandler, 0.99));

    // each attempt on a channel of its own, so that a late delivery of an earlier one is told apart
    constexpr int kBurst = 2000;
    std::vector<Seen> got;
    bool clean = false;
    for (int attempt = 0; attempt < 5 && got.size() < size_t(kBurst); ++attempt) {
        const uint8_t status = uint8_t(0x90 | attempt);
        std::vector<JackMidiPeer::Message> burst;
        for (int i = 0; i < kBurst; ++i) burst.push_back({status, uint8_t(i % 128), uint8_t(1 + i / 128)});
        const int xruns = peer->xruns();
        const auto mine = [&] {
            got.clear();
            std::copy_if(seen.begin(), seen.end(), std::back_inserter(got), [&](const Seen& x) { return x.raw.status == status; });
            return got.size() >= size_t(kBurst);
        };
        ASSERT_TRUE(peer->send(burst));
        const bool complete = waitFor(mine, 10000);
        // the first message out of place, or kBurst when all came in order
        int wrong = 0;
        while (wrong < kBurst && size_t(wrong) < got.size() && got[size_t(wrong)].raw.data1 == wrong % 128 &&
               got[size_t(wrong)].raw.data2 == 1 + wrong / 128)
            ++wrong;
        if (complete && wrong == kBurst) {
            clean = true;
            break;
        }
        // a late period drops what the peer sent in it, or hands its last buffer on once more
        ASSERT_NE(peer->xruns(), xruns) << "without a late period: " << got.size() << " arrived, the first out of place at "
                                        << wrong;
        ++lostToLatePeriods;
    }
    ASSERT_TRUE(clean) << "every attempt had a late period";
    EXPECT_EQ(controllers->ring().dropped(), 0u);
    std::printf("burst of %d drained in %.2f ms from the first arrival; %d sends repeated after late periods\n",
                kBurst, double(got.back().handledNs - got.front().raw.arrivalNs) / 1e6, lostToLatePeriods);
}

// At the close every lit light goes off: the off messages, sent right before the output port
// closes, all reach the controller. A late period drops what the peer missed in it: such an
// attempt is made again; a loss without one fails.
TEST_F(CtlMidiJack, LightsOffAtTheCloseReachTheController)
{
    QFile f(dir.path() + "/Devices/ctl.xml");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray xml = "<DATAPACKET>";
    // the deck lights that follow button down states, on notes 1 and up
    int lights = 0;
    TControladora names(tables, surface, dir.path());
    for (int code = 1; code <= 100; ++code) {
        if (code == 3 || code == 50 || code == 53 || code == 100) continue;  // blink-dependent or always off
        ++lights;
        xml += rowXml({"OUTPUT", std::to_string(lights).c_str(), "144",
                       names.midiconstl[size_t(code)].toLatin1().constData(), "127"});
    }
    f.write(xml + "</DATAPACKET>");
    f.close();

    bool done = false;
    for (int attempt = 0; attempt < 5 && !done; ++attempt) {
        if (!controllers)
            controllers = std::make_unique<MidiControllers>(tables, state, surface, config, bp, bp2,
                                                            [](TInfo&) {}, midi::RtMidiBackend::instance(), dir.path());
        controllers->loaderPauseMs = 0;
        controllers->inicializamidifile(config.portconin);
        ASSERT_TRUE(config.inicializada);
        ASSERT_TRUE(peer->waitConnected());
        const int xruns = peer->xruns();
        ControllerLights out(tables, state, surface, config, *controllers, nullptr);

        for (int i = 0; i <= int(SurfaceButton::bggrupos); ++i) surface.SetDown(SurfaceButton(i), true);
        state.luces = QString(242, QLatin1Char('0'));
        out.updatemidilights();
        std::vector<JackMidiPeer::Message> on;
        waitFor([&] {
            for (const auto& m : peer->received()) on.push_back(m);
            return on.size() >= size_t(lights);
        }, 3000);

        out.apagamidilights();
        controllers.reset();  // the output port closes right after the off messages
        std::vector<JackMidiPeer::Message> off;
        waitFor([&] {
            for (const auto& m : peer->received()) off.push_back(m);
            return off.size() >= size_t(lights);
        }, 3000);
        if (on.size() == size_t(lights) && off.size() == size_t(lights)) {
            for (const auto& m : on) EXPECT_EQ(m[2], 127);
            for (const auto& m : off) {
                EXPECT_EQ(m[0], 0x90);
                EXPECT_EQ(m[2], 0);
            }
            done = true;
        } else {
            ASSERT_NE(peer->xruns(), xruns) << "lost without a late period: on " << on.size() << ", off " << off.size();
            waitFor([] { return false; }, 200);
            peer->received();
        }
    }
    EXPECT_TRUE(done);
}

// Ports opened and closed over and over while messages flow both ways: a close comes while the
// port's process cycle may be running, which must neither crash nor lose what was sent before
// it (every message an output sent reaches the controller). A late period drops what the peer
// missed in it; such a round is not counted.
TEST_F(CtlMidiJack, PortsClosedWhileMessagesFlowEndCleanly)
{
    midi::Backend& backend = midi::RtMidiBackend::instance();
    const auto find = [](const std::vector<midi::ListedPort>& ports, const char* raw) {
        for (const auto& p : ports)
            if (p.api == midi::Api::Jack && p.rawName == raw) return p;
        return midi::ListedPort{};
    };
    const midi::ListedPort out = find(midi::MidiPortCatalog::outputs(backend), "ctl:in");
    const midi::ListedPort in = find(midi::MidiPortCatalog::inputs(backend), "ctl:out");
    ASSERT_EQ(out.rawName, "ctl:in");
    ASSERT_EQ(in.rawName, "ctl:out");

    struct Count {
        std::atomic<int> n{0};
        static void callback(void* user, const uint8_t*, size_t) { ++static_cast<Count*>(user)->n; }
    } count;
    int rounds = 0, lost = 0;
    for (int round = 0; round < 40; ++round) {
        peer->received();
        const int xruns = peer->xruns();
        std::string why;
        auto input = backend.openInput(midi::Api::Jack, in.rawIndex, in.rawName, &Count::callback, &count, &why);
        ASSERT_TRUE(input) << why << " in round " << round;
        auto output = backend.openOutput(midi::Api::Jack, out.rawIndex, out.rawName, &why);
        ASSERT_TRUE(output) << why;
        std::vector<JackMidiPeer::Message> stream(200, {0x90, 1, 1});
        ASSERT_TRUE(peer->send(stream));  // arriving while the input closes
        // the output is connected once the peer's input sees a connection
        ASSERT_TRUE(peer->waitConnected());
        for (int i = 0; i < 20; ++i) {
            const uint8_t m[3] = {0x90, uint8_t(round), uint8_t(i)};
            ASSERT_TRUE(output->send(m, 3, &why)) << why;
        }
        output.reset();
        input.reset();
        std::vector<JackMidiPeer::Message> got;
        waitFor([&] {
            for (const auto& m : peer->received()) got.push_back(m);
            return got.size() >= 20;
        }, 2000);
        if (got.size() != 20 && peer->xruns() != xruns) {
            ++lost;
            continue;
        }
        ASSERT_EQ(got.size(), 20u) << "round " << round;
        for (int i = 0; i < 20; ++i) EXPECT_EQ(got[size_t(i)], (JackMidiPeer::Message{0x90, uint8_t(round), uint8_t(i)}));
        ++rounds;
    }
    std::printf("%d rounds of open, send and close; %d rounds lost to late periods; %d messages read\n", rounds, lost,
                count.n.load());
    EXPECT_GT(rounds, 0);
}

// A JACK port is opened by its name wherever it stands in the list; a name no longer there, or a
// port that runs the other way, is refused with the name in the reason. The lists follow the
// server's ports as clients come and go.
TEST_F(CtlMidiJack, PortsAreFoundByNameAndAGoneOneIsRefusedWithItsName)
{
    midi::Backend& backend = midi::RtMidiBackend::instance();
    struct Count {
        std::atomic<int> n{0};
        static void callback(void* user, const uint8_t*, size_t) { ++static_cast<Count*>(user)->n; }
    } count;
    std::string why;
    auto input = backend.openInput(midi::Api::Jack, 999, "ctl:out", &Count::callback, &count, &why);
    ASSERT_TRUE(input) << why;
    auto output = backend.openOutput(midi::Api::Jack, 999, "ctl:in", &why);
    ASSERT_TRUE(output) << why;
    ASSERT_TRUE(peer->waitConnected());
    const uint8_t note[3] = {0x90, 5, 6};
    std::vector<JackMidiPeer::Message> back;
    EXPECT_TRUE(deliverUntil([&] { return output->send(note, 3, &why); },
                             [&] {
                                 for (const auto& m : peer->received()) back.push_back(m);
                                 return !back.empty();
                             }))
        << why;
    EXPECT_TRUE(deliverUntil([&] { return peer->send({{0x90, 1, 1}}); }, [&] { return count.n.load() > 0; }));
    // a block longer than the output can ever hold is refused at once, and the output goes on
    std::vector<uint8_t> block(20000, 0x10);
    block.front() = 0xF0;
    block.back() = 0xF7;
    EXPECT_FALSE(output->send(block.data(), block.size(), &why));
    EXPECT_EQ(why, "the MIDI message is too long for a JACK port");
    EXPECT_TRUE(output->send(note, 3, &why)) << why;
    output.reset();
    input.reset();

    const struct {
        bool input;
        const char* name;
    } refused[] = {{true, "ctl:gone"}, {false, "ctl:gone"}, {true, "ctl:in"}, {false, "ctl:out"}};
    for (const auto& r : refused) {
        why.clear();
        const bool opened = r.input ? bool(backend.openInput(midi::Api::Jack, 0, r.name, &Count::callback, &count, &why))
                                    : bool(backend.openOutput(midi::Api::Jack, 0, r.name, &why));
        EXPECT_FALSE(opened) << r.name;
        EXPECT_EQ(why, std::string("the port ") + r.name + " is gone");
    }

    const auto listed = [&](const char* raw) {
        std::vector<std::string> ins, outs;
        backend.portNames(midi::Api::Jack, ins, outs);
        return std::count(ins.begin(), ins.end(), raw) + std::count(outs.begin(), outs.end(), raw);
    };
    EXPECT_EQ(listed("ctl:out") + listed("ctl:in"), 2);
    peer.reset();
    EXPECT_EQ(listed("ctl:out") + listed("ctl:in"), 0);
    peer = std::make_unique<JackMidiPeer>("ctl", kPerPeriod);
    ASSERT_TRUE(peer->ok());
    EXPECT_EQ(listed("ctl:out") + listed("ctl:in"), 2);
}
