// A virtual pad plays the real game (start-up, scenes and the paced loop in a real window, as the
// frame benchmark runs them): it presses the menu's buttons, walks, aims, fires and throws.
#include "GlContext.h"
#include "OGLWnd.h"
#include "game/model/Registry.h"
#include "game/scenes/Scenes.h"
#include "game/units/Units.h"

#include "FontUnit.h"
#include "GlApi.h"
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

SDL_Joystick* Pad;
int Frames, Phase, Ticks;
float View[2]; // the camera's x before and after the walk
bool BulletFlew, FieldThrown;

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

} // namespace

TEST(GamepadGame, AVirtualPadPressesButtonsWalksAimsFiresAndThrows) {
  const std::filesystem::path OldDir = std::filesystem::current_path();
  std::string Dir = (std::filesystem::temp_directory_path() / "kelto-pad-XXXXXX").string();
  ASSERT_NE(mkdtemp(Dir.data()), nullptr);
  std::filesystem::current_path(Dir); // for the score file
  ResetGameFlow();
  ResetWindowState();
  const bool Ran = RunMainLoop(PadStartUp, PadFrame, ShutDown);
  FontBase = 0; // the font went with the game's context
  MakeFixtureCurrent();
  std::filesystem::current_path(OldDir);
  std::filesystem::remove_all(Dir);
  ASSERT_TRUE(Ran);
  EXPECT_EQ(CurrentScene, ExitScene) << "A on \"Играть\", Start back to the menu, A on \"Exit\"";
  EXPECT_LT(View[1], View[0] - 50) << "the view moved with the walk";
  EXPECT_TRUE(BulletFlew) << "a bullet of the player's, aimed down by the right stick";
  EXPECT_TRUE(FieldThrown);
}
