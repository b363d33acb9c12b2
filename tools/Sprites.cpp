// The unit pictures: player, enemy, turret, bullets, time fields, sensor plate and lightning.
#include "Pictures.h"

#include <algorithm>
#include <cmath>

using namespace kit;

namespace {

constexpr TRgb Ink = Rgb(12, 14, 22);
constexpr int Samples = 4;

// Angle of (u, v) measured from straight up (-v), clockwise on screen, in [0, 2 pi).
float AngleFromUp(float u, float v) {
  float a = std::atan2(u, -v);
  if (a < 0) {
    a += 2 * Pi;
  }
  return a;
}

// Distance between two angles on the circle.
float AngleGap(float a, float b) {
  float d = std::fmod(std::fabs(a - b), 2 * Pi);
  return std::min(d, 2 * Pi - d);
}

// A metal bar along v with a lighter stripe down its middle.
TRgb Barrel(TRgb Base, float u, float HalfWidth) {
  const float t = Clamp01(1 - std::fabs(u) / HalfWidth);
  return Mix(Scale(Base, 0.7f), Mix(Base, Rgb(220, 225, 235), 0.35f), t * t);
}

} // namespace

// The player: an armoured figure seen from above, gun held in front (down the picture).
TTexel PlayerTexel(float u, float v) {
  constexpr TRgb Armour = Rgb(38, 160, 185);
  constexpr TRgb Pad = Rgb(80, 215, 235);
  constexpr TRgb Helmet = Rgb(120, 225, 245);
  TPaint P;
  // Backpack behind the shoulders, with two status lights.
  P.Shape(Box(u, v, 0, -15, 11, 7, 3), Rgb(54, 72, 84), 1.8f, Ink);
  P.Over(Circle(u, v, -5, -17, 1.6f), Rgb(255, 210, 60));
  P.Over(Circle(u, v, 5, -17, 1.6f), Rgb(120, 255, 140));
  // Body: shoulders across the picture.
  P.Shape(Box(u, v, 0, -2, 22, 12, 10), Scale(Armour, 0.6f + 0.5f * DomeLight(u, v + 2, 24)), 2.2f,
          Ink);
  // Arms reaching forward to the gun.
  for (const float s : {-1.0f, 1.0f}) {
    P.Shape(Capsule(u, v, 16 * s, 2, 6 * s, 14, 4.2f), Scale(Armour, 0.85f), 1.8f, Ink);
  }
  // Gun, muzzle at the front edge.
  P.Shape(Box(u, v, 0, 19, 3.6f, 11.5f, 1.5f), Barrel(Rgb(95, 105, 118), u, 3.6f), 1.4f, Ink);
  P.Shape(Box(u, v, 0, 28.5f, 2.6f, 2.2f, 0.8f), Rgb(170, 245, 255), 1.0f, Ink);
  // Gloves on the gun.
  for (const float s : {-1.0f, 1.0f}) {
    P.Shape(Circle(u, v, 5.2f * s, 13.5f, 3.6f), Rgb(235, 190, 120), 1.3f, Ink);
  }
  // Shoulder pads.
  for (const float s : {-1.0f, 1.0f}) {
    P.Shape(Circle(u, v, 18 * s, -3, 8), Scale(Pad, DomeLight(u - 18 * s, v + 3, 8)), 2.0f, Ink);
  }
  // Helmet with a stripe from back to front and a dark visor facing forward.
  P.Shape(Circle(u, v, 0, 0, 10.5f), Scale(Helmet, DomeLight(u, v, 10.5f)), 2.0f, Ink);
  P.Over(std::max(Box(u, v, 0, -4, 1.4f, 6.5f), Circle(u, v, 0, 0, 8.5f)), Rgb(245, 250, 255));
  const float Visor = std::max(Circle(u, v, 0, 0, 8.6f), 2.5f - v);
  P.Over(Visor, Rgb(18, 40, 66));
  P.Over(std::max(Visor + 1.0f, Capsule(u, v, -4.5f, 5, -1.5f, 6.5f, 0.9f)), Rgb(150, 220, 255));
  return P.Texel;
}

TPicture PaintPlayer() {
  return Render(64, 64, 32, Samples, [](float x, float y) { return PlayerTexel(x - 32, y - 32); });
}

