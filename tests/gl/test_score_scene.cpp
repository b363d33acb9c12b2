// The score scene on a real context: the sorted table, the title, the game's score and the
// "back_to_menu" button where they belong, and the one save after a finished game.
#include "FontUnit.h"
#include "GlContext.h"
#include "OGLWnd.h"
#include "game/scenes/Scenes.h"
#include "game/scenes/ScoreFile.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& Name) {
  std::ifstream In(Name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), {});
}

bool IsInk(const TRgba& Pixel) {
  return Pixel.r != 0 || Pixel.g != 0 || Pixel.b != 0;
}

// Pixels that differ between two screens inside a rectangle (inclusive bounds).
int Differences(const std::vector<TRgba>& One, const std::vector<TRgba>& Other, int Left, int Top,
                int Right, int Bottom) {
  int Count = 0;
  for (int y = Top; y <= Bottom; ++y) {
    for (int x = Left; x <= Right; ++x) {
      const TRgba a = One[y * 800 + x], b = Other[y * 800 + x];
      Count += a.r != b.r || a.g != b.g || a.b != b.b;
    }
  }
  return Count;
}

int InkCount(const std::vector<TRgba>& Screen, int Left, int Top, int Right, int Bottom) {
  const std::vector<TRgba> Black(800 * 600, TRgba{0, 0, 0, 255});
  return Differences(Screen, Black, Left, Top, Right, Bottom);
}

// A line of text drawn alone in white, as the scene should draw it.
std::vector<TRgba> Alone(int x, int y, const std::string& Text) {
  ResetFrame();
  glColor3f(1, 1, 1);
  PrintText(x, y, Text);
  return ReadScreen();
}

void SceneOnly() {}

class TScoreSceneTest : public testing::Test {
protected:
  void SetUp() override {
    if (FontBase == 0 || !glIsList(FontBase + '0')) {
      BuildFont();
    }
    // The drawing state the game runs with: start-up's, with depth testing on as every text print
    // leaves it (the rectangle of the button therefore writes depth under its label), and no
    // texture bound.
    glBindTexture(GL_TEXTURE_2D, 0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    glEnable(GL_TEXTURE_2D);
    ResetFrame();

    ResetGameFlow();
    MenuScene = RunMenuScene;
    CurrentScene = SceneOnly;
    MouseX = MouseY = 0;
    MouseLeft = false;

    OldDir = fs::current_path();
    std::string Pattern = (fs::temp_directory_path() / "kelto-score-scene-XXXXXX").string();
    ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
    Dir = Pattern;
    fs::current_path(Dir);
  }
  void TearDown() override {
    fs::current_path(OldDir);
    fs::remove_all(Dir);
  }
  fs::path OldDir, Dir;
};

} // namespace

TEST_F(TScoreSceneTest, ShowsTheSortedTableTheScoreAndTheButton) {
  ScoreTable = {3, 9, 9, 1, 0, 0, 0, 0, 0, -5};
  Score = 7;
  SaveScores = false;
  RunScoreScene();
  const std::vector<TRgba> Screen = ReadScreen();
  EXPECT_EQ(ScoreTable, (std::array<std::int32_t, 10>{9, 9, 3, 1, 0, 0, 0, 0, 0, -5}));

  // Each text line is exactly what that text drawn alone in white at its place looks like, in a
  // band around its baseline that reaches no other line. Right of the button, so nothing else
  // lies there.
  struct TLine {
    int x, y;
    std::string Text;
  };
  std::vector<TLine> Lines = {{320, 90, "BEST_SCORE"}, {320, 400, "You_Score: 7"}};
  const char* Entries[] = {"9", "9", "3", "1", "0", "0", "0", "0", "0", "-5"};
  for (int i = 1; i <= 10; ++i) {
    Lines.push_back({350, 100 + 25 * i, Entries[i - 1]});
  }
  for (const TLine& Line : Lines) {
    const int Top = Line.y - 19, Bottom = Line.y + 5;
    EXPECT_GT(InkCount(Screen, 300, Top, 799, Bottom), 10) << Line.Text;
    EXPECT_EQ(Differences(Screen, Alone(Line.x, Line.y, Line.Text), 300, Top, 799, Bottom), 0)
        << Line.Text << " at " << Line.x << "," << Line.y;
  }
  // Nothing but the button and those lines.
  EXPECT_EQ(InkCount(Screen, 0, 0, 799, 60), 0);
  EXPECT_EQ(InkCount(Screen, 0, 410, 799, 599), 0);

  // The idle button: a translucent grey rectangle 110-290 x 210-240 with its black label.
  for (const auto& [x, y] : {std::pair{110, 210}, {289, 210}, {110, 239}, {289, 239}, {200, 212}}) {
    const TRgba Pixel = Screen[y * 800 + x];
    EXPECT_NEAR(Pixel.r, 54, 2) << x << "," << y;
    EXPECT_EQ(Pixel.r, Pixel.g);
    EXPECT_EQ(Pixel.r, Pixel.b);
  }
  for (const auto& [x, y] : {std::pair{109, 225}, {290, 225}, {200, 209}, {200, 240}}) {
    EXPECT_FALSE(IsInk(Screen[y * 800 + x])) << x << "," << y;
  }
  int Label = 0;
  for (int y = 212; y <= 238; ++y) {
    for (int x = 130; x <= 288; ++x) {
      Label += Screen[y * 800 + x].r < 20;
    }
  }
  EXPECT_GT(Label, 50) << "the black label \"back_to_menu\"";
  EXPECT_EQ(CurrentScene, SceneOnly);
}

TEST_F(TScoreSceneTest, SavesOnceAfterAGameAndGoesOnWhenItCannot) {
  ScoreTable = {4, 0, 0, 0, 0, 0, 0, 0, 0, 2};
  Score = 12;
  ApplyBestScore();
  RunScoreScene(); // SaveScores is true, as after a finished game
  EXPECT_FALSE(SaveScores);
  EXPECT_EQ(Slurp("score.txt"), "12\r\n4\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");

  // Later frames of the same scene leave the file alone.
  std::ofstream("score.txt", std::ios::binary) << "edited";
  RunScoreScene();
  EXPECT_EQ(Slurp("score.txt"), "edited");

  // A save that fails is reported once; the scene still shows the table and the flag clears.
  fs::remove("score.txt");
  fs::create_directory("score.txt");
  SaveScores = true;
  testing::internal::CaptureStderr();
  RunScoreScene();
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot save score.txt"),
            std::string::npos);
  EXPECT_FALSE(SaveScores);
  EXPECT_EQ(Differences(ReadScreen(), Alone(350, 125, "12"), 300, 106, 799, 130), 0);
}

TEST_F(TScoreSceneTest, BackToMenuLeadsToTheMenu) {
  SaveScores = false;
  MouseX = 200;
  MouseY = 225;
  MouseLeft = true;
  RunScoreScene();
  EXPECT_EQ(CurrentScene, MenuScene);
  EXPECT_FALSE(MouseLeft);
  // Hovered: the rectangle is lighter and 5 pixels wider on each side.
  const std::vector<TRgba> Screen = ReadScreen();
  EXPECT_NEAR(Screen[212 * 800 + 106].r, 153, 2);
  EXPECT_NEAR(Screen[212 * 800 + 293].r, 153, 2);
}
