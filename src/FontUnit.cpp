// Text drawn through the glyph display lists. The glyphs themselves come from the window system;
// the block of lists, printing and deleting are the same everywhere.
#include "FontUnit.h"

#include "GlApi.h"
#include "Platform.h"

#include <cstdio>

std::uint32_t FontBase;

void BuildFont() {
  FontBase = glGenLists(GlyphCount);
  if (FontBase == 0) {
    // Text is missing then, but the game still plays.
    std::fprintf(stderr, "kelto: no display lists for the font; text will not be drawn\n");
    return;
  }
  Platform().MakeGlyphLists(FontBase, GlyphCount);
}

void RecordGlyphLists(std::uint32_t Base, std::int32_t Count, const TGlyphSet& Glyphs) {
  // glBitmap takes its pixels at compile time: tight rows, no skips, most significant bit first.
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
  glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
  for (std::int32_t Code = 0; Code < Count && Code < static_cast<std::int32_t>(Glyphs.size());
       ++Code) {
    const TGlyph& Glyph = Glyphs[static_cast<std::size_t>(Code)];
    glNewList(Base + static_cast<GLuint>(Code), GL_COMPILE);
    if (Glyph.Drawn && Glyph.Width > 0 && Glyph.Rows > 0) {
      glBitmap(Glyph.Width, Glyph.Rows, Glyph.OriginX, Glyph.OriginY, Glyph.Advance, 0,
               Glyph.Bits.data());
    } else if (Glyph.Drawn) {
      glBitmap(0, 0, 0, 0, Glyph.Advance, 0, nullptr);
    }
    glEndList();
  }
  glPopClientAttrib();
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
