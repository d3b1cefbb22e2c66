// e2e_jackcapture: a JACK client that hears what another client plays, or a bare peer.
//
//   e2e_jackcapture --name N --from CLIENT --out FILE [--ports 4]
//       Registers input ports in_1..in_P, connects the output ports of CLIENT to them (in name
//       order) as soon as they appear, again after they come back, and writes every frame it
//       hears to FILE (interleaved 32-bit floats, P channels), from its first period on. FILE
//       grows as the sound comes, so its size tells the frame now heard. The frames at which
//       the server reported an xrun go to FILE.xruns, one a line with the CLOCK_MONOTONIC time
//       in ms ("FRAME MS"), as they happen; each callback that began late (a stall of the
//       server) goes to FILE.late as "FRAME MS GAPMS": the frames heard before it, when it
//       began, and how long after the one before.
//   e2e_jackcapture --name N --bare
//       Only counts its own callbacks: the peer a program's late callbacks are compared with.
//
// Both end at SIGTERM or SIGINT and print last "callbacks: C, late: L, xruns: X", where a
// late callback is one that started more than one and a half periods after the one before.
#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> quit{false};

struct Capture {
    jack_client_t* client = nullptr;
    std::vector<jack_port_t*> ports;
    jack_ringbuffer_t* ring = nullptr;
    std::atomic<uint64_t> frames{0}, callbacks{0}, late{0}, xruns{0}, lost{0};
    std::atomic<int64_t> lastNs{0};
    double periodNs = 0;
    // events handed from the notification and process threads to the writer
    struct Event {
        uint64_t frame;
        int64_t ns, gapNs;
    };
    jack_ringbuffer_t* xrunRing = nullptr;
    jack_ringbuffer_t* lateRing = nullptr;

    static void post(jack_ringbuffer_t* ring, const Event& e)
    {
        if (ring && jack_ringbuffer_write_space(ring) >= sizeof e)
            jack_ringbuffer_write(ring, reinterpret_cast<const char*>(&e), sizeof e);
    }

    static int64_t nowNs()
    {
        timespec ts;
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }

    static int process(jack_nframes_t n, void* self)
    {
        auto* c = static_cast<Capture*>(self);
        const int64_t t = nowNs(), last = c->lastNs.exchange(t);
        if (last != 0 && double(t - last) > 1.5 * c->periodNs) {
            c->late.fetch_add(1);
            post(c->lateRing, {c->frames.load(), t, t - last});
        }
        c->callbacks.fetch_add(1);
        if (c->ports.empty()) return 0;
        const size_t channels = c->ports.size();
        const float* in[16];
        float frame[16];
        for (size_t p = 0; p < channels; ++p) in[p] = static_cast<const float*>(jack_port_get_buffer(c->ports[p], n));
        for (jack_nframes_t i = 0; i < n; ++i) {
            for (size_t p = 0; p < channels; ++p) frame[p] = in[p][i];
            if (jack_ringbuffer_write_space(c->ring) < channels * sizeof(float)) {
                c->lost.fetch_add(1);
                continue;
            }
            jack_ringbuffer_write(c->ring, reinterpret_cast<const char*>(frame), channels * sizeof(float));
        }
        c->frames.fetch_add(n);
        return 0;
    }

    static int xrun(void* self)
    {
        auto* c = static_cast<Capture*>(self);
        c->xruns.fetch_add(1);
        post(c->xrunRing, {c->frames.load(), nowNs(), 0});
        return 0;
    }
};