// An enemy: a red armoured drone with two guns and one yellow eye, facing down the picture.
// It is drawn at three quarters of this size and at 60 % brightness, so it is drawn bold.
TPicture PaintEnemy() {
  const TRgb Shell = Rgb(255, 72, 52);
  const TRgb Plate = Rgb(255, 130, 80);
  return Render(64, 64, 32, Samples, [&](float x, float y) {
    const float u = x - 32, v = y - 32;
    TPaint P;
    // Claws to the sides.
    for (const float s : {-1.0f, 1.0f}) {
      P.Shape(Capsule(u, v, 12 * s, -6, 27 * s, -14, 3.8f), Rgb(170, 60, 50), 2.2f, Ink);
      P.Shape(Capsule(u, v, 14 * s, 4, 27 * s, 10, 3.8f), Rgb(170, 60, 50), 2.2f, Ink);
    }
    // Spikes at the back.
    for (const float s : {-1.0f, 0.0f, 1.0f}) {
      const float Tip = s == 0 ? -30.0f : -26.0f;
      P.Shape(ConvexPolygon(u, v, {10 * s - 5, -12, 10 * s + 5, -12, 10 * s + 3 * s, Tip}),
              Rgb(150, 34, 34), 2.2f, Ink);
    }
    // Guns, muzzles to the front.
    for (const float s : {-1.0f, 1.0f}) {
      P.Shape(Box(u, v, 11 * s, 17, 4.2f, 12, 1.5f), Barrel(Rgb(90, 90, 104), u - 11 * s, 4.2f),
              2.0f, Ink);
      P.Shape(Box(u, v, 11 * s, 27.5f, 3.6f, 2.5f, 1.0f), Rgb(255, 215, 70), 1.4f, Ink);
    }
    // Octagonal shell with a lighter plate and a seam.
    const float r = 20;
    const float k = 0.4142f * r;
    const std::vector<float> Octagon = {-k, -r - 2, k,  -r - 2, r,  -k - 2, r,  k - 2,
                                        k,  r - 2,  -k, r - 2,  -r, k - 2,  -r, -k - 2};
    P.Shape(ConvexPolygon(u, v, Octagon), Scale(Shell, DomeLight(u, v + 2, 24)), 3.0f, Ink);
    P.Over(Box(u, v, 0, -6, 1.2f, 10), Scale(Shell, 0.55f));
    P.Shape(Circle(u, v, 0, 6, 9.5f), Scale(Plate, DomeLight(u, v - 6, 11)), 2.2f, Ink);
    // The eye, with a slit along the facing.
    P.Shape(Circle(u, v, 0, 8, 5.8f), Rgb(255, 235, 100), 1.8f, Ink);
    P.Over(Box(u, v, 0, 8.5f, 1.3f, 3.6f, 1.2f), Rgb(30, 10, 10));
    return P.Texel;
  });
}

// A turret: a toothed ring (it turns, so a round base reads naturally) under an amber head whose
// barrel points up the picture.
TPicture PaintTurret() {
  const TRgb Steel = Rgb(150, 158, 176);
  const TRgb Amber = Rgb(255, 196, 50);
  return Render(64, 64, 32, Samples, [&](float x, float y) {
    const float u = x - 32, v = y - 32;
    TPaint P;
    const float a = AngleFromUp(u, v);
    const float Teeth = std::cos(a * 12) > 0.2f ? 3.0f : 0.0f;
    P.Shape(Length(u, v) - (25 + Teeth), Scale(Steel, DomeLight(u, v, 30)), 2.2f, Ink);
    P.Shape(Circle(u, v, 0, 0, 19), Rgb(70, 74, 86), 1.6f, Ink);
    for (int i = 0; i < 6; ++i) {
      const float b = static_cast<float>(i) * Pi / 3 + Pi / 6;
      P.Shape(Circle(u, v, 22 * std::sin(b), -22 * std::cos(b), 1.8f), Rgb(200, 205, 215), 0.8f,
              Ink);
    }
    // Barrel with a muzzle brake, over the ring up to the edge of the picture.
    P.Shape(Box(u, v, 0, -17, 4.2f, 13), Barrel(Rgb(82, 86, 98), u, 4.2f), 1.8f, Ink);
    P.Shape(Box(u, v, 0, -27.5f, 6, 3.2f, 1.0f), Barrel(Rgb(150, 156, 170), u, 6), 1.6f, Ink);
    // Head.
    P.Shape(Box(u, v, 0, 3, 15, 15, 7), Scale(Amber, DomeLight(u, v - 3, 19)), 2.4f, Ink);
    P.Shape(Circle(u, v, 0, 7, 6), Rgb(200, 130, 25), 1.5f, Ink);
    P.Over(Circle(u, v, -1.5f, 5.5f, 1.8f), Rgb(250, 215, 130));
    P.Shape(Circle(u, v, 0, -6, 2.8f), Rgb(255, 60, 50), 1.0f, Ink);
    return P.Texel;
  });
}

