// Devices and outputs: the no-sound device, ALSA through a file PCM (every sample captured,
// unpaced: frame counts are bounded) and JACK on a dummy server of our own (paced, counted
// in samples by a capture client).
#include "platform/sound/sound.h"

#include "tests/support/alsafilepcms.h"
#include "tests/support/jackprobe.h"
#include "tests/support/jackserver.h"
#include "tests/support/tonemeter.h"
#include "tests/support/toolprocess.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <thread>

using namespace sound;
using namespace std::chrono_literals;

namespace {

// a tone of whole cycles per second, so that a looping decoder plays it seamlessly
QString makeTone(const QTemporaryDir& dir, int freq, int rate = 44100)
{
    const QString path = dir.filePath(QString("tone%1_%2.wav").arg(freq).arg(rate));
    testsupport::runTool("sox", {"-n", "-r", QString::number(rate), "-c", "2", "-b", "16", path, "synth", "1",
                              "sine", QString::number(freq), "vol", "0.5"});
    return path;
}

// Waits for cond, up to a generous bound: the bound only keeps a broken run from hanging.
bool waitFor(const std::function<bool()>& cond, std::chrono::seconds bound = 30s)
{
    const auto end = std::chrono::steady_clock::now() + bound;
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// The median over blocks of 2048 frames: a period lost to an xrun of the dummy server
// does not move it.
double steadyAmplitude(const std::vector<float>& x, size_t from, size_t n, double freq, double rate)
{
    std::vector<double> a;
    for (size_t at = from; at + 2048 <= from + n; at += 2048) a.push_back(testsupport::toneAmplitude(x, 1, 0, at, 2048, freq, int(rate)));
    std::sort(a.begin(), a.end());
    return a.empty() ? 0 : a[a.size() / 2];
}

int jackDeviceNamed(const std::string& name)
{
    for (int i = 0; i < deviceCount(DeviceApi::Jack); ++i) {
        DeviceInfo info;
        if (getDeviceInfo({DeviceApi::Jack, i}, info) && info.name == name) return i;
    }
    return -1;
}

int alsaDeviceNamed(const std::string& name)
{
    for (int i = 1; i <= deviceCount(DeviceApi::Alsa); ++i) {
        DeviceInfo info;
        if (getDeviceInfo({DeviceApi::Alsa, i}, info) && info.name == name) return i;
    }
    return -1;
}

class Devices : public ::testing::Test {
protected:
    Devices() { alsa.addTrials(); }
    void TearDown() override
    {
        for (DeviceApi api : {DeviceApi::Alsa, DeviceApi::Jack})
            for (int i = 0; i <= 64; ++i) freeDevice({api, i});
        freeAll();
    }
    AlsaFilePcms alsa{QStringList{}};
    QTemporaryDir dir;
};

}  // namespace

TEST_F(Devices, NoSoundDeviceIsAlwaysThere)
{
    EXPECT_EQ(deviceCount(DeviceApi::NoSound), 1);
    DeviceInfo info;
    ASSERT_TRUE(getDeviceInfo({DeviceApi::NoSound, 0}, info));
    EXPECT_TRUE(info.initialised);
    EXPECT_TRUE(initDevice({DeviceApi::NoSound, 0}));
    EXPECT_TRUE(initDevice({DeviceApi::NoSound, 0}));
    EXPECT_FALSE(getDeviceInfo({DeviceApi::NoSound, 1}, info));
}

TEST_F(Devices, AlsaListsDefaultFirstAndInitialisesTwice)
{
    ASSERT_TRUE(refreshDevices());
    ASSERT_GE(deviceCount(DeviceApi::Alsa), 2);
    DeviceInfo info;
    ASSERT_TRUE(getDeviceInfo({DeviceApi::Alsa, 1}, info));
    EXPECT_EQ(info.name, "default");
    EXPECT_TRUE(info.isDefault);
    EXPECT_FALSE(info.initialised);
    EXPECT_FALSE(getDeviceInfo({DeviceApi::Alsa, 0}, info));
    EXPECT_EQ(lastError(), Error::Device);
    EXPECT_FALSE(getDeviceInfo({DeviceApi::Alsa, deviceCount(DeviceApi::Alsa) + 1}, info));

    ASSERT_TRUE(initDevice({DeviceApi::Alsa, 1}, 44100, 8, 100));
    EXPECT_TRUE(initDevice({DeviceApi::Alsa, 1}, 44100, 8, 100));
    // about 100 ms of buffer in 8 ms periods
    DeviceStats st;
    ASSERT_TRUE(getDeviceStats({DeviceApi::Alsa, 1}, st));
    EXPECT_EQ(st.period, 353);
    EXPECT_GE(st.latency, 0.08);
    EXPECT_LE(st.latency, 0.13);
    ASSERT_TRUE(getDeviceInfo({DeviceApi::Alsa, 1}, info));
    EXPECT_TRUE(info.initialised);
    EXPECT_EQ(deviceRate({DeviceApi::Alsa, 1}), 44100);
    // a refresh would pull PortAudio from under the open stream
    EXPECT_FALSE(refreshDevices());
    EXPECT_EQ(lastError(), Error::Busy);
    EXPECT_TRUE(freeDevice({DeviceApi::Alsa, 1}));
    EXPECT_FALSE(freeDevice({DeviceApi::Alsa, 1}));
    EXPECT_TRUE(refreshDevices());
}

// A PCM listed a moment ago is gone when it is opened (a sound card unplugged).
TEST_F(Devices, AlsaDeviceThatRefusesToOpenIsAnErrorCode)
{
    ASSERT_TRUE(refreshDevices());
    const int leaving = alsaDeviceNamed("leaving");
    ASSERT_GT(leaving, 0);
    ASSERT_TRUE(initDevice({DeviceApi::Alsa, 1}));
    alsa.unplug();
    EXPECT_FALSE(initDevice({DeviceApi::Alsa, leaving}));
    EXPECT_EQ(lastError(), Error::Device);
    DeviceInfo info;
    ASSERT_TRUE(getDeviceInfo({DeviceApi::Alsa, leaving}, info));
    EXPECT_FALSE(info.initialised);
    // the others are not disturbed
    DeviceStats before, after;
    ASSERT_TRUE(getDeviceStats({DeviceApi::Alsa, 1}, before));
    ASSERT_TRUE(waitFor([&] { return getDeviceStats({DeviceApi::Alsa, 1}, after) && after.frames > before.frames; }));
    EXPECT_FALSE(after.lost);
}

// A PCM that opens but fails once it plays: the device reports itself lost.
TEST_F(Devices, AlsaDeviceThatFailsWhilePlayingIsLost)
{
    ASSERT_TRUE(refreshDevices());
    const DeviceRef failing{DeviceApi::Alsa, alsaDeviceNamed("failing")};
    ASSERT_GT(failing.index, 0);
    if (!initDevice(failing)) {
        EXPECT_EQ(lastError(), Error::Device);
        return;
    }
    DeviceStats st;
    ASSERT_TRUE(waitFor([&] { return getDeviceStats(failing, st) && st.lost; }));
    Handle m = createMixer(44100, 2, Decode | NonStop);
    EXPECT_EQ(openOutput(failing, m, {}), 0u);
    EXPECT_EQ(lastError(), Error::Device);
    EXPECT_TRUE(freeDevice(failing));
}

// What the device plays is what an offline render of the same graph gives, bit for bit.
TEST_F(Devices, AlsaFilePcmCapturesTheRenderedStreamBitExactly)
{
    const QString noise = dir.filePath("noise.wav");
    ASSERT_EQ(testsupport::runTool("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", noise, "synth", "0.5",
                                        "whitenoise", "vol", "0.5"}), 0);
    ASSERT_TRUE(refreshDevices());
    const DeviceRef dev{DeviceApi::Alsa, 1};
    ASSERT_TRUE(initDevice(dev, 44100, 8, 100));

