// Text drawn through the glyph display lists. The lists themselves come from the window system
// (BuildFont lives with the platform layer); printing and deleting are the same everywhere.
#include "FontUnit.h"

#include "OGLWnd.h"

#include <GL/gl.h>

std::uint32_t FontBase;

namespace {

constexpr GLsizei GlyphCount = 255;

} // namespace

void DeleteFont() {
  // At the game's shutdown the context has already been released and deleted, and the lists
  // went with it; a delete then would go to no context at all. Without a block of our own there
  // is nothing to delete either, and deleting from 0 would hit lists that are not the font's.
  if (FontBase == 0 || !HasCurrentContext()) {
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
