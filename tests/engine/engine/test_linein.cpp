// The engine's input recordings (the line-in path and the test path into "output.wav"), on
// ALSA capture PCMs the test builds over a file, and with no capture device at all; the mix
// recording stopped alone; the input kind from a device's name; the headphone levels kept.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <sys/resource.h>

#include <QDir>
#include <QFile>

#include "engine/ostrelli.h"
#include "tests/engine/engine/enginerig.h"
#include "tests/support/alsafilepcms.h"
#include "tests/support/wavreader.h"

using namespace enginerig;
using namespace std::chrono_literals;

namespace {

constexpr int kPeriod = 30000;  // the input's values run 1..kPeriod, again and again

// an input of frames x 2 floats whose left value counts up and right value counts down
void writeInput(const QString& path, int frames)
{
    std::vector<float> v(size_t(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        v[2 * size_t(i)] = float(i % kPeriod + 1) / 32768.0f;
        v[2 * size_t(i) + 1] = -float(i % kPeriod + 1) / 32768.0f;
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(v.data()), qint64(v.size() * 4));
}

// A profile folder of the test's own: tests run side by side.
struct PrivateProfile {
    PrivateProfile()
    {
        qputenv("HOME", QFile::encodeName(home.path()));
        QDir().mkpath(GetUserProfile());
    }
    QTemporaryDir home;
};

template <class F>
bool waitFor(F cond, std::chrono::milliseconds limit = 20s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// The take is the input as captured: 44.1 kHz stereo 16-bit, one unbroken run of the input
// at its start (an unpaced input outruns the file writer later on).
void expectInputTake(const QString& path)
{
    const testsupport::Wav w = testsupport::readWav(path);
    EXPECT_EQ(w.format, 1);
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.rate, 44100);
    EXPECT_EQ(w.bits, 16);
    ASSERT_GE(w.samples.size(), 2000u);
    for (size_t i = 0; i < 1000; ++i) {
        const int left = w.samples[2 * i];
        ASSERT_TRUE(left >= 1 && left <= kPeriod) << i;
        ASSERT_EQ(w.samples[2 * i + 1], -left) << i;
        if (i > 0) {
            ASSERT_EQ(left, w.samples[2 * i - 2] % kPeriod + 1) << i;
        }
    }
}

}  // namespace

TEST(LineIn, WithoutACaptureDeviceAStartFailsAndChangesNothing)
{
    AlsaFilePcms pcms({}, 2, AlsaFilePcms::Capture::None);
    ASSERT_TRUE(sound::refreshDevices());
    ASSERT_EQ(sound::recordDeviceCount(), 0);
    Rig rig;
    rig.playtones();
    const QString mix = rig.dir.filePath("mix.wav");
    rig.engine->graba(mix, 1);
    ASSERT_TRUE(rig.engine->grabando);
    const sound::Handle encoder = rig.engine->encoder;

    const QString line = rig.dir.filePath("line.wav");
    rig.engine->grabads(line, true);
    EXPECT_EQ(rig.messages, QStringList{"Couldn't start recording"});
    EXPECT_EQ(rig.engine->recchan, 0u);
    EXPECT_FALSE(QFile::exists(line));
    // the mix recording goes on as it was
    EXPECT_TRUE(rig.engine->grabando);
    EXPECT_TRUE(estagrabando);
    EXPECT_EQ(rig.engine->encoder, encoder);
    EXPECT_NE(rig.deck(1).recdsp, 0u);

    PrivateProfile profile;
    rig.engine->StartRecording();
    EXPECT_EQ(rig.messages, (QStringList{"Couldn't start recording", "Couldn't start recording"}));
    EXPECT_EQ(rig.engine->rdschan, 0u);
    EXPECT_FALSE(QFile::exists(GetUserProfile() + "output.wav"));
    rig.engine->StopRecording();
    EXPECT_EQ(rig.engine->UpdateInputInfo(), "undefined");
}

TEST(LineIn, RecordsTheInputAndStopsTheMixRecordingFirst)
{
    AlsaFilePcms pcms({}, 2, AlsaFilePcms::Capture::File);
    writeInput(pcms.inputPath(), 441000);
    ASSERT_TRUE(sound::refreshDevices());
    ASSERT_GE(sound::recordDeviceCount(), 1);
    Rig rig;
    rig.playtones();
    rig.engine->graba(rig.dir.filePath("mix.wav"), 1);
    ASSERT_TRUE(estagrabando);

    const QString line = rig.dir.filePath("line.wav");
    rig.engine->grabads(line, true);
    EXPECT_TRUE(rig.messages.isEmpty());
    ASSERT_NE(rig.engine->recchan, 0u);
    EXPECT_TRUE(rig.engine->grabando);
    EXPECT_FALSE(estagrabando);  // the mix recording stopped: its taps and encoder are gone
    EXPECT_EQ(rig.engine->encoder, 0u);
    EXPECT_EQ(rig.deck(1).recdsp, 0u);
    ASSERT_TRUE(waitFor([&] { return QFile(line).size() > 44 + 8000; }));

    rig.engine->grabads(QString(), false);
    EXPECT_EQ(rig.engine->recchan, 0u);
    EXPECT_FALSE(rig.engine->grabando);
    expectInputTake(line);
    EXPECT_EQ(rig.engine->UpdateInputInfo(), "undefined");  // "default" names no kind
}

TEST(LineIn, AFileThatCannotBeWrittenStartsNothing)
{
    AlsaFilePcms pcms({}, 2, AlsaFilePcms::Capture::File);
    writeInput(pcms.inputPath(), 44100);
    ASSERT_TRUE(sound::refreshDevices());
    Rig rig;
    rig.engine->graba(rig.dir.filePath("mix.wav"), 1);
    rig.engine->grabads(rig.dir.filePath("missing/folder/line.wav"), true);
    EXPECT_EQ(rig.messages, QStringList{"Couldn't start encoding"});
    EXPECT_EQ(rig.engine->recchan, 0u);
    EXPECT_TRUE(estagrabando);
    EXPECT_TRUE(rig.engine->grabando);
    // the input is free again: a start into a good file records
    rig.engine->grabads(rig.dir.filePath("line.wav"), true);
    EXPECT_NE(rig.engine->recchan, 0u);
}

TEST(LineIn, TheTestPathRecordsIntoOutputWavInTheProfileFolder)
{
    AlsaFilePcms pcms({}, 2, AlsaFilePcms::Capture::File);
    writeInput(pcms.inputPath(), 441000);
    ASSERT_TRUE(sound::refreshDevices());
    PrivateProfile profile;
    const QString out = GetUserProfile() + "output.wav";
    ASSERT_TRUE(out.startsWith(profile.home.path()));
    Rig rig;
    rig.engine->StartRecording();
    EXPECT_TRUE(rig.messages.isEmpty());
    ASSERT_NE(rig.engine->rdschan, 0u);
    EXPECT_FALSE(rig.engine->grabando);  // not the line-in take
    ASSERT_TRUE(waitFor([&] { return QFile(out).size() > 44 + 8000; }));
    rig.engine->StopRecording();
    EXPECT_EQ(rig.engine->rdschan, 0u);
    expectInputTake(out);
}

TEST(LineIn, ATakeWhoseFileStopsGrowingClearsTheRecordingFlag)
{
    AlsaFilePcms pcms({}, 2, AlsaFilePcms::Capture::File);
    writeInput(pcms.inputPath(), 441000);
    ASSERT_TRUE(sound::refreshDevices());
    Rig rig;
    // a file size limit stands for a disk that fills up during the take
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    rlimit low = old;
    low.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
    rig.engine->grabads(rig.dir.filePath("line.wav"), true);
    const bool started = rig.engine->recchan != 0;
    const bool cleared = waitFor([&] { return !rig.engine->grabando; });
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldSignal);
    ASSERT_TRUE(started);
    EXPECT_TRUE(cleared);
    EXPECT_FALSE(rig.engine->RecordingCallback(rig.engine->recchan, nullptr, 0, nullptr));
    rig.engine->grabads(QString(), false);
    EXPECT_EQ(rig.engine->recchan, 0u);
}

