// decode_bench FILE...: opens each file and reads it to its end through the sound layer
// (the open time is printed on its own), then has ffmpeg
// decode the same files to 16-bit stereo into /dev/null, and prints the ratio of the two
// times. Without arguments it makes its own files (a 10-minute 320 kb/s mp3 among them).
// Also prints the time of a prescan (demux only) of each file.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include "platform/sound/sound.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

bool runFfmpeg(const QStringList& args, bool toNull)
{
    QProcess p;
    if (toNull)
        p.setStandardOutputFile(QProcess::nullDevice());
    p.start("ffmpeg", args);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

std::vector<std::string> makeFiles(const QTemporaryDir& dir)
{
    struct Spec { const char* name; double seconds; QStringList codec; };
    const std::vector<Spec> specs{
        {"ten_minutes_320k.mp3", 600, {"-c:a", "libmp3lame", "-b:a", "320k"}},
        {"three_minutes.flac", 180, {"-c:a", "flac"}},
        {"three_minutes.ogg", 180, {"-c:a", "libvorbis", "-q:a", "5"}},
        {"three_minutes.m4a", 180, {"-c:a", "aac", "-b:a", "192k"}},
        {"three_minutes.wav", 180, {"-c:a", "pcm_s16le"}},
        {"three_minutes.wma", 180, {"-c:a", "wmav2", "-b:a", "192k"}},
    };
    std::vector<std::string> files;
    for (const Spec& s : specs) {
        QString path = dir.filePath(s.name);
        QString src = QString("aevalsrc=0.4*sin(2*PI*(220+110*sin(t))*t)+0.1*random(0)|0.4*sin(2*PI*(330+50*cos(t))*t)+0.1*random(1):s=44100:d=%1")
                          .arg(s.seconds);
        QStringList args{"-v", "error", "-y", "-f", "lavfi", "-i", src};
        args << s.codec << path;
        std::fprintf(stderr, "making %s\n", s.name);
        if (runFfmpeg(args, false))
            files.push_back(path.toStdString());
    }
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i)
        files.push_back(argv[i]);
    if (files.empty())
        files = makeFiles(dir);

    double ours = 0, theirs = 0, audioSeconds = 0;
    for (const std::string& f : files) {
        sound::ScanResult scan;
        auto t0 = Clock::now();
        bool scanned = sound::prescanFile(f, scan);
        double scanTime = since(t0);

        t0 = Clock::now();
        sound::Handle h = sound::openFile(f, sound::Decode | sound::Prescan);
        double openTime = since(t0);
        if (!h) {
            std::printf("%s: cannot open (%s)\n", f.c_str(), sound::errorText(sound::lastError()));
            continue;
        }
        // a file decoded in the background is decoded once it has all been read
        std::vector<char> block(1 << 20);
        while (sound::getData(h, block.data(), int(block.size())) > 0) {
        }
        double decodeTime = since(t0);
        sound::StreamInfo info;
        sound::getInfo(h, info);
        std::int64_t frames = sound::getLength(h) / 4;
        double secs = double(frames) / info.rate;
        sound::freeStream(h);

        t0 = Clock::now();
        runFfmpeg({"-v", "error", "-i", QString::fromStdString(f), "-f", "s16le", "-ac", "2", "-"}, true);
        double ffTime = since(t0);

        ours += decodeTime;
        theirs += ffTime;
        audioSeconds += secs;
        std::printf("%s: rate %d, channels %d, frames %lld, seconds %.3f, decode %.1f ms, ffmpeg %.1f ms, "
                    "open %.1f ms, prescan %.1f ms%s, held %.2f MB per minute\n",
                    f.c_str(), info.rate, info.fileChannels, static_cast<long long>(frames), secs, decodeTime * 1000,
                    ffTime * 1000, openTime * 1000, scanTime * 1000, scanned ? "" : " (failed)",
                    double(frames) * 4 / secs * 60 / 1e6);
    }
    std::printf("decoded %.1f s of audio in %.3f s (%.0fx real time)\n", audioSeconds, ours,
                ours > 0 ? audioSeconds / ours : 0);
    std::printf("decode ratio vs ffmpeg: %.3f\n", theirs > 0 ? ours / theirs : 0);
    return 0;
}
