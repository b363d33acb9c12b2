// What the game has to say to the ear. Units and scenes report each sound the moment its cause
// happens; the owner of the loop (the sound output, the replay tool) takes the reports after each
// frame. Nothing in the world, the units or the scenes reads them back, so sound can never change
// how the game plays.
#pragma once

#include "game/shared/SoundFiles.h"

#include <vector>

struct TSoundEvent {
  TSound Sound;
  // Where it happened, in level pixels (a menu or score-scene sound: the view's centre).
  float X, Y;
  // The time factor of its place: 1 as recorded, lower inside a time field (slower and lower).
  float Factor;
};

void ReportSound(TSound Sound, float X, float Y, float Factor = 1);

// Hands out the reports made since the last call, oldest first, and forgets them.
std::vector<TSoundEvent> TakeSoundEvents();
