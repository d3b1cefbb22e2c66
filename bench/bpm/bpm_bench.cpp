// bpm_bench [--score TRUTH.tsv [--no-peers]] FILE...
//
// Runs each file through what the peaks worker does for the tempo: decode (ffmpeg, 16-bit
// stereo at the file's rate), 4096-byte blocks into the engine's and the worker's own tempo
// library, fold, combine and snap. Prints "<file><TAB><bpm>" a file, then the total seconds.
// With --score it also scores the results against TRUTH.tsv (file, bpm; the truth folded into
// the worker's range) and measures `aubio tempo` and `soundstretch -bpm` (after decoding to
// WAV) on the same files: Acc1 = within 4 %, exact = within 0.4 BPM.
// Tools: scripts/install-bench-bpm-deps.sh.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include "platform/bpm/bpmlibrary.h"
#include "engine/bpmresult.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point a) { return std::chrono::duration<double>(Clock::now() - a).count(); }

bool readExact(QProcess& p, char* dst, qint64 n)
{
    qint64 got = 0;
    while (got < n) {
        if (p.bytesAvailable() == 0 && !p.waitForReadyRead(30000)) return false;
        const qint64 r = p.read(dst + got, n - got);
        if (r < 0) return false;
        got += r;
    }
    return true;
}

// The stored tempo of one file, as the worker computes it; nullopt when ffmpeg fails.
std::optional<float> ourTempo(const QString& file)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), file,
                                       QStringLiteral("-f"), QStringLiteral("wav"), QStringLiteral("-acodec"),
                                       QStringLiteral("pcm_s16le"), QStringLiteral("-ac"), QStringLiteral("2"),
                                       QStringLiteral("-")});
    if (!p.waitForStarted()) return std::nullopt;
    char hdr[12];
    if (!readExact(p, hdr, 12) || std::memcmp(hdr, "RIFF", 4) != 0) return std::nullopt;
    int rate = 44100;
    for (;;) {
        char ch[8];
        if (!readExact(p, ch, 8)) return std::nullopt;
        quint32 len;
        std::memcpy(&len, ch + 4, 4);
        if (std::memcmp(ch, "data", 4) == 0) break;
        std::vector<char> body(len + (len & 1));
        if (!readExact(p, body.data(), qint64(body.size()))) return std::nullopt;
        if (std::memcmp(ch, "fmt ", 4) == 0 && len >= 8) std::memcpy(&rate, body.data() + 4, 4);
    }
    auto mine = BpmLibrary::load(QStringLiteral("ostrellibrary"));
    auto own = BpmLibrary::load(QStringLiteral("ostrel1"));
    mine->Init(2, rate);
    own->Init(2, rate);
    // the worker's blocks of 4096 bytes, cut from whatever the pipe holds
    std::vector<int16_t> block(2049);
    QByteArray pending;
    bool more = true;
    while (more) {
        if (!p.waitForReadyRead(30000) && p.bytesAvailable() == 0) more = false;
        pending += p.readAll();
        qsizetype at = 0;
        for (; pending.size() - at >= 4096; at += 4096) {
            std::memcpy(block.data(), pending.constData() + at, 4096);
            mine->Decode(block.data(), 2048);
            own->Decode(block.data(), 4096);
        }
        pending.remove(0, at);
    }
    p.waitForFinished();
    return bpmresult::finish(true, mine->DameBpm(), true, own->DameBpm());
}

std::optional<float> aubioTempo(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("aubio"), {QStringLiteral("tempo"), QStringLiteral("-i"), file});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) return std::nullopt;
    const auto lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        if (it->endsWith(QLatin1String("bpm"))) return it->split(' ').first().toFloat();
    return std::nullopt;
}

std::optional<float> soundstretchTempo(const QString& file, const QString& wav)
{
    QProcess d;
    d.start(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                                       QStringLiteral("-i"), file, QStringLiteral("-acodec"),
                                       QStringLiteral("pcm_s16le"), wav});
    if (!d.waitForFinished(600000) || d.exitCode() != 0) return std::nullopt;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("soundstretch"), {wav, QStringLiteral("-bpm")});
    if (!p.waitForFinished(600000)) return std::nullopt;
    QFile::remove(wav);
    const QString out = QString::fromUtf8(p.readAll());
    const int at = out.indexOf(QLatin1String("Detected BPM rate"));
    if (at < 0) return std::nullopt;
    return out.mid(at + 17).trimmed().split(QRegularExpression(QStringLiteral("\\s"))).first().toFloat();
}

