// Passability of level points and the map picture.
#include "Map.h"

#include "GlApi.h"
#include "game/shared/Textures.h"

#include <cmath>

bool CellOf(float x, float y, int& Column, int& Row) {
  if (!std::isfinite(x) || !std::isfinite(y)) {
    return false;
  }
  // Round first (halves to even under the default rounding mode), then divide truncating: a
  // point is not truncated to its column, and -63..-1 still falls in column or row 0.
  const float rx = std::nearbyint(x);
  const float ry = std::nearbyint(y);
  constexpr float Lowest = -(TileSize - 1);
  if (rx < Lowest || rx > MapColumns * TileSize - 1 || ry < Lowest || ry > MapRows * TileSize - 1) {
    return false;
  }
  Column = static_cast<int>(rx) / TileSize;
  Row = static_cast<int>(ry) / TileSize;
  return true;
}

bool Passable(float x, float y) {
  int Column = 0;
  int Row = 0;
  return CellOf(x, y, Column, Row) && MapGrid[Column + Row * MapColumns] == 0;
}

void DrawMap() {
  glColor3f(0.7f, 0.7f, 0.7f);
  glBindTexture(GL_TEXTURE_2D, MapTexture.TextureName);
  // The whole level in level coordinates, under the camera the world draw has set.
  constexpr float Width = MapColumns * TileSize;
  constexpr float Height = MapRows * TileSize;
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0, 0);
  glVertex2f(0, 0);
  glTexCoord2f(0, 1);
  glVertex2f(0, Height);
  glTexCoord2f(1, 0);
  glVertex2f(Width, 0);
  glTexCoord2f(1, 1);
  glVertex2f(Width, Height);
  glEnd();
}
