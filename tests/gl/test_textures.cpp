// Pictures as the game shows them: loaded textures on quads, a missing picture, and the game's
// own pictures drawn the way a game frame draws them (units first, the map last, depth test on).
//
// Set KELTO_PREVIEW=/some/folder to also save the drawn frames there as PNG files.
#include "GlContext.h"

#include "MyUnit.h"
#include "WinMessages.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using TBytes = std::vector<std::uint8_t>;

constexpr float RadiansPerDegree = 0.0174532925f;

TBytes Tga(std::uint16_t Width, std::uint16_t Height, std::uint8_t Depth, const TBytes& Data) {
  TBytes File = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (const std::uint16_t Value : {Width, Height}) {
    File.push_back(static_cast<std::uint8_t>(Value & 0xFF));
    File.push_back(static_cast<std::uint8_t>(Value >> 8));
  }
  File.push_back(Depth);
  File.push_back(0);
  File.insert(File.end(), Data.begin(), Data.end());
  return File;
}

// --- PNG output for previews (stored deflate blocks: no compression library needed) ---

std::uint32_t Crc32(const std::uint8_t* Data, std::size_t Size, std::uint32_t Crc = 0) {
  Crc = ~Crc;
  for (std::size_t i = 0; i < Size; ++i) {
    Crc ^= Data[i];
    for (int k = 0; k < 8; ++k) {
      Crc = (Crc >> 1) ^ (0xEDB88320u & (0u - (Crc & 1u)));
    }
  }
  return ~Crc;
}

void WritePng(const std::string& Path, const std::vector<TRgba>& Screen, int Width, int Height) {
  TBytes Raw;
  for (int y = 0; y < Height; ++y) {
    Raw.push_back(0);
    for (int x = 0; x < Width; ++x) {
      const TRgba& P = Screen[static_cast<std::size_t>(y * Width + x)];
      Raw.insert(Raw.end(), {P.r, P.g, P.b});
    }
  }
  TBytes Z = {0x78, 0x01};
  std::uint32_t A = 1, B = 0;
  for (const std::uint8_t Byte : Raw) {
    A = (A + Byte) % 65521;
    B = (B + A) % 65521;
  }
  for (std::size_t At = 0; At < Raw.size(); At += 65535) {
    const std::size_t Size = std::min<std::size_t>(65535, Raw.size() - At);
    Z.push_back(At + Size == Raw.size() ? 1 : 0);
    Z.insert(Z.end(), {static_cast<std::uint8_t>(Size), static_cast<std::uint8_t>(Size >> 8),
                       static_cast<std::uint8_t>(~Size), static_cast<std::uint8_t>(~Size >> 8)});
    Z.insert(Z.end(), Raw.begin() + static_cast<long>(At),
             Raw.begin() + static_cast<long>(At + Size));
  }
  const std::uint32_t Adler = (B << 16) | A;
  Z.insert(Z.end(), {static_cast<std::uint8_t>(Adler >> 24), static_cast<std::uint8_t>(Adler >> 16),
                     static_cast<std::uint8_t>(Adler >> 8), static_cast<std::uint8_t>(Adler)});

  std::ofstream File(Path, std::ios::binary);
  const auto Put32 = [&File](std::uint32_t V) {
    const char Bytes[4] = {static_cast<char>(V >> 24), static_cast<char>(V >> 16),
                           static_cast<char>(V >> 8), static_cast<char>(V)};
    File.write(Bytes, 4);
  };
  const auto Chunk = [&](const char* Type, const TBytes& Data) {
    Put32(static_cast<std::uint32_t>(Data.size()));
    TBytes Body(Type, Type + 4);
    Body.insert(Body.end(), Data.begin(), Data.end());
    File.write(reinterpret_cast<const char*>(Body.data()), static_cast<long>(Body.size()));
    Put32(Crc32(Body.data(), Body.size()));
  };
  File.write("\x89PNG\r\n\x1a\n", 8);
  Chunk("IHDR",
        {0, 0, static_cast<std::uint8_t>(Width >> 8), static_cast<std::uint8_t>(Width), 0, 0,
         static_cast<std::uint8_t>(Height >> 8), static_cast<std::uint8_t>(Height), 8, 2, 0, 0, 0});
  Chunk("IDAT", Z);
  Chunk("IEND", {});
}

