// The peaks and tempo worker on WAV files the test writes: peaks, overview, cache, tempo,
// stop-and-join, and the inputs that must not leave a cache or a tempo behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/bpm/bpmlibrary.h"
#include "engine/bpmresult.h"
#include "engine/peakscache.h"
#include "platform/sound/sound.h"
#include "engine/tdamepicos.h"

namespace {

constexpr int kRate = 44100;

void writeWav(const QString& path, const std::vector<int16_t>& stereo)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const uint32_t data = uint32_t(stereo.size() * 2);
    auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF");
    u32(36 + data);
    f.write("WAVEfmt ");
    u32(16);
    u16(1);
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    f.write("data");
    u32(data);
    f.write(reinterpret_cast<const char*>(stereo.data()), qint64(data));
}

// Kick-like clicks at `bpm` with eighth-note ticks between, `seconds` long.
std::vector<int16_t> beats(double bpm, double seconds)
{
    std::vector<int16_t> s(size_t(seconds * kRate) * 2, 0);
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> noise(-1, 1);
    const double beat = 60.0 / bpm;
    for (int k = 0; k * beat / 2 < seconds; ++k) {
        const size_t at = size_t(k * beat / 2 * kRate);
        const bool on = k % 2 == 0;
        for (size_t i = 0; i < size_t(on ? 6000 : 1500) && at + i < s.size() / 2; ++i) {
            const double x = double(i) / kRate;
            const double v = on ? std::sin(2 * M_PI * 60 * x) * std::exp(-x * 20) * 20000
                                : noise(rng) * std::exp(-x * 80) * 6000;
            s[2 * (at + i)] = s[2 * (at + i) + 1] = int16_t(v);
        }
    }
    return s;
}

class Worker : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        auto lib = BpmLibrary::load(QStringLiteral("ostrellibrary"));
        ASSERT_TRUE(lib);
        w = std::make_unique<TDamepicos>(lib->all(), QStringLiteral("ostrel1"));
        w->cacheFileFor = [this](const QString& f) {
            return dir.filePath(QStringLiteral("Peaks/") + QFileInfo(f).completeBaseName() + QStringLiteral(".pek"));
        };
        for (auto& c : cells) c = 0;
    }
    void TearDown() override { w.reset(); }

    QString cacheOf(const QString& f) const { return w->cacheFileFor(f); }

    void scan(const QString& file, bool tempo = true, bool peaks = true)
    {
        wl = std::make_shared<PeakBuffer>(40000);
        wr = std::make_shared<PeakBuffer>(40000);
        ov = std::make_shared<PeakBuffer>(4 * width);
        w->init(0, width, file, &cells, wl, wr, ov, tempo, peaks);
        w->resume();
        w->waitForEnd();
    }

    QTemporaryDir dir;
    std::unique_ptr<TDamepicos> w;
    HandOverCells cells;
    PeakBufferPtr wl, wr, ov;
    int width = 100;
};

TEST_F(Worker, ScanFillsWaveOverviewCacheAndTempo)
{
    const QString f = dir.filePath(QStringLiteral("beat.wav"));
    const auto pcm = beats(120, 30);
    writeWav(f, pcm);
    scan(f);

    const int64_t length = int64_t(pcm.size()) * 2;
    const int64_t points = PeaksCache::pointsFor(length);
    const auto cache = PeaksCache::read(cacheOf(f), length);
    ASSERT_TRUE(cache);
    ASSERT_EQ(cache->size(), points * 8);
    int64_t nonzero = 0;
    for (int64_t p = 0; p < points; ++p) {
        int m = 0;
        for (int i = 0; i < 1024; ++i) m = std::max<int>(m, pcm[size_t(p * 1024 + i)]);
        const int v = PeaksCache::peakValue(m);
        ASSERT_EQ(PeaksCache::pairValue(*cache, p, 0), v) << p;
        ASSERT_EQ(PeaksCache::pairValue(*cache, p, 1), v);
        ASSERT_EQ(wl->get(size_t(2 * width + p)), v);
        ASSERT_EQ(wr->get(size_t(2 * width + p)), v);
        nonzero += v > 0;
    }
    EXPECT_GT(nonzero, points / 4);
    EXPECT_EQ(wl->get(0), 0);
    // overview: averages of samplesize points, the last pixel left out
    const int64_t samplesize = std::max<int64_t>(1, std::llround(double(length) / 2048) / width);
    int64_t sum = 0;
    for (int64_t p = 0; p < samplesize; ++p) sum += PeaksCache::pairValue(*cache, p, 0);
    EXPECT_EQ(ov->get(0), sum / samplesize);
    EXPECT_EQ(ov->get(1), sum / samplesize);

    EXPECT_NEAR(cells[0].load(), 120.0, 0.01);
    EXPECT_EQ(cells[1].load(), 0.0);
    EXPECT_FALSE(w->busy());
}

