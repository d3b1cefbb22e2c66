#include "library/tmpegframehdr.h"

namespace {
// [mpeg1?0:1][layer-1][index]
const int kBitRates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, -1},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, -1},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, -1}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, -1},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1}},
};
// [version-1][index]
const int kRates[3][4] = {{44100, 48000, 32000, -1}, {22050, 24000, 16000, -1}, {11025, 12000, 8000, -1}};

const char* const kModes[4] = {"Stereo", "Joint Stereo", "Dual", "Mono"};
const char* const kExtBands[4] = {"Bands 4-31", "Bands 8-31", "Bands 12-31", "Bands 16-31"};
const char* const kExtL3[4] = {"", "Intensity", "MS", "MS/Intensity"};
const char* const kEmphasis[4] = {"None", "50/15 ms", "?!!", "CCIT J.17"};
}  // namespace

bool TMpegFrameHdr::Load(const uint8_t* ABuf, int64_t ABufSz)
{
    if (!ABuf || ABufSz < 4) return false;
    for (int i = 0; i < 4; ++i) fHdrBuf[i] = ABuf[i];
    const uint32_t h = (uint32_t(ABuf[0]) << 24) | (uint32_t(ABuf[1]) << 16) | (uint32_t(ABuf[2]) << 8) | ABuf[3];

    Sync = (h >> 21) == 0x7FF;
    switch ((h >> 19) & 3) {
    case 3: Version = 1; break;
    case 2: Version = 2; break;
    case 0: Version = 3; break;
    default: Version = 0; break;
    }
    Layer = (4 - int((h >> 17) & 3)) & 3;  // 11 -> 1, 10 -> 2, 01 -> 3, 00 -> 0
    CRCExists = ((h >> 16) & 1) == 0;
    const int bri = int((h >> 12) & 15);
    const int sri = int((h >> 10) & 3);
    KBitRate = (Version == 0 || Layer == 0) ? -1 : kBitRates[Version == 1 ? 0 : 1][Layer - 1][bri];
    BitRate = KBitRate * 1000;
    SamplingRate = Version == 0 ? -1 : kRates[Version - 1][sri];
    Padding = ((h >> 9) & 1) != 0;
    PaddingLen = Padding ? (Layer == 1 ? 4 : 1) : 0;
    ChannelMode = int((h >> 6) & 3);
    ChannelModeStr = QString::fromLatin1(kModes[ChannelMode]);
    ChannelModeExt = int((h >> 4) & 3);
    ChannelModeExtStr = QString::fromLatin1(Layer == 3 ? kExtL3[ChannelModeExt] : kExtBands[ChannelModeExt]);
    Copyright = ((h >> 3) & 1) != 0;
    Original = ((h >> 2) & 1) != 0;
    Emphasis = int(h & 3);
    EmphasisStr = QString::fromLatin1(kEmphasis[Emphasis]);

    Ok = Sync && Version != 0 && Layer != 0 && KBitRate != -1 && SamplingRate != -1;
    if (Ok && Layer == 2) {
        const bool mono = ChannelMode == 3;
        if ((KBitRate == 32 || KBitRate == 48 || KBitRate == 56 || KBitRate == 80) && !mono) Ok = false;
        if ((KBitRate == 224 || KBitRate == 256 || KBitRate == 320 || KBitRate == 384) && mono) Ok = false;
    }

    if (SamplingRate <= 0 || BitRate <= 0) {
        FrameLen = 4;
    } else {
        // bytes per frame = samples per frame / 8 * bit rate / sampling rate
        const int k = Layer == 1 ? 48 : (Layer == 3 && Version != 1) ? 72 : 144;
        FrameLen = int(int64_t(BitRate) * k / SamplingRate) + PaddingLen;
    }
    return Ok;
}

int64_t TMpegFrameHdr::Locate(const uint8_t* ABuf, int64_t ABufSz)
{
    if (!ABuf) return -1;
    for (int64_t i = 0; i + 4 <= ABufSz; ++i) {
        if (ABuf[i] == 0xFF && (ABuf[i + 1] & 0xE0) == 0xE0 && Load(ABuf + i, ABufSz - i)) return i;
    }
    return -1;
}
