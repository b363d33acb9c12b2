// A real OpenGL context for the drawing tests: a hidden 800 x 600 SDL window on the X display they
// run under, with the game's window projection. The binary's main installs the SDL layer without
// its error box, so nothing waits for a click.
#pragma once

#include "GlApi.h"
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct TRgba {
  std::uint8_t r, g, b, a;
};

// The back buffer before any swap, at window pixels counted from the top-left corner.
struct TScreen {
  std::vector<TRgba> Pixels; // bottom row first, as OpenGL reads them
  TRgba At(int x, int y) const { return Pixels[static_cast<std::size_t>((599 - y) * 800 + x)]; }
};
TScreen ReadScreen();

// The pixels of a rectangle (bounds included) that differ from Base, or from black without one:
// how many, and the columns and lowest row they reach.
struct TInk {
  int Left = 800, Right = -1, Bottom = -1, Count = 0;
};
TInk InkIn(const TScreen& Screen, int Left = 0, int Top = 0, int Right = 799, int Bottom = 599,
           const TScreen* Base = nullptr);

// A frame cleared to black with the depth buffer, the matrices at the window projection, in
// start-up's drawing state with the depth test on (as every printed text leaves it), no picture
// bound and the font's lists built.
void ResetFrame();
// A cleared frame with Text printed alone in white.
TScreen Printed(int x, int y, const std::string& Text);
// Makes the fixture's own context current again (after a test ran a window of its own).
void MakeFixtureCurrent();

// A fresh folder that anyone may enter, as the working directory while this lives.
struct TTempDir {
  TTempDir();
  ~TTempDir();
  std::filesystem::path Old, Path;
};