    Handle played = createMixer(44100, 2, NonStop);
    Handle source = openFile(noise.toStdString());
    ASSERT_TRUE(played && source);
    const int frames = int(getLength(source) / 4);
    ASSERT_EQ(frames, 22050);
    ASSERT_TRUE(mixerAdd(played, source, NoRampIn));
    ASSERT_TRUE(setStreamDevice(played, dev));

    Handle offline = createMixer(44100, 2, Decode | NonStop | FloatOut);
    Handle source2 = openFile(noise.toStdString());
    ASSERT_TRUE(offline && source2);
    ASSERT_TRUE(mixerAdd(offline, source2, NoRampIn));
    std::vector<float> expected(size_t(frames) * 2);
    ASSERT_EQ(getData(offline, expected.data(), frames * 8), frames * 8);

    // the file PCM is not paced: counted before the start, a slow start would let the device
    // count its second of silence before the stream began; counted after it, the stream began
    // at most a period before the count
    ASSERT_TRUE(play(played));
    DeviceStats st;
    ASSERT_TRUE(getDeviceStats(dev, st));
    const uint64_t before = st.frames;
    ASSERT_TRUE(waitFor([&] { return getDeviceStats(dev, st) && st.frames >= before + uint64_t(frames) + 44100; }));
    ASSERT_TRUE(freeDevice(dev));

