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

namespace {

SDL_Joystick* Pad;
int Frames, Phase, Ticks, ShutDowns;
float View[2]; // the camera's x before and after the walk
bool BulletFlew, FieldThrown, StartUpHadContext, StartUpWindowShown, ShutDownHadContext = true;
GLint StartUpViewport[4];

void Axis(SDL_GameControllerAxis Which, float Value) {
  SDL_JoystickSetVirtualAxis(Pad, Which, static_cast<Sint16>(Value * 32767));
}

bool PointAt(float x, float y) { // with the left stick, 10 px a frame at most; true once there
  const float dx = x - MouseX, dy = y - MouseY, d = std::hypot(dx, dy);
  Axis(SDL_CONTROLLER_AXIS_LEFTX, d < 8 ? 0 : dx / d);
  Axis(SDL_CONTROLLER_AXIS_LEFTY, d < 8 ? 0 : dy / d);
  return d < 8;
}

void PadStartUp() {
  StartUpHadContext = Platform().HasCurrentContext();
  StartUpWindowShown = (SDL_GetWindowFlags(SDL_GL_GetCurrentWindow()) & SDL_WINDOW_SHOWN) != 0;
  glGetIntegerv(GL_VIEWPORT, StartUpViewport);
  StartUp();
  Pad = SDL_JoystickOpen(SDL_JoystickAttachVirtual(
      SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0));
  Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, -1); // triggers at rest
  Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -1);
}

void PadFrame() {
  GLfloat Camera[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, Camera); // as the last game frame left it
  if (Phase != 1) {                         // onto "Играть" (later "Exit") and A
    const bool There = PointAt(160, Phase ? 285 : 165);
    SDL_JoystickSetVirtualButton(Pad, SDL_CONTROLLER_BUTTON_A, There && CurrentScene == MenuScene);
    Phase += Phase == 0 && CurrentScene == GameScene;
  } else if (++Ticks == 5 || Ticks == 45) { // walk down and to the right; stop and aim down
    View[Ticks / 45] = Camera[12];
    Axis(SDL_CONTROLLER_AXIS_LEFTX, Ticks == 5 ? 0.7f : 0);
    Axis(SDL_CONTROLLER_AXIS_LEFTY, Ticks == 5 ? 0.7f : 0);
    Axis(SDL_CONTROLLER_AXIS_RIGHTY, Ticks == 45);
  } else if (Ticks == 50) { // fire where it aims
    Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1);
  } else if (Ticks == 90 || Ticks == 150 || Ticks == 240) { // stop firing, charge, throw
    Axis(Ticks == 90 ? SDL_CONTROLLER_AXIS_TRIGGERRIGHT : SDL_CONTROLLER_AXIS_TRIGGERLEFT,
         Ticks == 150 ? 1 : -1);
  } else if (Ticks >= 260) { // Start: back to the menu
    SDL_JoystickSetVirtualButton(Pad, SDL_CONTROLLER_BUTTON_START, CurrentScene != MenuScene);
    Phase += CurrentScene == MenuScene;
  }
  for (TUnit* Unit : Units) {
    const auto* Bullet = dynamic_cast<TBullet*>(Unit);
    BulletFlew |= Bullet && Bullet->Owner == "TPlayer" && Bullet->Pos.y > Player->Pos.y + 50;
    FieldThrown |= dynamic_cast<TTimeField*>(Unit) != nullptr;
  }
  DoFrame();
  Done |= ++Frames > 2000; // a pad that does nothing ends the run too
}

void PadShutDown() {
  ++ShutDowns;
  ShutDownHadContext = Platform().HasCurrentContext();
  ShutDown();
}

} // namespace

TEST(GameWindow, AVirtualPadPlaysTheGameBetweenStartUpAndShutDown) {
  ResetGameFlow();
  ResetWindowState();
  const bool Ran = RunMainLoop(PadStartUp, PadFrame, PadShutDown);
  FontBase = 0; // the font went with the game's context
  MakeFixtureCurrent();
  ASSERT_TRUE(Ran);
  EXPECT_TRUE(StartUpHadContext);
  EXPECT_TRUE(StartUpWindowShown);
  EXPECT_EQ(StartUpViewport[2], 800) << "the window projection is set before start-up";
  EXPECT_EQ(StartUpViewport[3], 600);
  EXPECT_EQ(CurrentScene, ExitScene) << "A on \"Играть\", Start back to the menu, A on \"Exit\"";
  EXPECT_LT(View[1], View[0] - 50) << "the view moved with the walk";
  EXPECT_TRUE(BulletFlew) << "a bullet of the player's, aimed down by the right stick";
  EXPECT_TRUE(FieldThrown);
  EXPECT_EQ(ShutDowns, 1);
  EXPECT_FALSE(ShutDownHadContext) << "shutdown runs after the context is released";
}

// A set-up that fails half-way (the context: there is no OpenGL 99) leaves no window behind.
TEST(GameWindow, FailedSetUpReleasesWhatItMade) {
  const auto Windows = [] {
    int Count = 0;
    for (Uint32 Id = 1; Id < 100; ++Id) {
      Count += SDL_GetWindowFromID(Id) != nullptr;
    }
    return Count;
  };
  const int Before = Windows();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 99);
  EXPECT_FALSE(RunMainLoop([] {}, [] {}, [] {}));
  SDL_GL_ResetAttributes();
  MakeFixtureCurrent();
  EXPECT_EQ(Windows(), Before);
}

// One unit per pixel at any size; a zero height gives a one-pixel-high view, not a degenerate one.
TEST(GameWindow, SizeMessagesSetTheViewAndAZeroHeightGivesOnePixel) {
  WindowProc(nullptr, WM_SIZE, 0, MakeLParam(1024, 0));
  GLint Viewport[4];
  GLfloat Projection[16];
  glGetIntegerv(GL_VIEWPORT, Viewport);
  glGetFloatv(GL_PROJECTION_MATRIX, Projection);
  EXPECT_EQ(Viewport[2], 1024);
  EXPECT_EQ(Viewport[3], 1);
  EXPECT_FLOAT_EQ(Projection[0], 2.0f / 1024);
  EXPECT_FLOAT_EQ(Projection[5], -2.0f);
  ResetFrame();
}
