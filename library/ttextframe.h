// A text frame (an identifier beginning with T, TXXX excepted): encoding byte, then text.
#pragma once

#include <QString>

#include "library/tid3frame.h"

class TTextFrame : public TID3Frame {
public:
    void SetText(const QString& text);  // FSize := length + 1
    QString FText;  // one byte per character
    uint8_t FEncode = 0;

protected:
    void LoadData(const uint8_t* data, int64_t size) override;
    QByteArray SaveData() const override;
};
