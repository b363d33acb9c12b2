// The score table: line conversion, reading and saving "score.txt", sorting and the best-score
// rule. File tests run in a fresh temporary folder that is the working directory meanwhile.
#include "MyUnit.h"
#include "game/scenes/AtomicFile.h"
#include "game/scenes/GameFlow.h"
#include "game/scenes/ScoreFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <limits>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Table = std::array<std::int32_t, 10>;

namespace {

std::string Slurp(const std::string& Name) {
  std::ifstream In(Name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), {});
}

void Spit(const std::string& Name, const std::string& Bytes) {
  std::ofstream(Name, std::ios::binary) << Bytes;
}

std::string TenLines(const Table& Values) {
  std::string Text;
  for (const auto Value : Values) {
    Text += std::to_string(Value) + "\r\n";
  }
  return Text;
}

// Root may read and write anything, so permission faults are shown as the unprivileged "nobody";
// only ever called in a child process.
void BecomeNobody() {
  if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
    std::_Exit(99);
  }
}

class ScoreFileTest : public testing::Test {
protected:
  void SetUp() override {
    OldDir = fs::current_path();
    std::string Pattern = (fs::temp_directory_path() / "kelto-score-XXXXXX").string();
    ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
    Dir = Pattern;
    fs::permissions(Dir, fs::perms(0755)); // "nobody" must be able to enter it
    fs::current_path(Dir);
    ResetGameFlow();
    BeforeReplaceHook = nullptr;
  }
  void TearDown() override {
    fs::current_path(OldDir);
    std::error_code Ignored;
    fs::permissions(Dir, fs::perms(0755), Ignored);
    fs::remove_all(Dir, Ignored);
  }
  fs::path OldDir, Dir;
};

} // namespace

TEST(TextToInt, AcceptsDecimalAndHexadecimalWholeLines) {
  const std::pair<const char*, std::int32_t> Cases[] = {
      {"12", 12},
      {" 12", 12},
      {"   -3", -3},
      {"+7", 7},
      {"-3", -3},
      {"0", 0},
      {"007", 7},
      {"-0", 0},
      {"$1F", 31},
      {"$1f", 31},
      {"0x1f", 31},
      {"0X1F", 31},
      {"x10", 16},
      {"X10", 16},
      {"-$10", -16},
      {"+0x10", 16},
      {"-x10", -16},
      {"$0", 0},
      {"$7FFFFFFF", 2147483647},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"-$80000000", -2147483647 - 1},
      {"00000000000000000000000000042", 42},
  };
  for (const auto& [Text, Expected] : Cases) {
    std::int32_t Value = 12345;
    EXPECT_TRUE(TextToInt(Text, Value)) << Text;
    EXPECT_EQ(Value, Expected) << Text;
  }
}

TEST(TextToInt, RejectsAnythingElseAndLeavesTheValueAlone) {
  const std::string Cases[] = {
      "",
      " ",
      "12 ",
      "1 2",
      "abc",
      "-",
      "+",
      "$",
      "x",
      "0x",
      "-0x",
      "$-1",
      "0x+1",
      "--1",
      "+-1",
      "- 1",
      "\t5",
      "5\t",
      "1e3",
      "12a",
      "$1G",
      "0b1",
      "2147483648",
      "-2147483649",
      "$80000000",
      "$FFFFFFFF",
      "0x100000000",
      "-$80000001",
      "99999999999999999999",
      std::string("1\0", 2),
      std::string("\0", 1),
      "\xEF\xBB\xBF"
      "1",
      "1\r",
  };
  for (const auto& Text : Cases) {
    std::int32_t Value = 12345;
    EXPECT_FALSE(TextToInt(Text, Value)) << '\'' << Text << '\'';
    EXPECT_EQ(Value, 12345) << Text;
  }
}

TEST(IntToText, PlainDecimalOverTheWholeRange) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(-5), "-5");
  EXPECT_EQ(IntToText(1000000), "1000000");
  EXPECT_EQ(IntToText(std::numeric_limits<std::int32_t>::max()), "2147483647");
  EXPECT_EQ(IntToText(std::numeric_limits<std::int32_t>::min()), "-2147483648");
  for (const std::int32_t Value : {std::numeric_limits<std::int32_t>::min(), -1, 0, 1,
                                   std::numeric_limits<std::int32_t>::max()}) {
    std::int32_t Back = 0;
    EXPECT_TRUE(TextToInt(IntToText(Value), Back));
    EXPECT_EQ(Back, Value);
  }
}

TEST(ScoreTable, ExchangeSortIsDescending) {
  ScoreTable = {3, 9, 9, 1, 0, 0, 0, 0, 0, 0};
  SortScoreTable();
  EXPECT_EQ(ScoreTable, (Table{9, 9, 3, 1, 0, 0, 0, 0, 0, 0}));
  ScoreTable = {-5, 0, std::numeric_limits<std::int32_t>::min(), 7, -1, 2147483647, 7, 0, -5, 1};
  SortScoreTable();
  EXPECT_EQ(ScoreTable, (Table{2147483647, 7, 7, 1, 0, 0, -1, -5, -5, -2147483647 - 1}));
}

