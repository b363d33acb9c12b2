// The sound output over SDL2's audio: a device whose callback pulls the game's mix.
#pragma once

#include <SDL.h>

// Sound devices coming and going: the one in use is given up when it goes, and while sound is
// wanted without a device, one that comes is taken up. True when Event was one of them.
bool TakeSoundDeviceEvent(const SDL_Event& Event);
