// The world draw on a real context: the camera, the player at the centre, units in front of the
// map and of each other by slot, the shifted sensor and trap pictures, the quads' winding and
// texture coordinates. Pictures are not loaded here, so every unit draws as a flat quad in its
// colour (a texture name of 0 leaves texturing without effect).
#include "GlContext.h"

#include "../unit/WorldFixture.h"
#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/scenes/GameFlow.h"
#include "game/scenes/Textures.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>

namespace {

TTexture* const Records[] = {&PlayerTexture,    &EnemyTexture,      &SlowFieldTexture,
                             &FastFieldTexture, &ShootFieldTexture, &MapTexture,
                             &TurretTexture,    &Bullet1Texture,    &Bullet2Texture,
                             &LightningTexture, &SensorTexture};

constexpr int MapGrey = 178;  // 0.7 of full intensity
constexpr int UnitGrey = 153; // 0.6

bool Grey(const TRgba& Pixel, int Level) {
  return std::abs(Pixel.r - Level) <= 1 && std::abs(Pixel.g - Level) <= 1 &&
         std::abs(Pixel.b - Level) <= 1;
}

class WorldDrawTest : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    for (std::size_t i = 0; i < std::size(Records); ++i) {
      Names[i] = Records[i]->TextureName;
      Records[i]->TextureName = 0;
    }
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    ResetFrame();
    // Start-up's fixed state, with the depth test on as the printed menu labels leave it.
    glEnable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
  }
  void TearDown() override {
    glPopAttrib();
    ResetFrame();
    for (std::size_t i = 0; i < std::size(Records); ++i) {
      Records[i]->TextureName = Names[i];
    }
    WorldTest::TearDown();
  }
  // A world of the player alone, at Position.
  static void PlayerAt(float x, float y) {
    Player = new TPlayer(MakeVector(x, y, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
    AddUnit(Player);
  }
  // Draws the world as the game scene does after a step that took the current slots.
  static void Draw() {
    UnitSlots = static_cast<std::int32_t>(Units.size());
    WorldDraw();
  }

  std::array<std::uint32_t, 11> Names{};
};

TEST_F(WorldDrawTest, CameraPutsTheStartAtTheCentreAndTheMapCornerAt176And172) {
  NewGame();
  Draw();
  EXPECT_TRUE(Grey(ReadPixel(176, 172), MapGrey));
  EXPECT_TRUE(Grey(ReadPixel(175, 172), 0));
  EXPECT_TRUE(Grey(ReadPixel(176, 171), 0));
  // The player, white, at the centre.
  EXPECT_TRUE(Grey(ReadPixel(400, 300), 255));
  EXPECT_TRUE(Grey(ReadPixel(369, 269), 255));
  EXPECT_TRUE(Grey(ReadPixel(367, 300), MapGrey));
  // Enemy 1 at level (448, 416), in front of the map.
  EXPECT_TRUE(Grey(ReadPixel(448 + 176, 416 + 172), UnitGrey));
  // Turret 1 at level (320, 224): window (496, 396).
  EXPECT_TRUE(Grey(ReadPixel(496, 396), UnitGrey));
}

TEST_F(WorldDrawTest, PlayerIsDrawnAtTheCentreWhereverTheCameraIs) {
  PlayerAt(900, 700);
  Player->Angle = static_cast<float>(3.14159265358979L / 4); // 45 degrees
  Draw();
  EXPECT_TRUE(Grey(ReadPixel(400, 300), 255));
  // A 64-pixel square turned by 45 degrees reaches 45 pixels out along the axes...
  EXPECT_TRUE(Grey(ReadPixel(440, 300), 255));
  EXPECT_TRUE(Grey(ReadPixel(400, 340), 255));
  // ...but leaves the corners of the unturned square.
  EXPECT_TRUE(Grey(ReadPixel(430, 270), MapGrey));
  // The map moved with the camera: its corner is at (400 - 900, 300 - 700), out of sight, and
  // the level's bottom-right corner (1408, 1152) is at window (908, 752), also out of sight.
  EXPECT_TRUE(Grey(ReadPixel(799, 599), MapGrey));
  // The player's draw leaves the camera in place for the units after it.
  auto* Enemy = new TEnemy(MakeVector(900 + 200, 700, 1));
  Enemy->Setup();
  Draw();
  EXPECT_TRUE(Grey(ReadPixel(600, 300), UnitGrey));
}

TEST_F(WorldDrawTest, LowerSlotStaysInFrontWhereUnitsOverlap) {
  PlayerAt(224, 128);
  auto* Enemy = new TEnemy(MakeVector(300, 128, 1));
  Enemy->Setup();
  auto* Bullet = new TBullet(MakeVector(300, 128, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0));
  Bullet->Setup("TPlayer", 5, 0);
  ASSERT_LT(SlotOf(Enemy), SlotOf(Bullet));
  Draw();
  EXPECT_TRUE(Grey(ReadPixel(300 + 176, 128 + 172), UnitGrey));
  // The same two units the other way round: the white bullet now shows.
  RemoveUnit(SlotOf(Enemy));
  auto* Later = new TEnemy(MakeVector(300, 128, 1));
  Later->Setup();
  std::swap(Units[1], Units[2]);
  ASSERT_LT(SlotOf(Bullet), SlotOf(Later));
  Draw();
  EXPECT_TRUE(Grey(ReadPixel(300 + 176, 128 + 172), 255));
  EXPECT_TRUE(Grey(ReadPixel(300 + 176 + 10, 128 + 172), UnitGrey));
}

TEST_F(WorldDrawTest, SensorAndTrapAreDrawnHalfATileRightAndDown) {
  PlayerAt(224, 128);
  auto* Sensor = new TSensor(MakeVector(224, 200, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  AddUnit(Sensor);
  Draw();
  // Drawn over window x 400..464, y 372..436 instead of 368..432, 340..404.
  EXPECT_TRUE(Grey(ReadPixel(460, 432), 255));
  EXPECT_TRUE(Grey(ReadPixel(370, 345), MapGrey));
  EXPECT_TRUE(Grey(ReadPixel(398, 400), MapGrey));

  auto* Trap = new TTrap(MakeVector(480, 128, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
  Trap->Setup();
  Draw();
  // Not armed: nothing drawn, and the animation stands still.
  EXPECT_TRUE(Grey(ReadPixel(480 + 32 + 176, 128 + 32 + 172), MapGrey));
  EXPECT_EQ(Trap->Frame, 0);
  Trap->Armed = true;
  Draw();
  Draw();
  EXPECT_TRUE(Grey(ReadPixel(480 + 32 + 176 + 30, 128 + 32 + 172 + 30), 255));
  EXPECT_TRUE(Grey(ReadPixel(480 + 176 - 20, 128 + 172 - 20), MapGrey));
  EXPECT_FLOAT_EQ(Trap->Frame, 0.4f);
}

TEST_F(WorldDrawTest, GameOverLeadsToTheScoreScene) {
  PlayerAt(224, 128);
  ScoreScene = [] {};
  CurrentScene = nullptr;
  GameOver = false;
  Draw();
  EXPECT_EQ(CurrentScene, nullptr);
  GameOver = true;
  Draw();
  EXPECT_EQ(CurrentScene, ScoreScene);
  ScoreScene = nullptr;
  CurrentScene = nullptr;
}

// Vertices of the triangles drawn by Action, read back through feedback: window x, window y
// (counted from the top), texture s and t.
struct TFedVertex {
  float x, y, s, t;
};
std::vector<std::vector<TFedVertex>> Feedback(void (*Action)()) {
  std::vector<GLfloat> Buffer(4096);
  glFeedbackBuffer(static_cast<GLsizei>(Buffer.size()), GL_3D_COLOR_TEXTURE, Buffer.data());
  glRenderMode(GL_FEEDBACK);
  Action();
  const GLint Size = glRenderMode(GL_RENDER);
  std::vector<std::vector<TFedVertex>> Polygons;
  // Each vertex: x y z, r g b a, s t r q.
  for (GLint i = 0; i < Size;) {
    if (Buffer[static_cast<std::size_t>(i)] != GL_POLYGON_TOKEN) {
      ADD_FAILURE() << "unexpected feedback token " << Buffer[static_cast<std::size_t>(i)];
      break;
    }
    const int Count = static_cast<int>(Buffer[static_cast<std::size_t>(i) + 1]);
    i += 2;
    std::vector<TFedVertex> Polygon;
    for (int v = 0; v < Count; ++v, i += 11) {
      const GLfloat* V = &Buffer[static_cast<std::size_t>(i)];
      Polygon.push_back(TFedVertex{V[0], 600 - V[1], V[7], V[8]});
    }
    Polygons.push_back(Polygon);
  }
  return Polygons;
}

bool HasVertex(const std::vector<std::vector<TFedVertex>>& Polygons, float x, float y, float s,
               float t) {
  for (const auto& Polygon : Polygons) {
    for (const TFedVertex& V : Polygon) {
      if (std::fabs(V.x - x) < 0.01f && std::fabs(V.y - y) < 0.01f && std::fabs(V.s - s) < 1e-6f &&
          std::fabs(V.t - t) < 1e-6f) {
        return true;
      }
    }
  }
  return false;
}

TEST_F(WorldDrawTest, BaseQuadFacesTheViewerWithItsTextureCoordinates) {
  // Both triangles of the strip survive back-face culling.
  const auto Polygons = Feedback([] {
    glLoadIdentity();
    glTranslatef(100, 100, 0);
    TUnit Unit(MakeVector(0, 0, 1), MakeVector(64, 48, 0), MakeVector(0, 0, 0));
    Unit.Draw();
  });
  ASSERT_EQ(Polygons.size(), 2u);
  EXPECT_TRUE(HasVertex(Polygons, 68, 76, 0, 0));
  EXPECT_TRUE(HasVertex(Polygons, 68, 124, 0, 1));
  EXPECT_TRUE(HasVertex(Polygons, 132, 76, 1, 0));
  EXPECT_TRUE(HasVertex(Polygons, 132, 124, 1, 1));
}

TEST_F(WorldDrawTest, TrapStripRunsTheSheetAlongYAndAdvancesPerDraw) {
  const auto First = Feedback([] {
    glLoadIdentity();
    TTrap Trap(MakeVector(100, 100, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
    Trap.Armed = true;
    Trap.Draw(); // Frame 0.2: k = 0
  });
  ASSERT_EQ(First.size(), 2u);
  // Centred half a tile right and down of its position: (132, 132).
  EXPECT_TRUE(HasVertex(First, 100, 100, 0, 0));
  EXPECT_TRUE(HasVertex(First, 100, 164, 0.125f, 0));
  EXPECT_TRUE(HasVertex(First, 164, 100, 0, 1));
  EXPECT_TRUE(HasVertex(First, 164, 164, 0.125f, 1));
  const auto Later = Feedback([] {
    glLoadIdentity();
    TTrap Trap(MakeVector(100, 100, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0));
    Trap.Armed = true;
    for (int i = 0; i < 40; ++i) {
      Trap.Draw(); // the 40th draw shows frame 8
    }
  });
  ASSERT_EQ(Later.size(), 80u);
  const std::vector<std::vector<TFedVertex>> Last(Later.end() - 2, Later.end());
  EXPECT_TRUE(HasVertex(Last, 100, 100, 1, 0));
  EXPECT_TRUE(HasVertex(Last, 100, 164, 1.125f, 0));
}

TEST_F(WorldDrawTest, AnglesAreTurnedIntoDegrees) {
  // An enemy facing pi/2 is turned by a quarter turn: its 48 x 48 quad keeps its corners, but the
  // corner that had texture (0, 0) moves from the top left to the top right on screen.
  const auto Polygons = Feedback([] {
    glLoadIdentity();
    TEnemy Enemy(MakeVector(200, 200, 1));
    Enemy.Size = MakeVector(48, 48, 0);
    Enemy.Angle = static_cast<float>(3.14159265358979L / 2);
    Enemy.Draw();
  });
  ASSERT_EQ(Polygons.size(), 2u);
  EXPECT_TRUE(HasVertex(Polygons, 224, 176, 0, 0));
  EXPECT_TRUE(HasVertex(Polygons, 176, 176, 0, 1));
}

} // namespace
