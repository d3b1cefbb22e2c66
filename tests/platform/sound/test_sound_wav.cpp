#include "platform/sound/wavwriter.h"

#include <gtest/gtest.h>

#include "tests/support/toolprocess.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using sound::WavWriter;

namespace {

struct Header {
    bool ok = false;
    uint32_t riffSize = 0, dataSize = 0, rate = 0, byteRate = 0;
    uint16_t format = 0, channels = 0, blockAlign = 0, bits = 0;
    qint64 fileSize = 0;
};

uint32_t le32(const char* p) { uint32_t v; std::memcpy(&v, p, 4); return v; }
uint16_t le16(const char* p) { uint16_t v; std::memcpy(&v, p, 2); return v; }

Header readHeader(const QString& path)
{
    Header h;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return h;
    QByteArray b = f.read(44);
    h.fileSize = f.size();
    if (b.size() < 44 || !b.startsWith("RIFF") || b.mid(8, 8) != "WAVEfmt " || b.mid(36, 4) != "data") return h;
    const char* p = b.constData();
    h.riffSize = le32(p + 4);
    h.format = le16(p + 20);
    h.channels = le16(p + 22);
    h.rate = le32(p + 24);
    h.byteRate = le32(p + 28);
    h.blockAlign = le16(p + 32);
    h.bits = le16(p + 34);
    h.dataSize = le32(p + 40);
    h.ok = true;
    return h;
}

// samples as another program reads them, or -1
qint64 soxSamples(const QString& path)
{
    QByteArray out;
    if (testsupport::runTool("soxi", {"-s", path}, &out, 20000) != 0) return -1;
    return out.trimmed().toLongLong();
}

std::vector<int16_t> ramp(size_t frames, size_t from)
{
    std::vector<int16_t> v(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        v[2 * i] = int16_t((from + i) & 0x7FFF);
        v[2 * i + 1] = int16_t(-int((from + i) & 0x7FFF));
    }
    return v;
}

}  // namespace

TEST(WavWriter, WritesPcmStereo44100WithExactSizes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("take.wav");
    WavWriter w;
    ASSERT_EQ(w.open(path.toStdString()), WavWriter::Result::Ok);
    size_t written = 0;
    for (size_t chunk : {1000u, 1u, 44100u, 777u}) {
        auto v = ramp(chunk, written);
        ASSERT_EQ(w.write(v.data(), chunk), WavWriter::Result::Ok);
        written += chunk;
    }
    EXPECT_EQ(w.close(), WavWriter::Result::Ok);

    Header h = readHeader(path);
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.format, 1);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(h.rate, 44100u);
    EXPECT_EQ(h.byteRate, 176400u);
    EXPECT_EQ(h.blockAlign, 4);
    EXPECT_EQ(h.bits, 16);
    EXPECT_EQ(h.dataSize, written * 4);
    EXPECT_EQ(h.riffSize, h.dataSize + 36);
    EXPECT_EQ(h.fileSize, 44 + qint64(written) * 4);
    EXPECT_EQ(soxSamples(path), qint64(written));

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    f.seek(44);
    QByteArray data = f.readAll();
    auto expect = ramp(written, 0);
    ASSERT_EQ(size_t(data.size()), expect.size() * 2);
    EXPECT_EQ(std::memcmp(data.constData(), expect.data(), expect.size() * 2), 0);
}

TEST(WavWriter, EmptyRecordingIsAValidFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("empty.wav");
    WavWriter w;
    ASSERT_EQ(w.open(path.toStdString()), WavWriter::Result::Ok);
    EXPECT_EQ(w.close(), WavWriter::Result::Ok);
    Header h = readHeader(path);
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.dataSize, 0u);
    EXPECT_EQ(h.riffSize, 36u);
    EXPECT_EQ(soxSamples(path), 0);
}

