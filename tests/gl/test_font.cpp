// Text through the glyph lists on a real context: placement on the baseline, colour, the state
// a print leaves behind, bytes without glyphs, and strings that start off screen.
#include "FontUnit.h"
#include "GlContext.h"
#include "OGLWnd.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The lists are built once per process. Another test may build a block of its own (or one in
// another context); the font of these tests is kept and handed back through FontBase.
std::uint32_t OwnBase;

void UseFont() {
  if (OwnBase == 0 || !glIsList(OwnBase + 'H')) {
    const auto Start = std::chrono::steady_clock::now();
    BuildFont();
    const auto Took = std::chrono::steady_clock::now() - Start;
    std::printf("BuildFont: %.1f ms\n", std::chrono::duration<double, std::milli>(Took).count());
    OwnBase = FontBase;
  }
  FontBase = OwnBase;
}

// The bounding box of the pixels that are not black, in window pixels (top-left origin).
struct TInk {
  int Left = 800, Right = -1, Top = 600, Bottom = -1;
  int Count = 0;
  bool Empty() const { return Count == 0; }
};

bool IsInk(const TRgba& Pixel) {
  return Pixel.r != 0 || Pixel.g != 0 || Pixel.b != 0;
}

TInk InkIn(const std::vector<TRgba>& Screen, int Left = 0, int Top = 0, int Right = 799,
           int Bottom = 599) {
  TInk Ink;
  for (int y = Top; y <= Bottom; ++y) {
    for (int x = Left; x <= Right; ++x) {
      if (IsInk(Screen[y * 800 + x])) {
        Ink.Left = std::min(Ink.Left, x);
        Ink.Right = std::max(Ink.Right, x);
        Ink.Top = std::min(Ink.Top, y);
        Ink.Bottom = std::max(Ink.Bottom, y);
        ++Ink.Count;
      }
    }
  }
  return Ink;
}

bool SameScreen(const std::vector<TRgba>& One, const std::vector<TRgba>& Other) {
  return One.size() == Other.size() &&
         std::memcmp(One.data(), Other.data(), One.size() * sizeof(TRgba)) == 0;
}

// The screen after printing one string in white on a cleared frame.
std::vector<TRgba> Printed(int x, int y, const std::string& Text) {
  ResetFrame();
  glColor4f(1, 1, 1, 1);
  PrintText(x, y, Text);
  return ReadScreen();
}

class TFontTest : public testing::Test {
protected:
  void SetUp() override {
    UseFont();
    // A plain state whatever earlier tests left: no texture, no blending or alpha test.
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glListBase(0);
    ResetFrame();
  }

  // The advance of one glyph: ten H's are nine advances wider than one.
  static int Advance() {
    const TInk One = InkIn(Printed(100, 300, "H"));
    const TInk Ten = InkIn(Printed(100, 300, "HHHHHHHHHH"));
    return (Ten.Right - One.Right) / 9;
  }
};

TEST_F(TFontTest, GlyphsAreMonospacedAndAboutElevenPixelsApart) {
  const int Step = Advance();
  EXPECT_GE(Step, 9);
  EXPECT_LE(Step, 13);
  // After five narrow or five wide letters the sixth starts at the same place.
  EXPECT_EQ(InkIn(Printed(100, 300, "iiiiiH")).Right, InkIn(Printed(100, 300, "MMMMMH")).Right);
  EXPECT_EQ(InkIn(Printed(100, 300, "HHHHHHHHHH")).Right,
            InkIn(Printed(100, 300, "H")).Right + 9 * Step);
}

TEST_F(TFontTest, CyrillicLabelStandsOnItsLine) {
  const int Step = Advance();
  const std::string Label = "\xC8\xE3\xF0\xE0\xF2\xFC"; // Играть
  const std::vector<TRgba> Screen = Printed(130, 170, Label);
  const TInk Whole = InkIn(Screen);
  ASSERT_FALSE(Whole.Empty());
  EXPECT_GE(Whole.Left, 130);
  EXPECT_LE(Whole.Left, 133);
  EXPECT_GT(Whole.Right, 130 + 5 * Step);
  EXPECT_LT(Whole.Right, 130 + 6 * Step);
  // Capital И reaches up about a cap height; nothing is taller than the 18-pixel em.
  EXPECT_GE(Whole.Top, 170 - 18);
  EXPECT_LE(Whole.Top, 170 - 10);
  for (int Glyph = 0; Glyph < 6; ++Glyph) {
    const int Left = 130 + Glyph * Step;
    const TInk Cell = InkIn(Screen, Left, 0, Left + Step - 1, 599);
    ASSERT_FALSE(Cell.Empty()) << "glyph " << Glyph;
    if (Glyph == 2) {
      // р: its descender goes below the line, by less than a third of the em.
      EXPECT_GE(Cell.Bottom, 172) << "glyph " << Glyph;
      EXPECT_LE(Cell.Bottom, 170 + 6) << "glyph " << Glyph;
      // Its bowl still closes on the line: row 169 has ink beside the stem.
      EXPECT_GE(InkIn(Screen, Left, 169, Left + Step - 1, 169).Count, 2);
    } else {
      // The others stand on the line: their lowest ink is the row just above it.
      EXPECT_EQ(Cell.Bottom, 169) << "glyph " << Glyph;
    }
  }
}

