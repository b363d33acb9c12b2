// The picture reader, and the generator's pictures: usable by OpenGL 1.1, the same bytes on every
// run, and a map that shows the game's wall grid.
#include "MyUnit.h"
#include "game/model/Registry.h"
#include "game/shared/PictureFiles.h"
#include "game/world/World.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <bit>
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

TEST(TgaFile, ARefusalLeavesOnlyWhatWasReadBefore) {
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
      {"16 bits", Tga(300, 2, 16, TBytes(1200, 0)), BadDepth, {{1, 2, 3}, 7, 300, 2, 9}},
      {"zero width", Tga(0, 4, 32, TBytes(16, 0)), BadSize, {{1, 2, 3}, 7, 0, 4, 9}},
      {"zero height, bad depth", Tga(513, 0, 16, {}), BadSize, {{1, 2, 3}, 7, 513, 0, 9}},
      {"11 of 12 pixel bytes", TBytes(Good.begin(), Good.end() - 1), ShortData, {{}, 24, 2, 2, 9}},
      // 17 GB claimed in 100 bytes: refused before anything that large is allocated.
      {"huge", Tga(65535, 65535, 32, TBytes(82, 0)), ShortData, {{}, 32, 65535, 65535, 9}},
  };
  for (const auto& [What, File, Result, Want] : Cases) {
    TTexture Read = Sentinel, Loaded = Sentinel;
    EXPECT_EQ(ReadTgaFile(Read, Write(File, "kelto_read.tga")), Result) << What;
    EXPECT_EQ(Fields(Read), Fields(Want)) << What;
    // The loader gives up the same way, before it needs OpenGL.
    EXPECT_FALSE(LoadTextureFile(Loaded, Write(File, "kelto_read.tga"))) << What;
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

// /proc/self/mem read from address 0 (never mapped) fails with an input/output error.
TEST(TgaReadErrorDeathTest, LoaderEndsTheProgramNamingTheFile) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TTexture Texture;
  EXPECT_EXIT(LoadTextureFile(Texture, "/proc/self/mem"), testing::ExitedWithCode(1),
              "/proc/self/mem.*[Ii]nput/output error");
}

const fs::path Built = fs::path(KELTO_RUN_DIR) / "picture";

TEST(GeneratedPictures, EveryPictureIsAPowerOfTwoSpriteOrMapWrittenTheSameEachRun) {
  std::string Folder = (fs::temp_directory_path() / "kelto-pictures-XXXXXX").string();
  ASSERT_NE(mkdtemp(Folder.data()), nullptr);
  const std::string Command = std::string("'") + KELTO_PICTURE_TOOL + "' '" + Folder + "'";
  ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
  for (const char* Name : PictureFiles) {
    TTexture Picture;
    ASSERT_EQ(ReadTgaFile(Picture, (Built / Name).string()), TTgaResult::Ok) << Name;
    EXPECT_TRUE(std::has_single_bit(Picture.Width)) << Name;
    EXPECT_TRUE(std::has_single_bit(Picture.Height)) << Name;
    EXPECT_EQ(Picture.BitsPerPixel, std::string(Name) == "map.tga" ? 24u : 32u) << Name;
    TTexture Again;
    ReadTgaFile(Again, (fs::path(Folder) / Name).string());
    EXPECT_EQ(Fields(Picture), Fields(Again)) << Name;
  }
  fs::remove_all(Folder);
}

// Every wall cell is clearly brighter than every floor cell, over 9 x 9 pixels at its centre.
TEST(GeneratedPictures, TheMapShowsExactlyTheWallsOfTheGrid) {
  TTexture Map;
  ASSERT_EQ(ReadTgaFile(Map, (Built / "map.tga").string()), TTgaResult::Ok);
  double DarkestWall = 255, BrightestFloor = 0;
  for (std::size_t Cell = 0; Cell < MapGrid.size(); ++Cell) {
    const std::size_t cx = (2 * (Cell % MapColumns) + 1) * Map.Width / (2 * MapColumns);
    const std::size_t cy = (2 * (Cell / MapColumns) + 1) * Map.Height / (2 * MapRows);
    double Mean = 0;
    for (std::size_t y = cy - 4; y <= cy + 4; ++y) {
      for (std::size_t x = cx - 4; x <= cx + 4; ++x) {
        const std::uint8_t* P = &Map.Pixels[(y * Map.Width + x) * 3];
        Mean += (0.299 * P[0] + 0.587 * P[1] + 0.114 * P[2]) / 81;
      }
    }
    DarkestWall = MapGrid[Cell] != 0 ? std::min(DarkestWall, Mean) : DarkestWall;
    BrightestFloor = MapGrid[Cell] != 0 ? BrightestFloor : std::max(BrightestFloor, Mean);
  }
  EXPECT_GT(DarkestWall, BrightestFloor + 40) << DarkestWall << " " << BrightestFloor;
}

} // namespace
