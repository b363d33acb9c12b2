// The bitmap font's glyphs as data: what a window system renders for each byte of code page 1251,
// kept apart from the drawing so that a glyph set rendered in one place (a build tool) can be
// shipped to a system without a font renderer (a browser) and recorded there alike.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TGlyph {
  // False for a byte without a character (or one the face could not render): its list stays
  // empty, so it neither draws nor moves the raster position.
  bool Drawn = false;
  // 0 x 0 for a glyph without pixels (a space): it only moves on.
  std::uint16_t Width = 0;
  std::uint16_t Rows = 0;
  // Where the bitmap's bottom-left pixel lies from the raster position, and the move after it,
  // as glBitmap takes them.
  std::int16_t OriginX = 0;
  std::int16_t OriginY = 0;
  std::int16_t Advance = 0;
  // Rows of (Width + 7) / 8 bytes, most significant bit leftmost, the bottom row first.
  std::vector<std::uint8_t> Bits;
};

using TGlyphSet = std::array<TGlyph, 256>;

// The set as bytes (a header line, then each glyph's fields and bits, little-endian).
std::string GlyphSetBytes(const TGlyphSet& Glyphs);
// Reads bytes written by GlyphSetBytes. False, with Error, for anything else (other data, cut
// short, a bitmap of the wrong size); Glyphs is untouched then.
bool ReadGlyphSet(std::string_view Bytes, TGlyphSet& Glyphs, std::string& Error);
