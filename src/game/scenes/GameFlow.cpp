#include "GameFlow.h"

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

std::int32_t ScreenWidth = 800;
std::int32_t ScreenHeight = 600;

std::uint8_t KeyUp;
std::uint8_t KeyDown;
std::uint8_t KeyLeft;
std::uint8_t KeyRight;
std::uint8_t KeyExtra;

void SetKeyBindings() {
  KeyUp = 87;
  KeyDown = 83;
  KeyLeft = 65;
  KeyRight = 68;
  KeyExtra = 69;
}

void ResetGameFlow() {
  NeedRestart = true;
  GameOver = true;
  SaveScores = true;
  GameStarted = false;
  Score = 0;
  ScoreTable.fill(0);
}
