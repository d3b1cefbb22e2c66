// An offline renderer flushes the WAV encoder between blocks instead of waiting for its writer:
// a take pulled far faster than real time, longer than the encoder's ring, loses nothing.
#include "platform/sound/sound.h"

#include <gtest/gtest.h>

#include "tests/support/toolprocess.h"

#include <QFile>
#include <QTemporaryDir>

#include <vector>

using namespace sound;

namespace {

class EncoderFlush : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        tone_ = dir_.filePath("tone.wav").toStdString();
        ASSERT_EQ(testsupport::runTool("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16",
                                            QString::fromStdString(tone_), "synth", "10", "sine", "300-3000", "vol", "0.5"}),
                  0);
        mixer_ = createMixer(44100, 2, Decode);
        Handle d = openFile(tone_);
        ASSERT_TRUE(mixer_ && d && mixerAdd(mixer_, d, NoRampIn));
    }
    void TearDown() override { freeAll(); }

    // the bytes after the 44-byte header
    QByteArray audioOnDisk(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().mid(44) : QByteArray();
    }

    QTemporaryDir dir_;
    std::string tone_;
    Handle mixer_ = 0;
};

}  // namespace

// Ten seconds pulled at once through a ring of four: with a flush every half second the file
// holds every byte, and after each flush it is on disk before the writer's turn comes.
TEST_F(EncoderFlush, KeepsUpWithARenderFasterThanRealTime)
{
    const QString out = dir_.filePath("take.wav");
    const Handle enc = encodeToWav(mixer_, out.toStdString());
    ASSERT_NE(enc, 0u);
    QByteArray pulled;
    std::vector<char> buf(22050 * 4);
    for (int got; (got = getData(mixer_, buf.data(), int(buf.size()))) > 0;) {
        pulled.append(buf.data(), got);
        ASSERT_TRUE(flushEncoder(enc));
        ASSERT_EQ(audioOnDisk(out).size(), pulled.size());
    }
    ASSERT_EQ(pulled.size(), 10 * 44100 * 4);
    ASSERT_TRUE(stopEncoder(enc));
    EXPECT_TRUE(audioOnDisk(out) == pulled);
}

TEST_F(EncoderFlush, OfNoEncoderIsAHandleError)
{
    const Handle enc = encodeToWav(mixer_, dir_.filePath("take.wav").toStdString());
    ASSERT_NE(enc, 0u);
    ASSERT_TRUE(stopEncoder(enc));
    for (Handle h : {Handle(0), enc, mixer_}) {
        EXPECT_FALSE(flushEncoder(h));
        EXPECT_EQ(lastError(), Error::Handle);
    }
}
