#include <cstddef>
#include <cstdint>

#include <QBuffer>
#include <QByteArray>

#include "library/tid3v2.h"

namespace {
bool same(const TID3v2& a, const TID3v2& b)
{
    return a.FTitle == b.FTitle && a.FArtist == b.FArtist && a.FAlbum == b.FAlbum && a.FTrack == b.FTrack &&
           a.FTrackString == b.FTrackString && a.FYear == b.FYear && a.FGenre == b.FGenre &&
           a.FComment == b.FComment && a.FComposer == b.FComposer && a.FEncoder == b.FEncoder &&
           a.FCopyright == b.FCopyright && a.FLanguage == b.FLanguage && a.FLink == b.FLink &&
           a.FOrigArtist == b.FOrigArtist && a.FLyrics == b.FLyrics && a.FTSIZ == b.FTSIZ;
}

bool readInto(TID3v2& t, QByteArray bytes)
{
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    return t.ReadFromStream(&buf, bytes.size());
}
}  // namespace

// Reads any bytes; a tag that reads is written again as 2.2 and 2.3 and must read back the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TID3v2 t;
    const bool ok = readInto(t, bytes);
    if (t.FSize > static_cast<int64_t>(size)) __builtin_trap();
    if (!ok || !t.FExists) return 0;
    for (int version : {2, 3}) {
        t.FVersionID = version;
        bool rendered = false;
        const QByteArray tag = t.Render(QByteArray(), &rendered);
        if (!rendered) continue;
        TID3v2 back;
        if (!readInto(back, tag + QByteArray(4, '\xFF'))) __builtin_trap();
        if (!tag.isEmpty() && (!back.FExists || back.FSize != tag.size())) __builtin_trap();
        if (!same(t, back)) __builtin_trap();
    }
    return 0;
}