    const QByteArray raw = alsa.captured("default");
    ASSERT_GE(raw.size(), qsizetype(frames) * 8);
    std::vector<float> got(size_t(raw.size()) / 4);
    for (size_t i = 0; i < got.size(); ++i) std::memcpy(&got[i], raw.constData() + 4 * i, 4);
    size_t start = 0;
    while (start < got.size() && got[start] == 0.0f) ++start;
    start -= start % 2;
    ASSERT_LE(start + size_t(frames) * 2, got.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(got[start + i], expected[i]) << "sample " << i << " of the stream, " << start << " into the file";
    for (size_t i = start + expected.size(); i < got.size(); ++i) ASSERT_EQ(got[i], 0.0f) << "after the end, " << i;
}

// A PCM that takes any channel count is listed as wide as the widest speaker layout it
// declares (else as stereo), one of a fixed count with that count; it opens that wide: a
// stream on the second pair lands bit for bit in channels 3 + 4 of its interleaved frames,
// and a fourth pair is not there.
TEST_F(Devices, AlsaPcmIsAsWideAsTheSpeakersItDeclares)
{
    const QString noise = dir.filePath("noise.wav");
    ASSERT_EQ(testsupport::runTool("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", noise, "synth", "0.25",
                                        "whitenoise", "vol", "0.5"}), 0);
    ASSERT_TRUE(refreshDevices());
    DeviceInfo info;
    ASSERT_TRUE(getDeviceInfo({DeviceApi::Alsa, 1}, info));
    EXPECT_EQ(info.outputChannels, 2);
    ASSERT_TRUE(getDeviceInfo({DeviceApi::Alsa, alsaDeviceNamed("fixed")}, info));
    EXPECT_EQ(info.outputChannels, 3);
    const DeviceRef dev{DeviceApi::Alsa, alsaDeviceNamed("surround")};
    ASSERT_GT(dev.index, 0);
    ASSERT_TRUE(getDeviceInfo(dev, info));
    EXPECT_EQ(info.outputChannels, 6);
    ASSERT_TRUE(initDevice(dev, 44100, 8, 100));
    DeviceStats st;
    ASSERT_TRUE(getDeviceStats(dev, st));
    EXPECT_EQ(st.channels, 6);

    Handle beyond = createMixer(44100, 2, NonStop);
    ASSERT_TRUE(beyond && setStreamDevice(beyond, dev, {3, Side::Pair, -1}));
    EXPECT_FALSE(play(beyond));
    EXPECT_EQ(lastError(), Error::Param);

