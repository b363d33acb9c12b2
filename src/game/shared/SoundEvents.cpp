#include "SoundEvents.h"

#include <utility>

namespace {

std::vector<TSoundEvent> Reported;

} // namespace

void ReportSound(TSound Sound, float X, float Y, float Factor) {
  // A unit's factor is 0 until its first update: it has not been slowed, only not started yet.
  Reported.push_back(TSoundEvent{Sound, X, Y, Factor > 0 ? Factor : 1});
}

std::vector<TSoundEvent> TakeSoundEvents() {
  std::vector<TSoundEvent> Taken;
  // Room for as many reports as the last frame had, so a busy frame does not grow it step by step.
  Taken.reserve(Reported.capacity());
  std::swap(Taken, Reported);
  return Taken;
}
