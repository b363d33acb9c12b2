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
  // The next reports go into the capacity the last frame grew, so a frame allocates nothing.
  Taken.reserve(Reported.capacity());
  std::swap(Taken, Reported);
  return Taken;
}
