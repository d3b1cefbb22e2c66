// Small mp3-like byte blocks made by the tests: frames of silence behind real headers,
// ID3v2 tags and ID3v1 tags.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "library/tmpegframehdr.h"

namespace mp3 {

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, joint stereo: 417 bytes, 418 with padding
inline QByteArray header(uint8_t b1 = 0xFB, uint8_t b2 = 0x90, uint8_t b3 = 0x64)
{
    return QByteArray("\xFF", 1) + char(b1) + char(b2) + char(b3);
}

inline QByteArray frame(const QByteArray& hdr = header())
{
    TMpegFrameHdr h;
    h.Load(reinterpret_cast<const uint8_t*>(hdr.constData()), 4);
    QByteArray f = hdr;
    f.append(h.FrameLen - 4, '\0');
    return f;
}

inline QByteArray frames(int n, const QByteArray& hdr = header())
{
    return frame(hdr).repeated(n);
}

inline QByteArray synchsafe(uint32_t v)
{
    QByteArray b(4, '\0');
    b[0] = char((v >> 21) & 0x7F);
    b[1] = char((v >> 14) & 0x7F);
    b[2] = char((v >> 7) & 0x7F);
    b[3] = char(v & 0x7F);
    return b;
}

inline QByteArray be32(uint32_t v)
{
    QByteArray b(4, '\0');
    b[0] = char(v >> 24);
    b[1] = char(v >> 16);
    b[2] = char(v >> 8);
    b[3] = char(v);
    return b;
}

inline QByteArray textFrame(const char* id, const QByteArray& text)
{
    return QByteArray(id, 4) + be32(uint32_t(text.size() + 1)) + QByteArray(2, '\0') + QByteArray(1, '\0') + text;
}

// an ID3v2.3 tag of `total` bytes, header included, holding one TIT2 frame
inline QByteArray id3v2(int total, const QByteArray& title = "Title")
{
    QByteArray body = textFrame("TIT2", title);
    body.append(total - 10 - body.size(), '\0');
    return QByteArray("ID3\x03\x00\x00", 6) + synchsafe(uint32_t(total - 10)) + body;
}

inline QByteArray id3v1(const QByteArray& title, const QByteArray& artist, const QByteArray& album = "Alb",
                        const QByteArray& year = "1999", const QByteArray& comment = "Com", int track = 3,
                        int genre = 17)
{
    QByteArray t(128, '\0');
    auto put = [&t](int at, int len, const QByteArray& s) {
        for (int i = 0; i < len && i < s.size(); ++i) t[at + i] = s[i];
    };
    put(0, 3, "TAG");
    put(3, 30, title);
    put(33, 30, artist);
    put(63, 30, album);
    put(93, 4, year);
    put(97, 28, comment);
    t[125] = 0;
    t[126] = char(track);
    t[127] = char(genre);
    return t;
}

inline bool write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace mp3
