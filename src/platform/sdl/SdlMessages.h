// Translation of SDL events into the game's window messages.
#pragma once

#include "WinMessages.h"

#include <SDL.h>

// The Windows virtual-key code of an SDL key, or 0 for a key that has none.
int VirtualKeyOf(const SDL_Keysym& KeySym);

// Whether a key event is one of the keys that switch fullscreen (F11, Alt+Enter); the platform
// layer takes these for itself, so they never reach the window procedure.
bool IsFullscreenSwitch(const SDL_Event& Event);

// Fills Message for an event the window procedure hears about; false for any other event.
bool TranslateSdlEvent(const SDL_Event& Event, TWindowHandle Window, TMessage& Message);
