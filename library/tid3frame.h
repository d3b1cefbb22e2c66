// One ID3v2 frame: a 10-byte header (identifier, big-endian data size, two flag bytes)
// followed by FSize data bytes. Subclasses decode the data.
#pragma once

#include <cstdint>

#include <QByteArray>

class TID3Frame {
public:
    virtual ~TID3Frame() = default;
    // Reads the header, and the data when ABufSz holds the whole frame. False when not even
    // the header is there.
    virtual bool Load(const uint8_t* ABuf, int64_t ABufSz);
    // Writes header and data when ABufSz holds the whole frame; false otherwise.
    virtual bool Save(uint8_t* ABuf, int64_t ABufSz) const;
    int64_t TotalSize() const { return int64_t(FSize) + 10; }
    void SetId(const QByteArray& id);  // shorter ids padded with zero bytes

    char FId[4] = {0, 0, 0, 0};
    uint32_t FSize = 0;
    uint8_t FFlags[2] = {0, 0};

protected:
    virtual void LoadData(const uint8_t* data, int64_t size) = 0;
    virtual QByteArray SaveData() const = 0;
};