// connects CLIENT's audio outputs to our inputs, those not connected yet
void connectFrom(Capture& c, const std::string& from)
{
    const char** names = jack_get_ports(c.client, ("^" + from + ":").c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    if (!names) return;
    std::vector<std::string> sorted;
    for (int i = 0; names[i]; ++i) sorted.emplace_back(names[i]);
    jack_free(names);
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size() && i < c.ports.size(); ++i) {
        if (jack_port_connected_to(c.ports[i], sorted[i].c_str())) continue;
        if (jack_connect(c.client, sorted[i].c_str(), jack_port_name(c.ports[i])) == 0)
            std::printf("connected %s at frame %llu\n", sorted[i].c_str(), (unsigned long long)c.frames.load());
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::string name = "e2e_capture", from, out;
    int nports = 4;
    bool bare = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&] { return i + 1 < argc ? std::string(argv[++i]) : std::string(); };
        if (a == "--name") name = next();
        else if (a == "--from") from = next();
        else if (a == "--out") out = next();
        else if (a == "--ports") nports = std::clamp(std::atoi(next().c_str()), 1, 16);
        else if (a == "--bare") bare = true;
    }
    if (!bare && out.empty()) {
        std::fprintf(stderr, "usage: e2e_jackcapture --name N (--from CLIENT --out FILE [--ports P] | --bare)\n");
        return 2;
    }
    std::signal(SIGTERM, [](int) { quit = true; });
    std::signal(SIGINT, [](int) { quit = true; });

    Capture c;
    c.client = jack_client_open(name.c_str(), jack_options_t(JackNoStartServer | JackUseExactName), nullptr);
    if (!c.client) {
        std::fprintf(stderr, "e2e_jackcapture: no JACK server\n");
        return 1;
    }
    c.periodNs = 1e9 * jack_get_buffer_size(c.client) / jack_get_sample_rate(c.client);
    FILE* file = nullptr;
    FILE* xrunFile = nullptr;
    FILE* lateFile = nullptr;
    if (!bare) {
        for (int p = 0; p < nports; ++p)
            c.ports.push_back(jack_port_register(c.client, ("in_" + std::to_string(p + 1)).c_str(),
                                                 JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0));
        c.ring = jack_ringbuffer_create(size_t(jack_get_sample_rate(c.client)) * 4 * sizeof(float) * size_t(nports));
        c.xrunRing = jack_ringbuffer_create(16384);
        c.lateRing = jack_ringbuffer_create(16384);
        file = std::fopen(out.c_str(), "wb");
        xrunFile = std::fopen((out + ".xruns").c_str(), "w");
        lateFile = std::fopen((out + ".late").c_str(), "w");
        if (!file || !xrunFile || !lateFile) {
            std::fprintf(stderr, "e2e_jackcapture: cannot write %s\n", out.c_str());
            return 1;
        }
    }
    jack_set_process_callback(c.client, &Capture::process, &c);
    jack_set_xrun_callback(c.client, &Capture::xrun, &c);
    if (jack_activate(c.client) != 0) {
        std::fprintf(stderr, "e2e_jackcapture: cannot activate\n");
        return 1;
    }
    std::printf("ready rate %u\n", jack_get_sample_rate(c.client));
    std::fflush(stdout);

    std::vector<char> chunk(1 << 16);
    int tick = 0;
    auto drain = [&] {
        if (!file) return;
        size_t n;
        while ((n = jack_ringbuffer_read(c.ring, chunk.data(), chunk.size())) > 0) std::fwrite(chunk.data(), 1, n, file);
        std::fflush(file);
        Capture::Event e;
        while (jack_ringbuffer_read_space(c.xrunRing) >= sizeof e) {
            jack_ringbuffer_read(c.xrunRing, reinterpret_cast<char*>(&e), sizeof e);
            std::fprintf(xrunFile, "%llu %.1f\n", (unsigned long long)e.frame, double(e.ns) / 1e6);
            std::fflush(xrunFile);
        }
        while (jack_ringbuffer_read_space(c.lateRing) >= sizeof e) {
            jack_ringbuffer_read(c.lateRing, reinterpret_cast<char*>(&e), sizeof e);
            std::fprintf(lateFile, "%llu %.1f %.1f\n", (unsigned long long)e.frame, double(e.ns) / 1e6,
                         double(e.gapNs) / 1e6);
            std::fflush(lateFile);
        }
    };
    while (!quit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        drain();
        if (!bare && !from.empty() && ++tick % 10 == 0) connectFrom(c, from);
    }
    jack_deactivate(c.client);
    drain();
    jack_client_close(c.client);
    if (file) std::fclose(file);
    if (xrunFile) std::fclose(xrunFile);
    if (lateFile) std::fclose(lateFile);
    std::printf("callbacks: %llu, late: %llu, xruns: %llu, lost frames: %llu\n", (unsigned long long)c.callbacks.load(),
                (unsigned long long)c.late.load(), (unsigned long long)c.xruns.load(), (unsigned long long)c.lost.load());
    return 0;
}
