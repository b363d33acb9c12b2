#include "GameFlow.h"

#include "OGLWnd.h"
#include "UTypes.h"

#include <utility>

SceneProc MenuScene;
SceneProc ScoreScene;
SceneProc GameScene;
SceneProc ExitScene;
SceneProc CurrentScene;

bool NeedRestart = true;
bool GameOver = true;
bool SaveScores = true;
bool GameStarted = false;
std::int32_t Score = 0;
std::array<std::int32_t, 10> ScoreTable{};

std::int32_t ScreenWidth = ViewWidth;
std::int32_t ScreenHeight = ViewHeight;

std::uint8_t KeyUp;
std::uint8_t KeyDown;
std::uint8_t KeyLeft;
std::uint8_t KeyRight;
std::uint8_t KeyExtra;

void SetKeyBindings() {
  KeyUp = MoveUpKey;
  KeyDown = MoveDownKey;
  KeyLeft = MoveLeftKey;
  KeyRight = MoveRightKey;
  KeyExtra = 'E';
}

void ResetGameFlow() {
  NeedRestart = true;
  GameOver = true;
  SaveScores = true;
  GameStarted = false;
  Score = 0;
  ScoreTable.fill(0);
}

void SortScoreTable() {
  for (std::size_t i = 0; i + 1 < ScoreTable.size(); ++i) {
    for (std::size_t j = i + 1; j < ScoreTable.size(); ++j) {
      if (ScoreTable[i] < ScoreTable[j]) {
        std::swap(ScoreTable[i], ScoreTable[j]);
      }
    }
  }
}

void ApplyBestScore() {
  if (ScoreTable.back() < Score) {
    ScoreTable.back() = Score;
  }
}
