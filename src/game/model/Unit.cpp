// The base of every unit: the quad it is drawn as, and the moves a unit without rules of its own
// would make.
#include "Unit.h"

#include "GlApi.h"
#include "MyUnit.h"

void TUnit::DrawQuad() const {
  const float HalfWidth = static_cast<float>(static_cast<long double>(Size.x) / 2);
  const float HalfHeight = static_cast<float>(static_cast<long double>(Size.y) / 2);
  // This order faces the viewer under the y-down projection with back faces culled.
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0, 0);
  glVertex2f(-HalfWidth, -HalfHeight);
  glTexCoord2f(0, 1);
  glVertex2f(-HalfWidth, HalfHeight);
  glTexCoord2f(1, 0);
  glVertex2f(HalfWidth, -HalfHeight);
  glTexCoord2f(1, 1);
  glVertex2f(HalfWidth, HalfHeight);
  glEnd();
}

void TUnit::DrawQuadAt(long double x, long double y) {
  glPushMatrix();
  glTranslatef(static_cast<float>(x), static_cast<float>(y), 0);
  glRotatef(static_cast<float>(Angle / RadiansPerDegree), 0, 0, 1);
  TUnit::Draw();
  glPopMatrix();
}

void TUnit::Draw() {
  DrawQuad();
}

void TUnit::Update() {
  // Plain 32-bit arithmetic, unlike every other rule of the world.
  Pos.x += Dir.x;
  Pos.y += Dir.y;
  Pos.z += Dir.z;
}

void TUnit::Collide(TUnit&) {}

void TUnit::Kill() {}