TEST(ScoreTable, BestScoreRuleLooksOnlyAtTheLastEntry) {
  ResetGameFlow();
  ScoreTable = {1, 0, 0, 0, 0, 0, 0, 0, 0, 5}; // unsorted: smaller values stand elsewhere
  Score = 7;
  ApplyBestScore();
  EXPECT_EQ(ScoreTable, (Table{1, 0, 0, 0, 0, 0, 0, 0, 0, 7}));
  ApplyBestScore(); // equal: no change, and nothing else is touched
  EXPECT_EQ(ScoreTable, (Table{1, 0, 0, 0, 0, 0, 0, 0, 0, 7}));
  Score = 6;
  ApplyBestScore();
  EXPECT_EQ(ScoreTable[9], 7);
  Score = -1; // signed comparison
  ScoreTable[9] = -3;
  ApplyBestScore();
  EXPECT_EQ(ScoreTable[9], -1);
}

TEST_F(ScoreFileTest, MissingFileIsCreatedEmptyAndNothingStaysOpen) {
  const auto OpenFiles = [] {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{});
  };
  const auto Before = OpenFiles();
  LoadScoreTable();
  EXPECT_EQ(OpenFiles(), Before);
  ASSERT_TRUE(fs::is_regular_file("score.txt"));
  EXPECT_EQ(fs::file_size("score.txt"), 0u);
  EXPECT_EQ(ScoreTable, Table{});
  LoadScoreTable(); // the empty file is read, not created again
  EXPECT_EQ(ScoreTable, Table{});
}

