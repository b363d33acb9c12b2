// Fixed guns that turn all the time and fire along their facing every 11 ticks.
#include "Units.h"

#include "GlApi.h"

#include "MyUnit.h"
#include "game/model/Map.h"
#include "game/model/Registry.h"
#include "game/shared/SoundEvents.h"
#include "game/shared/Textures.h"

#include <cmath>

namespace {

constexpr long double FullTurn = 6.283185307179586476925L;

} // namespace

void TTurret::Setup(bool Flag) {
  AddUnit(this);
  Size = MakeVector(64, 64, 0);
  Spin = Flag ? 0.1f : -0.1f;
}

void TTurret::Update() {
  // Turn, then keep the facing within one full turn [0, 2 pi) so that it never drifts off
  // into values where 32-bit steps of 0.1 lose their precision.
  Angle = static_cast<float>(Angle + 1 * static_cast<long double>(TimeFactor) * Spin);
  long double Wrapped = Angle;
  if (Wrapped >= FullTurn) {
    Wrapped -= FullTurn;
  } else if (Wrapped < 0) {
    Wrapped += FullTurn;
  }
  Angle = static_cast<float>(Wrapped);

  // The timer counts ticks at any speed; the threshold grows as the time factor falls, and
  // a factor of 0 (the first update) makes it infinite.
  FireTimer = static_cast<float>(FireTimer + 1.0L);
  if (10.0L / TimeFactor < FireTimer) {
    FireTimer = 0;
    // Angle 0 fires up the screen; the bullet starts 40 pixels out along the barrel.
    const long double Sine = std::sin(static_cast<long double>(Angle));
    const long double Cosine = std::cos(static_cast<long double>(Angle));
    auto* Bullet = new TBullet(
        MakeVector(static_cast<float>(Pos.x + 40 * Sine), static_cast<float>(Pos.y - 40 * Cosine),
                   1),
        MakeVector(5, 15, 1), MakeVector(static_cast<float>(Sine), static_cast<float>(-Cosine), 0));
    Bullet->Setup("TEnemy", 5, Angle);
    ReportSound(TSound::TurretShot, Pos.x, Pos.y, TimeFactor);
  }
  TimeFactor = 1;
}

void TTurret::Draw() {
  glColor3f(0.6f, 0.6f, 0.6f);
  glBindTexture(GL_TEXTURE_2D, TurretTexture.TextureName);
  DrawQuadAt(Pos.x, Pos.y);
}
