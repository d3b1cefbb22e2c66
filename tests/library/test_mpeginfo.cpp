#include <gtest/gtest.h>

#include <random>

#include <QBuffer>
#include <QTemporaryDir>

#include "tests/library/mp3fixture.h"
#include "library/taudioinfo.h"

namespace {
TAudioInfo infoOf(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer b(&copy);
    b.open(QIODevice::ReadOnly);
    TAudioInfo a;
    a.LoadFromStream(&b, copy.size());
    return a;
}

struct HeaderCase {
    const char* name;
    uint8_t b1, b2, b3;
    bool ok;
    int version, layer, kbit, rate, mode, frameLen;
};
}  // namespace

TEST(MpegFrameHdr, DecodesHeaders)
{
    const HeaderCase cases[] = {
        {"mpeg1 layer3 128k", 0xFB, 0x90, 0x64, true, 1, 3, 128, 44100, 1, 417},
        {"same with padding", 0xFB, 0x92, 0x64, true, 1, 3, 128, 44100, 1, 418},
        {"layer2 32k stereo", 0xFD, 0x10, 0x00, false, 1, 2, 32, 44100, 0, 104},
        {"layer2 32k mono", 0xFD, 0x10, 0xC0, true, 1, 2, 32, 44100, 3, 104},
        {"layer2 384k mono", 0xFD, 0xE0, 0xC0, false, 1, 2, 384, 44100, 3, 1253},
        {"layer1 32k", 0xFF, 0x10, 0x00, true, 1, 1, 32, 44100, 0, 34},
        {"mpeg2 layer3 64k 22050", 0xF3, 0x80, 0x00, true, 2, 3, 64, 22050, 0, 208},
        {"mpeg2 layer2 64k 22050", 0xF5, 0x80, 0x00, true, 2, 2, 64, 22050, 0, 417},
        {"mpeg2.5 layer3 32k 11025", 0xE3, 0x40, 0x00, true, 3, 3, 32, 11025, 0, 208},
        {"reserved version", 0xEB, 0x90, 0x00, false, 0, 3, -1, -1, 0, 4},
        {"bad bit rate", 0xFB, 0xF0, 0x00, false, 1, 3, -1, 44100, 0, 4},
        {"bad sampling rate", 0xFB, 0x9C, 0x00, false, 1, 3, 128, -1, 0, 4},
        {"free format", 0xFB, 0x00, 0x00, true, 1, 3, 0, 44100, 0, 4},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const uint8_t b[4] = {0xFF, c.b1, c.b2, c.b3};
        TMpegFrameHdr h;
        EXPECT_EQ(h.Load(b, 4), c.ok);
        EXPECT_EQ(h.Version, c.version);
        EXPECT_EQ(h.Layer, c.layer);
        EXPECT_EQ(h.KBitRate, c.kbit);
        EXPECT_EQ(h.SamplingRate, c.rate);
        EXPECT_EQ(h.ChannelMode, c.mode);
        EXPECT_EQ(h.FrameLen, c.frameLen);
    }
    TMpegFrameHdr h;
    const uint8_t few[3] = {0xFF, 0xFB, 0x90};
    EXPECT_FALSE(h.Load(few, 3));
    const uint8_t junk[] = {0x00, 0xFF, 0x00, 0xFF, 0xFB, 0x90, 0x64, 0x00};
    EXPECT_EQ(h.Locate(junk, sizeof junk), 3);
    EXPECT_EQ(h.Locate(junk, 6), -1);
}

TEST(AudioInfo, FirstFrameRightAfterTheId3v2Tag)
{
    const TAudioInfo a = infoOf(mp3::id3v2(2000) + mp3::frames(20));
    EXPECT_EQ(a.fID3v2.GetSize(), 2000);
    EXPECT_TRUE(a.fMpg.Ok);
    EXPECT_EQ(a.fFirstMpegFramePos, 2000);
}

TEST(AudioInfo, FramesAreLookedForOnlyNearTheTag)
{
    const TAudioInfo near = infoOf(mp3::id3v2(1000) + QByteArray(10000, '\0') + mp3::frames(5));
    EXPECT_EQ(near.fFirstMpegFramePos, 11000);
    const TAudioInfo far = infoOf(mp3::id3v2(1000) + QByteArray(10500, '\0') + mp3::frames(5));
    EXPECT_FALSE(far.fMpg.Ok);
    EXPECT_EQ(far.fFirstMpegFramePos, -1);
    EXPECT_EQ(far.fDuration, -1);
    EXPECT_EQ(far.fBitRate, 0);
}

TEST(AudioInfo, AFalseSyncIsNotTakenForAFrame)
{
    // a lone header whose successor is not a frame, then real frames
    const TAudioInfo a = infoOf(QByteArray(3, '\0') + mp3::header() + QByteArray(600, '\x11') + mp3::frames(4));
    EXPECT_TRUE(a.fMpg.Ok);
    EXPECT_EQ(a.fFirstMpegFramePos, 607);
}

TEST(AudioInfo, ConstantBitRateDuration)
{
    QByteArray audio = mp3::frames(2400);
    audio.truncate(1000000);
    const TAudioInfo a = infoOf(audio + mp3::id3v1("T", "A"));
    EXPECT_TRUE(a.fID3v1.fOk);
    EXPECT_FALSE(a.fIsVBR);
    EXPECT_EQ(a.fMpegBytesNum, 1000000);
    EXPECT_EQ(a.fDuration, 62500);
    EXPECT_EQ(a.fBitRate, 128000);
    EXPECT_EQ(a.fFramesNum, 1000000 / 417);
}

