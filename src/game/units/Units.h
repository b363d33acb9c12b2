// The seven kinds of unit that live in the level.
#pragma once

#include "game/model/Unit.h"

#include <cstdint>
#include <string>

class TBullet : public TUnit {
public:
  using TUnit::TUnit;
  void Setup(const std::string& OwnerName, std::int16_t HitDamage, float Facing);
  void Draw() override;
  void Update() override;
  void Collide(TUnit& Other) override;
  void Kill() override {}

  std::string Owner;
  // The time factor of its last move: the place's factor as its sounds are heard (the collision
  // pass, where a hit happens, finds TimeFactor already set back to 1).
  float MovedFactor = 1;
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
  // Heard as a strike whenever the last drawn frame began the lightning's cycle anew.
  void Update() override;
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

  // Nothing sets it: the player arms a trap by touching it, and every trap starts armed, so a
  // sensor's update never changes anything in play. Kept on purpose, with the rule it guards.
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
