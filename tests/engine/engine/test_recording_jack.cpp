// Recording while the mix plays on JACK: a JACK dummy server of our own, master and deck A's
// cue on one device (routing mode 3), the recorder on the no-sound clock. Three takes in a row
// each hold the time they ran of the mix, sound for sound what reached the master ports.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "tests/engine/engine/enginerig.h"
#include "tests/support/jackprobe.h"
#include "tests/support/jackserver.h"
#include "tests/support/wavreader.h"

using namespace enginerig;

namespace {

constexpr int kRate = 44100;
constexpr size_t kCapture = size_t(kRate) * 40;
constexpr double kTakeSeconds = 3;

// A tone whose level wobbles slowly, never to silence: no two of its periods are alike.
QString wobble(Rig& rig, const QString& name, double hz, double wobbleHz)
{
    const QString path = rig.dir.filePath(name);
    deckrig::writeWav(path, kRate, int64_t(60 * kRate), [&](int64_t i, int16_t& l, int16_t& r) {
        const double t = double(i) / kRate;
        l = r = int16_t(std::lround(12000 * (0.7 + 0.3 * std::sin(2 * M_PI * wobbleHz * t)) *
                                    std::sin(2 * M_PI * hz * t)));
    });
    return path;
}

// normalised correlation of a[from, from + n) with b[from + lag, ...)
double ncorr(const std::vector<float>& a, size_t from, const std::vector<float>& b, int64_t lag, size_t n)
{
    if (int64_t(from) + lag < 0 || size_t(int64_t(from) + lag) + n > b.size() || from + n > a.size()) return 0;
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) {
        const double x = a[from + i], y = b[size_t(int64_t(from + i) + lag)];
        ab += x * y;
        aa += x * x;
        bb += y * y;
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

struct Take {
    QString file;
    size_t captureFrom = 0, captureTo = 0;  // the capture's frame count at the start and the stop
};

}  // namespace

TEST(RecordingOnJack, ThreeTakesInARowEachHoldWhatTheMasterPlayed)
{
    JackServer server;
    ASSERT_TRUE(server.startWhenFree());
    auto probe = JackProbe::open("devA", 4, kCapture);
    ASSERT_TRUE(probe);

    Rig rig(false);
    audiobase& e = *rig.engine;
    ASSERT_TRUE(listed(e, {"devA"}));
    useJack(e, 3, "devA", "devA", 0, 1);
    ASSERT_TRUE(e.initasio());
    ASSERT_TRUE(rig.load(1, wobble(rig, "a.wav", kToneA, 0.7)));
    ASSERT_TRUE(rig.load(2, wobble(rig, "b.wav", kToneB, 1.3)));
    rig.deck(1).Play();
    rig.deck(2).Play();
    probe->restart();
    while (probe->frames() < size_t(kRate / 2)) std::this_thread::sleep_for(std::chrono::milliseconds(10));

    std::vector<Take> takes;
    for (int k = 0; k < 3; ++k) {
        Take t;
        t.file = rig.dir.filePath(QStringLiteral("take%1.wav").arg(k));
        t.captureFrom = probe->frames();
        e.graba(t.file, 1);
        ASSERT_TRUE(e.grabando);
        // the take's length in the mix's own time: the frames the master played meanwhile
        while (probe->frames() < t.captureFrom + size_t(kTakeSeconds * kRate))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        t.captureTo = probe->frames();
        e.graba(QString(), 0);
        EXPECT_FALSE(e.grabando);
        takes.push_back(t);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const size_t captured = probe->frames();
    e.desinit();

    const std::vector<float>& master = probe->channel(0);
    for (size_t k = 0; k < takes.size(); ++k) {
        const Take& t = takes[k];
        const testsupport::Wav w = testsupport::readWav(t.file);
        ASSERT_EQ(w.channels, 2) << "take " << k;
        ASSERT_EQ(w.rate, kRate) << "take " << k;
        const size_t frames = w.samples.size() / 2;
        const double seconds = double(frames) / kRate, played = double(t.captureTo - t.captureFrom) / kRate;

        // the longest run of frames with nothing on either side
        size_t run = 0, longest = 0;
        for (size_t i = 0; i < frames; ++i) {
            const bool quiet = std::abs(w.samples[2 * i]) <= 16 && std::abs(w.samples[2 * i + 1]) <= 16;
            run = quiet ? run + 1 : 0;
            if (getenv("RECDEBUG") && !quiet && i > 0 && run == 0 && std::abs(w.samples[2 * i - 2]) <= 16 && std::abs(w.samples[2*i-1]) <= 16) {}
            if (getenv("RECDEBUG") && quiet && run == 64) std::printf("  silent run reaches 64 at frame %zu\n", i);
            longest = std::max(longest, run);
        }

        // each second of the take against the master ports, aligned on its own (the recorder's
        // clock is not JACK's); the first second is searched around the take's start
        std::vector<float> left(frames);
        for (size_t i = 0; i < frames; ++i) left[i] = float(w.samples[2 * i]) / 32768.0f;
        std::vector<float> capture(master.begin(), master.begin() + std::ptrdiff_t(captured));
        double worst = 1;
        int64_t lag = int64_t(t.captureFrom);
        std::vector<size_t> windows;
        for (size_t at = 0; at + size_t(kRate) <= frames; at += size_t(kRate)) windows.push_back(at);
        if (frames % size_t(kRate) && frames > size_t(kRate)) windows.push_back(frames - size_t(kRate));  // the end
        for (size_t at : windows) {
            const int64_t lo = at == 0 ? lag - kRate / 2 : lag - 256, hi = at == 0 ? lag + kRate / 2 : lag + 256;
            double best = -2;
            for (int64_t l = lo; l <= hi; ++l) {
                const double c = ncorr(left, at, capture, l, size_t(kRate));
                if (c > best) {
                    best = c;
                    lag = l;
                }
            }
            worst = std::min(worst, best);
            if (getenv("RECDEBUG")) std::printf("  window %zu lag %lld corr %.4f\n", at / kRate, (long long)lag, best);
        }
        std::printf("take %zu: %.4f s recorded while the master played %.4f s, worst 1 s correlation %.4f, "
                    "longest silent run %zu frames\n",
                    k, seconds, played, worst, longest);
        EXPECT_NEAR(seconds, played, 0.020) << "take " << k;
        EXPECT_GE(worst, 0.99) << "take " << k;
        EXPECT_LT(longest, 64u) << "take " << k;
    }
}

// PortAudio closes its JACK client at exit, after the test's server is gone, and asserts on
// the failure: leave without running the static destructors.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(rc);
}
