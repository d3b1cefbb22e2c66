// Recording: WAV encoders at the end of a stream's chain, and input devices (the capture
// side of the ALSA file PCM reads a file we wrote).
#include "platform/sound/sound.h"

#include "tests/support/alsafilepcms.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "tests/support/toolprocess.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <cstring>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace sound;
using namespace std::chrono_literals;

namespace {

struct Wav {
    bool ok = false;
    uint16_t format = 0, channels = 0, bits = 0;
    uint32_t rate = 0, dataSize = 0;
    QByteArray data;  // what the file holds after the header
};

Wav readWav(const QString& path)
{
    Wav w;
    // read to the end in one pass from the start: the header comes before the data it states.
    // (A read bounded by a size taken first may meet a header written after that size.)
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return w;
    QByteArray b;
    char chunk[1 << 16];
    for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) > 0;) b.append(chunk, qsizetype(n));
    ::close(fd);
    if (b.size() < 44 || !b.startsWith("RIFF") || b.mid(36, 4) != "data") return w;
    const std::vector<char> bytes(b.begin(), b.end());
    auto u16 = [&](int at) { uint16_t v; std::memcpy(&v, bytes.data() + at, 2); return v; };
    auto u32 = [&](int at) { uint32_t v; std::memcpy(&v, bytes.data() + at, 4); return v; };
    w.format = u16(20);
    w.channels = u16(22);
    w.rate = u32(24);
    w.bits = u16(34);
    w.dataSize = u32(40);
    w.data = b.mid(44);
    w.ok = true;
    return w;
}

class Recording : public ::testing::Test {
protected:
    void SetUp() override
    {
        noise_ = dir_.filePath("noise.wav").toStdString();
        ASSERT_EQ(testsupport::runTool("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16",
                                            QString::fromStdString(noise_), "synth", "3", "whitenoise", "vol", "0.5"}),
                  0);
    }
    void TearDown() override { freeAll(); }

    // the recording mixer of the engine: a decoding mixer over the file
    Handle mixerOver(const std::string& file, unsigned flags = Decode)
    {
        Handle m = createMixer(44100, 2, flags);
        Handle d = openFile(file);
        EXPECT_TRUE(m && d && mixerAdd(m, d, NoRampIn));
        return m;
    }

    QTemporaryDir dir_;
    std::string noise_;
};

}  // namespace

TEST_F(Recording, WritesWhatTheStreamProducesBitExactly)
{
    Handle m = mixerOver(noise_);
    const QString out = dir_.filePath("take.wav");
    Handle enc = encodeToWav(m, out.toStdString());
    ASSERT_NE(enc, 0u);
    EXPECT_EQ(kindOf(enc), Kind::Encoder);
    EXPECT_TRUE(encoderActive(enc));
    QByteArray pulled;
    std::vector<char> buf(4000);
    for (int got; (got = getData(m, buf.data(), int(buf.size()))) > 0;) pulled.append(buf.data(), got);
    ASSERT_GE(pulled.size(), 3 * 44100 * 4);
    ASSERT_TRUE(stopEncoder(enc));
    EXPECT_FALSE(stopEncoder(enc));
    EXPECT_EQ(lastError(), Error::Handle);

    Wav w = readWav(out);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.format, 1);
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.bits, 16);
    EXPECT_EQ(w.rate, 44100u);
    EXPECT_EQ(w.dataSize, uint32_t(pulled.size()));
    EXPECT_TRUE(w.data == pulled);
}

// While a take runs, the file on disk is a WAV whose header lags the audio by at most a
// second (counted in bytes of audio, waited for in bounded wall time).
TEST_F(Recording, HeaderFollowsTheTakeWhileItRuns)
{
    Handle m = mixerOver(noise_);
    const QString out = dir_.filePath("live.wav");
    Handle enc = encodeToWav(m, out.toStdString());
    ASSERT_NE(enc, 0u);
    std::vector<char> buf(44100 * 4);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(getData(m, buf.data(), int(buf.size())), int(buf.size()));
    const uint32_t pulled = 3 * 44100 * 4;
    Wav w;
    const auto end = std::chrono::steady_clock::now() + 20s;
    do {
        std::this_thread::sleep_for(10ms);
        w = readWav(out);
    } while ((!w.ok || w.dataSize + 44100 * 4 < pulled) && std::chrono::steady_clock::now() < end);
    ASSERT_TRUE(w.ok);
    EXPECT_GE(w.dataSize + 44100 * 4, pulled);
    EXPECT_LE(qsizetype(w.dataSize), w.data.size());
    EXPECT_TRUE(encoderActive(enc));
    EXPECT_TRUE(stopEncoder(enc));
}

