// The pictures our generator writes into the run folder: the reader takes them, OpenGL 1.1 can
// use them, their transparency suits the game's alpha test, and the map shows the walls that the
// game's wall grid has.
#include "MyUnit.h"
#include "game/world/World.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path PictureFolder = fs::path(KELTO_RUN_DIR) / "picture";

const char* const SpriteFiles[] = {
    "player.tga", "enemy.tga",   "SlowTimeField.tga", "FastTimeField.tga", "ShootTimeField.tga",
    "turret.tga", "bullet1.tga", "bullet2.tga",       "ligthning.tga",     "sensor.tga"};

bool PowerOfTwo(std::uint32_t n) {
  return n != 0 && (n & (n - 1)) == 0;
}

TTexture ReadPicture(const std::string& Name) {
  TTexture Texture;
  EXPECT_EQ(ReadTgaFile(Texture, (PictureFolder / Name).string()), TTgaResult::Ok) << Name;
  return Texture;
}

std::vector<char> FileBytes(const fs::path& Path) {
  std::ifstream File(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
}

TEST(GeneratedPictures, SpritesAreHardEdgedPowerOfTwoPicturesWithAClearBorder) {
  std::uint64_t Total = 0;
  for (const char* Name : SpriteFiles) {
    SCOPED_TRACE(Name);
    const TTexture Sprite = ReadPicture(Name);
    ASSERT_EQ(Sprite.BitsPerPixel, 32u);
    EXPECT_TRUE(PowerOfTwo(Sprite.Width)) << Sprite.Width;
    EXPECT_TRUE(PowerOfTwo(Sprite.Height)) << Sprite.Height;
    Total += Sprite.Pixels.size();
    // Alpha is 0 or 255 only, and a transparent texel is black: the game's alpha test keeps
    // what filtering makes of an edge, and that must darken, not glow.
    int Opaque = 0;
    for (std::size_t i = 0; i < Sprite.Pixels.size(); i += 4) {
      const std::uint8_t* P = &Sprite.Pixels[i];
      ASSERT_TRUE(P[3] == 255 || (P[3] == 0 && P[0] == 0 && P[1] == 0 && P[2] == 0))
          << "texel " << i / 4 << ": " << int{P[0]} << " " << int{P[1]} << " " << int{P[2]}
          << " alpha " << int{P[3]};
      Opaque += P[3] == 255;
    }
    EXPECT_GT(Opaque, static_cast<int>(Sprite.Width * Sprite.Height / 10)) << "mostly empty";
    // The outermost texels stay clear, so that repeat wrapping at a quad's edge pulls in
    // nothing from the opposite side. The lightning sheet keeps each frame's edges clear too.
    // The sensor plate covers its whole tile instead (see the next test).
    if (std::string(Name) == "sensor.tga") {
      continue;
    }
    const std::uint32_t FrameWidth = std::string(Name) == "ligthning.tga" ? 64 : Sprite.Width;
    for (std::uint32_t y = 0; y < Sprite.Height; ++y) {
      for (std::uint32_t x = 0; x < Sprite.Width; ++x) {
        const bool Edge = y == 0 || y + 1 == Sprite.Height || x % FrameWidth == 0 ||
                          x % FrameWidth + 1 == FrameWidth;
        if (Edge) {
          ASSERT_EQ(Sprite.Pixels[(y * Sprite.Width + x) * 4 + 3], 0) << "at " << x << "," << y;
        }
      }
    }
  }
  const TTexture Map = ReadPicture("map.tga");
  EXPECT_EQ(Map.BitsPerPixel, 24u);
  EXPECT_TRUE(PowerOfTwo(Map.Width) && PowerOfTwo(Map.Height));
  Total += Map.Pixels.size();
  EXPECT_LT(Total, 4u * 1024 * 1024) << "texture memory of the whole set";
}

// Text is printed with texturing on, modulated by whatever picture is bound at the current
// texture coordinate. The first menu prints with the last picture loaded (the sensor) bound at
// (0, 0); the score table prints after a game frame, with the map bound at (1, 1). Filtering
// takes both from the four corner texels: they must be opaque, or the alpha test drops the text,
// and light, so that the text keeps its colour.
TEST(GeneratedPictures, PicturesBoundWhenTextIsPrintedAreOpaqueAndLightAtTheCorners) {
  for (const char* Name : {"sensor.tga", "map.tga"}) {
    SCOPED_TRACE(Name);
    const TTexture Picture = ReadPicture(Name);
    const std::uint32_t Size = Picture.BitsPerPixel / 8;
    for (const std::uint32_t y : {0u, Picture.Height - 1}) {
      for (const std::uint32_t x : {0u, Picture.Width - 1}) {
        const std::uint8_t* P = &Picture.Pixels[(y * Picture.Width + x) * Size];
        if (Size == 4) {
          EXPECT_EQ(P[3], 255) << "corner " << x << "," << y;
        }
        EXPECT_GT(std::min({P[0], P[1], P[2]}), 200) << "corner " << x << "," << y;
      }
    }
  }
}

TEST(GeneratedPictures, TheLightningSheetHoldsEightDifferentFrames) {
  const TTexture Sheet = ReadPicture("ligthning.tga");
  ASSERT_EQ(Sheet.Width, 8 * Sheet.Height);
  const std::uint32_t Frame = Sheet.Height;
  std::vector<std::vector<std::uint8_t>> Frames(8);
  for (std::uint32_t y = 0; y < Frame; ++y) {
    for (std::uint32_t f = 0; f < 8; ++f) {
      const auto Row = Sheet.Pixels.begin() + (y * Sheet.Width + f * Frame) * 4;
      Frames[f].insert(Frames[f].end(), Row, Row + Frame * 4);
    }
  }
  for (std::size_t a = 0; a < 8; ++a) {
    for (std::size_t b = a + 1; b < 8; ++b) {
      EXPECT_NE(Frames[a], Frames[b]) << "frames " << a << " and " << b;
    }
  }
}

// Mean brightness of the map picture over a small patch around the centre of cell (c, r).
double CellBrightness(const TTexture& Map, int Column, int Row) {
  const double cx = (Column + 0.5) * Map.Width / MapColumns;
  const double cy = (Row + 0.5) * Map.Height / MapRows;
  double Sum = 0;
  int Count = 0;
  for (int dy = -4; dy <= 4; ++dy) {
    for (int dx = -4; dx <= 4; ++dx) {
      const std::size_t x = static_cast<std::size_t>(cx) + dx,
                        y = static_cast<std::size_t>(cy) + dy;
      const std::uint8_t* P = &Map.Pixels[(y * Map.Width + x) * 3];
      Sum += 0.299 * P[0] + 0.587 * P[1] + 0.114 * P[2];
      ++Count;
    }
  }
  return Sum / Count;
}

TEST(GeneratedPictures, TheMapShowsExactlyTheWallsOfTheGrid) {
  const TTexture Map = ReadPicture("map.tga");
  ASSERT_EQ(Map.Pixels.size(), std::size_t{Map.Width} * Map.Height * 3);
  double DarkestWall = 255, BrightestFloor = 0;
  for (int Row = 0; Row < MapRows; ++Row) {
    for (int Column = 0; Column < MapColumns; ++Column) {
      const double Brightness = CellBrightness(Map, Column, Row);
      if (MapGrid[static_cast<std::size_t>(Column + Row * MapColumns)] != 0) {
        DarkestWall = std::min(DarkestWall, Brightness);
      } else {
        BrightestFloor = std::max(BrightestFloor, Brightness);
      }
    }
  }
  // Every wall cell is clearly brighter than every floor cell.
  EXPECT_GT(DarkestWall, BrightestFloor + 40)
      << "walls " << DarkestWall << ", floor " << BrightestFloor;
}

#ifdef KELTO_PICTURE_TOOL
TEST(GeneratedPictures, EveryRunWritesTheSameBytes) {
  std::string Pattern = (fs::temp_directory_path() / "kelto-pictures-XXXXXX").string();
  ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
  const fs::path Folder = Pattern;
  const std::string Command =
      std::string("'") + KELTO_PICTURE_TOOL + "' '" + (Folder / "picture").string() + "'";
  ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
  int Files = 0;
  for (const auto& Entry : fs::directory_iterator(Folder / "picture")) {
    const fs::path Built = PictureFolder / Entry.path().filename();
    EXPECT_EQ(FileBytes(Entry.path()), FileBytes(Built)) << Entry.path().filename();
    ++Files;
  }
  EXPECT_EQ(Files, 11);
  fs::remove_all(Folder);
}
#endif

} // namespace
