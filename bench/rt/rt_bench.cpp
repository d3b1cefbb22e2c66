// Deck A plays a 10-minute track on a paced JACK server of our own (the tests' fixture: dummy
// driver, 256-frame periods) while deck B, on the same output, loads, scans (peaks and tempo), plays, toggles
// key lock, reloads and unloads 10-minute mp3, flac and wav files, one after the other. Two
// runs, deck A's key lock off then on.
//
//   rt_bench [seconds per run]   (60 by default)
//
// The sound layer times each wait of an audio thread for the graph lock (wall time) and each
// hold of it by any other thread (that thread's CPU time). The peer: a bare JACK client on the
// same server in the same minutes, counting its own late callbacks.
//
// Each run also names the calls that held the lock longest, in CPU time and in wall time
// (preemption of the holder included), by the holder's stack, and says how many of our late
// callbacks were late by their own CPU time alone. On stderr: the holds past 50 us by call,
// and the sound functions that held the lock longest in all.
//
// Last line: "rt lock wait us (p99.9, max): W, M, longest hold us: H, late callbacks: L (bare
// peer: B)". M includes preemption of the holder; H is CPU time, so it does not.
#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QProcess>
#include <QTemporaryDir>

#include "engine/cargaasio.h"
#include "engine/psoundconfig.h"
#include "engine/tdamepicos.h"
#include "platform/sound/graph.h"
#include "platform/sound/sound.h"
#include "tests/support/jackpeer.h"
#include "tests/support/jackserver.h"
#include "tests/support/jacksystemdevice.h"

using namespace sound;

