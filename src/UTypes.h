// Records shared by every module of the game.
#pragma once

#include <cstdint>
#include <vector>

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
