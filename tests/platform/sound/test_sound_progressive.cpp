// Files decoded in the background: MPEG audio opened by the frame walk has the length and
// bytes of a whole-file decode; for MPEG, PCM and codecs filled in order, seeks right after
// open are exact, real-time readers never wait nor read the file, freeing during the decode
// is safe, and a sequential open reads the same bytes.
#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <map>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "platform/sound/decoder.h"
#include "platform/sound/mpegframewalker.h"
#include "platform/sound/realtime.h"
#include "tests/platform/sound/soundfixtures.h"

using namespace soundtest;

namespace {

sound::MpegIndex walk(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    sound::MpegIndex index;
    if (f.open(QIODevice::ReadOnly)) {
        QByteArray b = f.readAll();
        sound::walkMpegFrames(reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size()), index);
    }
    return index;
}

// Rewrites a file with `junk` put in before the frames numbered in `at`.
bool insertJunk(const std::string& path, const std::vector<std::size_t>& at, const QByteArray& junk)
{
    sound::MpegIndex index = walk(path);
    QFile f(QString::fromStdString(path));
    if (index.packets.size() <= at.back() || !f.open(QIODevice::ReadOnly))
        return false;
    QByteArray in = f.readAll(), out;
    f.close();
    qint64 from = 0;
    for (std::size_t k : at) {
        qint64 cut = index.packets[k].offset;
        out += in.mid(from, cut - from) + junk;
        from = cut;
    }
    out += in.mid(from);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(out) == out.size();
}

struct Case {
    const char* name;
    QStringList args;          // ffmpeg output arguments
    int rate;
    int channels;
    QByteArray junk;           // put in before a few frames when not empty
    int keep = 0;              // when not 0: the file ends this many bytes into a frame near its end
};

std::vector<Case> cases()
{
    const QStringList lame{"-c:a", "libmp3lame"};
    return {
        {"cbr320_xing", lame + QStringList{"-b:a", "320k"}, 44100, 2, {}},
        {"cbr128_no_xing", lame + QStringList{"-b:a", "128k", "-write_xing", "0"}, 44100, 2, {}},
        {"vbr_xing", lame + QStringList{"-q:a", "4"}, 44100, 2, {}},
        {"vbr_no_xing", lame + QStringList{"-q:a", "6", "-write_xing", "0"}, 44100, 2, {}},
        {"reservoir_32k", lame + QStringList{"-b:a", "32k"}, 44100, 2, {}},
        {"mono", lame + QStringList{"-b:a", "96k", "-ac", "1"}, 44100, 1, {}},
        {"rate32000", lame + QStringList{"-b:a", "192k", "-ar", "32000"}, 32000, 2, {}},
        {"rate48000", lame + QStringList{"-b:a", "256k", "-ar", "48000"}, 48000, 2, {}},
        {"mpeg2_22050", lame + QStringList{"-b:a", "64k", "-ar", "22050"}, 22050, 2, {}},
        {"mpeg2_16000_mono_vbr", lame + QStringList{"-q:a", "5", "-ar", "16000", "-ac", "1"}, 16000, 1, {}},
        {"mpeg25_11025", lame + QStringList{"-b:a", "32k", "-ar", "11025"}, 11025, 2, {}},
        {"id3v2_and_v1", lame + QStringList{"-b:a", "160k", "-id3v2_version", "3", "-write_id3v1", "1",
                                             "-metadata", "title=A title long enough to matter", "-metadata",
                                             "comment=" + QString(3000, 'c')}, 44100, 2, {}},
        {"no_id3v2", lame + QStringList{"-b:a", "160k", "-id3v2_version", "0"}, 44100, 2, {}},
        {"junk_text", lame + QStringList{"-b:a", "192k"}, 44100, 2, QByteArray("JUNK between frames")},
        {"junk_zeros", lame + QStringList{"-q:a", "3"}, 44100, 2, QByteArray(37, '\0')},
        {"mp2", {"-c:a", "mp2", "-b:a", "256k", "-f", "mp2"}, 44100, 2, {}},
        {"cut_mid_frame", lame + QStringList{"-b:a", "192k"}, 44100, 2, {}, 300},
        {"cut_after_a_header", lame + QStringList{"-q:a", "2"}, 44100, 2, {}, 6},
        {"mp2_cut", {"-c:a", "mp2", "-b:a", "192k", "-f", "mp2"}, 44100, 2, {}, 200},
    };
}

class Walk : public ::testing::TestWithParam<Case> {};

