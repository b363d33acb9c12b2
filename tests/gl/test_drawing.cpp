// Drawing on the fixture's context, read back from the screen: pictures on quads, the world, text,
// the menu's buttons and the score scene.
#include "GlContext.h"

#include "MyUnit.h"
#include "OGLWnd.h"
#include "Platform.h"
#include "game/model/Registry.h"
#include "game/scenes/Scenes.h"
#include "game/units/Units.h"
#include "game/world/World.h"

#include <filesystem>
#include <fstream>
#include <tuple>

namespace {

// Loads Path and draws its texture stretched over a Width x Height quad at the top-left in the
// game's drawing state.
bool LoadAndDraw(const std::string& Path, int Width, int Height) {
  TTexture Texture;
  const bool Loaded = LoadTextureFile(Texture, Path);
  ResetFrame();
  glBindTexture(GL_TEXTURE_2D, Texture.TextureName);
  glBegin(GL_TRIANGLE_STRIP);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2i(i / 2, i % 2);
    glVertex2i(i / 2 * Width, i % 2 * Height);
  }
  glEnd();
  return Loaded;
}

TEST(Textures, LoadedPicturesShowTheirTexelsInFileOrder) {
  // The bytes after the header (width, height, depth, descriptor, B G R (A) pixels), then the
  // texels as R G B A: 24-bit rows are 3 bytes unpadded and opaque; top-down bit, footer ignored.
  const std::pair<std::vector<int>, std::vector<int>> Cases[] = {
      {{2, 0, 2, 0, 32, 0, 10, 20, 200, 128, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0, 0},
       {200, 20, 10, 128, 255, 0, 0, 255, 0, 0, 255, 255, 0, 255, 0, 0}},
      {{1, 0, 2, 0, 24, 0x20, 0, 0, 255, 255, 0, 0, 9, 9}, {255, 0, 0, 255, 0, 0, 255, 255}},
  };
  glColor3f(1, 1, 1);
  for (const auto& [Data, Texels] : Cases) {
    std::ofstream("picture.tga", std::ios::binary)
        << std::string("\0\0\2\0\0\0\0\0\0\0\0\0", 12) << std::string(Data.begin(), Data.end());
    const int Width = Data[0], Height = Data[2];
    ASSERT_TRUE(LoadAndDraw("picture.tga", 100 * Width, 100 * Height));
    const TScreen Screen = ReadScreen();
    // 100 x 100 pixels each, first row at the top, blended over black by their alpha.
    for (int i = 0; i < Width * Height; ++i) {
      const TRgba P = Screen.At(i % Width * 100 + 50, i / Width * 100 + 50);
      const int Drawn[] = {P.r, P.g, P.b};
      for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(Drawn[c], Texels[4 * i + c] * Texels[4 * i + 3] / 255, 3) << i << ", " << c;
      }
    }
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// No picture is loaded here, so every unit draws as a flat quad in its colour.
TEST(WorldDraw, CameraOnThePlayerAndUnitsInFrontOfTheMapByLowerSlot) {
  ResetFrame();
  NewGame();
  Player->Angle = 0.785398163f; // 45 degrees
  // An enemy under the player, a white player bullet on enemy 1, a sensor below the player.
  auto* Under = new TEnemy(MakeVector(224, 128, 1));
  Under->Setup();
  auto* Bullet = new TBullet(MakeVector(448, 416, 1), MakeVector(5, 15, 1), MakeVector(0, 0, 0));
  Bullet->Setup("TPlayer", 5, 0);
  AddUnit(new TSensor(MakeVector(224, 200, 1), MakeVector(64, 64, 0), MakeVector(0, 0, 0)));
  UnitSlots = static_cast<std::int32_t>(Units.size());
  const SceneProc Marker = [] {};
  ScoreScene = RunScoreScene;
  CurrentScene = Marker;
  WorldDraw();
  EXPECT_EQ(CurrentScene, Marker) << "a game on";
  const TScreen Screen = ReadScreen();
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
  EXPECT_EQ(Grey(440, 300), 255);
  EXPECT_NEAR(Grey(430, 270), 178, 1);
  EXPECT_NEAR(Grey(423, 323), 153, 1);
  // Enemy 1, under the camera, in front of the map and of the bullet in a later slot.
  EXPECT_NEAR(Grey(448 + 176, 416 + 172), 153, 1);
  // The sensor's picture sits half a tile right and down: window 400..464, 372..436.
  EXPECT_EQ(Grey(460, 432), 255);
  EXPECT_NEAR(Grey(398, 400), 178, 1);
  // A finished game's last frame is drawn, then the score scene follows.
  GameOver = true;
  WorldDraw();
  EXPECT_EQ(CurrentScene, ScoreScene);
}

TEST(Font, CyrillicLabelStandsOnItsLineWithEvenAdvances) {
  // Ten H's are nine advances wider than one; narrow and wide letters advance alike, while 0x98
  // (no character in the code page) and 255 (past the block of lists) neither draw nor advance.
  const int Step =
      (InkIn(Printed(100, 300, "HHHHHHHHHH")).Right - InkIn(Printed(100, 300, "H")).Right) / 9;
  EXPECT_NEAR(Step, 11, 2);
  const TScreen Wide = Printed(100, 300, "MMMMMH");
  EXPECT_EQ(InkIn(Printed(100, 300, "iiiiiH")).Right, InkIn(Wide).Right);
  EXPECT_EQ(InkIn(Printed(100, 300, "MM\x98MM\xFFMH"), 0, 0, 799, 599, &Wide).Count, 0);
  const TScreen Screen = Printed(130, 170, "\xC8\xE3\xF0\xE0\xF2\xFC"); // Играть
  EXPECT_NEAR(InkIn(Screen).Left, 131.5, 1.5);
  // One letter per cell, upright: each stands on the line but р, whose descender crosses it.
  for (int Glyph = 0; Glyph < 6; ++Glyph) {
    const TInk Cell = InkIn(Screen, 130 + Glyph * Step, 0, 129 + (Glyph + 1) * Step);
    EXPECT_NEAR(Cell.Bottom, Glyph == 2 ? 174 : 169, Glyph == 2 ? 2 : 0) << "glyph " << Glyph;
  }
  EXPECT_LE(InkIn(Screen, 130 + Step, 169, 129 + 2 * Step, 169).Count, 3) << "г stands on its stem";
}

// Whatever the matrices and switches hold, text lands at window pixels in the current colour and
// ends with texturing off, depth testing on and the model-view matrix current.
TEST(Font, PrintsInTheCurrentColourAtWindowPixelsAndLeavesTexturingOffDepthOn) {
  ResetFrame(); // texturing on
  glDisable(GL_DEPTH_TEST);
  glTranslatef(50, 50, 0);
  glMatrixMode(GL_PROJECTION);
  glColor3ub(255, 0, 255);
  PrintText(100, 100, "Exit");
  GLint Mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &Mode);
  EXPECT_EQ(Mode, GL_MODELVIEW);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  const TScreen Screen = ReadScreen();
  EXPECT_EQ(InkIn(Screen).Bottom, 99);
  const auto Stray = [](TRgba P) { return P.g != 0 || P.r != P.b || (P.r != 0 && P.r != 255); };
  EXPECT_EQ(std::count_if(Screen.Pixels.begin(), Screen.Pixels.end(), Stray), 0);
}

