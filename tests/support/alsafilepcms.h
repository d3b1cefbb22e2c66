// ALSA outputs for tests: a configuration of our own (ALSA_CONFIG_PATH) whose PCMs are `file`
// plugins over `null`, so every sample played lands in a file of interleaved float frames as
// fast as it is produced (nothing paces them: bound what you read). "default" is one of them.
// A file PCM takes any channel count; one of more than two channels declares the speaker
// layout of that many (the channel map of its `null`), as a surround card's plugin does.
// Capture: by default "default" records the silence of `null`; with Capture::File it reads
// input.raw (in the format it is opened with, repeating its last period past the end; what it
// plays is not kept then), and
// with Capture::None no PCM can record, as on a machine without a capture device.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class AlsaFilePcms {
public:
    enum class Capture { Null, File, None };

    // One PCM per name, each writing <name>.raw in a folder of its own; channels: 2, 4, 6 or 8.
    explicit AlsaFilePcms(const QStringList& names, int channels = 2, Capture capture = Capture::Null)
        : channels_(channels), captures_(capture != Capture::None)
    {
        // with no capture, no PCM of ours (not even a slave) is defined by a name of its own:
        // every named PCM is listed as a device, and a named `null` would record
        QString conf = captures_ ? QStringLiteral("pcm.sink { type null }\n") : QString();
        // recording from a file PCM also writes what it records into its output file: that
        // goes to /dev/null, so that a file size limit of the test only meets the test's files
        conf += pcm(QStringLiteral("!default"),
                    capture == Capture::File ? QStringLiteral("/dev/null") : filePath(QStringLiteral("default")), 2,
                    capture == Capture::File ? inputPath() : QString());
        for (const QString& n : names) conf += pcm(n, filePath(n), channels);
        QFile f(dir_.filePath(QStringLiteral("asound.conf")));
        if (f.open(QIODevice::WriteOnly)) f.write(conf.toUtf8());
        f.close();
        setenv("ALSA_CONFIG_PATH", QFile::encodeName(f.fileName()).constData(), 1);
    }

    int channels() const { return channels_; }
    QString filePath(const QString& name) const { return dir_.filePath(name + QStringLiteral(".raw")); }
    // what "default" records with Capture::File
    QString inputPath() const { return dir_.filePath(QStringLiteral("input.raw")); }
    qint64 size(const QString& name) const { return QFile(filePath(name)).size(); }

    // The float samples written so far (at most maxBytes of them).
    std::vector<float> samples(const QString& name, qint64 maxBytes) const
    {
        QFile f(filePath(name));
        if (!f.open(QIODevice::ReadOnly)) return {};
        const QByteArray b = f.read(maxBytes);
        std::vector<float> v(size_t(b.size()) / sizeof(float));
        std::memcpy(v.data(), b.constData(), v.size() * sizeof(float));
        return v;
    }

private:
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
        return QStringLiteral("pcm.%1 {\n  type file\n  slave.pcm %2\n  file \"%3\"\n%4  format \"raw\"\n}\n")
            .arg(name, slave, file, in);
    }
    int channels_;
    bool captures_;
    QTemporaryDir dir_;
};
