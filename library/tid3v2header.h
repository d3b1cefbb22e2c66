// The 10-byte ID3v2 tag header: "ID3", version, revision, flags, synchsafe size.
#pragma once

#include <cstdint>

class QIODevice;

class TID3V2Header {
public:
    TID3V2Header() { Clear(); }
    void Clear();
    void Load(const uint8_t* ABuf, int64_t ABufSz);
    void LoadFromStream(QIODevice* AStream, int64_t AStreamSz);
    void Save(uint8_t* ABuf, int64_t ABufSz) const;  // needs 10 bytes; does nothing with fewer
    bool SaveToStream(QIODevice* AStream) const;
    bool GetFlag(int n) const;
    void SetFlag(int n, bool on);

    bool fOk = false;
    uint32_t FSize = 0;  // tag size without the header
    uint8_t FMajorVersion = 3;
    uint8_t FRevision = 0;
    uint8_t FFlags = 0;
};