TEST_F(Worker, BadInputEndsTheScanWithoutCacheOrTempo)
{
    const char* names[] = {"missing.mp3", "garbage.mp3", "empty.wav"};
    for (const char* name : names) {
        const QString f = dir.filePath(QString::fromLatin1(name));
        if (std::strcmp(name, "garbage.mp3") == 0) {
            QFile o(f);
            ASSERT_TRUE(o.open(QIODevice::WriteOnly));
            o.write(QByteArray(5000, 'x'));
        } else if (std::strcmp(name, "empty.wav") == 0) {
            writeWav(f, {});
        }
        cells[0] = 0;
        scan(f);
        EXPECT_FALSE(QFile::exists(cacheOf(f))) << name;
        EXPECT_EQ(cells[0].load(), 0.0) << name;
        EXPECT_EQ(cells[1].load(), 0.0) << name;
    }
}

TEST_F(Worker, SilenceAndNoiseGiveTheNoTempoMark)
{
    const QString quiet = dir.filePath(QStringLiteral("quiet.wav"));
    writeWav(quiet, std::vector<int16_t>(size_t(kRate) * 2 * 10, 0));
    scan(quiet);
    EXPECT_FLOAT_EQ(float(cells[0].load()), bpmresult::kNoTempo);
    EXPECT_FALSE(bpmresult::known(cells[0].load()));
    ASSERT_TRUE(PeaksCache::read(cacheOf(quiet), int64_t(kRate) * 4 * 10));

    const QString hiss = dir.filePath(QStringLiteral("hiss.wav"));
    std::vector<int16_t> n(size_t(kRate) * 2 * 15);
    std::mt19937 rng(9);
    std::normal_distribution<double> g(0, 4000);
    for (auto& v : n) v = int16_t(std::clamp(g(rng), -32768.0, 32767.0));
    writeWav(hiss, n);
    scan(hiss);
    EXPECT_FALSE(bpmresult::known(cells[0].load()));
}

TEST_F(Worker, PeaksOnlyOrTempoOnly)
{
    const QString f = dir.filePath(QStringLiteral("only.wav"));
    writeWav(f, beats(100, 12));
    scan(f, true, false);
    EXPECT_FALSE(QFile::exists(cacheOf(f)));
    EXPECT_NEAR(cells[0].load(), 100.0, 0.01);
    cells[0] = 0;
    scan(f, false, true);
    EXPECT_TRUE(QFile::exists(cacheOf(f)));
    EXPECT_EQ(cells[0].load(), 0.0);
}

TEST_F(Worker, ANewInitStopsAndJoinsTheRunningScan)
{
    const QString longFile = dir.filePath(QStringLiteral("long.wav"));
    const QString other = dir.filePath(QStringLiteral("other.wav"));
    writeWav(longFile, beats(128, 240));
    writeWav(other, beats(90, 10));
    for (int round = 0; round < 3; ++round) {
        auto a = std::make_shared<PeakBuffer>(300000), b = std::make_shared<PeakBuffer>(300000);
        w->init(0, width, longFile, &cells, a, b, std::make_shared<PeakBuffer>(4 * width), true, true);
        w->resume();
        // replaced while scanning: the scan must be over before the decoder and buffers go
        w->init(0, width, other, &cells, std::make_shared<PeakBuffer>(40000), std::make_shared<PeakBuffer>(40000),
                std::make_shared<PeakBuffer>(4 * width), true, true);
        a.reset();
        b.reset();
        w->resume();
        w->waitForEnd();
        EXPECT_NEAR(cells[0].load(), 90.0, 0.01);
    }
    // a scan stopped by fin leaves no cache and no tempo
    QFile::remove(cacheOf(longFile));
    cells[0] = 0;
    w->init(0, width, longFile, &cells, std::make_shared<PeakBuffer>(300000), std::make_shared<PeakBuffer>(300000),
            std::make_shared<PeakBuffer>(4 * width), true, true);
    w->resume();
    w->fin();
    EXPECT_FALSE(w->busy());
    EXPECT_EQ(cells[1].load(), 0.0);
    // (a scan fast enough to finish before fin is allowed to hand its results over)
    if (!QFile::exists(cacheOf(longFile))) {
        EXPECT_EQ(cells[0].load(), 0.0);
    }
    w->resume();  // nothing prepared: nothing happens
    EXPECT_FALSE(w->busy());
}

TEST_F(Worker, ACacheOfAnotherLengthIsNotTaken)
{
    // two files of one name in different folders share a cache file
    QDir(dir.path()).mkpath(QStringLiteral("one"));
    QDir(dir.path()).mkpath(QStringLiteral("two"));
    const QString a = dir.filePath(QStringLiteral("one/song.wav")), b = dir.filePath(QStringLiteral("two/song.wav"));
    writeWav(a, beats(120, 8));
    writeWav(b, beats(120, 11));
    scan(a);
    ASSERT_EQ(cacheOf(a), cacheOf(b));
    EXPECT_TRUE(PeaksCache::read(cacheOf(a), int64_t(8 * kRate) * 4));
    EXPECT_FALSE(PeaksCache::read(cacheOf(b), int64_t(11 * kRate) * 4));
}

}  // namespace
