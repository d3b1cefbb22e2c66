#include "engine/psoundconfig.h"

SharedText* PSoundConfig::sample(int slot)
{
    switch (slot) {
    case 1: return &s1;
    case 2: return &s2;
    case 3: return &s3;
    case 4: return &s4;
    case 5: return &s5;
    case 6: return &s6;
    default: return nullptr;
    }
}