// Ink pixels per row of a glyph's box, top row first.
std::vector<int> RowCounts(const std::vector<TRgba>& Screen, const TInk& Box) {
  std::vector<int> Counts;
  for (int y = Box.Top; y <= Box.Bottom; ++y) {
    Counts.push_back(InkIn(Screen, Box.Left, y, Box.Right, y).Count);
  }
  return Counts;
}

TEST_F(TFontTest, GlyphsAreUprightAndUnmirrored) {
  // L: a stem on the left over the whole height, a foot along the bottom.
  // Г (0xC3): the same stem, with the bar on top instead.
  for (const bool Foot : {true, false}) {
    const std::vector<TRgba> Screen = Printed(200, 200, Foot ? "L" : "\xC3");
    const TInk Box = InkIn(Screen);
    ASSERT_FALSE(Box.Empty());
    const std::vector<int> Counts = RowCounts(Screen, Box);
    const int Width = Box.Right - Box.Left + 1;
    ASSERT_GE(Width, 5);
    ASSERT_GE(Counts.size(), 10u);
    for (int Row = 0; Row < static_cast<int>(Counts.size()); ++Row) {
      const int y = Box.Top + Row;
      EXPECT_FALSE(InkIn(Screen, Box.Left, y, Box.Left + 2, y).Empty()) << "stem, row " << Row;
      const bool Bar = Foot ? Row >= static_cast<int>(Counts.size()) - 2 : Row < 2;
      if (Bar) {
        continue;
      }
      EXPECT_LE(Counts[Row], 3) << (Foot ? "L" : "Г") << ", row " << Row;
    }
    EXPECT_GE(Foot ? Counts.back() : Counts.front(), Width - 1) << (Foot ? "L" : "Г");
  }
}

TEST_F(TFontTest, CyrillicLettersHaveTheirOwnGlyphs) {
  // а р о с е look like Latin a p o c e; И has no Latin twin and is not the missing glyph.
  const std::vector<TRgba> Cyrillic = Printed(100, 200, "\xE0\xF0\xEE\xF1\xE5");
  EXPECT_FALSE(InkIn(Cyrillic).Empty());
  EXPECT_TRUE(SameScreen(Cyrillic, Printed(100, 200, "apoce")))
      << "а р о с е differ from a p o c e";
  const std::vector<TRgba> I = Printed(100, 200, "\xC8");
  EXPECT_FALSE(InkIn(I).Empty());
  EXPECT_FALSE(SameScreen(I, Printed(100, 200, "N")));
  EXPECT_FALSE(SameScreen(I, Printed(100, 200, "\x01")));
}

TEST_F(TFontTest, TextIsDrawnInTheColourCurrentAtTheCall) {
  ResetFrame();
  glColor4f(1, 0, 0, 1);
  PrintText(100, 100, "Exit");
  glColor4f(0, 0, 1, 1);
  PrintText(100, 200, "Exit");
  glColor4f(0, 1, 0, 1); // a later colour changes nothing already drawn
  const std::vector<TRgba> Screen = ReadScreen();
  const TInk Red = InkIn(Screen, 0, 0, 799, 120);
  const TInk Blue = InkIn(Screen, 0, 150, 799, 220);
  ASSERT_FALSE(Red.Empty());
  EXPECT_EQ(Blue.Count, Red.Count);
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      const TRgba Pixel = Screen[y * 800 + x];
      if (IsInk(Pixel)) {
        const bool Upper = y <= 120;
        EXPECT_EQ(Pixel.r, Upper ? 255 : 0) << x << "," << y;
        EXPECT_EQ(Pixel.g, 0) << x << "," << y;
        EXPECT_EQ(Pixel.b, Upper ? 0 : 255) << x << "," << y;
      }
    }
  }
}

