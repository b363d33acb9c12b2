// The game's sound output: the effects loaded into the one mixer, each frame's sounds handed to
// it, the M key, and the platform's device pulling the mix. The world never hears of it.
#pragma once

#include "game/Settings.h"

// Loads the effects (a missing or bad one is named once and stays silent), sets the volume and
// starts the output unless Settings turn sound off. The platform must be installed.
void StartSound(const TSettings& Settings);
// After every frame: the frame's sounds go to the mixer, heard by the player at the view's
// centre; the charging tone stops once no charge goes on (released, thrown, or the game left).
void HearFrame();
// The M key: sound off or on at once, kept in the settings file.
void SwitchSound();
// Gives the device back (program end).
void StopSound();
