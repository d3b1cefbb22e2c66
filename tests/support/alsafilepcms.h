// ALSA outputs for tests: a configuration of our own (ALSA_CONFIG_PATH) whose PCMs are `file`
// plugins over `null`, so every sample played lands in a file of float frames as fast as it
// is produced (nothing paces them: bound what you read). "default" is one of them.
#pragma once

#include <cstdlib>
#include <cstring>
#include <vector>

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class AlsaFilePcms {
public:
    // One PCM per name, each writing <name>.raw in a folder of its own.
    explicit AlsaFilePcms(const QStringList& names)
    {
        QString conf = QStringLiteral("pcm.sink { type null }\n");
        conf += pcm(QStringLiteral("!default"), filePath(QStringLiteral("default")));
        for (const QString& n : names) conf += pcm(n, filePath(n));
        QFile f(dir_.filePath(QStringLiteral("asound.conf")));
        if (f.open(QIODevice::WriteOnly)) f.write(conf.toUtf8());
        f.close();
        setenv("ALSA_CONFIG_PATH", QFile::encodeName(f.fileName()).constData(), 1);
    }

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
    static QString pcm(const QString& name, const QString& file)
    {
        return QStringLiteral("pcm.%1 {\n  type file\n  slave.pcm \"sink\"\n  file \"%2\"\n  format \"raw\"\n}\n")
            .arg(name, file);
    }
    QTemporaryDir dir_;
};
