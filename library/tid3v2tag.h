// The ID3v2 tag at the start of an mp3 file: header and frames. Reading never trusts a size:
// a frame or tag that claims more bytes than there are is not read past the data.
#pragma once

#include <cstdint>

#include <QString>

#include "library/tid3framelist.h"
#include "library/tid3v2header.h"

class QIODevice;

class TID3v2Tag {
public:
    void Load(const uint8_t* ABuf, int64_t ABufSz);  // the frames, ABuf past the header
    void LoadFromStream(QIODevice* AStream, int64_t AStreamSz);
    void LoadFromFile(const QString& AFileName);  // throws std::runtime_error when it cannot open
    int64_t GetSize() const { return fOk ? int64_t(FHeader.FSize) + 10 : 0; }
    void SetOk(bool ok);  // false: clears the header and frees the frames

    void Save(uint8_t* ABuf, int64_t ABufSz) const;
    bool SaveToStream(QIODevice* AStream) const;
    void UpdateSize();
    int64_t GetPaddingSize() const { return int64_t(FHeader.FSize) - FFramelist.GetSize(); }
    void SetSize(int64_t Value);
    // Rewrite the file with this tag in place of its old one (or none); written to a new file
    // that replaces the old one only when complete. Throws std::runtime_error.
    void SaveToFile(const QString& AFileName);
    void DeleteFromFile(const QString& AFileName);

    TID3V2Header FHeader;
    TID3FrameList FFramelist;
    bool fOk = false;  // at least one frame was read (kept or only counted)

private:
    bool keeps(uint32_t size) const;  // a frame of that data size is kept, not only counted
    // the frame at p, avail bytes of the tag from it (10 or more): kept or counted; its total size
    int64_t takeFrame(const uint8_t* p, int64_t avail);
};
