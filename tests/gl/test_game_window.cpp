// The real game in a real window and loop, as the frame benchmark runs it: what start-up and
// shutdown find, a virtual pad that plays, a set-up that fails half-way, and the size messages.
#include "GlContext.h"
#include "OGLWnd.h"
#include "Platform.h"
#include "game/model/Registry.h"
#include "game/scenes/Scenes.h"
#include "game/units/Units.h"

#include <SDL.h>

#include <cmath>
#include <tuple>
#include <utility>

namespace {

SDL_Joystick* Pad;
int Frames, Ticks, ShutDowns;
bool InGame, BulletFlew, FieldThrown, WentFullscreen;

void Axis(SDL_GameControllerAxis Which, float Value) {
  SDL_JoystickSetVirtualAxis(Pad, Which, static_cast<Sint16>(Value * 32767));
}

bool PointAt(float x, float y) { // with the left stick, 10 px a frame at most; true once there
  const float dx = x - MouseX, dy = y - MouseY, d = std::hypot(dx, dy);
  Axis(SDL_CONTROLLER_AXIS_LEFTX, d < 8 ? 0 : dx / d);
  Axis(SDL_CONTROLLER_AXIS_LEFTY, d < 8 ? 0 : dy / d);
  return d < 8;
}

// Start-up finds the window shown, its context current and the window projection set.
void PadStartUp() {
  EXPECT_TRUE(Platform().HasCurrentContext());
  EXPECT_NE(SDL_GetWindowFlags(SDL_GL_GetCurrentWindow()) & SDL_WINDOW_SHOWN, 0u);
  GLint Viewport[4];
  glGetIntegerv(GL_VIEWPORT, Viewport);
  EXPECT_EQ(std::tuple(Viewport[2], Viewport[3]), std::tuple(800, 600));
  StartUp();
  Pad = SDL_JoystickOpen(SDL_JoystickAttachVirtual(
      SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0));
  Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, -1); // triggers at rest
  Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -1);
}

void PadFrame() {
  if (!InGame) { // onto "Играть" and A
    SDL_JoystickSetVirtualButton(Pad, SDL_CONTROLLER_BUTTON_A, PointAt(160, 165));
    InGame = CurrentScene == GameScene;
  } else if (++Ticks == 5 || Ticks == 45 || Ticks == 195) { // aim down and fire; charge; throw
    Axis(SDL_CONTROLLER_AXIS_RIGHTY, 1);
    Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, Ticks == 5 ? 1 : -1);
    Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, Ticks == 45 ? 1 : -1);
  } else if (Ticks >= 215) { // Start: back to the menu, which ends the run
    SDL_JoystickSetVirtualButton(Pad, SDL_CONTROLLER_BUTTON_START, 1);
    Done |= CurrentScene == MenuScene;
  }
  for (TUnit* Unit : Units) {
    const auto* Bullet = dynamic_cast<TBullet*>(Unit);
    BulletFlew |= Bullet && Bullet->Owner == "TPlayer" && Bullet->Pos.y > Player->Pos.y + 50;
    FieldThrown |= dynamic_cast<TTimeField*>(Unit) != nullptr;
  }
  if (Frames == 1) { // the auto-repeat of a held F11 switches nothing
    SDL_Event Repeat{
        .key = {SDL_KEYDOWN, 0, 0, SDL_PRESSED, 1, 0, 0, {SDL_SCANCODE_F11, SDLK_F11, 0, 0}}};
    SDL_PushEvent(&Repeat);
  }
  WentFullscreen |= (SDL_GetWindowFlags(SDL_GL_GetCurrentWindow()) & SDL_WINDOW_FULLSCREEN) != 0;
  DoFrame();
  Done |= ++Frames > 2000; // a pad that does nothing ends the run too
}

void PadShutDown() {
  ++ShutDowns;
  EXPECT_FALSE(Platform().HasCurrentContext()) << "shutdown runs after the context is released";
  ShutDown();
}

} // namespace

TEST(GameWindow, AVirtualPadPlaysTheGameBetweenStartUpAndShutDown) {
  ResetFrame();
  const bool Ran = RunMainLoop(PadStartUp, PadFrame, PadShutDown);
  // The font's lists went with the game's context; shutdown, without one, left its number alone.
  EXPECT_NE(std::exchange(FontBase, 0), 0u);
  ResetFrame();
  ASSERT_TRUE(Ran);
  EXPECT_EQ(CurrentScene, MenuScene) << "Start in the game goes back to the menu";
  EXPECT_TRUE(BulletFlew) << "a bullet of the player's, aimed down by the right stick";
  EXPECT_EQ(std::tuple(FieldThrown, WentFullscreen), std::tuple(true, false));
  EXPECT_EQ(ShutDowns, 1);
}

// A set-up that fails half-way (the context: there is no OpenGL 99) leaves no window behind, as
// the game that ran before did not.
TEST(GameWindow, FailedSetUpReleasesWhatItMade) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 99);
  EXPECT_FALSE(RunMainLoop([] {}, [] {}, [] {}));
  SDL_GL_ResetAttributes();
  ResetFrame();
  int Windows = 0;
  for (Uint32 Id = 1; Id < 100; ++Id) {
    Windows += SDL_GetWindowFromID(Id) != nullptr;
  }
  EXPECT_EQ(Windows, 1) << "the tests' own only";
}

// One unit per pixel at any size; a zero height gives a one-pixel-high view, not a degenerate one.
TEST(GameWindow, SizeMessagesSetTheViewAndAZeroHeightGivesOnePixel) {
  WindowProc(nullptr, WM_SIZE, 0, MakeLParam(1024, 0));
  GLint Viewport[4];
  GLfloat Projection[16];
  glGetIntegerv(GL_VIEWPORT, Viewport);
  glGetFloatv(GL_PROJECTION_MATRIX, Projection);
  EXPECT_EQ(std::tuple(Viewport[2], Viewport[3]), std::tuple(1024, 1));
  EXPECT_FLOAT_EQ(Projection[0], 2.0f / 1024);
  EXPECT_FLOAT_EQ(Projection[5], -2.0f);
  ResetFrame();
}
