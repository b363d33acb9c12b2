// Saving the score table through the platform's file replacement: ten CR LF lines, and a save
// that is killed or cannot complete leaves the old file whole.
#include "game/scenes/ScoreFile.h"
#include "game/shared/GameFlow.h"
#include "platform/PlatformLayer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/syscall.h>

// While positive, write(2) answers that many calls with 0 (no progress, no error) in this program.
int ZeroWrites = 0;
extern "C" ssize_t write(int Fd, const void* Buffer, size_t Count) {
  return ZeroWrites > 0 ? (--ZeroWrites, 0) : syscall(SYS_write, Fd, Buffer, Count);
}

namespace {

std::string Slurp() {
  std::ifstream In("score.txt", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), {});
}

// Full disk (a size limit that must not end the process), no progress, a read-only file, a
// read-only folder (as "nobody": root writes anywhere): the save fails naming why and leaves the
// old file, no temporary one. Killed before the rename it leaves the old file too; its leftover
// blocks no later save. A save keeps the file's permissions.
TEST(ScoreSave, SavesTenCrLfLinesAndAFailedSaveLeavesTheOldFile) {
  ScoreTable = {2147483647, 9, 9, 8, 3, 1, 0, 0, -5, -2147483647 - 1};
  ASSERT_TRUE(SaveScoreTable());
  const std::string Old = "2147483647\r\n9\r\n9\r\n8\r\n3\r\n1\r\n0\r\n0\r\n-5\r\n-2147483648\r\n";
  EXPECT_EQ(Slurp(), Old);
  ScoreTable.fill(-2147483647); // 130 bytes: more than the limit, while a report fits
  static constexpr rlimit Bytes{100, 100};
  using std::filesystem::perms;
  const std::pair<void (*)(), const char*> Faults[] = {
      {[] { setrlimit(RLIMIT_FSIZE, &Bytes); }, "File too large"},
      {[] { ZeroWrites = 1000; }, "Input/output error"},
      {[] {
         permissions(".", perms(0777)), permissions("score.txt", perms(0444)), (void)setuid(65534);
       },
       "Permission denied"},
      {[] { permissions(".", perms(0555)), (void)setuid(65534); }, "Permission denied"}};
  for (const auto& [Fault, Reason] : Faults) {
    EXPECT_EXIT((Fault(), std::exit(SaveScoreTable() ? 4 : 3)), testing::ExitedWithCode(3),
                std::string("cannot save score.txt: score.txt(.tmp)?: ") + Reason);
    EXPECT_EQ(Slurp(), Old) << Reason;
    EXPECT_FALSE(std::filesystem::exists("score.txt.tmp")) << Reason;
  }
  permissions(".", perms(0755));
  BeforeReplaceHook = [](const std::string&) { std::raise(SIGKILL); };
  EXPECT_EXIT(SaveScoreTable(), testing::KilledBySignal(SIGKILL), "");
  BeforeReplaceHook = nullptr;
  EXPECT_EQ(Slurp(), Old);
  ASSERT_TRUE(SaveScoreTable());
  EXPECT_EQ(Slurp().substr(0, 13), "-2147483647\r\n");
  EXPECT_EQ(std::filesystem::status("score.txt").permissions(), perms(0444));
}

} // namespace
