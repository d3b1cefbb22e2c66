// Marks the threads that render in real time (device callbacks, the no-sound clock): a
// decoder never makes them wait for its background decode.
#pragma once

namespace sound {

inline thread_local bool renderingInRealTime = false;

}  // namespace sound
