// The context-free steps of building the glyph lists: character mapping, row order of the
// bitmaps handed to glBitmap, and the choice of face.
#ifndef _WIN32

#include "platform/sdl/FontGlyphs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

namespace {

TEST(Cp1251ToUnicode, MapsCyrillicLettersAndLeavesOnlyOneByteUnassigned) {
  // "Играть" as the menu stores it.
  EXPECT_EQ(Cp1251ToUnicode(0xC8), U'\u0418');
  EXPECT_EQ(Cp1251ToUnicode(0xE3), U'\u0433');
  EXPECT_EQ(Cp1251ToUnicode(0xF0), U'\u0440');
  EXPECT_EQ(Cp1251ToUnicode(0xE0), U'\u0430');
  EXPECT_EQ(Cp1251ToUnicode(0xF2), U'\u0442');
  EXPECT_EQ(Cp1251ToUnicode(0xFC), U'\u044C');
  // The ends of the alphabet block, the letters outside it, and the upper half's symbols.
  EXPECT_EQ(Cp1251ToUnicode(0xC0), U'\u0410');
  EXPECT_EQ(Cp1251ToUnicode(0xFF), U'\u044F');
  EXPECT_EQ(Cp1251ToUnicode(0xA8), U'\u0401');
  EXPECT_EQ(Cp1251ToUnicode(0xB8), U'\u0451');
  EXPECT_EQ(Cp1251ToUnicode(0x88), U'\u20AC');
  EXPECT_EQ(Cp1251ToUnicode(0xB9), U'\u2116');
  EXPECT_EQ(Cp1251ToUnicode(0xA0), U'\u00A0');
  EXPECT_FALSE(Cp1251ToUnicode(0x98).has_value());
  // The lower half is ASCII, control codes included.
  for (unsigned Code = 0; Code < 0x80; ++Code) {
    EXPECT_EQ(Cp1251ToUnicode(static_cast<std::uint8_t>(Code)), static_cast<char32_t>(Code))
        << Code;
  }
  int Unassigned = 0;
  for (unsigned Code = 0; Code < 256; ++Code) {
    Unassigned += Cp1251ToUnicode(static_cast<std::uint8_t>(Code)).has_value() ? 0 : 1;
  }
  EXPECT_EQ(Unassigned, 1);
}

TEST(BottomUpRows, ReversesRowsAndDropsThePadding) {
  // Three rows of a 10-pixel-wide bitmap, 4 bytes apart; the padding bytes hold junk.
  const std::uint8_t TopDown[] = {
      0x80, 0x40, 0xEE, 0xEE, // top:    X........X
      0x3F, 0xC0, 0xEE, 0xEE, // middle: ..XXXXXXXX
      0xFF, 0x00, 0xEE, 0xEE, // bottom: XXXXXXXX..
  };
  const std::vector<std::uint8_t> Expected = {0xFF, 0x00, 0x3F, 0xC0, 0x80, 0x40};
  EXPECT_EQ(BottomUpRows(TopDown, 4, 10, 3), Expected);

  // The same picture stored bottom row first: the top row is the last in memory and the pitch
  // steps backwards.
  const std::uint8_t BottomFirst[] = {
      0xFF, 0x00, 0xEE, 0x3F, 0xC0, 0xEE, 0x80, 0x40, 0xEE,
  };
  EXPECT_EQ(BottomUpRows(BottomFirst + 6, -3, 10, 3), Expected);

  // Widths on a byte boundary take exactly their bytes; a 9th pixel takes a byte more.
  const std::uint8_t Narrow[] = {0xAA, 0x55};
  EXPECT_EQ(BottomUpRows(Narrow, 1, 8, 2), (std::vector<std::uint8_t>{0x55, 0xAA}));
  EXPECT_EQ(BottomUpRows(TopDown, 4, 9, 1), (std::vector<std::uint8_t>{0x80, 0x40}));
  EXPECT_TRUE(BottomUpRows(nullptr, 0, 0, 0).empty());
}

// A configuration that knows only the given files and, optionally, where "Courier New" leads.
class TFontChoice : public testing::Test {
protected:
  void SetUp() override { Config = FcConfigCreate(); }
  void TearDown() override { FcConfigDestroy(Config); }
  void Add(const char* Path) {
    if (!std::filesystem::exists(Path)) {
      GTEST_SKIP() << Path << " is not installed";
    }
    ASSERT_TRUE(FcConfigAppFontAddFile(Config, reinterpret_cast<const FcChar8*>(Path)));
  }
  void Alias(const std::string& Family) {
    const std::string Rules = "<fontconfig><alias binding=\"same\"><family>Courier New</family>"
                              "<prefer><family>" +
                              Family + "</family></prefer></alias></fontconfig>";
    ASSERT_TRUE(FcConfigParseAndLoadFromMemory(
        Config, reinterpret_cast<const FcChar8*>(Rules.c_str()), FcTrue));
  }
  FcConfig* Config = nullptr;
};

constexpr const char* Sans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* SansMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr const char* LiberationMono =
    "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf";

TEST_F(TFontChoice, NoFontsGiveNoFile) {
  EXPECT_TRUE(FindFontFile(Config).Path.empty());
}

TEST_F(TFontChoice, MonospacedCourierNewIsTakenAsItResolves) {
  Add(SansMono);
  Add(LiberationMono);
  Alias("Liberation Mono");
  EXPECT_EQ(FindFontFile(Config).Path, LiberationMono);
  FcConfig* Other = FcConfigCreate();
  std::swap(Config, Other);
  Add(SansMono);
  Add(LiberationMono);
  Alias("DejaVu Sans Mono");
  EXPECT_EQ(FindFontFile(Config).Path, SansMono);
  FcConfigDestroy(Other);
}

TEST_F(TFontChoice, ProportionalCourierNewFallsBackToAMonospacedFace) {
  Add(Sans);
  Add(SansMono);
  Alias("DejaVu Sans");
  EXPECT_EQ(FindFontFile(Config).Path, SansMono);
}

TEST_F(TFontChoice, OnlyProportionalFacesStillGiveAFont) {
  Add(Sans);
  Alias("DejaVu Sans");
  EXPECT_EQ(FindFontFile(Config).Path, Sans);
}

TEST(FindFontFile, SystemConfigurationGivesAMonospacedFace) {
  const TFontFile File = FindFontFile(nullptr);
  ASSERT_FALSE(File.Path.empty());
  int Count = 0;
  FcPattern* Face = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(File.Path.c_str()), File.Index,
                                    nullptr, &Count);
  ASSERT_NE(Face, nullptr) << File.Path;
  int Spacing = FC_PROPORTIONAL;
  EXPECT_EQ(FcPatternGetInteger(Face, FC_SPACING, 0, &Spacing), FcResultMatch) << File.Path;
  EXPECT_GE(Spacing, FC_MONO) << File.Path;
  FcPatternDestroy(Face);
}

} // namespace

#endif
