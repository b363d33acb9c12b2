// A real OpenGL context for drawing tests: a hidden 800 x 600 SDL window on the X display the
// test runs under, with the game's window projection.
#pragma once

#include "Platform.h"

#include <cstdint>
#include <vector>

struct TRgba {
  std::uint8_t r, g, b, a;
};

// Reads the back buffer (before any swap), top row first, at window pixel (x, y) counted from
// the top-left corner.
TRgba ReadPixel(int x, int y);
std::vector<TRgba> ReadScreen();
// Clears to black with the depth buffer, resets matrices to the window projection.
void ResetFrame();
// The SDL layer without its error box, installed for every test here: nothing waits for a click.
TPlatform& QuietPlatform();
// Makes the fixture's own context current again (after a test ran a window of its own).
void MakeFixtureCurrent();
