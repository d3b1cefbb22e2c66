// Audio files made for the sound tests by ffmpeg and sox, and small helpers to read streams.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include "sound.h"

namespace soundtest {

// Runs a program; true when it exited with 0.
inline bool run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return false;
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
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

}  // namespace soundtest
