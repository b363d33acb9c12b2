// The player: aims at the mouse, fires, charges and throws time fields, walks against the walls.
#include "Units.h"

#include "MyUnit.h"
#include "OGLWnd.h"
#include "WinMessages.h"
#include "game/scenes/GameFlow.h"
#include "game/scenes/Textures.h"
#include "game/world/World.h"

#include <GL/gl.h>

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
  // 1-3. Aim at the mouse, seen from the screen centre where the player is drawn. With the mouse
  // exactly on the centre there is no direction: Angle and Dir keep their previous values.
  const float dx = static_cast<float>(MouseX - 400);
  const float dy = static_cast<float>(MouseY - 300);
  const float d = static_cast<float>(
      std::sqrt(static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy));
  if (d != 0 && AimAngle(dx, dy, Angle)) {
    Dir.x = static_cast<float>(static_cast<long double>(dx) / d);
    Dir.y = static_cast<float>(static_cast<long double>(dy) / d);
  }

  // 4-5. Fire on every 21st tick while the left button is held.
  ShotTicks = Increment16(ShotTicks);
  if (MouseLeft && ShotTicks > 20) {
    ThrowTicks = 0;
    ShotTicks = 0;
    auto* Bullet =
        new TBullet(MakeVector(Pos.x, Pos.y, 1), MakeVector(5, 15, 1), MakeVector(Dir.x, Dir.y, 0));
    Bullet->Setup("TPlayer", 5, Angle);
  }

  // 6-7. Charge while the right button is held, once enough ticks have passed since the last
  // shot or throw.
  ThrowTicks = Increment16(ThrowTicks);
  if (MouseRight && ThrowTicks > 50) {
    Charging = true;
    if (Charge < 100) {
      Charge = static_cast<std::int16_t>(Charge + 1);
    }
  }

  // 8. Releasing the right button throws what has been charged.
  if (!MouseRight && Charging) {
    ThrowTicks = 0;
    Charging = false;
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

  // 9. Walk: each key probes the point 32 pixels ahead from the position the keys before it left.
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
  glTranslatef(400, 300, 0);
  glRotatef(static_cast<float>(Angle / 0.0174532925L), 0, 0, 1);
  TUnit::Draw();
  glPopMatrix();
}
