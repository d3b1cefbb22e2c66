// The peaks cache file (".pek" in the profile's "Peaks" folder): no header, one pair of
// little-endian signed 32-bit integers per 2048 decoded bytes, both holding the point's peak
// 0..79. Files of the same name in different folders share one cache file, so a cache is only
// taken when its pair count matches the track's length.
#pragma once

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QString>

class PeaksCache {
public:
    static constexpr int kPointBytes = 2048;

    // The profile's "Peaks/" + the audio file's name with its extension replaced by ".pek".
    static QString fileFor(const QString& audioFile);

    // Pairs a track of `decodedBytes` gives: whole points only (10,000 bytes give 4).
    static int64_t pointsFor(int64_t decodedBytes);

    // The pairs, or nullopt when the file is missing, unreadable, or its size is not 8 bytes a
    // point of a track of `decodedBytes` (an empty cache of a once-unreadable file included).
    static std::optional<QByteArray> read(const QString& cacheFile, int64_t decodedBytes);

    // Writes the whole file through a temporary file renamed over the old one, making the
    // folder if needed; a crash leaves the old file or the new one. False on any failure.
    static bool write(const QString& cacheFile, const QByteArray& pairs);

    // The peak of a point whose largest sample value is `maxSample` (0 when none is positive).
    static int peakValue(int maxSample);

    // Appends the pair (v, v).
    static void appendPair(QByteArray& pairs, int32_t v);

    // The first (k 0) or second (k 1) integer of pair p; 0 outside the data.
    static int32_t pairValue(const QByteArray& pairs, int64_t p, int k);
};