TEST_F(TFontTest, GlyphsAreTexturedAndIgnoreTheDepthBuffer) {
  // A bound texture modulates the glyphs (texturing is on while they are drawn) ...
  GLuint Texture = 0;
  glGenTextures(1, &Texture);
  glBindTexture(GL_TEXTURE_2D, Texture);
  const unsigned char Green[4] = {0, 255, 0, 255};
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, Green);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  // ... and a depth buffer that would reject every fragment does not hide them.
  glClearDepth(0);
  glClear(GL_DEPTH_BUFFER_BIT);
  glClearDepth(1);
  glEnable(GL_DEPTH_TEST);
  glColor4f(1, 1, 1, 1);
  PrintText(100, 100, "Exit");
  const std::vector<TRgba> Screen = ReadScreen();
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &Texture);
  const TInk Ink = InkIn(Screen);
  ASSERT_FALSE(Ink.Empty());
  for (const TRgba& Pixel : Screen) {
    if (IsInk(Pixel)) {
      ASSERT_EQ(Pixel.r, 0);
      ASSERT_EQ(Pixel.g, 255);
      ASSERT_EQ(Pixel.b, 0);
    }
  }
}

TEST_F(TFontTest, EmptyStringChangesNothing) {
  for (const bool CallerState : {false, true}) {
    ResetFrame();
    if (CallerState) {
      glEnable(GL_TEXTURE_2D);
      glDisable(GL_DEPTH_TEST);
      glMatrixMode(GL_PROJECTION);
    } else {
      glDisable(GL_TEXTURE_2D);
      glEnable(GL_DEPTH_TEST);
      glMatrixMode(GL_TEXTURE);
    }
    glColor4f(1, 1, 1, 1);
    PrintText(100, 100, "");
    GLint Mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &Mode);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), CallerState ? GL_TRUE : GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), CallerState ? GL_FALSE : GL_TRUE);
    EXPECT_EQ(Mode, CallerState ? GL_PROJECTION : GL_TEXTURE);
    glMatrixMode(GL_MODELVIEW);
    EXPECT_TRUE(InkIn(ReadScreen()).Empty());
  }
}

