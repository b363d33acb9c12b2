// Renders the bitmap font's glyphs with the SDL build's own renderer (fontconfig and FreeType,
// the same face and size) into a file, for builds that have no font renderer of their own: the
// browser reads the file and records the same glyph lists.
// Usage: kelto-glyphs FILE
#include "GlyphSet.h"
#include "platform/sdl/FontGlyphs.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kelto-glyphs FILE\n");
    return 2;
  }
  TGlyphSet Glyphs;
  if (!RenderGlyphs(Glyphs)) {
    return 1;
  }
  const std::string Bytes = GlyphSetBytes(Glyphs);
  std::ofstream File(argv[1], std::ios::binary | std::ios::trunc);
  File.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  File.close();
  if (!File) {
    std::fprintf(stderr, "kelto-glyphs: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
