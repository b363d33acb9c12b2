// Floor sensors and the lightning traps they are linked to.
#include "Units.h"

#include "GlApi.h"
#include "MyUnit.h"

#include "game/model/Map.h"
#include "game/model/Registry.h"
#include "game/shared/SoundEvents.h"
#include "game/shared/Textures.h"

#include <cmath>

void TSensor::Update() {
  if (Triggered && TrapLink != nullptr) {
    TrapLink->Armed = true;
  }
}

void TSensor::Draw() {
  glColor3f(1, 1, 1);
  glBindTexture(GL_TEXTURE_2D, SensorTexture.TextureName);
  // Placed by the top-left corner of its tile: the picture sits half a tile right and down.
  DrawQuadAt(Pos.x + 32.0L, Pos.y + 32.0L);
}

void TTrap::Setup() {
  AddUnit(this);
}

void TTrap::Update() {
  // The draw moves the lightning on; a world step, never run while a demo holds its last frame,
  // hears each new cycle once.
  if (Frame == 1) {
    ReportSound(TSound::TrapFire, static_cast<float>(Pos.x + 32.0L),
                static_cast<float>(Pos.y + 32.0L));
  }
}

int TTrap::AdvanceFrame() {
  Frame = static_cast<float>(Frame + 0.2L);
  // Nearest integer, halves to even (the default rounding mode).
  const int k = static_cast<int>(std::nearbyint(Frame));
  if (Frame > 8) {
    Frame = 1;
  }
  return k;
}

void TTrap::Draw() {
  glColor3f(1, 1, 1);
  glPushMatrix();
  glTranslatef(static_cast<float>(Pos.x + 32.0L), static_cast<float>(Pos.y + 32.0L), 0);
  glRotatef(static_cast<float>(Angle / RadiansPerDegree), 0, 0, 1);
  if (Armed) {
    glBindTexture(GL_TEXTURE_2D, LightningTexture.TextureName);
    const int k = AdvanceFrame();
    // Eight frames side by side along s; this strip runs s along y and t along x, so each frame
    // shows transposed.
    const float s0 = static_cast<float>(k / 8.0L);
    const float s1 = static_cast<float>(k / 8.0L + 0.125L);
    const float HalfWidth = static_cast<float>(static_cast<long double>(Size.x) / 2);
    const float HalfHeight = static_cast<float>(static_cast<long double>(Size.y) / 2);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(s0, 0);
    glVertex2f(-HalfWidth, -HalfHeight);
    glTexCoord2f(s1, 0);
    glVertex2f(-HalfWidth, HalfHeight);
    glTexCoord2f(s0, 1);
    glVertex2f(HalfWidth, -HalfHeight);
    glTexCoord2f(s1, 1);
    glVertex2f(HalfWidth, HalfHeight);
    glEnd();
  }
  glPopMatrix();
}
