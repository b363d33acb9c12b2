// The pictures the generator writes into the run folder: the reader takes every one, OpenGL 1.1
// can use them, a second run writes the same bytes, and the map shows the game's wall grid.
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
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path Built = fs::path(KELTO_RUN_DIR) / "picture";

TEST(GeneratedPictures, EveryPictureIsAPowerOfTwoSpriteOrMapWrittenTheSameEachRun) {
  std::string Again = (fs::temp_directory_path() / "kelto-pictures-XXXXXX").string();
  ASSERT_NE(mkdtemp(Again.data()), nullptr);
  const std::string Command = std::string("'") + KELTO_PICTURE_TOOL + "' '" + Again + "'";
  ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
  const auto Bytes = [](const fs::path& Path) {
    std::ostringstream Text;
    Text << std::ifstream(Path, std::ios::binary).rdbuf();
    return Text.str();
  };
  for (const char* Name : PictureFiles) {
    TTexture Picture;
    ASSERT_EQ(ReadTgaFile(Picture, (Built / Name).string()), TTgaResult::Ok) << Name;
    EXPECT_TRUE(std::has_single_bit(Picture.Width)) << Name;
    EXPECT_TRUE(std::has_single_bit(Picture.Height)) << Name;
    EXPECT_EQ(Picture.BitsPerPixel, std::string(Name) == "map.tga" ? 24u : 32u) << Name;
    EXPECT_TRUE(Bytes(Built / Name) == Bytes(fs::path(Again) / Name)) << Name;
  }
  fs::remove_all(Again);
}

// Every wall cell is clearly brighter than every floor cell, by the mean brightness of a 9 x 9
// patch at the cell's centre.
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