struct Place { const char* what; QString (*path)(const QTemporaryDir&); };

class RecordingBadPlace : public Recording, public ::testing::WithParamInterface<Place> {};

TEST_P(RecordingBadPlace, IsAWriteError)
{
    Handle m = mixerOver(noise_);
    EXPECT_EQ(encodeToWav(m, GetParam().path(dir_).toStdString()), 0u);
    EXPECT_EQ(lastError(), Error::Write);
    EXPECT_TRUE(mixerSources(m).size() == 1);
}

INSTANTIATE_TEST_SUITE_P(Places, RecordingBadPlace, ::testing::Values(
    Place{"missing folder", [](const QTemporaryDir& d) { return d.filePath("no/such/take.wav"); }},
    Place{"a folder", [](const QTemporaryDir& d) { return d.path(); }},
    Place{"full device", [](const QTemporaryDir&) { return QString("/dev/full"); }}),
    [](const auto& info) { std::string s = info.param.what; for (char& c : s) if (c == ' ') c = '_'; return s; });

// The disk fills up during a take: the encoder stops with a write error, nothing crashes,
// and the file keeps what fitted.
TEST_F(Recording, DiskFillingUpStopsTheEncoderWithAnErrorCode)
{
    const QString out = dir_.filePath("full.wav");
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = 200000;
        rlimit rl{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0) _exit(2);
        Handle m = mixerOver(noise_);
        Handle enc = encodeToWav(m, out.toStdString());
        if (!enc) _exit(3);
        std::vector<char> buf(44100);
        while (getData(m, buf.data(), int(buf.size())) > 0) {}
        for (int i = 0; i < 2000 && encoderActive(enc); ++i) usleep(10000);
        if (encoderActive(enc) || lastError() != Error::Write) _exit(4);
        if (stopEncoder(enc) || lastError() != Error::Write) _exit(5);
        freeAll();  // joins the decoder's background thread
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    Wav w = readWav(out);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(qsizetype(w.dataSize), w.data.size());
    EXPECT_EQ(w.dataSize % 4, 0u);
    EXPECT_GT(w.dataSize, 199000u);
}

TEST_F(Recording, EncoderCallsOnBadHandles)
{
    EXPECT_FALSE(encoderActive(0));
    EXPECT_EQ(lastError(), Error::Handle);
    EXPECT_FALSE(stopEncoder(12345));
    EXPECT_EQ(lastError(), Error::Handle);
    EXPECT_EQ(encodeToWav(0, dir_.filePath("x.wav").toStdString()), 0u);
    EXPECT_EQ(lastError(), Error::Handle);
}

