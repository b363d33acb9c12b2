// Bullets of the player, the enemies and the turrets.
#include "Units.h"

#include "GlApi.h"

#include "game/model/Map.h"
#include "game/model/Registry.h"
#include "game/shared/GameFlow.h"
#include "game/shared/SoundEvents.h"
#include "game/shared/Textures.h"

void TBullet::Setup(const std::string& OwnerName, std::int16_t HitDamage, float Facing) {
  AddUnit(this);
  Damage = HitDamage;
  Angle = Facing;
  Owner = OwnerName;
}

void TBullet::Update() {
  // 10 pixels per tick scaled by the time factor: a new bullet (factor 0) stays put once.
  Pos.x = static_cast<float>(Pos.x + static_cast<long double>(Dir.x) * 10 * TimeFactor);
  Pos.y = static_cast<float>(Pos.y + static_cast<long double>(Dir.y) * 10 * TimeFactor);
  ++Age;
  if (!Passable(Pos.x, Pos.y)) {
    if (!Dead) {
      ReportSound(TSound::WallHit, Pos.x, Pos.y, TimeFactor);
    }
    Dead = true;
  }
  if (Age > 100) {
    Dead = true;
  }
  MovedFactor = TimeFactor;
  TimeFactor = 1;
}

void TBullet::Collide(TUnit& Other) {
  // Only the player's bullets hurt, and only enemies. Dead is not consulted: a bullet that has
  // already hit in this pass still hits every further enemy it overlaps.
  if (Owner == "TPlayer" && dynamic_cast<TEnemy*>(&Other) != nullptr) {
    ReportSound(TSound::UnitHit, Pos.x, Pos.y, MovedFactor);
    Other.Health = static_cast<std::int16_t>(Other.Health - Damage);
    Dead = true;
    Score = static_cast<std::int32_t>(static_cast<std::uint32_t>(Score) + 1);
  }
}

void TBullet::Draw() {
  glColor3f(1, 1, 1);
  if (Owner == "TPlayer") {
    glBindTexture(GL_TEXTURE_2D, Bullet1Texture.TextureName);
  }
  if (Owner == "TEnemy") {
    glBindTexture(GL_TEXTURE_2D, Bullet2Texture.TextureName);
  }
  DrawQuadAt(Pos.x, Pos.y);
}
