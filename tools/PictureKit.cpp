#include "PictureKit.h"

#include <algorithm>

namespace kit {

float ValueNoise(float x, float y, std::uint32_t Seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const float tx = SmoothStep(0, 1, x - fx), ty = SmoothStep(0, 1, y - fy);
  const float a = Random01(ix, iy, Seed), b = Random01(ix + 1, iy, Seed);
  const float c = Random01(ix, iy + 1, Seed), d = Random01(ix + 1, iy + 1, Seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float Box(float x, float y, float cx, float cy, float hx, float hy, float Round) {
  const float qx = std::fabs(x - cx) - (hx - Round);
  const float qy = std::fabs(y - cy) - (hy - Round);
  const float Outside = Length(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return Outside + std::min(std::max(qx, qy), 0.0f) - Round;
}

float Capsule(float x, float y, float ax, float ay, float bx, float by, float r) {
  return TaperedCapsule(x, y, ax, ay, bx, by, r, r);
}

float TaperedCapsule(float x, float y, float ax, float ay, float bx, float by, float ra, float rb) {
  const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
  const float LengthSquared = dx * dx + dy * dy;
  const float t = LengthSquared > 0 ? Clamp01((px * dx + py * dy) / LengthSquared) : 0;
  return Length(px - dx * t, py - dy * t) - (ra + (rb - ra) * t);
}

float PolylineDistance(float x, float y, const std::vector<float>& Points) {
  float Best = 1e9f;
  for (std::size_t i = 0; i + 3 < Points.size(); i += 2) {
    Best = std::min(Best, Capsule(x, y, Points[i], Points[i + 1], Points[i + 2], Points[i + 3], 0));
  }
  return Best;
}

float ConvexPolygon(float x, float y, const std::vector<float>& Points) {
  const std::size_t n = Points.size() / 2;
  // Orientation from the signed area, so that either winding works.
  float Area = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t j = (i + 1) % n;
    Area += Points[2 * i] * Points[2 * j + 1] - Points[2 * j] * Points[2 * i + 1];
  }
  const float Sign = Area > 0 ? 1.0f : -1.0f;
  float Inside = -1e9f;
  float Edge = 1e9f;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t j = (i + 1) % n;
    const float ax = Points[2 * i], ay = Points[2 * i + 1];
    const float bx = Points[2 * j], by = Points[2 * j + 1];
    const float ex = bx - ax, ey = by - ay;
    const float L = Length(ex, ey);
    // Outward normal distance of (x, y) from this edge's line.
    const float Out = Sign * ((x - ax) * ey - (y - ay) * ex) / L;
    Inside = std::max(Inside, Out);
    Edge = std::min(Edge, Capsule(x, y, ax, ay, bx, by, 0));
  }
  return Inside <= 0 ? Inside : Edge;
}

float DomeLight(float dx, float dy, float r) {
  const float nx = dx / r, ny = dy / r;
  const float q = std::min(nx * nx + ny * ny, 1.0f);
  const float nz = std::sqrt(1 - q);
  // Light mostly from above, a little from the upper left.
  const float lx = -0.32f, ly = -0.40f, lz = 0.86f;
  const float Diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
  return 0.55f + 0.55f * Diffuse;
}

TPicture::TPicture(int Width, int Height, int Bits)
    : W(Width), H(Height), BitsPerPixel(Bits),
      Data(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height) * 4, 0) {}

namespace {

std::uint8_t Byte(float v) {
  return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0f));
}

} // namespace

void TPicture::SetCovered(int x, int y, TRgb Colour, float Alpha) {
  Set(x, y, Colour, true);
  Data[(static_cast<std::size_t>(y) * static_cast<std::size_t>(W) + static_cast<std::size_t>(x)) *
           4 +
       3] = Byte(Alpha);
}

void TPicture::Set(int x, int y, TRgb Colour, bool Opaque) {
  std::uint8_t* Pixel = &Data[(static_cast<std::size_t>(y) * static_cast<std::size_t>(W) +
                               static_cast<std::size_t>(x)) *
                              4];
  if (!Opaque) {
    Pixel[0] = Pixel[1] = Pixel[2] = Pixel[3] = 0;
    return;
  }
  Pixel[0] = Byte(Colour.r);
  Pixel[1] = Byte(Colour.g);
  Pixel[2] = Byte(Colour.b);
  Pixel[3] = 255;
}

std::vector<std::uint8_t> TPicture::TgaBytes() const {
  const bool Alpha = BitsPerPixel == 32;
  std::vector<std::uint8_t> File = {0,
                                    0,
                                    2,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    static_cast<std::uint8_t>(W & 0xFF),
                                    static_cast<std::uint8_t>(W >> 8),
                                    static_cast<std::uint8_t>(H & 0xFF),
                                    static_cast<std::uint8_t>(H >> 8),
                                    static_cast<std::uint8_t>(BitsPerPixel),
                                    static_cast<std::uint8_t>(0x20 | (Alpha ? 8 : 0))};
  File.reserve(File.size() + Data.size());
  for (std::size_t i = 0; i < Data.size(); i += 4) {
    File.push_back(Data[i + 2]);
    File.push_back(Data[i + 1]);
    File.push_back(Data[i]);
    if (Alpha) {
      File.push_back(Data[i + 3]);
    }
  }
  return File;
}

} // namespace kit
