// The game's icon: the player's own sprite, turned to aim up and to the right, on a plain
// rounded backdrop with a soft shadow under the figure.
#include "Pictures.h"

#include <algorithm>

using namespace kit;

namespace {

// Sprite pixels per icon width: the figure fills most of the backdrop at any size.
constexpr float SpriteSpan = 68;
// The sprite's middle lies behind the figure's centre (the gun reaches further forward than the
// backpack does back), so the sprite is moved forward by this much to centre the figure.
constexpr float Forward = 4;
constexpr float Diagonal = 0.70710678f;

// The sprite's texel under icon point (a, b), both 0..1 over the icon; the sprite's front (down
// its picture) turned to point to the upper right.
TTexel SpriteAt(float a, float b) {
  const float u = (a - 0.5f) * SpriteSpan, v = (b - 0.5f) * SpriteSpan;
  return PlayerTexel(-Diagonal * (u + v), Diagonal * (u - v) - Forward);
}

} // namespace

TPicture PaintIcon(int Size) {
  TPicture Icon(Size, Size, 32);
  // Small icons need more samples per pixel to keep the figure's outline smooth.
  const int Samples = std::max(4, 128 / Size);
  const float Step = 1.0f / static_cast<float>(Samples * Size);
  const TRgb Top = Rgb(70, 84, 98), Bottom = Rgb(30, 36, 46), Rim = Rgb(16, 18, 26);
  for (int y = 0; y < Size; ++y) {
    for (int x = 0; x < Size; ++x) {
      TRgb Sum{0, 0, 0};
      int Covered = 0;
      for (int j = 0; j < Samples; ++j) {
        for (int i = 0; i < Samples; ++i) {
          const float a = (static_cast<float>(x * Samples + i) + 0.5f) * Step;
          const float b = (static_cast<float>(y * Samples + j) + 0.5f) * Step;
          const float Edge = Box(a, b, 0.5f, 0.5f, 0.47f, 0.47f, 0.17f);
          if (Edge > 0) {
            continue;
          }
          TRgb Colour = Edge > -0.025f ? Rim : Mix(Top, Bottom, b);
          if (SpriteAt(a - 0.02f, b - 0.035f).Opaque) {
            Colour = Scale(Colour, 0.55f);
          }
          const TTexel Figure = SpriteAt(a, b);
          if (Figure.Opaque) {
            Colour = Figure.Colour;
          }
          Sum = TRgb{Sum.r + Colour.r, Sum.g + Colour.g, Sum.b + Colour.b};
          ++Covered;
        }
      }
      const float Total = static_cast<float>(Samples * Samples);
      if (Covered == 0) {
        Icon.Set(x, y, TRgb{0, 0, 0}, false);
      } else {
        Icon.SetCovered(x, y, Scale(Sum, 1.0f / static_cast<float>(Covered)),
                        static_cast<float>(Covered) / Total);
      }
    }
  }
  return Icon;
}