// The player's bullet: a cyan bolt with a white core, tapered at the tail (top), round and bright
// at the front (bottom). Drawn 5 x 15.
TPicture PaintPlayerBullet() {
  return Render(8, 16, 32, Samples, [](float x, float y) {
    TPaint P;
    P.Shape(TaperedCapsule(x, y, 4, 3.2f, 4, 12.0f, 2.0f, 3.3f), Rgb(70, 220, 255), 0.8f, Ink);
    P.Over(TaperedCapsule(x, y, 4, 5.2f, 4, 12.0f, 0.9f, 1.9f), Rgb(240, 255, 255));
    return P.Texel;
  });
}

// The enemies' and turrets' bullet: a red-orange slug with a yellow core, the same at both ends
// (turrets fire it up the picture, enemies down).
TPicture PaintEnemyBullet() {
  return Render(8, 16, 32, Samples, [](float x, float y) {
    TPaint P;
    P.Shape(Capsule(x, y, 4, 4.0f, 4, 12.0f, 3.2f), Rgb(255, 90, 36), 0.8f, Rgb(40, 8, 4));
    P.Over(Capsule(x, y, 4, 5.2f, 4, 10.8f, 1.8f), Rgb(255, 240, 140));
    return P.Texel;
  });
}

// The time field in flight: a small bright orb, drawn from 1.5 x 3 up to about 12 x 22 pixels.
TPicture PaintShootField() {
  return Render(32, 32, 32, Samples, [](float x, float y) {
    const float u = x - 16, v = y - 16;
    TPaint P;
    P.Shape(Circle(u, v, 0, 0, 14.5f), Rgb(150, 90, 255), 2.4f, Rgb(26, 10, 60));
    P.Over(std::fabs(Length(u, v) - 8.5f) - 1.6f, Rgb(215, 185, 255));
    P.Over(Circle(u, v, 0, 0, 4.8f), Rgb(255, 255, 255));
    return P.Texel;
  });
}

namespace {

struct TFieldColours {
  TRgb Ring, Tick, Arm, ArmTip, Hub, Hand, Line;
  float Twist; // how far the arms curl, in radians from hub to rim
};

// A settled time field: a dial ring with ticks, three curled arms and two clock hands, open
// between them so that the floor and slowed bullets show through. It spins, and the hands and
// the one large tick make the turning visible.
TPicture PaintField(const TFieldColours& C) {
  return Render(128, 128, 32, Samples, [&](float x, float y) {
    const float u = x - 64, v = y - 64;
    const float r = Length(u, v);
    const float a = AngleFromUp(u, v);
    TPaint P;
    // Arms between the inner ring and the rim.
    if (r > 16 && r < 54) {
      const float t = (r - 16) / 38;
      const float Width = 6.5f - 3.0f * t;
      for (int k = 0; k < 3; ++k) {
        const float Centre = static_cast<float>(k) * 2 * Pi / 3 + 0.35f + C.Twist * t;
        const float Across = AngleGap(a, Centre) * r - Width;
        P.Shape(Across, Mix(C.Arm, C.ArmTip, t), 2.0f, C.Line);
      }
    }
    // Rim with twelve ticks, the one at the top larger.
    const float Rim = std::fabs(r - 56) - 5;
    P.Shape(Rim, Mix(C.Ring, Rgb(255, 255, 255), 0.18f * Clamp01(1 - std::fabs(r - 55) / 5)), 2.2f,
            C.Line);
    for (int k = 0; k < 12; ++k) {
      const float Centre = static_cast<float>(k) * Pi / 6;
      const float Half = k == 0 ? 3.4f : 1.6f;
      P.Over(std::max(AngleGap(a, Centre) * r - Half, std::fabs(r - 56) - 2.2f), C.Tick);
    }
    P.Shape(ConvexPolygon(u, v, {-5.5f, -60.5f, 5.5f, -60.5f, 0, -52}), C.Tick, 1.6f, C.Line);
    // Inner ring and hub.
    P.Shape(std::fabs(r - 17) - 4, Mix(C.Ring, C.Arm, 0.4f), 1.8f, C.Line);
    // Hands: a long one to the top, a short one to the right.
    P.Shape(TaperedCapsule(u, v, 0, 0, 0, -44, 4.2f, 2.2f), C.Hand, 1.8f, C.Line);
    P.Shape(TaperedCapsule(u, v, 0, 0, 27, 0, 4.2f, 2.6f), C.Hand, 1.8f, C.Line);
    P.Shape(Circle(u, v, 0, 0, 9), Scale(C.Hub, DomeLight(u, v, 9)), 2.0f, C.Line);
    return P.Texel;
  });
}

} // namespace

