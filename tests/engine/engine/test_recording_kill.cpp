// A recording survives its process being killed: a child records the mix in real time (the
// master and the recorder on the no-sound clock) and reports how much it recorded; the test
// kills it with SIGKILL and reads the file it left. A recording that stops mid-way (a file
// size limit, the most a WAV file can state) ends with what it wrote readable, grabando clear
// and the user told.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <sys/resource.h>

#include <QTimer>

#include "platform/sound/wavwriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include "tests/engine/engine/enginerig.h"

using namespace enginerig;

namespace {

constexpr int kBytesPerSecond = 176400;

// The child: records until killed, printing the recorder's position in bytes.
int recordForever(const QString& file)
{
    Rig rig(false);
    audiobase& e = *rig.engine;
    e.soundcfg->devicemode = 1;
    e.soundcfg->devicework = 3;
    e.soundcfg->dsnum[0] = -1;  // the no-sound device
    e.initds();
    rig.playtones();
    e.graba(file, 1);
    if (!e.grabando) return 2;
    for (;;) {
        std::printf("recorded %lld\n", static_cast<long long>(sound::getPosition(e.Grabacion)));
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// The child: records under a file size limit (SIGXFSZ ignored, so a write past it fails with
// EFBIG) and runs the engine's tick until the recording has stopped by itself.
int recordUnderALimit(const QString& file, rlim_t limit)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit rl{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &rl) != 0) return 3;
    Rig rig(false);
    audiobase& e = *rig.engine;
    e.soundcfg->devicemode = 1;
    e.soundcfg->devicework = 3;
    e.soundcfg->dsnum[0] = -1;
    e.initds();
    rig.playtones();
    e.graba(file, 1);
    if (!e.grabando) return 2;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!e.grabando && !rig.box.calls.empty()) QCoreApplication::quit();
    });
    poll.start(20);
    QTimer::singleShot(20000, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    std::printf("grabando %d boxes %d\n", int(e.grabando.load()), int(rig.box.calls.size()));
    std::fflush(stdout);
    return 0;
}

struct Header {
    bool ok = false;
    qint64 dataBytes = 0;   // as the header says
    qint64 fileBytes = 0;   // what the file holds after the header
};

Header readHeader(const QString& path)
{
    Header h;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return h;
    const QByteArray b = f.readAll();
    if (b.size() < 44 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") return h;
    auto u32 = [&](int at) {
        return qint64(uint8_t(b[at])) | qint64(uint8_t(b[at + 1])) << 8 | qint64(uint8_t(b[at + 2])) << 16 |
               qint64(uint8_t(b[at + 3])) << 24;
    };
    for (int at = 12; at + 8 <= b.size();) {
        const qint64 size = u32(at + 4);
        if (b.mid(at, 4) == "data") {
            h.ok = true;
            h.dataBytes = size;
            h.fileBytes = b.size() - at - 8;
            break;
        }
        at += 8 + int(size + (size & 1));
    }
    return h;
}

TEST(Recording, AKilledProcessLeavesAPlayableFileShortOfAtMostItsLastSecond)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("killed.wav");
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--record-child", file});
    ASSERT_TRUE(child.waitForStarted());

    qint64 recorded = 0;
    QByteArray pending;
    while (recorded < 3 * kBytesPerSecond) {
        ASSERT_TRUE(child.waitForReadyRead(20000)) << "the child stopped reporting";
        pending += child.readAllStandardOutput();
        for (int nl; (nl = pending.indexOf('\n')) >= 0; pending.remove(0, nl + 1))
            if (pending.startsWith("recorded ")) recorded = pending.mid(9, nl - 9).toLongLong();
    }
    child.kill();
    child.waitForFinished();
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    const Header h = readHeader(file);
    ASSERT_TRUE(h.ok);
    EXPECT_LE(h.dataBytes, h.fileBytes);
    EXPECT_GE(h.dataBytes, recorded - kBytesPerSecond - 4 * 2048);
    // and a decoder reads the sound the header declares
    const sound::Handle dec = sound::openFile(file.toStdString());
    ASSERT_NE(dec, 0u);
    EXPECT_GE(sound::getLength(dec), recorded - kBytesPerSecond - 4 * 2048);
    sound::freeStream(dec);
}

TEST(Recording, StoppedByAFileSizeLimitItEndsReadableAndTellsTheUser)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("limited.wav");
    constexpr qint64 kLimit = 300000;  // under two seconds of the mix
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--record-limited", file, QString::number(kLimit)});
    ASSERT_TRUE(child.waitForStarted());
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
    EXPECT_EQ(QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed(), QStringLiteral("grabando 0 boxes 1"));
    const Header h = readHeader(file);
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.dataBytes, h.fileBytes);
    EXPECT_GT(h.dataBytes, kLimit - 44 - 64 * 1024);
    EXPECT_LE(h.dataBytes, kLimit - 44);
    const sound::Handle dec = sound::openFile(file.toStdString());
    ASSERT_NE(dec, 0u);
    EXPECT_EQ(sound::getLength(dec), h.dataBytes);
    sound::freeStream(dec);
}

// The most a WAV header can state, brought down by the writer's test hook: the take ends
// there, whole frames, readable, and the engine lets go of it at its next tick.
TEST(Recording, ReachingTheLargestWavFileEndsTheTake)
{
    sound::WavWriter::setDataLimitForTests(176400 + 2);
    Rig rig;
    audiobase& e = *rig.engine;
    e.initds();
    rig.playtones();
    const QString file = rig.dir.filePath("full.wav");
    e.graba(file, 1);
    ASSERT_TRUE(e.grabando);
    for (int i = 0; i < 20 && e.grabando; ++i) {
        e.render(44100 / 4);
        e.OnChangeTimer();
    }
    sound::WavWriter::setDataLimitForTests(0);
    EXPECT_FALSE(e.grabando);
    EXPECT_EQ(e.encoder.load(), 0u);
    QCoreApplication::processEvents();
    ASSERT_EQ(rig.box.calls.size(), 1u);
    EXPECT_EQ(rig.box.calls[0].caption, QStringLiteral("Warning "));
    const Header h = readHeader(file);
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.dataBytes, 176400);
    EXPECT_EQ(h.fileBytes, 176400);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--record-child") return recordForever(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && std::string(argv[1]) == "--record-limited")
        return recordUnderALimit(QString::fromLocal8Bit(argv[2]), rlim_t(std::atoll(argv[3])));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