    Handle played = createMixer(44100, 2, NonStop);
    Handle source = openFile(noise.toStdString());
    ASSERT_TRUE(played && source && mixerAdd(played, source, NoRampIn));
    ASSERT_TRUE(setStreamDevice(played, dev, {1, Side::Pair, -1}));
    Handle offline = createMixer(44100, 2, Decode | NonStop | FloatOut);
    Handle source2 = openFile(noise.toStdString());
    ASSERT_TRUE(offline && source2 && mixerAdd(offline, source2, NoRampIn));
    const int frames = int(getLength(source2) / 4);
    std::vector<float> expected(size_t(frames) * 2);
    ASSERT_EQ(getData(offline, expected.data(), frames * 8), frames * 8);

    ASSERT_TRUE(play(played));  // counted after the start, as above
    ASSERT_TRUE(getDeviceStats(dev, st));
    const uint64_t before = st.frames;
    ASSERT_TRUE(waitFor([&] { return getDeviceStats(dev, st) && st.frames >= before + uint64_t(frames) + 44100; }));
    ASSERT_TRUE(freeDevice(dev));

    const QByteArray raw = alsa.captured("surround");
    std::vector<float> got(size_t(raw.size()) / 4);
    std::memcpy(got.data(), raw.constData(), got.size() * 4);
    ASSERT_EQ(got.size() % 6, 0u);
    size_t start = 0;
    while (start < got.size() && got[start] == 0.0f) ++start;
    start -= start % 6;
    ASSERT_LE(start + size_t(frames) * 6, got.size());
    for (size_t f = 0; f < got.size() / 6; ++f)
        for (size_t ch = 0; ch < 6; ++ch) {
            const size_t i = f - start / 6;
            const bool sounds = f >= start / 6 && i < size_t(frames) && (ch == 2 || ch == 3);
            ASSERT_EQ(got[f * 6 + ch], sounds ? expected[i * 2 + ch - 2] : 0.0f) << "frame " << f << " channel " << ch;
        }
}

TEST_F(Devices, WithoutAJackServerTheJackListIsEmpty)
{
    const std::string none = "ostrel_none_" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", none.c_str(), 1);
    ASSERT_TRUE(refreshDevices());
    EXPECT_EQ(deviceCount(DeviceApi::Jack), 0);
    EXPECT_FALSE(initDevice({DeviceApi::Jack, 0}));
    EXPECT_EQ(lastError(), Error::NoServer);
    EXPECT_GE(deviceCount(DeviceApi::Alsa), 1);
}

struct JackCase { int rate; };

class JackRoute : public Devices, public ::testing::WithParamInterface<JackCase> {};

// Two logical stereo outputs on one 4-channel device: each tone on its pair and only there.
// At a server rate other than the file's the mixers run at the server's rate: the tones keep
// their pitch.
TEST_P(JackRoute, EachToneLandsOnItsPairOnly)
{
    JackServer server(GetParam().rate);
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(refreshDevices());
    const int sys = jackDeviceNamed("system");
    ASSERT_GE(sys, 0);
    const DeviceRef dev{DeviceApi::Jack, sys};
    DeviceInfo info;
    ASSERT_TRUE(getDeviceInfo(dev, info));
    EXPECT_EQ(info.outputChannels, 4);
    ASSERT_TRUE(initDevice(dev));
    EXPECT_TRUE(initDevice(dev));
    const int rate = deviceRate(dev);
    ASSERT_EQ(rate, server.rate());
    DeviceStats st;
    ASSERT_TRUE(getDeviceStats(dev, st));
    EXPECT_EQ(st.channels, 4);
    EXPECT_EQ(st.period, 256);  // the server's

    // pair 0: a decoding mixer pulled straight by an output; pair 1: a played mixer
    Handle m0 = createMixer(rate, 2, Decode | NonStop);
    Handle d0 = openFile(makeTone(dir, 440).toStdString(), Decode | Loop);
    ASSERT_TRUE(m0 && d0 && mixerAdd(m0, d0, NoRampIn));
    ASSERT_NE(openOutput(dev, m0, {0, Side::Pair, -1}), 0u);
    Handle m1 = createMixer(rate, 2, NonStop);
    Handle d1 = openFile(makeTone(dir, 1000).toStdString(), Decode | Loop);
    ASSERT_TRUE(m1 && d1 && mixerAdd(m1, d1, NoRampIn));
    ASSERT_TRUE(setStreamDevice(m1, dev, {1, Side::Pair, -1}));
    ASSERT_TRUE(play(m1));

    const size_t n = 32768;
    JackProbe probe("probe", 4, n);
    ASSERT_TRUE(probe.ok());
    ASSERT_EQ(probe.connectFrom("ostrelkorvanta"), 4);
    probe.restart();
    ASSERT_TRUE(waitFor([&] { return probe.frames() >= n; }));

    const size_t from = n / 4, len = n * 3 / 4;  // the connections settled by then
    for (int ch = 0; ch < 4; ++ch) {
        const auto& x = probe.channel(ch);
        const double a440 = steadyAmplitude(x, from, len, 440, rate), a1000 = steadyAmplitude(x, from, len, 1000, rate);
        if (ch < 2) {
            EXPECT_NEAR(a440, 0.5, 0.02) << "channel " << ch;
            EXPECT_LT(a1000, 0.001) << "channel " << ch;
        } else {
            EXPECT_NEAR(a1000, 0.5, 0.02) << "channel " << ch;
            EXPECT_LT(a440, 0.001) << "channel " << ch;
        }
    }
    ASSERT_TRUE(getDeviceStats(dev, st));
    EXPECT_FALSE(st.lost);
    EXPECT_GT(st.callbacks, 0u);
    ASSERT_TRUE(freeDevice(dev));
}

