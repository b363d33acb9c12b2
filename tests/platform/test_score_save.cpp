// Saving the score table through the platform's file replacement: ten CR LF lines, and a save
// that is killed or refused leaves the old file whole.
#include "game/scenes/ScoreFile.h"
#include "game/shared/GameFlow.h"
#include "platform/PlatformLayer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Table = std::array<std::int32_t, 10>;

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

// A fresh folder of its own as the working directory, which "nobody" may enter.
class ScoreSaveTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(mkdtemp(Dir.data()), nullptr);
    fs::permissions(Dir, fs::perms(0755));
    fs::current_path(Dir);
  }
  void TearDown() override {
    fs::current_path(OldDir);
    fs::remove_all(Dir);
  }
  fs::path OldDir = fs::current_path();
  std::string Dir = (fs::temp_directory_path() / "kelto-save-XXXXXX").string();
};

} // namespace

TEST_F(ScoreSaveTest, SavesTenCrLfLinesSafely) {
  ScoreTable = {3, 9, 9, 1, -5, 0, -2147483647 - 1, 8, 0, 2147483647};
  SortScoreTable();
  ASSERT_TRUE(SaveScoreTable());
  EXPECT_EQ(Slurp(), "2147483647\r\n9\r\n9\r\n8\r\n3\r\n1\r\n0\r\n0\r\n-5\r\n-2147483648\r\n");

  // A process killed before the rename, or a save that fails, leaves the old file whole.
  const std::string Old = Slurp();
  ScoreTable.fill(9);
  BeforeReplaceHook = [](const std::string&) { std::raise(SIGKILL); };
  EXPECT_EXIT(SaveScoreTable(), testing::KilledBySignal(SIGKILL), "");
  BeforeReplaceHook = nullptr;
  EXPECT_EQ(Slurp(), Old);
  fs::permissions("score.txt", fs::perms(0666));
  fs::permissions(Dir, fs::perms(0555));
  // As "nobody" (root writes anywhere) in a folder it cannot write, holding a file it can; the
  // child exits 3 when the save failed and left the table as it was.
  const auto SaveAsNobody = [] {
    const bool Nobody = geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0);
    const bool Failed = Nobody && !SaveScoreTable();
    std::exit(Failed && ScoreTable == Table{9, 9, 9, 9, 9, 9, 9, 9, 9, 9} ? 3 : 4);
  };
  EXPECT_EXIT(SaveAsNobody(), testing::ExitedWithCode(3),
              "cannot save score.txt: score.txt.tmp: Permission denied");
  EXPECT_EQ(Slurp(), Old);
  fs::permissions(Dir, fs::perms(0755)); // the killed save's leftover does not block the next
  ASSERT_TRUE(SaveScoreTable());
  EXPECT_EQ(Slurp(), "9\r\n9\r\n9\r\n9\r\n9\r\n9\r\n9\r\n9\r\n9\r\n9\r\n");
}

// A full disk (a file-size limit here, which the save keeps from ending the process) or a write
// without progress: the save fails naming the reason, leaves the old file byte for byte and no
// temporary file, and the next save succeeds.
TEST_F(ScoreSaveTest, SaveThatCannotCompleteLeavesTheOldFile) {
  ScoreTable.fill(1);
  ASSERT_TRUE(SaveScoreTable());
  const std::string Old = Slurp();
  ScoreTable.fill(-2147483647); // 130 bytes: more than the limit, while a report fits
  static rlimit Limit{};
  getrlimit(RLIMIT_FSIZE, &Limit);
  Limit.rlim_cur = 100;
  const std::pair<void (*)(), const char*> Faults[] = {
      {[] { setrlimit(RLIMIT_FSIZE, &Limit); }, "File too large"},
      {[] { ZeroWrites = 1000; }, "Input/output error"}};
  for (const auto& [Fault, Reason] : Faults) {
    EXPECT_EXIT((Fault(), std::exit(SaveScoreTable() ? 4 : 3)), testing::ExitedWithCode(3),
                std::string("cannot save score.txt: score.txt.tmp: ") + Reason);
    EXPECT_EQ(Slurp(), Old) << Reason;
    EXPECT_FALSE(fs::exists("score.txt.tmp")) << Reason;
  }
  EXPECT_TRUE(SaveScoreTable()) << "the next save, with space back";
}
