// The frames of one ID3v2 tag, owned. A tag can claim millions of frames: empty ones (a
// header with no data, which the standard does not allow) and any beyond kMaxKept are only
// counted, so a hostile tag costs its own bytes and no object per frame. Writing the tag
// again drops the frames that were only counted.
#pragma once

#include <memory>
#include <vector>

#include "library/tid3frame.h"

class TID3FrameList {
public:
    static constexpr int kMaxKept = 65536;

    void Add(std::unique_ptr<TID3Frame> frame) { FList.push_back(std::move(frame)); }
    void Clear()
    {
        FList.clear();
        FCounted = 0;
    }
    void Delete(int Index);
    void Delete(const char* Id);  // every frame with that 4-letter identifier
    int GetCount() const { return static_cast<int>(FList.size()); }  // the frames kept
    TID3Frame* GetID3Frame(int Index) const;
    int64_t GetSize() const;  // sum of the frames' total sizes

    std::vector<std::unique_ptr<TID3Frame>> FList;
    int64_t FCounted = 0;  // frames read but not kept
};
