// libFuzzer targets of the readers of outside input, one per build (scripts/fuzz.sh defines which):
// any bytes give an answer without a crash, leak or undefined behaviour, and the answer holds.
#include "MyUnit.h"
#include "SoundFile.h"
#include "game/replay/Replay.h"
#include "game/scenes/ScoreFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
#if defined(KELTO_FUZZ_tga)
  // A refused picture keeps no pixels. An accepted one holds exactly its pixels, all read from the
  // input: red of the first from the third byte after the header, blue from the first.
  TTexture T;
  const TTgaResult Result = ReadTgaData(T, Data, Size);
  const bool Sound =
      Result == TTgaResult::Ok
          ? (T.BitsPerPixel == 24 || T.BitsPerPixel == 32) && T.Width > 0 && T.Height > 0 &&
                T.Pixels.size() == std::uint64_t{T.Width} * T.Height * (T.BitsPerPixel / 8) &&
                T.Pixels.size() + 18 <= Size && T.Pixels[0] == Data[20] &&
                T.Pixels[1] == Data[19] && T.Pixels[2] == Data[18]
          : Result != TTgaResult::Missing && Result != TTgaResult::IoError && T.Pixels.empty();
#elif defined(KELTO_FUZZ_score)
  // Over a stream in memory; a refusal comes with a short, printable report.
  std::FILE* File = fmemopen(const_cast<std::uint8_t*>(Data), Size, "rb");
  if (File == nullptr) {
    return 0; // an empty input may come without a buffer; the empty file is the unit tests'
  }
  std::array<std::int32_t, 10> Table{};
  std::string Error;
  const bool Read = ReadScoreLines(File, Table, Error);
  std::fclose(File);
  const auto Raw = [](unsigned char c) { return c < 0x20 || c == 0x7F; };
  const bool Sound =
      Read == Error.empty() && Error.size() <= 250 && std::none_of(Error.begin(), Error.end(), Raw);
#elif defined(KELTO_FUZZ_wav)
  // An accepted effect holds at most what the bytes after the headers can; a refused one is left
  // as it was, with a reason.
  std::vector<std::int16_t> Samples = {7};
  std::string Error;
  const bool Sound = ReadSoundData(Data, Size, Samples, Error)
                         ? Error.empty() && 44 + 2 * Samples.size() <= Size
                         : !Error.empty() && Samples == std::vector<std::int16_t>{7};
#else
  // Whole replay scripts through the world, ending with status 0 or 2 (a bad line).
  std::istringstream In(std::string(reinterpret_cast<const char*>(Data), Size));
  std::ostream Out(nullptr); // the world after each step goes nowhere
  std::ostringstream Err;
  const int Status = RunReplay(In, Out, Err);
  const bool Sound = Status == 0 || Status == 2;
#endif
  if (!Sound) {
    std::abort();
  }
  return 0;
}
