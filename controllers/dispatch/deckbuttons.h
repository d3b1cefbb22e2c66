// The window's buttons by deck (index 0 deck A, 1 deck B) and by number, as the action families
// and the lights name them, with the button values every action compares.
#pragma once

#include "controllers/dispatch/controllersurface.h"

namespace deckbuttons {

using B = SurfaceButton;

constexpr int kPress = 127, kAlternate = 63, kThird = 32, kRelease = 0;

constexpr SurfaceButton kLength[2][8] = {{B::r1, B::r2, B::r3, B::r4, B::r5, B::r6, B::r7, B::r8},
                                         {B::l1, B::l2, B::l3, B::l4, B::l5, B::l6, B::l7, B::l8}};
constexpr SurfaceButton kHotCue[2][6] = {{B::cue11, B::cue12, B::cue13, B::cue14, B::cue15, B::CUE16},
                                         {B::cue21, B::cue22, B::cue23, B::cue24, B::cue25, B::CUE26}};
constexpr SurfaceButton kLoopIn[2] = {B::loop1a, B::loop2a};
constexpr SurfaceButton kLoopOut[2] = {B::loop1b, B::loop2b};
constexpr SurfaceButton kReloop[2] = {B::loop1reloop, B::loop2reloop};
constexpr SurfaceButton kMemory[2] = {B::memory1, B::memory2};
constexpr SurfaceButton kDelete[2] = {B::delete1, B::delete2};
constexpr SurfaceButton kHotMode[2] = {B::nhcue1, B::nhcue2};
constexpr SurfaceButton kScratch[2] = {B::scratch1, B::scratch2};
constexpr SurfaceButton kSearch[2] = {B::search1, B::search2};
constexpr SurfaceButton kEffects[2] = {B::effects1, B::effects2};
constexpr SurfaceButton kKey[2] = {B::key1, B::key2};
constexpr SurfaceButton kBendUp[2] = {B::bendmas1, B::BendMas2};
constexpr SurfaceButton kBendDown[2] = {B::bendmenos1, B::Bendmenos2};
constexpr SurfaceButton kKill[2][3] = {{B::kb1, B::km1, B::kh1}, {B::kb2, B::km2, B::kh2}};
constexpr SurfaceButton kHead[2] = {B::heada, B::headb};
constexpr SurfaceButton kEffect[2][3] = {{B::echo, B::flange, B::wah}, {B::echo2, B::flange2, B::wah2}};
constexpr SurfaceButton kBeat[2][5] = {{B::t1, B::t2, B::t3, B::t4, B::t5}, {B::t12, B::t22, B::t32, B::t42, B::t52}};
// sampler pads 1..6 and the stop pad: the left sampler's for deck A, the right one's for deck B
constexpr SurfaceButton kPad[2][7] = {{B::vl1, B::vl2, B::vl3, B::vl4, B::vl5, B::vl6, B::vl7},
                                      {B::vr1, B::vr2, B::vr3, B::vr4, B::vr5, B::vr6, B::vr7}};
constexpr SurfaceButton kPlay[2] = {B::btnplay1, B::btnplay2};
constexpr SurfaceButton kPause[2] = {B::btnpause1, B::btnpause2};
constexpr SurfaceButton kCue[2] = {B::btncue1, B::btncue2};
constexpr SurfaceButton kLoad[2] = {B::btnload1, B::btnload2};
constexpr SurfaceButton kSync[2] = {B::match1, B::match2};
constexpr SurfaceButton kReverse[2] = {B::reverse, B::reverse2};
constexpr SurfaceButton kBrake[2] = {B::brake, B::brake2};

}  // namespace deckbuttons
