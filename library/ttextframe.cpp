#include "library/ttextframe.h"

void TTextFrame::LoadData(const uint8_t* data, int64_t size)
{
    if (size < 1) return;
    FEncode = data[0];
    FText = QString::fromLatin1(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
}

QByteArray TTextFrame::SaveData() const
{
    return QByteArray(1, char(FEncode)) + FText.toLatin1();
}

void TTextFrame::SetText(const QString& text)
{
    FText = text;
    FSize = uint32_t(text.size() + 1);
}
