// The font's glyphs over fontconfig and FreeType: what GDI's wglUseFontBitmapsA makes on Windows,
// from the same 18-pixel monospaced face and code page 1251.
#include "FontGlyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Code page 1251 decoded once: the table holds every byte's character or none.
using TCodePageTable = std::array<std::optional<char32_t>, 256>;

TCodePageTable DecodeCp1251() {
  TCodePageTable Table{};
  const iconv_t Converter = iconv_open("UTF-32LE", "CP1251");
  if (Converter == reinterpret_cast<iconv_t>(-1)) {
    // Without the converter the lower half is still plain ASCII; Cyrillic draws nothing.
    std::fprintf(stderr, "kelto: no CP1251 converter (%s); only ASCII text will be drawn\n",
                 std::strerror(errno));
    for (std::uint32_t Code = 0; Code < 0x80; ++Code) {
      Table[Code] = Code;
    }
    return Table;
  }
  for (std::uint32_t Code = 0; Code < Table.size(); ++Code) {
    char In = static_cast<char>(Code);
    unsigned char Out[8] = {};
    char* InPtr = &In;
    char* OutPtr = reinterpret_cast<char*>(Out);
    std::size_t InLeft = 1;
    std::size_t OutLeft = sizeof(Out);
    const std::size_t Result = iconv(Converter, &InPtr, &InLeft, &OutPtr, &OutLeft);
    if (Result != static_cast<std::size_t>(-1) && InLeft == 0 && sizeof(Out) - OutLeft == 4) {
      Table[Code] = static_cast<char32_t>(Out[0] | Out[1] << 8 | Out[2] << 16 |
                                          static_cast<std::uint32_t>(Out[3]) << 24);
    }
    iconv(Converter, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(Converter);
  return Table;
}

// A face FreeType can render at any size whose characters all advance by the same width.
bool IsMonospacedOutline(FcPattern* Font) {
  int Spacing = FC_PROPORTIONAL;
  FcBool Scalable = FcFalse;
  return FcPatternGetInteger(Font, FC_SPACING, 0, &Spacing) == FcResultMatch &&
         Spacing >= FC_MONO && FcPatternGetBool(Font, FC_SCALABLE, 0, &Scalable) == FcResultMatch &&
         Scalable;
}

TFontFile FileOf(FcPattern* Font) {
  TFontFile File;
  FcChar8* Path = nullptr;
  if (FcPatternGetString(Font, FC_FILE, 0, &Path) == FcResultMatch) {
    File.Path = reinterpret_cast<const char*>(Path);
    if (FcPatternGetInteger(Font, FC_INDEX, 0, &File.Index) != FcResultMatch) {
      File.Index = 0;
    }
  }
  return File;
}

// One glyph: the bitmap with its origin on the baseline, and the advance. A byte without a
// character is not drawn. A character the face lacks comes out as the face's missing glyph, as
// GDI draws it.
TGlyph RenderGlyph(FT_Face Face, std::uint8_t Code) {
  TGlyph Glyph;
  const std::optional<char32_t> Character = Cp1251ToUnicode(Code);
  if (!Character || FT_Load_Char(Face, *Character, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) {
    return Glyph;
  }
  Glyph.Drawn = true;
  const FT_GlyphSlot Slot = Face->glyph;
  const FT_Bitmap& Bitmap = Slot->bitmap;
  // Mono hinting leaves whole-pixel advances; rounding only guards against a face that doesn't.
  Glyph.Advance = static_cast<std::int16_t>((Slot->advance.x + 32) >> 6);
  // No pixels (a space), or a bitmap that is not 1-bit: the glyph just moves on.
  if (Bitmap.pixel_mode == FT_PIXEL_MODE_MONO && Bitmap.width > 0 && Bitmap.rows > 0) {
    // The buffer starts with the lowest address; with an upward flow that is the bottom row.
    const std::uint8_t* TopRow = Bitmap.buffer;
    if (Bitmap.pitch < 0) {
      TopRow -= static_cast<std::ptrdiff_t>(Bitmap.pitch) * (Bitmap.rows - 1);
    }
    Glyph.Bits = BottomUpRows(TopRow, Bitmap.pitch, Bitmap.width, Bitmap.rows);
    Glyph.Width = static_cast<std::uint16_t>(Bitmap.width);
    Glyph.Rows = static_cast<std::uint16_t>(Bitmap.rows);
    Glyph.OriginX = static_cast<std::int16_t>(-Slot->bitmap_left);
    Glyph.OriginY = static_cast<std::int16_t>(Glyph.Rows - Slot->bitmap_top);
  }
  return Glyph;
}

} // namespace

std::optional<char32_t> Cp1251ToUnicode(std::uint8_t Code) {
  static const TCodePageTable Table = DecodeCp1251();
  return Table[Code];
}

std::vector<std::uint8_t> BottomUpRows(const std::uint8_t* TopRow, std::ptrdiff_t Pitch,
                                       std::uint32_t Width, std::uint32_t Rows) {
  const std::size_t RowBytes = (static_cast<std::size_t>(Width) + 7) / 8;
  std::vector<std::uint8_t> Packed(RowBytes * Rows);
  for (std::uint32_t Row = 0; Row < Rows; ++Row) {
    const std::uint8_t* Source = TopRow + static_cast<std::ptrdiff_t>(Row) * Pitch;
    std::memcpy(&Packed[(Rows - 1 - Row) * RowBytes], Source, RowBytes);
  }
  return Packed;
}

TFontFile FindFontFile(FcConfig* Config) {
  FcPattern* Pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Courier New"));
  if (Pattern == nullptr) {
    return {};
  }
  FcConfigSubstitute(Config, Pattern, FcMatchPattern);
  FcDefaultSubstitute(Pattern);
  // Every face, best match first. The first is what "Courier New" resolves to; when that one is
  // proportional, the closest monospaced face follows it. (Asking for monospaced spacing in the
  // pattern would not do: proportional faces carry no spacing, so the match never holds it
  // against them.)
  FcResult Result = FcResultNoMatch;
  FcFontSet* Sorted = FcFontSort(Config, Pattern, FcFalse, nullptr, &Result);
  FcPatternDestroy(Pattern);
  if (Sorted == nullptr) {
    return {};
  }
  TFontFile File;
  for (int Font = 0; Font < Sorted->nfont; ++Font) {
    if (IsMonospacedOutline(Sorted->fonts[Font])) {
      File = FileOf(Sorted->fonts[Font]);
      break;
    }
  }
  if (File.Path.empty() && Sorted->nfont > 0) {
    // No monospaced face at all: proportional text still reads.
    File = FileOf(Sorted->fonts[0]);
  }
  FcFontSetDestroy(Sorted);
  return File;
}

bool RenderGlyphs(TGlyphSet& Glyphs) {
  // A configuration of our own, gone again once the face is found. Asking the default one would
  // load it for the rest of the run, never released.
  FcConfig* Config = FcInitLoadConfigAndFonts();
  if (Config == nullptr) {
    std::fprintf(stderr, "kelto: no font configuration; text will not be drawn\n");
    return false;
  }
  const TFontFile File = FindFontFile(Config);
  FcConfigDestroy(Config);
  if (File.Path.empty()) {
    std::fprintf(stderr, "kelto: no font found; text will not be drawn\n");
    return false;
  }
  FT_Library Library = nullptr;
  if (FT_Init_FreeType(&Library) != 0) {
    std::fprintf(stderr, "kelto: FreeType did not start; text will not be drawn\n");
    return false;
  }
  FT_Face Face = nullptr;
  if (FT_New_Face(Library, File.Path.c_str(), File.Index, &Face) != 0 ||
      FT_Set_Pixel_Sizes(Face, 0, FontPixelHeight) != 0) {
    std::fprintf(stderr, "kelto: cannot use font %s; text will not be drawn\n", File.Path.c_str());
    if (Face != nullptr) {
      FT_Done_Face(Face);
    }
    FT_Done_FreeType(Library);
    return false;
  }
  for (std::size_t Code = 0; Code < Glyphs.size(); ++Code) {
    Glyphs[Code] = RenderGlyph(Face, static_cast<std::uint8_t>(Code));
  }
  FT_Done_Face(Face);
  FT_Done_FreeType(Library);
  return true;
}
