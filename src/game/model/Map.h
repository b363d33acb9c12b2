// The wall map of the level: which tiles are floor, and the picture drawn over the whole level.
#pragma once

#include <array>
#include <cstdint>

// 22 columns by 18 rows of 64-pixel tiles, row after row; 0 floor, 1 wall.
constexpr int MapColumns = 22;
constexpr int MapRows = 18;
constexpr int TileSize = 64;
extern const std::array<std::uint8_t, MapColumns * MapRows> MapGrid;

// The wall-map cell of a level point: coordinates rounded to the nearest integer (halves to
// even), then divided by 64 truncating toward zero. False for a point outside the grid (rounded
// x outside -63..1407 or y outside -63..1151) or with a coordinate that is not finite.
bool CellOf(float x, float y, int& Column, int& Row);
// True when the point's cell is floor; false for walls and for every point outside the grid.
bool Passable(float x, float y);
// The map picture as one quad over the level, under the camera the world draw has set.
void DrawMap();
