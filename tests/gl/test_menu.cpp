// The menu and its button widget, drawn for real and read back.
#include "GlContext.h"

#include "OGLWnd.h"
#include "game/model/Registry.h"
#include "game/scenes/Scenes.h"
#include "game/units/Units.h"
#include "game/world/World.h"

#include "GlApi.h"
#include <gtest/gtest.h>

namespace {

void MarkerScene() {}
void OtherScene() {}

// A fresh frame in the game's drawing state, the pointer at (x, y).
void MenuFrame(int x, int y, bool Pressed) {
  ResetFrame();
  GameDrawingState();
  ResetWindowState();
  MouseX = x;
  MouseY = y;
  MouseLeft = Pressed;
}

// Only a pointer strictly inside lights the button (white at alpha 0.6, five pixels wider on both
// sides); a press there switches the scene and is consumed. On the edges and outside it stays idle
// (0.7 grey at alpha 0.3) and leaves the press alone. Its label is printed in black.
TEST(Menu, ButtonAnswersAPointerStrictlyInside) {
  const struct {
    int x, y;
    bool Pressed, Inside;
  } Cases[] = {{400, 400, false, false}, {200, 170, false, true}, {111, 151, true, true},
               {110, 165, true, false},  {210, 165, true, false}, {150, 150, true, false},
               {150, 180, true, false}};
  for (const auto& [x, y, Pressed, Inside] : Cases) {
    MenuFrame(x, y, Pressed);
    CurrentScene = OtherScene;
    EXPECT_EQ(Button(MarkerScene, "Exit", 110, 150, 100, 30), Pressed && Inside) << x << "," << y;
    EXPECT_EQ(CurrentScene == MarkerScene, Pressed && Inside) << x << "," << y;
    EXPECT_EQ(MouseLeft, Pressed && !Inside) << x << "," << y;
    const TScreen Screen = ReadScreen();
    EXPECT_NEAR(Screen.At(200, 155).r, Inside ? 153 : 54, 2) << x << "," << y;
    EXPECT_NEAR(Screen.At(107, 165).r, Inside ? 153 : 0, 2) << x << "," << y;
    EXPECT_NEAR(Screen.At(213, 165).r, Inside ? 153 : 0, 2) << x << "," << y;
    EXPECT_EQ(Screen.At(200, 148).r, 0) << "no taller";
    EXPECT_LT(InkIn(Screen, 125, 155, 175, 175).Count, 51 * 21 - 20) << "\"Exit\" in black";
  }
}

TEST(Menu, FirstFrameStartsAGameAndAClickEntersItWithoutFiring) {
  MenuFrame(150, 165, false);
  ResetGameFlow();
  MenuScene = RunMenuScene;
  GameScene = RunGameScene;
  ScoreScene = RunScoreScene;
  SetKeyBindings();
  RunMenuScene();
  ASSERT_NE(Player, nullptr) << "the first menu frame starts a new game";
  EXPECT_FALSE(GameStarted);
  EXPECT_EQ(ReadScreen().At(250, 153).r, 0) << "only the short \"play\" button";

  MouseLeft = true;
  RunMenuScene();
  EXPECT_EQ(CurrentScene, GameScene);
  // The click that entered the game fires nothing, even with the button still held.
  for (int Tick = 0; Tick < 3; ++Tick) {
    CurrentScene();
  }
  int Shots = 0;
  for (TUnit* Unit : Units) {
    const auto* Bullet = dynamic_cast<TBullet*>(Unit);
    Shots += Bullet != nullptr && Bullet->Owner == "TPlayer";
  }
  EXPECT_EQ(Shots, 0);
  EXPECT_TRUE(GameStarted);

  // Back in the menu the first button resumes the game and is 180 wide.
  MouseX = 400;
  MouseY = 500;
  RunMenuScene();
  EXPECT_NEAR(ReadScreen().At(250, 153).r, 54, 2);
}

} // namespace
