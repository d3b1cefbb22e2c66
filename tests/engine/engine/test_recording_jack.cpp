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
constexpr size_t kPeriod = 256;  // the server's
constexpr int64_t kGapNews = 8192;  // how long after a glitch its gap may be marked

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
    // the capture's frame count just before and just after the start and the stop: on a busy
    // machine a start (files, buses) can take longer than the length's bound
    size_t from = 0, fromAfter = 0, to = 0, toAfter = 0;
};

// The take against the master ports, half a second at a time (a quarter second apart), each
// aligned on its own: the worst correlation. A half second whose match lies near a gap of the
// capture is not judged: a gap is marked at the first cycle after the server told of an xrun,
// and that news comes on a thread of its own, some cycles after the glitch.
struct Match {
    double worst = 1;
    int judged = 0;
};

Match match(const std::vector<float>& take, const std::vector<float>& capture, const std::vector<size_t>& gaps,
            int64_t near)
{
    Match m;
    const size_t w = size_t(kRate) / 2;
    std::vector<size_t> windows;
    for (size_t at = 0; at + w <= take.size(); at += w / 2) windows.push_back(at);
    if (take.size() > w) windows.push_back(take.size() - w);
    int64_t lag = near;
    for (size_t i = 0; i < windows.size(); ++i) {
        const size_t at = windows[i];
        const int64_t reach = i == 0 ? kRate / 2 : 2048;
        double best = -2;
        int64_t found = lag;
        for (int64_t l = lag - reach; l <= lag + reach; ++l) {
            const double c = ncorr(take, at, capture, l, w);
            if (c > best) {
                best = c;
                found = l;
            }
        }
        lag = found;
        const int64_t from = int64_t(at) + lag, to = from + int64_t(w);
        if (std::any_of(gaps.begin(), gaps.end(),
                        [&](size_t g) { return int64_t(g) > from && int64_t(g) < to + kGapNews; }))
            continue;
        m.worst = std::min(m.worst, best);
        ++m.judged;
    }
    return m;
}

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
        t.from = probe->frames();
        e.graba(t.file, 1);
        t.fromAfter = probe->frames();
        ASSERT_TRUE(e.grabando);
        // stopped once the master has played 3 s
        while (probe->frames() < t.from + size_t(kTakeSeconds * kRate))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        t.to = probe->frames();
        e.graba(QString(), 0);
        t.toAfter = probe->frames();
        EXPECT_FALSE(e.grabando);
        takes.push_back(t);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const size_t captured = probe->frames();
    const std::vector<size_t> gaps = probe->gaps();
    e.desinit();
    const std::vector<float> master(probe->channel(0).begin(), probe->channel(0).begin() + std::ptrdiff_t(captured));

    for (size_t k = 0; k < takes.size(); ++k) {
        const Take& t = takes[k];
        const testsupport::Wav w = testsupport::readWav(t.file);
        ASSERT_EQ(w.channels, 2) << "take " << k;
        ASSERT_EQ(w.rate, kRate) << "take " << k;
        const size_t frames = w.samples.size() / 2;
        // what the master played meanwhile; a cycle the server ran without the capture may or
        // may not have been one of ours, so each widens the bound by its length
        const auto missed = std::count_if(gaps.begin(), gaps.end(), [&](size_t g) { return g > t.from && g <= t.toAfter; });
        const double seconds = double(frames) / kRate;
        // played at least while both calls were done, at most from the first's call to the second's end
        const double playedLeast = double(t.to - t.fromAfter) / kRate, playedMost = double(t.toAfter - t.from) / kRate;
        const double bound = 0.020 + double(missed) * double(kPeriod) / kRate;

        // the longest run of frames with nothing on either side
        size_t run = 0, longest = 0;
        for (size_t i = 0; i < frames; ++i) {
            const bool quiet = std::abs(w.samples[2 * i]) <= 16 && std::abs(w.samples[2 * i + 1]) <= 16;
            run = quiet ? run + 1 : 0;
            longest = std::max(longest, run);
        }

        std::vector<float> left(frames);
        for (size_t i = 0; i < frames; ++i) left[i] = float(w.samples[2 * i]) / 32768.0f;
        const Match m = match(left, master, gaps, int64_t(t.from));
        std::printf("take %zu: %.4f s recorded, %.4f to %.4f s played between start and stop; correlation %.4f at "
                    "worst over %d half seconds; longest silent run %zu frames; %lld cycles the capture missed\n",
                    k, seconds, playedLeast, playedMost, m.worst, m.judged, longest, static_cast<long long>(missed));
        EXPECT_GE(seconds, playedLeast - bound) << "take " << k;
        EXPECT_LE(seconds, playedMost + bound) << "take " << k;
        EXPECT_GE(m.judged, 1) << "take " << k;
        EXPECT_GE(m.worst, 0.99) << "take " << k;
        EXPECT_LT(longest, 64u) << "take " << k;
    }
}
