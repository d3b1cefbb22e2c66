// What the end-to-end test reads out of the sound it captured: onsets and their drift between
// two decks, loop passes, band levels, the energy an echo adds, how a recording matches the
// output window by window, and silences. Plain functions on mono float signals, so that each
// is tested on synthetic signals before it judges the program.
//
// Positions are frames at `rate`. `Spans` are frame ranges the capture client marked as
// unreliable (an xrun fell in them): a window that touches one is skipped, never judged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct Span {
    int64_t from = 0, to = 0;  // [from, to)
};
using Spans = std::vector<Span>;

bool touches(const Spans& spans, int64_t from, int64_t to);

// Channel `channel` of interleaved frames of `channels` channels.
std::vector<float> channelOf(const std::vector<float>& interleaved, int channels, int channel);
// The mean of two channels.
std::vector<float> mixOf(const std::vector<float>& a, const std::vector<float>& b);

// Band-limited copy: two second-order high-passes at lowHz (none when lowHz <= 0) and two
// second-order low-passes at highHz (none when highHz <= 0).
std::vector<float> bandpass(const std::vector<float>& x, int rate, double lowHz, double highHz);

// Onset times in seconds: where the 1 ms envelope rises through half of the peak that follows
// within 30 ms, for peaks above `floorDb` (dB full scale) and within 12 dB of the loudest
// peak, at least `minGapS` apart.
std::vector<double> onsets(const std::vector<float>& x, int rate, double floorDb = -40, double minGapS = 0.09);

// The offset between two onset lists, each A onset paired with the nearest B onset within
// `pairS`, in the time range [fromS, toS). `driftMs` is the change of the offset across the
// time the pairs span, from the median slope of the offset between pairs a second or more apart.
struct Drift {
    int pairs = 0;
    double offsetMs = 0;  // median offset B - A
    double driftMs = 0;
    double spreadMs = 0;  // largest minus smallest offset
};
Drift onsetDrift(const std::vector<double>& a, const std::vector<double>& b, double fromS, double toS,
                 double pairS = 0.05);

// Level in dB full scale (RMS) of [from, to).
double levelDb(const std::vector<float>& x, int64_t from, int64_t to);

// The median of the levels of the `block`-long blocks of [from, to): a switch that takes a
// moment to act on a press moves only the first block, not the whole span's level.
double medianLevelDb(const std::vector<float>& x, int64_t from, int64_t to, int64_t block);

// The level in dB full scale of what lies between `lowHz` and `highHz` in [from, to), from the
// mean spectrum of Hann windows of 8192 frames, each half over the last, that touch no
// `skipped` span: unlike a filter's slopes, the spectrum keeps a loud neighbour an octave off
// out of a narrow band, and the overlap weighs a click the same wherever it falls. NaN when no
// window is left to judge.
double spectrumBandDb(const std::vector<float>& x, int rate, int64_t from, int64_t to, double lowHz, double highHz,
                      const Spans& skipped = {});

// A periodic stretch starting at or after `from`: the period is searched within ±8 % of
// `approxLen` from stretches over the first pass (those clear of `skipped` spans first), then
// each of `passes` passes is found around the end of the last one. Returns the lengths in frames
// of the passes that touch no `skipped` span (a pass across an xrun is found further off and
// left out); nothing when the stretch does not repeat (correlation below 0.9) or its stretches
// agree on no period.
std::optional<std::vector<int64_t>> loopPassLengths(const std::vector<float>& x, int64_t from, int64_t approxLen,
                                                    int passes, const Spans& skipped = {});

// Mean energy in [onset + afterS, onset + untilS) over the given onsets (seconds), relative to
// the mean energy of the whole range the onsets span; a dry percussive signal gives little, an
// echo adds.
double tailEnergy(const std::vector<float>& x, int rate, const std::vector<double>& onsetsS, double afterS,
                  double untilS);

// The recording against the output, window by window (out frame = rec frame + lag). Each
// `windowS` window of `rec` is aligned on its own over every lag the take can have, [lo, hi]:
// coarse on low-passed 8:1 copies, then at full rate around each of the best coarse peaks and
// around the previous window's lag. A groove repeats
// every beat, so several lags match almost equally: among the lags within 0.005 of the best, the
// one nearest the previous window's wins (for the first window, nearest `start`). A window that
// is silent in the recording, or whose stretch of `out` touches a skipped span through its own
// lag or the previous window's, is marked skipped. Frames go missing or come twice only where a
// span is skipped, so a window whose lag moved from the last judged one's by more than the
// skipped frames between them (and 64) is marked jumped: it matched some other stretch of a
// groove that repeats, not its own.
struct LagRange {
    int64_t lo = 0, hi = 0;
    int64_t start = 0;  // the lag the take most likely starts at
};
struct WindowMatch {
    double atS = 0;
    int64_t lag = 0;  // out frame = rec frame + lag
    double corr = 0;
    bool skipped = false;
    bool jumped = false;
};
std::vector<WindowMatch> windowCorrelation(const std::vector<float>& rec, const std::vector<float>& out, int rate,
                                           double windowS, const LagRange& lags, const Spans& skip);

// The longest run, in seconds, of 10 ms blocks below `thresholdDb` in [from, to); blocks that
// touch a skipped span break a run.
double longestSilenceS(const std::vector<float>& x, int rate, int64_t from, int64_t to, double thresholdDb,
                       const Spans& skip);

// Which of two bands sounds, second by second: "A", "B", "AB" or "-" (neither above
// `thresholdDb`), with runs shorter than `minRunS` seconds dropped and repeats joined. The
// whole program's output carrying A, then both, then B reads "A AB B".
std::string presenceSequence(const std::vector<float>& bandA, const std::vector<float>& bandB, int rate,
                             double thresholdDb, int minRunS);

// A playlist played one track after another, each track told by its register and its tempo:
// the stretches of whole seconds in which one band leads the other by `leadDb` or more and
// sounds above `floorDb`, each of `minRunS` judged seconds at least. A band's level counts from
// its own loudest second, so that two registers of unlike loudness weigh alike. A second that
// touches a skipped span is not judged: it neither ends nor lengthens a stretch. Neighbouring
// stretches of the same band are joined (the seconds of a change, when both sound, do not split
// a track). Each stretch's tempo is read from its band's onsets: 60 over the median interval
// between them.
struct Stretch {
    char band = '-';  // 'A' or 'B'
    double fromS = 0, toS = 0;
    double bpm = 0;
};
std::vector<Stretch> leadingStretches(const std::vector<float>& bandA, const std::vector<float>& bandB, int rate,
                                      double leadDb, double floorDb, int minRunS, const Spans& skip);

// Reports of sanitizers, assertions and Qt's thread warnings in a program's standard error:
// one line each. With `qtInternal` false, a ThreadSanitizer race whose two accesses are both
// made inside Qt's own (uninstrumented) code is not counted: Qt 6 locks with futexes the
// sanitizer cannot see, so its posted-event queue and thread pool look racy to it.
std::vector<std::string> stderrFaults(const std::string& text, bool qtInternal = true);

}  // namespace e2e
