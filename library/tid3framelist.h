// The frames of one ID3v2 tag, owned.
#pragma once

#include <memory>
#include <vector>

#include "library/tid3frame.h"

class TID3FrameList {
public:
    void Add(std::unique_ptr<TID3Frame> frame) { FList.push_back(std::move(frame)); }
    void Clear() { FList.clear(); }
    void Delete(int Index);
    void Delete(const char* Id);  // every frame with that 4-letter identifier
    int GetCount() const { return static_cast<int>(FList.size()); }
    TID3Frame* GetID3Frame(int Index) const;
    int64_t GetSize() const;  // sum of the frames' total sizes

    std::vector<std::unique_ptr<TID3Frame>> FList;
};
