// libFuzzer target for the picture reader (run by scripts/fuzz.sh). Any bytes must give an answer
// without a crash, leak or undefined behaviour, and the answer must agree with the record.
#include "MyUnit.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TTexture T;
  const TTgaResult Result = ReadTgaData(T, Data, Size);
  // A refused picture keeps no pixels. An accepted one holds exactly its pixels, all read from the
  // input: red of the first from the third byte after the header, blue from the first.
  const bool Sound =
      Result == TTgaResult::Ok
          ? (T.BitsPerPixel == 24 || T.BitsPerPixel == 32) && T.Width > 0 && T.Height > 0 &&
                T.Pixels.size() == std::uint64_t{T.Width} * T.Height * (T.BitsPerPixel / 8) &&
                T.Pixels.size() + 18 <= Size && T.Pixels[0] == Data[20] &&
                T.Pixels[1] == Data[19] && T.Pixels[2] == Data[18]
          : Result != TTgaResult::Missing && Result != TTgaResult::IoError && T.Pixels.empty();
  if (!Sound) {
    std::abort();
  }
  return 0;
}
