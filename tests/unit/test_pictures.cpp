// The pictures the generator writes into the run folder: the reader takes every one, OpenGL 1.1
// can use them, a second run writes the same bytes, and the map shows the game's wall grid.
#include "MyUnit.h"
#include "game/model/Registry.h"
#include "game/world/World.h"

#include <gtest/gtest.h>

#include <tuple>

#include <unistd.h>

#include <algorithm>
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
  for (const char* Name :
       {"player.tga", "enemy.tga", "SlowTimeField.tga", "FastTimeField.tga", "ShootTimeField.tga",
        "map.tga", "turret.tga", "bullet1.tga", "bullet2.tga", "ligthning.tga", "sensor.tga"}) {
    TTexture Picture;
    ASSERT_EQ(ReadTgaFile(Picture, (Built / Name).string()), TTgaResult::Ok) << Name;
    const auto PowerOfTwo = [](std::uint32_t n) { return (n & (n - 1)) == 0; };
    EXPECT_TRUE(PowerOfTwo(Picture.Width)) << Name;
    EXPECT_TRUE(PowerOfTwo(Picture.Height)) << Name;
    EXPECT_EQ(Picture.BitsPerPixel, std::string(Name) == "map.tga" ? 24u : 32u) << Name;
    EXPECT_TRUE(Bytes(Built / Name) == Bytes(fs::path(Again) / Name)) << Name;
  }
  fs::remove_all(Again);
}

TEST(GeneratedPictures, TheMapShowsExactlyTheWallsOfTheGrid) {
  TTexture Map;
  ASSERT_EQ(ReadTgaFile(Map, (Built / "map.tga").string()), TTgaResult::Ok);
  double DarkestWall = 255, BrightestFloor = 0;
  for (int Row = 0; Row < MapRows; ++Row) {
    for (int Column = 0; Column < MapColumns; ++Column) {
      // Mean brightness of a 9 x 9 patch at the cell's centre.
      const std::size_t cx = (2 * Column + 1) * Map.Width / (2 * MapColumns);
      const std::size_t cy = (2 * Row + 1) * Map.Height / (2 * MapRows);
      double Sum = 0;
      for (std::size_t y = cy - 4; y <= cy + 4; ++y) {
        for (std::size_t x = cx - 4; x <= cx + 4; ++x) {
          const std::uint8_t* P = &Map.Pixels[(y * Map.Width + x) * 3];
          Sum += (0.299 * P[0] + 0.587 * P[1] + 0.114 * P[2]) / 81;
        }
      }
      const bool Wall = MapGrid[static_cast<std::size_t>(Column + Row * MapColumns)] != 0;
      DarkestWall = Wall ? std::min(DarkestWall, Sum) : DarkestWall;
      BrightestFloor = Wall ? BrightestFloor : std::max(BrightestFloor, Sum);
    }
  }
  // Every wall cell is clearly brighter than every floor cell.
  EXPECT_GT(DarkestWall, BrightestFloor + 40) << DarkestWall << " " << BrightestFloor;
}

} // namespace
