// Marks the threads that render in real time (device callbacks, the no-sound clock): a
// decoder never makes them wait for its background decode.
//
// In test and sanitizer builds (OSTREL_RT_CHECKS in the environment, or a sanitizer build)
// the calls that may block for long abort on such a thread: sound::lock taken fresh, a wait
// for a background decode, opening a file, destroying a stream, joining a thread, flushing an
// encoder. The render's own take of the graph lock, and calls from sync and DSP callbacks on
// the thread that holds it, stay allowed.
#pragma once

namespace sound {

inline thread_local bool renderingInRealTime = false;

bool realTimeChecks();
// Aborts with `what` on stderr when checks are on and this is an audio thread.
void forbidOnAudioThread(const char* what);

}  // namespace sound
