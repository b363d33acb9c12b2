// Whole frames of the game's own scenes with its pictures, written as PPM files: the frames the
// builds on OpenGL 1.1 and on OpenGL ES 3 must draw alike (compare_frames.sh compares them).
#include "GlContext.h"

#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/model/Registry.h"
#include "game/scenes/Scenes.h"
#include "game/shared/Textures.h"
#include "game/units/Units.h"
#include "game/world/World.h"

#include <filesystem>
#include <fstream>

namespace {

std::string Folder;

void Save(const std::string& Name) {
  const TScreen Screen = ReadScreen();
  std::ofstream Out(Folder + "/" + Name + ".ppm", std::ios::binary);
  Out << "P6\n800 600\n255\n";
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      const TRgba P = Screen.At(x, y);
      Out << P.r << P.g << P.b;
    }
  }
}

// The level with the camera at (576, 640): the player, enemies, a turret, sensors and traps in
// view, and beside them bullets of both owners and time fields in flight and grown.
void SetUpLevel() {
  NewGame();
  Player->Pos = MakeVector(576, 640, 1);
  Player->Angle = 2.2f;
  for (std::size_t i = 1; i < Units.size(); ++i) {
    if (Units[i] != nullptr) {
      Units[i]->Angle = 0.37f * static_cast<float>(i);
    }
  }
  auto* Mine = new TBullet(MakeVector(500, 560, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0));
  Mine->Setup("TPlayer", 5, 0.5f);
  auto* Theirs = new TBullet(MakeVector(660, 700, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0));
  Theirs->Setup("TEnemy", 5, -1.2f);
  auto* Flying =
      new TTimeField(MakeVector(420, 480, 1), MakeVector(60, 48, 0), MakeVector(0, 0, 0));
  Flying->Setup(true, false);
  auto* Grown =
      new TTimeField(MakeVector(760, 620, 1), MakeVector(190, 150, 0), MakeVector(0, 0, 0));
  Grown->Setup(true, true);
  Grown->FieldAge = 120;
  Grown->Angle = 0.9f;
  UnitSlots = static_cast<std::int32_t>(Units.size());
}

} // namespace

int WriteFrames(const std::string& Into) {
  Folder = Into;
  std::filesystem::create_directories(Folder);
  const auto Scratch = std::filesystem::current_path();
  std::filesystem::current_path(KELTO_RUN_DIR);
  LoadTextures();
  std::filesystem::current_path(Scratch);

  ResetFrame();
  MouseX = 150;
  MouseY = 165;
  RunMenuScene();
  Save("menu");

  ResetFrame();
  SetUpLevel();
  WorldDraw();
  Save("game");
  // Eleven frames on, each trap shows another frame of its lightning.
  for (int i = 0; i < 11; ++i) {
    WorldDraw();
  }
  Save("traps");

  // The game just ended: the score table over the map's picture still bound, then the menu.
  GameOver = true;
  SaveScores = false;
  ScoreTable = {120, 90, 75, 40, 40, 25, 10, 5, 0, -5};
  Score = 42;
  WorldDraw();
  RunScoreScene();
  Save("score");
  GameStarted = true;
  MouseX = 400;
  RunMenuScene();
  Save("menu_after_game");

  // Text tinted by each picture at two texture coordinates, one line off the window's left (its
  // raster position is invalid: nothing of it shows) and one running off the right edge.
  ResetFrame();
  const TTexture* Pictures[] = {
      &PlayerTexture, &EnemyTexture,   &SlowFieldTexture, &ShootFieldTexture, &MapTexture,
      &TurretTexture, &Bullet1Texture, &Bullet2Texture,   &LightningTexture,  &SensorTexture};
  int Line = 30;
  for (const TTexture* Picture : Pictures) {
    for (const float Coordinate : {0.5f, 1.0f}) {
      glBindTexture(GL_TEXTURE_2D, Picture->TextureName);
      glTexCoord2f(Coordinate, Coordinate * 0.25f);
      glColor4f(1, 0.9f, 0.8f, 0.9f);
      PrintText(Coordinate < 1 ? 20 : 420, Line, "kelto \xC8\xE3\xF0\xE0\xF2\xFC 0123");
    }
    Line += 26;
  }
  glColor3f(1, 1, 1);
  PrintText(-5, 560, "never shown");
  PrintText(700, 560, "runs off the edge");
  Save("text");
  return 0;
}
