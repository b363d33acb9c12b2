// The player: aims at the mouse, fires, charges and throws time fields, walks against the walls.
#include "Units.h"

#include "GlApi.h"

#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/model/Map.h"
#include "game/model/Registry.h"
#include "game/shared/GameFlow.h"
#include "game/shared/SoundEvents.h"
#include "game/shared/Textures.h"

#include <cmath>

namespace {

std::int16_t Increment16(std::int16_t Value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(Value) + 1);
}

// Coordinate + Step in extended precision, stored back as a 32-bit value.
float Stepped(float Coordinate, long double Step) {
  return static_cast<float>(Coordinate + Step);
}

} // namespace

void TPlayer::Update() {
  // Aim at the mouse, seen from the view's centre where the player is drawn. With the mouse
  // exactly on the centre there is no direction: Angle and Dir keep their previous values.
  const float dx = static_cast<float>(MouseX - ViewCentreX);
  const float dy = static_cast<float>(MouseY - ViewCentreY);
  const float d = static_cast<float>(
      std::sqrt(static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy));
  if (d != 0 && AimAngle(dx, dy, Angle)) {
    Dir.x = static_cast<float>(static_cast<long double>(dx) / d);
    Dir.y = static_cast<float>(static_cast<long double>(dy) / d);
  }

  // Fire on every 21st tick while the left button is held. Firing comes before walking, so the
  // bullet starts where the player stood.
  ShotTicks = Increment16(ShotTicks);
  if (MouseLeft && ShotTicks > 20) {
    ThrowTicks = 0;
    ShotTicks = 0;
    auto* Bullet =
        new TBullet(MakeVector(Pos.x, Pos.y, 1), MakeVector(5, 15, 1), MakeVector(Dir.x, Dir.y, 0));
    Bullet->Setup("TPlayer", 5, Angle);
    ReportSound(TSound::PlayerShot, Pos.x, Pos.y);
  }

  // Charge while the right button is held, once enough ticks have passed since the last shot or
  // throw (every shot resets that count, so steady fire never starts a charge).
  ThrowTicks = Increment16(ThrowTicks);
  if (MouseRight && ThrowTicks > 50) {
    if (!Charging) {
      ReportSound(TSound::FieldCharge, Pos.x, Pos.y);
    }
    Charging = true;
    if (Charge < 100) {
      Charge = static_cast<std::int16_t>(Charge + 1);
    }
  }

  // Releasing the right button throws what has been charged: a weak field up to 71, a strong one
  // from 72.
  if (!MouseRight && Charging) {
    ThrowTicks = 0;
    Charging = false;
    ReportSound(TSound::FieldThrow, Pos.x, Pos.y);
    if (Charge >= 0 && Charge <= 71) {
      auto* Field = new TTimeField(MakeVector(Pos.x, Pos.y, 1), MakeVector(1.5f, 3, 0),
                                   MakeVector(Dir.x, Dir.y, 0));
      Field->Setup(true, false);
    }
    if (Charge >= 72 && Charge <= 100) {
      auto* Field = new TTimeField(MakeVector(Pos.x, Pos.y, 1), MakeVector(3, 7, 0),
                                   MakeVector(Dir.x, Dir.y, 0));
      Field->Setup(true, true);
    }
    Charge = 0;
  }

  // Walk: each key probes the single point 32 pixels ahead, from the position the keys before it
  // left, so the box may still clip a wall corner diagonally.
  constexpr long double Probe = 32;
  constexpr long double Step = 3;
  if (Keys[KeyLeft] && Passable(static_cast<float>(Pos.x - Probe), Pos.y)) {
    Pos.x = Stepped(Pos.x, -Step);
  }
  if (Keys[KeyRight] && Passable(static_cast<float>(Pos.x + Probe), Pos.y)) {
    Pos.x = Stepped(Pos.x, Step);
  }
  if (Keys[KeyUp] && Passable(Pos.x, static_cast<float>(Pos.y - Probe))) {
    Pos.y = Stepped(Pos.y, -Step);
  }
  if (Keys[KeyDown] && Passable(Pos.x, static_cast<float>(Pos.y + Probe))) {
    Pos.y = Stepped(Pos.y, Step);
  }
}

void TPlayer::Collide(TUnit& Other) {
  // Enemy and turret bullets vanish on the player; the player takes no harm.
  if (auto* Bullet = dynamic_cast<TBullet*>(&Other);
      Bullet != nullptr && Bullet->Owner == "TEnemy") {
    ReportSound(TSound::PlayerStruck, Pos.x, Pos.y);
    Bullet->Dead = true;
  }
  if (auto* Trap = dynamic_cast<TTrap*>(&Other); Trap != nullptr) {
    Trap->Armed = true;
  }
}

void TPlayer::Draw() {
  glColor3f(1, 1, 1);
  glBindTexture(GL_TEXTURE_2D, PlayerTexture.TextureName);
  // Always at the screen centre, whatever the camera: the camera follows the player.
  glPushMatrix();
  glLoadIdentity();
  glTranslatef(ViewCentreX, ViewCentreY, 0);
  glRotatef(static_cast<float>(Angle / RadiansPerDegree), 0, 0, 1);
  TUnit::Draw();
  glPopMatrix();
}
