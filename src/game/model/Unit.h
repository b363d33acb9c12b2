// The object model: every thing that lives in the level is a TUnit, and the registry calls its
// four virtual operations in this slot order: Draw, Update, Collide, Kill.
#pragma once

#include "UTypes.h"

#include <cstdint>

class TObj {
public:
  explicit TObj(const TVector& Position) : Pos(Position) {}
  virtual ~TObj() = default;

  TVector Pos; // the centre of the object's box
};

class TUnit : public TObj {
public:
  // The name of the class, as the replay output and a bullet's Owner spell it.
  static constexpr const char* ClassName = "TUnit";
  // Position only: every other field stays zero (TimeFactor included).
  explicit TUnit(const TVector& Position) : TObj(Position) {}
  // Position, size and direction; Health and Damage 10, TimeFactor still 0.
  TUnit(const TVector& Position, const TVector& UnitSize, const TVector& Direction)
      : TObj(Position), Dir(Direction), Size(UnitSize), Health(10), Damage(10) {}

  virtual void Draw();
  virtual void Update();
  virtual void Collide(TUnit& Other);
  virtual void Kill();

  TVector Dir{};
  TVector Size{}; // full width and height of the box (never turned) and of the drawn quad
  std::int16_t Health = 0;
  std::int16_t Damage = 0;
  float Angle = 0; // radians
  std::int32_t Age = 0;
  bool Dead = false; // once set never cleared; the registry frees the unit after its next update
  // Speed of the next update: 0 in a new unit, so slowed units stand still in their first
  // update; time fields lower it, and the units that read it set it back to 1.
  float TimeFactor = 0;

protected:
  // The base quad: a triangle strip of Size centred on the current origin.
  void DrawQuad() const;
  // Saves the matrix, moves to (x, y), turns by Angle and draws the base quad; restores.
  void DrawQuadAt(long double x, long double y);
};
