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

#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <csignal>
#include <fcntl.h>
#include <jack/jack.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace sound;

namespace {

constexpr int kSources = 4;
constexpr int kPeriod = 256;

pid_t startJack(const std::string& name)
{
    pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
        execlp("jackd", "jackd", "--no-realtime", "-n", name.c_str(), "-d", "dummy", "-r", "44100", "-p",
               std::to_string(kPeriod).c_str(), "-P", "4", "-C", "4", static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

void stopJack(pid_t pid)
{
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

std::int64_t nowNs(clockid_t clock)
{
    timespec ts;
    clock_gettime(clock, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double cpuNow() { return double(nowNs(CLOCK_THREAD_CPUTIME_ID)) / 1e9; }

// A peer client: each period, a fixed count of dependent multiply-adds and, if it has a block,
// one read from each of `pages` pages spread over it; timed as ours are.
struct Spinner {
    static constexpr std::size_t kPageFloats = 1024;
    std::atomic<long> rounds{0};
    std::atomic<std::uint64_t> callbacks{0}, late{0}, lateCpu{0}, cpuNs{0};
    double periodNs = 0;
    std::vector<float> block;
    std::size_t pages = 0, next = 0;
    jack_client_t* client = nullptr;
    jack_port_t* port = nullptr;

    static float spin(long n)
    {
        float x = 1.0f;
        for (long i = 0; i < n; ++i) x = x * 0.999999f + 1e-7f;
        return x;
    }
    static int process(jack_nframes_t frames, void* self)
    {
        auto s = static_cast<Spinner*>(self);
        const std::int64_t w0 = nowNs(CLOCK_MONOTONIC), c0 = nowNs(CLOCK_THREAD_CPUTIME_ID);
        float x = spin(s->rounds.load(std::memory_order_relaxed));
        const std::size_t all = s->block.size() / kPageFloats;
        for (std::size_t k = 0; k < s->pages; ++k) {
            x += s->block[(s->next % all) * kPageFloats];
            s->next += 7919;  // a prime stride: every page in turn, neighbours far apart
        }
        auto out = static_cast<float*>(jack_port_get_buffer(s->port, frames));
        for (jack_nframes_t i = 0; i < frames; ++i) out[i] = x * 0.0f;
        const std::int64_t wall = nowNs(CLOCK_MONOTONIC) - w0, cpu = nowNs(CLOCK_THREAD_CPUTIME_ID) - c0;
        s->callbacks.fetch_add(1, std::memory_order_relaxed);
        s->cpuNs.fetch_add(std::uint64_t(cpu), std::memory_order_relaxed);
        if (double(wall) > s->periodNs) s->late.fetch_add(1, std::memory_order_relaxed);
        if (double(cpu) > s->periodNs) s->lateCpu.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
    bool open(const char* name, std::size_t touchPages)
    {
        if (touchPages > 0) {
            block.assign(std::size_t(64) << 20 >> 2, 0.5f);
            pages = touchPages;
        }
        jack_status_t status{};
        client = jack_client_open(name, JackNoStartServer, &status);
        if (!client) return false;
        periodNs = 1e9 * jack_get_buffer_size(client) / jack_get_sample_rate(client);
        port = jack_port_register(client, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        jack_set_process_callback(client, &Spinner::process, this);
        return port && jack_activate(client) == 0;
    }
    // the rounds that take about the given CPU time on this thread
    static long roundsFor(double seconds)
    {
        const long probe = 2000000;
        const std::int64_t c0 = nowNs(CLOCK_THREAD_CPUTIME_ID);
        volatile float sink = spin(probe);
        (void)sink;
        const double per = double(nowNs(CLOCK_THREAD_CPUTIME_ID) - c0) / 1e9 / probe;
        return per > 0 ? long(seconds / per) : 0;
    }
    void close()
    {
        if (client) jack_client_close(client);
        client = nullptr;
    }
    ~Spinner() { close(); }

    struct Count {
        std::uint64_t callbacks, late, lateCpu, cpuNs;
    };
    Count count() const { return {callbacks.load(), late.load(), lateCpu.load(), cpuNs.load()}; }
};

void printPeer(const char* what, bool ok, const Spinner::Count& a, const Spinner::Count& b)
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

    const std::string server = "ostrel_bench_" + std::to_string(getpid());
    pid_t jack = startJack(server);
    setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
    if (QProcess::execute("jack_wait", {"-w", "-t", "20"}) != 0) {
        std::fprintf(stderr, "the JACK server did not start\n");
        stopJack(jack);
        return 1;
    }
    refreshDevices();
    int sys = -1;
    for (int i = 0; i < deviceCount(DeviceApi::Jack); ++i) {
        DeviceInfo info;
        if (getDeviceInfo({DeviceApi::Jack, i}, info) && info.name == "system") sys = i;
    }
    const DeviceRef dev{DeviceApi::Jack, sys};
    if (sys < 0 || !initDevice(dev)) {
        std::fprintf(stderr, "cannot open the JACK device: %s\n", errorText(lastError()));
        stopJack(jack);
        return 1;
    }
    Handle live = buildGraph(files, deviceRate(dev), Decode | NonStop);
    openOutput(dev, live, {0, Side::Pair, -1});

    // a second to settle: the first periods fault in the sources and effect lines
    std::this_thread::sleep_for(std::chrono::seconds(1));
    DeviceStats start, end;
    getDeviceStats(dev, start);
    // the peers get our mean callback time of the settling second
    Spinner bare, paged;
    const bool bareOk = bare.open("bare_peer", 0), pagedOk = paged.open("paging_peer", 256);
    const long rounds = start.callbacks > 0 ? Spinner::roundsFor(start.cpuSeconds / double(start.callbacks)) : 0;
    bare.rounds = rounds;
    paged.rounds = rounds;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const Spinner::Count bare0 = bare.count(), paged0 = paged.count();
    getDeviceStats(dev, start);
    const auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    getDeviceStats(dev, end);
    const Spinner::Count bare1 = bare.count(), paged1 = paged.count();
    bare.close();
    paged.close();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    freeDevice(dev);
    freeAll();
    stopJack(jack);

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
