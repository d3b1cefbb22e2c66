#include "tests/e2e/groove.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cmath>

#include "tests/e2e/soundchecks.h"
#include "tests/support/toolprocess.h"

namespace e2e {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Noise {
    uint32_t s;
    float next()
    {
        s = s * 1664525u + 1013904223u;
        return float(int32_t(s)) / 2147483648.0f;
    }
};

// adds a kick (a sine falling from twice its pitch) at `at`, ending softly within `seconds`: a
// cut tail would be a second onset
void kick(std::vector<float>& m, int64_t at, double hz, double gain, double seconds)
{
    double phase = 0;
    const int64_t len = int64_t(seconds * kRate), fade = kRate / 30;
    for (int64_t i = 0; i < len && at + i < int64_t(m.size()); ++i) {
        const double t = double(i) / kRate;
        const double f = hz * (1 + std::exp(-t / 0.015));
        phase += 2 * kPi * f / kRate;
        const double end = std::min(1.0, double(len - i) / double(fade));
        m[size_t(at + i)] += float(gain * end * std::exp(-t / 0.08) * std::sin(phase));
    }
}

// adds a short tone (the bass note)
void tone(std::vector<float>& m, int64_t at, double hz, double seconds, double gain)
{
    const int64_t len = int64_t(seconds * kRate);
    for (int64_t i = 0; i < len && at + i < int64_t(m.size()); ++i) {
        const double t = double(i) / kRate;
        // soft at both ends: a sudden start would click through every band
        const double env = std::exp(-t / (seconds / 3)) * std::min({1.0, double(len - i) / 200.0, t / 0.005});
        m[size_t(at + i)] += float(gain * env * std::sin(2 * kPi * hz * t));
    }
}

// adds band-limited noise with an exponential decay
void noise(std::vector<float>& m, int64_t at, double seconds, double decay, double gain, std::vector<float> band)
{
    const int64_t len = std::min<int64_t>(int64_t(seconds * kRate), int64_t(band.size()));
    for (int64_t i = 0; i < len && at + i < int64_t(m.size()); ++i)
        m[size_t(at + i)] += float(gain * std::exp(-double(i) / kRate / decay) * band[size_t(i)]);
}

std::vector<float> noiseBand(Noise& n, double seconds, double lo, double hi)
{
    std::vector<float> w(size_t(seconds * kRate));
    for (float& v : w) v = n.next();
    return bandpass(w, kRate, lo, hi);
}

}  // namespace

std::vector<int16_t> synthGroove(const Groove& g)
{
    const int64_t frames = int64_t(g.seconds * kRate);
    std::vector<float> m(size_t(frames), 0.0f);
    Noise n{g.seed * 2654435761u + 1};
    const double beat = 60.0 / g.bpm;
    const double kickHz = g.high ? 400 : 50, bassHz = g.high ? 1500 : 165;
    const std::vector<float> snare = g.high ? noiseBand(n, 0.2, 3000, 8000) : noiseBand(n, 0.2, 1500, 6000);
    const std::vector<float> hat = g.high ? noiseBand(n, 0.05, 10000, 0) : noiseBand(n, 0.05, 7000, 0);
    for (int b = 0; double(b) * beat < g.seconds; ++b) {
        const int64_t at = int64_t(std::llround(b * beat * kRate));
        const int64_t off = int64_t(std::llround((b + 0.5) * beat * kRate));
        kick(m, at, kickHz, 0.5, 0.9 * beat);
        if (b % 2 == 1) noise(m, at, 0.2, 0.05, 0.35, snare);
        noise(m, at, 0.05, 0.012, 0.25, hat);
        noise(m, off, 0.05, 0.012, 0.18, hat);
        tone(m, off, bassHz, beat * 0.4, 0.3);
    }
    std::vector<int16_t> out(size_t(frames) * 2);
    for (size_t i = 0; i < m.size(); ++i) {
        const auto v = int16_t(std::clamp(m[i], -0.98f, 0.98f) * 32767.0f);
        out[2 * i] = out[2 * i + 1] = v;
    }
    return out;
}

bool writeWav(const QString& path, const std::vector<int16_t>& stereo, int rate)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const uint32_t data = uint32_t(stereo.size() * 2);
    auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF");
    u32(36 + data);
    f.write("WAVEfmt ");
    u32(16);
    u16(1);
    u16(2);
    u32(uint32_t(rate));
    u32(uint32_t(rate) * 4);
    u16(4);
    u16(16);
    f.write("data");
    u32(data);
    return f.write(reinterpret_cast<const char*>(stereo.data()), qint64(data)) == qint64(data);
}

QStringList encoderArgs(const QString& e)
{
    if (e == QLatin1String("mp3")) return {"-c:a", "libmp3lame", "-b:a", "192k"};
    if (e == QLatin1String("mp2")) return {"-c:a", "mp2", "-b:a", "192k"};
    if (e == QLatin1String("wav")) return {"-c:a", "pcm_s16le"};
    if (e == QLatin1String("aiff")) return {"-c:a", "pcm_s16be", "-f", "aiff"};
    if (e == QLatin1String("flac")) return {"-c:a", "flac"};
    if (e == QLatin1String("ogg")) return {"-c:a", "libvorbis", "-q:a", "5"};
    if (e == QLatin1String("wma")) return {"-c:a", "wmav2", "-b:a", "192k", "-f", "asf"};
    if (e == QLatin1String("m4a")) return {"-c:a", "aac", "-b:a", "192k", "-f", "mp4"};
    return {};
}

bool encode(const QString& wav, const QString& target)
{
    const QFileInfo t(target);
    const QStringList codec = encoderArgs(t.suffix().toLower());
    if (codec.isEmpty()) return false;
    const QString part = t.dir().filePath(QStringLiteral(".part-") + t.fileName());
    QStringList args{"-nostdin", "-y", "-v", "error", "-i", wav};
    args << codec;
    // the format of the temporary name cannot come from its extension
    if (!codec.contains(QStringLiteral("-f"))) {
        static const QHash<QString, QString> formats{{"mp3", "mp3"}, {"mp2", "mp2"}, {"wav", "wav"},
                                                     {"flac", "flac"}, {"ogg", "ogg"}};
        args << "-f" << formats.value(t.suffix().toLower());
    }
    args << part;
    QFile::remove(part);
    if (testsupport::runTool(QStringLiteral("ffmpeg"), args, nullptr, 120000) != 0) return false;
    QFile::remove(target);
    return QFile::rename(part, target);
}

}  // namespace e2e
