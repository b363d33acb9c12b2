// A real OpenGL context for the drawing tests: a hidden 800 x 600 SDL window on the X display they
// run under, with the game's window projection. The binary's main installs the SDL layer without
// its error box, so nothing waits for a click, and runs the tests in a fresh folder of their own.
#pragma once

#include "FontUnit.h"
#include "GlApi.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// A black frame on the fixture's own context (current again after a test ran a window of its own)
// at the window projection in start-up's drawing state, with the depth test on (as every printed
// text leaves it), no picture bound and the font's lists built; game and input as at start-up.
void ResetFrame();
// Draws the frames the OpenGL 1.1 and OpenGL ES 3 builds are compared by into the folder Into, as
// PPM files (the binary's --frames FOLDER).
int WriteFrames(const std::string& Into);

struct TRgba {
  std::uint8_t r, g, b, a;
};

// The back buffer before any swap, at window pixels counted from the top-left corner.
struct TScreen {
  std::vector<TRgba> Pixels = std::vector<TRgba>(800 * 600); // bottom row first, as OpenGL reads
  TRgba At(int x, int y) const { return Pixels[static_cast<std::size_t>((599 - y) * 800 + x)]; }
};

inline TScreen ReadScreen() {
  TScreen Screen;
  glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, Screen.Pixels.data());
  return Screen;
}

// A cleared frame with Text printed alone in white.
inline TScreen Printed(int x, int y, const std::string& Text) {
  ResetFrame();
  glColor3f(1, 1, 1);
  PrintText(x, y, Text);
  return ReadScreen();
}

// The pixels of a rectangle (bounds included) that differ from Base, or from black without one:
// how many, and the columns and lowest row they reach.
struct TInk {
  int Left = 800, Right = -1, Bottom = -1, Count = 0;
};
inline TInk InkIn(const TScreen& Screen, int Left = 0, int Top = 0, int Right = 799,
                  int Bottom = 599, const TScreen* Base = nullptr) {
  TInk Ink;
  for (int y = Top; y <= Bottom; ++y) {
    for (int x = Left; x <= Right; ++x) {
      const TRgba P = Screen.At(x, y), B = Base ? Base->At(x, y) : TRgba{};
      if (P.r != B.r || P.g != B.g || P.b != B.b) {
        Ink = {std::min(Ink.Left, x), std::max(Ink.Right, x), y, Ink.Count + 1};
      }
    }
  }
  return Ink;
}
