// Load-to-playable time of a deck: from the Load call until the deck delivers its first
// audible frame after Play, for 1, 10 and 60 minute 320 kb/s mp3 files. The peer is the
// prescan of the same file (demux only), measured in the same run.
//   deck_bench [FOLDER]   FOLDER keeps the generated files between runs (default: a temp dir)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "engine/audiodjbase.h"
#include "engine/cargaasio.h"
#include "engine/psoundconfig.h"
#include "platform/sound/sound.h"

namespace {

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

bool makeMp3(const QString& path, int minutes)
{
    if (QFile::exists(path)) return true;
    std::printf("generating %s ...\n", qPrintable(path));
    std::fflush(stdout);
    const QStringList args{"-v", "error", "-y", "-f", "lavfi", "-i",
                           QStringLiteral("sine=frequency=440:sample_rate=44100:duration=%1").arg(minutes * 60),
                           "-ac", "2", "-c:a", "libmp3lame", "-b:a", "320k", path};
    return QProcess::execute("ffmpeg", args) == 0;
}

double loadToPlayable(const QString& path)
{
    PSoundConfig cfg;
    cfg.usekeylock = true;
    cargaasio deck(&cfg, 1);
    deck.offlinerender = true;
    deck.basseqfx->vol = 100;
    deck.basseqfx->gain = 10;
    std::vector<int16_t> buf(512);
    const auto t0 = Clock::now();
    deck.filename = path;
    if (!deck.Load(path)) return -1;
    deck.Play();
    for (int i = 0; i < 10000; ++i) {
        const int got = sound::getData(deck.CMaster, buf.data(), int(buf.size() * 2));
        for (int k = 0; k < got / 2; ++k)
            if (buf[size_t(k)] != 0) return msSince(t0);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir tmp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    QDir().mkpath(folder);
    qputenv("HOME", folder.toLocal8Bit());
    const int minutes[] = {1, 10, 60};
    double last = 0;
    for (int m : minutes) {
        const QString file = QStringLiteral("%1/deck-bench-%2min.mp3").arg(folder).arg(m);
        if (!makeMp3(file, m)) {
            std::fprintf(stderr, "cannot make %s\n", qPrintable(file));
            return 1;
        }
        const auto p0 = Clock::now();
        sound::ScanResult scan;
        sound::prescanFile(file.toStdString(), scan);
        const double prescan = msSince(p0);
        const auto o0 = Clock::now();
        sound::freeStream(sound::openFile(file.toStdString()));
        const double open = msSince(o0);
        const double t = loadToPlayable(file);
        std::printf("deck load ms (%d min): %.1f   of which opening the decoder: %.1f   prescan ms: %.1f   "
                    "ratio to prescan: %.1f\n",
                    m, t, open, prescan, prescan > 0 ? t / prescan : 0.0);
        last = t;
    }
    std::printf("deck load ms (60 min): %.1f\n", last);
    return 0;
}
