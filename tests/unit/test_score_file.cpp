// The score table: line conversion, reading "score.txt" and the best-score rule. Saving is the
// platform's (platform/test_score_save.cpp); start-up failures of the real game are in
// e2e/test_score_file.sh.
#include "game/scenes/ScoreFile.h"
#include "game/shared/GameFlow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;
using Table = std::array<std::int32_t, 10>;

namespace {

void Spit(const std::string& Bytes) {
  std::ofstream("score.txt", std::ios::binary) << Bytes;
}

// A fresh folder of its own as the working directory, which "nobody" may enter.
class ScoreFileTest : public testing::Test {
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
  std::string Dir = (fs::temp_directory_path() / "kelto-score-XXXXXX").string();
};

} // namespace

TEST(ScoreTable, TextToIntAndBestScoreRule) {
  // Whole lines only; hexadecimal values past the signed range are errors, not negatives.
  // clang-format off
  const std::pair<std::string, std::optional<std::int32_t>> Cases[] = {{" 12", 12}, {"-3", -3},
      {"$1F", 31}, {"0x1f", 31}, {"x10", 16}, {"+7", 7}, {"-x10", -16}, {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1}, {"$7FFFFFFF", 2147483647}, {"-$80000000", -2147483647 - 1},
      {"12 ", {}}, {"abc", {}}, {"-", {}}, {"$", {}}, {"2147483648", {}}, {"1 2", {}}, {"0x", {}},
      {"$-1", {}}, {"-2147483649", {}}, {"$80000000", {}}, {"1\r", {}}, {std::string("1\0", 2), {}}};
  // clang-format on
  for (const auto& [Text, Expected] : Cases) {
    std::int32_t Value = 12345;
    EXPECT_EQ(TextToInt(Text, Value), Expected.has_value()) << '\'' << Text << '\'';
    EXPECT_EQ(Value, Expected.value_or(12345)) << '\'' << Text << '\'';
  }
  // Only entry 10 is compared (signed) and replaced, even when smaller values stand elsewhere.
  ScoreTable = {1, 0, 0, 0, 0, 0, 0, 0, 0, 5};
  for (const auto& [NewScore, Last] : {std::pair{7, 7}, {6, 7}, {-1, 7}}) {
    Score = NewScore;
    ApplyBestScore();
    EXPECT_EQ(ScoreTable, (Table{1, 0, 0, 0, 0, 0, 0, 0, 0, Last})) << NewScore;
  }
}

TEST_F(ScoreFileTest, ReadsTheFirstTenLines) {
  ScoreTable = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}; // an empty or missing line leaves its entry
  Spit("5\n\n7");
  LoadScoreTable();
  EXPECT_EQ(ScoreTable, (Table{5, 2, 7, 4, 5, 6, 7, 8, 9, 10}));
  // CR LF, negatives through the sort and the save, two lines past the tenth.
  Spit("3\r\n9\r\n9\r\n1\r\n-5\r\n0\r\n-2147483648\r\n\r\n0\r\n2147483647\r\n11\r\nbad\r\n");
  LoadScoreTable();
  EXPECT_EQ(ScoreTable, (Table{3, 9, 9, 1, -5, 0, -2147483647 - 1, 8, 0, 2147483647}));
}

// Whatever a file holds, at most ten bounded lines are read, and a report quotes a line briefly
// and printably.
TEST(ScoreTable, ReadsBoundedLinesAndQuotesThemPrintably) {
  const std::string Spaces(MaxScoreLineBytes - 1, ' ');
  const std::string TooLong =
      "score.txt, line 2: the line is too long (over 4096 bytes) to be a valid integer value";
  const std::string Nines(36, '9');
  const std::pair<std::string, std::string> Cases[] = {
      {"1\n" + Spaces + "7\r\n", ""},
      {"1\n" + Spaces + "77", TooLong},
      {"1\n" + std::string(1'000'000, '5'), TooLong},
      {"1\n" + std::string("\x01\0\xFF\\", 4) + Nines + "9",
       "score.txt, line 2: '\\x01\\x00\\xFF\\x5C" + Nines +
           "\xE2\x80\xA6' is not a valid integer value"},
      {"1\n" + std::string(40, 'z'),
       "score.txt, line 2: '" + std::string(40, 'z') + "' is not a valid integer value"},
  };
  for (const auto& [Bytes, Report] : Cases) {
    std::FILE* File = fmemopen(const_cast<char*>(Bytes.data()), Bytes.size(), "rb");
    ASSERT_NE(File, nullptr);
    Table Read{};
    std::string Error;
    EXPECT_EQ(ReadScoreLines(File, Read, Error), Report.empty()) << Report;
    EXPECT_EQ(Error, Report);
    EXPECT_EQ(Read, (Table{1, Report.empty() ? 7 : 0})) << Report;
    EXPECT_LE(std::ftell(File), 2 + MaxScoreLineBytes + 2) << "read on past a line too long";
    std::fclose(File);
  }
}
