// Grooves of known tempo for the end-to-end test: kick on every beat, snare on 2 and 4, hats on
// the eighths, a bass note on each off-beat. A groove is "low" (kick at 50 Hz, bass at 165 Hz,
// snare 1.5-6 kHz, hats above 7 kHz) or "high" (kick at 400 Hz, bass at 1500 Hz, snare 3-8 kHz,
// hats above 10 kHz), so that two decks playing at once can be told apart by band: the low
// groove's kicks below 70 Hz, the high groove's between 250 and 550 Hz; each band holds its
// kicks alone, so its onsets are the beats.
#pragma once

#include <cstdint>
#include <QString>
#include <QStringList>
#include <vector>

namespace e2e {

struct Groove {
    double bpm = 120;
    bool high = false;
    double seconds = 30;
    uint32_t seed = 1;
};

constexpr int kRate = 44100;
// the bands the two registers' beats are read in
constexpr double kLowBandHz = 70;
constexpr double kHighBandLoHz = 250, kHighBandHiHz = 550;

// Interleaved 16-bit stereo at kRate.
std::vector<int16_t> synthGroove(const Groove& g);
bool writeWav(const QString& path, const std::vector<int16_t>& stereo, int rate = kRate);

// ffmpeg arguments that encode to the extension's format ("mp3", "mp2", "wav", "aiff", "flac",
// "ogg", "wma", "m4a").
QStringList encoderArgs(const QString& extension);

// Writes `wav` encoded as `target` (format from its extension) through a temporary name, so an
// interrupted run never leaves a file that looks finished. True on success.
bool encode(const QString& wav, const QString& target);

}  // namespace e2e
