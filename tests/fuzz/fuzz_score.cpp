// libFuzzer target for the score-file reader (scripts/fuzz.sh), over a stream in memory: any bytes
// give an answer without a crash, leak or undefined behaviour, a refusal a short, printable report.
#include "game/scenes/ScoreFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::FILE* File = fmemopen(const_cast<std::uint8_t*>(Data), Size, "rb");
  if (File == nullptr) {
    return 0; // an empty input may come without a buffer; the empty file is the unit tests'
  }
  std::array<std::int32_t, 10> Table{};
  std::string Error;
  const bool Read = ReadScoreLines(File, Table, Error);
  std::fclose(File);
  const auto Raw = [](unsigned char c) { return c < 0x20 || c == 0x7F; };
  if (Read != Error.empty() || Error.size() > 250 || std::any_of(Error.begin(), Error.end(), Raw)) {
    std::abort();
  }
  return 0;
}
