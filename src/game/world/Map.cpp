// Passability of level points, the reach of the player's start, and the map picture.
#include "World.h"

#include "WinMessages.h"
#include "game/scenes/Textures.h"

#include <GL/gl.h>

#include <cmath>

std::array<bool, MapColumns * MapRows> ReachMask{};

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

void ComputeReach() {
  ReachMask.fill(false);
  // Flood fill over floor cells from the cell of the player's start (224, 128).
  int Column = 0;
  int Row = 0;
  if (!CellOf(224, 128, Column, Row) || MapGrid[Column + Row * MapColumns] != 0) {
    return;
  }
  std::array<int, MapColumns * MapRows> Pending{};
  int Count = 0;
  Pending[Count++] = Column + Row * MapColumns;
  ReachMask[Column + Row * MapColumns] = true;
  while (Count > 0) {
    const int Cell = Pending[--Count];
    const int c = Cell % MapColumns;
    const int r = Cell / MapColumns;
    const int Neighbours[4][2] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
    for (const auto& [nc, nr] : Neighbours) {
      if (nc < 0 || nc >= MapColumns || nr < 0 || nr >= MapRows) {
        continue;
      }
      const int Next = nc + nr * MapColumns;
      if (MapGrid[Next] == 0 && !ReachMask[Next]) {
        ReachMask[Next] = true;
        Pending[Count++] = Next;
      }
    }
  }
}

bool WithinReach(float x, float y) {
  int Column = 0;
  int Row = 0;
  return CellOf(x, y, Column, Row) && ReachMask[Column + Row * MapColumns];
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