namespace {

constexpr int kPeriod = 256;
constexpr int kTrackSeconds = 600;

// The call that held the lock: the holder's stack, taken as it lets go.
struct Site {
    static constexpr int kDepth = 24;
    void* frames[kDepth] = {};
    int depth = 0;
    void take() { depth = backtrace(frames, kDepth); }
    // "outer < ... < inner" over our own functions, the lock's own frames left out
    std::string name() const
    {
        std::string out;
        char** sym = backtrace_symbols(frames, depth);
        if (!sym) return out;
        int named = 0;
        for (int i = 0; i < depth && named < 4; ++i) {
            std::string f = sym[i];
            const std::size_t a = f.find('('), b = f.find('+', a);
            if (a == std::string::npos || b == std::string::npos || b == a + 1) continue;
            f = f.substr(a + 1, b - a - 1);
            int status = 0;
            if (char* d = abi::__cxa_demangle(f.c_str(), nullptr, nullptr, &status)) {
                f = d;
                std::free(d);
            }
            if (f.find("GraphMutex") != std::string::npos || f.find("Recorder") != std::string::npos ||
                f.find("Site::") != std::string::npos || f.find("std::") == 0 || f.find("lock_guard") != std::string::npos)
                continue;
            if (const std::size_t paren = f.find('('); paren != std::string::npos) f.resize(paren);
            out += (named++ ? " < " : "") + f;
        }
        std::free(sym);
        return out;
    }
};

// Waits of audio threads in a fixed array (no allocation on the audio thread); holds under the
// graph lock itself, so one writer at a time. The longest hold in CPU time and the longest in
// wall time (preemption and blocking included) keep their call sites.
struct Recorder : GraphMutex::Timing {
    explicit Recorder(std::size_t n) : waits(n)
    {
        holds.reserve(1 << 20);
        Site warm;
        warm.take();  // loads the unwinder now, not under a hold
    }
    void audioWait(std::int64_t ns) override
    {
        const std::size_t i = count.fetch_add(1, std::memory_order_relaxed);
        if (i < waits.size()) waits[i] = ns;
    }
    void hold(std::int64_t cpuNs, std::int64_t wallNs, const void* site) override
    {
        for (std::size_t i = std::hash<const void*>{}(site) % sites.size(), k = 0; k < sites.size();
             ++k, i = (i + 1) % sites.size()) {
            SiteTotal& e = sites[i];
            if (e.site && e.site != site) continue;
            e.site = site;
            ++e.count;
            e.cpuNs += cpuNs;
            e.wallNs += wallNs;
            break;
        }
        if (cpuNs > longest) {
            longest = cpuNs;
            longestSite.take();
        }
        if (wallNs > longestWall) {
            longestWall = wallNs;
            longestWallCpu = cpuNs;
            longestWallSite.take();
        }
        if (holds.size() < holds.capacity()) holds.push_back(cpuNs);
        if (cpuNs > kLong && nLong < longHolds.size()) {
            longHolds[nLong].cpuNs = cpuNs;
            longHolds[nLong++].site.take();
        }
    }
    // the holds past kLong, by call site, and the functions that held the lock longest in all,
    // to stderr
    void listLong() const
    {
        std::vector<SiteTotal> top;
        for (const SiteTotal& e : sites)
            if (e.site) top.push_back(e);
        std::sort(top.begin(), top.end(), [](const SiteTotal& a, const SiteTotal& b) { return a.wallNs > b.wallNs; });
        std::int64_t cpu = 0, wall = 0, n = 0;
        for (const SiteTotal& e : top) {
            cpu += e.cpuNs;
            wall += e.wallNs;
            n += e.count;
        }
        std::fprintf(stderr, "  %lld holds, %.1f ms cpu, %.1f ms wall; by function:\n", (long long)n, double(cpu) / 1e6,
                     double(wall) / 1e6);
        for (std::size_t i = 0; i < top.size() && i < 12; ++i) {
            Dl_info info{};
            std::string f = dladdr(top[i].site, &info) && info.dli_sname ? info.dli_sname : "?";
            int status = 0;
            if (char* d = abi::__cxa_demangle(f.c_str(), nullptr, nullptr, &status)) {
                f = d;
                std::free(d);
            }
            std::fprintf(stderr, "    %6lld holds, %8.1f us cpu, %8.1f us wall: %s\n", (long long)top[i].count,
                         double(top[i].cpuNs) / 1e3, double(top[i].wallNs) / 1e3, f.c_str());
        }
        std::map<std::string, std::pair<int, std::int64_t>> bySite;
        for (std::size_t i = 0; i < nLong; ++i) {
            auto& e = bySite[longHolds[i].site.name()];
            ++e.first;
            e.second = std::max(e.second, longHolds[i].cpuNs);
        }
        for (const auto& [site, e] : bySite)
            std::fprintf(stderr, "  %d holds over %lld us, longest %.1f: %s\n", e.first, (long long)(kLong / 1000),
                         double(e.second) / 1000.0, site.c_str());
    }
    void reset()
    {
        count = 0;
        longest = longestWall = longestWallCpu = 0;
        holds.clear();
        nLong = 0;
        std::fill(sites.begin(), sites.end(), SiteTotal{});
    }
    std::vector<std::int64_t> waits;
    std::atomic<std::size_t> count{0};
    std::vector<std::int64_t> holds;
    std::int64_t longest = 0, longestWall = 0, longestWallCpu = 0;
    Site longestSite, longestWallSite;
    static constexpr std::int64_t kLong = 50000;
    struct LongHold {
        std::int64_t cpuNs = 0;
        Site site;
    };
    std::vector<LongHold> longHolds = std::vector<LongHold>(4096);
    struct SiteTotal {
        const void* site = nullptr;
        std::int64_t count = 0, cpuNs = 0, wallNs = 0;
    };
    std::vector<SiteTotal> sites = std::vector<SiteTotal>(1024);
    std::size_t nLong = 0;
};

bool make(const QString& out, const QStringList& codec)
{
    QStringList args{"-v", "error", "-y", "-f", "lavfi", "-i",
                     QString("sine=frequency=330:sample_rate=44100:duration=%1").arg(kTrackSeconds), "-ac", "2"};
    args << codec << out;
    return QProcess::execute("ffmpeg", args) == 0;
}

// The floor the machine sets for the holds: a thread of ours that, every millisecond, times a
// few microseconds of arithmetic as the lock's holds are timed (CPU time inside wall time).
// Its longest section is what preemption of the virtual CPU and interrupts add to a hold of
// no length.
struct SectionPeer {
    std::atomic<bool> quit{false};
    std::atomic<std::int64_t> longestCpu{0};
    std::thread thread;
    static std::int64_t now(clockid_t c)
    {
        timespec ts{};
        clock_gettime(c, &ts);
        return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }
    void start()
    {
        thread = std::thread([this] {
            volatile float x = 1.0f;
            while (!quit.load(std::memory_order_relaxed)) {
                const std::int64_t c0 = now(CLOCK_THREAD_CPUTIME_ID);
                for (int i = 0; i < 1000; ++i) x = x * 0.999999f + 1e-7f;
                const std::int64_t c = now(CLOCK_THREAD_CPUTIME_ID) - c0;
                if (c > longestCpu.load(std::memory_order_relaxed)) longestCpu.store(c, std::memory_order_relaxed);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    ~SectionPeer()
    {
        quit = true;
        if (thread.joinable()) thread.join();
    }
};

struct Result {
    double p999 = 0, max = 0, hold = 0, wallHold = 0, wallHoldCpu = 0, peerSection = 0;
    std::uint64_t late = 0, lateCpu = 0, bareLate = 0, callbacks = 0, waits = 0, cycles = 0;
    std::string holdSite, wallHoldSite;
};

Result run(bool keylockA, double seconds, const QString& trackA, const std::vector<QString>& tracksB, DeviceRef dev,
           Recorder& rec)
{
    PSoundConfig cfg;
    cfg.usekeylock = true;
    cfg.brake = 5;
    const Handle master = createMixer(deviceRate(dev), 2, Decode | NonStop);
    auto deck = [&](int n) {
        auto d = std::make_unique<cargaasio>(&cfg, n);
        d->offlinerender = true;
        d->device = 0;
        d->basseqfx->vol = 100;
        d->CMaster = master;
        return d;
    };
    auto a = deck(1), b = deck(2);
    TDamepicos scan(BpmEntryPoints{}, QStringLiteral("ostrel2"));
    scan.cacheFileFor = [](const QString&) { return QString(); };
    b->creo_onda2 = &scan;
    a->filename = trackA;
    a->Load(trackA);
    a->SetDmcSlider(-int(std::lround(a->freq * 1.02)));
    a->setkeylock(keylockA);
    a->Play();
    const Handle out = openOutput(dev, master, {0, Side::Pair, -1});
    std::this_thread::sleep_for(std::chrono::seconds(1));

    JackPeer peer;
    const bool peerOk = peer.open("bare_peer");
    SectionPeer section;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    DeviceStats s0, s1;
    getDeviceStats(dev, s0);
    const std::uint64_t peer0 = peer.count().late;
    rec.reset();
    GraphMutex::setTiming(&rec);
    section.start();
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::uint64_t cycles = 0;
    bool lock = false;
    while (std::chrono::steady_clock::now() < end) {
        const QString& f = tracksB[cycles % tracksB.size()];
        b->filename = f;
        b->Load(f);
        b->SetDmcSlider(-int(std::lround(b->freq)));
        b->Play();
        b->CalculaBPM();
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        lock = !lock;
        b->setkeylock(lock);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        b->reloadcancion();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        b->Unload();
        ++cycles;
    }
    GraphMutex::setTiming(nullptr);
    const std::int64_t sectionCpu = section.longestCpu.load();
    getDeviceStats(dev, s1);
    Result r;
    r.bareLate = peerOk ? peer.count().late - peer0 : 0;

    closeOutput(out);
    b.reset();
    a.reset();
    freeStream(master);

    const std::size_t n = std::min(rec.count.load(), rec.waits.size());
    std::vector<std::int64_t> w(rec.waits.begin(), rec.waits.begin() + std::ptrdiff_t(n));
    std::sort(w.begin(), w.end());
    r.waits = n;
    if (n) {
        r.p999 = double(w[std::min(n - 1, std::size_t(double(n) * 0.999))]) / 1000.0;
        r.max = double(w.back()) / 1000.0;
    }
    r.hold = double(rec.longest) / 1000.0;
    r.peerSection = double(sectionCpu) / 1000.0;
    rec.listLong();
    r.holdSite = rec.longestSite.name();
    r.wallHold = double(rec.longestWall) / 1000.0;
    r.wallHoldCpu = double(rec.longestWallCpu) / 1000.0;
    r.wallHoldSite = rec.longestWallSite.name();
    r.late = s1.lateCallbacks - s0.lateCallbacks;
    r.lateCpu = s1.lateCpuCallbacks - s0.lateCpuCallbacks;
    r.callbacks = s1.callbacks - s0.callbacks;
    r.cycles = cycles;
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    QTemporaryDir dir;
    const QString trackA = dir.filePath("a.wav");
    std::vector<QString> tracksB{dir.filePath("b.mp3"), dir.filePath("b.flac"), dir.filePath("b.wav")};
    std::fprintf(stderr, "making 10-minute tracks...\n");
    if (!make(trackA, {}) || !make(tracksB[0], {"-c:a", "libmp3lame", "-b:a", "192k"}) || !make(tracksB[1], {}) ||
        !make(tracksB[2], {})) {
        std::fprintf(stderr, "ffmpeg could not make the tracks\n");
        return 1;
    }
    JackServer jack(44100, kPeriod);
    const DeviceRef dev = openJackSystemDevice(jack);
    if (dev.index < 0) return 1;
    Recorder rec(std::size_t(seconds * 44100 / kPeriod * 4) + 4096);
    Result all;
    for (bool keylockA : {false, true}) {
        const Result r = run(keylockA, seconds, trackA, tracksB, dev, rec);
        std::printf("deck A key lock %s: %.0f s, deck B cycles %llu, callbacks %llu, lock waits %llu; wait us p99.9 "
                    "%.1f, max %.1f; longest hold us %.1f; late callbacks %llu (bare peer %llu)\n",
                    keylockA ? "on" : "off", seconds, (unsigned long long)r.cycles, (unsigned long long)r.callbacks,
                    (unsigned long long)r.waits, r.p999, r.max, r.hold, (unsigned long long)r.late,
                    (unsigned long long)r.bareLate);
        std::printf("  longest hold (cpu) %.1f us in %s\n", r.hold, r.holdSite.c_str());
        std::printf("  longest few-microsecond section of a peer thread (cpu): %.1f us\n", r.peerSection);
        std::printf("  longest hold (wall) %.1f us (cpu %.1f) in %s\n", r.wallHold, r.wallHoldCpu,
                    r.wallHoldSite.c_str());
        std::printf("  late callbacks whose own cpu time passed the period: %llu\n", (unsigned long long)r.lateCpu);
        std::fflush(stdout);
        all.p999 = std::max(all.p999, r.p999);
        all.max = std::max(all.max, r.max);
        all.hold = std::max(all.hold, r.hold);
        all.late += r.late;
        all.bareLate += r.bareLate;
    }
    freeDevice(dev);
    freeAll();
    jack.stop();
    std::printf("rt lock wait us (p99.9, max): %.1f, %.1f, longest hold us: %.1f, late callbacks: %llu (bare peer: %llu)\n",
                all.p999, all.max, all.hold, (unsigned long long)all.late, (unsigned long long)all.bareLate);
    return 0;
}