TEST_F(TFontTest, PrintLeavesTexturingOffDepthOnAndTheCallersMatricesAndListBase) {
  ResetFrame();
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glListBase(7);
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(3, 4, 0);
  glMatrixMode(GL_PROJECTION);
  GLfloat ModelViewBefore[16], ProjectionBefore[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, ModelViewBefore);
  glGetFloatv(GL_PROJECTION_MATRIX, ProjectionBefore);
  glColor4f(1, 1, 1, 1);
  PrintText(100, 100, "Exit");

  EXPECT_FALSE(InkIn(ReadScreen()).Empty());
  EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
  EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
  GLint Mode = 0, DepthFunc = 0, ListBase = 0;
  glGetIntegerv(GL_MATRIX_MODE, &Mode);
  glGetIntegerv(GL_DEPTH_FUNC, &DepthFunc);
  glGetIntegerv(GL_LIST_BASE, &ListBase);
  EXPECT_EQ(Mode, GL_MODELVIEW);
  EXPECT_EQ(DepthFunc, GL_LESS);
  EXPECT_EQ(ListBase, 7);
  GLfloat ModelViewAfter[16], ProjectionAfter[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, ModelViewAfter);
  glGetFloatv(GL_PROJECTION_MATRIX, ProjectionAfter);
  for (int Index = 0; Index < 16; ++Index) {
    EXPECT_EQ(ModelViewAfter[Index], ModelViewBefore[Index]) << Index;
    EXPECT_EQ(ProjectionAfter[Index], ProjectionBefore[Index]) << Index;
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TFontTest, TheModelViewMatrixDoesNotMoveTheText) {
  const std::vector<TRgba> Plain = Printed(100, 100, "Exit");
  ResetFrame();
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(50, 50, 0);
  glColor4f(1, 1, 1, 1);
  PrintText(100, 100, "Exit");
  EXPECT_TRUE(SameScreen(ReadScreen(), Plain));
}

TEST_F(TFontTest, BytesWithoutGlyphsDrawNothingAndTheTextGoesOn) {
  const std::vector<TRgba> Plain = Printed(200, 200, "AB");
  // 255 lies past the block of lists; 0x98 has no character in the code page.
  EXPECT_TRUE(SameScreen(Printed(200, 200,
                                 "A\xFF"
                                 "B"),
                         Plain));
  EXPECT_TRUE(SameScreen(Printed(200, 200,
                                 "A\x98"
                                 "B"),
                         Plain));
  EXPECT_TRUE(InkIn(Printed(200, 200, "\xFF\x98\xFF")).Empty());
  // A space draws nothing but moves on by a whole glyph.
  const int Step = Advance();
  EXPECT_EQ(InkIn(Printed(200, 200, " B")).Left, InkIn(Printed(200, 200, "B")).Left + Step);
}

TEST_F(TFontTest, StartOutsideTheViewportSkipsTheWholeString) {
  const std::string Long = "WWWWWWWWWWWWWWWWWWWW";
  EXPECT_TRUE(InkIn(Printed(-3, 100, Long)).Empty());
  EXPECT_TRUE(InkIn(Printed(100, 605, Long)).Empty());
  EXPECT_TRUE(InkIn(Printed(100, -1, Long)).Empty());
  // A start inside draws even the part that runs off the edge.
  const TInk Clipped = InkIn(Printed(795, 100, Long));
  EXPECT_FALSE(Clipped.Empty());
  EXPECT_GE(Clipped.Left, 795);
}

TEST_F(TFontTest, BaselineOfTextAt320And90Is90PixelsBelowTheTop) {
  const TInk Ink = InkIn(Printed(320, 90, "HEx"));
  ASSERT_FALSE(Ink.Empty());
  EXPECT_EQ(Ink.Bottom, 89);
  EXPECT_GE(Ink.Left, 320);
  EXPECT_LE(Ink.Left, 323);
  // Descenders cross the line.
  EXPECT_GT(InkIn(Printed(320, 90, "gjpqy")).Bottom, 90);
}

TEST_F(TFontTest, DeleteFontNeedsACurrentContext) {
  ASSERT_TRUE(glIsList(FontBase + 'A'));
  SDL_Window* Window = SDL_GL_GetCurrentWindow();
  SDL_GLContext Context = SDL_GL_GetCurrentContext();
  ASSERT_NE(Context, nullptr);
  // Without a context, as at the game's shutdown, the lists are left alone.
  SDL_GL_MakeCurrent(Window, nullptr);
  ASSERT_FALSE(HasCurrentContext());
  const std::uint32_t Base = FontBase;
  DeleteFont();
  SDL_GL_MakeCurrent(Window, Context);
  EXPECT_TRUE(glIsList(Base + 'A'));
  // With one they go, and a second delete has nothing left to delete.
  DeleteFont();
  EXPECT_FALSE(glIsList(Base + 'A'));
  EXPECT_FALSE(glIsList(Base));
  EXPECT_FALSE(glIsList(Base + 254));
  DeleteFont();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  // Build again for the tests that follow.
  OwnBase = 0;
  UseFont();
  EXPECT_TRUE(glIsList(FontBase + 'A'));
}

// The strings the game prints, for a look with the eye: set KELTO_FONT_SHEET to a file name
// and a binary PPM of the frame is written there.
TEST_F(TFontTest, GameStringsAllPrint) {
  const char* Lines[] = {"\xC8\xE3\xF0\xE0\xF2\xFC",
                         "back_to_game",
                         "Exit",
                         "BEST_SCORE",
                         "You_Score: 12",
                         "0123456789",
                         "\xC0\xE1\xE2\xE3\xE4\xE5\xB8\xE6\xE7\xE8"
                         "\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF1\xF2"
                         "\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC"
                         "\xFD\xFE"};
  ResetFrame();
  glColor4f(1, 1, 1, 1);
  int y = 40;
  for (const char* Line : Lines) {
    PrintText(20, y, Line);
    y += 30;
  }
  const std::vector<TRgba> Screen = ReadScreen();
  y = 40;
  for (const char* Line : Lines) {
    const TInk Ink = InkIn(Screen, 0, y - 25, 799, y + 4);
    EXPECT_FALSE(Ink.Empty()) << Line;
    EXPECT_LE(Ink.Top, y - 10) << Line;
    y += 30;
  }
  if (const char* Path = std::getenv("KELTO_FONT_SHEET")) {
    if (std::FILE* File = std::fopen(Path, "wb")) {
      std::fprintf(File, "P6\n800 600\n255\n");
      for (const TRgba& Pixel : Screen) {
        const unsigned char Rgb[3] = {Pixel.r, Pixel.g, Pixel.b};
        std::fwrite(Rgb, 1, 3, File);
      }
      std::fclose(File);
    }
  }
}

} // namespace
