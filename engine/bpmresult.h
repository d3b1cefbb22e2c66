// What the peaks worker does with the two tempo libraries' answers before the deck gets it,
// and how the rest of the engine tells a found tempo from "none found".
#pragma once

namespace bpmresult {

// The worker's mark for a finished scan that found no tempo (a 0 would read as "not done").
constexpr float kNoTempo = 0.001f;

// Above 150 halved; then, below 60, doubled. Once each, so 400 gives 200 and 20 gives 40.
float fold(float bpm);

// mine (the engine's library) and own (the worker's), both folded. With own 0, mine stands;
// closer than 0.5 their mean; further than 2.6 apart own; in between mine.
float combine(float mine, float own);

// To the nearest half by the worker's rule: fraction below 0.4 down, below 0.7 to .5, else up.
float snap(float bpm);

// The whole chain for the libraries that answered (a missing one is passed as has* false):
// fold each, combine, snap; 0 becomes kNoTempo.
float finish(bool hasMine, float mine, bool hasOwn, float own);

// True for a tempo the deck may compute beats, loops and echo delays from; false for 0, the
// kNoTempo mark, negatives and NaN.
bool known(double bpm);

}  // namespace bpmresult
