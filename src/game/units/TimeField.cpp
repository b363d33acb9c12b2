// Time fields: thrown by the player, they fly, grow, spin and slow what they overlap.
#include "Units.h"

#include "GlApi.h"

#include "game/model/Map.h"
#include "game/model/Registry.h"
#include "game/shared/SoundEvents.h"
#include "game/shared/Textures.h"

namespace {

// Value + Value * Rate in extended precision, stored as a 32-bit value.
float Grown(float Value, long double Rate) {
  return static_cast<float>(Value + Value * Rate);
}

} // namespace

void TTimeField::Setup(bool Negative, bool Strong) {
  AddUnit(this);
  SpinNegative = Negative;
  Angle = Player->Angle;
  SlowFactor = Strong ? 0.02f : 0.09f;
}

void TTimeField::Update() {
  FieldAge = static_cast<std::int16_t>(static_cast<std::uint16_t>(FieldAge) + 1);
  if (FieldAge >= 400) {
    ReportSound(TSound::FieldEnd, Pos.x, Pos.y);
    Dead = true;
    return;
  }
  if (FieldAge < 30) {
    // Flight: 6 pixels a tick along the throw, opening up. No wall stops a field.
    Pos.x = static_cast<float>(Pos.x + static_cast<long double>(Dir.x) * 6);
    Pos.y = static_cast<float>(Pos.y + static_cast<long double>(Dir.y) * 6);
    Size.x = Grown(Size.x, 0.05L);
    Size.y = Grown(Size.y, 0.04L);
    return;
  }
  if (FieldAge < 300) {
    Size.x = Grown(Size.x, 0.009L);
    Size.y = Grown(Size.y, 0.006L);
  }
  Angle = static_cast<float>(SpinNegative ? Angle - 0.05L : Angle + 0.05L);
}

void TTimeField::Collide(TUnit& Other) {
  // The lowered factor acts on the other unit's next update, which sets it back to 1.
  if (dynamic_cast<TEnemy*>(&Other) != nullptr) {
    Other.TimeFactor = SlowFactor;
  }
  if (dynamic_cast<TBullet*>(&Other) != nullptr) {
    Other.TimeFactor = SlowFactor;
  }
  if (dynamic_cast<TTurret*>(&Other) != nullptr) {
    Other.TimeFactor = SlowFactor;
  }
}

void TTimeField::Draw() {
  glColor3f(1, 1, 1);
  if (FieldAge < 30) {
    glBindTexture(GL_TEXTURE_2D, ShootFieldTexture.TextureName);
  } else {
    glBindTexture(GL_TEXTURE_2D, SlowFieldTexture.TextureName);
  }
  DrawQuadAt(Pos.x, Pos.y);
}
