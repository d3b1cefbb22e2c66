// ALSA outputs for tests: a configuration of our own (ALSA_CONFIG_PATH) whose PCMs are `file`
// plugins over `null`, so every sample played lands in a file of interleaved float frames as
// fast as it is produced (nothing paces them: bound what you read). "default" is one of them.
// A file PCM takes any channel count; one of more than two channels declares the speaker
// layout of that many (the channel map of its `null`), as a surround card's plugin does.
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
    // One PCM per name, each writing <name>.raw in a folder of its own; channels: 2, 4, 6 or 8.
    explicit AlsaFilePcms(const QStringList& names, int channels = 2) : channels_(channels)
    {
        QString conf = QStringLiteral("pcm.sink { type null }\n");
        conf += pcm(QStringLiteral("!default"), filePath(QStringLiteral("default")), 2);
        for (const QString& n : names) conf += pcm(n, filePath(n), channels);
        QFile f(dir_.filePath(QStringLiteral("asound.conf")));
        if (f.open(QIODevice::WriteOnly)) f.write(conf.toUtf8());
        f.close();
        setenv("ALSA_CONFIG_PATH", QFile::encodeName(f.fileName()).constData(), 1);
    }

    int channels() const { return channels_; }
    QString filePath(const QString& name) const { return dir_.filePath(name + QStringLiteral(".raw")); }
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
    static QString pcm(const QString& name, const QString& file, int channels)
    {
        static const char* const layouts[] = {"FL,FR,RL,RR", "FL,FR,RL,RR,FC,LFE", "FL,FR,RL,RR,FC,LFE,SL,SR"};
        const QString slave = channels <= 2 ? QStringLiteral("\"sink\"")
                                            : QStringLiteral("{ type null chmap [ \"%1\" ] }")
                                                  .arg(QLatin1String(layouts[std::clamp(channels, 4, 8) / 2 - 2]));
        return QStringLiteral("pcm.%1 {\n  type file\n  slave.pcm %2\n  file \"%3\"\n  format \"raw\"\n}\n")
            .arg(name, slave, file);
    }
    int channels_;
    QTemporaryDir dir_;
};
