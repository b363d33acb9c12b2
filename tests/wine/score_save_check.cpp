// Saving the score table with the Windows file calls, run under Wine (or Windows) in an empty
// folder by scripts/wine-test.sh: exit status 0 when every check held. "crash" saves a table and
// dies in the middle of the next save; "recover" then checks what that left.
#include "platform/win32/Win32Platform.h"

#include "game/scenes/ScoreFile.h"
#include "game/shared/GameFlow.h"
#include "platform/PlatformLayer.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// The Windows file calls without the error box: the check runs unattended.
struct TQuietPlatform : TWin32Platform {
  void ShowErrorBox(const std::string&) override {}
} QuietPlatform;

int Failures = 0;
void Check(bool Condition, const char* What) {
  Failures += !Condition && std::fprintf(stderr, "FAIL: %s\n", What) > 0;
}

// Two tables and the files their saves write: ten decimal lines ending in CR LF.
struct TSaved {
  std::array<std::int32_t, 10> Table;
  const char* Text;
};
const TSaved First{{42, -5, 0, 2147483647, -2147483648, 7, 7, 1, 0, 3},
                   "42\r\n-5\r\n0\r\n2147483647\r\n-2147483648\r\n7\r\n7\r\n1\r\n0\r\n3\r\n"};
const TSaved Second{{9, 8, 7, 6, 5, 4, 3, 2, 1, 0},
                    "9\r\n8\r\n7\r\n6\r\n5\r\n4\r\n3\r\n2\r\n1\r\n0\r\n"};

std::string Read(const char* Name) {
  std::ifstream File(Name, std::ios::binary);
  return {std::istreambuf_iterator<char>(File), {}};
}

bool Exists(const char* Name) {
  return GetFileAttributesA(Name) != INVALID_FILE_ATTRIBUTES;
}

// True when saving succeeds, score.txt then holds the table and no temporary file is left.
bool Save(const TSaved& Saved) {
  ScoreTable = Saved.Table;
  return SaveScoreTable() && Read("score.txt") == Saved.Text && !Exists("score.txt.tmp");
}

} // namespace

int main(int argc, char** argv) {
  InstallPlatform(&QuietPlatform);
  const std::string Mode = argc > 1 ? argv[1] : "";
  if (Mode == "crash") {
    // The second save ends as in a crash: new contents complete, score.txt not yet replaced.
    if (Save(First)) {
      BeforeReplaceHook = [](const std::string&) { TerminateProcess(GetCurrentProcess(), 3); };
      Save(Second);
    }
    return 2; // not reached when the hook ran
  }
  if (Mode == "recover") {
    LoadScoreTable();
    Check(Read("score.txt") == First.Text && ScoreTable == First.Table &&
              Read("score.txt.tmp") == Second.Text,
          "the save cut short leaves the old table whole beside the flushed new contents");
    Check(Save(Second), "the next save replaces the file and the leftover");
    return Failures != 0;
  }
  ScoreTable = Second.Table;
  LoadScoreTable();
  Check(Exists("score.txt") && Read("score.txt").empty() && ScoreTable == Second.Table,
        "a missing score.txt is created empty and leaves the table alone");
  Check(Save(First) && Save(Second), "saving over an empty, then an existing file");
  // A leftover of an earlier crash is replaced, not appended to or renamed as it is.
  std::ofstream("score.txt.tmp", std::ios::binary) << "garbage that must not survive\r\n";
  Check(Save(First), "saving over a leftover temporary file");
  // A read-only score file is the player's decision: the save fails and changes nothing.
  SetFileAttributesA("score.txt", FILE_ATTRIBUTE_READONLY);
  Check(!Save(Second) && Read("score.txt") == First.Text && !Exists("score.txt.tmp"),
        "a save over a read-only score.txt is refused without a trace");
  SetFileAttributesA("score.txt", FILE_ATTRIBUTE_NORMAL);
  return Failures != 0;
}
