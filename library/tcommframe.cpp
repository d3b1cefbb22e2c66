#include "library/tcommframe.h"

void TCommFrame::LoadData(const uint8_t* data, int64_t size)
{
    if (size < 4) return;
    FEncode = data[0];
    FLanguage = QByteArray(reinterpret_cast<const char*>(data + 1), 3);
    int64_t p = 4;
    while (p < size && data[p] != 0) ++p;
    FContent = QString::fromLatin1(reinterpret_cast<const char*>(data + 4), static_cast<qsizetype>(p - 4));
    if (p < size) ++p;
    FText = QString::fromLatin1(reinterpret_cast<const char*>(data + p), static_cast<qsizetype>(size - p));
}

QByteArray TCommFrame::SaveData() const
{
    QByteArray lang = FLanguage.left(3);
    lang.append(3 - lang.size(), ' ');
    return QByteArray(1, char(FEncode)) + lang + FContent.toLatin1() + QByteArray(1, '\0') + FText.toLatin1();
}

void TCommFrame::SetContent(const QString& content)
{
    FContent = content;
    FSize = uint32_t(FContent.size() + FText.size() + 8);
}

void TCommFrame::SetText(const QString& text)
{
    FText = text;
    FSize = uint32_t(FContent.size() + FText.size() + 8);
}
