// The game-flow state that the world, the units and the scenes share: the scene variables, the
// flags that start and end a game, the score and its table, the key bindings and the screen size.
#pragma once

#include <array>
#include <cstdint>

using SceneProc = void (*)();

extern SceneProc MenuScene;
extern SceneProc ScoreScene;
extern SceneProc GameScene;
extern SceneProc ExitScene;
extern SceneProc CurrentScene;

extern bool NeedRestart; // true at load
extern bool GameOver;    // true at load
extern bool SaveScores;  // true at load
extern bool GameStarted; // false at load
extern std::int32_t Score;
// Entries 1 to 10 are indices 0 to 9.
extern std::array<std::int32_t, 10> ScoreTable;

extern std::int32_t ScreenWidth;  // ViewWidth
extern std::int32_t ScreenHeight; // ViewHeight

// Virtual-key codes of the movement keys (set by StartUp).
extern std::uint8_t KeyUp;
extern std::uint8_t KeyDown;
extern std::uint8_t KeyLeft;
extern std::uint8_t KeyRight;
// E: set and never read by anything; kept on purpose as the fifth binding of the key table.
extern std::uint8_t KeyExtra;

// Sets the key bindings (W, S, A, D and E).
void SetKeyBindings();
// Puts every flow variable back to its value at load (for tests and tools).
void ResetGameFlow();

// Sorts ScoreTable in descending order by exchanges (equal entries never swap).
void SortScoreTable();
// Puts Score in the last entry of ScoreTable when that entry is smaller; only that entry is
// compared, whatever its rank.
void ApplyBestScore();
