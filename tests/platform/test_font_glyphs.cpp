// The context-free steps of building the glyph lists: code page 1251, and glBitmap's row order.
#ifndef _WIN32

#include "platform/sdl/FontGlyphs.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1251ToUnicode, MapsTheCodePageLeavingOnlyOneByteUnassigned) {
  // "Играть" as the menu stores it, the ends of the alphabet, Ё and a symbol.
  const std::pair<std::uint8_t, char32_t> Cases[] = {
      {0xC8, U'\u0418'}, {0xE3, U'\u0433'}, {0xF0, U'\u0440'}, {0xE0, U'\u0430'},
      {0xF2, U'\u0442'}, {0xFC, U'\u044C'}, {0xC0, U'\u0410'}, {0xFF, U'\u044F'},
      {0xA8, U'\u0401'}, {0x88, U'\u20AC'}};
  for (const auto& [Code, Character] : Cases) {
    EXPECT_EQ(Cp1251ToUnicode(Code), Character) << int{Code};
  }
  int Unassigned = 0;
  for (unsigned Code = 0; Code < 256; ++Code) {
    const auto Character = Cp1251ToUnicode(static_cast<std::uint8_t>(Code));
    Unassigned += !Character;
    EXPECT_TRUE(Code >= 0x80 || Character == static_cast<char32_t>(Code)) << Code; // ASCII
  }
  EXPECT_FALSE(Cp1251ToUnicode(0x98));
  EXPECT_EQ(Unassigned, 1);
}

TEST(BottomUpRows, ReversesRowsAndDropsThePadding) {
  // Three rows of a 10-pixel-wide bitmap, 4 bytes apart; the padding bytes hold junk.
  const std::uint8_t TopDown[] = {0x80, 0x40, 0xEE, 0xEE, 0x3F, 0xC0,
                                  0xEE, 0xEE, 0xFF, 0x00, 0xEE, 0xEE};
  const std::vector<std::uint8_t> Expected = {0xFF, 0x00, 0x3F, 0xC0, 0x80, 0x40};
  EXPECT_EQ(BottomUpRows(TopDown, 4, 10, 3), Expected);
  // Stored bottom row first: the top row is last in memory and the pitch steps backwards.
  const std::uint8_t BottomFirst[] = {0xFF, 0x00, 0xEE, 0x3F, 0xC0, 0xEE, 0x80, 0x40, 0xEE};
  EXPECT_EQ(BottomUpRows(BottomFirst + 6, -3, 10, 3), Expected);
}

} // namespace

#endif
