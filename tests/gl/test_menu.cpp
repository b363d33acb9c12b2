// The menu and its button widget, drawn for real and read back.
#include "GlContext.h"

#include "FontUnit.h"
#include "OGLWnd.h"
#include "game/model/Registry.h"
#include "game/scenes/Scenes.h"
#include "game/units/Units.h"
#include "game/world/World.h"

#include "GlApi.h"
#include <gtest/gtest.h>

#include <tuple>

#include <cstdlib>

namespace {

void MarkerScene() {}
void OtherScene() {}

// Start-up's fixed drawing state, with the depth test on as the first printed label leaves it.
void GameDrawingState() {
  SetFixedDrawingState();
  glEnable(GL_DEPTH_TEST);
}

bool Near(int Value, int Expected) {
  return std::abs(Value - Expected) <= 2;
}

class MenuTest : public testing::Test {
protected:
  void SetUp() override {
    if (FontBase == 0) {
      BuildFont();
    }
    ResetWindowState();
    ResetFrame();
    GameDrawingState();
    CurrentScene = OtherScene;
  }
  void Pointer(int x, int y) {
    MouseX = x;
    MouseY = y;
  }
  bool DrawButton() { return Button(MarkerScene, "Exit", 110, 150, 100, 30); }
};

} // namespace

TEST_F(MenuTest, IdleAndHoveredLooks) {
  Pointer(400, 400);
  DrawButton();
  // 0.7 grey at alpha 0.3 over black.
  TRgba Idle = ReadPixel(200, 155);
  for (const int Channel : {Idle.r, Idle.g, Idle.b}) {
    EXPECT_NEAR(Channel, 54, 2);
  }
  EXPECT_EQ(ReadPixel(107, 165).r, 0) << "no growth while idle";

  ResetFrame();
  Pointer(200, 170);
  DrawButton();
  // White at alpha 0.6, five pixels wider on both sides.
  const TRgba Hovered = ReadPixel(200, 155);
  EXPECT_TRUE(Near(Hovered.r, 153)) << int(Hovered.r);
  EXPECT_TRUE(Near(ReadPixel(107, 165).r, 153));
  EXPECT_TRUE(Near(ReadPixel(213, 165).r, 153));
  EXPECT_EQ(ReadPixel(200, 148).r, 0) << "no taller";
}

TEST_F(MenuTest, EdgesAreOutside) {
  const int Edges[][2] = {{110, 165}, {210, 165}, {150, 150}, {150, 180}};
  for (const auto& Edge : Edges) {
    ResetFrame();
    Pointer(Edge[0], Edge[1]);
    MouseLeft = true;
    EXPECT_FALSE(DrawButton()) << Edge[0] << "," << Edge[1];
    EXPECT_EQ(CurrentScene, OtherScene);
    EXPECT_TRUE(MouseLeft) << "a press outside is not consumed";
    EXPECT_TRUE(Near(ReadPixel(200, 155).r, 54)) << "idle colour on the edge";
  }
}

TEST_F(MenuTest, ClickSwitchesSceneAndIsConsumed) {
  Pointer(111, 151);
  MouseLeft = true;
  EXPECT_TRUE(DrawButton());
  EXPECT_EQ(CurrentScene, MarkerScene);
  EXPECT_FALSE(MouseLeft);
  // Hovering without a press still eats nothing and switches nothing.
  CurrentScene = OtherScene;
  EXPECT_FALSE(DrawButton());
  EXPECT_EQ(CurrentScene, OtherScene);
}

TEST_F(MenuTest, LabelIsPrintedInBlackOverTheRectangle) {
  Pointer(400, 400);
  DrawButton();
  int Dark = 0;
  for (int y = 155; y <= 175; ++y) {
    for (int x = 125; x <= 175; ++x) {
      Dark += ReadPixel(x, y).r < 20 ? 1 : 0;
    }
  }
  EXPECT_GT(Dark, 20) << "glyph pixels of \"Exit\" at (130, 170)";
  GLfloat Colour[4];
  glGetFloatv(GL_CURRENT_COLOR, Colour);
  EXPECT_EQ(Colour[0], 0.0f) << "the colour stays black after the call";
}

TEST_F(MenuTest, FirstFrameStartsAGameAndAClickEntersItWithoutFiring) {
  ResetGameFlow();
  MenuScene = RunMenuScene;
  GameScene = RunGameScene;
  ExitScene = RunExitScene;
  ScoreScene = RunScoreScene;
  SetKeyBindings();
  Pointer(150, 165);
  RunMenuScene();
  ASSERT_NE(Player, nullptr) << "the first menu frame starts a new game";
  EXPECT_FALSE(GameStarted);
  // Only the short "play" button exists: nothing lit at x 250.
  EXPECT_EQ(ReadPixel(250, 153).r, 0);

  MouseLeft = true;
  ResetFrame();
  RunMenuScene();
  EXPECT_EQ(CurrentScene, GameScene);
  EXPECT_FALSE(MouseLeft);

  // The click that entered the game fires nothing, even with the button still held.
  for (int Tick = 0; Tick < 3; ++Tick) {
    CurrentScene();
  }
  for (TUnit* Unit : Units) {
    EXPECT_EQ(dynamic_cast<TBullet*>(Unit) != nullptr &&
                  static_cast<TBullet*>(Unit)->Owner == "TPlayer",
              false);
  }
  EXPECT_TRUE(GameStarted);

  // Back in the menu the first button resumes the game and is 180 wide.
  ResetFrame();
  Pointer(400, 500);
  RunMenuScene();
  EXPECT_TRUE(Near(ReadPixel(250, 153).r, 54));
}
