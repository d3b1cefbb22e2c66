// Decoders: every format opens through FFmpeg with an exact length that is the same on every
// open and equals a linear decode; a seek to any frame reads what the linear decode has
// there; a refused seek leaves the position alone; bad files fail with an error code.
#include <gtest/gtest.h>

#include <QFile>
#include <random>

#include "platform/sound/mpegframewalker.h"
#include "tests/platform/sound/soundfixtures.h"

using namespace soundtest;

namespace {

struct Format {
    const char* name;
    const char* file;
    QStringList codec;
    int exactFrames;  // frames the decoder must give for a 2.5 s source
    int rate = 44100;
};

constexpr int kRate = 44100;
constexpr double kSeconds = 2.5;
constexpr int kSourceFrames = 110250;

// The decoder table: every format a deck opens.
std::vector<Format> formats()
{
    return {
        {"mp3", "t.mp3", {"-c:a", "libmp3lame", "-b:a", "192k"}, kSourceFrames},
        {"mp2", "t.mp2", {"-c:a", "mp2", "-b:a", "192k"}, 110592},  // no delay stated: whole frames
        {"wav", "t.wav", {"-c:a", "pcm_s16le"}, kSourceFrames},
        {"ogg", "t.ogg", {"-c:a", "libvorbis", "-q:a", "4"}, kSourceFrames},
        {"wma", "t.wma", {"-c:a", "wmav2", "-b:a", "128k"}, 108544},  // what FFmpeg's decoder gives
        {"flac", "t.flac", {"-c:a", "flac"}, kSourceFrames},
        {"aiff", "t.aiff", {"-c:a", "pcm_s16be"}, kSourceFrames},
        {"aac", "t.aac", {"-c:a", "aac", "-b:a", "128k", "-f", "adts"}, 111616},  // priming kept: ADTS states none
        {"m4a", "t.m4a", {"-c:a", "aac", "-b:a", "128k"}, kSourceFrames},
        {"mp4", "t.mp4", {"-c:a", "aac", "-b:a", "128k"}, kSourceFrames},
        {"opus", "t.opus", {"-c:a", "libopus", "-b:a", "96k"}, 120000, 48000},
        {"wav24_mono", "t24.wav", {"-c:a", "pcm_s24le", "-ac", "1"}, kSourceFrames},
        {"wav_float", "tf.wav", {"-c:a", "pcm_f32le"}, kSourceFrames},
        {"aiff_sowt", "ts.aif", {"-c:a", "pcm_s16le", "-f", "aiff"}, kSourceFrames},
        {"m4a_alac", "ta.m4a", {"-c:a", "alac"}, kSourceFrames},
        {"flac24", "t24.flac", {"-c:a", "flac", "-sample_fmt", "s32", "-frame_size", "1152"}, kSourceFrames},
        // mp1: no Layer I encoder exists on these machines, so no file can be made here; the
        // decoder reaches Layer I through the same FFmpeg MPEG-audio path as mp2 and mp3.
        {"mp1", "t.mp1", {}, -1},
    };
}

QByteArray fileBytes(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const std::string& path, const QByteArray& bytes)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

class DecodeFormat : public ::testing::TestWithParam<Format> {};

// The whole-file decoder is the reference: the length at open and every byte read, linearly
// and at seek points right after open, are its own.
TEST_P(DecodeFormat, LoadsAtOnceWithTheLengthAndBytesOfAWholeDecode)
{
    const Format& f = GetParam();
    if (f.codec.isEmpty())
        GTEST_SKIP() << f.name << ": no encoder for this format on this machine";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::string path = make(dir, f.file, stereoSignal(kRate, kSeconds), f.codec);
    ASSERT_FALSE(path.empty());
    const std::vector<std::int16_t> whole = wholeDecode(path);
    ASSERT_FALSE(whole.empty());
    const std::int64_t wholeFrames = std::int64_t(whole.size() / 2);
    EXPECT_EQ(wholeFrames, f.exactFrames) << "the whole decode";

    {
        sound::Error err = sound::Error::Ok;
        std::unique_ptr<sound::Decoder> d(sound::Decoder::open(path, nullptr, 0, sound::OpenOptions{}, err));
        ASSERT_TRUE(d);
        EXPECT_TRUE(d->decodesInBackground()) << f.name << " was decoded whole at open";
        EXPECT_EQ(d->lengthFrames(), wholeFrames);
    }

    // b seeks right after open, a reads linearly right after open
    sound::Handle b = sound::openFile(path, sound::Decode | sound::Prescan);
    ASSERT_NE(b, 0u) << sound::errorText(sound::lastError());
    const std::int64_t len = sound::getLength(b);
    EXPECT_EQ(len, wholeFrames * 4) << "length at open";
    sound::StreamInfo info;
    ASSERT_TRUE(sound::getInfo(b, info));
    EXPECT_EQ(info.rate, f.rate);
    EXPECT_EQ(info.channels, 2);

    std::mt19937 rng(7);
    std::vector<std::int64_t> frames{len / 4 - 1, len / 4 / 2, 0, 1, 1151, 1152, 1153, 2047, 2048, 4096, len / 8 - 1};
    for (int i = 0; i < 20; ++i)
        frames.push_back(std::uniform_int_distribution<std::int64_t>(0, len / 4 - 1)(rng));
    for (std::int64_t fr : frames) {
        ASSERT_TRUE(sound::setPosition(b, fr * 4)) << fr;
        EXPECT_EQ(sound::getPosition(b), fr * 4);
        std::vector<std::int16_t> got = readFrames(b, 1024);
        const std::int64_t want = std::min<std::int64_t>(1024, len / 4 - fr);
        ASSERT_EQ(std::int64_t(got.size()), want * 2) << "frame " << fr;
        EXPECT_TRUE(std::equal(got.begin(), got.end(), whole.begin() + fr * 2)) << f.name << " frame " << fr;
    }

    sound::Handle a = sound::openFile(path, sound::Decode | sound::Prescan);
    ASSERT_NE(a, 0u);
    EXPECT_EQ(sound::getLength(a), len) << "length differs between opens";
    EXPECT_TRUE(readAllFrames(a) == whole) << f.name << ": a linear read differs from the whole decode";

    // refused seeks leave the position where it was
    ASSERT_TRUE(sound::setPosition(b, 4000));
    EXPECT_FALSE(sound::setPosition(b, len + 4));
    EXPECT_EQ(sound::lastError(), sound::Error::Position);
    EXPECT_EQ(sound::getPosition(b), 4000);
    EXPECT_FALSE(sound::setPosition(b, -4));
    EXPECT_EQ(sound::getPosition(b), 4000);
    EXPECT_TRUE(sound::setPosition(b, len));  // the end itself is a position
    std::vector<std::uint8_t> tail(64);
    EXPECT_EQ(sound::getData(b, tail.data(), 64), 0);

    EXPECT_TRUE(sound::freeStream(a));
    EXPECT_TRUE(sound::freeStream(b));
}

INSTANTIATE_TEST_SUITE_P(Formats, DecodeFormat, ::testing::ValuesIn(formats()),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(Decode, MonoIsDuplicatedAndRateIsTheFiles)
{
    QTemporaryDir dir;
    std::string path = make(dir, "m.wav", "sine=frequency=1000:sample_rate=22050:duration=1", {"-ac", "1", "-c:a", "pcm_s16le"});
    ASSERT_FALSE(path.empty());
    sound::Handle h = sound::openFile(path);
    ASSERT_NE(h, 0u);
    sound::StreamInfo info;
    ASSERT_TRUE(sound::getInfo(h, info));
    EXPECT_EQ(info.rate, 22050);
    EXPECT_EQ(info.fileChannels, 1);
    EXPECT_EQ(sound::getLength(h), 22050 * 4);
    auto v = readFrames(h, 22050);
    ASSERT_EQ(v.size(), 22050u * 2);
    bool moving = false;
    for (std::size_t i = 0; i < v.size(); i += 2) {
        ASSERT_EQ(v[i], v[i + 1]);
        moving |= v[i] != 0;
    }
    EXPECT_TRUE(moving);
    EXPECT_DOUBLE_EQ(sound::bytesToSeconds(h, 22050 * 4), 1.0);
    EXPECT_EQ(sound::secondsToBytes(h, 0.5), 11025 * 4);
    sound::freeStream(h);
}

TEST(Decode, SixChannelsAreMixedDownToStereo)
{
    QTemporaryDir dir;
    std::string path = make(dir, "six.flac", "sine=frequency=500:sample_rate=48000:duration=1",
                            {"-ac", "6", "-c:a", "flac"});
    ASSERT_FALSE(path.empty());
    sound::Handle h = sound::openFile(path);
    ASSERT_NE(h, 0u);
    sound::StreamInfo info;
    sound::getInfo(h, info);
    EXPECT_EQ(info.fileChannels, 6);
    EXPECT_EQ(info.rate, 48000);
    EXPECT_EQ(sound::getLength(h), 48000 * 4);
    sound::freeStream(h);
}

// A lossless file gives back exactly the samples written into it.
TEST(Decode, WavSamplesComeBackBitExact)
{
    QTemporaryDir dir;
    QString path = dir.filePath("exact.wav");
    std::vector<std::int16_t> pcm(2 * 5000);
    for (std::size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = std::int16_t((i * 7919) % 65536 - 32768);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    auto le32 = [](std::uint32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto le16 = [](std::uint16_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    QByteArray data(reinterpret_cast<const char*>(pcm.data()), int(pcm.size() * 2));
    f.write("RIFF" + le32(36 + data.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(2) + le32(44100) +
            le32(44100 * 4) + le16(4) + le16(16) + "data" + le32(data.size()) + data);
    f.close();
    sound::Handle h = sound::openFile(path.toStdString());
    ASSERT_NE(h, 0u);
    auto v = readFrames(h, 5000);
    EXPECT_EQ(v, pcm);
    sound::freeStream(h);
}

// ---- bad input

struct BadFile {
    const char* name;
    QByteArray (*bytes)(const QByteArray& good);
    const char* goodFile;
};

QByteArray wavHeader(std::uint32_t rate, std::uint16_t ch, std::uint16_t bits, std::uint32_t dataBytes)
{
    auto le32 = [](std::uint32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto le16 = [](std::uint16_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    return "RIFF" + le32(36 + dataBytes) + "WAVEfmt " + le32(16) + le16(1) + le16(ch) + le32(rate) +
           le32(rate * ch * bits / 8) + le16(std::uint16_t(ch * bits / 8)) + le16(bits) + "data" + le32(dataBytes);
}

TEST(DecodeBadInput, MissingEmptyAndNonAudioFilesFail)
{
    QTemporaryDir dir;
    EXPECT_EQ(sound::openFile(dir.filePath("missing.mp3").toStdString()), 0u);
    EXPECT_EQ(sound::lastError(), sound::Error::FileOpen);
    EXPECT_EQ(sound::openFile(""), 0u);
    EXPECT_EQ(sound::openFile(dir.path().toStdString()), 0u);  // a folder

    struct Case { const char* file; QByteArray bytes; };
    std::vector<Case> cases{
        {"empty.mp3", QByteArray()},
        {"empty.wav", QByteArray()},
        {"text.mp3", QByteArray("This is a text file, not audio at all.\n").repeated(50)},
        {"zeros.flac", QByteArray(4096, '\0')},
        {"random.ogg", [] { QByteArray b(8192, 0); std::mt19937 r(3); for (auto& c : b) c = char(r()); return b; }()},
        {"png.m4a", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(500, 'x')},
        {"wav_rate0.wav", wavHeader(0, 2, 16, 4000) + QByteArray(4000, 1)},
        {"wav_ch0.wav", wavHeader(44100, 0, 16, 4000) + QByteArray(4000, 1)},
        {"wav_bits0.wav", wavHeader(44100, 2, 0, 4000) + QByteArray(4000, 1)},
        {"wav_nodata.wav", wavHeader(44100, 2, 16, 100000000)},
        {"wav_headeronly.wav", wavHeader(44100, 2, 16, 0)},
        {"riff_cut.wav", QByteArray("RIFF\x24\x00\x00\x00WAVEfm", 14)},
    };
    for (const Case& c : cases) {
        QFile f(dir.filePath(c.file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        sound::Handle h = sound::openFile(f.fileName().toStdString());
        EXPECT_EQ(h, 0u) << c.file;
        EXPECT_NE(sound::lastError(), sound::Error::Ok) << c.file;
        if (h) sound::freeStream(h);
    }
}

// Each container cut down to its first bytes (no audio left) fails; a file cut in the middle
// of its audio opens with the frames present, exactly those of its whole decode.
TEST(DecodeBadInput, TruncatedFilesOfEveryContainer)
{
    QTemporaryDir dir;
    for (const Format& f : formats()) {
        if (f.codec.isEmpty())
            continue;
        std::string path = make(dir, f.file, stereoSignal(kRate, 2.0), f.codec);
        ASSERT_FALSE(path.empty()) << f.name;
        QFile in(QString::fromStdString(path));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        QByteArray all = in.readAll();
        for (int cut : {4, 12, 32}) {
            QString p = dir.filePath(QString("cut%1_").arg(cut) + f.file);
            QFile out(p);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(all.left(cut));
            out.close();
            sound::Handle h = sound::openFile(p.toStdString());
            EXPECT_EQ(h, 0u) << f.name << " cut to " << cut;
            if (h) sound::freeStream(h);
        }
        // cut in half: exactly the frames its whole decode gives, or no file when that fails
        QString half = dir.filePath(QString("half_") + f.file);
        QFile out(half);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(all.left(all.size() / 2));
        out.close();
        const std::vector<std::int16_t> whole = wholeDecode(half.toStdString());
        sound::Handle h = sound::openFile(half.toStdString());
        EXPECT_EQ(h != 0, !whole.empty()) << f.name;
        if (h) {
            EXPECT_EQ(sound::getLength(h), std::int64_t(whole.size()) * 2) << f.name << " cut in half";
            ASSERT_EQ(sound::getLength(h), std::int64_t(whole.size()) * 2) << f.name << " cut in half";
            EXPECT_TRUE(readAllFrames(h) == whole) << f.name << " cut in half";
            sound::freeStream(h);
        }
    }
}

// A playlist or concat script dressed as audio must not make the decoder open other files.
TEST(DecodeBadInput, PlaylistsDoNotReachOtherFiles)
{
    QTemporaryDir dir;
    std::string real = make(dir, "real.aac", stereoSignal(kRate, 0.5), {"-c:a", "aac", "-f", "adts"});
    ASSERT_FALSE(real.empty());
    const QByteArray hls = "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\n" + QByteArray::fromStdString(real) + "\n#EXT-X-ENDLIST\n";
    const QByteArray concat = "ffconcat version 1.0\nfile '" + QByteArray::fromStdString(real) + "'\n";
    for (const auto& [name, bytes] : {std::pair{"list.m3u8", hls}, std::pair{"list.mp3", hls}, std::pair{"list.ffconcat", concat}}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        EXPECT_EQ(sound::openFile(f.fileName().toStdString()), 0u) << name;
        EXPECT_EQ(sound::openMemory(bytes.constData(), std::size_t(bytes.size())), 0u) << name;
    }
}

TEST(DecodeBadInput, MemoryImagesAndTheLengthLimit)
{
    QTemporaryDir dir;
    std::string path = make(dir, "m.flac", stereoSignal(kRate, 1.0), {"-c:a", "flac"});
    QFile in(QString::fromStdString(path));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray all = in.readAll();
    sound::Handle h = sound::openMemory(all.constData(), std::size_t(all.size()));
    ASSERT_NE(h, 0u);
    EXPECT_EQ(sound::getLength(h), 44100 * 4);
    sound::freeStream(h);
    sound::OpenOptions small;
    small.maxBytes = 10000 * 4;
    EXPECT_EQ(sound::openMemory(all.constData(), std::size_t(all.size()), small), 0u);
    EXPECT_EQ(sound::lastError(), sound::Error::TooLarge);
    // the image is copied: freed by its owner right after open, it still reads whole
    for (const char* name : {"m.ogg", "m.wav", "m.mp3"}) {
        const std::string p = make(dir, name, stereoSignal(kRate, 3.0), {});
        const std::vector<std::int16_t> whole = wholeDecode(p);
        QByteArray* image = new QByteArray(fileBytes(p));
        sound::Handle m = sound::openMemory(image->constData(), std::size_t(image->size()));
        delete image;
        ASSERT_NE(m, 0u) << name;
        EXPECT_TRUE(readAllFrames(m) == whole) << name;
        sound::freeStream(m);
    }
    EXPECT_EQ(sound::openMemory(nullptr, 10), 0u);
    EXPECT_EQ(sound::openMemory(all.constData(), 0), 0u);
}

TEST(Decode, PrescanReportsTheLengthWithoutDecoding)
{
    QTemporaryDir dir;
    std::string path = make(dir, "p.mp3", stereoSignal(kRate, 3.0), {"-c:a", "libmp3lame", "-b:a", "320k"});
    sound::ScanResult r;
    ASSERT_TRUE(sound::prescanFile(path, r));
    EXPECT_EQ(r.rate, 44100);
    EXPECT_EQ(r.frames, 3 * 44100);
    EXPECT_GT(r.packets, 100);
    EXPECT_FALSE(sound::prescanFile(dir.filePath("none.mp3").toStdString(), r));
}

}  // namespace

namespace {

// Where a damage goes: inside the body of an MPEG frame near the middle, or into the middle
// of the audio bytes of the other containers.
qsizetype damageAt(const Format& f, const QByteArray& bytes)
{
    if (std::string(f.name) == "mp3") {
        sound::MpegIndex index;
        sound::walkMpegFrames(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()), index);
        return index.packets.empty() ? -1 : qsizetype(index.packets[index.packets.size() / 2].offset + 40);
    }
    return bytes.size() * 2 / 5;
}

}  // namespace

// A packet that fails to decode plays as silence of its length: what follows keeps its place,
// and the length is the one the container states.
TEST(DecodeDamage, ADamagedPacketPlaysAsSilenceOfItsLength)
{
    QTemporaryDir dir;
    for (const Format& f : formats()) {
        const std::string name = f.name;
        if (name != "mp3" && name != "flac" && name != "m4a" && name != "ogg")
            continue;
        const std::string path = make(dir, QString("clean_") + f.file, stereoSignal(kRate, 4.0), f.codec);
        ASSERT_FALSE(path.empty());
        const std::vector<std::int16_t> clean = wholeDecode(path);
        ASSERT_FALSE(clean.empty());
        QByteArray bytes = fileBytes(path);
        const qsizetype at = damageAt(f, bytes);
        ASSERT_GT(at, 0);
        for (int i = 0; i < 300; ++i)
            bytes[at + i] = char(0xA5 ^ (i * 37));
        const std::string broken = dir.filePath(QString("broken_") + f.file).toStdString();
        ASSERT_TRUE(writeBytes(broken, bytes));

        sound::Handle h = sound::openFile(broken);
        ASSERT_NE(h, 0u) << name;
        const std::int64_t len = sound::getLength(h);
        EXPECT_EQ(len, std::int64_t(clean.size()) * 2) << name << ": the container's length";
        const std::vector<std::int16_t> got = readAllFrames(h);
        ASSERT_EQ(std::int64_t(got.size()) * 2, len) << name;
        EXPECT_EQ(sound::getLength(h), len);
        const std::size_t part = clean.size() / 4;
        // (FFmpeg's Ogg demuxer loses the pages before one whose checksum fails: silence there too)
        if (name != "ogg") {
            EXPECT_TRUE(std::equal(got.begin(), got.begin() + std::ptrdiff_t(part), clean.begin())) << name << " before the damage";
        }
        EXPECT_TRUE(std::equal(got.end() - std::ptrdiff_t(part), got.end(), clean.end() - std::ptrdiff_t(part)))
            << name << ": what follows the damage moved";
        sound::freeStream(h);
    }
}

// The length never changes after open, and a file cut while it is open reads as silence
// where its bytes are gone.
TEST(DecodeDamage, AFileCutAfterOpenKeepsItsLength)
{
    QTemporaryDir dir;
    for (const Format& f : formats()) {
        const std::string name = f.name;
        if (name != "mp3" && name != "wav" && name != "flac")
            continue;
        const std::string path = make(dir, f.file, stereoSignal(kRate, 60.0), f.codec);
        ASSERT_FALSE(path.empty());
        sound::Handle h = sound::openFile(path);
        ASSERT_NE(h, 0u) << name;
        const std::int64_t len = sound::getLength(h);
        ASSERT_TRUE(QFile::resize(QString::fromStdString(path), 4096)) << name;
        ASSERT_TRUE(sound::setPosition(h, (len / 8) * 4));
        std::vector<std::uint8_t> all = readAll(h, 65536);
        EXPECT_EQ(std::int64_t(all.size()), len - (len / 8) * 4) << name;
        EXPECT_EQ(sound::getLength(h), len) << name;
        sound::freeStream(h);
    }
}
