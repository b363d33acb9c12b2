// Text drawn through the glyph display lists. The glyphs themselves come from the window system;
// the block of lists, printing and deleting are the same everywhere.
#include "FontUnit.h"

#include "GlApi.h"
#include "MyUnit.h"
#include "Platform.h"

std::uint32_t FontBase;

void BuildFont() {
  FontBase = glGenLists(GlyphCount);
  if (FontBase == 0) {
    // Text is missing then, but the game still plays.
    ReportWarning("no display lists for the font; text will not be drawn");
    return;
  }
  Platform().MakeGlyphLists(FontBase, GlyphCount);
}

void DeleteFont() {
  // At the game's shutdown the context has already been released and deleted, and the lists
  // went with it; a delete then would go to no context at all. Without a block of our own there
  // is nothing to delete either, and deleting from 0 would hit lists that are not the font's.
  if (FontBase == 0 || !Platform().HasCurrentContext()) {
    return;
  }
  glDeleteLists(FontBase, GlyphCount);
  FontBase = 0;
}

void PrintText(std::int32_t x, std::int32_t y, std::string_view Text) {
  if (Text.empty()) {
    return;
  }
  glDisable(GL_DEPTH_TEST);
  // Texturing stays on for the glyphs, so text is tinted by whatever picture is bound at the
  // current texture coordinate. Kept on purpose; the pictures printed over have light corners.
  glEnable(GL_TEXTURE_2D);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  // The current colour becomes the raster colour here. Window bitmaps ignore the projection's
  // flip, so the glyphs stand upright on the line y; an invalid position skips the whole string.
  glRasterPos2f(static_cast<GLfloat>(x), static_cast<GLfloat>(y));
  glPushAttrib(GL_LIST_BIT);
  glListBase(FontBase);
  // One call over the bytes: byte k runs list FontBase + k, and each glyph moves the raster
  // position on by its advance.
  glCallLists(static_cast<GLsizei>(Text.size()), GL_UNSIGNED_BYTE, Text.data());
  glPopAttrib();
  glPopMatrix();
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
}