void SavePreview(const std::string& Name) {
  const char* Folder = std::getenv("KELTO_PREVIEW");
  if (Folder != nullptr && *Folder != 0) {
    WritePng((fs::path(Folder) / Name).string(), ReadScreen(), 800, 600);
  }
}

// --- Drawing as the game draws ---

// The unit quad: s along x, t along y, wound to face the viewer.
void BaseQuad(float w, float h) {
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0, 0);
  glVertex2f(-w / 2, -h / 2);
  glTexCoord2f(0, 1);
  glVertex2f(-w / 2, h / 2);
  glTexCoord2f(1, 0);
  glVertex2f(w / 2, -h / 2);
  glTexCoord2f(1, 1);
  glVertex2f(w / 2, h / 2);
  glEnd();
}

void Sprite(const TTexture& Texture, float Tint, float x, float y, float w, float h,
            float Angle = 0) {
  glColor3f(Tint, Tint, Tint);
  glBindTexture(GL_TEXTURE_2D, Texture.TextureName);
  glPushMatrix();
  glTranslatef(x, y, 0);
  glRotatef(Angle / RadiansPerDegree, 0, 0, 1);
  BaseQuad(w, h);
  glPopMatrix();
}

// The trap's lightning: frame k of the sheet, laid on the quad transposed.
void Lightning(const TTexture& Texture, float x, float y, int k) {
  glColor3f(1, 1, 1);
  glBindTexture(GL_TEXTURE_2D, Texture.TextureName);
  glPushMatrix();
  glTranslatef(x + 32, y + 32, 0);
  const float s = static_cast<float>(k) / 8;
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(s, 0);
  glVertex2f(-32, -32);
  glTexCoord2f(s + 0.125f, 0);
  glVertex2f(-32, 32);
  glTexCoord2f(s, 1);
  glVertex2f(32, -32);
  glTexCoord2f(s + 0.125f, 1);
  glVertex2f(32, 32);
  glEnd();
  glPopMatrix();
}

void Map(const TTexture& Texture) {
  glColor3f(0.7f, 0.7f, 0.7f);
  glBindTexture(GL_TEXTURE_2D, Texture.TextureName);
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0, 0);
  glVertex2f(0, 0);
  glTexCoord2f(0, 1);
  glVertex2f(0, 1152);
  glTexCoord2f(1, 0);
  glVertex2f(1408, 0);
  glTexCoord2f(1, 1);
  glVertex2f(1408, 1152);
  glEnd();
}

// What GL_LINEAR with repeat gives for a picture at texture coordinates (s, t), as 0..255 values.
std::array<float, 4> Bilinear(const TTexture& Texture, float s, float t) {
  const int W = static_cast<int>(Texture.Width), H = static_cast<int>(Texture.Height);
  const int Size = static_cast<int>(Texture.BitsPerPixel / 8);
  const float u = s * static_cast<float>(W) - 0.5f, v = t * static_cast<float>(H) - 0.5f;
  const float fu = std::floor(u), fv = std::floor(v);
  const float a = u - fu, b = v - fv;
  std::array<float, 4> Sum{};
  for (int j = 0; j < 2; ++j) {
    for (int i = 0; i < 2; ++i) {
      const int x = ((static_cast<int>(fu) + i) % W + W) % W;
      const int y = ((static_cast<int>(fv) + j) % H + H) % H;
      const float Weight = (i ? a : 1 - a) * (j ? b : 1 - b);
      const std::uint8_t* P = &Texture.Pixels[static_cast<std::size_t>((y * W + x) * Size)];
      for (int c = 0; c < 4; ++c) {
        Sum[static_cast<std::size_t>(c)] += Weight * (c < Size ? P[c] : 255);
      }
    }
  }
  return Sum;
}

void ExpectPixel(int x, int y, float r, float g, float b, float Tolerance, const char* What) {
  const TRgba P = ReadPixel(x, y);
  EXPECT_NEAR(P.r, r, Tolerance) << What << " at " << x << "," << y;
  EXPECT_NEAR(P.g, g, Tolerance) << What << " at " << x << "," << y;
  EXPECT_NEAR(P.b, b, Tolerance) << What << " at " << x << "," << y;
}

