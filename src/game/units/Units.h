// Everything that lives in the level: the object model and the seven kinds of unit.
#pragma once

#include "../../UTypes.h"

#include <cstdint>
#include <string>

class TObj {
public:
  explicit TObj(const TVector& Position) : Pos(Position) {}
  virtual ~TObj() = default;

  TVector Pos;
};

class TUnit : public TObj {
public:
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
  TVector Size{};
  std::int16_t Health = 0;
  std::int16_t Damage = 0;
  float Angle = 0;
  std::int32_t Age = 0;
  bool Dead = false;
  float TimeFactor = 0;

protected:
  // The base quad: a triangle strip of Size centred on the current origin.
  void DrawQuad() const;
  // Saves the matrix, moves to (x, y), turns by Angle and draws the base quad; restores.
  void DrawQuadAt(long double x, long double y);
};

class TBullet : public TUnit {
public:
  using TUnit::TUnit;
  void Setup(const std::string& OwnerName, std::int16_t HitDamage, float Facing);
  void Draw() override;
  void Update() override;
  void Collide(TUnit& Other) override;
  void Kill() override {}

  std::string Owner;
};

class TTimeField : public TUnit {
public:
  using TUnit::TUnit;
  void Setup(bool Negative, bool Strong);
  void Draw() override;
  void Update() override;
  void Collide(TUnit& Other) override;
  void Kill() override {}

  std::int16_t FieldAge = 0;
  float SlowFactor = 0;
  bool SpinNegative = false;
};

class TEnemy : public TUnit {
public:
  using TUnit::TUnit;
  void Setup();
  void Draw() override;
  void Update() override;
  void Kill() override;

  std::int8_t ShotTicks = 0;
};

class TPlayer : public TUnit {
public:
  using TUnit::TUnit;
  void Draw() override;
  void Update() override;
  void Collide(TUnit& Other) override;
  void Kill() override {}

  std::int16_t ShotTicks = 0;
  std::int16_t ThrowTicks = 0;
  std::int16_t Charge = 0;
  bool Charging = false;
};

class TTrap : public TUnit {
public:
  using TUnit::TUnit;
  void Setup();
  void Draw() override;
  void Update() override {}
  // Moves the animation on by one drawn frame and returns the sprite-sheet frame k to show.
  int AdvanceFrame();

  bool Armed = false;
  float Frame = 0;
};

class TSensor : public TUnit {
public:
  using TUnit::TUnit;
  void Draw() override;
  void Update() override;
  void Collide(TUnit&) override {}

  bool Triggered = false;
  TTrap* TrapLink = nullptr; // not owned: the registry owns both units
};

class TTurret : public TUnit {
public:
  using TUnit::TUnit;
  void Setup(bool Flag);
  void Draw() override;
  void Update() override;

  float Spin = 0;
  float FireTimer = 0;
};