TEST_F(Recording, InputDeviceDeliversWhatItCaptures)
{
    AlsaFilePcms alsa({}, 2, AlsaFilePcms::Capture::File);
    const int frames = 20000;
    std::vector<float> ramp(size_t(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        ramp[2 * i] = float(i + 1) / 32768.0f;
        ramp[2 * i + 1] = -float(i + 1) / 32768.0f;
    }
    {
        QFile in(alsa.inputPath());
        ASSERT_TRUE(in.open(QIODevice::WriteOnly));
        in.write(reinterpret_cast<const char*>(ramp.data()), qint64(ramp.size() * 4));
    }
    ASSERT_TRUE(refreshDevices());
    ASSERT_GE(recordDeviceCount(), 1);
    DeviceInfo info;
    ASSERT_TRUE(getRecordDeviceInfo(0, info));
    EXPECT_EQ(info.name, "default");
    EXPECT_TRUE(initRecordDevice(0));
    EXPECT_FALSE(initRecordDevice(recordDeviceCount()));
    EXPECT_EQ(lastError(), Error::Device);

    // the callback runs on the input's thread: it only copies into room made beforehand
    std::vector<float> got(size_t(frames) * 2);
    std::atomic<int> have{0};
    Handle rec = startRecord(0, 44100, 2, [&](Handle, const float* f, int n) {
        const int at = have.load();
        const int take = std::min(n, frames / 2 - at);
        std::copy(f, f + 2 * take, got.begin() + 2 * at);
        have.store(at + take);
        return at + take < frames / 2;
    });
    ASSERT_NE(rec, 0u);
    EXPECT_EQ(kindOf(rec), Kind::Record);
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (have.load() < frames / 2 && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(5ms);
    ASSERT_EQ(have.load(), frames / 2);
    EXPECT_TRUE(stopRecord(rec));
    EXPECT_FALSE(stopRecord(rec));
    for (int i = 0; i < frames / 2; ++i) {
        ASSERT_EQ(got[2 * i], ramp[2 * i]) << i;
        ASSERT_EQ(got[2 * i + 1], ramp[2 * i + 1]) << i;
    }
}

// An encoder on a recording input writes what the input captures, in stereo, and the
// recording's stop completes the file. The file PCM is not paced: it runs on while the
// recording is paused, so the take is checked for being one unbroken run of the input.
class InputEncoder : public ::testing::TestWithParam<int> {};

TEST_P(InputEncoder, WritesWhatTheInputCaptures)
{
    const int channels = GetParam();
    AlsaFilePcms alsa({}, 2, AlsaFilePcms::Capture::File);
    QTemporaryDir dir;
    const int frames = 300000, period = 30000;  // input values 1..period, again and again
    std::vector<float> ramp(size_t(frames) * size_t(channels));
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            ramp[size_t(i * channels + c)] = float((c ? -1 : 1) * (i % period + 1)) / 32768.0f;
    {
        QFile in(alsa.inputPath());
        ASSERT_TRUE(in.open(QIODevice::WriteOnly));
        in.write(reinterpret_cast<const char*>(ramp.data()), qint64(ramp.size() * 4));
    }
    ASSERT_TRUE(refreshDevices());
    std::atomic<int> seen{0};
    std::atomic<bool> active{true};
    const int want = 20000;
    Handle rec = startRecord(0, 44100, channels, [&](Handle h, const float*, int n) {
        active = encoderActive(h);  // the encoder on this recording
        seen += n;
        return seen.load() < want;
    }, true);
    ASSERT_NE(rec, 0u);
    const QString path = dir.filePath("line.wav");
    const Handle enc = encodeToWav(rec, path.toStdString());
    ASSERT_NE(enc, 0u);
    EXPECT_EQ(kindOf(enc), Kind::Encoder);
    EXPECT_EQ(streamOfProcessor(enc), 0u);  // no stream behind it
    EXPECT_EQ(lastError(), Error::WrongKind);
    EXPECT_TRUE(encoderActive(enc));
    EXPECT_TRUE(encoderActive(rec));
    EXPECT_EQ(seen.load(), 0);  // paused: the callback sees nothing
    ASSERT_TRUE(pauseRecord(rec, false));
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (seen.load() < want && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(5ms);
    ASSERT_GE(seen.load(), want);
    EXPECT_TRUE(active.load());
    const int captured = seen.load();
    ASSERT_TRUE(stopRecord(rec));
    EXPECT_FALSE(encoderActive(enc));  // went with its recording
    EXPECT_FALSE(stopEncoder(enc));
    EXPECT_EQ(lastError(), Error::Handle);

    const Wav w = readWav(path);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.rate, 44100u);
    EXPECT_EQ(w.bits, 16);
    ASSERT_EQ(int(w.dataSize), captured * 4);  // every block the callback saw, nothing else
    ASSERT_EQ(w.data.size(), qsizetype(w.dataSize));
    std::vector<int16_t> s(size_t(w.dataSize / 2));
    std::memcpy(s.data(), w.data.constData(), w.dataSize);
    for (int i = 0; i < captured; ++i) {
        const int left = s[2 * size_t(i)];
        ASSERT_TRUE(left >= 1 && left <= period) << i;
        if (i > 0) {
            ASSERT_EQ(left, s[2 * size_t(i - 1)] % period + 1) << i;
        }
        ASSERT_EQ(s[2 * size_t(i) + 1], channels == 2 ? -left : left) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Channels, InputEncoder, ::testing::Values(1, 2));
