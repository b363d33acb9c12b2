// The icon formats: PNG for the desktops' icon themes, and the Windows icon file that the
// executable carries.
#include "PictureKit.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>

namespace kit {

namespace {

void PutLittle(std::vector<std::uint8_t>& Out, std::uint32_t Value, int Bytes) {
  for (int i = 0; i < Bytes; ++i) {
    Out.push_back(static_cast<std::uint8_t>(Value >> (8 * i)));
  }
}

void PutBig32(std::vector<std::uint8_t>& Out, std::uint32_t Value) {
  for (int i = 3; i >= 0; --i) {
    Out.push_back(static_cast<std::uint8_t>(Value >> (8 * i)));
  }
}

void PutChunk(std::vector<std::uint8_t>& Out, const char* Type,
              const std::vector<std::uint8_t>& Data) {
  PutBig32(Out, static_cast<std::uint32_t>(Data.size()));
  const std::size_t Start = Out.size();
  Out.insert(Out.end(), Type, Type + 4);
  Out.insert(Out.end(), Data.begin(), Data.end());
  PutBig32(Out, static_cast<std::uint32_t>(
                    crc32(0, Out.data() + Start, static_cast<uInt>(Out.size() - Start))));
}

// A 32-bit bitmap as icon files hold it: the header gives twice the height (the colours and
// then the transparency mask), rows bottom-up, colours blue, green, red, alpha.
std::vector<std::uint8_t> IconBitmap(const TPicture& Image) {
  const std::uint32_t W = static_cast<std::uint32_t>(Image.Width());
  const std::uint32_t H = static_cast<std::uint32_t>(Image.Height());
  const std::uint32_t MaskRow = (W + 31) / 32 * 4;
  std::vector<std::uint8_t> Out;
  for (const std::uint32_t Field : {40u, W, 2 * H}) {
    PutLittle(Out, Field, 4);
  }
  PutLittle(Out, 1, 2);  // planes
  PutLittle(Out, 32, 2); // bits per pixel
  for (const std::uint32_t Field : {0u, W * H * 4 + MaskRow * H, 0u, 0u, 0u, 0u}) {
    PutLittle(Out, Field, 4);
  }
  const std::vector<std::uint8_t>& Rgba = Image.Rgba();
  for (std::uint32_t y = H; y-- > 0;) {
    for (std::uint32_t x = 0; x < W; ++x) {
      const std::uint8_t* P = &Rgba[(y * W + x) * 4];
      Out.insert(Out.end(), {P[2], P[1], P[0], P[3]});
    }
  }
  // The mask marks fully transparent pixels, for readers that ignore the alpha channel.
  for (std::uint32_t y = H; y-- > 0;) {
    std::vector<std::uint8_t> Row(MaskRow, 0);
    for (std::uint32_t x = 0; x < W; ++x) {
      if (Rgba[(y * W + x) * 4 + 3] == 0) {
        Row[x / 8] = static_cast<std::uint8_t>(Row[x / 8] | (0x80u >> (x % 8)));
      }
    }
    Out.insert(Out.end(), Row.begin(), Row.end());
  }
  return Out;
}

} // namespace

std::vector<std::uint8_t> TPicture::PngBytes() const {
  std::vector<std::uint8_t> Rows;
  const std::size_t Stride = static_cast<std::size_t>(W) * 4;
  for (std::size_t y = 0; y < static_cast<std::size_t>(H); ++y) {
    Rows.push_back(0); // no filter
    Rows.insert(Rows.end(), Data.begin() + static_cast<std::ptrdiff_t>(y * Stride),
                Data.begin() + static_cast<std::ptrdiff_t>((y + 1) * Stride));
  }
  uLongf Packed = compressBound(static_cast<uLong>(Rows.size()));
  std::vector<std::uint8_t> Deflated(Packed);
  if (compress2(Deflated.data(), &Packed, Rows.data(), static_cast<uLong>(Rows.size()), 9) !=
      Z_OK) {
    std::fputs("kelto-pictures: zlib could not compress an image\n", stderr);
    std::exit(1);
  }
  Deflated.resize(Packed);

  std::vector<std::uint8_t> Out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> Header;
  PutBig32(Header, static_cast<std::uint32_t>(W));
  PutBig32(Header, static_cast<std::uint32_t>(H));
  // 8 bits per channel, red-green-blue-alpha, deflate, no filter method, not interlaced.
  Header.insert(Header.end(), {8, 6, 0, 0, 0});
  PutChunk(Out, "IHDR", Header);
  PutChunk(Out, "IDAT", Deflated);
  PutChunk(Out, "IEND", {});
  return Out;
}

std::vector<std::uint8_t> IcoBytes(const std::vector<TPicture>& Images) {
  std::vector<std::vector<std::uint8_t>> Encoded;
  for (const TPicture& Image : Images) {
    Encoded.push_back(Image.Width() >= 256 ? Image.PngBytes() : IconBitmap(Image));
  }
  std::vector<std::uint8_t> Out;
  PutLittle(Out, 0, 2);
  PutLittle(Out, 1, 2); // an icon, not a cursor
  PutLittle(Out, static_cast<std::uint32_t>(Images.size()), 2);
  std::uint32_t Offset = static_cast<std::uint32_t>(6 + 16 * Images.size());
  for (std::size_t i = 0; i < Images.size(); ++i) {
    // A size of 256 is written as 0.
    Out.push_back(static_cast<std::uint8_t>(Images[i].Width() & 0xFF));
    Out.push_back(static_cast<std::uint8_t>(Images[i].Height() & 0xFF));
    Out.insert(Out.end(), {0, 0}); // no palette
    PutLittle(Out, 1, 2);          // planes
    PutLittle(Out, 32, 2);         // bits per pixel
    PutLittle(Out, static_cast<std::uint32_t>(Encoded[i].size()), 4);
    PutLittle(Out, Offset, 4);
    Offset += static_cast<std::uint32_t>(Encoded[i].size());
  }
  for (const std::vector<std::uint8_t>& Bytes : Encoded) {
    Out.insert(Out.end(), Bytes.begin(), Bytes.end());
  }
  return Out;
}

} // namespace kit
