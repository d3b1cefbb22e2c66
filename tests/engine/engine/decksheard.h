// Which decks an output plays, measured in sound as it arrives: deck A's tone, deck B's tone
// (enginerig.h). An output started or restarted takes the decks one after the other, and how
// far apart, in sound, depends on the machine's load and on the output's pace (an unpaced file
// PCM turns a moment of the test thread into seconds of sound). So no fixed stretch after the
// start is assumed to hold both: the windows past the first sound are measured until one does.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QString>

#include "tests/engine/engine/enginerig.h"
#include "tests/support/alsafilepcms.h"

namespace enginerig {

// In frames: past the first sound (the decks fade in) windows of kHeardWindow, until one holds
// both decks or kHeardListen of sound went by.
constexpr size_t kHeardSkip = 4096, kHeardWindow = 8192, kHeardListen = 2 * 44100;

// The decks heard in `frames` interleaved frames of `channels` (every channel listened to):
// bit 1 deck A, bit 2 deck B; the first window past the first sound that holds both, else
// after kHeardListen of sound what the last window held. -1 while the sound so far decides
// nothing (no sound yet, or not enough past it).
inline int decksHeard(const std::vector<float>& s, size_t frames, int channels, int rate = 44100) {
    auto loud = [&](size_t frame) {
        for (int ch = 0; ch < channels; ++ch)
            if (std::abs(s[frame * size_t(channels) + size_t(ch)]) >= 0.01f) return true;
        return false;
    };
    size_t first = 0;
    while (first < frames && !loud(first))
        ++first;
    if (first == frames) return -1;
    int heard = -1;
    for (size_t at = first + kHeardSkip; at + kHeardWindow <= first + kHeardSkip + kHeardListen && heard != 3;
         at += kHeardWindow) {
        if (at + kHeardWindow > frames) return -1;
        heard = 0;
        for (int ch = 0; ch < channels; ++ch)
            heard |= tones(s, channels, ch, at, kHeardWindow, rate);
    }
    return heard;
}

// The decks heard (decksHeard) in what a stereo ALSA file PCM takes past byte `from`, read as
// the file grows: silence before the first sound is passed over a block at a time, however
// much of it an unpaced PCM took. -1 when the measure does not complete within fifteen seconds.
inline int alsaDecksHeard(const AlsaFilePcms& pcms, const QString& name, qint64 from) {
    constexpr qint64 kFrame = 2 * sizeof(float), kBlock = 1 << 20;
    std::vector<float> s; // from the first sound on
    qint64 read = from / kFrame * kFrame;
    int heard = -1;
    for (int i = 0; i < 300 && heard < 0; ++i) {
        if (i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        QFile f(pcms.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) continue;
        while (heard < 0 && read + kFrame <= f.size() && f.seek(read)) {
            const QByteArray b = f.read(std::min(kBlock, (f.size() - read) / kFrame * kFrame));
            if (b.isEmpty()) break;
            read += b.size();
            std::vector<float> v(size_t(b.size()) / sizeof(float));
            std::memcpy(v.data(), b.constData(), v.size() * sizeof(float));
            size_t at = 0;
            if (s.empty()) {
                while (at < v.size() && std::abs(v[at]) < 0.01f)
                    ++at;
                at -= at % 2;
            }
            s.insert(s.end(), v.begin() + std::ptrdiff_t(at), v.end());
            if (!s.empty()) heard = decksHeard(s, s.size() / 2, 2);
        }
    }
    std::fprintf(stderr, "%s: %lld bytes read, the decks heard: %d\n", qPrintable(name), read - from, heard);
    return heard;
}

} // namespace enginerig
