#include "engine/peakscache.h"

#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "engine/ostrelli.h"

QString PeaksCache::fileFor(const QString& audioFile)
{
    return GetUserProfile() + QStringLiteral("Peaks/") + QFileInfo(audioFile).completeBaseName() +
           QStringLiteral(".pek");
}

int64_t PeaksCache::pointsFor(int64_t decodedBytes)
{
    return decodedBytes > 0 ? decodedBytes / kPointBytes : 0;
}

std::optional<QByteArray> PeaksCache::read(const QString& cacheFile, int64_t decodedBytes)
{
    QFile f(cacheFile);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    if (f.size() != pointsFor(decodedBytes) * 8) return std::nullopt;
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError || data.size() != f.size()) return std::nullopt;
    return data;
}

bool PeaksCache::write(const QString& cacheFile, const QByteArray& pairs)
{
    const QFileInfo fi(cacheFile);
    if (!QDir().mkpath(fi.absolutePath())) return false;
    QSaveFile f(cacheFile);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(pairs) != pairs.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

int PeaksCache::peakValue(int maxSample)
{
    return std::abs(maxSample * 80) / 32768;
}

void PeaksCache::appendPair(QByteArray& pairs, int32_t v)
{
    const uint32_t u = uint32_t(v);
    const char b[4] = {char(u & 0xff), char((u >> 8) & 0xff), char((u >> 16) & 0xff), char(u >> 24)};
    pairs.append(b, 4);
    pairs.append(b, 4);
}

int32_t PeaksCache::pairValue(const QByteArray& pairs, int64_t p, int k)
{
    const int64_t at = p * 8 + int64_t(k) * 4;
    if (p < 0 || k < 0 || k > 1 || at + 4 > pairs.size()) return 0;
    const auto* b = reinterpret_cast<const unsigned char*>(pairs.constData()) + at;
    return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}
