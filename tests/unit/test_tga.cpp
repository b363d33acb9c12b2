// The picture reader: what it takes, what it turns down, and what a refusal leaves in the record.
#include "MyUnit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using TBytes = std::vector<std::uint8_t>;
using enum TTgaResult;

// The accepted header for a Width x Height picture of Depth bits, then Data.
TBytes Tga(int Width, int Height, int Depth, const TBytes& Data, int Descriptor = 0) {
  TBytes File = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (const int Byte : {Width & 255, Width >> 8, Height & 255, Height >> 8, Depth, Descriptor}) {
    File.push_back(static_cast<std::uint8_t>(Byte));
  }
  File.insert(File.end(), Data.begin(), Data.end());
  return File;
}

// Each test writes files of its own names: the tests run in parallel processes.
std::string Write(const TBytes& Bytes, const std::string& Name) {
  const fs::path Path = fs::path(testing::TempDir()) / Name;
  std::ofstream(Path, std::ios::binary) << std::string(Bytes.begin(), Bytes.end());
  return Path.string();
}

// A record that a failed load has left alone while it still holds these values.
const TTexture Sentinel = {{1, 2, 3}, 7, 5, 6, 9};

auto Fields(const TTexture& T) {
  return std::tuple(T.Pixels, T.BitsPerPixel, T.Width, T.Height, T.TextureName);
}

TEST(TgaFile, ReadsRgbInFileOrderAndLeavesOnlyWhatWasReadBeforeARefusal) {
  const TBytes Good = Tga(2, 2, 24, TBytes(12, 0x55));
  const auto With = [&Good](std::size_t Offset, std::uint8_t Value) {
    TBytes File = Good;
    File[Offset] = Value;
    return File;
  };
  const std::tuple<const char*, TBytes, TTgaResult, TTexture> Cases[] = {
      {"24 bits", Tga(2, 1, 24, {1, 2, 3, 4, 5, 6}), Ok, {{3, 2, 1, 6, 5, 4}, 24, 2, 1, 9}},
      // The descriptor's alpha bits and row order are not read: rows stay in file order.
      {"32 bits",
       Tga(1, 2, 32, {1, 2, 3, 4, 5, 6, 7, 8}, 0x28),
       Ok,
       {{3, 2, 1, 4, 7, 6, 5, 8}, 32, 1, 2, 9}},
      {"run-length", With(2, 10), BadHeader, Sentinel},
      {"colour-mapped", With(2, 1), BadHeader, Sentinel},
      {"image ID", With(0, 4), BadHeader, Sentinel},
      {"x origin", With(8, 1), BadHeader, Sentinel},
      {"11 header bytes", TBytes(Good.begin(), Good.begin() + 11), BadHeader, Sentinel},
      {"17 bytes", TBytes(Good.begin(), Good.begin() + 17), ShortLayout, Sentinel},
      {"8 bits", Tga(300, 2, 8, TBytes(600, 0)), BadDepth, {{1, 2, 3}, 7, 300, 2, 9}},
      {"15 bits", Tga(300, 2, 15, TBytes(1200, 0)), BadDepth, {{1, 2, 3}, 7, 300, 2, 9}},
      {"16 bits", Tga(300, 2, 16, TBytes(1200, 0)), BadDepth, {{1, 2, 3}, 7, 300, 2, 9}},
      {"zero width", Tga(0, 4, 32, TBytes(16, 0)), BadSize, {{1, 2, 3}, 7, 0, 4, 9}},
      {"zero height, bad depth", Tga(513, 0, 16, {}), BadSize, {{1, 2, 3}, 7, 513, 0, 9}},
      {"11 of 12 pixel bytes", TBytes(Good.begin(), Good.end() - 1), ShortData, {{}, 24, 2, 2, 9}},
  };
  for (const auto& [What, File, Result, Want] : Cases) {
    TTexture Read = Sentinel, Loaded = Sentinel;
    EXPECT_EQ(ReadTgaFile(Read, Write(File, "kelto_read.tga")), Result) << What;
    EXPECT_EQ(Fields(Read), Fields(Want)) << What;
    // The loader gives up the same way, before it needs OpenGL.
    if (Result != Ok) {
      EXPECT_FALSE(LoadTextureFile(Loaded, Write(File, "kelto_read.tga"))) << What;
    }
  }
}

TEST(TgaFile, MissingFileOrFolderIsSkippedUntouched) {
  const fs::path Folder = testing::TempDir();
  fs::create_directories(Folder / "kelto_folder.tga");
  Write({1}, "kelto_plain");
  for (const char* Name :
       {"kelto_none.tga", "kelto_none/x.tga", "kelto_folder.tga", "kelto_plain/x.tga"}) {
    TTexture Read = Sentinel;
    EXPECT_EQ(ReadTgaFile(Read, (Folder / Name).string()), Missing) << Name;
    EXPECT_EQ(Fields(Read), Fields(Sentinel)) << Name;
  }
}

// A reader that allocated the claimed 17 GB first would fail or take long; scripts/fuzz.sh also
// starts from this picture with a 64 MB allocation limit.
TEST(TgaFile, HugeClaimInASmallFileFailsFastWithoutAllocating) {
  const std::string Path = Write(Tga(65535, 65535, 32, TBytes(82, 0xAB)), "kelto_huge.tga");
  ASSERT_EQ(fs::file_size(Path), 100u);
  const auto Start = std::chrono::steady_clock::now();
  TTexture Texture = Sentinel;
  EXPECT_EQ(ReadTgaFile(Texture, Path), ShortData);
  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(1));
  EXPECT_EQ(Fields(Texture), std::tuple(TBytes{}, 32u, 65535u, 65535u, 9u));
}

// Reading /proc/self/mem from its start fails with an input/output error (address 0 is never
// mapped), which needs no ownership or permission trick.
TEST(TgaReadErrorDeathTest, LoaderEndsTheProgramNamingTheFile) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TTexture Texture;
  EXPECT_EXIT(LoadTextureFile(Texture, "/proc/self/mem"), testing::ExitedWithCode(1),
              "/proc/self/mem.*[Ii]nput/output error");
}

} // namespace
