// Demos: a game recorded as it is played, one replay script line per world step, and played back
// in the window. The same file replays in kelto-replay, so a demo is also proof that the window
// and the replay tool step the world alike.
#pragma once

#include "Replay.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The first line of every demo: the format and its version.
inline constexpr std::string_view DemoHeader = "# kelto demo 1";

// "demo: N ticks, score S": what a recorded or played demo ends with on standard output, and the
// first four words of the last "tick" line kelto-replay prints for the same file.
std::string DemoSummary(std::int64_t Ticks, std::int32_t Score);

// Writes the world steps of one game to a file as they happen. The file is opened (and an existing
// one replaced) only when the first step is written; lines are kept in memory and written out at
// least every FlushIntervalMs, so a killed game leaves a demo that plays up to a moment ago.
class TDemoRecorder {
public:
  static constexpr std::uint32_t FlushIntervalMs = 500;

  explicit TDemoRecorder(std::string FileName);
  TDemoRecorder(const TDemoRecorder&) = delete;
  TDemoRecorder& operator=(const TDemoRecorder&) = delete;
  ~TDemoRecorder();

  // The input one world step is about to read; the first call opens the file.
  void Record(const TReplayInput& Input, std::uint32_t NowMs);
  // Writes out whatever is kept in memory.
  void Flush(std::uint32_t NowMs);
  // Writes out the rest and closes the file.
  void Close();
  // The steps recorded so far, written out or not.
  std::int64_t Ticks() const { return StepCount; }

private:
  bool Write(std::string_view Bytes);
  // Reports the failure (errno's reason) and gives up the file.
  void Fail();

  std::string FileName;
  std::FILE* File = nullptr; // none after a failure: it is reported once, the game goes on
  std::string Pending;
  std::uint32_t LastFlushMs = 0;
  std::int64_t StepCount = 0;
};

// Reads a demo: every script line becomes one step's input; blank lines and comments are skipped
// as kelto-replay skips them. False on a bad line ("line N: reason", N counting every line) or a
// demo of another version.
bool ReadDemo(std::string_view Text, std::vector<TReplayInput>& Steps, std::string& Error);

// --- The demo of this run, set up by the program entry before the window opens ---

// Records the game the menu starts next into FileName.
void RecordDemo(const std::string& FileName);
// Plays the demo in FileName as the game the menu starts at once. False, with the reason in
// Error, when it cannot be read or a line is bad.
bool PlayDemo(const std::string& FileName, std::string& Error);

// The game scene's hooks around its world step. FirstStep: this step is the first of a game.
// BeforeDemoStep records the input the step will read, or puts the played demo's next line in
// its place; false when a played demo ended before its game, so the world stands still.
bool BeforeDemoStep(bool FirstStep);
void AfterDemoStep();
// True while a played demo waits for the menu's first frame to start its game.
bool DemoWaitsForGame();
// Program end: a recording still going is finished.
void EndDemo();
