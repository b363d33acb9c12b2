// Stationary gunners that fire at the player within 400 pixels.
#include "Units.h"

#include "GlApi.h"

#include "MyUnit.h"
#include "game/model/Map.h"
#include "game/model/Registry.h"
#include "game/shared/SoundEvents.h"
#include "game/shared/Textures.h"

#include <cmath>

void TEnemy::Setup() {
  AddUnit(this);
  Health = 10;
  Damage = 4;
  Size = MakeVector(48, 48, 0);
}

void TEnemy::Update() {
  if (Health <= 0) {
    Kill();
    return;
  }
  const float dx = static_cast<float>(static_cast<long double>(Player->Pos.x) - Pos.x);
  const float dy = static_cast<float>(static_cast<long double>(Player->Pos.y) - Pos.y);
  const float d = static_cast<float>(
      std::sqrt(static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy));
  ShotTicks = static_cast<std::int8_t>(static_cast<std::uint8_t>(ShotTicks) + 1);
  // A time factor of 0 makes the threshold infinite (floating-point exceptions stay masked).
  if (d < 400 && static_cast<long double>(ShotTicks) > 20.0L / TimeFactor) {
    // With the player exactly on the enemy's centre there is no direction: the enemy keeps its
    // facing and the bullet gets no direction (the player removes it at once).
    AimAngle(dx, dy, Angle);
    ShotTicks = 0;
    TVector BulletDir = MakeVector(0, 0, 0);
    if (d != 0) {
      BulletDir = MakeVector(static_cast<float>(static_cast<long double>(dx) / d),
                             static_cast<float>(static_cast<long double>(dy) / d), 0);
    }
    auto* Bullet =
        new TBullet(MakeVector(static_cast<float>(static_cast<long double>(Pos.x) + Dir.x),
                               static_cast<float>(static_cast<long double>(Pos.y) + Dir.y), 1),
                    MakeVector(5, 15, 1), BulletDir);
    Bullet->Setup("TEnemy", 5, Angle);
    ReportSound(TSound::EnemyShot, Pos.x, Pos.y, TimeFactor);
  }
  TimeFactor = 1;
}

void TEnemy::Kill() {
  ReportSound(TSound::EnemyDestroyed, Pos.x, Pos.y, TimeFactor);
  Dead = true;
}

void TEnemy::Draw() {
  glColor3f(0.6f, 0.6f, 0.6f);
  glBindTexture(GL_TEXTURE_2D, EnemyTexture.TextureName);
  DrawQuadAt(Pos.x, Pos.y);
}
