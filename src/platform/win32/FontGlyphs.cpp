// The glyph display lists from a GDI TrueType font, rendered by WGL.
#include "Win32Platform.h"

#include "FontUnit.h"
#include "GlApi.h"

namespace {

// Glyphs without pixels (the space, the no-break space) must still move the raster position
// on. Some OpenGL drivers reject the empty bitmap that wglUseFontBitmaps records for them, and
// the list then draws nothing and advances nothing; a one-pixel bitmap with no bit set draws
// nothing either but carries the advance. Where the recorded list was fine this changes nothing.
void RecordBlankGlyphs(std::uint32_t Base, std::int32_t Count) {
  const MAT2 Identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  static const GLubyte NoPixels[4] = {0, 0, 0, 0};
  for (UINT Code = 0; Code < static_cast<UINT>(Count); ++Code) {
    GLYPHMETRICS Metrics{};
    const DWORD Size =
        GetGlyphOutlineA(DeviceContext, Code, GGO_BITMAP, &Metrics, 0, nullptr, &Identity);
    if (Size != 0) {
      continue; // a glyph with pixels, or no glyph at all (GDI_ERROR)
    }
    glNewList(Base + Code, GL_COMPILE);
    glBitmap(1, 1, 0, 0, static_cast<GLfloat>(Metrics.gmCellIncX),
             static_cast<GLfloat>(Metrics.gmCellIncY), NoPixels);
    glEndList();
  }
}

} // namespace

void TPlatformLayer::MakeGlyphLists(std::uint32_t Base, std::int32_t Count) {
  // The font's character height (asked for as a negative height) in code page 1251, so bytes 0xC0
  // to 0xFF are Cyrillic letters. The lists hold the glyphs' bitmaps themselves, so the font is
  // needed only while they are recorded.
  const HFONT Font = CreateFontA(-FontPixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 RUSSIAN_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, FontFace);
  const HGDIOBJ Previous = SelectObject(DeviceContext, Font);
  wglUseFontBitmapsA(DeviceContext, 0, static_cast<DWORD>(Count), Base);
  RecordBlankGlyphs(Base, Count);
  // A font still selected into a device context cannot be deleted.
  SelectObject(DeviceContext, Previous);
  DeleteObject(Font);
}
