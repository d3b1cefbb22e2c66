// Real-time output on a dummy JACK server of our own: four looping sources, each with every
// effect on, mixed and played for a minute at 256-frame periods. The peer, in the same run:
// an offline render of an identical graph for the same length of audio.
//
//   output_bench [seconds]        (60 by default)
//
// Two more peers run beside it on the same server in the same minute, JACK clients whose
// callbacks do arithmetic for as long as ours takes on average: one touches nothing else, the
// other also reads one word from each of 256 scattered pages of a 64 MB block, as a callback
// that walks decoded tracks and delay lines does. What happens to them happens to the machine,
// not to our code: their late callbacks are the floor this machine sets.
//
// Last line: "output late callbacks: N, callback cpu: P %": N the callbacks whose own work
// ran past their period, P our callback time as a share of one core.
#include "platform/sound/sound.h"
#include "tests/support/jackpeer.h"
#include "tests/support/jacksystemdevice.h"
#include "tests/support/jackserver.h"

#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

using namespace sound;

namespace {

constexpr int kSources = 4;
constexpr int kPeriod = 256;

std::int64_t nowNs(clockid_t clock)
{
    timespec ts;
    clock_gettime(clock, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double cpuNow() { return double(nowNs(CLOCK_THREAD_CPUTIME_ID)) / 1e9; }

void printPeer(const char* what, bool ok, const JackPeer::Count& a, const JackPeer::Count& b)
{
    if (!ok) {
        std::printf("%s: could not open\n", what);
        return;
    }
    const std::uint64_t n = b.callbacks - a.callbacks;
    std::printf("%s: %llu callbacks of %.3f ms cpu each; late by wall time: %llu, by cpu time alone: %llu\n", what,
                (unsigned long long)n, n ? double(b.cpuNs - a.cpuNs) / 1e6 / double(n) : 0.0,
                (unsigned long long)(b.late - a.late), (unsigned long long)(b.lateCpu - a.lateCpu));
}

// four looping sources, every effect on each, summed by one mixer
Handle buildGraph(const std::vector<std::string>& files, int rate, unsigned mixerFlags)
{
    Handle mixer = createMixer(rate, 2, mixerFlags);
    for (const std::string& f : files) {
        Handle d = openFile(f, Decode | Loop);
        if (!d || !mixerAdd(mixer, d, NoRampIn)) return 0;
        Handle eq = addFx(d, FxType::PeakEq, 5);
        const float centres[3] = {125, 1000, 8000}, gains[3] = {6, -25, -20};
        for (int b = 0; b < 3; ++b) setFxParams(eq, PeakEqParams{b, 2.5f, 0, centres[b], gains[b], -1});
        setFxParams(addFx(d, FxType::Volume, 6), VolumeParams{1.2f, -1});
        setFxParams(addFx(d, FxType::Echo, 4), EchoParams{0.9f, 0.6f, 0.375f, -1});
        setFxParams(addFx(d, FxType::Flanger, 3), FlangerParams{0.35f, 0.8f, -1});
        setFxParams(addFx(d, FxType::AutoWah, 2), AutoWahParams{1.0f, 0.5f, 0.3f, 5.0f, 5.3f, 100.0f, -1});
        setFxParams(addFx(d, FxType::Reverb, 1), ReverbParams{0.35f, 1200, -1});
        setAttribute(d, Attribute::Volume, 0.25f);
    }
    return mixer;
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    QTemporaryDir dir;
    std::vector<std::string> files;
    const char* kinds[kSources] = {"sine 220", "square 330", "pinknoise", "sawtooth 440"};
    for (int i = 0; i < kSources; ++i) {
        const QString path = dir.filePath(QString("source%1.wav").arg(i));
        QProcess::execute("sox", QStringList{"-n", "-r", "44100", "-c", "2", "-b", "16", path, "synth", "7"} +
                                     QString(kinds[i]).split(' ') + QStringList{"vol", "0.5"});
        files.push_back(path.toStdString());
    }

    // the peer: the same graph rendered offline, as fast as it goes
    const int rate = 44100;
    Handle offline = buildGraph(files, rate, Decode | NonStop | FloatOut);
    if (!offline) {
        std::fprintf(stderr, "cannot build the graph: %s\n", errorText(lastError()));
        return 1;
    }
    std::vector<float> block(size_t(kPeriod) * 2);
    const long periods = long(seconds * rate / kPeriod);
    const double c0 = cpuNow();
    double slowest = 0;
    long slowPeriods = 0;
    for (long i = 0; i < periods; ++i) {
        const double t = cpuNow();
        getData(offline, block.data(), kPeriod * 8);
        const double took = cpuNow() - t;
        slowest = std::max(slowest, took);
        if (took > double(kPeriod) / rate) ++slowPeriods;
    }
    const double offlineCpu = cpuNow() - c0;
    freeAll();

    JackServer jack(rate, kPeriod);
    const DeviceRef dev = openJackSystemDevice(jack);
    if (dev.index < 0) return 1;
    Handle live = buildGraph(files, deviceRate(dev), Decode | NonStop);
    openOutput(dev, live, {0, Side::Pair, -1});

    // a second to settle: the first periods fault in the sources and effect lines
    std::this_thread::sleep_for(std::chrono::seconds(1));
    DeviceStats start, end;
    getDeviceStats(dev, start);
    // the peers get our mean callback time of the settling second
    JackPeer bare, paged;
    const bool bareOk = bare.open("bare_peer", 0), pagedOk = paged.open("paging_peer", 256);
    const long rounds = start.callbacks > 0 ? JackPeer::roundsFor(start.cpuSeconds / double(start.callbacks)) : 0;
    bare.setRounds(rounds);
    paged.setRounds(rounds);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const JackPeer::Count bare0 = bare.count(), paged0 = paged.count();
    getDeviceStats(dev, start);
    const auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    getDeviceStats(dev, end);
    const JackPeer::Count bare1 = bare.count(), paged1 = paged.count();
    bare.close();
    paged.close();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    freeDevice(dev);
    freeAll();
    jack.stop();

    const std::uint64_t callbacks = end.callbacks - start.callbacks, late = end.lateCallbacks - start.lateCallbacks;
    const std::uint64_t lateCpu = end.lateCpuCallbacks - start.lateCpuCallbacks;
    const double cpu = end.cpuSeconds - start.cpuSeconds;
    const double played = double(end.frames - start.frames) / end.rate;
    std::printf("output: %.1f s of wall time, %.1f s played at %d Hz in %d-frame periods, %d sources, 6 effects each\n",
                wall, played, end.rate, kPeriod, kSources);
    std::printf("callbacks: %llu, our callback time: %.3f s cpu, %.3f s wall\n", (unsigned long long)callbacks, cpu,
                end.busySeconds - start.busySeconds);
    std::printf("late by wall time: %llu, of them late by their own cpu time alone: %llu\n",
                (unsigned long long)late, (unsigned long long)lateCpu);
    std::printf("offline render of the same graph: %.3f s cpu for %.1f s of audio (realtime factor %.0f)\n", offlineCpu,
                seconds, offlineCpu > 0 ? seconds / offlineCpu : 0.0);
    std::printf("offline periods slower than real time: %ld, slowest %.2f ms\n", slowPeriods, slowest * 1000);
    std::printf("callback cpu per second played vs offline render: ratio %.2f\n",
                played > 0 && offlineCpu > 0 ? (cpu / played) / (offlineCpu / seconds) : 0.0);
    printPeer("bare peer client, same server, same minute", bareOk, bare0, bare1);
    printPeer("peer client reading 256 scattered pages a period", pagedOk, paged0, paged1);
    std::printf("output late callbacks: %llu, callback cpu: %.2f %%\n", (unsigned long long)late, 100.0 * cpu / wall);
    return 0;
}
