// The glyph bitmaps of the bitmap font where there is no GDI: fontconfig picks the face and
// FreeType renders 1-bit glyphs. No context is needed: the SDL layer records the set into the
// font's display lists, and the glyph tool writes it into the browser build's data.
#pragma once

#include "GlyphSet.h"

#include <fontconfig/fontconfig.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Em height of the glyphs in pixels: the character height of the Windows font (height -18).
inline constexpr unsigned FontPixelHeight = 18;

// A font file and the index of the face inside it.
struct TFontFile {
  std::string Path; // empty when there is no font at all
  int Index = 0;
};

// The face for the text: "Courier New" as Config resolves it (Liberation Mono on Debian) when
// that face is monospaced, else the best monospaced scalable face, else whatever Config offers
// for "Courier New". Config null means the current configuration.
TFontFile FindFontFile(FcConfig* Config);

// The Unicode character of a code page 1251 byte; none for 0x98, the one byte without one.
std::optional<char32_t> Cp1251ToUnicode(std::uint8_t Code);

// Copies a 1-bit bitmap (most significant bit leftmost) whose rows run top-down, Pitch bytes
// apart from TopRow (negative when the rows are stored bottom-up), into tightly packed rows of
// (Width + 7) / 8 bytes with the bottom row first, the order glBitmap reads them in.
std::vector<std::uint8_t> BottomUpRows(const std::uint8_t* TopRow, std::ptrdiff_t Pitch,
                                       std::uint32_t Width, std::uint32_t Rows);

// Renders every byte's glyph. False, after a "kelto: ..." line on standard error, when there is
// no font to render them from.
bool RenderGlyphs(TGlyphSet& Glyphs);
