// The main menu and the immediate-mode button it is made of.
#include "Scenes.h"

#include "FontUnit.h"
#include "OGLWnd.h"
#include "game/shared/SoundEvents.h"
#include "game/world/World.h"

#include "GlApi.h"

#include <algorithm>
#include <cmath>

namespace {

// "Играть" in code page 1251, the encoding of the font's glyph lists.
constexpr std::string_view PlayLabel = "\xC8\xE3\xF0\xE0\xF2\xFC";

// Nearest integer, halves to even.
std::int32_t RoundToInt(float Value) {
  return static_cast<std::int32_t>(std::nearbyint(Value));
}

// The top-left corner of the button the pointer was over at its last draw (none: NaN), so a
// button is heard once as it comes under the pointer. No two buttons of a scene share a corner.
float HoveredX = NAN;
float HoveredY = NAN;

void HearButton(TSound Sound) {
  const TVector Listener = ListenerPosition();
  ReportSound(Sound, Listener.x, Listener.y);
}

} // namespace

bool Button(SceneProc Scene, std::string_view Label, float X, float Y, float Width, float Height) {
  bool Switched = false;
  // The rectangle is drawn in the fixed view space stretched over the client area, so the pointer
  // is taken into that space too: the button answers where it is seen, at every window size.
  const long double PointerX =
      static_cast<long double>(MouseX) * ScreenWidth / std::max(ClientWidth(), 1);
  const long double PointerY =
      static_cast<long double>(MouseY) * ScreenHeight / std::max(ClientHeight(), 1);
  const bool Over = X < PointerX && Y < PointerY &&
                    PointerX < static_cast<long double>(X) + Width &&
                    PointerY < static_cast<long double>(Y) + Height;
  const bool WasOver = HoveredX == X && HoveredY == Y;
  if (Over && !WasOver) {
    HearButton(TSound::ButtonHover);
  }
  if (Over || WasOver) {
    HoveredX = Over ? X : NAN;
    HoveredY = Over ? Y : NAN;
  }
  float Growth = 0;
  if (Over) {
    glColor4f(1, 1, 1, 0.6f);
    Growth = 5;
    if (MouseLeft) {
      CurrentScene = Scene;
      Switched = true;
      HearButton(TSound::ButtonPress);
    }
    // The press is consumed here, so it never reaches the game as a shot.
    MouseLeft = false;
  } else {
    glColor4f(0.7f, 0.7f, 0.7f, 0.3f);
  }

  // The rectangle lives in the fixed view space, stretched over whatever the viewport is.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, ScreenWidth, ScreenHeight, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  // A flat rectangle on every frame, whatever texture the previous scene left bound.
  glDisable(GL_TEXTURE_2D);
  glBegin(GL_QUADS);
  glVertex2f(X - Growth, Y);
  glVertex2f(X - Growth, Y + Height);
  glVertex2f(X + Width + Growth, Y + Height);
  glVertex2f(X + Width + Growth, Y);
  glEnd();
  // The label's position goes through the same space, so it stays on its rectangle.
  glColor3f(0, 0, 0);
  PrintText(RoundToInt(X) + 20, RoundToInt(Y) + 20, Label);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  return Switched;
}

void RunMenuScene() {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (NeedRestart && GameOver) {
    NewGame();
  }
  if (GameStarted) {
    Button(GameScene, "back_to_game", 110, 150, 180, 30);
  } else {
    Button(GameScene, PlayLabel, 110, 150, 100, 30);
  }
  Button(ExitScene, "Exit", 110, 270, 100, 30);
  glColor3f(1, 1, 1);
}
