// ALSA outputs for tests: a configuration of our own (ALSA_CONFIG_PATH) whose PCMs are `file`
// plugins over `null`, so every sample played lands in a file of interleaved float frames as
// fast as it is produced (nothing paces them: bound what you read). "default" is one of them.
// A file PCM takes any channel count; one of more than two channels declares the speaker
// layout of that many (the channel map of its `null`), as a surround card's plugin does.
// Capture: by default "default" records the silence of `null`; with Capture::File it reads
// input.raw (in the format it is opened with, repeating its last period past the end; what it
// plays is not kept then), and
// with Capture::None no PCM can record, as on a machine without a capture device.
// Pacing::WallClock makes the PCMs take their sound at the pace of a real card (stereo float
// frames at the rate given): each writes into a pipe that the test drains by the clock into
// <name>.raw, so a player that follows its output's progress plays at its own speed.
// addTrials() adds the odd devices a sound layer meets: "failing" is listed and opens, but its
// first write fails (its file's folder does not exist); "leaving" is a plain `null` until
// unplug() turns it into a sound card that is not there; "surround" takes any channel count
// and declares speaker layouts of two, four and six (capturing into surround.raw); "fixed"
// takes three channels and no other count, as a card does (it is listed, not played: `multi`
// over `null` stalls).
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class AlsaFilePcms {
public:
    enum class Capture { Null, File, None };
    enum class Pacing { None, WallClock };

    // One PCM per name, each writing <name>.raw in a folder of its own; channels: 2, 4, 6 or 8.
    explicit AlsaFilePcms(const QStringList& names, int channels = 2, Capture capture = Capture::Null,
                          Pacing pacing = Pacing::None, int rate = 44100)
        : channels_(channels), captures_(capture != Capture::None), paced_(pacing == Pacing::WallClock),
          rate_(rate)
    {
        if (const char* before = std::getenv("ALSA_CONFIG_PATH")) before_ = before;
        hadBefore_ = std::getenv("ALSA_CONFIG_PATH") != nullptr;
        // with no capture, no PCM of ours (not even a slave) is defined by a name of its own:
        // every named PCM is listed as a device, and a named `null` would record
        QString conf = captures_ ? QStringLiteral("pcm.sink { type null }\n") : QString();
        // recording from a file PCM also writes what it records into its output file: that
        // goes to /dev/null, so that a file size limit of the test only meets the test's files
        conf += pcm(QStringLiteral("!default"),
                    capture == Capture::File ? QStringLiteral("/dev/null") : filePath(QStringLiteral("default")), 2,
                    capture == Capture::File ? inputPath() : QString());
        for (const QString& n : names) conf += pcm(n, filePath(n), channels);
        conf_ = conf;
        write();
        if (paced_) {
            drains_.push_back(std::make_unique<Drain>(QFile::encodeName(pipePath(QStringLiteral("default"))).toStdString(),
                                                      QFile::encodeName(filePath(QStringLiteral("default"))).toStdString(),
                                                      rate_ * 2 * int(sizeof(float))));
            for (const QString& n : names)
                drains_.push_back(std::make_unique<Drain>(QFile::encodeName(pipePath(n)).toStdString(),
                                                          QFile::encodeName(filePath(n)).toStdString(),
                                                          rate_ * channels_ * int(sizeof(float))));
        }
    }
    // The configuration it replaced comes back: a path to the folder that goes with this object
    // would leave the next user of ALSA in this process reading a configuration that is gone.
    ~AlsaFilePcms()
    {
        drains_.clear();
        if (hadBefore_) setenv("ALSA_CONFIG_PATH", before_.c_str(), 1);
        else unsetenv("ALSA_CONFIG_PATH");
    }

    void addTrials()
    {
        trials_ = QStringLiteral(R"(pcm.failing {
  type file
  slave.pcm { type null }
  file "%1"
  format "raw"
}
pcm.fixed {
  type multi
  slaves.a { pcm { type null } channels 3 }
  bindings { 0 { slave a channel 0 } 1 { slave a channel 1 } 2 { slave a channel 2 } }
}
pcm.surround {
  type file
  slave.pcm { type null chmap [ "FL,FR" "FL,FR,RL,RR" "FL,FR,RL,RR,FC,LFE" ] }
  file "%2"
  format "raw"
}
)").arg(dir_.filePath(QStringLiteral("gone/failing.raw")), filePath(QStringLiteral("surround")));
        leaving_ = QStringLiteral("pcm.leaving { type null }\n");
        write();
    }
    void unplug()
    {
        leaving_ = QStringLiteral("pcm.leaving {\n  type hw\n  card 29\n}\n");
        write();
    }

    int channels() const { return channels_; }
    QString filePath(const QString& name) const { return dir_.filePath(name + QStringLiteral(".raw")); }
    // what "default" records with Capture::File
    QString inputPath() const { return dir_.filePath(QStringLiteral("input.raw")); }
    qint64 size(const QString& name) const { return QFile(filePath(name)).size(); }
    // all a PCM wrote
    QByteArray captured(const QString& name) const
    {
        QFile f(filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The float samples written so far (at most maxBytes of them, from byte `from` on).
    std::vector<float> samples(const QString& name, qint64 maxBytes, qint64 from = 0) const
    {
        QFile f(filePath(name));
        if (!f.open(QIODevice::ReadOnly) || !f.seek(from - from % qint64(sizeof(float)))) return {};
        const QByteArray b = f.read(maxBytes);
        std::vector<float> v(size_t(b.size()) / sizeof(float));
        std::memcpy(v.data(), b.constData(), v.size() * sizeof(float));
        return v;
    }

private:
    void write()
    {
        QFile f(dir_.filePath(QStringLiteral("asound.conf")));
        if (f.open(QIODevice::WriteOnly)) f.write((conf_ + trials_ + leaving_).toUtf8());
        f.flush();
        // ALSA reads its configuration again when the file's time (in seconds) changes
        f.setFileTime(QDateTime::currentDateTime().addSecs(++edits_), QFileDevice::FileModificationTime);
        f.close();
        setenv("ALSA_CONFIG_PATH", QFile::encodeName(f.fileName()).constData(), 1);
    }

    QString pcm(const QString& name, const QString& file, int channels, const QString& infile = QString()) const
    {
        static const char* const layouts[] = {"FL,FR,RL,RR", "FL,FR,RL,RR,FC,LFE", "FL,FR,RL,RR,FC,LFE,SL,SR"};
        QString slave = channels <= 2 ? QStringLiteral("\"sink\"")
                                      : QStringLiteral("{ type null chmap [ \"%1\" ] }")
                                            .arg(QLatin1String(layouts[std::clamp(channels, 4, 8) / 2 - 2]));
        if (!captures_) {
            if (channels <= 2) slave = QStringLiteral("{ type null }");
            slave = QStringLiteral("{ type asym playback.pcm %1 }").arg(slave);
        }
        const QString in = infile.isEmpty() ? QString() : QStringLiteral("  infile \"%1\"\n").arg(infile);
        // a paced PCM writes into the pipe beside its file (made here: the plugin opens it at once)
        QString target = file;
        if (paced_ && file != QLatin1String("/dev/null")) {
            target = file.chopped(4) + QStringLiteral(".pipe");
            mkfifo(QFile::encodeName(target).constData(), 0600);
        }
        return QStringLiteral("pcm.%1 {\n  type file\n  slave.pcm %2\n  file \"%3\"\n%4  format \"raw\"\n}\n")
            .arg(name, slave, target, in);
    }
    QString pipePath(const QString& name) const { return dir_.filePath(name + QStringLiteral(".pipe")); }

    // Drains a pipe into a file at bytesPerSecond by the wall clock: the pipe's buffer fills and
    // the writer waits as it would on a card. Writers come and go (every open of the PCM is one);
    // the drain holds the pipe open throughout, so none of them waits to open it.
    class Drain {
    public:
        Drain(std::string pipe, std::string file, int bytesPerSecond)
        {
            in_ = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
            // our own writer end keeps the reads from seeing an end between the PCM's opens
            keep_ = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            out_ = std::fopen(file.c_str(), "wb");
            if (in_ < 0 || !out_) return;
            thread_ = std::thread([this, bytesPerSecond] { run(bytesPerSecond); });
        }
        ~Drain()
        {
            stop_ = true;
            if (thread_.joinable()) thread_.join();
            if (out_) std::fclose(out_);
            if (keep_ >= 0) ::close(keep_);
            if (in_ >= 0) ::close(in_);
        }
        Drain(const Drain&) = delete;
        Drain& operator=(const Drain&) = delete;

    private:
        void run(int bytesPerSecond)
        {
            using Clock = std::chrono::steady_clock;
            const Clock::time_point start = Clock::now();
            long long taken = 0;
            std::vector<char> buf(1 << 16);
            while (!stop_) {
                const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
                const long long due = (long long)(seconds * bytesPerSecond) - taken;
                if (due > 0) {
                    const ssize_t n = ::read(in_, buf.data(), size_t(std::min<long long>(due, (long long)buf.size())));
                    if (n > 0) {
                        std::fwrite(buf.data(), 1, size_t(n), out_);
                        std::fflush(out_);
                    }
                    // time the pipe stood empty is not owed to the writer afterwards
                    taken += n > 0 ? n : due;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        int in_ = -1;
        int keep_ = -1;
        std::FILE* out_ = nullptr;
        std::atomic<bool> stop_{false};
        std::thread thread_;
    };

    std::string before_;
    bool hadBefore_ = false;
    int channels_;
    bool captures_;
    bool paced_;
    int rate_;
    std::vector<std::unique_ptr<Drain>> drains_;
    QString conf_, trials_, leaving_;
    int edits_ = 0;
    QTemporaryDir dir_;
};