namespace {
QByteArray xingFile(int frames, uint32_t bytes, int stored, const QByteArray& hdr = mp3::header(), int at = 36)
{
    QByteArray first = mp3::frame(hdr);
    const QByteArray x = QByteArray("Xing") + mp3::be32(3) + mp3::be32(uint32_t(frames)) + mp3::be32(bytes);
    first.replace(at, x.size(), x);
    return first + mp3::frames(stored, hdr);
}
}  // namespace

TEST(AudioInfo, XingHeaderGivesFramesDurationAndBitRate)
{
    const TAudioInfo a = infoOf(xingFile(1000, 417000, 999));
    EXPECT_TRUE(a.fIsVBR);
    EXPECT_TRUE(a.fXingVBR.Ok);
    EXPECT_EQ(a.fXingVBR.Flags, 3);
    EXPECT_EQ(a.fFramesNum, 1000);
    EXPECT_EQ(a.fDuration, 26122);
    EXPECT_EQ(a.fMpegBytesNum, 417000);
    EXPECT_EQ(a.fBitRate, 127708);
}

TEST(AudioInfo, CutXingFileScalesDurationAndFrames)
{
    const TAudioInfo a = infoOf(xingFile(1000, 417000, 499));  // half the bytes
    EXPECT_EQ(a.fFramesNum, 500);
    EXPECT_EQ(a.fDuration, 13061);
    EXPECT_EQ(a.fMpegBytesNum, 500 * 417);  // what the file holds
}

TEST(AudioInfo, Mpeg2LayerThreeFramesHold576Samples)
{
    const QByteArray hdr = mp3::header(0xF3, 0x80, 0x00);  // 22050 Hz stereo: Xing at +21
    const TAudioInfo a = infoOf(xingFile(1000, 0, 20, hdr, 21));
    EXPECT_TRUE(a.fXingVBR.Ok);
    EXPECT_EQ(a.fDuration, 26122);
}

TEST(AudioInfo, VbriHeader)
{
    QByteArray first = mp3::frame();
    const QByteArray v = QByteArray("VBRI") + QByteArray("\x00\x01\x00\x00\x00\x50", 6) + mp3::be32(417000) +
                         mp3::be32(1000);
    first.replace(36, v.size(), v);
    const TAudioInfo a = infoOf(first + mp3::frames(999));
    EXPECT_TRUE(a.fIsVBR);
    EXPECT_EQ(a.fFramesNum, 1000);
    EXPECT_EQ(a.fDuration, 26122);
}

TEST(AudioInfo, FileLoadKeepsSizeAndDate)
{
    QTemporaryDir dir;
    const QString p = dir.filePath("x.mp3");
    ASSERT_TRUE(mp3::write(p, mp3::frames(10) + mp3::id3v1("Song", "Band")));
    TAudioInfo a;
    a.LoadFromFile(p);
    EXPECT_EQ(a.fFileSize, 10 * 417 + 128);
    EXPECT_GT(a.fFileDate, 0);
    EXPECT_EQ(a.fID3v1.fTitle, "Song");
    EXPECT_THROW(a.LoadFromFile(dir.filePath("missing.mp3")), std::runtime_error);
    a.LoadFromFile("   ");
    EXPECT_FALSE(a.fMpg.Ok);
}

// Bad input: nothing read out of bounds (run under ASan), nothing hangs, nothing found
// that is not there.
TEST(AudioInfo, BadInputIsSafe)
{
    QByteArray lying = QByteArray("ID3\x04\x00\x00", 6) + mp3::synchsafe(0x0FFFFFFF) + mp3::textFrame("TIT2", "x");
    QByteArray frameLie = QByteArray("ID3\x03\x00\x00", 6) + mp3::synchsafe(30) + QByteArray("TIT2") +
                          mp3::be32(0xFFFFFFF0) + QByteArray(16, 'a');
    const struct {
        const char* name;
        QByteArray bytes;
        bool frame;
    } cases[] = {
        {"empty", QByteArray(), false},
        {"three bytes", QByteArray("\xFF\xFB\x90", 3), false},
        {"header only", mp3::header(), false},
        {"tag at the start of a 10-byte file", QByteArray("ID3\x03\x00\x00\x00\x00\x00\x7F", 10), false},
        {"tag size beyond the data", lying + mp3::frames(3), true},
        {"frame size beyond the tag", frameLie + mp3::frames(3), true},
        {"truncated ID3v1", QByteArray("TAG") + QByteArray(50, 'x'), false},
        {"Xing cut short", xingFile(1000, 417000, 0).left(100), false},
        {"frame at the very end", QByteArray(40, '\0') + mp3::header(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TAudioInfo a = infoOf(c.bytes);
        EXPECT_EQ(a.fMpg.Ok, c.frame);
        if (!c.frame) {
            EXPECT_EQ(a.fDuration, -1);
        }
    }
    std::mt19937 rng(20261210);
    for (int i = 0; i < 3000; ++i) {
        QByteArray b(int(rng() % 3000), '\0');
        for (auto& ch : b) ch = char(rng() % 4 == 0 ? 0xFF : rng());
        if (i % 3 == 0) b.prepend(QByteArray("ID3\x03\x00\x00", 6) + mp3::synchsafe(rng() % 4000));
        const TAudioInfo a = infoOf(b);
        EXPECT_LE(a.fFirstMpegFramePos, b.size());
    }
}
