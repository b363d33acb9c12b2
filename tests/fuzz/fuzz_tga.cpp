// libFuzzer target for the picture reader. Any bytes must give an answer without a crash, leak
// or undefined behaviour; the answer must agree with what the reader keeps; and reading the same
// bytes from a file must give the same answer as reading them from memory.
#include "MyUnit.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// One scratch file for the whole run, rewritten for every input.
const std::string& ScratchFile() {
  static const std::string Path = [] {
    char Pattern[] = "/tmp/kelto-fuzz-tga-XXXXXX";
    const int Descriptor = mkstemp(Pattern);
    if (Descriptor < 0) {
      std::abort();
    }
    close(Descriptor);
    std::atexit([] { std::remove(ScratchFile().c_str()); });
    return std::string(Pattern);
  }();
  return Path;
}

void Check(bool Condition) {
  if (!Condition) {
    std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TTexture Texture;
  const TTgaResult Result = ReadTgaData(Texture, Data, Size);
  Check(Result != TTgaResult::Missing && Result != TTgaResult::IoError);
  if (Result == TTgaResult::Ok) {
    const std::uint64_t PixelSize = Texture.BitsPerPixel / 8;
    Check(Texture.BitsPerPixel == 24 || Texture.BitsPerPixel == 32);
    Check(Texture.Width > 0 && Texture.Height > 0);
    Check(Texture.Pixels.size() == std::uint64_t{Texture.Width} * Texture.Height * PixelSize);
    Check(Texture.Pixels.size() + 18 <= Size);
    // Red of the first pixel comes from the third byte after the header, blue from the first.
    Check(Texture.Pixels[0] == Data[20] && Texture.Pixels[1] == Data[19] &&
          Texture.Pixels[2] == Data[18]);
  } else {
    Check(Texture.Pixels.empty());
  }

  // The file path is much slower; one input in sixteen takes it (the first of a run always does,
  // so a saved crashing input reproduces).
  static unsigned Runs = 0;
  if (Runs++ % 16 != 0) {
    return 0;
  }
  std::FILE* File = std::fopen(ScratchFile().c_str(), "wb");
  Check(File != nullptr);
  Check(std::fwrite(Data, 1, Size, File) == Size);
  Check(std::fclose(File) == 0);
  TTexture FromFile;
  Check(ReadTgaFile(FromFile, ScratchFile()) == Result);
  Check(FromFile.Pixels == Texture.Pixels && FromFile.Width == Texture.Width &&
        FromFile.Height == Texture.Height && FromFile.BitsPerPixel == Texture.BitsPerPixel);
  return 0;
}
