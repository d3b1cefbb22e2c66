// A recording survives its process being killed: a child records the mix in real time (the
// master and the recorder on the no-sound clock) and reports how much it recorded; the test
// kills it with SIGKILL and reads the file it left.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

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

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--record-child") return recordForever(QString::fromLocal8Bit(argv[2]));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
