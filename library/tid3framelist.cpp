#include "library/tid3framelist.h"

#include <algorithm>
#include <cstring>

void TID3FrameList::Delete(int Index)
{
    if (Index >= 0 && Index < GetCount()) FList.erase(FList.begin() + Index);
}

void TID3FrameList::Delete(const char* Id)
{
    char id[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4 && Id && Id[i]; ++i) id[i] = Id[i];
    FList.erase(std::remove_if(FList.begin(), FList.end(),
                               [&id](const auto& f) { return std::memcmp(f->FId, id, 4) == 0; }),
                FList.end());
}

TID3Frame* TID3FrameList::GetID3Frame(int Index) const
{
    return Index >= 0 && Index < GetCount() ? FList[static_cast<size_t>(Index)].get() : nullptr;
}

int64_t TID3FrameList::GetSize() const
{
    int64_t s = 0;
    for (const auto& f : FList) s += f->TotalSize();
    return s;
}
