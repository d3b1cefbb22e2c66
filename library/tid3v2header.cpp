#include "library/tid3v2header.h"

#include <QIODevice>

void TID3V2Header::Clear()
{
    fOk = false;
    FSize = 0;
    FMajorVersion = 3;
    FRevision = 0;
    FFlags = 0;
}

void TID3V2Header::Load(const uint8_t* ABuf, int64_t ABufSz)
{
    if (!ABuf || ABufSz < 10 || ABuf[0] != 'I' || ABuf[1] != 'D' || ABuf[2] != '3') {
        fOk = false;
        return;
    }
    FMajorVersion = ABuf[3];
    FRevision = ABuf[4];
    FFlags = ABuf[5];
    FSize = (uint32_t(ABuf[6] & 0x7F) << 21) | (uint32_t(ABuf[7] & 0x7F) << 14) | (uint32_t(ABuf[8] & 0x7F) << 7) |
            uint32_t(ABuf[9] & 0x7F);
    fOk = FMajorVersion != 0xFF && FRevision != 0xFF &&
          ((ABuf[6] | ABuf[7] | ABuf[8] | ABuf[9]) & 0x80) == 0;
}

void TID3V2Header::LoadFromStream(QIODevice* AStream, int64_t AStreamSz)
{
    uint8_t buf[10];
    if (!AStream || AStreamSz < 10 || AStream->read(reinterpret_cast<char*>(buf), 10) != 10) {
        fOk = false;
        return;
    }
    Load(buf, 10);
}

void TID3V2Header::Save(uint8_t* ABuf, int64_t ABufSz) const
{
    if (!ABuf || ABufSz < 10) return;
    ABuf[0] = 'I';
    ABuf[1] = 'D';
    ABuf[2] = '3';
    ABuf[3] = FMajorVersion;
    ABuf[4] = FRevision;
    ABuf[5] = FFlags;
    ABuf[6] = uint8_t((FSize >> 21) & 0x7F);
    ABuf[7] = uint8_t((FSize >> 14) & 0x7F);
    ABuf[8] = uint8_t((FSize >> 7) & 0x7F);
    ABuf[9] = uint8_t(FSize & 0x7F);
}

bool TID3V2Header::SaveToStream(QIODevice* AStream) const
{
    uint8_t buf[10];
    Save(buf, 10);
    return AStream->write(reinterpret_cast<const char*>(buf), 10) == 10;
}

bool TID3V2Header::GetFlag(int n) const { return n >= 0 && n <= 7 && (FFlags >> n) & 1; }

void TID3V2Header::SetFlag(int n, bool on)
{
    if (n < 0 || n > 7) return;
    if (on) FFlags = uint8_t(FFlags | (1u << n));
    else FFlags = uint8_t(FFlags & ~(1u << n));
}