INSTANTIATE_TEST_SUITE_P(Rates, JackRoute, ::testing::Values(JackCase{44100}, JackCase{48000}),
                         [](const auto& info) { return std::to_string(info.param.rate); });

// Single sides: a mono mixer on one channel, a stereo one folded onto another.
TEST_F(Devices, JackSingleChannelsCarryTheirSideOnly)
{
    JackServer server;
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(refreshDevices());
    const DeviceRef dev{DeviceApi::Jack, jackDeviceNamed("system")};
    ASSERT_TRUE(initDevice(dev));
    Handle mono = createMixer(44100, 1, Decode | NonStop);
    Handle d0 = openFile(makeTone(dir, 440).toStdString(), Decode | Loop);
    ASSERT_TRUE(mono && d0 && mixerAdd(mono, d0, NoRampIn));
    ASSERT_NE(openOutput(dev, mono, {0, Side::Pair, 3}), 0u);  // channel 4 alone
    Handle stereo = createMixer(44100, 2, Decode | NonStop);
    Handle d1 = openFile(makeTone(dir, 1000).toStdString(), Decode | Loop);
    ASSERT_TRUE(stereo && d1 && mixerAdd(stereo, d1, NoRampIn));
    ASSERT_NE(openOutput(dev, stereo, {0, Side::Right, -1}), 0u);  // channel 2 alone
    // a route beyond the device's channels is refused
    EXPECT_EQ(openOutput(dev, stereo, {2, Side::Pair, -1}), 0u);
    EXPECT_EQ(lastError(), Error::Param);

    const size_t n = 32768;
    JackProbe probe("probe", 4, n);
    ASSERT_EQ(probe.connectFrom("ostrelkorvanta"), 4);
    probe.restart();
    ASSERT_TRUE(waitFor([&] { return probe.frames() >= n; }));
    const double expect[4][2] = {{0, 0}, {0, 0.5}, {0, 0}, {0.5, 0}};
    for (int ch = 0; ch < 4; ++ch) {
        EXPECT_NEAR(steadyAmplitude(probe.channel(ch), n / 4, n * 3 / 4, 440, 44100), expect[ch][0], 0.02) << ch;
        EXPECT_NEAR(steadyAmplitude(probe.channel(ch), n / 4, n * 3 / 4, 1000, 44100), expect[ch][1], 0.02) << ch;
    }
}

