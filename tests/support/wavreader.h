// Reads back a RIFF WAVE file a test recorded: its format and its 16-bit samples (a data
// chunk cut short is read as far as it goes).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace testsupport {

struct Wav {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;
};

inline Wav readWav(const QString& path)
{
    Wav w;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return w;
    const QByteArray b = f.readAll();
    auto u16 = [&](int at) { return int(uint8_t(b[at])) | int(uint8_t(b[at + 1])) << 8; };
    auto u32 = [&](int at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") return w;
    for (int at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const int size = int(u32(at + 4));
        if (id == "fmt ") {
            w.format = u16(at + 8);
            w.channels = u16(at + 10);
            w.rate = int(u32(at + 12));
            w.bits = u16(at + 22);
        } else if (id == "data") {
            const int n = std::min(size, int(b.size()) - at - 8) / 2;
            w.samples.resize(size_t(n));
            std::memcpy(w.samples.data(), b.constData() + at + 8, size_t(n) * 2);
            break;
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

}  // namespace testsupport
