// The picture reader: what it turns down, and what it leaves in the record when it does.
#include "MyUnit.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using TBytes = std::vector<std::uint8_t>;
using enum TTgaResult;

// The accepted header for a Width x Height picture of Depth bits, then Data.
TBytes Tga(int Width, int Height, int Depth, const TBytes& Data) {
  TBytes File = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (const int Byte : {Width & 255, Width >> 8, Height & 255, Height >> 8, Depth, 0}) {
    File.push_back(static_cast<std::uint8_t>(Byte));
  }
  File.insert(File.end(), Data.begin(), Data.end());
  return File;
}

// A record that a failed load has left alone while it still holds these values.
const TTexture Sentinel = {{1, 2, 3}, 7, 5, 6, 9};

auto Fields(const TTexture& T) {
  return std::tuple(T.Pixels, T.BitsPerPixel, T.Width, T.Height, T.TextureName);
}

class TgaFileTest : public testing::Test {
protected:
  void SetUp() override {
    std::string Pattern = (fs::temp_directory_path() / "kelto-tga-XXXXXX").string();
    ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
    Folder = Pattern;
  }
  void TearDown() override { fs::remove_all(Folder); }
  std::string Write(const TBytes& Bytes, const std::string& Name = "picture.tga") {
    std::ofstream(Folder / Name, std::ios::binary) << std::string(Bytes.begin(), Bytes.end());
    return (Folder / Name).string();
  }
  fs::path Folder;
};

TEST_F(TgaFileTest, RejectedPicturesLeaveOnlyWhatWasReadBeforeTheCheck) {
  const TBytes Good = Tga(2, 2, 24, TBytes(12, 0x55));
  const auto With = [&Good](std::size_t Offset, std::uint8_t Value) {
    TBytes File = Good;
    File[Offset] = Value;
    return File;
  };
  const std::tuple<const char*, TBytes, TTgaResult, TTexture> Cases[] = {
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
    EXPECT_EQ(ReadTgaFile(Read, Write(File)), Result) << What;
    // The loader gives up the same way, before it needs OpenGL.
    EXPECT_FALSE(LoadTextureFile(Loaded, Write(File))) << What;
    EXPECT_EQ(Fields(Loaded), Fields(Want)) << What;
  }
}

TEST_F(TgaFileTest, MissingFileOrFolderIsSkippedUntouched) {
  fs::create_directory(Folder / "folder.tga");
  Write({1}, "plain");
  for (const char* Name : {"nothing.tga", "no-folder/x.tga", "folder.tga", "plain/x.tga"}) {
    TTexture Read, Loaded = Sentinel;
    EXPECT_EQ(ReadTgaFile(Read, (Folder / Name).string()), Missing) << Name;
    EXPECT_FALSE(LoadTextureFile(Loaded, (Folder / Name).string())) << Name;
    EXPECT_EQ(Fields(Loaded), Fields(Sentinel)) << Name;
  }
}

// A reader that allocated the claimed 17 GB first would fail or take long; scripts/fuzz.sh also
// starts from this picture with a 64 MB allocation limit.
TEST_F(TgaFileTest, HugeClaimInASmallFileFailsFastWithoutAllocating) {
  const std::string Path = Write(Tga(65535, 65535, 32, TBytes(82, 0xAB)));
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

TEST_F(TgaFileTest, PicturesWrittenByImageMagickLoadWithTheirPixels) {
  if (std::system("command -v convert >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "ImageMagick's convert is not installed";
  }
  // One row: which row ImageMagick stores first varies by version.
  const std::pair<std::string, TTexture> Cases[] = {
      {"TrueColorAlpha", {{10, 20, 30, 255, 40, 50, 60, 51, 70, 80, 90, 0}, 32, 3, 1}},
      {"TrueColor", {{10, 20, 30, 40, 50, 60, 70, 80, 90}, 24, 3, 1}},
  };
  for (const auto& [Type, Want] : Cases) {
    const std::string Path = (Folder / (Type + ".tga")).string();
    const std::string Command = "convert -size 1x1 xc:'rgba(10,20,30,1)' xc:'rgba(40,50,60,0.2)' "
                                "xc:'rgba(70,80,90,0)' +append -type " +
                                Type + " -compress none '" + Path + "'";
    ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
    TTexture Texture;
    EXPECT_EQ(ReadTgaFile(Texture, Path), Ok) << Type;
    EXPECT_EQ(Fields(Texture), Fields(Want)) << Type;
  }
}

} // namespace
