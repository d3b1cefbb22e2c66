#include "library/taudioinfo.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {
int64_t roundEven(double v)
{
    if (!std::isfinite(v)) return 0;
    return static_cast<int64_t>(std::nearbyint(v));
}

uint32_t be32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

bool readAt(QIODevice* s, int64_t at, uint8_t* buf, int64_t n)
{
    return s->seek(at) && s->read(reinterpret_cast<char*>(buf), n) == n;
}

// samples in one frame: 384 in Layer I, 1152 in Layer II, Layer III 1152 (MPEG-1) or 576
int samplesPerFrame(const TMpegFrameHdr& h)
{
    if (h.Layer == 1) return 384;
    if (h.Layer == 3 && h.Version != 1) return 576;
    return 1152;
}
}  // namespace

void TAudioInfo::Clear()
{
    fMpg = TMpegFrameHdr();
    fFirstMpegFramePos = -1;
    fXingVBR = TXingVbrHeader();
    fIsVBR = false;
    fID3v1.fOk = false;
    fID3v2.SetOk(false);
    fMpegBytesNum = -1;
    fFramesNum = -1;
    fBitRate = 0;
    fDuration = -1;
    fFileSize = -1;
    fFileDate = -1;
    fFileAttr = 0;
}

void TAudioInfo::LoadFromFile(const QString& AFileName)
{
    Clear();
    if (AFileName.trimmed().isEmpty()) return;
    QFile f(AFileName);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot open " + AFileName.toStdString() + ": " + f.errorString().toStdString());
    LoadFromStream(&f, f.size());
    const QFileInfo fi(AFileName);
    fFileSize = fi.size();
    fFileDate = fi.lastModified().toSecsSinceEpoch();
    fFileAttr = static_cast<int>(fi.permissions());
}

bool TAudioInfo::checkNext(QIODevice* s, int64_t start, int64_t size, int64_t at, const TMpegFrameHdr& h)
{
    const int64_t next = at + h.FrameLen;
    if (next + 4 >= size) return false;
    uint8_t b[4];
    const int64_t keep = s->pos();
    const bool ok = readAt(s, start + next, b, 4) && TMpegFrameHdr().Load(b, 4);
    s->seek(keep);
    return ok;
}

void TAudioInfo::readVbrHeader(QIODevice* s, int64_t start, int64_t size)
{
    const bool mono = fMpg.ChannelMode == 3;
    const int64_t xo = fFirstMpegFramePos + (fMpg.Version == 1 ? (mono ? 21 : 36) : (mono ? 13 : 21));
    uint8_t b[120];
    if (xo + 120 <= size && readAt(s, start + xo, b, 120) && std::memcmp(b, "Xing", 4) == 0) {
        fXingVBR.Ok = true;
        fXingVBR.Flags = static_cast<int>(be32(b + 4));
        int p = 8;
        if (fXingVBR.Flags & 1) { fXingVBR.FramesNum = be32(b + p); p += 4; }
        if (fXingVBR.Flags & 2) { fXingVBR.BytesNum = be32(b + p); p += 4; }
        if (fXingVBR.Flags & 4) { std::memcpy(fXingVBR.TOC, b + p, 100); p += 100; }
        if (fXingVBR.Flags & 8) fXingVBR.Scale = static_cast<int>(be32(b + p));
    } else {
        // Fraunhofer's header, always 32 bytes after the frame header
        const int64_t vo = fFirstMpegFramePos + 36;
        if (vo + 18 > size || !readAt(s, start + vo, b, 18) || std::memcmp(b, "VBRI", 4) != 0) return;
        fXingVBR.Ok = true;
        fXingVBR.Flags = 3;
        fXingVBR.BytesNum = be32(b + 10);
        fXingVBR.FramesNum = be32(b + 14);
    }
    fIsVBR = true;
    if (fMpg.SamplingRate > 0)
        fDuration = roundEven(double(samplesPerFrame(fMpg)) / fMpg.SamplingRate * double(fXingVBR.FramesNum) * 1000.0);
    fFramesNum = fXingVBR.FramesNum;
    if (fXingVBR.BytesNum != 0) {
        if (fDuration != 0 && fDuration > 0)
            fBitRate = roundEven(double(fXingVBR.BytesNum) * 8.0 * 1000.0 / double(fDuration));
        const int64_t have = size - fFirstMpegFramePos;
        if (have < fXingVBR.BytesNum) {
            const double part = double(have) / double(fXingVBR.BytesNum);
            if (fDuration > 0) fDuration = roundEven(double(fDuration) * part);
            fFramesNum = roundEven(double(fFramesNum) * part);
        } else {
            fMpegBytesNum = fXingVBR.BytesNum;
        }
    }
}

void TAudioInfo::LoadFromStream(QIODevice* AStream, int64_t AStreamSz)
{
    Clear();
    if (!AStream) return;
    const int64_t start = AStream->pos();
    if (!AStream->isSequential()) AStreamSz = std::min<int64_t>(AStreamSz, AStream->size() - start);
    if (AStreamSz <= 0) return;
    const int64_t size = AStreamSz;

    int64_t tagEnd = 0;
    if (size >= 10) {
        fID3v2.LoadFromStream(AStream, size);
        tagEnd = fID3v2.GetSize();
    }

    // the first frame whose successor one frame length on is a frame too, in windows of 128
    uint8_t win[128];
    int kept = 0;
    int64_t pos = tagEnd;
    while (pos < tagEnd + fMaxGapBeforeMpeg && pos < size) {
        const int64_t want = std::min<int64_t>(128 - kept, size - pos);
        if (!AStream->seek(start + pos)) break;
        const int64_t got = AStream->read(reinterpret_cast<char*>(win + kept), want);
        if (got <= 0) break;
        const int64_t len = kept + got;
        TMpegFrameHdr h;
        const int64_t w = h.Locate(win, len);
        if (w >= 0) {
            const int64_t at = pos - kept + w;
            if (checkNext(AStream, start, size, at, h)) {
                fMpg = h;
                fFirstMpegFramePos = at;
                break;
            }
        }
        pos += got;
        kept = static_cast<int>(std::min<int64_t>(4, len));
        std::memmove(win, win + len - kept, static_cast<size_t>(kept));
    }

    if (fMpg.Ok) readVbrHeader(AStream, start, size);

    if (AStream->seek(start)) fID3v1.LoadFromStream(AStream, size);

    if (fMpg.Ok && fMpegBytesNum == -1)
        fMpegBytesNum = std::max<int64_t>(0, size - fFirstMpegFramePos - (fID3v1.fOk ? 128 : 0));

    if (fMpg.Ok && !fXingVBR.Ok) {
        fFramesNum = fMpg.FrameLen > 0 ? fMpegBytesNum / fMpg.FrameLen : 0;
        fBitRate = fMpg.BitRate;
        fDuration = fMpg.BitRate < 1 ? 0 : roundEven(double(fMpegBytesNum) * 8.0 / fMpg.BitRate * 1000.0);
    }
}
