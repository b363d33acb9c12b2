// Text through the glyph lists on a real context: where and in what colour it lands, the state a
// print leaves, bytes without glyphs, starts outside the viewport, deleting without a context.
#include "FontUnit.h"
#include "GlContext.h"
#include "OGLWnd.h"

#include "GlApi.h"
#include <SDL.h>
#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Extent and count of the non-black pixels in a rectangle; Pure: those equal to Colour.
struct TInk {
  int Left = 800, Right = -1, Bottom = -1, Count = 0, Pure = 0;
};

TInk InkIn(const std::vector<TRgba>& Screen, int Left = 0, int Right = 799, int Top = 0,
           int Bottom = 599, TRgba Colour = {}) {
  TInk Ink;
  for (int y = Top; y <= Bottom; ++y) {
    for (int x = Left; x <= Right; ++x) {
      const TRgba& P = Screen[static_cast<std::size_t>(y * 800 + x)];
      if (P.r != 0 || P.g != 0 || P.b != 0) {
        const bool Pure = P.r == Colour.r && P.g == Colour.g && P.b == Colour.b;
        Ink = {std::min(Ink.Left, x), std::max(Ink.Right, x), y, Ink.Count + 1, Ink.Pure + Pure};
      }
    }
  }
  return Ink;
}

// The screen after printing Text in white on a cleared frame.
std::vector<TRgba> Printed(int x, int y, const std::string& Text) {
  ResetFrame();
  glColor3f(1, 1, 1);
  PrintText(x, y, Text);
  return ReadScreen();
}

class TFontTest : public testing::Test {
protected:
  void SetUp() override {
    if (FontBase == 0 || !glIsList(FontBase + 'H')) {
      BuildFont();
    }
    // Glyphs are textured: with no picture bound they keep the current colour.
    glBindTexture(GL_TEXTURE_2D, 0);
  }
};

TEST_F(TFontTest, CyrillicLabelStandsOnItsLineWithEvenAdvances) {
  // Ten H's are nine advances wider than one; narrow and wide letters advance alike.
  const int Step =
      (InkIn(Printed(100, 300, "HHHHHHHHHH")).Right - InkIn(Printed(100, 300, "H")).Right) / 9;
  EXPECT_NEAR(Step, 11, 2);
  EXPECT_EQ(InkIn(Printed(100, 300, "iiiiiH")).Right, InkIn(Printed(100, 300, "MMMMMH")).Right);
  const std::vector<TRgba> Screen = Printed(130, 170, "\xC8\xE3\xF0\xE0\xF2\xFC"); // Играть
  EXPECT_NEAR(InkIn(Screen).Left, 131.5, 1.5);
  // One letter per cell, upright: each stands on the line but р, whose descender crosses it.
  for (int Glyph = 0; Glyph < 6; ++Glyph) {
    const TInk Cell = InkIn(Screen, 130 + Glyph * Step, 129 + (Glyph + 1) * Step);
    EXPECT_TRUE(Glyph == 2 ? Cell.Bottom >= 172 && Cell.Bottom <= 176 : Cell.Bottom == 169)
        << "glyph " << Glyph << " ends at " << Cell.Bottom;
  }
  EXPECT_LE(InkIn(Screen, 130 + Step, 129 + 2 * Step, 169, 169).Count, 3) << "г stands on its stem";
}

TEST_F(TFontTest, PrintsInTheCurrentColourAtWindowPixelsAndLeavesTexturingOffDepthOn) {
  for (const std::string Text : {"", "Exit"}) {
    for (const bool Textured : {false, true}) {
      ResetFrame();
      (Textured ? glEnable : glDisable)(GL_TEXTURE_2D);
      (Textured ? glDisable : glEnable)(GL_DEPTH_TEST);
      glTranslatef(50, 50, 0); // the model-view matrix moves no text
      glMatrixMode(Textured ? GL_PROJECTION : GL_TEXTURE);
      const std::uint8_t Red = 255 * Textured, Blue = 255 * !Textured;
      glColor3ub(Red, 0, Blue);
      PrintText(100, 100, Text);
      GLint Mode = 0;
      glGetIntegerv(GL_MATRIX_MODE, &Mode);
      // An empty text changes nothing; any other ends with texturing off and depth testing on.
      const bool Empty = Text.empty();
      EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), Empty && Textured) << Text << Textured;
      EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), !Empty || !Textured) << Text << Textured;
      EXPECT_EQ(Mode, !Empty ? GL_MODELVIEW : Textured ? GL_PROJECTION : GL_TEXTURE) << Text;
      const TInk Ink = InkIn(ReadScreen(), 0, 799, 0, 599, {Red, 0, Blue, 0});
      EXPECT_EQ(Ink.Bottom, Empty ? -1 : 99) << Text << Textured;
      EXPECT_EQ(Ink.Pure, Ink.Count) << "every inked pixel in the current colour";
      glMatrixMode(GL_MODELVIEW);
    }
  }
}

// Byte 255 lies past the block of lists and 0x98 has no character in the code page: neither
// draws nor moves the text on. A start outside the viewport skips the whole string.
TEST_F(TFontTest, SomeTextDrawsNothing) {
  const std::pair<std::vector<TRgba>, std::vector<TRgba>> Cases[] = {
      {Printed(200, 200, std::string("A\xFF") + "B"), Printed(200, 200, "AB")},
      {Printed(200, 200, std::string("A\x98") + "B"), Printed(200, 200, "AB")},
      {Printed(200, 200, "\xFF\x98"), Printed(0, 0, "")},
      {Printed(-3, 100, std::string(20, 'W')), Printed(0, 0, "")},
      {Printed(100, 605, std::string(20, 'W')), Printed(0, 0, "")},
  };
  for (std::size_t i = 0; i < std::size(Cases); ++i) {
    const auto& [Drawn, Expected] = Cases[i];
    EXPECT_EQ(std::memcmp(Drawn.data(), Expected.data(), Drawn.size() * sizeof(TRgba)), 0) << i;
  }
}

TEST_F(TFontTest, DeleteFontWithoutAContextLeavesTheLists) {
  const std::uint32_t Base = FontBase;
  SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
  ASSERT_FALSE(Platform().HasCurrentContext());
  DeleteFont();
  MakeFixtureCurrent();
  EXPECT_EQ(FontBase, Base) << "nothing forgotten";
  EXPECT_TRUE(glIsList(Base + 'A')) << "nothing deleted";
  DeleteFont(); // with a context they go
  EXPECT_FALSE(glIsList(Base + 'A'));
}

} // namespace