// The fixed state of the game's start-up; depth testing as during game frames.
class TextureTest : public testing::Test {
protected:
  void SetUp() override {
    ResetFrame();
    glEnable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    std::string Pattern = (fs::temp_directory_path() / "kelto-gl-tga-XXXXXX").string();
    ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
    Folder = Pattern;
  }
  void TearDown() override {
    for (TTexture* Texture : Loaded) {
      glDeleteTextures(1, &Texture->TextureName);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    fs::remove_all(Folder);
  }

  std::string Write(const std::string& Name, const TBytes& Bytes) {
    const fs::path Path = Folder / Name;
    std::ofstream(Path, std::ios::binary)
        .write(reinterpret_cast<const char*>(Bytes.data()), static_cast<long>(Bytes.size()));
    return Path.string();
  }

  bool Load(TTexture& Texture, const std::string& Path) {
    const bool Ok = LoadTextureFile(Texture, Path);
    if (Ok) {
      Loaded.push_back(&Texture);
    }
    return Ok;
  }

  fs::path Folder;
  std::vector<TTexture*> Loaded;
};

TEST_F(TextureTest, LoadedPictureShowsOnAQuadFirstRowAtTheTop) {
  // 4 x 2, 32 bits; file rows: top red, green, transparent, blue / bottom white, grey, yellow,
  // half-transparent magenta. Bytes are blue, green, red, alpha.
  const TBytes Data = {0,   0,   255, 255, 0,   255, 0,   255, 255, 255, 255,
                       0,   255, 0,   0,   255, 255, 255, 255, 255, 128, 128,
                       128, 255, 0,   255, 255, 255, 255, 0,   255, 128};
  TTexture Texture;
  ASSERT_TRUE(Load(Texture, Write("rgba.tga", Tga(4, 2, 32, Data))));
  ASSERT_NE(Texture.TextureName, 0u);
  GLint Bound = 0, Min = 0, Mag = 0, Width = 0, Height = 0, Format = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &Bound);
  EXPECT_EQ(static_cast<GLuint>(Bound), Texture.TextureName) << "the new texture stays bound";
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &Min);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &Mag);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &Width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &Height);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &Format);
  EXPECT_EQ(Min, GL_LINEAR);
  EXPECT_EQ(Mag, GL_LINEAR);
  EXPECT_EQ(Width, 4);
  EXPECT_EQ(Height, 2);
  EXPECT_EQ(Format, GL_RGBA);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  // A dark green backdrop, then the picture on a 400 x 200 quad with its top-left at (0, 0):
  // texel centres fall at x = 50, 150, 250, 350 and y = 50, 150.
  glBindTexture(GL_TEXTURE_2D, 0);
  glColor3f(0, 0.4f, 0);
  glBegin(GL_TRIANGLE_STRIP);
  glVertex2f(0, 0);
  glVertex2f(0, 600);
  glVertex2f(800, 0);
  glVertex2f(800, 600);
  glEnd();
  Sprite(Texture, 1, 200, 100, 400, 200);
  ExpectPixel(50, 50, 255, 0, 0, 3, "red");
  ExpectPixel(150, 50, 0, 255, 0, 3, "green");
  ExpectPixel(250, 50, 0, 102, 0, 3, "transparent texel: backdrop");
  ExpectPixel(350, 50, 0, 0, 255, 3, "blue");
  ExpectPixel(50, 150, 255, 255, 255, 3, "white");
  ExpectPixel(150, 150, 128, 128, 128, 3, "grey");
  ExpectPixel(250, 150, 255, 255, 0, 3, "yellow");
  // Alpha 128 passes the alpha test and blends half and half with the backdrop.
  ExpectPixel(350, 150, 128, 51, 128, 4, "half-transparent magenta");
}