TEST(LineIn, StoppingTheMixRecordingAlone)
{
    Rig rig;
    rig.engine->soundcfg->devicework = 3;
    ASSERT_TRUE(rig.engine->initds());
    rig.playtones();
    const QString mix = rig.dir.filePath("mix.wav");
    rig.engine->graba(mix, 1);
    ASSERT_NE(rig.deck(2).recdsp2, 0u);
    rig.engine->render(44100);
    rig.engine->grabaas();
    EXPECT_FALSE(rig.engine->grabando);
    EXPECT_FALSE(estagrabando);
    EXPECT_EQ(rig.engine->encoder, 0u);
    for (int n = 1; n <= 4; ++n) {
        carga& d = rig.deck(n);
        EXPECT_EQ(n == 1 ? d.recdsp : n == 2 ? d.recdsp2 : n == 3 ? d.recsam : d.recsam2, 0u) << n;
    }
    const testsupport::Wav w = testsupport::readWav(mix);
    EXPECT_EQ(w.channels, 2);
    EXPECT_NEAR(double(w.samples.size() / 2), 44100.0, 4096.0);  // the take is complete
    rig.engine->grabaas();  // again: nothing to stop
    EXPECT_TRUE(rig.messages.isEmpty());
}

TEST(LineIn, InputKindFromTheDevicesName)
{
    const struct {
        const char* name;
        const char* kind;
    } cases[] = {
        {"HDA Intel PCH: ALC892 Digital (hw:0,1)", "digital"},
        {"USB S/PDIF In", "digital"},
        {"iec958:CARD=Audio", "digital"},
        {"Line In", "line-in"},
        {"Headset Microphone", "microphone"},
        {"Mic (hw:2,0)", "microphone"},
        {"MIDI Synth", "midi synth"},
        {"CD audio", "analog cd"},
        {"Telephone", "telephone"},
        {"PC Speaker", "pc speaker"},
        {"Wave In", "wave/pcm"},
        {"dmix pcm", "wave/pcm"},
        {"Aux", "aux"},
        {"HDA Intel PCH: ALC892 Analog (hw:0,0)", "analog"},
        {"default", "undefined"},
        {"pulse", "undefined"},
        {"HDMI 0", "undefined"},
        {"", "undefined"},
    };
    for (const auto& c : cases) EXPECT_EQ(audiobase::inputKind(QString::fromLatin1(c.name)), c.kind) << c.name;
}

TEST(LineIn, HeadphoneLevelsKeptByVolheadphones)
{
    Rig rig;
    const struct {
        int vol2;
        double vol1;
        int head1, head2;
    } steps[] = {{70, 1.0, 70, 0}, {40, 0.5, 70, 40}, {90, 2.0, 70, 90}, {10, 1.0, 10, 90}};
    headvol1 = 0;
    headvol2 = 0;
    for (const auto& s : steps) {
        rig.engine->volheadphones(s.vol2, s.vol1);
        EXPECT_EQ(headvol1, s.head1);
        EXPECT_EQ(headvol2, s.head2);
    }
    rig.engine->mutemic();
    rig.engine->UpdateEcho();
}