TEST_P(Walk, LengthAndBytesAreThoseOfAWholeDecode)
{
    const Case& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::string path = make(dir, QString(c.name) + ".mp3", stereoSignal(44100, 7.3), c.args);
    ASSERT_FALSE(path.empty());
    if (!c.junk.isEmpty()) {
        ASSERT_TRUE(insertJunk(path, {40, 41, 90}, c.junk));
    }

    if (c.keep) {
        sound::MpegIndex index = walk(path);
        ASSERT_GT(index.packets.size(), 10u);
        ASSERT_TRUE(QFile::resize(QString::fromStdString(path), index.packets[index.packets.size() - 3].offset + c.keep));
    }
    const std::vector<std::int16_t> whole = wholeDecode(path);
    ASSERT_FALSE(whole.empty());
    sound::MpegIndex index = walk(path);
    ASSERT_GT(index.frames, 0) << "not walked";
    if (!c.keep) {
        EXPECT_EQ(index.frames, std::int64_t(whole.size() / 2));
    }
    EXPECT_EQ(index.rate, c.rate);
    EXPECT_EQ(index.channels, c.channels);

    sound::ScanResult scan;
    ASSERT_TRUE(sound::prescanFile(path, scan));
    if (!index.partialTail) {
        EXPECT_EQ(scan.frames, index.frames);
    }

    // seeks far ahead right after open, then a linear read, then seeks again
    sound::Handle h = sound::openFile(path);
    ASSERT_NE(h, 0u) << sound::errorText(sound::lastError());
    const std::int64_t frames = sound::getLength(h) / 4;
    ASSERT_EQ(frames, std::int64_t(whole.size() / 2));
    std::mt19937 rng(11);
    std::vector<std::int64_t> at{frames - 1000, frames / 2 + 3, 1, 65535, 65536, 0};
    for (int i = 0; i < 8; ++i)
        at.push_back(std::uniform_int_distribution<std::int64_t>(0, frames - 1)(rng));
    for (std::int64_t fr : at) {
        ASSERT_TRUE(sound::setPosition(h, fr * 4));
        std::vector<std::int16_t> got = readFrames(h, 3000);
        std::int64_t want = std::min<std::int64_t>(3000, frames - fr);
        ASSERT_EQ(std::int64_t(got.size()), want * 2) << "frame " << fr;
        auto mm = std::mismatch(got.begin(), got.end(), whole.begin() + fr * 2);
        EXPECT_TRUE(mm.first == got.end()) << c.name << " frame " << fr << " first differing sample " << (mm.first - got.begin())
                                           << ": " << (mm.first == got.end() ? 0 : *mm.first) << " against " << (mm.first == got.end() ? 0 : *mm.second);
    }
    ASSERT_TRUE(sound::setPosition(h, 0));
    EXPECT_TRUE(readAllFrames(h) == whole) << c.name;
    EXPECT_TRUE(sound::freeStream(h));

    sound::OpenOptions seq;
    seq.sequential = true;
    sound::Handle s = sound::openFile(path, seq);
    ASSERT_NE(s, 0u);
    EXPECT_TRUE(readAllFrames(s) == whole) << c.name << " sequential";
    ASSERT_TRUE(sound::setPosition(s, (frames / 3) * 4));
    std::vector<std::int16_t> got = readFrames(s, 5000);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), whole.begin() + (frames / 3) * 2)) << c.name << " sequential seek";
    EXPECT_TRUE(sound::freeStream(s));
}

INSTANTIATE_TEST_SUITE_P(Mpeg, Walk, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

// One long file of each way a decoder fills in the background: MPEG frames by index, PCM
// blocks by offset, other codecs in order from the start.
struct LongFile {
    const char* name;
    QStringList args;
};

const std::vector<LongFile>& longFiles()
{
    static const std::vector<LongFile> files{
        {"mp3", {"-c:a", "libmp3lame", "-b:a", "320k"}},
        {"wav", {"-c:a", "pcm_s16le"}},
        {"flac", {"-c:a", "flac"}},
        {"ogg", {"-c:a", "libvorbis"}},
    };
    return files;
}

class Progressive : public ::testing::TestWithParam<LongFile> {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        for (const LongFile& f : longFiles()) {
            const std::string path = make(*dir_, QString("long.") + f.name, stereoSignal(44100, 60), f.args);
            files_[f.name] = {path, wholeDecode(path)};
        }
    }
    static void TearDownTestSuite() { delete dir_; }
    void SetUp() override
    {
        path_ = files_[GetParam().name].first;
        whole_ = files_[GetParam().name].second;
        ASSERT_FALSE(whole_.empty());
    }
    static QTemporaryDir* dir_;
    static std::map<std::string, std::pair<std::string, std::vector<std::int16_t>>> files_;
    std::string path_;
    std::vector<std::int16_t> whole_;
};
QTemporaryDir* Progressive::dir_ = nullptr;
std::map<std::string, std::pair<std::string, std::vector<std::int16_t>>> Progressive::files_;

