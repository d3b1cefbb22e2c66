#include "snkins/quor/kitpicture.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <mutex>

QImage kitPicture(const char* name)
{
    // every control of a kind shows the same pictures: each is decoded once, the copies share it
    static std::mutex m;
    static QHash<QByteArray, QImage> decoded;
    const QByteArray key(name);
    std::lock_guard<std::mutex> l(m);
    if (const auto it = decoded.constFind(key); it != decoded.constEnd()) return *it;
    QImage img(QStringLiteral(":/kit/") + QString::fromLatin1(name), "BMP");
    if (!img.isNull()) img = img.convertToFormat(QImage::Format_RGB32);
    decoded.insert(key, img);
    return img;
}

QImage keyedCopy(const QImage& img, QRgb key)
{
    if (img.isNull()) return img;
    QImage out = img.convertToFormat(QImage::Format_ARGB32);
    const QRgb k = key & 0xFFFFFF;
    for (int y = 0; y < out.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] & 0xFFFFFF) == k) line[x] = 0;
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QRgb bottomLeftColour(const QImage& img)
{
    if (img.isNull()) return qRgb(0, 0, 0);
    return img.pixel(0, img.height() - 1);
}
