// Pictures on quads: texels uploaded in place with their alpha, a missing picture drawn as a plain
// quad in the current colour, and the corner texels of the game's pictures that text is printed on.
#include "GlContext.h"

#include "MyUnit.h"

#include "GlApi.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using TBytes = std::vector<std::uint8_t>;

// Loads Path and draws its texture over a Width x Height quad at the top-left under the game's
// alpha test, at texture coordinate (s, s) or, for s < 0, stretched across the quad.
bool LoadAndDraw(TTexture& Texture, const std::string& Path, float s, int Width, int Height) {
  const bool Loaded = LoadTextureFile(Texture, Path);
  ResetFrame();
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.1f);
  glBindTexture(GL_TEXTURE_2D, Texture.TextureName);
  glBegin(GL_TRIANGLE_STRIP);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(s < 0 ? i / 2 : s, s < 0 ? i % 2 : s);
    glVertex2i(i / 2 * Width, i % 2 * Height);
  }
  glEnd();
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_TEXTURE_2D);
  return Loaded;
}

int Distance(const TRgba& P, int r, int g, int b) {
  return std::max({std::abs(P.r - r), std::abs(P.g - g), std::abs(P.b - b)});
}

TEST(Textures, LoadedPicturesShowTheirTexelsInFileOrder) {
  const TTempDir Dir;
  // Each case: the bytes after the header (width, height, depth, descriptor, pixels), then the
  // texels as red, green, blue, alpha. B G R A 10 20 30 40 is R G B A 30 20 10 40. A 24-bit
  // picture has opaque texels and unpadded 3-byte rows; the top-down origin bit changes nothing,
  // and a footer is not read.
  const std::pair<TBytes, TBytes> Cases[] = {
      {{2, 0, 2, 0, 32, 0, 10, 20, 30, 40, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0, 0},
       {30, 20, 10, 40, 255, 0, 0, 255, 0, 0, 255, 255, 0, 255, 0, 0}},
      {{1, 0, 2, 0, 24, 0x20, 0, 0, 255, 255, 0, 0, 9, 9}, {255, 0, 0, 255, 0, 0, 255, 255}},
  };
  glColor3f(1, 1, 1);
  for (const auto& [Data, Texels] : Cases) {
    std::ofstream("picture.tga", std::ios::binary)
        << std::string("\0\0\2\0\0\0\0\0\0\0\0\0", 12) << std::string(Data.begin(), Data.end());
    TTexture Texture;
    const int Width = Data[0], Height = Data[2];
    ASSERT_TRUE(LoadAndDraw(Texture, "picture.tga", -1, 100 * Width, 100 * Height));
    const TScreen Screen = ReadScreen();
    TBytes Uploaded(Texels.size());
    glBindTexture(GL_TEXTURE_2D, Texture.TextureName);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, Uploaded.data());
    EXPECT_EQ(Uploaded, Texels);
    // Drawn 100 x 100 pixels each, first row at the top; alpha 0 fails the alpha test.
    for (int i = 0; i < Width * Height; ++i) {
      const std::uint8_t* T = &Texels[static_cast<std::size_t>(4 * i)];
      const TRgba P = Screen.At(i % Width * 100 + 50, i / Width * 100 + 50);
      EXPECT_LE(Distance(P, T[3] ? T[0] : 0, T[3] ? T[1] : 0, T[3] ? T[2] : 0), 3) << "texel " << i;
    }
    glDeleteTextures(1, &Texture.TextureName);
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(Textures, AMissingPictureGivesAnUntexturedQuadInTheCurrentColour) {
  glColor3ub(51, 102, 153);
  TTexture Texture;
  EXPECT_FALSE(LoadAndDraw(Texture, "/nonexistent/picture.tga", -1, 64, 64));
  glColor3f(1, 1, 1);
  const TScreen Screen = ReadScreen();
  EXPECT_LE(Distance(Screen.At(32, 32), 51, 102, 153), 2);
  EXPECT_EQ(Distance(Screen.At(70, 32), 0, 0, 0), 0);
}

// Text is printed with texturing on: the first menu with the sensor (the last picture loaded)
// bound at texture coordinate (0, 0), the score table after a game frame with the map at (1, 1).
// Filtering there blends the four corner texels: they must pass the alpha test and be light.
TEST(Textures, GamePicturesUnderTextAreOpaqueAndLightAtTheCorner) {
  glColor3f(1, 1, 1);
  for (const auto& [Name, Corner] : {std::pair{"sensor.tga", 0.0f}, std::pair{"map.tga", 1.0f}}) {
    TTexture Texture;
    const std::string Path = std::string(KELTO_RUN_DIR) + "/picture/" + Name;
    ASSERT_TRUE(LoadAndDraw(Texture, Path, Corner, 64, 64)) << Name;
    const TRgba P = ReadScreen().At(32, 32);
    EXPECT_GT(std::min({P.r, P.g, P.b}), 200) << Name;
    glDeleteTextures(1, &Texture.TextureName);
  }
}

} // namespace