TEST_F(TextureTest, TwentyFourBitPictureOfOddWidthIsOpaqueAndUnskewed) {
  // 3 x 2: rows of 9 bytes.
  const TBytes Data = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 255, 255, 255, 0, 255, 255, 255, 0};
  TTexture Texture;
  ASSERT_TRUE(Load(Texture, Write("rgb.tga", Tga(3, 2, 24, Data))));
  GLint Format = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &Format);
  EXPECT_EQ(Format, GL_RGB);
  GLint Alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &Alignment);
  EXPECT_EQ(Alignment, 4) << "the loader puts the unpack alignment back";
  Sprite(Texture, 1, 150, 100, 300, 200);
  ExpectPixel(50, 50, 255, 0, 0, 3, "red");
  ExpectPixel(150, 50, 0, 255, 0, 3, "green");
  ExpectPixel(250, 50, 0, 0, 255, 3, "blue");
  ExpectPixel(50, 150, 255, 255, 0, 3, "yellow");
  ExpectPixel(150, 150, 255, 0, 255, 3, "magenta");
  ExpectPixel(250, 150, 0, 255, 255, 3, "cyan");
}

TEST_F(TextureTest, MissingPictureGivesAnUntexturedQuadInTheCurrentColour) {
  TTexture Texture;
  EXPECT_FALSE(Load(Texture, (Folder / "absent.tga").string()));
  EXPECT_FALSE(Load(Texture, Write("short.tga", Tga(2, 2, 24, TBytes(11, 200)))));
  EXPECT_EQ(Texture.TextureName, 0u);
  EXPECT_TRUE(Texture.Pixels.empty());
  glColor3f(0.2f, 0.4f, 0.6f);
  glBindTexture(GL_TEXTURE_2D, Texture.TextureName);
  glPushMatrix();
  glTranslatef(400, 300, 0);
  BaseQuad(64, 64);
  glPopMatrix();
  ExpectPixel(400, 300, 51, 102, 153, 2, "untextured quad");
  ExpectPixel(369, 269, 51, 102, 153, 2, "untextured quad corner");
  ExpectPixel(366, 300, 0, 0, 0, 0, "outside the quad");
}

// The eleven pictures drawn like a game frame. Units first, in registry order, then the map;
// each fragment that passes the alpha test writes depth, so a unit hides the map under it.
class GamePictures : public TextureTest {
protected:
  void SetUp() override {
    TextureTest::SetUp();
    const fs::path Pictures = fs::path(KELTO_RUN_DIR) / "picture";
    const std::pair<TTexture*, const char*> Files[] = {
        {&Player, "player.tga"},        {&Enemy, "enemy.tga"},
        {&Slow, "SlowTimeField.tga"},   {&Fast, "FastTimeField.tga"},
        {&Shoot, "ShootTimeField.tga"}, {&MapPicture, "map.tga"},
        {&Turret, "turret.tga"},        {&Bullet1, "bullet1.tga"},
        {&Bullet2, "bullet2.tga"},      {&LightningSheet, "ligthning.tga"},
        {&Sensor, "sensor.tga"},
    };
    for (const auto& [Texture, Name] : Files) {
      ASSERT_TRUE(Load(*Texture, (Pictures / Name).string())) << Name;
    }
    glEnable(GL_DEPTH_TEST);
  }

  // The camera as the world draw sets it for a player at (px, py).
  void Camera(float px, float py) {
    glLoadIdentity();
    glTranslatef(400 - px, 300 - py, 0);
  }

  TTexture Player, Enemy, Slow, Fast, Shoot, MapPicture, Turret, Bullet1, Bullet2, LightningSheet,
      Sensor;
};

