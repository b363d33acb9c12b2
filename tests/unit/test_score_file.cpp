// The score table's lines and best-score rule; saving is left to the platform and e2e tests.
#include "game/scenes/ScoreFile.h"
#include "game/shared/GameFlow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>

using Table = std::array<std::int32_t, 10>;

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

// The file of the working directory; a missing line leaves its entry.
TEST(ScoreTable, LoadReadsTheFileIntoTheTable) {
  const std::filesystem::path Old = std::filesystem::current_path();
  std::filesystem::current_path(testing::TempDir());
  std::ofstream("score.txt", std::ios::binary) << "5\n7";
  ScoreTable = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  LoadScoreTable();
  std::filesystem::current_path(Old);
  EXPECT_EQ(ScoreTable, (Table{5, 7, 3, 4, 5, 6, 7, 8, 9, 10}));
}

// Ten lines of at most 4096 bytes are read; a bad one is quoted briefly and printably.
TEST(ScoreTable, ReadsTenBoundedLinesAndQuotesABadOnePrintably) {
  const std::string Spaces(MaxScoreLineBytes - 1, ' '), Nines(36, '9'),
      Line2 = "score.txt, line 2: ";
  const Table Start = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10}, One = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const std::tuple<std::string, std::string, Table> Cases[] = {
      {"3\r\n9\r\n9\r\n1\r\n-5\r\n0\r\n-2147483648\r\n\r\n0\r\n2147483647\r\n11\r\nbad\r\n",
       "",
       {3, 9, 9, 1, -5, 0, -2147483647 - 1, 8, 0, 2147483647}},
      {"1\n" + Spaces + "7\r", "", {1, 7, 3, 4, 5, 6, 7, 8, 9, 10}}, // the last line's CR
      {"1\n" + Spaces + "77",
       Line2 + "the line is too long (over 4096 bytes) to be a valid integer value", One},
      {"1\n" + std::string("\x01\0\xFF\\", 4) + Nines + "9",
       Line2 + "'\\x01\\x00\\xFF\\x5C" + Nines + "\xE2\x80\xA6' is not a valid integer value", One},
      {"1\n" + std::string(40, 'z'),
       Line2 + "'" + std::string(40, 'z') + "' is not a valid integer value", One},
  };
  for (const auto& [Bytes, Report, Expected] : Cases) {
    std::FILE* File = fmemopen(const_cast<char*>(Bytes.data()), Bytes.size(), "rb");
    ASSERT_NE(File, nullptr);
    Table Read = Start;
    std::string Error;
    EXPECT_EQ(ReadScoreLines(File, Read, Error), Report.empty()) << Report;
    EXPECT_EQ(Error, Report);
    EXPECT_EQ(Read, Expected) << Report;
    EXPECT_LE(std::ftell(File), 2 + MaxScoreLineBytes + 2) << "read on past a line too long";
    std::fclose(File);
  }
}
