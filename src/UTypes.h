// Records and fixed sizes shared by every module of the game.
#pragma once

#include <cstdint>
#include <vector>

// The game's view: the window's client area when it opens, and the space in which the camera
// keeps the player at the centre and the buttons are laid out, whatever the window's size.
constexpr std::int32_t ViewWidth = 800;
constexpr std::int32_t ViewHeight = 600;
constexpr std::int32_t ViewCentreX = ViewWidth / 2;
constexpr std::int32_t ViewCentreY = ViewHeight / 2;

// A position, direction or size in level pixels (z is carried along but never drawn).
struct TVector {
  float x;
  float y;
  float z;
};

// One picture: its pixels as loaded (rows in file order, R G B [A]) and its OpenGL name.
struct TTexture {
  std::vector<std::uint8_t> Pixels; // empty while the record holds no pixel buffer
  std::uint32_t BitsPerPixel = 0;
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
  std::uint32_t TextureName = 0; // 0 while no texture exists
};
