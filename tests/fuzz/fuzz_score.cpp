// libFuzzer target for the score-file reader (run by scripts/fuzz.sh): the real reader over a
// stream in memory. Any bytes must give an answer without a crash, leak or undefined behaviour,
// and a refusal is one short report without raw control bytes.
#include "game/scenes/ScoreFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) {
    return 0; // fmemopen needs a buffer; the empty file is the unit tests'
  }
  std::FILE* File = fmemopen(const_cast<std::uint8_t*>(Data), Size, "rb");
  if (File == nullptr) {
    std::abort();
  }
  std::array<std::int32_t, 10> Table{};
  std::string Error;
  const bool Read = ReadScoreLines(File, Table, Error);
  std::fclose(File);
  bool Sound = Read == Error.empty() && Error.size() <= 250;
  for (const char c : Error) {
    Sound = Sound && static_cast<unsigned char>(c) >= 0x20 && c != 0x7F;
  }
  if (!Sound) {
    std::abort();
  }
  return 0;
}