struct Score {
    int acc1 = 0, exact = 0, n = 0;
    double time = 0;
    void add(std::optional<float> got, double truth)
    {
        ++n;
        if (!got) return;
        const double d = std::fabs(double(*got) - truth);
        acc1 += d <= 0.04 * truth;
        exact += d <= 0.4;
    }
    void print(const char* name) const
    {
        std::printf("%-13s Acc1 %5.1f %%  exact %5.1f %%  time %8.3f s\n", name, n ? 100.0 * acc1 / n : 0.0,
                    n ? 100.0 * exact / n : 0.0, time);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QString truthFile;
    QStringList files;
    bool noPeers = false;  // score ours only (while tuning)
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-peers") == 0)
            noPeers = true;
        else if (std::strcmp(argv[i], "--score") == 0 && i + 1 < argc)
            truthFile = QString::fromLocal8Bit(argv[++i]);
        else
            files << QString::fromLocal8Bit(argv[i]);
    }
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: bpm_bench [--score TRUTH.tsv] FILE...\n");
        return 2;
    }
    std::map<QString, double> truth;
    if (!truthFile.isEmpty()) {
        QFile f(truthFile);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(truthFile));
            return 2;
        }
        while (!f.atEnd()) {
            const auto cols = QString::fromUtf8(f.readLine()).trimmed().split('\t');
            if (cols.size() >= 2) truth[QFileInfo(cols[0]).fileName()] = cols[1].toDouble();
        }
    }

    // With --score the three run file by file in turn, so that a busy machine slows each alike.
    Score ours, aubio, stretch;
    const bool peers = !truthFile.isEmpty() && !noPeers;
    QTemporaryDir tmp;
    std::vector<std::optional<float>> results, ra, rs;
    for (const QString& f : files) {
        auto t = Clock::now();
        auto r = ourTempo(f);
        ours.time += seconds(t);
        results.push_back(r);
        std::printf("%s\t%.3f\n", qPrintable(f), r ? double(*r) : 0.0);
        std::fflush(stdout);
        if (!peers) continue;
        t = Clock::now();
        ra.push_back(aubioTempo(f));
        aubio.time += seconds(t);
        t = Clock::now();
        rs.push_back(soundstretchTempo(f, tmp.filePath(QStringLiteral("x.wav"))));
        stretch.time += seconds(t);
    }
    std::printf("total\t%.3f\n", ours.time);
    if (truthFile.isEmpty()) return 0;
    ra.resize(results.size());
    rs.resize(results.size());

    auto folded = [](std::optional<float> v) -> std::optional<float> {
        if (v) v = bpmresult::fold(*v);
        return v;
    };
    for (size_t i = 0; i < size_t(files.size()); ++i) {
        const auto it = truth.find(QFileInfo(files[int(i)]).fileName());
        if (it == truth.end()) {
            std::fprintf(stderr, "no truth for %s\n", qPrintable(files[int(i)]));
            continue;
        }
        const double t = bpmresult::fold(float(it->second));
        ours.add(results[i], t);
        aubio.add(folded(ra[i]), t);
        stretch.add(folded(rs[i]), t);
        if (!results[i] || std::fabs(*results[i] - t) > 0.4)
            std::fprintf(stderr, "miss %s: truth %.2f ours %.2f aubio %.2f soundstretch %.2f\n",
                         qPrintable(QFileInfo(files[int(i)]).fileName()), t, results[i] ? *results[i] : 0.0,
                         ra[i] ? bpmresult::fold(*ra[i]) : 0.0, rs[i] ? bpmresult::fold(*rs[i]) : 0.0);
    }
    ours.print("ours");
    if (!peers) return 0;
    aubio.print("aubio");
    stretch.print("soundstretch");
    std::printf("time ours / soundstretch %.3f\n", stretch.time > 0 ? ours.time / stretch.time : 0.0);
    return 0;
}