TPicture PaintSlowField() {
  return PaintField(TFieldColours{Rgb(120, 84, 235), Rgb(235, 225, 255), Rgb(90, 190, 255),
                                  Rgb(160, 110, 255), Rgb(240, 236, 255), Rgb(245, 245, 255),
                                  Rgb(20, 10, 56), -1.7f});
}

// Loaded by the game but never drawn: the same dial in warm colours, curling the other way.
TPicture PaintFastField() {
  return PaintField(TFieldColours{Rgb(235, 130, 40), Rgb(255, 245, 200), Rgb(255, 210, 70),
                                  Rgb(240, 90, 40), Rgb(255, 250, 230), Rgb(255, 252, 240),
                                  Rgb(60, 20, 6), 1.7f});
}

// The sensor: a steel floor plate covering its whole tile, with a hazard-striped border, a red
// lens in the middle and a bolt in each corner. Sensors never turn, so the light falls from the
// upper left.
//
// The plate is opaque and light right at its corners for a reason beyond looks: it is the last
// picture loaded, so it is still bound when the menu prints its first labels, and the printed
// glyphs are textured with the bound picture at texture coordinate (0, 0), which filtering takes
// from the four corner texels. Transparent corners would make the alpha test drop the labels.
TPicture PaintSensor() {
  return Render(64, 64, 32, Samples, [](float x, float y) {
    const float u = x - 32, v = y - 32;
    TPaint P;
    const float Plate = Box(u, v, 0, 0, 32, 32);
    const float Grain = 0.94f + 0.12f * ValueNoise(x * 0.9f, y * 0.12f, 71);
    TRgb Steel = Scale(Rgb(88, 95, 110), Grain);
    // Bevel: lit on the upper and left edges, shaded on the others.
    if (Plate > -5) {
      Steel = Scale(Steel, u + v < 0 ? 1.35f : 0.7f);
    }
    P.Shape(Plate, Steel, 1.5f, Ink);
    const float Band = std::max(Box(u, v, 0, 0, 25, 25, 4), -Box(u, v, 0, 0, 19, 19, 3));
    const bool Yellow = std::fmod(u + v + 200, 10.0f) < 5;
    P.Over(Band, Yellow ? Rgb(250, 200, 40) : Rgb(34, 32, 30));
    P.Shape(Box(u, v, 0, 0, 19, 19, 3), Rgb(56, 60, 72), 1.4f, Ink);
    P.Over(std::max(Band, std::fabs(Box(u, v, 0, 0, 25, 25, 4)) - 0.8f), Ink);
    for (const float su : {-1.0f, 1.0f}) {
      for (const float sv : {-1.0f, 1.0f}) {
        P.Shape(Circle(u, v, 32 * su, 32 * sv, 5), Rgb(215, 220, 230), 1.2f, Ink);
      }
    }
    P.Shape(Circle(u, v, 0, 0, 13), Scale(Rgb(165, 170, 182), DomeLight(-u, -v, 13)), 1.6f, Ink);
    P.Shape(Circle(u, v, 0, 0, 9.5f), Scale(Rgb(255, 70, 40), DomeLight(u, v, 9.5f)), 1.4f, Ink);
    P.Over(Circle(u, v, -3, -3, 2.2f), Rgb(255, 210, 190));
    return P.Texel;
  });
}