TEST_F(GamePictures, UnitsHideTheMapAndTheMapFillsTheRest) {
  // Player at (560, 380): camera (-160, -80).
  const float px = 560, py = 380;
  Camera(px, py);
  // Player (slot 0), drawn at the window centre.
  glPushMatrix();
  glLoadIdentity();
  Sprite(Player, 1, 400, 300, 64, 64, 0);
  glPopMatrix();
  Sprite(Enemy, 0.6f, 448, 416, 48, 48, 0);
  Sprite(Enemy, 0.6f, 864, 320, 48, 48, 2.3f);
  Sprite(Sensor, 1, 832 + 32, 512 + 32, 64, 64);
  Lightning(LightningSheet, 704, 512, 3);
  Sprite(Turret, 0.6f, 320, 224, 64, 64, 0);
  Sprite(Turret, 0.6f, 672, 192, 64, 64, 1.1f);
  // Bullets and fields, registered later.
  Sprite(Bullet1, 1, 560 + 60, 380 - 40, 5, 15, 6.28318f - 0.98f);
  Sprite(Bullet1, 1, 560 + 110, 380 - 74, 5, 15, 6.28318f - 0.98f);
  Sprite(Bullet2, 1, 672 - 40 * std::sin(1.1f), 192 + 40 * std::cos(1.1f), 5, 15, 1.1f + 3.14159f);
  Sprite(Bullet2, 1, 480, 440, 5, 15, 0.6f);
  Sprite(Shoot, 1, 520, 330, 9, 16, 2.5f);
  Sprite(Slow, 1, 700, 420, 139, 110, 0.9f);
  Sprite(Slow, 1, 380, 560, 69, 47, -0.4f);
  Map(MapPicture);
  SavePreview("game-frame.png");

  // Inside the player (drawn unturned at the centre): its own texels, exactly aligned.
  for (const auto& [x, y] : {std::pair{400, 300}, std::pair{385, 298}, std::pair{400, 322}}) {
    const auto Want = Bilinear(Player, (static_cast<float>(x - 368) + 0.5f) / 64,
                               (static_cast<float>(y - 268) + 0.5f) / 64);
    ASSERT_EQ(Want[3], 255) << "sample an opaque part of the player";
    ExpectPixel(x, y, Want[0], Want[1], Want[2], 3, "player");
  }
  // Inside the unturned enemy at level (448, 416), window (288, 336), 48 x 48 at 60 %.
  for (const auto& [x, y] : {std::pair{288, 336}, std::pair{288, 344}, std::pair{278, 328}}) {
    const float s = (static_cast<float>(x) + 0.5f - 264) / 48;
    const float t = (static_cast<float>(y) + 0.5f - 312) / 48;
    const auto Want = Bilinear(Enemy, s, t);
    ASSERT_EQ(Want[3], 255) << "sample an opaque part of the enemy";
    ExpectPixel(x, y, 0.6f * Want[0], 0.6f * Want[1], 0.6f * Want[2], 3, "enemy");
  }
  // Where no unit is: the map at 70 %. A transparent corner of the unturned turret (window 128,
  // 114) and open floor (window 250, 420) both show it.
  for (const auto& [x, y] : {std::pair{131, 117}, std::pair{250, 420}, std::pair{600, 40}}) {
    const float lx = static_cast<float>(x) + 0.5f + px - 400;
    const float ly = static_cast<float>(y) + 0.5f + py - 300;
    const auto Want = Bilinear(MapPicture, lx / 1408, ly / 1152);
    ExpectPixel(x, y, 0.7f * Want[0], 0.7f * Want[1], 0.7f * Want[2], 3, "map");
  }
}

// Every sprite at several angles over the floor and walls, only for looking at: run with
// --gtest_also_run_disabled_tests and KELTO_PREVIEW set.
TEST_F(GamePictures, DISABLED_PreviewGallery) {
  Camera(704, 600);
  const float Angles[] = {0, 0.785f, 1.571f, 3.142f, 4.712f, 5.5f};
  for (int i = 0; i < 6; ++i) {
    const float x = 380 + 110.0f * static_cast<float>(i), a = Angles[i];
    Sprite(Player, 1, x, 330, 64, 64, a);
    Sprite(Enemy, 0.6f, x, 410, 48, 48, a);
    Sprite(Turret, 0.6f, x, 490, 64, 64, a);
    Sprite(Bullet1, 1, x - 20, 560, 5, 15, a);
    Sprite(Bullet2, 1, x + 20, 560, 5, 15, a);
    Sprite(Shoot, 1, x - 30, 620, 1.5f + 1.8f * static_cast<float>(i),
           3 + 3.8f * static_cast<float>(i), a);
    Sprite(Slow, 1, x + 10, 700, 69 + 14 * static_cast<float>(i),
           47 + 12.6f * static_cast<float>(i), a);
    Lightning(LightningSheet, x - 32, 780, i + 1);
    Sprite(Sensor, 1, x + 32 - 32, 880, 64, 64);
  }
  Map(MapPicture);
  SavePreview("gallery.png");
}

} // namespace
