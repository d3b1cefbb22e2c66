// Finds the tempo of steady-beat music from its 16-bit PCM, fed block by block in one pass.
//
// The sound is reduced to an onset-strength envelope (spectral flux in three bands at about
// 86 frames a second); at the end its autocorrelation picks the beat period and the metre,
// and the period is refined over the whole track on multiples of the beat.
// Memory grows by 12 bytes an envelope frame (about 4 MB for an hour). Not thread-safe:
// one analyser per thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TempoAnalyser {
public:
    TempoAnalyser();
    ~TempoAnalyser();
    TempoAnalyser(const TempoAnalyser&) = delete;
    TempoAnalyser& operator=(const TempoAnalyser&) = delete;

    // Forgets everything fed so far. A channel count below 1 is taken as 1; a rate outside
    // 1000..400000 as 44100.
    void start(int channels, int rate);

    // Interleaved 16-bit values of all channels; a trailing partial frame is kept for the next
    // block. Null or a count of 0 does nothing.
    void feed(const int16_t* values, size_t count);

    // Beats per minute of what was fed, 30 to 300; 0 when it is too short (under 6 seconds),
    // silent or has no steady beat. May be called again after more is fed.
    float tempo() const;

    // Envelope frames a second; for tests and the benchmark.
    double frameRate() const { return frameRate_; }

private:
    void addSample(float mono);
    void analyseFrame();

    int channels_ = 2;
    int decimation_ = 4;
    double frameRate_ = 0;
    std::vector<int16_t> pendingFrame_;  // values of an incomplete interleaved frame
    float decimSum_ = 0;
    int decimCount_ = 0;
    float lowpass_ = 0;
    std::vector<float> window_, ring_, prevLog_;
    size_t ringFill_ = 0;
    size_t sinceHop_ = 0;
    struct Fft;
    Fft* fft_ = nullptr;
    std::vector<float> low_, mid_, high_;  // per-frame flux of each band
    double energy_ = 0;                    // sum of squares of the decimated signal
    size_t samples_ = 0;
};
