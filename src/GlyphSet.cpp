#include "GlyphSet.h"

#include <utility>

namespace {

constexpr std::string_view Header = "kelto glyphs 1\n";

std::size_t BitmapBytes(const TGlyph& Glyph) {
  return (static_cast<std::size_t>(Glyph.Width) + 7) / 8 * Glyph.Rows;
}

void PutWord(std::string& Bytes, std::uint16_t Word) {
  Bytes += static_cast<char>(Word & 0xFF);
  Bytes += static_cast<char>(Word >> 8);
}

// Takes bytes from the front of the data; false when fewer are left.
class TReader {
public:
  explicit TReader(std::string_view Bytes) : Rest(Bytes) {}
  bool Byte(std::uint8_t& Value) {
    if (Rest.empty()) {
      return false;
    }
    Value = static_cast<std::uint8_t>(Rest.front());
    Rest.remove_prefix(1);
    return true;
  }
  template <typename T> bool Word(T& Value) {
    std::uint8_t Low = 0;
    std::uint8_t High = 0;
    if (!Byte(Low) || !Byte(High)) {
      return false;
    }
    Value = static_cast<T>(static_cast<std::uint16_t>(Low | High << 8));
    return true;
  }
  bool Block(std::vector<std::uint8_t>& Value, std::size_t Size) {
    if (Rest.size() < Size) {
      return false;
    }
    Value.assign(Rest.begin(), Rest.begin() + static_cast<std::ptrdiff_t>(Size));
    Rest.remove_prefix(Size);
    return true;
  }
  bool AtEnd() const { return Rest.empty(); }

private:
  std::string_view Rest;
};

} // namespace

std::string GlyphSetBytes(const TGlyphSet& Glyphs) {
  std::string Bytes(Header);
  for (const TGlyph& Glyph : Glyphs) {
    Bytes += static_cast<char>(Glyph.Drawn ? 1 : 0);
    if (!Glyph.Drawn) {
      continue;
    }
    PutWord(Bytes, Glyph.Width);
    PutWord(Bytes, Glyph.Rows);
    PutWord(Bytes, static_cast<std::uint16_t>(Glyph.OriginX));
    PutWord(Bytes, static_cast<std::uint16_t>(Glyph.OriginY));
    PutWord(Bytes, static_cast<std::uint16_t>(Glyph.Advance));
    Bytes.append(Glyph.Bits.begin(),
                 Glyph.Bits.begin() + static_cast<std::ptrdiff_t>(BitmapBytes(Glyph)));
  }
  return Bytes;
}

bool ReadGlyphSet(std::string_view Bytes, TGlyphSet& Glyphs, std::string& Error) {
  if (!Bytes.starts_with(Header)) {
    Error = "not a glyph file";
    return false;
  }
  TReader Reader(Bytes.substr(Header.size()));
  TGlyphSet Read;
  for (TGlyph& Glyph : Read) {
    std::uint8_t Drawn = 0;
    if (!Reader.Byte(Drawn)) {
      Error = "cut short";
      return false;
    }
    if (Drawn > 1) {
      Error = "a bad glyph";
      return false;
    }
    Glyph.Drawn = Drawn == 1;
    if (Glyph.Drawn &&
        !(Reader.Word(Glyph.Width) && Reader.Word(Glyph.Rows) && Reader.Word(Glyph.OriginX) &&
          Reader.Word(Glyph.OriginY) && Reader.Word(Glyph.Advance) &&
          Reader.Block(Glyph.Bits, BitmapBytes(Glyph)))) {
      Error = "cut short";
      return false;
    }
  }
  if (!Reader.AtEnd()) {
    Error = "longer than a glyph file";
    return false;
  }
  Glyphs = std::move(Read);
  return true;
}
