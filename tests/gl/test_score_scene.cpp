// The score scene on a real context: the sorted table, the title, the game's score and the
// "back_to_menu" button where they belong, and the one save after a finished game.
#include "FontUnit.h"
#include "GlContext.h"
#include "OGLWnd.h"
#include "game/scenes/Scenes.h"
#include "game/scenes/ScoreFile.h"

#include "GlApi.h"
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

TEST(ScoreScene, ShowsTheSortedTableAndSavesItOnce) {
  ResetFrame();
  GameDrawingState();
  ResetGameFlow();
  ResetWindowState();
  ScoreTable = {3, 9, 9, 1, 0, 0, 0, 0, 0, -5};
  Score = 7;
  TScreen Screen;
  {
    // A folder in the file's place makes the save fail: it is reported, and the game goes on.
    const TTempDir Dir;
    std::filesystem::create_directory("score.txt");
    testing::internal::CaptureStderr();
    RunScoreScene(); // SaveScores is true, as after a finished game
    Screen = ReadScreen();
    RunScoreScene();
  }
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
  // Left of x 300 only the idle button over 110-290 x 210-240; nothing above the title or below
  // the score.
  ResetFrame();
  Button(MenuScene, "back_to_menu", 110, 210, 180, 30);
  const TScreen Idle = ReadScreen();
  EXPECT_EQ(InkIn(Screen, 0, 0, 299, 599, &Idle).Count, 0);
  EXPECT_GT(InkIn(Screen, 110, 210, 289, 239).Count, 3000);
  EXPECT_EQ(InkIn(Screen, 0, 0, 799, 60).Count, 0);
  EXPECT_EQ(InkIn(Screen, 0, 410, 799, 599).Count, 0);
}
