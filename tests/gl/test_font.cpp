// Text through the glyph lists on a real context: where and in what colour it lands, the state a
// print leaves, text that draws nothing, deleting without a context.
#include "FontUnit.h"
#include "GlContext.h"
#include "Platform.h"

#include "GlApi.h"
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(Font, CyrillicLabelStandsOnItsLineWithEvenAdvances) {
  // Ten H's are nine advances wider than one; narrow and wide letters advance alike.
  const int Step =
      (InkIn(Printed(100, 300, "HHHHHHHHHH")).Right - InkIn(Printed(100, 300, "H")).Right) / 9;
  EXPECT_NEAR(Step, 11, 2);
  EXPECT_EQ(InkIn(Printed(100, 300, "iiiiiH")).Right, InkIn(Printed(100, 300, "MMMMMH")).Right);
  const TScreen Screen = Printed(130, 170, "\xC8\xE3\xF0\xE0\xF2\xFC"); // Играть
  EXPECT_NEAR(InkIn(Screen).Left, 131.5, 1.5);
  // One letter per cell, upright: each stands on the line but р, whose descender crosses it.
  for (int Glyph = 0; Glyph < 6; ++Glyph) {
    const TInk Cell = InkIn(Screen, 130 + Glyph * Step, 0, 129 + (Glyph + 1) * Step);
    EXPECT_NEAR(Cell.Bottom, Glyph == 2 ? 174 : 169, Glyph == 2 ? 2 : 0) << "glyph " << Glyph;
  }
  EXPECT_LE(InkIn(Screen, 130 + Step, 169, 129 + 2 * Step, 169).Count, 3) << "г stands on its stem";
}

// Whatever the matrices and switches hold, text lands at window pixels in the current colour and
// ends with texturing off, depth testing on and the model-view matrix current; an empty text
// changes nothing.
TEST(Font, PrintsInTheCurrentColourAtWindowPixelsAndLeavesTexturingOffDepthOn) {
  for (const std::string Text : {"", "Exit"}) {
    ResetFrame();
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glTranslatef(50, 50, 0);
    glMatrixMode(GL_PROJECTION);
    glColor3ub(255, 0, 255);
    PrintText(100, 100, Text);
    const bool Empty = Text.empty();
    GLint Mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &Mode);
    EXPECT_EQ(Mode, Empty ? GL_PROJECTION : GL_MODELVIEW) << Text;
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), Empty) << Text;
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), !Empty) << Text;
    const TScreen Screen = ReadScreen();
    EXPECT_EQ(InkIn(Screen).Bottom, Empty ? -1 : 99) << Text;
    const auto Stray = [](TRgba P) { return P.g != 0 || P.r != P.b || (P.r != 0 && P.r != 255); };
    EXPECT_EQ(std::count_if(Screen.Pixels.begin(), Screen.Pixels.end(), Stray), 0) << Text;
  }
}

// Byte 255 lies past the block of lists and 0x98 has no character in the code page: neither draws
// nor moves the text on. A start outside the viewport skips the whole string.
TEST(Font, SomeTextDrawsNothing) {
  const TScreen AB = Printed(200, 200, "AB");
  const std::pair<TScreen, const TScreen*> Cases[] = {
      {Printed(200, 200, std::string("A\xFF") + "B"), &AB},
      {Printed(200, 200, std::string("A\x98") + "B"), &AB},
      {Printed(-3, 100, std::string(20, 'W')), nullptr},
      {Printed(100, 605, std::string(20, 'W')), nullptr},
  };
  for (std::size_t i = 0; i < std::size(Cases); ++i) {
    EXPECT_EQ(InkIn(Cases[i].first, 0, 0, 799, 599, Cases[i].second).Count, 0) << "case " << i;
  }
}

TEST(Font, DeleteFontWithoutAContextLeavesTheLists) {
  ResetFrame();
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
