// Saving the score table with the Windows file calls: run under Wine (or Windows) in an empty
// folder by scripts/wine-test.sh. Exit status 0 when every check held; each failed check prints
// one line on standard error.
//
//   kelto-score-check            reading, saving, replacing, leftovers, read-only file
//   kelto-score-check crash      writes a known table, then dies in the middle of the next save
//   kelto-score-check recover    after "crash": the old file is whole, the next save succeeds
#include "game/scenes/AtomicFile.h"
#include "game/scenes/GameFlow.h"
#include "game/scenes/ScoreFile.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int Failures = 0;

void Check(bool Condition, const std::string& What) {
  if (!Condition) {
    std::fprintf(stderr, "FAIL: %s\n", What.c_str());
    ++Failures;
  }
}

bool Exists(const char* Name) {
  return GetFileAttributesA(Name) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadBytes(const char* Name) {
  std::ifstream File(Name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
}

void WriteBytes(const char* Name, const std::string& Bytes) {
  std::ofstream File(Name, std::ios::binary | std::ios::trunc);
  File << Bytes;
}

// The file as a save of Table writes it.
std::string Expected(const std::array<std::int32_t, 10>& Table) {
  std::string Text;
  for (const std::int32_t Entry : Table) {
    Text += std::to_string(Entry) + "\r\n";
  }
  return Text;
}

const std::array<std::int32_t, 10> First{42, -5, 0, 2147483647, -2147483648, 7, 7, 1, 0, 3};
const std::array<std::int32_t, 10> Second{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};

void RunChecks() {
  Check(!Exists("score.txt"), "the folder starts without score.txt");
  ScoreTable.fill(11);
  LoadScoreTable();
  Check(Exists("score.txt") && ReadBytes("score.txt").empty(),
        "a missing score.txt is created empty");
  Check(ScoreTable == std::array<std::int32_t, 10>{11, 11, 11, 11, 11, 11, 11, 11, 11, 11},
        "an empty file leaves the table alone");

  ScoreTable = First;
  Check(SaveScoreTable(), "saving over the empty file succeeds");
  Check(ReadBytes("score.txt") == Expected(First), "the saved file holds ten CR LF lines");
  Check(!Exists("score.txt.tmp"), "no temporary file is left after a save");
  ScoreTable.fill(0);
  LoadScoreTable();
  Check(ScoreTable == First, "the saved table reads back unchanged");

  ScoreTable = Second;
  Check(SaveScoreTable(), "saving over an existing file succeeds");
  Check(ReadBytes("score.txt") == Expected(Second), "the second save replaced the file");

  // A temporary file left by an earlier crash is replaced, not appended to or renamed as it is.
  WriteBytes("score.txt.tmp", "garbage that must not survive\r\n");
  ScoreTable = First;
  Check(SaveScoreTable(), "saving with a leftover temporary file succeeds");
  Check(ReadBytes("score.txt") == Expected(First), "the leftover did not leak into the file");
  Check(!Exists("score.txt.tmp"), "the leftover temporary file is gone");

  // A read-only score file is the player's decision: the save fails and changes nothing.
  Check(SetFileAttributesA("score.txt", FILE_ATTRIBUTE_READONLY) != 0, "score.txt made read-only");
  ScoreTable = Second;
  Check(!SaveScoreTable(), "saving over a read-only file fails");
  Check(ReadBytes("score.txt") == Expected(First), "the read-only file kept its contents");
  Check(!Exists("score.txt.tmp"), "a failed save leaves no temporary file");
  SetFileAttributesA("score.txt", FILE_ATTRIBUTE_NORMAL);
  Check(SaveScoreTable(), "saving works again once the file is writable");
  Check(ReadBytes("score.txt") == Expected(Second), "the file holds the latest table");
}

void Crash() {
  ScoreTable = First;
  if (!SaveScoreTable()) {
    std::exit(2);
  }
  // The process ends the way a crash or power cut would: the new contents are complete in the
  // temporary file, the score file has not been replaced yet.
  BeforeReplaceHook = [](const std::string&) { TerminateProcess(GetCurrentProcess(), 3); };
  ScoreTable = Second;
  SaveScoreTable();
  std::exit(2); // not reached when the hook ran
}

void Recover() {
  Check(ReadBytes("score.txt") == Expected(First), "the interrupted save left the old file whole");
  Check(ReadBytes("score.txt.tmp") == Expected(Second),
        "the interrupted save had written and flushed the complete new contents");
  ScoreTable.fill(0);
  LoadScoreTable();
  Check(ScoreTable == First, "the old table reads back after the crash");
  ScoreTable = Second;
  Check(SaveScoreTable(), "the next save succeeds");
  Check(ReadBytes("score.txt") == Expected(Second), "the next save wrote the new table");
  Check(!Exists("score.txt.tmp"), "the next save removed the leftover");
}

} // namespace

int main(int argc, char** argv) {
  const std::string Mode = argc > 1 ? argv[1] : "";
  if (Mode == "crash") {
    Crash();
  } else if (Mode == "recover") {
    Recover();
  } else {
    RunChecks();
  }
  return Failures == 0 ? 0 : 1;
}