TEST_F(ScoreFileTest, ReadsTheFirstTenLinesAndSkipsEmptyOnes) {
  ScoreTable = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}; // only lines that hold text change an entry
  Spit("score.txt", "5\n\n7");
  LoadScoreTable();
  EXPECT_EQ(ScoreTable, (Table{5, 2, 7, 4, 5, 6, 7, 8, 9, 10}));

  ResetGameFlow();
  Spit("score.txt", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\nbad line past the tenth\n");
  LoadScoreTable();
  EXPECT_EQ(ScoreTable, (Table{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

  ResetGameFlow(); // Windows line ends, a CR before the end of the file, leading spaces, hex
  Spit("score.txt", "12\r\n\r\n -3\r\n$1F\r\n0x10\r");
  LoadScoreTable();
  EXPECT_EQ(ScoreTable, (Table{12, 0, -3, 31, 16, 0, 0, 0, 0, 0}));
}

TEST_F(ScoreFileTest, SaveWritesTenCrLfLinesThatReadBack) {
  Spit("score.txt", "-5\n3\n\n\n\n\n\n\n\n\n11\n12\n");
  fs::permissions("score.txt", fs::perms(0640));
  LoadScoreTable();
  EXPECT_EQ(ScoreTable[0], -5);
  SortScoreTable();
  EXPECT_EQ(ScoreTable, (Table{3, 0, 0, 0, 0, 0, 0, 0, 0, -5}));
  ASSERT_TRUE(SaveScoreTable());
  EXPECT_EQ(Slurp("score.txt"), "3\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n-5\r\n");
  EXPECT_FALSE(fs::exists("score.txt.tmp"));
  EXPECT_EQ(fs::status("score.txt").permissions(), fs::perms(0640));

  ScoreTable = {2147483647, 0, 0, 0, 0, 0, 0, 0, 0, -2147483647 - 1};
  ASSERT_TRUE(SaveScoreTable());
  const Table Saved = ScoreTable;
  ScoreTable.fill(1);
  LoadScoreTable();
  EXPECT_EQ(ScoreTable, Saved);
}

TEST_F(ScoreFileTest, BadLinesEndTheProgramAndLeaveTheFile) {
  const std::pair<std::string, std::string> Cases[] = {
      {"1\n12 \n3\n", "line 2: '12 ' is not a valid integer value"},
      {"abc\r\n", "'abc' is not a valid integer value"},
      {"2147483648\n", "'2147483648' is not a valid integer value"},
      {std::string("4\n1\0"
                   "2\n",
                   6),
       "line 2: '1"}, // binary junk is an ordinary bad line
  };
  for (const auto& [Bytes, Message] : Cases) {
    Spit("score.txt", Bytes);
    EXPECT_EXIT(LoadScoreTable(), testing::ExitedWithCode(1), Message) << Bytes;
    EXPECT_EQ(Slurp("score.txt"), Bytes);
  }
}

TEST_F(ScoreFileTest, AFileThatCannotBeReadIsAnErrorAndStaysUntouched) {
  Spit("score.txt", "8\r\n");
  fs::permissions("score.txt", fs::perms::none);
  EXPECT_EXIT((BecomeNobody(), LoadScoreTable()), testing::ExitedWithCode(1),
              "score.txt: Permission denied");
  EXPECT_EQ(fs::status("score.txt").permissions(), fs::perms::none);
  EXPECT_EQ(Slurp("score.txt"), "8\r\n");

  fs::remove("score.txt");
  fs::create_directory("score.txt");
  EXPECT_EXIT(LoadScoreTable(), testing::ExitedWithCode(1), "score.txt: Is a directory");
  EXPECT_TRUE(fs::is_directory("score.txt"));
}

TEST_F(ScoreFileTest, AFailedSaveKeepsTheOldFileAndTheTable) {
  const std::string Old = TenLines({4, 3, 2, 1, 0, 0, 0, 0, 0, 0});
  const Table New = {2000000000,  2000000000,  2000000000,  2000000000,  2000000000,
                     -2000000000, -2000000000, -2000000000, -2000000000, -2000000000};
  // In the child: save New, then exit 3 when the save said no and the table is still New.
  const auto SaveInChild = [&New] {
    ScoreTable = New;
    const bool Saved = SaveScoreTable();
    std::exit(Saved ? 0 : ScoreTable == New ? 3 : 4);
  };

  Spit("score.txt", Old); // a folder that cannot be written, holding a file that can
  fs::permissions("score.txt", fs::perms(0666));
  fs::permissions(Dir, fs::perms(0555));
  EXPECT_EXIT((BecomeNobody(), SaveInChild()), testing::ExitedWithCode(3),
              "cannot save score.txt: score.txt.tmp: Permission denied");
  fs::permissions(Dir, fs::perms(0777));
  EXPECT_EQ(Slurp("score.txt"), Old);

  fs::permissions("score.txt", fs::perms(0444)); // a score file made read-only by its owner
  EXPECT_EXIT((BecomeNobody(), SaveInChild()), testing::ExitedWithCode(3),
              "cannot save score.txt: score.txt: Permission denied");
  EXPECT_EQ(Slurp("score.txt"), Old);
  fs::permissions("score.txt", fs::perms(0644));

  // The disk fills up in the middle of the write (a file size limit stands in for the full disk;
  // it is above the length of the report, which goes to a file too).
  const auto SaveOntoAFullDisk = [&SaveInChild] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit Limit{100, 100};
    setrlimit(RLIMIT_FSIZE, &Limit);
    SaveInChild();
  };
  EXPECT_EXIT(SaveOntoAFullDisk(), testing::ExitedWithCode(3),
              "cannot save score.txt: score.txt.tmp: File too large");
  EXPECT_EQ(Slurp("score.txt"), Old);
  EXPECT_FALSE(fs::exists("score.txt.tmp"));

  // A folder in the file's place: the rename is refused and the temporary file goes.
  fs::rename("score.txt", "old.txt");
  fs::create_directory("score.txt");
  testing::internal::CaptureStderr();
  ScoreTable = New;
  EXPECT_FALSE(SaveScoreTable());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot save score.txt: score.txt: Is a "
                                                        "directory"),
            std::string::npos);
  EXPECT_EQ(ScoreTable, New);
  EXPECT_TRUE(fs::is_empty("score.txt"));
  EXPECT_FALSE(fs::exists("score.txt.tmp"));
}

TEST_F(ScoreFileTest, ACrashDuringTheSaveLeavesTheOldFileWhole) {
  const std::string Old = TenLines({4, 3, 2, 1, 0, 0, 0, 0, 0, 0});
  Spit("score.txt", Old);
  ScoreTable = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  BeforeReplaceHook = [](const std::string&) { std::raise(SIGKILL); };
  EXPECT_EXIT(SaveScoreTable(), testing::KilledBySignal(SIGKILL), "");
  BeforeReplaceHook = nullptr;
  EXPECT_EQ(Slurp("score.txt"), Old);
  EXPECT_TRUE(fs::exists("score.txt.tmp")); // the half-done save; the next one replaces it
  ASSERT_TRUE(SaveScoreTable());
  EXPECT_EQ(Slurp("score.txt"), TenLines(ScoreTable));

  // The leftover temporary file is never opened again: even a link planted in its place does
  // not lead the next save to overwrite what it points to.
  Spit("victim.txt", "keep me");
  fs::create_symlink("victim.txt", "score.txt.tmp");
  ASSERT_TRUE(SaveScoreTable());
  EXPECT_EQ(Slurp("victim.txt"), "keep me");
  EXPECT_EQ(Slurp("score.txt"), TenLines(ScoreTable));
  EXPECT_FALSE(fs::exists(fs::symlink_status("score.txt.tmp")));
}
