// One 4-byte MPEG audio frame header, decoded and checked.
#pragma once

#include <cstdint>

#include <QString>

class TMpegFrameHdr {
public:
    // Fewer than 4 bytes: false; else decodes the first 4 and answers Ok.
    bool Load(const uint8_t* ABuf, int64_t ABufSz);
    // Offset of the first valid header in the buffer, -1 when none.
    int64_t Locate(const uint8_t* ABuf, int64_t ABufSz);

    uint8_t fHdrBuf[4] = {0, 0, 0, 0};
    bool Ok = false;
    bool Sync = false;
    int Version = 0;  // 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5, 0 reserved
    int Layer = 0;    // 1..3, 0 reserved
    bool CRCExists = false;
    int KBitRate = 0;  // 0 free format, -1 invalid
    int BitRate = 0;
    int SamplingRate = 0;  // -1 invalid
    bool Padding = false;
    int PaddingLen = 0;
    int ChannelMode = 0;
    QString ChannelModeStr;
    int ChannelModeExt = 0;
    QString ChannelModeExtStr;
    bool Copyright = false;
    bool Original = false;
    int Emphasis = 0;
    QString EmphasisStr;
    int FrameLen = 0;
    QString VersionStr, LayerStr;  // carried
    uint8_t LastHeader[4] = {0, 0, 0, 0};
};