namespace {

struct TBolt {
  std::vector<float> Points;
  float Width;
  float Left = 0, Top = 0, Right = 0, Bottom = 0; // bounds with the outline
};

constexpr float OutlineWidth = 3.4f, BodyWidth = 2.3f, CoreWidth = 1.1f;

void Bound(TBolt& Bolt) {
  const float Margin = OutlineWidth * Bolt.Width;
  Bolt.Left = Bolt.Top = 1e9f;
  Bolt.Right = Bolt.Bottom = -1e9f;
  for (std::size_t i = 0; i + 1 < Bolt.Points.size(); i += 2) {
    Bolt.Left = std::min(Bolt.Left, Bolt.Points[i] - Margin);
    Bolt.Right = std::max(Bolt.Right, Bolt.Points[i] + Margin);
    Bolt.Top = std::min(Bolt.Top, Bolt.Points[i + 1] - Margin);
    Bolt.Bottom = std::max(Bolt.Bottom, Bolt.Points[i + 1] + Margin);
  }
}

// One frame of the trap's lightning in screen space (64 x 64, x right, y down): a stud in the
// middle and jagged bolts crackling out from it, different in every frame.
std::vector<TBolt> LightningFrame(int Frame) {
  TRandom Random(1000u + static_cast<std::uint32_t>(Frame));
  std::vector<TBolt> Bolts;
  const int Count = 4 + (Frame % 2);
  const float Start = Random.Range(0, 2 * Pi);
  for (int i = 0; i < Count; ++i) {
    const float Direction = Start + static_cast<float>(i) * 2 * Pi / static_cast<float>(Count) +
                            Random.Range(-0.4f, 0.4f);
    const float ux = std::sin(Direction), uy = -std::cos(Direction);
    const float Reach = Random.Range(21, 27);
    TBolt Bolt{{32, 32}, 1.0f};
    // A random walk across the bolt's line, pinned at both ends.
    const int Steps = 6;
    float Offset = 0;
    for (int s = 1; s <= Steps; ++s) {
      const float d =
          Reach * (static_cast<float>(s) + (s == Steps ? 0 : Random.Range(-0.3f, 0.3f))) / Steps;
      Offset = std::clamp(Offset + Random.Range(-4.5f, 4.5f), -5.0f, 5.0f);
      const float Kink = s == Steps ? 0 : Offset;
      Bolt.Points.push_back(32 + d * ux - Kink * uy);
      Bolt.Points.push_back(32 + d * uy + Kink * ux);
    }
    Bolts.push_back(Bolt);
    // Now and then a short fork from the middle of the bolt.
    if (Random.Next() < 0.7f) {
      const std::size_t At = 2 * (3 + static_cast<std::size_t>(Random.Next() * 2));
      const float Turn = Direction + (Random.Next() < 0.5f ? -0.75f : 0.75f);
      TBolt Fork{{Bolt.Points[At], Bolt.Points[At + 1]}, 0.65f};
      for (int s = 1; s <= 2; ++s) {
        const float d = 5.0f * static_cast<float>(s);
        Fork.Points.push_back(Bolt.Points[At] + d * std::sin(Turn) + Random.Range(-1.5f, 1.5f));
        Fork.Points.push_back(Bolt.Points[At + 1] - d * std::cos(Turn) + Random.Range(-1.5f, 1.5f));
      }
      Bolts.push_back(Fork);
    }
  }
  return Bolts;
}

} // namespace

// The trap's eight lightning frames side by side. The game lays this sheet onto its quad
// transposed (the picture's x runs down the screen and its y across), so each frame is stored
// transposed here and shows upright on screen.
TPicture PaintLightning() {
  std::vector<std::vector<TBolt>> Frames;
  for (int f = 0; f < 8; ++f) {
    Frames.push_back(LightningFrame(f));
    for (TBolt& Bolt : Frames.back()) {
      Bound(Bolt);
    }
  }
  return Render(512, 64, 32, Samples, [&](float x, float y) {
    const int f = std::min(7, static_cast<int>(x / 64));
    // Screen position inside the frame: across = picture y, down = picture x.
    const float sx = y, sy = x - 64.0f * static_cast<float>(f);
    // Nearest bolt, measured in its own widths: white core, blue body, dark outline.
    float Nearest = 1e9f;
    for (const TBolt& Bolt : Frames[f]) {
      if (sx >= Bolt.Left && sx <= Bolt.Right && sy >= Bolt.Top && sy <= Bolt.Bottom) {
        Nearest = std::min(Nearest, PolylineDistance(sx, sy, Bolt.Points) / Bolt.Width);
      }
    }
    TPaint P;
    P.Fill(Nearest - OutlineWidth, Rgb(16, 26, 80));
    P.Fill(Nearest - BodyWidth, Rgb(90, 170, 255));
    P.Fill(Nearest - CoreWidth, Rgb(240, 250, 255));
    P.Shape(Circle(sx, sy, 32, 32, 7), Rgb(70, 80, 100), 1.6f, Ink);
    P.Fill(Circle(sx, sy, 32, 32, 3.6f), Rgb(235, 245, 255));
    return P.Texel;
  });
}
