#include "library/tid3frame.h"

#include <cstring>

bool TID3Frame::Load(const uint8_t* ABuf, int64_t ABufSz)
{
    if (!ABuf || ABufSz < 10) return false;
    std::memcpy(FId, ABuf, 4);
    FSize = (uint32_t(ABuf[4]) << 24) | (uint32_t(ABuf[5]) << 16) | (uint32_t(ABuf[6]) << 8) | ABuf[7];
    FFlags[0] = ABuf[8];
    FFlags[1] = ABuf[9];
    if (TotalSize() <= ABufSz) LoadData(ABuf + 10, FSize);
    return true;
}

bool TID3Frame::Save(uint8_t* ABuf, int64_t ABufSz) const
{
    if (!ABuf || ABufSz < TotalSize()) return false;
    std::memcpy(ABuf, FId, 4);
    ABuf[4] = uint8_t(FSize >> 24);
    ABuf[5] = uint8_t(FSize >> 16);
    ABuf[6] = uint8_t(FSize >> 8);
    ABuf[7] = uint8_t(FSize);
    ABuf[8] = FFlags[0];
    ABuf[9] = FFlags[1];
    const QByteArray d = SaveData();
    std::memset(ABuf + 10, 0, FSize);
    std::memcpy(ABuf + 10, d.constData(), std::min<size_t>(size_t(d.size()), FSize));
    return true;
}

void TID3Frame::SetId(const QByteArray& id)
{
    for (int i = 0; i < 4; ++i) FId[i] = i < id.size() ? id[i] : 0;
}
