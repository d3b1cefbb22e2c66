// Any other frame, held as its raw data bytes.
#pragma once

#include "library/tid3frame.h"

class TUnknownFrame : public TID3Frame {
public:
    QByteArray FData;

protected:
    void LoadData(const uint8_t* data, int64_t size) override
    {
        FData = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    }
    QByteArray SaveData() const override { return FData; }
};
