// Audio files made for the sound tests by ffmpeg and sox, and small helpers to read streams.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include "platform/sound/decoder.h"
#include "platform/sound/sound.h"
#include "tests/support/toolprocess.h"

namespace soundtest {

// Runs a program; true when it exited with 0.
inline bool run(const QString& program, const QStringList& args)
{
    return testsupport::runTool(program, args) == 0;
}

// A stereo test signal, different on each side: 440 Hz left, 660 Hz right, with a slow
// amplitude wobble so that no two frames a period apart are alike.
inline QString stereoSignal(int rate, double seconds)
{
    return QString("aevalsrc=0.5*sin(2*PI*440*t)*(0.6+0.4*sin(2*PI*0.7*t))|0.3*sin(2*PI*660*t+1)*(0.7+0.3*cos(2*PI*1.3*t)):s=%1:d=%2")
        .arg(rate)
        .arg(seconds);
}

// Encodes `filter` (an ffmpeg lavfi source) into dir/name with the given codec arguments.
inline std::string make(const QTemporaryDir& dir, const QString& name, const QString& filter,
                        const QStringList& codecArgs)
{
    QString path = dir.filePath(name);
    QStringList args{"-v", "error", "-y", "-f", "lavfi", "-i", filter};
    args << codecArgs << path;
    if (!run("ffmpeg", args))
        return {};
    return path.toStdString();
}

// Pulls a stream to its end with getData in blocks of `block` bytes.
inline std::vector<std::uint8_t> readAll(sound::Handle h, int block = 16384)
{
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> buf(static_cast<std::size_t>(block), 0);
    for (;;) {
        int got = sound::getData(h, buf.data(), block);
        if (got <= 0)
            break;
        out.insert(out.end(), buf.begin(), buf.begin() + got);
    }
    return out;
}

// What the whole-file decoder makes of a file: its frames as 16-bit stereo; empty when it
// cannot open it.
inline std::vector<std::int16_t> wholeDecode(const std::string& path)
{
    sound::Error err = sound::Error::Ok;
    std::unique_ptr<sound::Decoder> d(sound::Decoder::openWhole(path, nullptr, 0, sound::OpenOptions{}, err));
    if (!d)
        return {};
    std::vector<std::int16_t> out;
    std::vector<float> buf(std::size_t(sound::Stream::kMaxBlock) * 2);
    for (;;) {
        int got = d->read(buf.data(), sound::Stream::kMaxBlock);
        if (got <= 0)
            break;
        for (int i = 0; i < got * 2; ++i)
            out.push_back(std::int16_t(std::lround(std::clamp(buf[std::size_t(i)] * 32768.0f, -32768.0f, 32767.0f))));
    }
    return out;
}

// A stream read to its end through getData, as 16-bit samples.
inline std::vector<std::int16_t> readAllFrames(sound::Handle h)
{
    std::vector<std::uint8_t> bytes = readAll(h, 4100);
    std::vector<std::int16_t> out(bytes.size() / 2);
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

inline std::vector<std::int16_t> readFrames(sound::Handle h, int frames)
{
    std::vector<std::int16_t> v(std::size_t(frames) * 2);
    int got = sound::getData(h, v.data(), frames * 4);
    v.resize(got > 0 ? std::size_t(got) / 2 : 0);
    return v;
}

inline std::vector<float> renderFrames(sound::Handle h, int frames)
{
    std::vector<float> v(std::size_t(frames) * 2);
    sound::renderFloat(h, v.data(), frames);
    return v;
}

// A 16-bit WAV image of `frames` frames; gen(frame, channel) gives each sample.
template <class Gen>
QByteArray wavImage(int frames, int rate, int channels, Gen gen)
{
    auto le32 = [](std::uint32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto le16 = [](std::uint16_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    std::uint32_t bytes = std::uint32_t(frames * channels * 2);
    QByteArray out = "RIFF" + le32(36 + bytes) + "WAVEfmt " + le32(16) + le16(1) + le16(std::uint16_t(channels)) +
                     le32(std::uint32_t(rate)) + le32(std::uint32_t(rate * channels * 2)) +
                     le16(std::uint16_t(channels * 2)) + le16(16) + "data" + le32(bytes);
    out.reserve(out.size() + int(bytes));
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            std::int16_t v = std::int16_t(gen(i, c));
            out.append(reinterpret_cast<const char*>(&v), 2);
        }
    return out;
}

// A decoder over a WAV image made in memory.
template <class Gen>
sound::Handle memoryStream(int frames, int rate, Gen gen, int channels = 2)
{
    QByteArray img = wavImage(frames, rate, channels, gen);
    return sound::openMemory(img.constData(), std::size_t(img.size()));
}

// Frame i holds i (mod 32000) on the left and its negation on the right: every frame names itself.
inline int rampValue(int frame, int channel)
{
    int v = frame % 32000;
    return channel == 0 ? v : -v;
}

inline sound::Handle rampStream(int frames, int rate = 44100)
{
    return memoryStream(frames, rate, rampValue);
}

// The frame number a ramp sample names (float output of a ramp stream).
inline int rampFrame(float left) { return int(std::lround(left * 32768.0f)); }

}  // namespace soundtest
