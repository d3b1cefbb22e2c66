// What the library needs to know about an mp3 file, in one pass: the ID3v2 tag it steps
// over, the first MPEG frame, a Xing or VBRI header, duration, bit rate, frame count, and
// the ID3v1 tag at the end. Any bytes are safe to read: no size found in the file is trusted.
#pragma once

#include <cstdint>

#include <QString>

#include "library/tid3v1tag.h"
#include "library/tid3v2tag.h"
#include "library/tmpegframehdr.h"

class QIODevice;

struct TXingVbrHeader {
    bool Ok = false;
    int Flags = 0;
    int64_t FramesNum = 0;
    int64_t BytesNum = 0;
    int Scale = 0;
    uint8_t TOC[100] = {};
};

class TAudioInfo {
public:
    void Clear();
    // Throws std::runtime_error when the file cannot be opened.
    void LoadFromFile(const QString& AFileName);
    // Examines AStreamSz bytes from the stream's position (fewer when it ends sooner).
    void LoadFromStream(QIODevice* AStream, int64_t AStreamSz);

    TMpegFrameHdr fMpg;
    int64_t fFirstMpegFramePos = -1;
    bool fIsVBR = false;
    TXingVbrHeader fXingVBR;
    TID3v1Tag fID3v1;
    TID3v2Tag fID3v2;
    int64_t fDuration = -1;  // ms
    int64_t fBitRate = 0;    // bit/s
    int64_t fFramesNum = -1;
    int64_t fMpegBytesNum = -1;
    int64_t fMaxGapBeforeMpeg = 10240;
    int64_t fFileSize = -1;
    int64_t fFileDate = -1;  // seconds since 1970
    int fFileAttr = 0;       // permission bits

private:
    bool checkNext(QIODevice* s, int64_t start, int64_t size, int64_t at, const TMpegFrameHdr& h);
    void readVbrHeader(QIODevice* s, int64_t start, int64_t size);
};
