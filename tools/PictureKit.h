// A small kit for drawing the game's pictures in code: colours, shape distances, a fixed-seed
// hash for noise, supersampled rendering with hard-edged transparency, and the TGA writer.
//
// Everything here is plain integer and float arithmetic on fixed inputs, so a picture comes out
// byte for byte the same on every run.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace kit {

constexpr float Pi = 3.14159265f;

struct TRgb {
  float r, g, b; // 0..1
};

constexpr TRgb Rgb(int r, int g, int b) {
  return TRgb{r / 255.0f, g / 255.0f, b / 255.0f};
}
inline TRgb Mix(TRgb a, TRgb b, float t) {
  return TRgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline TRgb Scale(TRgb c, float k) {
  return TRgb{c.r * k, c.g * k, c.b * k};
}
inline float Clamp01(float x) {
  return x < 0 ? 0 : (x > 1 ? 1 : x);
}
inline float SmoothStep(float a, float b, float x) {
  const float t = Clamp01((x - a) / (b - a));
  return t * t * (3 - 2 * t);
}

// --- Fixed-seed hashing and noise ---

inline std::uint32_t Hash(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return x;
}
inline std::uint32_t Hash(int a, int b, std::uint32_t Seed) {
  return Hash(static_cast<std::uint32_t>(a) * 0x9E3779B1u ^
              Hash(static_cast<std::uint32_t>(b) * 0x85EBCA77u + Hash(Seed)));
}
// A number in [0, 1) for the lattice point (a, b).
inline float Random01(int a, int b, std::uint32_t Seed) {
  return static_cast<float>(Hash(a, b, Seed) >> 8) / 16777216.0f;
}
// Smooth value noise in [0, 1), one lattice cell per unit.
float ValueNoise(float x, float y, std::uint32_t Seed);

// A small deterministic generator for placing things (lightning paths and the like).
class TRandom {
public:
  explicit TRandom(std::uint32_t Seed) : State(Hash(Seed + 0x632BE5ABu)) {}
  float Next() { // [0, 1)
    State = Hash(State + 0x9E3779B9u);
    return static_cast<float>(State >> 8) / 16777216.0f;
  }
  float Range(float Low, float High) { return Low + (High - Low) * Next(); }

private:
  std::uint32_t State;
};

// --- Signed distances (negative inside) ---

inline float Length(float x, float y) {
  return std::sqrt(x * x + y * y);
}
inline float Circle(float x, float y, float cx, float cy, float r) {
  return Length(x - cx, y - cy) - r;
}
// Box centred on (cx, cy) with half sizes hx, hy and corner radius Round.
float Box(float x, float y, float cx, float cy, float hx, float hy, float Round = 0);
// Capsule around the segment a-b.
float Capsule(float x, float y, float ax, float ay, float bx, float by, float r);
// Capsule whose radius runs from ra at a to rb at b.
float TaperedCapsule(float x, float y, float ax, float ay, float bx, float by, float ra, float rb);
// Distance to a polyline (no radius).
float PolylineDistance(float x, float y, const std::vector<float>& Points);
// Convex polygon given counter-clockwise or clockwise as x0, y0, x1, y1, ... (exact inside,
// a close bound outside).
float ConvexPolygon(float x, float y, const std::vector<float>& Points);

// Shading of a dome of radius r at offset (dx, dy) from its centre, light from above and a
// little from the upper left: a brightness factor around 1.
float DomeLight(float dx, float dy, float r);

// --- Painting ---

struct TTexel {
  TRgb Colour{0, 0, 0};
  bool Opaque = false;
};

// Layers painted in order onto one sample: later layers cover earlier ones.
struct TPaint {
  TTexel Texel;
  void Fill(float Distance, TRgb Colour) {
    if (Distance <= 0) {
      Texel = TTexel{Colour, true};
    }
  }
  // A filled shape with an ink line of width Line along the inside of its edge.
  void Shape(float Distance, TRgb Colour, float Line, TRgb Ink) {
    if (Distance <= 0) {
      Texel = TTexel{Distance > -Line ? Ink : Colour, true};
    }
  }
  // Paints only over what is already opaque (details on a body).
  void Over(float Distance, TRgb Colour) {
    if (Distance <= 0 && Texel.Opaque) {
      Texel.Colour = Colour;
    }
  }
};

// --- Pictures ---

class TPicture {
public:
  TPicture(int Width, int Height, int Bits);
  int Width() const { return W; }
  int Height() const { return H; }
  int Bits() const { return BitsPerPixel; }
  // Red, green, blue, alpha (0 or 255) of each pixel, top row first.
  const std::vector<std::uint8_t>& Rgba() const { return Data; }
  void Set(int x, int y, TRgb Colour, bool Opaque);
  // Any alpha in [0, 1] (the icons have smooth edges; the game's pictures never do).
  void SetCovered(int x, int y, TRgb Colour, float Alpha);
  // Uncompressed true-colour TGA, top row first (descriptor bit 0x20), pixels blue, green,
  // red (, alpha).
  std::vector<std::uint8_t> TgaBytes() const;
  // PNG, 8-bit red, green, blue and alpha.
  std::vector<std::uint8_t> PngBytes() const;

private:
  int W, H, BitsPerPixel;
  std::vector<std::uint8_t> Data;
};

// A Windows icon file holding Images (square, at most 256 pixels): those of 256 pixels as PNG,
// the smaller ones as 32-bit bitmaps, which every version of Windows reads.
std::vector<std::uint8_t> IcoBytes(const std::vector<TPicture>& Images);

// Renders Shader(x, y) (continuous pixel coordinates, y down) with Samples x Samples samples
// per pixel. A pixel is opaque when at least half of its samples are and then takes the mean
// colour of its opaque samples; a transparent pixel is black. So alpha is only ever 0 or 255 and
// the colour at a silhouette is the colour of the shape's own edge.
template <class TShader>
TPicture Render(int Width, int Height, int Bits, int Samples, const TShader& Shader) {
  TPicture Picture(Width, Height, Bits);
  const float Step = 1.0f / static_cast<float>(Samples);
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x) {
      TRgb Sum{0, 0, 0};
      int Count = 0;
      for (int j = 0; j < Samples; ++j) {
        for (int i = 0; i < Samples; ++i) {
          const TTexel T = Shader(static_cast<float>(x) + (static_cast<float>(i) + 0.5f) * Step,
                                  static_cast<float>(y) + (static_cast<float>(j) + 0.5f) * Step);
          if (T.Opaque) {
            Sum = TRgb{Sum.r + T.Colour.r, Sum.g + T.Colour.g, Sum.b + T.Colour.b};
            ++Count;
          }
        }
      }
      const bool Opaque = Bits == 24 || 2 * Count >= Samples * Samples;
      const TRgb Mean = Count > 0 ? Scale(Sum, 1.0f / static_cast<float>(Count)) : TRgb{0, 0, 0};
      Picture.Set(x, y, Mean, Opaque);
    }
  }
  return Picture;
}

} // namespace kit
