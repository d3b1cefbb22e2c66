#include "library/tid3v2tag.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

#include "library/tcommframe.h"
#include "library/ttextframe.h"
#include "library/tunknownframe.h"

namespace {
uint32_t frameSize(const uint8_t* p)
{
    return (uint32_t(p[4]) << 24) | (uint32_t(p[5]) << 16) | (uint32_t(p[6]) << 8) | p[7];
}
}  // namespace

bool TID3v2Tag::keeps(uint32_t size) const
{
    return size != 0 && FFramelist.GetCount() < TID3FrameList::kMaxKept;
}

int64_t TID3v2Tag::takeFrame(const uint8_t* p, int64_t avail)
{
    const uint32_t size = frameSize(p);
    if (!keeps(size)) {
        ++FFramelist.FCounted;
        return int64_t(size) + 10;
    }
    std::unique_ptr<TID3Frame> f;
    if (p[0] == 'T' && std::memcmp(p, "TXXX", 4) != 0) f = std::make_unique<TTextFrame>();
    else if (std::memcmp(p, "COMM", 4) == 0) f = std::make_unique<TCommFrame>();
    else f = std::make_unique<TUnknownFrame>();
    f->Load(p, avail);
    const int64_t total = f->TotalSize();
    FFramelist.Add(std::move(f));
    return total;
}

void TID3v2Tag::Load(const uint8_t* ABuf, int64_t ABufSz)
{
    FFramelist.Clear();
    int64_t pos = 0;
    while (ABuf && ABufSz - pos > 9 && ABuf[pos] != 0) pos += takeFrame(ABuf + pos, ABufSz - pos);
    fOk = FFramelist.GetCount() > 0 || FFramelist.FCounted > 0;
}

void TID3v2Tag::LoadFromStream(QIODevice* AStream, int64_t AStreamSz)
{
    FFramelist.Clear();
    fOk = false;
    FHeader.LoadFromStream(AStream, AStreamSz);
    if (!FHeader.fOk || FHeader.FMajorVersion > 4 || int64_t(FHeader.FSize) > AStreamSz - 10) return;

    // The frames as Load reads them, a block at a time: a tag of millions of frames costs
    // neither a copy of itself nor the reading of data that is only counted.
    constexpr int64_t kBlock = 1 << 20;
    const int64_t total = FHeader.FSize;
    QByteArray buf;
    int64_t bufAt = 0;  // tag offset of buf[0]
    int64_t read = 0;   // tag bytes taken from the stream
    // bytes [from, from + n) of the tag, from no earlier than any asked before; null when
    // the stream ends short
    auto bytes = [&](int64_t from, int64_t n) -> const uint8_t* {
        if (from + n > bufAt + buf.size()) {
            if (from >= bufAt + buf.size()) {
                if (from > read && AStream->skip(from - read) != from - read) return nullptr;
                read = std::max(read, from);
                buf.clear();
            } else {
                buf.remove(0, qsizetype(from - bufAt));
            }
            bufAt = from;
            const int64_t want = std::min(std::max(n - int64_t(buf.size()), kBlock), total - read);
            const qsizetype had = buf.size();
            buf.resize(had + qsizetype(want));
            if (AStream->read(buf.data() + had, want) != want) return nullptr;
            read += want;
        }
        return reinterpret_cast<const uint8_t*>(buf.constData()) + (from - bufAt);
    };
    int64_t pos = 0;
    while (total - pos > 9) {
        const uint8_t* p = bytes(pos, 10);
        if (!p) return FFramelist.Clear();
        if (p[0] == 0) break;
        const uint32_t size = frameSize(p);
        const int64_t avail = keeps(size) ? std::min(total - pos, int64_t(size) + 10) : 10;
        if (!(p = bytes(pos, avail))) return FFramelist.Clear();
        pos += takeFrame(p, avail);
    }
    if (read < total && AStream->skip(total - read) != total - read) return FFramelist.Clear();
    fOk = FFramelist.GetCount() > 0 || FFramelist.FCounted > 0;
}

void TID3v2Tag::LoadFromFile(const QString& AFileName)
{
    QFile f(AFileName);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot open " + AFileName.toStdString());
    LoadFromStream(&f, f.size());
}

void TID3v2Tag::SetOk(bool ok)
{
    fOk = ok;
    if (!ok) {
        FHeader.Clear();
        FFramelist.Clear();
    }
}

void TID3v2Tag::Save(uint8_t* ABuf, int64_t ABufSz) const
{
    if (!ABuf || ABufSz <= 0) return;
    std::memset(ABuf, 0, size_t(ABufSz));
    int64_t pos = 0;
    for (const auto& f : FFramelist.FList) {
        if (!f->Save(ABuf + pos, ABufSz - pos)) break;
        pos += f->TotalSize();
    }
}

bool TID3v2Tag::SaveToStream(QIODevice* AStream) const
{
    QByteArray buf(qsizetype(FHeader.FSize), '\0');
    Save(reinterpret_cast<uint8_t*>(buf.data()), buf.size());
    return FHeader.SaveToStream(AStream) && AStream->write(buf) == buf.size();
}

void TID3v2Tag::UpdateSize()
{
    const int64_t need = FFramelist.GetSize();
    if (need > int64_t(FHeader.FSize)) FHeader.FSize = uint32_t((need / 1024 + 1) * 1024);
}

void TID3v2Tag::SetSize(int64_t Value)
{
    FHeader.FSize = Value < 11 ? 0 : uint32_t(Value - 10);
}

namespace {
// the file's bytes after its ID3v2 tag (all of them when it has none)
QByteArray audioPart(const QString& name)
{
    QFile f(name);
    if (!f.exists()) return QByteArray();
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot open " + name.toStdString());
    TID3V2Header h;
    h.LoadFromStream(&f, f.size());
    const int64_t skip = h.fOk && int64_t(h.FSize) + 10 <= f.size() ? int64_t(h.FSize) + 10 : 0;
    f.seek(skip);
    return f.readAll();
}

void replaceFile(const QString& name, const QByteArray& head, const QByteArray& rest)
{
    QSaveFile out(name);
    if (!out.open(QIODevice::WriteOnly) || out.write(head) != head.size() || out.write(rest) != rest.size() ||
        !out.commit())
        throw std::runtime_error("cannot write " + name.toStdString() + ": " + out.errorString().toStdString());
}
}  // namespace

void TID3v2Tag::SaveToFile(const QString& AFileName)
{
    const QByteArray rest = audioPart(AFileName);
    QByteArray head(qsizetype(FHeader.FSize) + 10, '\0');
    FHeader.Save(reinterpret_cast<uint8_t*>(head.data()), 10);
    Save(reinterpret_cast<uint8_t*>(head.data()) + 10, FHeader.FSize);
    replaceFile(AFileName, head, rest);
}

void TID3v2Tag::DeleteFromFile(const QString& AFileName)
{
    QFile f(AFileName);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot open " + AFileName.toStdString());
    TID3V2Header h;
    h.LoadFromStream(&f, f.size());
    if (!h.fOk || int64_t(h.FSize) + 10 > f.size()) return;
    f.close();
    replaceFile(AFileName, QByteArray(), audioPart(AFileName));
}
