// COMM: encoding byte, 3-letter language, a description ending with a zero byte, the text.
#pragma once

#include <QString>

#include "library/tid3frame.h"

class TCommFrame : public TID3Frame {
public:
    void SetContent(const QString& content);  // FSize := description + text + 8
    void SetText(const QString& text);
    QString FContent, FText;
    uint8_t FEncode = 0;
    QByteArray FLanguage{"eng"};

protected:
    void LoadData(const uint8_t* data, int64_t size) override;
    QByteArray SaveData() const override;
};
