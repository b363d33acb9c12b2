// The level picture, drawn from the wall grid the game plays on, so that the walls the player
// sees are exactly the walls that stop them.
//
// The picture is 1024 x 1024 and the game stretches it over the 1408 x 1152 level, so every
// texel is shaded at the level point it lands on: walls end exactly on tile edges and the floor
// pattern comes out square on screen. The game darkens the map to 70 %, which the colours allow
// for. Light falls from the upper left.
#include "Pictures.h"

#include "game/model/Map.h"

#include <algorithm>
#include <cmath>

using namespace kit;

namespace {

constexpr float LevelWidth = MapColumns * TileSize;
constexpr float LevelHeight = MapRows * TileSize;
constexpr float Tile = TileSize;

bool WallCell(int Column, int Row) {
  if (Column < 0 || Row < 0 || Column >= MapColumns || Row >= MapRows) {
    return true;
  }
  return MapGrid[static_cast<std::size_t>(Column + Row * MapColumns)] != 0;
}

bool WallAt(float x, float y) {
  return WallCell(static_cast<int>(std::floor(x / Tile)), static_cast<int>(std::floor(y / Tile)));
}

struct TNearest {
  float Distance = 1e9f;
  float dx = 0, dy = 0; // from the point towards the nearest point of such a cell
};

// The nearest cell of the wanted kind among the point's cell and its eight neighbours.
TNearest NearestCell(float x, float y, bool Wall) {
  const int Column = static_cast<int>(std::floor(x / Tile));
  const int Row = static_cast<int>(std::floor(y / Tile));
  TNearest Best;
  for (int r = Row - 1; r <= Row + 1; ++r) {
    for (int c = Column - 1; c <= Column + 1; ++c) {
      if (WallCell(c, r) != Wall) {
        continue;
      }
      const float x0 = static_cast<float>(c) * Tile, y0 = static_cast<float>(r) * Tile;
      const float dx = x < x0 ? x0 - x : (x > x0 + Tile ? x0 + Tile - x : 0);
      const float dy = y < y0 ? y0 - y : (y > y0 + Tile ? y0 + Tile - y : 0);
      const float d = Length(dx, dy);
      if (d < Best.Distance) {
        Best = TNearest{d, dx, dy};
      }
    }
  }
  return Best;
}

// How far the point lies inside its own cell: the distance to the nearest edge of that cell.
// Nothing of another cell reaches further in than the shading here does.
float InsideCell(float x, float y) {
  const float fx = std::fmod(x, Tile), fy = std::fmod(y, Tile);
  return std::min(std::min(fx, Tile - fx), std::min(fy, Tile - fy));
}

// Wall tops: courses of blue-grey stone blocks, a bright bevel on edges facing the light, a dark
// one on the others, and a dark line where the wall meets the floor.
TRgb WallColour(float x, float y) {
  const int Course = static_cast<int>(std::floor(y / 16));
  const float Shift = (Course % 2 != 0) ? 16.0f : 0.0f;
  const int Block = static_cast<int>(std::floor((x + Shift) / 32));
  const float fx = std::fmod(x + Shift, 32.0f), fy = std::fmod(y, 16.0f);
  const float Tone = 0.88f + 0.16f * Random01(Block, Course, 11);
  const float Grain = 0.95f + 0.1f * ValueNoise(x / 5, y / 5, 12);
  TRgb Colour = Scale(Rgb(138, 144, 158), Tone * Grain);
  if (fx < 1.6f || fy < 1.6f) {
    Colour = Rgb(76, 80, 92);
  } else if (fx < 3.2f || fy < 3.2f) {
    Colour = Scale(Colour, 1.12f);
  } else if (fx > 30.4f || fy > 14.4f) {
    Colour = Scale(Colour, 0.84f);
  }
  // A light stud in each outer corner of the level. Besides finishing the corners it matters to
  // the score table: its text is printed textured with this picture at texture coordinate
  // (1, 1), which filtering takes from the four corner texels, and light corners keep the text
  // in its own colour.
  for (const float cx : {0.0f, LevelWidth}) {
    for (const float cy : {0.0f, LevelHeight}) {
      const float d = Length(x - cx, y - cy);
      if (d < 7) {
        return d < 5.5f ? Rgb(236, 238, 244) : Rgb(22, 24, 32);
      }
    }
  }
  if (InsideCell(x, y) >= 8) {
    return Colour;
  }
  const TNearest Floor = NearestCell(x, y, false);
  if (Floor.Distance < 2.5f) {
    return Rgb(22, 24, 32);
  }
  if (Floor.Distance < 8) {
    // Which way the edge faces: towards the floor.
    const float Facing = -(Floor.dx + Floor.dy) / (Floor.Distance * 1.4142f);
    return Facing > 0 ? Mix(Colour, Rgb(232, 236, 246), 0.55f) : Scale(Colour, 0.62f);
  }
  return Colour;
}

// Floor: dark steel plates of half a tile with seams, rivets, wear and grime, so that movement
// over it is easy to see; shadows of the walls fall to the lower right.
TRgb FloorColour(float x, float y) {
  const int px = static_cast<int>(std::floor(x / 32)), py = static_cast<int>(std::floor(y / 32));
  const float fx = x - static_cast<float>(px) * 32, fy = y - static_cast<float>(py) * 32;
  const float Plate = 0.9f + 0.16f * Random01(px, py, 21);
  const float Grime = 0.84f + 0.22f * ValueNoise(x / 48, y / 48, 22);
  const float Wear = 0.95f + 0.1f * ValueNoise(x / 7, y / 7, 23);
  const float Grain = 0.97f + 0.06f * Random01(static_cast<int>(x), static_cast<int>(y), 24);
  const bool TileTone = ((static_cast<int>(x / Tile) + static_cast<int>(y / Tile)) % 2) == 0;
  TRgb Colour = Scale(Rgb(74, 86, 94), Plate * Grime * Wear * Grain * (TileTone ? 1.0f : 0.94f));

  if (fx < 1.6f || fy < 1.6f) {
    Colour = Rgb(30, 36, 42);
  } else if (fx < 3.0f || fy < 3.0f) {
    Colour = Scale(Colour, 1.22f);
  } else if (fx > 30.6f || fy > 30.6f) {
    Colour = Scale(Colour, 0.78f);
  } else {
    // Rivets near the corners of each plate.
    for (const float cx : {5.5f, 26.5f}) {
      for (const float cy : {5.5f, 26.5f}) {
        const float d = Length(fx - cx, fy - cy);
        if (d < 1.9f) {
          Colour = (fx - cx) + (fy - cy) < 0 ? Rgb(150, 160, 170) : Rgb(40, 46, 52);
        }
      }
    }
  }

  // Soft shadow of the walls towards the lower right, and a little darkening along every wall.
  if (InsideCell(x, y) >= 20) {
    return Colour;
  }
  const float Shadow = NearestCell(x - 6, y - 6, true).Distance;
  const float Near = NearestCell(x, y, true).Distance;
  const float Light =
      (0.55f + 0.45f * SmoothStep(0, 7, Shadow)) * (0.8f + 0.2f * SmoothStep(0, 14, Near));
  return Scale(Colour, Light);
}

} // namespace

TPicture PaintMap() {
  constexpr int Size = 1024;
  return Render(Size, Size, 24, 2, [](float tx, float ty) {
    const float x = tx * LevelWidth / Size, y = ty * LevelHeight / Size;
    return TTexel{WallAt(x, y) ? WallColour(x, y) : FloorColour(x, y), true};
  });
}
