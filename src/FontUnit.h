// Text drawn with a bitmap font: one display list per character code of code page 1251.
#pragma once

#include "GlyphSet.h"

#include <cstdint>
#include <string_view>

// Glyph lists in the block: character codes 0 to 254. Byte 255 has none and draws nothing.
constexpr std::int32_t GlyphCount = 255;

// First of the GlyphCount display lists; list FontBase + k draws the glyph of byte k.
extern std::uint32_t FontBase;

// Builds the glyph lists from an 18-pixel "Courier New" (needs a current context).
void BuildFont();
// Records Glyphs into the Count display lists from Base, as the platform's MakeGlyphLists does
// once it has the glyphs (needs a current context).
void RecordGlyphLists(std::uint32_t Base, std::int32_t Count, const TGlyphSet& Glyphs);
// Deletes the glyph lists while a context is current; without one they went with it.
void DeleteFont();
// Prints Text (bytes in code page 1251) with its baseline starting at pixel (x, y) in the current
// projection, in the current colour. Afterwards texturing is off and depth testing on.
void PrintText(std::int32_t x, std::int32_t y, std::string_view Text);