// A callback that runs far past its period makes the next one begin late: that one is counted
// in the process's JACK late periods.
TEST_F(Devices, JackCallbackThatRunsLongMakesTheNextOneLate)
{
    JackServer server;
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(refreshDevices());
    const DeviceRef dev{DeviceApi::Jack, jackDeviceNamed("system")};
    ASSERT_TRUE(initDevice(dev));
    Handle m = createMixer(44100, 2, Decode | NonStop);
    ASSERT_NE(m, 0u);
    std::atomic<int> stall{0};  // 1: the next callback stalls, 2: it has
    ASSERT_NE(setDsp(m,
                     [&](Handle, Handle, float*, int) {
                         int one = 1;
                         if (stall.compare_exchange_strong(one, 2)) std::this_thread::sleep_for(60ms);
                     }),
              0u);
    ASSERT_NE(openOutput(dev, m, {}), 0u);
    DeviceStats st;
    ASSERT_TRUE(waitFor([&] { return getDeviceStats(dev, st) && st.callbacks > 10; }));
    const JackLateness before = jackLateness();
    stall = 1;
    ASSERT_TRUE(waitFor([&] { return stall == 2; }));
    const std::uint64_t at = st.callbacks;
    ASSERT_TRUE(waitFor([&] { return getDeviceStats(dev, st) && st.callbacks > at + 10; }));
    EXPECT_GE(jackLateness().lateStarts, before.lateStarts + 1);
    EXPECT_TRUE(freeDevice(dev));
}

// The JACK server dies under a running output: an error code, no crash, no hang, and the
// ALSA output goes on playing.
TEST_F(Devices, JackServerThatVanishesLeavesTheOtherDevicesPlaying)
{
    JackServer server;
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(refreshDevices());
    const DeviceRef jack{DeviceApi::Jack, jackDeviceNamed("system")}, pcm{DeviceApi::Alsa, 1};
    ASSERT_TRUE(initDevice(jack));
    ASSERT_TRUE(initDevice(pcm));
    Handle m = createMixer(44100, 2, Decode | NonStop);
    Handle d = openFile(makeTone(dir, 440).toStdString(), Decode | Loop);
    ASSERT_TRUE(m && d && mixerAdd(m, d, NoRampIn));
    ASSERT_NE(openOutput(jack, m, {}), 0u);
    Handle m2 = createMixer(44100, 2, Decode | NonStop);
    ASSERT_NE(openOutput(pcm, m2, {}), 0u);
    DeviceStats st;
    ASSERT_TRUE(waitFor([&] { return getDeviceStats(jack, st) && st.callbacks > 10; }));

    server.stop();
    ASSERT_TRUE(waitFor([&] { return getDeviceStats(jack, st) && st.lost; }));
    EXPECT_EQ(openOutput(jack, m, {}), 0u);
    EXPECT_EQ(lastError(), Error::Device);
    EXPECT_FALSE(startDevice(jack));

    DeviceStats before, after;
    ASSERT_TRUE(getDeviceStats(pcm, before));
    ASSERT_TRUE(waitFor([&] { return getDeviceStats(pcm, after) && after.frames > before.frames + 44100; }));
    EXPECT_FALSE(after.lost);
    EXPECT_TRUE(freeDevice(jack));
    EXPECT_TRUE(freeDevice(pcm));

    // the refresh buttons: the dead server's devices go, a new server's come and play
    ASSERT_TRUE(refreshDevices());
    EXPECT_EQ(jackDeviceNamed("system"), -1);
    ASSERT_TRUE(server.restart());
    ASSERT_TRUE(refreshDevices());
    const DeviceRef again{DeviceApi::Jack, jackDeviceNamed("system")};
    ASSERT_GE(again.index, 0);
    ASSERT_TRUE(initDevice(again));
    Handle m3 = createMixer(44100, 2, Decode | NonStop);
    ASSERT_NE(openOutput(again, m3, {}), 0u);
    ASSERT_TRUE(waitFor([&] { return getDeviceStats(again, st) && st.callbacks > 10; }));
    EXPECT_FALSE(st.lost);
    EXPECT_TRUE(freeDevice(again));
}