// The process dies in the middle of a recording: what is on disk is a readable file
// holding all but at most the last second.
TEST(WavWriter, CrashLosesAtMostTheLastSecond)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("crash.wav");
    const size_t chunk = 441, total = 44100 * 5 / 2;
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        WavWriter w;
        if (w.open(path.toStdString()) != WavWriter::Result::Ok) _exit(3);
        for (size_t done = 0; done < total; done += chunk) {
            auto v = ramp(chunk, done);
            if (w.write(v.data(), chunk) != WavWriter::Result::Ok) _exit(4);
        }
        signal(SIGABRT, SIG_DFL);
        abort();  // no close, no destructor
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "child exit " << WEXITSTATUS(status);

    Header h = readHeader(path);
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.riffSize, h.dataSize + 36);
    EXPECT_EQ(h.dataSize % 4, 0u);
    EXPECT_LE(h.dataSize, total * 4);
    EXPECT_GE(h.dataSize, (total - 44100) * 4);
    EXPECT_GE(h.fileSize, 44 + qint64(h.dataSize));
    EXPECT_EQ(soxSamples(path), qint64(h.dataSize / 4));
}

struct BadPlace { const char* what; QString (*path)(const QTemporaryDir&); };

class WavWriterBadPlace : public ::testing::TestWithParam<BadPlace> {};

TEST_P(WavWriterBadPlace, FailsToOpenWithACode)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("afile"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    WavWriter w;
    EXPECT_EQ(w.open(GetParam().path(dir).toStdString()), WavWriter::Result::CannotCreate);
    EXPECT_FALSE(w.isOpen());
    int16_t frame[2] = {1, 2};
    EXPECT_NE(w.write(frame, 1), WavWriter::Result::Ok);
    EXPECT_EQ(w.close(), WavWriter::Result::CannotCreate);
}

INSTANTIATE_TEST_SUITE_P(Places, WavWriterBadPlace, ::testing::Values(
    BadPlace{"missing folder", [](const QTemporaryDir& d) { return d.filePath("no/such/folder/x.wav"); }},
    BadPlace{"file as folder", [](const QTemporaryDir& d) { return d.filePath("afile/x.wav"); }},
    BadPlace{"a folder", [](const QTemporaryDir& d) { return d.path(); }},
    BadPlace{"empty name", [](const QTemporaryDir&) { return QString(); }}),
    [](const auto& info) { std::string s = info.param.what; for (char& c : s) if (c == ' ') c = '_'; return s; });

TEST(WavWriter, FullDeviceIsAnErrorCode)
{
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    WavWriter w;
    EXPECT_EQ(w.open("/dev/full"), WavWriter::Result::DiskFull);
    EXPECT_FALSE(w.isOpen());
}

// The disk fills up in the middle of a take: an error code, no crash, and the file
// keeps every whole frame that fitted, with a header that says so.
TEST(WavWriter, DiskFullingUpKeepsAReadableFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("full.wav");
    const rlim_t limit = 44 + 100000 + 2;  // not a whole number of frames
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0) _exit(2);
        WavWriter w;
        if (w.open(path.toStdString()) != WavWriter::Result::Ok) _exit(3);
        auto v = ramp(1000, 0);
        for (int i = 0; i < 100; ++i) {
            WavWriter::Result r = w.write(v.data(), 1000);
            if (r == WavWriter::Result::DiskFull) {
                if (w.write(v.data(), 1) != WavWriter::Result::DiskFull) _exit(5);
                _exit(w.close() == WavWriter::Result::DiskFull ? 0 : 6);
            }
            if (r != WavWriter::Result::Ok) _exit(7);
        }
        _exit(8);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    Header h = readHeader(path);
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.dataSize % 4, 0u);
    EXPECT_EQ(h.fileSize, 44 + qint64(h.dataSize));
    EXPECT_GT(h.dataSize, 99000u);
    EXPECT_LE(h.dataSize, 100000u);
    EXPECT_EQ(soxSamples(path), qint64(h.dataSize / 4));
}