TEST_P(Progressive, ARealTimeReaderGetsSilenceForWhatIsNotDecodedAndNeverWaits)
{
    ASSERT_FALSE(whole_.empty());
    sound::Handle h = sound::openFile(path_);
    ASSERT_NE(h, 0u);
    const std::int64_t frames = sound::getLength(h) / 4;
    sound::renderingInRealTime = true;
    std::int64_t at = frames - 200000;
    ASSERT_TRUE(sound::setPosition(h, at * 4));
    std::int64_t silent = 0;
    for (int block = 0; block < 40; ++block) {
        std::vector<std::int16_t> got = readFrames(h, 1024);
        ASSERT_EQ(got.size(), 2048u) << "a real-time read delivers every frame it asks for";
        for (std::size_t i = 0; i < got.size(); i += 2) {
            const std::size_t w = std::size_t(at) * 2 + i;
            bool zero = got[i] == 0 && got[i + 1] == 0;
            silent += zero && (whole_[w] != 0 || whole_[w + 1] != 0);
            ASSERT_TRUE(zero || (got[i] == whole_[w] && got[i + 1] == whole_[w + 1])) << "frame " << at + std::int64_t(i / 2);
        }
        at += 1024;
        EXPECT_EQ(sound::getPosition(h), at * 4) << "the position advances through silence too";
    }
    sound::renderingInRealTime = false;
    // the same place read again by a reader that waits: all there
    ASSERT_TRUE(sound::setPosition(h, (frames - 200000) * 4));
    std::vector<std::int16_t> got = readFrames(h, 40 * 1024);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), whole_.begin() + (frames - 200000) * 2));
    EXPECT_TRUE(sound::freeStream(h));
    RecordProperty("silent_frames", std::to_string(silent));
}

TEST_P(Progressive, FreeingWhileTheBackgroundDecodeRunsIsSafe)
{
    std::mt19937 rng(5);
    for (int i = 0; i < 24; ++i) {
        sound::Handle h = sound::openFile(path_);
        ASSERT_NE(h, 0u);
        const std::int64_t frames = sound::getLength(h) / 4;
        if (i % 3 == 1)
            sound::setPosition(h, std::uniform_int_distribution<std::int64_t>(0, frames - 1)(rng) * 4);
        if (i % 3 == 2)
            readFrames(h, 100);
        EXPECT_TRUE(sound::freeStream(h));
    }
}

TEST_P(Progressive, AWaitingReaderInAMixerGetsExactBytesFarAhead)
{
    sound::Handle h = sound::openFile(path_);
    ASSERT_NE(h, 0u);
    sound::Handle m = sound::createMixer(44100, 2, sound::Decode);
    ASSERT_NE(m, 0u);
    ASSERT_TRUE(sound::mixerAdd(m, h, sound::NoRampIn));
    const std::int64_t at = std::int64_t(whole_.size() / 2) - 300000;
    ASSERT_TRUE(sound::setPosition(h, at * 4));
    std::vector<std::int16_t> got = readFrames(m, 20000);
    ASSERT_EQ(got.size(), 40000u);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), whole_.begin() + at * 2));
    sound::freeStream(m);
    sound::freeStream(h);
}

TEST_P(Progressive, TheNoSoundClockPlaysWhileSeeksMoveTheDecodeAndTheDecoderIsFreedMidWay)
{
    sound::Handle h = sound::openFile(path_);
    ASSERT_NE(h, 0u);
    const std::int64_t frames = sound::getLength(h) / 4;
    sound::Handle mix = sound::createMixer(44100, 2, sound::NonStop);
    ASSERT_TRUE(sound::mixerAdd(mix, h, sound::NoRampIn));
    std::atomic<int> pulled{0};
    sound::setDsp(mix, [&](sound::Handle, sound::Handle, float*, int n) { pulled += n; });
    ASSERT_TRUE(sound::play(mix));
    std::mt19937 rng(3);
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(sound::setPosition(h, std::uniform_int_distribution<std::int64_t>(0, frames - 1)(rng) * 4));
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    for (int i = 0; i < 500 && pulled < 4410; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GE(pulled.load(), 4410);
    EXPECT_TRUE(sound::freeStream(h));
    const int before = pulled;
    for (int i = 0; i < 500 && pulled < before + 4410; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GE(pulled.load(), before + 4410) << "the mixer plays on without its source";
    sound::stop(mix);
    sound::freeStream(mix);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Fills, Progressive, ::testing::ValuesIn(longFiles()),
                         [](const ::testing::TestParamInfo<LongFile>& i) { return std::string(i.param.name); });

// A sequential decoder reads the file as it goes: on a real-time thread it gives silence
// instead, and the position still advances.
TEST(ProgressiveSequential, ARealTimeReaderNeverReadsTheFile)
{
    QTemporaryDir dir;
    for (const char* ext : {"mp3", "wav"}) {
        const std::string path = make(dir, QString("s.") + ext, stereoSignal(44100, 3), {});
        ASSERT_FALSE(path.empty());
        const std::vector<std::int16_t> whole = wholeDecode(path);
        sound::OpenOptions seq;
        seq.sequential = true;
        sound::Handle h = sound::openFile(path, seq);
        ASSERT_NE(h, 0u) << ext;
        ASSERT_TRUE(sound::setPosition(h, 44100 * 4));
        sound::renderingInRealTime = true;
        std::vector<std::int16_t> got = readFrames(h, 2048);
        sound::renderingInRealTime = false;
        ASSERT_EQ(got.size(), 4096u) << ext;
        EXPECT_TRUE(std::all_of(got.begin(), got.end(), [](std::int16_t v) { return v == 0; })) << ext;
        EXPECT_EQ(sound::getPosition(h), (44100 + 2048) * 4);
        got = readFrames(h, 2048);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), whole.begin() + (44100 + 2048) * 2)) << ext;
        sound::freeStream(h);
    }
}
