// The score scene on a real context: the sorted table, the title, the game's score and the
// "back_to_menu" button where they belong, and the one save after a finished game.
#include "FontUnit.h"
#include "GlContext.h"
#include "OGLWnd.h"
#include "game/scenes/Scenes.h"
#include "game/scenes/ScoreFile.h"

#include "GlApi.h"
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <stdlib.h>

namespace {

// Pixels that differ between two screens inside a rectangle (inclusive bounds).
int Differences(const std::vector<TRgba>& One, const std::vector<TRgba>& Other, int Left, int Top,
                int Right, int Bottom) {
  int Count = 0;
  for (int y = Top; y <= Bottom; ++y) {
    for (int x = Left; x <= Right; ++x) {
      Count += std::memcmp(&One[y * 800 + x], &Other[y * 800 + x], 3) != 0; // red, green, blue
    }
  }
  return Count;
}

// A line of text drawn alone in white, as the scene should draw it.
std::vector<TRgba> Alone(int x, int y, const std::string& Text) {
  ResetFrame();
  glColor3f(1, 1, 1);
  PrintText(x, y, Text);
  return ReadScreen();
}

} // namespace

TEST(TScoreScene, ShowsTheSortedTableAndSavesItOnce) {
  if (FontBase == 0 || !glIsList(FontBase + '0')) {
    BuildFont();
  }
  // Start-up's state, with the depth test on as every text print leaves it.
  glBindTexture(GL_TEXTURE_2D, 0);
  SetFixedDrawingState();
  glEnable(GL_DEPTH_TEST);
  ResetFrame();
  ResetGameFlow();
  ResetWindowState();
  // A folder in the file's place makes the save fail: it is reported, and the game goes on.
  namespace fs = std::filesystem;
  const fs::path OldDir = fs::current_path();
  std::string Dir = (fs::temp_directory_path() / "kelto-score-scene-XXXXXX").string();
  ASSERT_NE(mkdtemp(Dir.data()), nullptr);
  fs::current_path(Dir);
  fs::create_directory("score.txt");

  ScoreTable = {3, 9, 9, 1, 0, 0, 0, 0, 0, -5};
  Score = 7;
  testing::internal::CaptureStderr();
  RunScoreScene(); // SaveScores is true, as after a finished game
  const std::vector<TRgba> Screen = ReadScreen();
  RunScoreScene();
  const std::string Report = testing::internal::GetCapturedStderr();
  fs::current_path(OldDir);
  fs::remove_all(Dir);
  EXPECT_EQ(Report, "kelto: cannot save score.txt: score.txt: Is a directory\n"); // once

  // Each line of text is exactly that text drawn alone at its place, in a band around its
  // baseline that reaches no other line, right of the button.
  // clang-format off
  const std::tuple<int, int, const char*> Lines[] = {{320, 90, "BEST_SCORE"},
      {320, 400, "You_Score: 7"}, {350, 125, "9"}, {350, 150, "9"}, {350, 175, "3"},
      {350, 200, "1"}, {350, 225, "0"}, {350, 250, "0"}, {350, 275, "0"}, {350, 300, "0"},
      {350, 325, "0"}, {350, 350, "-5"}};
  // clang-format on
  const std::vector<TRgba> Black(800 * 600, TRgba{0, 0, 0, 255});
  for (const auto& [x, y, Text] : Lines) {
    EXPECT_GT(Differences(Screen, Black, 300, y - 19, 799, y + 5), 10) << Text;
    EXPECT_EQ(Differences(Screen, Alone(x, y, Text), 300, y - 19, 799, y + 5), 0) << Text;
  }
  // Left of x 300 only the idle button over 110-290 x 210-240; nothing above the title or below
  // the score.
  ResetFrame();
  Button(MenuScene, "back_to_menu", 110, 210, 180, 30);
  EXPECT_EQ(Differences(Screen, ReadScreen(), 0, 0, 299, 599), 0);
  EXPECT_GT(Differences(Screen, Black, 110, 210, 289, 239), 3000); // not blank
  EXPECT_EQ(Differences(Screen, Black, 0, 0, 799, 60), 0);
  EXPECT_EQ(Differences(Screen, Black, 0, 410, 799, 599), 0);
}
