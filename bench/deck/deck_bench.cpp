// Load-to-playable time of a deck for each format a deck opens: from the Load call until the
// deck delivers its first audible frame after Play, for 60-minute files of pink noise read
// from a warm cache (the median of three loads). The peer is the mp3 file, measured in the
// same run; a format its decoder still decodes whole at open is listed apart. (No Layer I
// encoder exists here, so mp1 is not measured.)
//   deck_bench [FOLDER]   FOLDER keeps the generated files between runs (default: a temp dir)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "engine/audiodjbase.h"
#include "engine/cargaasio.h"
#include "engine/psoundconfig.h"
#include "platform/sound/decoder.h"
#include "platform/sound/sound.h"

namespace {

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

constexpr int kMinutes = 60;

struct Format {
    const char* ext;
    QStringList codec;
};

const std::vector<Format>& formats()
{
    static const std::vector<Format> f{
        {"mp3", {"-c:a", "libmp3lame", "-b:a", "320k"}},
        {"mp2", {"-c:a", "mp2", "-b:a", "256k"}},
        {"wav", {"-c:a", "pcm_s16le"}},
        {"aiff", {"-c:a", "pcm_s16be"}},
        {"flac", {"-c:a", "flac"}},
        {"ogg", {"-c:a", "libvorbis", "-q:a", "6"}},
        {"wma", {"-c:a", "wmav2", "-b:a", "192k"}},
        {"aac", {"-c:a", "aac", "-b:a", "256k", "-f", "adts"}},
        {"m4a", {"-c:a", "aac", "-b:a", "256k"}},
    };
    return f;
}

bool make(const QString& path, const Format& f)
{
    if (QFile::exists(path)) return true;
    std::printf("generating %s ...\n", qPrintable(path));
    std::fflush(stdout);
    const QString part = path + ".part." + f.ext;
    QStringList args{"-v", "error", "-y", "-f", "lavfi", "-i",
                     QStringLiteral("anoisesrc=d=%1:c=pink:r=44100:a=0.3").arg(kMinutes * 60), "-ac", "2"};
    args << f.codec << part;
    return QProcess::execute("ffmpeg", args) == 0 && QFile::rename(part, path);
}

void warm(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return;
    std::vector<char> buf(std::size_t(1) << 20);
    while (f.read(buf.data(), qint64(buf.size())) > 0) {
    }
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

double median3(const QString& path)
{
    double t[3];
    for (double& v : t) v = loadToPlayable(path);
    std::sort(t, t + 3);
    return t[1];
}

bool inBackground(const QString& path)
{
    sound::Error err = sound::Error::Ok;
    std::unique_ptr<sound::Decoder> d(sound::Decoder::open(path.toStdString(), nullptr, 0, sound::OpenOptions{}, err));
    return d && d->decodesInBackground();
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir tmp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    QDir().mkpath(folder);
    qputenv("HOME", folder.toLocal8Bit());
    double mp3 = 0, worst = 0;
    const char* worstName = "";
    std::vector<QString> apart;
    for (const Format& f : formats()) {
        const QString file = QStringLiteral("%1/deck-bench-%2min.%3").arg(folder).arg(kMinutes).arg(f.ext);
        if (!make(file, f)) {
            std::fprintf(stderr, "cannot make %s\n", qPrintable(file));
            return 1;
        }
        warm(file);
        loadToPlayable(file);  // the first load pays for what is set up once per process
        const double t = median3(file);
        if (t < 0) {
            std::fprintf(stderr, "cannot load %s\n", qPrintable(file));
            return 1;
        }
        if (mp3 == 0) mp3 = t;
        const bool quick = inBackground(file);
        std::printf("deck load ms (%d min, %s): %.1f   ratio to mp3: %.2f%s\n", kMinutes, f.ext, t, t / mp3,
                    quick ? "" : "   (decoded whole at open: listed apart)");
        std::fflush(stdout);
        if (!quick) {
            apart.push_back(f.ext);
        } else if (t > worst) {
            worst = t;
            worstName = f.ext;
        }
    }
    for (const QString& a : apart)
        std::printf("apart: %s\n", qPrintable(a));
    std::printf("worst format: %s\n", worstName);
    std::printf("deck load ms (%d min, worst format): %.1f, ratio to mp3: %.2f\n", kMinutes, worst, worst / mp3);
    return 0;
}