// Only a pointer strictly inside lights the button (white at alpha 0.6, 5 pixels wider each side);
// a press there switches the scene and is consumed, never to reach the game as a shot. Elsewhere
// it stays idle (0.7 grey at alpha 0.3) and leaves the press alone. Its label is black.
TEST(Menu, ButtonAnswersAPointerStrictlyInside) {
  const SceneProc MarkerScene = [] {}, OtherScene = [] {};
  const struct {
    int x, y;
    bool Pressed, Inside;
  } Cases[] = {{400, 400, false, false}, {200, 170, false, true}, {111, 151, true, true},
               {110, 165, true, false},  {210, 165, true, false}, {150, 150, true, false},
               {150, 180, true, false}};
  for (const auto& [x, y, Pressed, Inside] : Cases) {
    ResetFrame();
    MouseX = x;
    MouseY = y;
    MouseLeft = Pressed;
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
  ResizeView(1000, 740); // an enlarged window: the pointer (250, 186) is over the button
  std::tie(MouseX, MouseY, MouseLeft) = std::tuple(250, 186, true);
  EXPECT_TRUE(Button(MarkerScene, "Exit", 110, 150, 100, 30));
}

// The menu offers "Играть" before a game and "back_to_game" during one, above "Exit": printing
// each label again in black where it belongs changes nothing.
TEST(Menu, LabelsBeforeAndDuringAGame) {
  for (const auto& [Started, y, Label] :
       {std::tuple{false, 170, "\xC8\xE3\xF0\xE0\xF2\xFC"}, std::tuple{true, 170, "back_to_game"},
        std::tuple{true, 290, "Exit"}}) {
    ResetFrame();
    std::tie(GameStarted, NeedRestart) = std::tuple(Started, !Started);
    RunMenuScene();
    const TScreen Menu = ReadScreen();
    glColor3f(0, 0, 0);
    PrintText(130, y, Label);
    EXPECT_EQ(InkIn(ReadScreen(), 0, 0, 799, 599, &Menu).Count, 0) << Label;
  }
}

TEST(ScoreScene, ShowsTheSortedTableAndSavesItOnce) {
  ResetFrame();
  ScoreTable = {3, 9, 9, 1, 0, 0, 0, 0, 0, -5};
  Score = 7;
  // A folder in the file's place makes the save fail: it is reported, and the game goes on.
  std::filesystem::remove("score.txt");
  std::filesystem::create_directory("score.txt");
  testing::internal::CaptureStderr();
  RunScoreScene(); // SaveScores is true, as after a finished game
  const TScreen Screen = ReadScreen();
  RunScoreScene();
  std::filesystem::remove("score.txt");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "kelto: cannot save score.txt: score.txt: Is a directory\n"); // once

  // Each line of text is exactly that text drawn alone at its place, in a band around its
  // baseline that reaches no other line, right of the button.
  // clang-format off
  const std::tuple<int, int, const char*> Lines[] = {{320, 90, "BEST_SCORE"},
      {320, 400, "You_Score: 7"}, {350, 125, "9"}, {350, 150, "9"}, {350, 175, "3"},
      {350, 200, "1"}, {350, 225, "0"}, {350, 250, "0"}, {350, 275, "0"}, {350, 300, "0"},
      {350, 325, "0"}, {350, 350, "-5"}};
  // clang-format on
  for (const auto& [x, y, Text] : Lines) {
    EXPECT_GT(InkIn(Screen, 300, y - 19, 799, y + 5).Count, 10) << Text;
    const TScreen Alone = Printed(x, y, Text);
    EXPECT_EQ(InkIn(Screen, 300, y - 19, 799, y + 5, &Alone).Count, 0) << Text;
  }
  // Left of x 300 only the idle button at 110-290 x 210-240.
  ResetFrame();
  Button(MenuScene, "back_to_menu", 110, 210, 180, 30);
  const TScreen Idle = ReadScreen();
  EXPECT_EQ(InkIn(Screen, 0, 0, 299, 599, &Idle).Count, 0);
}

} // namespace
