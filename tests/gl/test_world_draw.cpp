// The world draw on a real context. No test here loads the pictures, so every unit draws as a
// flat quad in its colour (a texture name of 0 leaves texturing without effect).
#include "GlContext.h"

#include "MyUnit.h"
#include "game/model/Registry.h"
#include "game/scenes/Scenes.h"
#include "game/units/Units.h"
#include "game/world/World.h"

#include "GlApi.h"
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(WorldDraw, CameraOnThePlayerAndUnitsInFrontOfTheMapByLowerSlot) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  ResetFrame();
  GameDrawingState();
  ResetGameFlow();
  NewGame();
  Player->Angle = 0.785398163f; // 45 degrees
  // An enemy under the player, a white player bullet on enemy 1, a sensor below the player.
  auto* Under = new TEnemy(MakeVector(224, 128, 1));
  Under->Setup();
  auto* Bullet = new TBullet(MakeVector(448, 416, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0));
  Bullet->Setup("TPlayer", 5, 0);
  AddUnit(new TSensor(MakeVector(224, 200, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0)));
  UnitSlots = static_cast<std::int32_t>(Units.size());
  WorldDraw();
  const TScreen Screen = ReadScreen();
  glPopAttrib();
  // The grey level of a window pixel, or -1 when it is not grey.
  const auto Grey = [&Screen](int x, int y) {
    const TRgba P = Screen.At(x, y);
    return std::abs(P.r - P.g) <= 1 && std::abs(P.r - P.b) <= 1 ? P.r : -1;
  };
  // The camera puts the level's top-left corner at (176, 172).
  EXPECT_NEAR(Grey(176, 172), 178, 1);
  EXPECT_EQ(Grey(175, 172), 0);
  EXPECT_EQ(Grey(176, 171), 0);
  // The player, white, turned at the centre: 45 pixels out along the axes, not at the corners of
  // the unturned square; in front of the enemy under it, whose corner still shows.
  EXPECT_EQ(Grey(400, 300), 255);
  EXPECT_EQ(Grey(440, 300), 255);
  EXPECT_NEAR(Grey(430, 270), 178, 1);
  EXPECT_NEAR(Grey(423, 323), 153, 1);
  // Enemy 1, under the camera, in front of the map and of the bullet in a later slot.
  EXPECT_NEAR(Grey(448 + 176, 416 + 172), 153, 1);
  // The sensor's picture sits half a tile right and down: window 400..464, 372..436.
  EXPECT_EQ(Grey(460, 432), 255);
  EXPECT_NEAR(Grey(370, 345), 178, 1);
  EXPECT_NEAR(Grey(398, 400), 178, 1);
}

TEST(WorldDraw, AFinishedGameSwitchesToTheScoreSceneAfterItsLastDraw) {
  const SceneProc Marker = [] {};
  ScoreScene = RunScoreScene;
  CurrentScene = Marker;
  for (const bool Over : {false, true}) {
    GameOver = Over;
    WorldDraw();
    EXPECT_EQ(CurrentScene, Over ? ScoreScene : Marker) << Over;
  }
  ResetFrame();
}

} // namespace
